// The Startup Programs tab through the headless host: the cells of every location kind, the
// sort with disabled items last, the selection rules, the commands, and what survives a close.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/registry_access.h"
#include "records/detected_date.h"
#include "settings/options.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "startup/startup_view.h"
#include "tests/contract/startup_fixture.h"
#include "tests/contract/startup_view_rows.h"
#include "ui/list_columns.h"
#include "resources/resource_ids.h"
#include "ui/options_view.h"
#include "ui/sim/sim_page_host.h"

namespace {

using contract::ViewRow;
using uisim::SimPageHost;
using uisim::SimSheet;

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kProgramKey = "Software\\Orvendel Studios\\Tallowick";

class StartupView : public contract::StartupMachine {
 protected:
  void SetUp() override {
    contract::StartupMachine::SetUp();
    PlaceMachine();
    settings::Value(settings::Opt::ShowAllStartup) = 1;
  }

  static std::vector<ViewRow> FixtureRows(const SimPageHost& host) {
    std::vector<ViewRow> rows;
    for (int r = 0; r < static_cast<int>(host.rows.size()); ++r) {
      ViewRow v{host.Cell(r, 0), host.Cell(r, 1), host.Cell(r, 2), host.Cell(r, 3), host.Cell(r, 4)};
      v.dated = !host.Cell(r, 5).empty();
      if (contract::IsFixtureRow(v.title, v.command)) rows.push_back(v);
    }
    return rows;
  }
  static int RowOf(const SimPageHost& host, const std::string& title) {
    for (int r = 0; r < static_cast<int>(host.rows.size()); ++r)
      if (host.Cell(r, 0) == title) return r;
    return -1;
  }
  static std::vector<std::string> Column(const SimPageHost& host, int column) {
    std::vector<std::string> cells;
    for (int r = 0; r < static_cast<int>(host.rows.size()); ++r) cells.push_back(host.Cell(r, column));
    return cells;
  }

  SimSheet sheet_;
};

TEST_F(StartupView, ShowsTheCellsOfEveryLocationKind) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  std::vector<std::string> titles;
  for (const auto& c : host.columns) titles.push_back(c.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Title", "Command", "Status", "Company", "Type",
                                              "First Detected"}));
  EXPECT_EQ(FixtureRows(host), contract::ExpectedStartupViewRows());
  // A dated row carries today's date; the list is full-row and its first row selected.
  int linked = RowOf(host, "TwFix Linked");
  EXPECT_EQ(host.Cell(linked, 5), records::TodayText());
  EXPECT_TRUE(host.fullRowSelect);
  EXPECT_EQ(host.ListSelectedRows(), std::vector<int>{0});
  // Icons: the program file's own, else the tab's icon.
  EXPECT_EQ(host.images.at(host.rows[linked].image).rfind("file:", 0), 0u);
  EXPECT_EQ(host.images.at(host.rows[RowOf(host, "TwFix02")].image), "icon:170");
  host.filesWithoutIcons.insert("C:\\TWFIX\\LINKED.EXE");
  host.iconResources.erase(170);
  sheet_.Press(IDC_SHOW_ALL_STARTUP);  // refills
  EXPECT_EQ(host.images.at(host.rows[RowOf(host, "TwFix Linked")].image), "icon:115");
}

TEST_F(StartupView, HidesTheSecretLocationsUnlessAsked) {
  settings::Value(settings::Opt::ShowAllStartup) = 0;
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  EXPECT_FALSE(host.IsChecked(IDC_SHOW_ALL_STARTUP));
  EXPECT_EQ(RowOf(host, "Winlogon Shell"), -1);
  sheet_.Tick(IDC_SHOW_ALL_STARTUP, true);
  EXPECT_NE(RowOf(host, "Winlogon Shell"), -1);
  EXPECT_EQ(settings::GetOption("ShowAllStartup", -1), 1);
}

TEST_F(StartupView, SortingTwiceReversesWithDisabledItemsLast) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  auto disabledTail = [&](int column) {
    // Every disabled row comes after every enabled one.
    std::vector<std::string> types = Column(host, 4);
    auto firstDisabled = std::find(types.begin(), types.end(), "   Disabled");
    return std::all_of(firstDisabled, types.end(), [](const std::string& t) { return t == "   Disabled"; }) &&
           firstDisabled != types.end() && column >= 0;
  };
  for (int column : {0, 1, 3, 4}) {
    SCOPED_TRACE(column);
    ui::ResetColumnDirections();
    sheet_.ClickColumn(column);
    ASSERT_TRUE(disabledTail(column));
    std::vector<std::string> up = Column(host, column);
    sheet_.ClickColumn(column);
    ASSERT_TRUE(disabledTail(column));
    std::vector<std::string> down = Column(host, column);
    EXPECT_EQ(settings::GetOption("SortStartup", 0), column + 1);
    // The enabled part is reversed (ties keep no particular order, so compare the cells).
    size_t enabled = up.size() - 2;
    std::vector<std::string> upEnabled(up.begin(), up.begin() + static_cast<long>(enabled));
    std::vector<std::string> downEnabled(down.begin(), down.begin() + static_cast<long>(enabled));
    std::reverse(downEnabled.begin(), downEnabled.end());
    EXPECT_EQ(upEnabled, downEnabled);
    EXPECT_TRUE(std::is_sorted(upEnabled.begin(), upEnabled.end(), [](const std::string& a, const std::string& b) {
      return text::CompareNoCase(a, b) < 0;
    }) || column == 4);
  }
  // Status: running first, then the others; the titles sort case-insensitively.
  ui::ResetColumnDirections();
  sheet_.ClickColumn(0);
  EXPECT_EQ(host.Cell(0, 0), "");
  EXPECT_EQ(host.Cell(1, 0), "hook");
}

TEST_F(StartupView, TheSavedSortColumnSortsTheListWhenItOpens) {
  settings::SetOption("SortStartup", 2);  // the Command column
  sheet_.Open(6026);
  std::vector<std::string> commands = Column(sheet_.current(), 1);
  commands.resize(commands.size() - 2);  // the disabled pair at the end
  EXPECT_TRUE(std::is_sorted(commands.begin(), commands.end(), [](const std::string& a, const std::string& b) {
    return text::CompareNoCase(a, b) < 0;
  }));
}

TEST_F(StartupView, TheButtonsFollowTheSelectedLocation) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  struct Case {
    const char* title;
    const char* removeCaption;
    bool removeEnabled, enableShown, enableEnabled, disableShown, disableEnabled;
  };
  const Case cases[] = {
      {"TwFixA_Audio", "&Remove", true, false, false, true, true},
      {"TwFixOff", "&Remove", true, true, true, false, false},
      {"Winlogon Shell", "&Reset", true, false, false, true, false},
      {"TwFixLoader", "&Remove", true, false, false, true, false},
      {"hook", "&Remove", true, false, false, true, false},
      {"TwFixNotify", "&Remove", false, false, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    sheet_.SelectRows({RowOf(host, c.title)});
    EXPECT_EQ(host.ControlText(IDC_REMOVE), c.removeCaption);
    EXPECT_EQ(host.IsControlEnabled(IDC_REMOVE), c.removeEnabled);
    EXPECT_EQ(host.IsControlVisible(IDC_ENABLE), c.enableShown);
    EXPECT_EQ(host.IsControlEnabled(IDC_ENABLE), c.enableEnabled);
    EXPECT_EQ(host.IsControlVisible(IDC_DISABLE), c.disableShown);
    EXPECT_EQ(host.IsControlEnabled(IDC_DISABLE), c.disableEnabled);
    EXPECT_EQ(host.statusText.rfind("Startup Location: ", 0), 0u);
  }
  sheet_.SelectRows({});
  EXPECT_FALSE(host.IsControlVisible(IDC_ENABLE));
  EXPECT_FALSE(host.IsControlVisible(IDC_DISABLE));
}

TEST_F(StartupView, DisableAndEnableGiveBackTheCommand) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  std::string before = contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio").value_or("<none>");
  sheet_.SelectRows({RowOf(host, "TwFixA_Audio")});
  sheet_.Press(IDC_DISABLE);
  EXPECT_EQ(contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio"), std::nullopt);
  int row = RowOf(host, "TwFixA_Audio");
  ASSERT_GE(row, 0);
  EXPECT_EQ(host.Cell(row, 4), "   Disabled");

  // The menu of a disabled row offers Enable; choosing it acts like the button.
  host.onMenu = [](const std::vector<ui::MenuItem>& items) {
    for (const auto& i : items)
      if (i.caption == "&Enable") return i.command;
    return 0;
  };
  sheet_.RightClick(row);
  EXPECT_EQ(contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio"), before);
  EXPECT_EQ(host.Cell(RowOf(host, "TwFixA_Audio"), 4), "HKLM_RUN");
}

TEST_F(StartupView, ACommandWithoutASelectionSaysHowToChoose) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  for (int button : {IDC_DISABLE, IDC_ENABLE, IDC_INFO}) {
    sheet_.SelectRows({});
    sheet_.Press(button);
  }
  ASSERT_EQ(host.questions.size(), 3u);
  for (const auto& q : host.questions) {
    EXPECT_EQ(q.text.rfind("No selection has been made.", 0), 0u);
    EXPECT_EQ(q.caption, "Tallowick Help");
  }
}

TEST_F(StartupView, AddingAProgramWithoutVersionInformationUsesItsName) {
  MakeFile("C:\\TwFix\\agent.exe");
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  host.openFileAnswers.push_back("C:\\TwFix\\agent.exe");
  sheet_.Press(IDC_ADD);
  ASSERT_EQ(host.openFileRequests.size(), 1u);
  EXPECT_EQ(host.openFileRequests[0].title, "Add New Startup Program");
  EXPECT_EQ(host.openFileRequests[0].initialFolder, "C:\\Program Files");
  EXPECT_EQ(contract::ReadRaw(HKEY_CURRENT_USER, kRunKey, "agent"), "C:\\TwFix\\agent.exe");
  EXPECT_EQ(contract::ReadRaw(HKEY_CURRENT_USER, std::string(kProgramKey).append("\\Run").c_str(),
                              "C:\\TwFix\\agent.exe"),
            "1");
  EXPECT_NE(RowOf(host, "agent"), -1);
}

TEST_F(StartupView, TooltipsFollowTheirOption) {
  settings::Value(settings::Opt::ToolTips) = 0;
  sheet_.Open(6026);
  EXPECT_EQ(sheet_.current().TooltipCount(), 0);
  sheet_.Close();
  settings::Value(settings::Opt::ToolTips) = 2;
  SimSheet again;
  again.Open(6026);
  SimPageHost& host = again.current();
  EXPECT_EQ(host.TooltipCount(), 9);
  EXPECT_TRUE(host.tooltips.at(IDC_DISABLE).second);  // balloon
  again.Select(6032);
  EXPECT_EQ(host.TooltipCount(), 0);  // destroyed on deactivation
}

TEST_F(StartupView, WidthsSortAndPlaceSurviveACloseAndReopen) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  EXPECT_EQ(host.closeCaption, "Close");
  EXPECT_TRUE(host.okHidden);
  EXPECT_EQ(host.controls[1077].normal, 133);
  host.columns[1].width = 123;
  sheet_.ClickColumn(2);
  sheet_.rect = {40, 30, 900, 620};
  sheet_.Select(6055);
  sheet_.Close();
  EXPECT_EQ(app::State().currentTab, 0);
  EXPECT_EQ(sheet_.host(6026).closesPosted + sheet_.host(6055).closesPosted, 1);
  EXPECT_EQ(settings::GetOption("Column60261", 0), 123);
  EXPECT_EQ(settings::GetOption("SortStartup", 0), 3);
  EXPECT_EQ(settings::GetOption("StartTab", 0), 6055);

  SimSheet again;
  again.Open(6026);
  EXPECT_EQ(again.rect, (app::WindowRect{40, 30, 900, 620}));
  EXPECT_EQ(again.current().columns[1].width, 123);
  // The page on view when the sheet closes keeps its widths too, and the tab is the next start's.
  again.Select(6055);
  again.current().columns[0].width = 77;
  again.Close();
  EXPECT_EQ(settings::GetOption("Column60550", 0), 77);
  EXPECT_EQ(settings::GetOption("StartTab", 0), 6055);
}

TEST(StartupCommandCell, RunDllPrefixOnlyForRunKeyEntries) {
  struct Case {
    const char* path;
    int aux, code;
    const char* cell;
  } cases[] = {
      {"shell32.dll,Control_RunDLL C:\\x\\panel.cpl", 1, startup::HKLM_RUN, "RunDLL32.exe panel.cpl"},
      {"C:\\x\\Sync Tool\\sync.exe -tray", 0, startup::HKCU_RUN, "sync.exe -tray"},
      {"C:\\Users\\me\\Startup\\tool.exe", 1, startup::STARTUP_FOLDER, "tool.exe"},
      {"plain.exe", 0, startup::WININI_RUN, "plain.exe"},
  };
  for (const Case& c : cases) EXPECT_EQ(startup::CommandCell(c.path, c.aux, c.code), c.cell) << c.path;
}

}  // namespace

namespace {

TEST_F(StartupView, MovingToDelayedStartTakesTheRowToTheDelayedTab) {
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  host.answers.push_back(ui::kIdOk);  // an all-users program: the user agrees
  host.onMenu = [](const std::vector<ui::MenuItem>& items) {
    for (const auto& i : items)
      if (i.caption == "&Move to Delayed Start Program List") return i.command;
    return 0;
  };
  sheet_.RightClick(RowOf(host, "TwFixA_Audio"));
  EXPECT_EQ(contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio"), std::nullopt);
  EXPECT_EQ(RowOf(host, "TwFixA_Audio"), -1);
  sheet_.Select(6055);
  EXPECT_NE(RowOf(sheet_.current(), "TwFixA_Audio"), -1);
}

}  // namespace

namespace {

// The typical event: a Run-key program is disabled, then removed (the user says Yes), and the
// History window on the Options page writes it back with the command Windows had.
TEST_F(StartupView, DisableRemoveAndRestoreFromTheHistoryWindow) {
  std::string before = contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio").value_or("<none>");
  sheet_.Open(6026);
  SimPageHost& host = sheet_.current();
  sheet_.SelectRows({RowOf(host, "TwFixA_Audio")});
  sheet_.Press(IDC_DISABLE);
  ASSERT_EQ(host.Cell(RowOf(host, "TwFixA_Audio"), 4), "   Disabled");

  host.answers.push_back(ui::kIdNo);
  sheet_.SelectRows({RowOf(host, "TwFixA_Audio")});
  sheet_.Press(IDC_REMOVE);
  ASSERT_NE(RowOf(host, "TwFixA_Audio"), -1);  // No keeps it
  EXPECT_NE(host.questions.back().text.find("You have chosen to remove C:\\TwFix\\Audio Tray\\tray.exe /bg"),
            std::string::npos);
  host.answers.push_back(ui::kIdYes);
  sheet_.SelectRows({RowOf(host, "TwFixA_Audio")});
  sheet_.Press(IDC_REMOVE);
  EXPECT_EQ(RowOf(host, "TwFixA_Audio"), -1);
  EXPECT_EQ(contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio"), std::nullopt);

  sheet_.Select(6032);
  SimPageHost& options = sheet_.current();
  bool restored = false;
  options.onDialog = [&](int dialog, SimPageHost& history, ui::Page& view) {
    ASSERT_EQ(dialog, IDD_HISTORY);
    for (int r = 0; r < static_cast<int>(history.rows.size()); ++r) {
      if (history.Cell(r, 0) != "TwFixA_Audio" || history.Cell(r, 1) != "*START_Remove") continue;
      history.ListSelectOnly(r);
      view.OnSelectionChanged(history);
      EXPECT_TRUE(history.IsControlEnabled(IDC_HISTORY_RESTORE));
      view.OnCommand(history, IDC_HISTORY_RESTORE);
      restored = true;
    }
    view.OnCommand(history, IDC_HISTORY_CLOSE);
  };
  sheet_.Press(ui::kViewHistoryButton);
  EXPECT_TRUE(restored);
  EXPECT_EQ(contract::ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, "TwFixA_Audio"), before);
  sheet_.Select(6026);
  EXPECT_EQ(sheet_.current().Cell(RowOf(sheet_.current(), "TwFixA_Audio"), 4), "HKLM_RUN");
}

}  // namespace
