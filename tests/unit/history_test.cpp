// The history file: its tables, the line the writer appends, the reader's limits and the
// merge of an older file.
#include <algorithm>
#include <string>
#include <vector>

#include "diag/testlog.h"
#include "platform/registry_access.h"
#include "records/history.h"
#include "settings/options.h"
#include "startup/disable.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "startup/run_ops.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"

namespace {

const char kHistory[] = "C:\\Users\\User\\AppData\\Roaming\\Tallowick\\history.txt";

class History : public testing_support::SimTest {
 protected:
  void At(int hour, int minute) {
    machine_.system().localTime.hour = static_cast<WORD>(hour);
    machine_.system().localTime.minute = static_cast<WORD>(minute);
  }
  std::string File() { return machine_.files().ReadFileText(kHistory); }
  void SetFile(const std::string& text) {
    machine_.files().CreateDirectoryA("C:\\Users\\User\\AppData\\Roaming\\Tallowick");
    ASSERT_TRUE(machine_.files().WriteFileText(kHistory, text));
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  static int Fields(const std::string& line) {
    return 1 + static_cast<int>(std::count(line.begin(), line.end(), '\t'));
  }
};

TEST_F(History, TablesKeepTheirOrderAndNames) {
  // Every row is found by its own name; a lookup by code takes the first row of the code.
  for (int i = 0; i < records::kHistoryActionRows; ++i) {
    const auto& a = records::HistoryActionAt(i);
    EXPECT_EQ(records::HistoryActionCode(a.name), a.code) << a.name;
    EXPECT_EQ(a.restorable, a.name[0] == '*') << a.name;
  }
  for (int i = 0; i < records::kHistoryTypeRows; ++i) {
    const auto& t = records::HistoryTypeAt(i);
    EXPECT_EQ(records::HistoryTypeCode(t.name), t.code) << t.name;
    EXPECT_STREQ(records::HistoryTypeName(t.code), t.name) << t.code;
  }
  EXPECT_EQ(records::HistoryActionAt(13).code, 34);
  EXPECT_STREQ(records::HistoryActionAt(33).name, "LOG_UNKNOWN");
  EXPECT_STREQ(records::HistoryTypeAt(38).name, "RESTART_DELETE");
  EXPECT_STREQ(records::HistoryTypeAt(51).name, "TYPE_UNKNOWN");

  EXPECT_STREQ(records::HistoryActionName(23), "REMOVE_TaskScheduler");
  EXPECT_EQ(records::HistoryActionCode("REMOVE_TASKSCHEDULER"), 23);
  EXPECT_EQ(records::HistoryActionCode("*start_remove"), 0);
  EXPECT_EQ(records::HistoryActionCode("START_Remove"), -1);
  EXPECT_EQ(records::HistoryActionName(16), nullptr);
  EXPECT_STREQ(records::HistoryActionName(20), "SERVICE__from_AutomaticDelayed");
  for (int code : {16, 17, 26, 27, 504, 0, -1})
    EXPECT_STREQ(records::HistoryTypeName(code), "TYPE_UNKNOWN") << code;
  EXPECT_EQ(records::HistoryTypeCode("wow64_runservicesonce"), 25);
  EXPECT_EQ(records::HistoryTypeCode("HKCU_RUNONCESETUP"), 3000);
  EXPECT_EQ(records::HistoryTypeCode(""), 3000);
}

TEST_F(History, DatesUseTheTwelveHourClock) {
  struct Case {
    int hour, minute;
    const char* text;
  } cases[] = {{0, 5, "12/10/2026  12:05 AM"}, {12, 5, "12/10/2026  12:05 PM"},
               {9, 30, "12/10/2026  9:30 AM"},  {11, 59, "12/10/2026  11:59 AM"},
               {13, 0, "12/10/2026  1:00 PM"},  {23, 59, "12/10/2026  11:59 PM"}};
  for (const auto& c : cases) {
    At(c.hour, c.minute);
    EXPECT_EQ(records::HistoryDateText(machine_.system().localTime), c.text) << c.hour;
  }
  machine_.system().localTime.month = 3;
  machine_.system().localTime.day = 7;
  EXPECT_EQ(records::HistoryDateText(machine_.system().localTime), "03/07/2026  11:59 PM");
}

TEST_F(History, WritesOneLinePerEventAndReadsItBack) {
  At(12, 5);
  records::WriteHistory(records::START_Remove, 11, "Agent", "C:\\Apps\\agent.exe", "");
  At(0, 5);
  records::WriteHistory(records::REMOVE_TaskScheduler, 16, "Hook", "C:\\Apps\\hook.dll", "{CLSID}");
  records::WriteHistory(16, 900, "Odd", "C:\\Apps\\odd.dll", "src");
  EXPECT_EQ(File(),
            "12/10/2026  12:05 PM\t*START_Remove\tCURRENT_RUN\tAgent\tC:\\Apps\\agent.exe\t\r\n"
            "12/10/2026  12:05 AM\tREMOVE_TaskScheduler\tTYPE_UNKNOWN\tHook\tC:\\Apps\\hook.dll\t{CLSID}\r\n"
            "12/10/2026  12:05 AM\tLOG_UNKNOWN\tTYPE_BHO\tOdd\tC:\\Apps\\odd.dll\tsrc\r\n");

  ASSERT_EQ(records::ReadHistory(), 3);
  EXPECT_EQ(startup::RunTitle(0), "Agent");
  EXPECT_EQ(startup::RunDetail(0), "12/10/2026  12:05 PM");
  EXPECT_EQ(startup::GetRunLocation(0), 11);
  EXPECT_EQ(startup::GetRunAux(0), records::START_Remove);
  EXPECT_EQ(startup::GetRunLocation(1), 3000);
  EXPECT_EQ(startup::GetRunAux(1), 23);
  EXPECT_EQ(startup::RunSource(1), "{CLSID}");
  EXPECT_EQ(startup::GetRunAux(2), records::LOG_UNKNOWN);
  EXPECT_TRUE(records::IsHistoryRestorable(0));
  EXPECT_FALSE(records::IsHistoryRestorable(1));
  EXPECT_FALSE(records::IsHistoryRestorable(5));
}

TEST_F(History, TheHistoryOptionSwitchesWritingOff) {
  settings::Value(settings::Opt::History) = 0;
  records::WriteHistory(records::TASK_Kill, 600, "Agent", "C:\\Apps\\agent.exe", "Agent");
  EXPECT_FALSE(machine_.files().Exists(kHistory));
  settings::Value(settings::Opt::History) = 1;
  records::WriteHistory(records::TASK_Kill, 600, "Agent", "C:\\Apps\\agent.exe", "Agent");
  EXPECT_EQ(Lines(File()).size(), 1u);
}

TEST_F(History, FieldsNeverBreakTheLine) {
  records::WriteHistory(records::START_Remove, 1, "Tab\there", "C:\\Apps\\a.exe\r\n-x",
                        std::string("line\nend\0hidden", 15));
  // A field far longer than a line: the line is cut but keeps its end, so the next event
  // starts a line of its own.
  records::WriteHistory(records::START_Disable, 1, "Long", "C:\\Apps\\long.exe", std::string(3000, 's'));
  records::WriteHistory(records::START_Enable, 1, "After", "C:\\Apps\\after.exe", "");
  std::string text = File();
  std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "12/10/2026  10:00 AM\t*START_Remove\tMACHINE_RUN\tTab here\tC:\\Apps\\a.exe  -x\tline end");
  EXPECT_EQ(Fields(lines[0]), 6);
  EXPECT_EQ(lines[1].size() + 2, records::kHistoryLineLimit);
  EXPECT_EQ(lines[2].substr(lines[2].find('\t') + 1, 12), "START_Enable");
  ASSERT_EQ(records::ReadHistory(), 3);
  EXPECT_EQ(startup::RunTitle(0), "Tab here");
  EXPECT_EQ(startup::RunTitle(2), "After");
}

TEST_F(History, AFailedOpenLosesTheEventWithATraceLine) {
  const std::string trace = "C:\\Windows\\Temp\\trace.txt";
  diag::SetTraceFile(trace);
  diag::SetTraceCounter(0);
  SetFile("");
  ASSERT_TRUE(machine_.files().SetFileAttributesA(kHistory, FILE_ATTRIBUTE_READONLY));
  records::WriteHistory(records::START_Remove, 1, "Agent", "C:\\Apps\\agent.exe", "");
  EXPECT_EQ(File(), "");
  EXPECT_TRUE(contract::TraceHas(contract::TraceLines(trace), "WriteLog CreateFile", "5  Access is denied."));
}

TEST_F(History, TheReaderKeepsItsLimits) {
  const std::string t128(128, 'T'), t127(127, 't'), c259 = "C:\\" + std::string(252, 'c') + ".exe";
  std::string text;
  text += "d1\t*START_Remove\tMACHINE_RUN\t" + t127 + "\tC:\\Apps\\a.exe\tsrc\r\n";
  text += "d2\t*START_Remove\tMACHINE_RUN\t" + t128 + "\tC:\\Apps\\named.exe\t" + std::string(260, 's') + "\r\n";
  text += std::string(32, '1') + "\tSTART_Disable\tCURRENT_RUN\tDated\t" + c259 + "\r\n";
  text += "d4\tSTART_Alert\tCURRENT_RUN\tNo command\t" + std::string(260, 'x') + "\tsrc\r\n";
  text += "d5\t" + std::string(300, 'A') + "\t" + std::string(300, 'B') + "\tUnknown\tC:\\Apps\\u.exe\n";
  text += "d6\tTASK_Kill\n";
  text += "\r\n";
  text += "d8\tstart_enable\tWin_Run\tLast\tC:\\Apps\\last.exe";
  SetFile(text);
  ASSERT_EQ(records::ReadHistory(), 5);
  EXPECT_EQ(startup::RunTitle(0), t127);
  EXPECT_EQ(startup::RunSource(0), "src");
  // Too long for the run item: the title falls back to the file name, the source is empty.
  EXPECT_EQ(startup::RunTitle(1), "named");
  EXPECT_EQ(startup::RunSource(1), "");
  EXPECT_EQ(startup::RunDetail(2), "");
  EXPECT_EQ(startup::RunPath(2), c259);
  EXPECT_EQ(startup::RunSource(2), "");
  // A line without a command gives no item; unknown names give LOG_UNKNOWN and 3000.
  EXPECT_EQ(startup::RunTitle(3), "Unknown");
  EXPECT_EQ(startup::GetRunAux(3), records::LOG_UNKNOWN);
  EXPECT_EQ(startup::GetRunLocation(3), 3000);
  EXPECT_FALSE(records::IsHistoryRestorable(3));
  EXPECT_EQ(startup::RunTitle(4), "Last");
  EXPECT_EQ(startup::GetRunAux(4), records::START_Enable);
  EXPECT_EQ(startup::GetRunLocation(4), 101);
}

// The file only grows, so the window shows its newest events: the last 131072 bytes from the
// first whole line on, and of those the last 4096 lines.
TEST_F(History, TheNewestLinesAndBytesAreRead) {
  std::string text;
  for (int i = 0; i < 4100; ++i) text += "d\t\t\t\tC:\\" + std::to_string(i) + ".exe\n";
  SetFile(text);
  EXPECT_EQ(records::ReadHistory(), startup::kMaxRunItems);
  EXPECT_EQ(startup::RunPath(0), "C:\\4.exe");
  EXPECT_EQ(startup::RunPath(4095), "C:\\4099.exe");

  // 100-byte lines: the last 131072 bytes begin 72 bytes before the end of line 689, which is
  // left out; lines 690 to 1999 are read whole.
  text.clear();
  for (int i = 0; i < 2000; ++i) {
    char command[16];
    std::snprintf(command, sizeof command, "C:\\a%04d.exe", i);
    std::string head = std::string("d\tSTART_Enable\tWIN_RUN\tt\t") + command + "\t";
    text += head + std::string(100 - head.size() - 2, 's') + "\r\n";
  }
  SetFile(text);
  ASSERT_EQ(records::ReadHistory(), 1310);
  EXPECT_EQ(startup::RunPath(0), "C:\\a0690.exe");
  EXPECT_EQ(startup::RunPath(1309), "C:\\a1999.exe");
  EXPECT_EQ(startup::RunSource(0).size(), startup::RunSource(1309).size());

  // A file of exactly the limit is read whole, its first line included.
  std::string first = "d\t\t\t\tC:\\x.exe\t";
  first += std::string(72 - first.size() - 2, 's') + "\r\n";
  SetFile(first + text.substr(text.size() - 131000));
  ASSERT_EQ(records::ReadHistory(), 1311);
  EXPECT_EQ(startup::RunPath(0), "C:\\x.exe");
}

TEST_F(History, MissingOrClearedFileGivesAnEmptyList) {
  EXPECT_EQ(records::ReadHistory(), 0);
  records::WriteHistory(records::START_Remove, 1, "Agent", "C:\\Apps\\agent.exe", "");
  ASSERT_EQ(records::ReadHistory(), 1);
  EXPECT_TRUE(records::ClearHistoryFile());
  EXPECT_FALSE(machine_.files().Exists(kHistory));
  EXPECT_EQ(records::ReadHistory(), 0);
  EXPECT_EQ(startup::RunCount(), 0);
}

TEST_F(History, AnOlderFileIsAppended) {
  const std::string trace = "C:\\Windows\\Temp\\trace.txt";
  diag::SetTraceFile(trace);
  diag::SetTraceCounter(0);
  SetFile("new\r\n");
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Old\\history.txt", "old 1\r\nold 2\r\n"));
  EXPECT_EQ(records::fileAppendHistory(kHistory, "C:\\Old\\history.txt"), 1);
  EXPECT_EQ(File(), "new\r\nold 1\r\nold 2\r\n");
  EXPECT_EQ(records::fileAppendHistory("C:\\Fresh.txt", "C:\\Old\\history.txt"), 1);
  EXPECT_EQ(machine_.files().ReadFileText("C:\\Fresh.txt"), "old 1\r\nold 2\r\n");

  EXPECT_EQ(records::fileAppendHistory(kHistory, "C:\\Old\\missing.txt"), 0);
  EXPECT_EQ(records::fileAppendHistory("C:\\Nowhere\\history.txt", "C:\\Old\\history.txt"), 0);
  EXPECT_EQ(File(), "new\r\nold 1\r\nold 2\r\n");
  auto lines = contract::TraceLines(trace);
  EXPECT_TRUE(contract::TraceHas(lines, "fileAppendHistory() SUCCESS", kHistory));
  EXPECT_TRUE(contract::TraceHas(lines, "fileAppendHistory() hFile FAIL", "C:\\Old\\missing.txt"));
  EXPECT_TRUE(contract::TraceHas(lines, "fileAppendHistory() hAppend FAIL", "C:\\Nowhere\\history.txt"));
}

class HistoryRestore : public History {
 protected:
  void SetUp() override {
    History::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
  }
  static constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  static constexpr const char* kSnapshot = "Software\\Orvendel Studios\\Tallowick\\Run";
};

TEST_F(HistoryRestore, ARemovedRunEntryComesBackAsItWas) {
  const std::string quoted = "\"C:\\Program Files\\Sync Tool\\agent.exe\" -tray";
  const std::string shown = "C:\\Program Files\\Sync Tool\\agent.exe -tray";
  ASSERT_EQ(reg::SetRegStringValue(kRun, HKEY_LOCAL_MACHINE, "Sync Agent", quoted.c_str()), 1);
  ASSERT_EQ(startup::DeleteRunProgram(startup::HKLM_RUN, "Sync Agent", shown, ""), 1);
  ASSERT_EQ(RegText(HKEY_LOCAL_MACHINE, kRun, "Sync Agent", KEY_WOW64_64KEY), "<no value>");
  const std::string line = File();

  ASSERT_EQ(records::ReadHistory(), 1);
  ASSERT_TRUE(records::IsHistoryRestorable(0));
  EXPECT_EQ(records::RestoreHistoryItem(0), 0);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRun, "Sync Agent", KEY_WOW64_64KEY), quoted);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kSnapshot, shown.c_str()), "1");
  EXPECT_EQ(File(), line);
}

TEST_F(HistoryRestore, TogglesAndHelpersAndStaleIndexes) {
  // A disable line toggles the entry back; the result says it was a toggle.
  ASSERT_EQ(reg::SetRegStringValue(kRun, HKEY_CURRENT_USER, "Tray", "C:\\Apps\\tray.exe"), 1);
  ASSERT_EQ(startup::ToggleRunItem("Tray", "C:\\Apps\\tray.exe", "", startup::HKCU_RUN), 1);
  records::WriteHistory(records::START_Disable, startup::HKCU_RUN, "Tray", "C:\\Apps\\tray.exe", "");
  records::WriteHistory(records::IEHELPER_Remove, 900, "helper.dll", "C:\\Apps\\helper.dll", "key");
  records::WriteHistory(records::TASK_Kill, 600, "Tray", "C:\\Apps\\tray.exe", "Tray");
  ASSERT_EQ(records::ReadHistory(), 3);
  EXPECT_FALSE(records::IsHistoryRestorable(0));
  EXPECT_EQ(records::RestoreHistoryItem(0), 1);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRun, "Tray"), "C:\\Apps\\tray.exe");
  EXPECT_EQ(records::RestoreHistoryItem(1), 0);
  ASSERT_EQ(machine_.launcher().launches.size(), 1u);
  EXPECT_EQ(machine_.launcher().launches[0].file, "regsvr32 /s C:\\Apps\\helper.dll");
  EXPECT_EQ(records::RestoreHistoryItem(2), 0);
  EXPECT_EQ(machine_.launcher().launches.size(), 1u);

  // Once another list has refilled the run list, its indexes are no history lines.
  startup::ClearRunList();
  startup::AddRunStruct("Tray", "C:\\Apps\\tray.exe", "", "", startup::HKCU_RUN, records::START_Disable);
  EXPECT_EQ(records::RestoreHistoryItem(0), 0);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRun, "Tray"), "C:\\Apps\\tray.exe");
}

}  // namespace
