// What every tab page does as the sheet creates, activates, deactivates and destroys it: the
// current tab command, the help context, the sheet's buttons, the picture buttons, the status
// bar, the tooltips, the saved column widths and the sheet's geometry. A page's view derives
// from TabPageView and adds its texts, its tooltips and its list.
#pragma once
#include <memory>
#include <vector>

#include "ui/page_host.h"

namespace app {

// A control's tooltip: the control and the language string of its text.
struct TooltipDef {
  int control;
  int string;
};

class TabPageView : public ui::Page {
 public:
  using ui::Page::Page;

  void OnInit(ui::PageHost& host) override;
  void OnActivate(ui::PageHost& host) override;
  void OnDeactivate(ui::PageHost& host) override;
  void OnDestroy(ui::PageHost& host) override;
  // The commands every page shares: the help picture, the patrol-status picture, the shared
  // tail of the right-click menu. Anything else goes to PageCommand.
  void OnCommand(ui::PageHost& host, int id) override;

 protected:
  // The page's own texts (after the header text).
  virtual void InitTexts(ui::PageHost&) {}
  // Fills the page's list (on activation, after the common steps).
  virtual void Fill(ui::PageHost&) {}
  // Runs after the list is filled on activation.
  virtual void Activated(ui::PageHost&) {}
  virtual std::vector<TooltipDef> Tooltips() const { return {}; }
  // The language strings of the list's column captions. The columns are inserted on the first
  // activation, once the page has the sheet's size, so their shares are of the real width.
  virtual std::vector<int> ColumnStrings() const { return {}; }
  virtual void PageCommand(ui::PageHost&, int /*id*/) {}
  // Drops what the page holds for its list (image list, run list) when it is deactivated or
  // closed.
  virtual void Release(ui::PageHost& host);
};

// The language string of a tab's title (0 for an unknown command).
int TabTitleString(int command);

// The normal picture of a tab's patrol-status button: 193 when the category is watched in real
// time, 155 when it is patrolled, 154 when it is not; 0 for a tab without a category.
int PatrolPicture(int command);
inline constexpr int kPatrolHoverPicture = 156;
inline constexpr int kHelpPicture = 133, kHelpHoverPicture = 134, kHelpPressedPicture = 135;

// Every control's tooltip of a page, when tooltips are on (ToolTips 1 standard, 2 balloon).
void CreateTooltips(ui::PageHost& host, const std::vector<TooltipDef>& tips);

// The view of a tab page (every page of the tab window has one).
std::unique_ptr<ui::Page> CreateTabPage(int command);

}  // namespace app
