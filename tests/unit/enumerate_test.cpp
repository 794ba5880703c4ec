// The startup enumeration's rules on the simulated machine.
#include <string>
#include <vector>

#include "platform/links.h"
#include "platform/registry_access.h"
#include "settings/options.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/contract/run_rows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace startup;

using contract::Row;
using contract::Rows;

class Enumerate : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    ClearRunList();
  }
  void TearDown() override {
    ClearRunList();
    SimTest::TearDown();
  }
};

const std::string kCv = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kCu = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kWow = "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";

TEST_F(Enumerate, RunKeysWithTheirRules) {
  Seed("REGEDIT4\n\n[" + kCv + "\\Run]\n"
       "\"Audio\"=\"\\\"C:\\\\Audio\\\\tray.exe\\\" /bg\"\n"
       "\"x\"=\"C:\\\\one-letter.exe\"\n"
       "\"Tiny\"=\"a.ex\"\n"
       "\"Panel\"=\"rundll32.exe shell32.dll,Control_RunDLL x.cpl\"\n"
       "@=\"C:\\\\default.exe\"\n"
       "[" + kCu + "\\Run]\n\"Same\"=\"C:\\\\same.exe\"\n"
       "[" + kCu + "\\policies\\Explorer\\Run]\n\"Same\"=\"C:\\\\same.exe\"\n"
       "[" + kWow + "\\Run]\n\"Same\"=\"C:\\\\SAME.EXE\"\n\"Old\"=\"C:\\\\old32.exe\"\n"
       "\"Same\"=\"C:\\\\same.exe\"\n");
  EnumerateRunKeys();
  std::vector<Row> expected = {
      {"Audio", "C:\\Audio\\tray.exe /bg", HKLM_RUN, 0},
      {"Panel", "shell32.dll,Control_RunDLL x.cpl", HKLM_RUN, 1},
      {"", "C:\\default.exe", HKLM_RUN, 0},
      {"Same", "C:\\same.exe", HKCU_RUN, 0},
      // The policy key's copy follows the Run key's directly: not listed again; nor is the
      // 32-bit view's (which differs only in case).
      {"Old", "C:\\old32.exe", X64_RUN, 0},
  };
  EXPECT_EQ(Rows(), expected);
}

TEST_F(Enumerate, AReAddedDisabledEntryGoesBackIntoTheStore) {
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Orvendel Studios\\Tallowick\\Disabled]\n"
       "\"Back\"=\"11\"\n"
       "[HKEY_LOCAL_MACHINE\\Software\\Orvendel Studios\\Tallowick\\Disabled\\Run]\n"
       "\"Back\"=\"C:\\\\old.exe\"\n"
       "[" + kCu + "\\Run]\n\"Back\"=\"C:\\\\new.exe -again\"\n");
  EnumerateStartups(1);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Back"),
            "<no value>");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Orvendel Studios\\Tallowick\\Disabled\\Run", "Back"),
            "C:\\new.exe -again");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"Back", "C:\\new.exe -again", HKCU_RUN, 0}}));
  EXPECT_EQ(IsRunItemDisabled(0), HKCU_RUN);
}

TEST_F(Enumerate, WinlogonAndHiddenLocationsOnlyWhenAsked) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Hooks\\hook.dll", "MZ"));
  Seed("REGEDIT4\n\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon]\n"
       "\"UserInit\"=\"C:\\\\Windows\\\\system32\\\\userinit.exe, C:\\\\x\\\\added.exe\"\n"
       "\"Shell\"=\"Explorer.exe \"\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows]\n"
       "\"AppInit_Dlls\"=\"C:\\\\Hooks\\\\hook.dll, C:\\\\Gone\\\\gone.dll\"\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\NotifyHook]\n"
       "\"DllName\"=\"C:\\\\Hooks\\\\hook.dll\"\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad]\n"
       "\"Tray Loader\"=\"{BBBBBBBB-0000-0000-0000-000000000001}\"\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks]\n"
       "\"{BBBBBBBB-0000-0000-0000-000000000001}\"=\"\"\n"
       "[HKEY_CLASSES_ROOT\\CLSID\\{BBBBBBBB-0000-0000-0000-000000000001}]\n@=\"Hook Class\"\n"
       "[HKEY_CLASSES_ROOT\\CLSID\\{BBBBBBBB-0000-0000-0000-000000000001}\\InprocServer32]\n"
       "@=\"C:\\\\Hooks\\\\hook.dll\"\n");
  settings::Value(settings::Opt::ShowAllStartup) = 0;
  EXPECT_EQ(EnumerateStartups(1), 0);
  EnumerateStartups(0);
  std::vector<Row> expected = {
      {"Winlogon Userinit", "C:\\x\\added.exe", LOGON_USERINIT, 0},
      {"Winlogon Shell", "Explorer.exe", LOGON_SHELL, 0},
      {"Tray Loader", "C:\\Hooks\\hook.dll", DELAYLOAD, 0},
      {"Hook Class", "C:\\Hooks\\hook.dll", SHELLHOOK, 0},
      // Without a product name the title is the file's name.
      {"hook", "C:\\Hooks\\hook.dll", APPINIT_DLL, 0},
      {"gone", "C:\\Gone\\gone.dll", APPINIT_DLL, 0},
      {"NotifyHook", "C:\\Hooks\\hook.dll", NOTIFY, 0},
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(RunDetail(5), "File Does Not Exist");
  EXPECT_EQ(RunSource(2), "{BBBBBBBB-0000-0000-0000-000000000001}");
  settings::Value(settings::Opt::ShowAllStartup) = 1;
  EXPECT_EQ(EnumerateStartups(1), 7);
}

TEST_F(Enumerate, UserinitAndShellForms) {
  struct Case {
    const char* userinit;
    const char* shell;
    std::vector<Row> rows;
  } cases[] = {
      {"C:\\Windows\\system32\\userinit.exe,", "Explorer.exe",
       {{"Winlogon Userinit", "C:\\Windows\\system32\\userinit.exe", LOGON_USERINIT, 0},
        {"Winlogon Shell", "Explorer.exe", LOGON_SHELL, 0}}},
      {"C:\\Windows\\system32\\userinit.exe", "Explorer.exe  C:\\x\\shell.exe",
       {{"Winlogon Shell", "C:\\x\\shell.exe", LOGON_SHELL, 0}}},
  };
  for (const auto& c : cases) {
    plat::RegKey key(machine_.registry());
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                         KEY_ALL_ACCESS),
              ERROR_SUCCESS);
    machine_.registry().RegSetValueExA(key.get(), "UserInit", REG_SZ,
                                       reinterpret_cast<const BYTE*>(c.userinit),
                                       static_cast<DWORD>(strlen(c.userinit) + 1));
    machine_.registry().RegSetValueExA(key.get(), "Shell", REG_SZ,
                                       reinterpret_cast<const BYTE*>(c.shell),
                                       static_cast<DWORD>(strlen(c.shell) + 1));
    ClearRunList();
    EnumerateWinlogon();
    EXPECT_EQ(Rows(), c.rows) << c.userinit;
  }
}

TEST_F(Enumerate, AnAppInitValueOfSeparatorsOnlyIsDeleted) {
  const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  Seed(std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + key + "]\n\"AppInit_Dlls\"=\" , ,\"\n");
  EnumerateHiddenLocations();
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, "AppInit_Dlls"), "<no value>");
}

TEST_F(Enumerate, StartupFoldersAndWinIni) {
  const std::string user = "C:\\Users\\User\\Startup", common = "C:\\ProgramData\\Startup";
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
       "\"Startup\"=\"C:\\\\Users\\\\User\\\\Startup\"\n"
       "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
       "\"Common Startup\"=\"C:\\\\ProgramData\\\\Startup\"\n");
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Apps\\linked.exe", "MZ"));
  ASSERT_TRUE(machine_.files().WriteFileText(common + "\\keep.txt", ""));
  ASSERT_TRUE(machine_.files().WriteFileText(user + "\\desktop.ini", "[.ShellClassInfo]"));
  ASSERT_TRUE(machine_.files().WriteFileText(user + "\\backup.bat", "@echo off"));
  ASSERT_TRUE(machine_.files().CreateDirectoryA((user + "\\folder").c_str()));
  plat::ShellLink link;
  link.target = "C:\\Apps\\linked.exe";
  link.description = "Linked App";
  ASSERT_TRUE(machine_.links().Save((common + "\\linked.lnk").c_str(), link));
  link.target = "C:\\Apps\\gone.exe";
  link.description = "Gone";
  ASSERT_TRUE(machine_.links().Save((user + "\\gone.lnk").c_str(), link));
  machine_.links().SetResolveResult(user + "\\gone.lnk", S_FALSE);
  ASSERT_TRUE(machine_.files().WriteFileText(user + "\\broken.lnk", std::string("L\0\0\0 not a link", 16)));

  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Apps\\winrun.exe", "MZ"));
  ASSERT_TRUE(machine_.profile().WriteProfileStringA("windows", "run", "C:\\Apps\\winrun.exe;C:\\gone.exe"));
  ASSERT_TRUE(machine_.profile().WriteProfileStringA("windows", "load", ";C:\\Apps\\winrun.exe"));

  EnumerateStartupFolders();
  EnumerateWinIni();
  std::vector<Row> expected = {
      {"keep", common + "\\keep.txt", STARTUP_FOLDER, 0},
      {"Linked App", "C:\\Apps\\linked.exe", STARTUP_FOLDER, 0},
      {"backup", user + "\\backup.bat", STARTUP_FOLDER, 0},
      {"run", "C:\\Apps\\winrun.exe", WININI_RUN, 0},
      {"load", "C:\\Apps\\winrun.exe", WININI_LOAD, 0},
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(RunSource(1), common + "\\linked.lnk");
}

TEST_F(Enumerate, RunningFlagFromOneWalkOfTheProcessTable) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Sync Tool\\agent.exe", "MZ"));
  Seed("REGEDIT4\n\n[" + kCu + "\\Run]\n"
       "\"Agent\"=\"\\\"C:\\\\Program Files\\\\Sync Tool\\\\agent.exe\\\" -tray\"\n"
       "\"Bare\"=\"notepad.exe\"\n\"Idle\"=\"C:\\\\idle.exe\"\n");
  sim::SimProcess p;
  p.mainModule = "C:\\PROGRA~1\\SYNCTO~1\\agent.exe";  // the short form of the program
  machine_.processes().Add(p);
  p.mainModule = "C:\\Windows\\notepad.exe";
  machine_.processes().Add(p);
  p.mainModule = "C:\\idle.exe";
  p.refuseOpen = true;
  machine_.processes().Add(p);
  EnumerateStartups(1);
  ASSERT_EQ(RunCount(), 3);
  EXPECT_EQ(GetRunRunning(0), 1);
  EXPECT_EQ(GetRunRunning(1), 1);  // a bare name matches the module's file name
  EXPECT_EQ(GetRunRunning(2), 0);  // a process that cannot be opened is not seen
}

TEST_F(Enumerate, SnapshotForTheMonitor) {
  Seed("REGEDIT4\n\n[" + kCu + "\\Run]\n\"Agent\"=\"C:\\\\a=b\\\\agent.exe\"\n"
       "[HKEY_CURRENT_USER\\Software\\Orvendel Studios\\Tallowick\\Run]\n\"stale\"=\"1\"\n");
  InitRegStartups();
  EXPECT_EQ(RunCount(), 0);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kSnapshotRunKey, "C:\\a:b\\agent.exe"), "11");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kSnapshotRunKey, "stale"), "<no value>");
}

}  // namespace
