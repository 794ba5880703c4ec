// Removing, restoring and the special startup locations on the simulated machine: a failing
// registry or file call never loses an entry, the default entries need the ticked warning,
// the monitor's list holds the enabled programs, and running programs are found and ended.
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/command_path.h"
#include "platform/links.h"
#include "platform/paths.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "records/history.h"
#include "startup/default_warning.h"
#include "startup/disable.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/restart_commands.h"
#include "startup/run_list.h"
#include "startup/run_ops.h"
#include "sysobjects/active_tasks.h"
#include "ui/sim/sim_page_host.h"
#include "tests/contract/run_rows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace startup;
using uisim::SimPageHost;

const std::string kCv = "Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::string kDisabled = "Software\\Orvendel Studios\\Tallowick\\Disabled";
const std::string kShellFolders = kCv + "Explorer\\Shell Folders";
const std::string kData = "C:\\Users\\User\\AppData\\Roaming\\Tallowick";

std::string HistoryText() {
  std::string bytes;
  plat::Files().ReadFileBytes((kData + "\\history.txt").c_str(), &bytes, 1 << 20);
  return bytes;
}

// The last history line's fields.
std::vector<std::string> LastLine() {
  std::string text = HistoryText();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  size_t at = text.rfind('\n');
  std::string line = text.substr(at == std::string::npos ? 0 : at + 1);
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

// One entry of each kind whose steps touch both the registry and files.
struct Entry {
  const char* what;
  int code;
  const char* title;
  HKEY root;
  const char* key;  // Run key, win.ini list name, or the file
  const char* data;  // value data, list entry, or shortcut target
};

const Entry kEntries[] = {
    {"HKCU Run, quoted", HKCU_RUN, "Sync", HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     "\"C:\\Program Files\\Sync Tool\\sync.exe\" -tray"},
    {"HKLM Run, RUNDLL32", HKLM_RUN, "Panel", HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     "C:\\Windows\\system32\\rundll32.exe shell32.dll,Control_RunDLL C:\\Tools\\panel.cpl"},
    {"win.ini load", WININI_LOAD, "load", nullptr, "load", "C:\\Tools\\winload.exe"},
    {"common Startup shortcut", STARTUP_FOLDER, "Tray", nullptr, "C:\\ProgramData\\Startup\\tray.lnk",
     "C:\\Tools\\tray.exe"},
};

class Machine {
 public:
  Machine() {
    machine_ = std::make_unique<sim::SimMachine>();
    machine_->Install();
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
  }
  ~Machine() { plat::Install(nullptr); }
  sim::SimMachine& m() { return *machine_; }

  void Place(const Entry& e) {
    auto& files = machine_->files();
    files.WriteFileText("C:\\Tools\\winload.exe", "MZ");
    files.WriteFileText("C:\\Tools\\tray.exe", "MZ");
    files.WriteFileText("C:\\Users\\User\\Startup\\keep.txt", "");
    reg::SetRegStringValue(kShellFolders.c_str(), HKEY_CURRENT_USER, "Startup", "C:\\Users\\User\\Startup");
    reg::SetRegStringValue(kShellFolders.c_str(), HKEY_LOCAL_MACHINE, "Common Startup", "C:\\ProgramData\\Startup");
    if (e.code == WININI_LOAD) {
      machine_->profile().WriteProfileStringA("windows", "load", e.data);
    } else if (e.code == STARTUP_FOLDER) {
      plat::ShellLink link;
      link.target = e.data;
      link.arguments = "-min";
      link.description = e.title;
      files.WriteFileText("C:\\ProgramData\\Startup\\x.txt", "");
      plat::Links().Save(e.key, link);
    } else {
      reg::View64 view;
      reg::SetRegStringValue(e.key, e.root, e.title, e.data);
    }
  }

  bool InPlace(const Entry& e) {
    if (e.code == WININI_LOAD) {
      char buf[512] = {};
      plat::Profile().GetProfileStringA("windows", "load", "", buf, sizeof buf);
      std::string list = std::string(";") + buf + ";";
      return list.find(std::string(";") + e.data + ";") != std::string::npos &&
             list.find(e.data) == list.rfind(e.data);
    }
    if (e.code == STARTUP_FOLDER) {
      plat::ShellLink link;
      return plat::Links().Load(e.key, &link, false, 0) && link.target == e.data && link.arguments == "-min" &&
             link.description == e.title;
    }
    return RunKeyText(e.root, e.key, e.title) == e.data;
  }

  int Row(const Entry& e) { return contract::StartupItemOf(e.title, e.code); }
  int Toggle(const Entry& e) {
    int i = Row(e);
    return i < 0 ? -1 : ToggleRunItem(RunTitle(i), RunPath(i), RunSource(i), e.code);
  }
  int Remove(const Entry& e) {
    int i = Row(e);
    return i < 0 ? -1 : DeleteRunProgram(e.code, RunTitle(i), RunPath(i), RunSource(i));
  }

  // The entry is in its location, or can be enabled from the disabled store, or restored
  // from a history line of its own: back exactly each way.
  bool Recoverable(const Entry& e, std::string* how) {
    if (InPlace(e)) return *how = "in place", true;
    int i = Row(e);
    if (i >= 0 && IsRunItemDisabled(i)) {
      *how = "disabled";
      ToggleRunItem(RunTitle(i), RunPath(i), RunSource(i), e.code);
      return InPlace(e);
    }
    std::vector<std::string> f = LastLine();
    if (f.size() >= 6 && f[3] == e.title) {
      *how = "restored";
      RestoreRunItem(f[5], f[3], f[4], e.code);
      return InPlace(e);
    }
    *how = "lost";
    return false;
  }

 private:
  std::unique_ptr<sim::SimMachine> machine_;
};

class StartupOps : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
  }
};

// Wherever one registry or file call fails during a disable, an enable or a removal, the
// entry is afterwards in its location, in the disabled store, or restorable from its history
// line, and comes back exactly from there.
class StartupOpsFailures : public ::testing::TestWithParam<int> {};

TEST_P(StartupOpsFailures, AFailingCallNeverLosesAnEntry) {
  const char* regCalls[] = {"RegOpenKeyExA", "RegCreateKeyExA", "RegSetValueExA", "RegDeleteValueA",
                            "RegQueryValueExA", "RegEnumValueA"};
  const char* fileCalls[] = {"MoveFileExA", "DeleteFileA", "CopyFileA", "CreateDirectoryA", "SetFileAttributesA",
                             "GetFileAttributesA", "ReadFileBytes", "WriteFileBytes", "AppendFileBytes",
                             "WritePrivateProfileStringA"};
  enum Op { kDisable, kEnable, kRemove };
  const Entry& e = kEntries[GetParam()];
  {
    for (Op op : {kDisable, kEnable, kRemove}) {
      std::vector<std::pair<std::string, bool>> calls;
      for (const char* c : regCalls) calls.emplace_back(c, true);
      for (const char* c : fileCalls) calls.emplace_back(c, false);
      // What the view hands over, the same on every fresh machine.
      std::string title, path, source;
      {
        Machine m;
        m.Place(e);
        if (op == kEnable) {
          ASSERT_EQ(m.Toggle(e), 1) << e.what;
        }
        int row = m.Row(e);
        ASSERT_GE(row, 0) << e.what;
        title = RunTitle(row), path = RunPath(row), source = RunSource(row);
      }
      for (const auto& [call, isReg] : calls) {
        // Every call of the operation's own steps; further on (the enumeration after a removal)
        // every seventh.
        for (int skip = 0; skip < 400; skip += skip < 40 ? 1 : 7) {
          Machine m;
          m.Place(e);
          if (op == kEnable) {
            ASSERT_EQ(m.Toggle(e), 1) << e.what;
          }
          if (isReg)
            m.m().registry().FailCall(call, ERROR_ACCESS_DENIED, skip);
          else
            m.m().files().FailCall(call, ERROR_ACCESS_DENIED, skip);
          if (op == kRemove)
            DeleteRunProgram(e.code, title, path, source);
          else
            ToggleRunItem(title, path, source, e.code);
          bool reached = isReg ? !m.m().registry().FailurePending(call) : !m.m().files().FailurePending(call);
          m.m().registry().ClearFailures();
          m.m().files().ClearFailures();
          std::string how;
          EXPECT_TRUE(m.Recoverable(e, &how))
              << e.what << ": " << call << " failing after " << skip << " calls during "
              << (op == kDisable ? "disable" : op == kEnable ? "enable" : "remove") << " left it " << how;
          if (!reached) break;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EachKind, StartupOpsFailures, ::testing::Range(0, static_cast<int>(std::size(kEntries))));

TEST_F(StartupOps, RemovalWritesItsHistoryLineAndLeavesOtherFilesAlone) {
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kShellFolders + "]\n\"Startup\"=\"C:\\\\Users\\\\User\\\\Startup\"\n");
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Tools\\agent.exe", "MZ"));
  ASSERT_EQ(reg::SetRegStringValue((kCv + "Run").c_str(), HKEY_CURRENT_USER, "Agent", "\"C:\\Tools\\agent.exe\" /s"), 1);

  ASSERT_EQ(DeleteRunProgram(HKCU_RUN, "Agent", "C:\\Tools\\agent.exe /s", ""), 1);
  std::vector<std::string> f = LastLine();
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[1], "*START_Remove");
  EXPECT_EQ(f[2], "CURRENT_RUN");
  EXPECT_EQ(f[3], "Agent");
  EXPECT_EQ(f[4], "C:\\Tools\\agent.exe /s");
  // The exact command Windows had rides along, for an exact restore.
  EXPECT_EQ(f[5], "\"C:\\Tools\\agent.exe\" /s");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kCv + "Run", "Agent"), "<no value>");

  // A Startup-folder row whose shortcut is already gone: the program it ran is not touched.
  EXPECT_EQ(DeleteRunProgram(STARTUP_FOLDER, "Agent", "C:\\Tools\\agent.exe", "C:\\Users\\User\\Startup\\agent.lnk"), 1);
  EXPECT_TRUE(machine_.files().Exists("C:\\Tools\\agent.exe"));

  // The product's own entry leaves no line; a code that names no location removes nothing and
  // writes nothing.
  std::string before = HistoryText();
  ASSERT_EQ(reg::SetRegStringValue((kCv + "Run").c_str(), HKEY_CURRENT_USER, "Tw", "C:\\Tallowick\\Tallowick.exe"), 1);
  EXPECT_EQ(DeleteRunProgram(HKCU_RUN, "Tw", "C:\\Tallowick\\Tallowick.exe", ""), 1);
  EXPECT_EQ(DeleteRunProgram(TYPE_UNKNOWN, "Agent", "C:\\Tools\\agent.exe", ""), 0);
  EXPECT_EQ(HistoryText(), before);
}

TEST_F(StartupOps, DefaultEntriesNeedTheTickedWarning) {
  const std::string delayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
  const std::string winlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + delayLoad + "]\n\"Loader\"=\"{11111111-2222-3333-4444-555555555555}\"\n"
       "[HKEY_LOCAL_MACHINE\\" + winlogon + "]\n\"Shell\"=\"Explorer.exe C:\\\\x\\\\hook.exe\"\n");
  SimPageHost host;
  // OK with the box unticked: "no", nothing changes.
  host.onDialog = [](int, SimPageHost& dialog, ui::Page& view) { view.OnCommand(dialog, ui::kIdOk); };
  EXPECT_EQ(DeleteRunProgram(DELAYLOAD, "Loader", "C:\\x\\loader.dll", "{11111111-2222-3333-4444-555555555555}",
                             &host),
            0);
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].dialog, kDefaultWarningDialog);
  EXPECT_EQ(host.lastDialogControls[IDC_WARNING_FILE].text, "C:\\x\\loader.dll");
  EXPECT_EQ(host.lastDialogControls[IDC_WARNING_TITLE].text, "Loader");
  EXPECT_EQ(host.lastDialogCaption, "Tallowick Message");
  EXPECT_NE(RegText(HKEY_LOCAL_MACHINE, delayLoad, "Loader"), "<no value>");
  EXPECT_EQ(HistoryText(), "");
  // Without anyone to ask nothing is removed either.
  EXPECT_EQ(DeleteRunProgram(DELAYLOAD, "Loader", "C:\\x\\loader.dll", "{1}"), 0);

  host.onDialog = [](int, SimPageHost& dialog, ui::Page& view) {
    dialog.SetChecked(IDC_WARNING_CONFIRM, true);
    view.OnCommand(dialog, ui::kIdOk);
  };
  EXPECT_EQ(DeleteRunProgram(DELAYLOAD, "Loader", "C:\\x\\loader.dll", "{11111111-2222-3333-4444-555555555555}",
                             &host),
            1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, delayLoad, "Loader"), "<no value>");
  EXPECT_EQ(LastLine()[1], "REMOVE_DELAYLOAD");
  EXPECT_EQ(RestoreRunItem("{11111111-2222-3333-4444-555555555555}", "Loader", "C:\\x\\loader.dll", DELAYLOAD), 1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, delayLoad, "Loader"), "{11111111-2222-3333-4444-555555555555}");

  // The Shell is reset without asking.
  host.dialogs.clear();
  EXPECT_EQ(DeleteRunProgram(LOGON_SHELL, "Winlogon Shell", "C:\\x\\hook.exe", "", &host), 1);
  EXPECT_TRUE(host.dialogs.empty());
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, winlogon, "Shell"), "Explorer.exe");
  EXPECT_EQ(LastLine()[1], "RESET_SHELL");
}

TEST_F(StartupOps, AppInitListsLoseAndRegainOneDll) {
  const std::string windows = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  struct Case {
    const char* before;
    const char* removed;
    const char* after;
  } cases[] = {
      {"C:\\a\\one.dll,C:\\b\\two.dll", "C:\\b\\two.dll", "C:\\a\\one.dll"},
      {"C:\\a\\one.dll, C:\\b\\two.dll", "C:\\a\\one.dll", "C:\\b\\two.dll"},
      {"C:\\a\\one.dll", "c:\\A\\ONE.DLL", ""},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(reg::SetRegStringValue(windows.c_str(), HKEY_LOCAL_MACHINE, "AppInit_Dlls", c.before), 1);
    EXPECT_EQ(RemoveAppInitDll(c.removed), 1);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, windows, "AppInit_Dlls"), c.after) << c.before;
  }
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Hook Lib\\hooklib.dll", "MZ"));
  EXPECT_EQ(RestoreRunItem("", "hook", "C:\\Program Files\\Hook Lib\\hooklib.dll", APPINIT_DLL), 1);
  std::string value = RegText(HKEY_LOCAL_MACHINE, windows, "AppInit_Dlls");
  EXPECT_EQ(value.find(' '), std::string::npos) << value;
  EXPECT_EQ(text::CompareNoCase(paths::GetLongPath(value), "C:\\Program Files\\Hook Lib\\hooklib.dll"), 0) << value;
}

TEST_F(StartupOps, TheMonitorsListHoldsTheEnabledProgramsAndTheViewKeepsItsRows) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Tools\\on.exe", "MZ"));
  ASSERT_EQ(reg::SetRegStringValue((kCv + "Run").c_str(), HKEY_CURRENT_USER, "OnTool", "C:\\Tools\\on.exe -x"), 1);
  ASSERT_EQ(reg::SetRegStringValue((kCv + "Run").c_str(), HKEY_CURRENT_USER, "OffTool", "C:\\Tools\\off.exe"), 1);
  ASSERT_EQ(ToggleRunItem("OffTool", "C:\\Tools\\off.exe", "", HKCU_RUN), 1);
  ClearRunList();
  AddRunStruct("Row", "C:\\row.exe", "", "", HKLM_RUN, 0);

  EXPECT_EQ(InitMissingRunPrograms(1), 1);
  const std::string active = "Software\\Orvendel Studios\\Tallowick\\ActiveRun";
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, active, "C:\\TOOLS\\ON.EXE"), "OnTool");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, active, "C:\\TOOLS\\OFF.EXE"), "<no value>");
  ASSERT_EQ(RunCount(), 1);
  EXPECT_EQ(RunTitle(0), "Row");

  EXPECT_EQ(InitMissingRunPrograms(0), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, active));
}

TEST_F(StartupOps, ApprovalServerAndRestartDeletion) {
  const std::string run32 = kCv + "Explorer\\StartupApproved\\Run32";
  EXPECT_EQ(EnableStartupApproved("Tool", HKEY_CURRENT_USER), -1);
  ASSERT_EQ(reg::CreateRegKey(HKEY_CURRENT_USER, run32.c_str()), 1);
  EXPECT_EQ(EnableStartupApproved("Tool", HKEY_CURRENT_USER), 2);
  {
    plat::RegKey key(machine_.registry());
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, run32.c_str(), KEY_READ), ERROR_SUCCESS);
    BYTE data[32] = {};
    DWORD size = sizeof data, type = 0;
    ASSERT_EQ(machine_.registry().RegQueryValueExA(key.get(), "Tool", &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(std::vector<BYTE>(data, data + size), (std::vector<BYTE>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  }

  EXPECT_EQ(RegisterServer("C:\\Program Files\\Helper\\helper.dll"), 1);
  ASSERT_EQ(machine_.launcher().launches.size(), 1u);
  EXPECT_EQ(machine_.launcher().launches[0].file, "regsvr32 /s \"C:\\Program Files\\Helper\\helper.dll\"");

  // NT: the system deletes it at the next start; no wininit.ini is written.
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\bad\\bad.exe", "MZ"));
  EXPECT_EQ(DeleteFileOnRestart("C:\\bad\\bad.exe"), 1);
  auto pending = machine_.files().PendingFileOperations();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].first, "\\??\\C:\\bad\\bad.exe");
  EXPECT_EQ(pending[0].second, "");
  EXPECT_FALSE(machine_.files().Exists("C:\\Windows\\wininit.ini"));

  // Windows 9x: a NUL= line at the top of [rename], the lines there kept.
  machine_.system().version.platformId = VER_PLATFORM_WIN32_WINDOWS;
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Windows\\wininit.ini", "[rename]\r\nNUL=C:\\OLD.EXE\r\n"));
  EXPECT_EQ(DeleteFileOnRestart("C:\\bad\\bad.exe"), 1);
  char shortPath[261] = {};
  ASSERT_GT(machine_.files().GetShortPathNameA("C:\\bad\\bad.exe", shortPath, 260), 0u);
  EXPECT_EQ(machine_.files().ReadFileText("C:\\Windows\\wininit.ini"),
            std::string("[rename]\r\nNUL=") + shortPath + "\r\nNUL=C:\\OLD.EXE\r\n");
  EXPECT_EQ(DeleteFileOnRestart("C:\\bad\\missing.exe"), 0);
}

TEST_F(StartupOps, RunningProgramsAreFoundAndEndedAfterAsking) {
  DWORD first = machine_.processes().Add({0, "C:\\Tools\\agent.exe"});
  DWORD second = machine_.processes().Add({0, "C:\\Other\\agent.exe"});
  EXPECT_EQ(sysobjects::FindProcessByPath("C:\\tools\\AGENT.exe"), first);
  EXPECT_EQ(sysobjects::FindProcessByPath("agent.exe"), second);  // the last one met
  EXPECT_EQ(sysobjects::FindProcessByPath("C:\\Tools\\other.exe"), 0u);

  SimPageHost host;
  host.answers = {ui::kIdNo};
  EXPECT_EQ(sysobjects::KillStartupTask("Agent", "C:\\Tools\\agent.exe", true, &host), first);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_NE(host.questions[0].text.find("Agent is currently an actively running program."), std::string::npos);
  EXPECT_TRUE(machine_.processes().IsRunning(first));
  EXPECT_TRUE(machine_.system().repaints.empty());
  EXPECT_EQ(HistoryText(), "");

  host.answers = {ui::kIdYes};
  EXPECT_EQ(sysobjects::KillStartupTask("Agent", "C:\\Tools\\agent.exe", true, &host), first);
  EXPECT_FALSE(machine_.processes().IsRunning(first));
  EXPECT_EQ(machine_.system().repaints, std::vector<std::string>{"Shell_TrayWnd"});
  EXPECT_TRUE(machine_.processes().IsRunning(second));
  std::vector<std::string> f = LastLine();
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[1], "TASK_Kill");
  EXPECT_EQ(f[2], "INFO_TASK");
  EXPECT_EQ(f[4], "C:\\Tools\\agent.exe");
  EXPECT_EQ(sysobjects::KillStartupTask("Agent", "C:\\Tools\\agent.exe", false), 0u);
}

}  // namespace
