#include "ui/list_view.h"

#include <algorithm>

#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/version_info.h"
#include "settings/language.h"
#include "startup/run_list.h"
#include "ui/list_columns.h"
#include "ui/row_menu.h"

namespace ui {

namespace {

struct TabIcon {
  int tab;
  int icon;
};
const TabIcon kTabRowIcons[] = {
    {6026, 170}, {6029, 176}, {6038, 173}, {6039, 182}, {6040, 180},
    {6042, 179}, {6052, 185}, {6055, 184}, {6056, 171}, {6060, 175},
};

constexpr int kHelpCaptionString = 31;
constexpr int kMessageBoxLimit = 1024;
std::string g_freeMessage;

}  // namespace

bool InsertListColumn(PageHost& host, const std::string& title, int tab, int column) {
  int width = ColumnWidth(tab, column, host.ListClientWidth(), host.VerticalScrollBarWidth());
  return host.ListInsertColumn(column, title, width);
}

void SaveColumnWidths(PageHost& host, int tab) {
  int count = host.ListColumnCount();
  for (int i = 0; i < count; ++i) SaveColumnWidth(tab, i, host.ListColumnWidth(i));
}

void CreateRowImageList(PageHost& host) { host.ListNewImageList(); }

int TabRowIcon(int tab) {
  for (const auto& t : kTabRowIcons)
    if (t.tab == tab) return t.icon;
  return 0;
}

int AddProgramIcon(PageHost& host, const std::string& command, int iconIndex, int tab) {
  std::string file = paths::GetFileFromCommand(command);
  if (!file.empty() && paths::FileExists(file)) {
    int image = host.ListAddFileIcon(file, iconIndex);
    if (image >= 0) return image;
  }
  if (int icon = TabRowIcon(tab)) {
    int image = host.ListAddResourceIcon(icon);
    if (image >= 0) return image;
  }
  int image = host.ListAddResourceIcon(kFallbackRowIcon);
  return image >= 0 ? image : 0;
}

LPARAM GetSelectedItemData(PageHost& host) {
  std::vector<int> rows = host.ListSelectedRows();
  return rows.empty() ? -1 : host.ListRowData(rows.front());
}

int GetSelectedRow(PageHost& host) {
  std::vector<int> rows = host.ListSelectedRows();
  return rows.empty() ? -1 : rows.front();
}

void SelectOnlyRow(PageHost& host, int row) { host.ListSelectOnly(row); }

void SortByColumn(PageHost& host, int tab, int column, const RowCompare& compare) {
  host.ListSort([&](LPARAM a, LPARAM b) { return compare(a, b, column); });
  ColumnClicked(tab, column);
}

void ApplySavedSort(PageHost& host, int tab, const RowCompare& compare, bool checkBoxes) {
  int column = SavedSortColumn(tab);
  if (column >= 0 && column < host.ListColumnCount())
    host.ListSort([&](LPARAM a, LPARAM b) { return compare(a, b, column); });
  host.ListSetStyle(true, checkBoxes);
}

int ShowMessageBox(PageHost& host, int string) {
  return host.ShowMessageBox(settings::LangString(string, kMessageBoxLimit),
                             settings::LangString(kHelpCaptionString),
                             kMbOk | kMbIconQuestion | kMbTopmost);
}

void SetFreeMessage(const std::string& text) { g_freeMessage = text.substr(0, kMessageBoxLimit); }

int ShowMessageDialog(PageHost& host, int message, int title) {
  std::string caption = title ? settings::LangString(title) : host.WindowCaption();
  std::string text = message ? settings::LangString(message, kMessageBoxLimit) : g_freeMessage;
  diag::TestLog(text.c_str(), "Tallowick Message");
  return host.ShowMessageDialog(caption, text);
}

void ShowFileInStatusBar(PageHost& host, int runIndex) {
  std::string path = startup::RunPath(runIndex);
  std::string file = paths::GetFileFromCommand(path);
  std::string description = file.empty() ? std::string() : version::GetFileDescription(file);
  host.SetStatusText(!description.empty() ? description : file.empty() ? path : file);
}

int ShowRowMenu(PageHost& host, int tab) {
  LPARAM data = GetSelectedItemData(host);
  if (data < 0) return 0;
  RowFacts facts;
  int index = static_cast<int>(data);
  facts.location = startup::GetRunLocation(index);
  facts.disabled = tab == 6026 && startup::IsRunItemDisabled(index) != 0;
  plat::OsVersion v;
  if (plat::Sys().GetVersionExA(v, false)) {
    facts.windowsMajor = v.major;
    facts.windowsMinor = v.minor;
  }
  std::vector<MenuItem> items;
  for (const MenuEntry& e : RowMenuEntries(tab, facts))
    items.push_back({e.separator() ? std::string() : settings::LangString(e.string), e.command, e.checked});
  return host.TrackMenu(items);
}

}  // namespace ui
