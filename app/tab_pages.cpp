#include "app/tab_pages.h"

#include <cstddef>

#include "app/commands.h"

namespace app {

const TabPage kTabPages[] = {
    {CMD_STARTUP, 606, 102, 170},          {CMD_DELAYED_START, 609, 197, 184},
    {CMD_IE_HELPERS, 694, 139, 180},       {CMD_SCHEDULED_TASKS, 680, 137, 182},
    {CMD_SERVICES, 636, 132, 173},         {CMD_ACTIVE_TASKS, 607, 110, 176},
    {CMD_COOKIES, 608, 108, 183},          {CMD_FILE_TYPES, 739, 142, 179},
    {CMD_HIDDEN_FILES, 973, 195, 185},     {CMD_RECENT, 1192, 214, 175},
    {CMD_ACTIVEX, 1155, 201, 171},         {CMD_REGISTRY_MONITOR, 1310, 215, 186},
    {CMD_ABOUT, 611, 103, 167},            {CMD_OPTIONS, 610, 114, 181},
};
const int kTabPageCount = sizeof kTabPages / sizeof kTabPages[0];

std::vector<TabPage> PagesFor(bool ntPlatform) {
  std::vector<TabPage> pages;
  for (const auto& p : kTabPages)
    if (ntPlatform || p.command != CMD_SERVICES) pages.push_back(p);
  return pages;
}

int StartPageIndex(const std::vector<TabPage>& pages, int command) {
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (pages[i].command == command) return static_cast<int>(i);
  return 0;
}

}  // namespace app
