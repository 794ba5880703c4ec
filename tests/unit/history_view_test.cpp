// The History window through the headless host: its columns and cells, the Restore button's
// state, restoring, double clicks, the menu, sorting, Clear File and its saved place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "records/history.h"
#include "records/history_view.h"
#include "settings/options.h"
#include "startup/disable.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "startup/run_ops.h"
#include "ui/list_columns.h"
#include "ui/sim/sim_page_host.h"
#include "tests/unit/sim_fixture.h"

namespace {

using records::HistoryView;

const char kHistory[] = "C:\\Users\\User\\AppData\\Roaming\\Tallowick\\history.txt";
const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kProgramKey[] = "Software\\Orvendel Studios\\Tallowick";

// The dialog's window: where it is and where the view put it.
class DialogHost : public uisim::SimPageHost {
 public:
  app::WindowRect rect{120, 90, 520, 380};
  std::vector<app::WindowRect> placed;
  bool DialogRect(int* left, int* top, int* width, int* height) override {
    *left = rect.left, *top = rect.top, *width = rect.width, *height = rect.height;
    return true;
  }
  void PlaceDialog(int left, int top, int width, int height, bool) override {
    placed.push_back({left, top, width, height});
  }
};

class HistoryWindow : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    ui::ResetColumnDirections();
  }
  void SetFile(const std::string& text) {
    machine_.files().CreateDirectoryA("C:\\Users\\User\\AppData\\Roaming\\Tallowick");
    ASSERT_TRUE(machine_.files().WriteFileText(kHistory, text));
  }
  void Open() { view_.OnInit(host_); }
  void Select(int row) {
    host_.ListSelectOnly(row);
    view_.OnSelectionChanged(host_);
  }
  std::vector<std::string> Column(int c) {
    std::vector<std::string> cells;
    for (int r = 0; r < host_.ListRowCount(); ++r) cells.push_back(host_.Cell(r, c));
    return cells;
  }
  bool RestoreEnabled() { return host_.IsControlEnabled(records::kHistoryRestoreId); }

  DialogHost host_;
  HistoryView view_;
};

TEST_F(HistoryWindow, ListsTheFileWithTheNewestLineSelected) {
  SetFile("12/09/2026  9:05 AM\t*START_Remove\tMACHINE_RUN\tAgent\tC:\\Apps\\agent.exe\t\r\n"
          "12/09/2026  9:06 AM\tREMOVE_TASKSCHEDULER\tREG_TaskScheduler\tHook\tC:\\Apps\\hook.dll\t{CLSID}\r\n"
          "12/10/2026  12:05 AM\tTASK_Kill\tTYPE_SOMETHING\t\tC:\\Apps\\tool.exe\r\n");
  Open();
  std::vector<std::string> titles;
  for (const auto& c : host_.columns) titles.push_back(c.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Title", "Action", "Command", "Date Modified"}));
  EXPECT_EQ(host_.caption, "Tallowick History");
  EXPECT_EQ(host_.ControlText(records::kHistoryTextId).rfind("The following is a history", 0), 0u);
  EXPECT_EQ(host_.ControlText(records::kHistoryRestoreId), "&Restore");
  EXPECT_EQ(host_.ControlText(records::kHistoryClearFileId), "&Clear File");
  ASSERT_EQ(host_.ListRowCount(), 3);
  EXPECT_EQ(host_.RowCells(1), (std::vector<std::string>{"Hook", "REMOVE_TaskScheduler",
                                                         "REG_TaskScheduler", "12/09/2026  9:06 AM"}));
  EXPECT_EQ(host_.RowCells(2), (std::vector<std::string>{"tool", "TASK_Kill", "TYPE_UNKNOWN",
                                                         "12/10/2026  12:05 AM"}));
  EXPECT_EQ(host_.ListSelectedRows(), std::vector<int>{2});
  EXPECT_FALSE(RestoreEnabled());
  Select(0);
  EXPECT_TRUE(RestoreEnabled());
  Select(1);
  EXPECT_FALSE(RestoreEnabled());
}

TEST_F(HistoryWindow, RestoreButtonMenuAndDoubleClick) {
  const std::string quoted = "\"C:\\Program Files\\Sync\\agent.exe\" -tray";
  const std::string shown = "C:\\Program Files\\Sync\\agent.exe -tray";
  ASSERT_EQ(reg::SetRegStringValue(kRun, HKEY_LOCAL_MACHINE, "Sync Agent", quoted.c_str()), 1);
  ASSERT_EQ(startup::DeleteRunProgram(startup::HKLM_RUN, "Sync Agent", shown, ""), 1);
  ASSERT_EQ(reg::SetRegStringValue(kRun, HKEY_CURRENT_USER, "Tray", "C:\\Apps\\tray.exe"), 1);
  ASSERT_EQ(startup::ToggleRunItem("Tray", "C:\\Apps\\tray.exe", "", startup::HKCU_RUN), 1);
  records::WriteHistory(records::START_Disable, startup::HKCU_RUN, "Tray", "C:\\Apps\\tray.exe", "");
  Open();
  ASSERT_EQ(host_.ListRowCount(), 2);

  // The menu's Restore on a disable line does nothing; only a double click undoes it.
  Select(1);
  host_.onMenu = [](const std::vector<ui::MenuItem>& items) {
    EXPECT_EQ(items.at(0).caption, "&Restore");
    return records::kHistoryRestoreId;
  };
  view_.OnRightClick(host_);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRun, "Tray"), "<no value>");
  view_.OnDoubleClick(host_);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRun, "Tray"), "C:\\Apps\\tray.exe");

  Select(0);
  ASSERT_TRUE(RestoreEnabled());
  view_.OnCommand(host_, records::kHistoryRestoreId);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRun, "Sync Agent", KEY_WOW64_64KEY), quoted);
  // The list is read again; the lines stay.
  EXPECT_EQ(host_.ListRowCount(), 2);
  EXPECT_EQ(host_.ListSelectedRows(), std::vector<int>{1});
}

TEST_F(HistoryWindow, SortsByColumnAndDateInTimeOrder) {
  SetFile("12/10/2026  9:05 AM\tSTART_Alert\tCURRENT_RUN\tb\tC:\\b.exe\r\n"
          "01/02/2027  1:00 AM\tSTART_Alert\tCURRENT_RUN\ta\tC:\\a.exe\r\n"
          "12/10/2026  12:30 PM\tSTART_Alert\tCURRENT_RUN\tc\tC:\\c.exe\r\n"
          "12/10/2026  10:05 AM\tSTART_Alert\tCURRENT_RUN\td\tC:\\d.exe\r\n"
          "12/10/2026  12:10 AM\tSTART_Alert\tCURRENT_RUN\te\tC:\\e.exe\r\n");
  Open();
  view_.OnColumnClick(host_, 3);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"e", "b", "d", "c", "a"}));
  EXPECT_EQ(settings::GetOption("SortHistory", 0), 4);
  view_.OnColumnClick(host_, 3);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "c", "d", "b", "e"}));
  view_.OnColumnClick(host_, 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(settings::GetOption("SortHistory", 0), 1);

  // The next opening sorts by the saved column.
  HistoryView again;
  DialogHost other;
  again.OnInit(other);
  EXPECT_EQ(other.Cell(0, 0), "e");
}

TEST_F(HistoryWindow, ClearFileEmptiesTheListAndCloseSavesThePlace) {
  records::WriteHistory(records::START_Remove, 1, "Agent", "C:\\Apps\\agent.exe", "");
  Open();
  // Nothing saved yet: the view centres the window.
  ASSERT_EQ(host_.placed.size(), 1u);
  ASSERT_EQ(host_.ListRowCount(), 1);
  EXPECT_TRUE(RestoreEnabled());
  view_.OnCommand(host_, records::kHistoryClearFileId);
  EXPECT_FALSE(machine_.files().Exists(kHistory));
  EXPECT_EQ(host_.ListRowCount(), 0);
  EXPECT_FALSE(RestoreEnabled());

  host_.rect = {40, 30, 600, 400};
  view_.OnCommand(host_, records::kHistoryCloseId);
  EXPECT_EQ(host_.endResult, records::kHistoryCloseId);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgramKey, "xHistory"), "40");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgramKey, "dyHistory"), "400");
  view_.OnDestroy(host_);

  HistoryView again;
  DialogHost other;
  again.OnInit(other);
  ASSERT_EQ(other.placed.size(), 1u);
  EXPECT_EQ(other.placed[0], (app::WindowRect{40, 30, 600, 400}));
}

TEST_F(HistoryWindow, OpensAsADialogOverItsPage) {
  records::WriteHistory(records::TASK_Kill, 600, "Tool", "C:\\Apps\\tool.exe", "Tool");
  uisim::SimPageHost options;
  int rows = -1;
  options.onDialog = [&](int dialog, uisim::SimPageHost& dialogHost, ui::Page& view) {
    EXPECT_EQ(dialog, 141);
    rows = dialogHost.ListRowCount();
    view.OnCommand(dialogHost, ui::kIdCancel);
  };
  EXPECT_EQ(records::ShowHistoryWindow(options), ui::kIdCancel);
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(startup::RunCount(), 0);
}

}  // namespace
