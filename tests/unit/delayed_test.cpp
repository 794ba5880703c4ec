// Delayed start on the simulated machine: a failing registry call never leaves an item in
// neither place, the records the list is built from, and the launch of a delayed program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/maintenance.h"
#include "diag/testlog.h"
#include "diag/trace_header.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "settings/language.h"
#include "startup/delayed.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace startup;

const char* const kHkcuRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kStartupFolder = "C:\\Users\\me\\Start Menu\\Programs\\Startup";

class DelayedTest : public testing_support::SimTest {
 protected:
  explicit DelayedTest(sim::MachineConfig config = {}) : SimTest(config) {}
  void SetUp() override {
    SimTest::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(machine_.config().windows64);
    Seed(R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"Startup"="C:\\Users\\me\\Start Menu\\Programs\\Startup"
"AppData"="C:\\Users\\me\\AppData"
)");
    auto& f = machine_.files();
    for (const char* d : {"C:\\Users", "C:\\Users\\me", "C:\\Users\\me\\AppData", "C:\\Users\\me\\Start Menu",
                          "C:\\Users\\me\\Start Menu\\Programs", kStartupFolder, "C:\\App"})
      f.CreateDirectoryA(d);
    ASSERT_TRUE(f.WriteFileBytes("C:\\App\\app.exe", "MZ"));
  }

  // The index of the first run item whose path contains the text, -1 when none.
  static int Find(const std::string& part) {
    for (int i = 0; i < RunCount(); ++i)
      if (text::ContainsNoCase(RunPath(i), part)) return i;
    return -1;
  }

  bool Delayed(const std::string& file, int code) {
    DelayRecord r;
    return ReadDelayRecord(file, code, &r);
  }
};

// Every registry call that can fail on the way onto the list and back is made to fail in turn:
// afterwards the entry is in exactly one place, and where it is in its Run key it is as it was.
TEST_F(DelayedTest, AFailingCallLeavesTheEntryInOnePlace) {
  const std::string data = "\"C:\\App\\app.exe\" -tray";
  for (const char* call : {"RegSetValueExA", "RegDeleteValueA", "RegCreateKeyExA", "RegOpenKeyExA"}) {
    for (int skip = 0; skip < 24; ++skip) {
      SCOPED_TRACE(std::string(call) + " after " + std::to_string(skip));
      machine_.registry().ClearFailures();
      reg::DeleteRegKeyTreeCopy("Software\\Orvendel Studios", HKEY_CURRENT_USER);
      reg::SetRegStringValue(kHkcuRun, HKEY_CURRENT_USER, "TwApp", data.c_str());
      EnumerateStartups(0);
      int i = Find("app.exe");
      ASSERT_GE(i, 0);
      machine_.registry().FailCall(call, ERROR_ACCESS_DENIED, skip);
      int moved = MoveRunItemToDelayed(i);
      machine_.registry().ClearFailures();
      std::string there = RegText(HKEY_CURRENT_USER, kHkcuRun, "TwApp");
      bool inRun = there != "<no value>";
      bool inDelay = Delayed("C:\\App\\app.exe", HKCU_RUN);
      EXPECT_NE(inRun, inDelay);
      EXPECT_EQ(moved == 1, inDelay);
      if (inRun) EXPECT_EQ(there, data);
      if (!inDelay) continue;

      // And back, with the same call failing.
      ASSERT_EQ(EnumerateDelayed(), 1);
      machine_.registry().FailCall(call, ERROR_ACCESS_DENIED, skip);
      int back = RestoreDelayedItem(0);
      machine_.registry().ClearFailures();
      there = RegText(HKEY_CURRENT_USER, kHkcuRun, "TwApp");
      inRun = there != "<no value>";
      inDelay = Delayed("C:\\App\\app.exe", HKCU_RUN);
      EXPECT_TRUE(inRun || inDelay);
      if (back == 1) EXPECT_TRUE(inRun);
      if (inRun) EXPECT_EQ(there, data);
    }
  }
}

// A Startup-folder shortcut whose record cannot be written stays in the folder.
TEST_F(DelayedTest, AShortcutStaysWhenItsRecordCannotBeWritten) {
  plat::ShellLink link;
  link.target = "C:\\App\\app.exe";
  link.description = "App";
  ASSERT_TRUE(machine_.links().Save((std::string(kStartupFolder) + "\\app.lnk").c_str(), link));
  for (int skip = 0; skip < 8; ++skip) {
    SCOPED_TRACE(skip);
    EnumerateStartups(0);
    int i = Find("app.exe");
    ASSERT_GE(i, 0);
    machine_.registry().FailCall("RegSetValueExA", ERROR_ACCESS_DENIED, skip);
    int moved = MoveRunItemToDelayed(i);
    machine_.registry().ClearFailures();
    bool inFolder = machine_.files().GetFileAttributesA((std::string(kStartupFolder) + "\\app.lnk").c_str()) !=
                    INVALID_FILE_ATTRIBUTES;
    EXPECT_NE(inFolder, moved == 1);
    EXPECT_EQ(Delayed("C:\\App\\app.exe", STARTUP_FOLDER), moved == 1);
    if (moved) {
      ASSERT_EQ(EnumerateDelayed(), 1);
      ASSERT_EQ(RestoreDelayedItem(0), 1);
    }
  }
}

TEST_F(DelayedTest, ItemsThatMustStayAreRefused) {
  Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon]
"Shell"="C:\\App\\app.exe"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Monitor"="C:\\Program Files\\Tallowick\\Tallowick.exe"
)");
  EnumerateStartups(0);
  int shell = -1, monitor = Find("tallowick.exe");
  for (int i = 0; i < RunCount(); ++i)
    if (GetRunLocation(i) == LOGON_SHELL) shell = i;
  ASSERT_GE(shell, 0);
  ASSERT_GE(monitor, 0);
  EXPECT_EQ(MoveRunItemToDelayed(shell), 0);
  EXPECT_EQ(MoveRunItemToDelayed(monitor), 0);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell",
                    KEY_WOW64_64KEY),
            "C:\\App\\app.exe");
  EXPECT_EQ(EnumerateDelayed(), 0);
}

// Two entries that start the same program: the second cannot share the first one's record.
TEST_F(DelayedTest, ASecondEntryOfTheSameProgramStaysWhereItIs) {
  Seed(R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"AppA"="C:\\App\\app.exe -a"
"AppB"="C:\\App\\app.exe -b"
)");
  EnumerateStartups(0);
  EXPECT_EQ(MoveRunItemToDelayed(0) + MoveRunItemToDelayed(1), 1);
  int left = (RegText(HKEY_CURRENT_USER, kHkcuRun, "AppA") != "<no value>") +
             (RegText(HKEY_CURRENT_USER, kHkcuRun, "AppB") != "<no value>");
  EXPECT_EQ(left, 1);
}

// The list built from records written by the monitor or an earlier version: the 32-bit view's
// codes become WOW64 codes, the RUNDLL32 flag makes the delay negative, an empty title falls
// back to the file's name.
TEST_F(DelayedTest, TheListIsBuiltFromTheRecords) {
  Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Orvendel Studios\Tallowick\Delay]
"C:\\App\\app.exe"="1"

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Orvendel Studios\Tallowick\Delay\Time]
"C:\\App\\app.exe"="90"

[HKEY_CURRENT_USER\Software\Orvendel Studios\Tallowick\Delay]
"C:\\App\\tool.dll"="11"

[HKEY_CURRENT_USER\Software\Orvendel Studios\Tallowick\Delay\Title]
"C:\\App\\tool.dll"="Tool"

[HKEY_CURRENT_USER\Software\Orvendel Studios\Tallowick\Delay\Time]
"C:\\App\\tool.dll"="45"

[HKEY_CURRENT_USER\Software\Orvendel Studios\Tallowick\Delay\Applet]
"C:\\App\\tool.dll"="RunDLL32.exe"

[HKEY_LOCAL_MACHINE\Software\Orvendel Studios\Tallowick\Delay]
"C:\\App\\other.exe"="200"

[HKEY_LOCAL_MACHINE\Software\Orvendel Studios\Tallowick\Delay\Shortcuts]
"C:\\App\\other.exe"="C:\\Users\\Public\\Startup\\other.lnk"
)");
  ASSERT_EQ(EnumerateDelayed(), 3);
  EXPECT_EQ(RunTitle(0), "app.exe");
  EXPECT_EQ(GetRunLocation(0), X64_RUN);
  EXPECT_EQ(GetRunAux(0), 90);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Orvendel Studios\\Tallowick\\Delay", "C:\\App\\app.exe"), "21");
  EXPECT_EQ(RunTitle(1), "Tool");
  EXPECT_EQ(RunSource(1), "Tool");
  EXPECT_EQ(GetRunAux(1), -45);
  EXPECT_EQ(GetRunLocation(2), STARTUP_FOLDER);
  EXPECT_EQ(RunSource(2), "C:\\Users\\Public\\Startup\\other.lnk");
}

// A record without a kept original (added on the tab) goes back as the applet, the file and
// the parameters; a changed parameter replaces the kept original.
TEST_F(DelayedTest, ARecordWithoutOriginalGoesBackAsItsCommand) {
  ASSERT_EQ(AddDelayedProgram("C:\\App\\app.exe", false), 1);
  ASSERT_EQ(EnumerateDelayed(), 1);
  DelayOptions o;
  o.seconds = 70;
  o.parameters = "-late";
  o.title = "App";
  o.runAsAdmin = true;
  ASSERT_EQ(WriteDelayOptions("C:\\App\\app.exe", HKCU_RUN, o), 1);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_RUNAS), "C:\\App\\app.exe"), "dword:49");
  ASSERT_EQ(EnumerateDelayed(), 1);
  EXPECT_EQ(GetRunAux(0), 70);
  ASSERT_EQ(RestoreDelayedItem(0), 1);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kHkcuRun, "App"), "C:\\App\\app.exe -late");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_RUNAS), "C:\\App\\app.exe"), "<no value>");
  EXPECT_EQ(EnumerateDelayed(), 0);
}

TEST_F(DelayedTest, TheCommandOfARecord) {
  const struct {
    const char* applet;
    const char* parameters;
    const char* command;
  } cases[] = {{"", "", "C:\\App\\app.dll"},
               {"", "-x", "C:\\App\\app.dll -x"},
               {"RunDLL32.exe", ",Entry now", "RunDLL32.exe C:\\App\\app.dll,Entry now"},
               {"RunDLL32.exe", "", "RunDLL32.exe C:\\App\\app.dll"}};
  for (const auto& c : cases) {
    DelayRecord r;
    r.applet = c.applet;
    r.parameters = c.parameters;
    EXPECT_EQ(DelayedCommand("C:\\App\\app.dll", r), c.command);
  }
}

TEST_F(DelayedTest, RemoveDelayedProgramKeepsWindowStateAndRunAs) {
  ASSERT_EQ(AddDelayedProgram("C:\\App\\app.exe", false), 1);
  WriteDelayOptions("C:\\App\\app.exe", HKCU_RUN, DelayOptions{});
  RemoveDelayedProgram("C:\\App\\app.exe", HKEY_CURRENT_USER);
  EXPECT_EQ(EnumerateDelayed(), 0);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_OPENAS), "C:\\App\\app.exe"), "0");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, DelayKeyPath(DELAY_RUNAS), "C:\\App\\app.exe"), "dword:48");
}

// Launching now: the parameters and the run-as flag of the program's own record; a command
// that ran through RUNDLL32 starts through it.
TEST_F(DelayedTest, LaunchUsesTheRecordOfTheProgramsHive) {
  Seed(R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Panel"="rundll32.exe C:\\App\\app.exe,Entry now"
)");
  EnumerateStartups(0);
  ASSERT_EQ(MoveRunItemToDelayed(Find("app.exe")), 1);
  ASSERT_EQ(EnumerateDelayed(), 1);
  DelayOptions o;
  o.parameters = ",Entry now";
  o.runAsAdmin = true;
  ASSERT_EQ(WriteDelayOptions(RunPath(0), HKCU_RUN, o), 1);
  machine_.launcher().launches.clear();
  EXPECT_EQ(LaunchDelayedItem(0), 0);
  ASSERT_FALSE(machine_.launcher().launches.empty());
  const auto& l = machine_.launcher().launches.front();
  EXPECT_EQ(l.verb, "runas");
  EXPECT_EQ(l.file, "RUNDLL32.EXE C:\\App\\app.exe");
  EXPECT_EQ(l.parameters, ",Entry now");
}

TEST_F(DelayedTest, DelayTimeTexts) {
  const struct {
    int seconds;
    const char* text;
  } cases[] = {{0, "0 Sec."}, {30, "30 Sec."}, {59, "59 Sec."}, {60, "1 Min. : 0 Sec."},
               {90, "1 Min. : 30 Sec."}, {-90, "1 Min. : 30 Sec."}, {3650, "60 Min. : 50 Sec."}};
  for (const auto& c : cases) EXPECT_EQ(DelayTimeText(c.seconds), c.text) << c.seconds;
}

// "-Restore" puts every delayed program back, from both hives.
TEST_F(DelayedTest, RestoreAllPutsEveryProgramBack) {
  Seed(R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"App"="\"C:\\App\\app.exe\" -x"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Tool"="C:\\App\\tool.exe"
)");
  EnumerateStartups(0);
  ASSERT_EQ(MoveRunItemToDelayed(Find("app.exe")), 1);
  ASSERT_EQ(MoveRunItemToDelayed(Find("tool.exe")), 1);
  EXPECT_EQ(RestoreAllDelayedPrograms(), 2);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kHkcuRun, "App"), "\"C:\\App\\app.exe\" -x");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kHkcuRun, "Tool", KEY_WOW64_64KEY), "C:\\App\\tool.exe");
  EXPECT_EQ(EnumerateDelayed(), 0);
}

// "-Restore" puts the delayed programs back before it deletes the program's keys and files:
// the all-users program is in its Run key again and its record is gone.
TEST_F(DelayedTest, RestoreInstallPutsDelayedProgramsBackFirst) {
  plat::ShellLink link;
  link.target = "C:\\App\\app.exe";
  link.description = "App";
  ASSERT_TRUE(machine_.links().Save((std::string(kStartupFolder) + "\\app.lnk").c_str(), link));
  Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Tool"="\"C:\\App\\tool.exe\" /min"
)");
  EnumerateStartups(0);
  ASSERT_EQ(MoveRunItemToDelayed(Find("tool.exe")), 1);
  EnumerateStartups(0);
  ASSERT_EQ(MoveRunItemToDelayed(Find("app.exe")), 1);
  app::RestoreInstall();
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kHkcuRun, "Tool", KEY_WOW64_64KEY), "\"C:\\App\\tool.exe\" /min");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDelayKey, "C:\\App\\tool.exe", KEY_WOW64_64KEY), "<no value>");
  EXPECT_NE(machine_.files().GetFileAttributesA((std::string(kStartupFolder) + "\\app.lnk").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(machine_.files().GetFileAttributesA("C:\\Users\\me\\AppData\\Tallowick"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DelayedTest, TheTraceHeaderListsTheDelayedPrograms) {
  const std::string trace = "C:\\Users\\me\\trace.txt";
  diag::SetTraceFile(trace);
  diag::SetTraceCounter(0);
  ASSERT_EQ(AddDelayedProgram("C:\\App\\app.exe", false), 1);
  DelayOptions o;
  o.title = "Late App";
  ASSERT_EQ(WriteDelayOptions("C:\\App\\app.exe", HKCU_RUN, o), 1);
  diag::InitializeTestLog();
  auto lines = contract::TraceLines(trace);
  EXPECT_TRUE(contract::TraceHas(lines, "Late App", "C:\\App\\app.exe"));
  EXPECT_EQ(RunCount(), 0);
}

// On a 32-bit Windows there is one view: an HKLM item is recorded and put back there.
class DelayedTest32 : public DelayedTest {
 protected:
  DelayedTest32() : DelayedTest(sim::MachineConfig{false, false, ""}) {}
};

TEST_F(DelayedTest32, AnAllUsersItemGoesBackToItsKey) {
  Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Tool"="C:\\App\\tool.exe /min"
)");
  EnumerateStartups(0);
  ASSERT_EQ(MoveRunItemToDelayed(Find("tool.exe")), 1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDelayKey, "C:\\App\\tool.exe"), "1");
  ASSERT_EQ(EnumerateDelayed(), 1);
  EXPECT_EQ(GetRunLocation(0), HKLM_RUN);
  ASSERT_EQ(RestoreDelayedItem(0), 1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kHkcuRun, "Tool"), "C:\\App\\tool.exe /min");
}

}  // namespace
