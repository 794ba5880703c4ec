#include "app/page_protocol.h"

#include "app/app_state.h"
#include "app/sheet_layout.h"
#include "app/tab_pages.h"
#include "settings/language.h"
#include "settings/options.h"
#include "startup/run_list.h"
#include "ui/help_pages.h"
#include "ui/list_view.h"

namespace app {

namespace {

constexpr int kCloseString = 304;
constexpr int kMaxTooltipText = 512;

// The patrol category of each monitored tab: its patrol minutes and its real-time switch.
struct PatrolCategory {
  int command;
  settings::Opt minutes;
  settings::Opt realtime;
};
const PatrolCategory kPatrolCategories[] = {
    {6026, settings::Opt::Start, settings::Opt::RealtimeStartup},
    {6040, settings::Opt::IEHelpers, settings::Opt::RealtimeIEHelper},
    {6042, settings::Opt::FileType, settings::Opt::RealtimeFileType},
    {6052, settings::Opt::Hidden, settings::Opt::RealtimeHidden},
    {6056, settings::Opt::ActiveX, settings::Opt::RealtimeActiveX},
    {6038, settings::Opt::Services, settings::Opt::RealtimeServices},
    {6061, settings::Opt::RegOptions, settings::Opt::RealtimeRegOptions},
};

}  // namespace

int TabTitleString(int command) {
  for (int i = 0; i < kTabPageCount; ++i)
    if (kTabPages[i].command == command) return kTabPages[i].titleString;
  return 0;
}

int PatrolPicture(int command) {
  for (const auto& c : kPatrolCategories) {
    if (c.command != command) continue;
    if (settings::Get(c.realtime) > 0) return 193;
    return settings::Get(c.minutes) > 0 ? 155 : 154;
  }
  return 0;
}

void CreateTooltips(ui::PageHost& host, const std::vector<TooltipDef>& tips) {
  int mode = settings::Get(settings::Opt::ToolTips);
  if (mode != 1 && mode != 2) return;
  for (const auto& t : tips)
    if (host.HasControl(t.control))
      host.AddTooltip(t.control, settings::LangString(t.string, kMaxTooltipText), mode == 2);
}

void TabPageView::OnInit(ui::PageHost& host) {
  State().currentTab = command();
  if (int title = TabTitleString(command()))
    if (host.HasControl(kHeaderTextId)) host.SetControlText(kHeaderTextId, settings::LangString(title));
  InitTexts(host);
}

void TabPageView::OnActivate(ui::PageHost& host) {
  AppState& state = State();
  state.currentTab = command();
  state.helpContext = command();
  if (host.HasControl(kHelpButtonId))
    host.SetPictureButton(kHelpButtonId, kHelpPicture, kHelpHoverPicture, kHelpPressedPicture);
  if (int patrol = PatrolPicture(command()); patrol && host.HasControl(kPatrolButtonId))
    host.SetPictureButton(kPatrolButtonId, patrol, kPatrolHoverPicture, kPatrolHoverPicture);
  host.PrepareSheetButtons(settings::LangString(kCloseString));
  host.SetStatusText("");
  host.LayOutPage();
  if (host.HasList() && host.ListColumnCount() == 0) {
    std::vector<int> columns = ColumnStrings();
    for (size_t c = 0; c < columns.size(); ++c)
      ui::InsertListColumn(host, settings::LangString(columns[c]), command(), static_cast<int>(c));
  }
  CreateTooltips(host, Tooltips());
  Fill(host);
  Activated(host);
}

void TabPageView::OnDeactivate(ui::PageHost& host) {
  if (host.HasList()) ui::SaveColumnWidths(host, command());
  host.DestroyTooltips();
  Release(host);
  host.ClearPictureButton(kHelpButtonId);
  host.ClearPictureButton(kPatrolButtonId);
  host.SetStatusText("");
  State().helpContext = 0;
  host.SaveSheetGeometry();
}

void TabPageView::OnDestroy(ui::PageHost& host) {
  // The sheet destroys every page it made; the first one saves the sheet and the tab and ends
  // the program. The current tab stays named until the sheet is gone (its owner clears it):
  // a page destroyed after it was cleared would write StartTab 0 and the next start would
  // lose the last used tab.
  AppState& state = State();
  // The page on view keeps its column widths (it had no deactivation).
  if (state.currentTab == command() && host.HasList()) ui::SaveColumnWidths(host, command());
  if (state.currentTab != 0 && !state.sheetClosing) {
    host.SaveSheetGeometry();
    state.sheetClosing = true;
    host.PostCloseToMain();
  }
  Release(host);
}

void TabPageView::Release(ui::PageHost&) { startup::ClearRunList(); }

void TabPageView::OnCommand(ui::PageHost& host, int id) {
  switch (id) {
    case kHelpButtonId:
      ui::OpenHelpPage(command());
      return;
    default:
      PageCommand(host, id);
  }
}

}  // namespace app
