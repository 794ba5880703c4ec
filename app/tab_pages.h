// The pages of the tab window, in tab order: command number, tab title (language string),
// dialog resource and tab icon.
#pragma once
#include <vector>

namespace app {

struct TabPage {
  int command;
  int titleString;
  int dialog;
  int icon;
};

// Every page; the Services page is only on the Windows NT family.
extern const TabPage kTabPages[];
extern const int kTabPageCount;

// The pages of this Windows, in order.
std::vector<TabPage> PagesFor(bool ntPlatform);
// The index of the start page among `pages` for a command (0 when no page has it).
int StartPageIndex(const std::vector<TabPage>& pages, int command);

}  // namespace app
