// The Delayed Start tab and its two dialogs through the headless host: the cells, the sort,
// Remove with its three answers, Add with the Startup Program Type dialog, the delay options
// dialog, and the Startup Programs view's move onto the list with its questions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "records/detected_date.h"
#include "settings/language.h"
#include "settings/options.h"
#include "startup/delayed.h"
#include "startup/delayed_view.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/unit/sim_fixture.h"
#include "ui/list_columns.h"
#include "ui/sim/sim_page_host.h"

namespace {

using namespace startup;
using uisim::SimPageHost;

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class DelayedViewTest : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    auto& f = machine_.files();
    for (const char* d : {"C:\\Users", "C:\\Users\\me", "C:\\Users\\me\\AppData", "C:\\App"}) f.CreateDirectoryA(d);
    for (const char* p : {"C:\\App\\app.exe", "C:\\App\\tool.exe", "C:\\App\\panel.dll"})
      ASSERT_TRUE(f.WriteFileBytes(p, "MZ"));
    Seed(R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"AppData"="C:\\Users\\me\\AppData"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"App"="\"C:\\App\\app.exe\" -tray"
"Panel"="rundll32.exe C:\\App\\panel.dll,Entry"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Tool"="C:\\App\\tool.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon]
"Shell"="explorer.exe"
)");
  }

  // Moves the startup items whose paths contain these texts onto the list.
  void DelayAll(const std::vector<std::string>& parts) {
    for (const auto& part : parts) {
      EnumerateStartups(0);
      int index = -1;
      for (int i = 0; i < RunCount(); ++i)
        if (RunPath(i).find(part) != std::string::npos) index = i;
      ASSERT_GE(index, 0) << part;
      ASSERT_EQ(MoveRunItemToDelayed(index), 1) << part;
    }
  }

  void Open() {
    view_.OnInit(host_);
    view_.OnActivate(host_);
  }
  int RowOf(const std::string& title) {
    for (int r = 0; r < host_.ListRowCount(); ++r)
      if (host_.Cell(r, 0) == title) return r;
    return -1;
  }
  void SelectOnly(const std::string& title) {
    int row = RowOf(title);
    ASSERT_GE(row, 0) << title;
    host_.ListSelectOnly(row);
  }

  DelayedView view_;
  SimPageHost host_;
};

TEST_F(DelayedViewTest, ShowsTheDelayedPrograms) {
  DelayAll({"app.exe", "panel.dll", "tool.exe"});
  ASSERT_TRUE(machine_.files().DeleteFileA("C:\\App\\tool.exe"));
  Open();
  std::vector<std::string> titles;
  for (const auto& c : host_.columns) titles.push_back(c.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Title", "Command", "Status", "Delay Time", "First Detected"}));
  ASSERT_EQ(host_.ListRowCount(), 3);
  int app = RowOf("App"), panel = RowOf("Panel"), tool = RowOf("Tool");
  EXPECT_EQ(host_.RowCells(app), (std::vector<std::string>{"App", "app.exe", "", "30 Sec.", records::TodayText()}));
  EXPECT_EQ(host_.Cell(panel, 1), "RunDLL32.exe panel.dll");
  EXPECT_EQ(host_.Cell(tool, 2), "File Does Not Exist");
  EXPECT_EQ(host_.Cell(tool, 4), "");
  EXPECT_EQ(host_.images.at(host_.rows[tool].image), "icon:184");
  EXPECT_EQ(host_.ListSelectedRows(), std::vector<int>{0});
}

TEST_F(DelayedViewTest, SortsByDelayAndRemembersTheColumn) {
  DelayAll({"app.exe", "tool.exe"});
  EnumerateDelayed();
  DelayOptions longer;
  longer.seconds = 600;
  longer.title = "Tool";
  ASSERT_EQ(WriteDelayOptions("C:\\App\\tool.exe", HKLM_RUN, longer), 1);
  DelayOptions shorter;
  shorter.seconds = 90;
  shorter.title = "App";
  shorter.parameters = "-tray";
  ASSERT_EQ(WriteDelayOptions("C:\\App\\app.exe", HKCU_RUN, shorter), 1);
  Open();
  view_.OnColumnClick(host_, 3);
  EXPECT_EQ(host_.Cell(0, 3), "1 Min. : 30 Sec.");
  EXPECT_EQ(host_.Cell(1, 3), "10 Min. : 0 Sec.");
  view_.OnColumnClick(host_, 3);
  EXPECT_EQ(host_.Cell(0, 0), "Tool");
  EXPECT_EQ(settings::GetOption("SortPrograms", 0), 4);
}

// Yes puts the program back where it was, No drops it, Cancel stops before anything changes.
TEST_F(DelayedViewTest, RemoveAsksWhereTheProgramGoes) {
  DelayAll({"app.exe", "tool.exe"});
  Open();
  host_.answers = {ui::kIdCancel};
  SelectOnly("App");
  view_.OnCommand(host_, CMD_DELAYED_REMOVE);
  EXPECT_EQ(host_.ListRowCount(), 2);
  EXPECT_EQ(host_.questions.back().text, settings::LangString(1134, 1024));

  host_.answers = {ui::kIdYes};
  SelectOnly("App");
  view_.OnCommand(host_, CMD_DELAYED_REMOVE);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunKey, "App"), "\"C:\\App\\app.exe\" -tray");
  EXPECT_EQ(host_.ListRowCount(), 1);

  host_.answers = {ui::kIdNo};
  SelectOnly("Tool");
  view_.OnCommand(host_, CMD_DELAYED_REMOVE);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tool", KEY_WOW64_64KEY), "<no value>");
  EXPECT_EQ(host_.ListRowCount(), 0);
  EXPECT_EQ(EnumerateDelayed(), 0);
}

TEST_F(DelayedViewTest, TheMenusRestoreCommandPutsTheProgramBack) {
  DelayAll({"panel.dll"});
  Open();
  host_.ListSelectOnly(0);
  host_.onMenu = [](const std::vector<ui::MenuItem>&) { return CMD_DELAYED_RESTORE; };
  view_.OnRightClick(host_);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunKey, "Panel"), "rundll32.exe C:\\App\\panel.dll,Entry");
  EXPECT_EQ(host_.ListRowCount(), 0);
}

TEST_F(DelayedViewTest, AddAsksForWhomTheProgramStarts) {
  Open();
  host_.openFileAnswers = {"C:\\App\\tool.exe", "C:\\App\\app.exe"};
  int choice = kAllUsersId;
  host_.onDialog = [&](int dialog, SimPageHost& dialogHost, ui::Page& v) {
    ASSERT_EQ(dialog, kStartupTypeDialog);
    EXPECT_EQ(dialogHost.caption, "Startup Program Type");
    dialogHost.SetChecked(kAllUsersId, choice == kAllUsersId);
    dialogHost.SetChecked(kCurrentUserId, choice == kCurrentUserId);
    v.OnCommand(dialogHost, choice ? ui::kIdOk : ui::kIdCancel);
  };
  view_.OnCommand(host_, CMD_DELAYED_ADD);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDelayKey, "C:\\App\\tool.exe", KEY_WOW64_64KEY), "1");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, DelayKeyPath(DELAY_TIME), "C:\\App\\tool.exe", KEY_WOW64_64KEY), "30");
  choice = 0;
  view_.OnCommand(host_, CMD_DELAYED_ADD);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kDelayKey, "C:\\App\\app.exe"), "<no key>");
  EXPECT_EQ(host_.ListRowCount(), 1);
  EXPECT_EQ(host_.openFileRequests.front().title, "Add New Startup Program");
}

// The dialog shows 90 seconds as one minute and three tens; OK writes what the user chose,
// Cancel nothing.
TEST_F(DelayedViewTest, TheDelayOptionsDialogWritesTheChoices) {
  DelayAll({"app.exe"});
  EnumerateDelayed();
  DelayOptions o;
  o.seconds = 90;
  o.title = "App";
  o.parameters = "-tray";
  ASSERT_EQ(WriteDelayOptions("C:\\App\\app.exe", HKCU_RUN, o), 1);
  Open();
  host_.ListSelectOnly(0);
  bool ok = false;
  host_.onDialog = [&](int dialog, SimPageHost& d, ui::Page& v) {
    ASSERT_EQ(dialog, kDelayOptionsDialog);
    EXPECT_EQ(d.caption, "Program Delay Startup Options");
    EXPECT_EQ(d.ControlText(kDelayMinutesId), "1");
    EXPECT_EQ(d.ControlText(kDelaySecondsId), "30");
    EXPECT_EQ(d.ControlText(kOpenAsId), "Normal Window");
    EXPECT_EQ(d.ControlText(kParametersId), "-tray");
    EXPECT_EQ(d.ControlText(kDelayTitleId), "App");
    d.SetControlText(kDelayMinutesId, "2");
    d.SetControlText(kDelaySecondsId, "10");
    d.SetControlText(kOpenAsId, "Minimized");
    d.SetControlText(kDelayTitleId, "");
    d.SetChecked(kRunAsAdminId, true);
    v.OnCommand(d, ok ? ui::kIdOk : ui::kIdCancel);
  };
  view_.OnCommand(host_, CMD_DELAYED_OPTIONS);
  EXPECT_EQ(host_.Cell(0, 3), "1 Min. : 30 Sec.");
  ok = true;
  host_.ListSelectOnly(0);  // the refill after the dialog left no row selected
  view_.OnCommand(host_, CMD_DELAYED_OPTIONS);
  EXPECT_EQ(host_.Cell(0, 3), "2 Min. : 10 Sec.");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_OPENAS), "C:\\App\\app.exe"), "1");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_RUNAS), "C:\\App\\app.exe"), "dword:49");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_TITLE), "C:\\App\\app.exe"), "");
  // An empty title shows the file's own name.
  EXPECT_EQ(host_.Cell(0, 0), "app.exe");
}

// The Startup Programs view's command: the all-users question for an HKLM item (Cancel leaves
// it), and the message for an item that cannot be delayed.
TEST_F(DelayedViewTest, DelayingAsksFirstWhereItMust) {
  SimPageHost host;
  EnumerateStartups(0);
  int tool = -1, shell = -1, app = -1;
  for (int i = 0; i < RunCount(); ++i) {
    if (RunPath(i).find("tool.exe") != std::string::npos) tool = i;
    if (RunPath(i).find("app.exe") != std::string::npos) app = i;
    if (GetRunLocation(i) == LOGON_SHELL) shell = i;
  }
  ASSERT_GE(tool, 0);
  ASSERT_GE(shell, 0);
  host.answers = {ui::kIdCancel};
  EXPECT_EQ(DelayRunItem(host, tool), 0);
  EXPECT_EQ(host.questions.back().text, settings::LangString(1120, 1024));
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tool", KEY_WOW64_64KEY), "C:\\App\\tool.exe");
  host.answers = {ui::kIdOk};
  EXPECT_EQ(DelayRunItem(host, tool), 1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tool", KEY_WOW64_64KEY), "<no value>");
  size_t asked = host.questions.size();
  EXPECT_EQ(DelayRunItem(host, app), 1);
  EXPECT_EQ(host.questions.size(), asked);  // a current-user item is not asked about
  EXPECT_EQ(DelayRunItem(host, shell), 0);
  EXPECT_EQ(host.questions.back().text, settings::LangString(1130, 1024));
}

}  // namespace
