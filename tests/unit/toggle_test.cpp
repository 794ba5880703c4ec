// Disabling and enabling startup entries: where each kind goes, that it comes back exactly,
// and that a failing registry call never loses it.
#include <string>

#include "platform/command_path.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "startup/disable.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace startup;

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kDisabled = "Software\\Orvendel Studios\\Tallowick\\Disabled";
const std::string kQuoted = "\"C:\\Program Files\\Sync Tool\\agent.exe\" -tray";
const std::string kStripped = "C:\\Program Files\\Sync Tool\\agent.exe -tray";

// The text a view hands over for an entry: the run item's path.
std::string text_of(const std::string& data) {
  std::string command = data;
  paths::GetRunDllTarget(data, &command);
  return text::StripQuotes(command);
}

class Toggle : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
  }
  void SetRun(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    ASSERT_EQ(reg::SetRegStringValue(path.c_str(), root, name.c_str(), data.c_str()), 1);
  }
};

TEST_F(Toggle, RunKeyEntriesRoundTripExactly) {
  struct Case {
    HKEY root;
    std::string path;
    int code;
    std::string data;
  } cases[] = {
      {HKEY_CURRENT_USER, kRun, HKCU_RUN, kQuoted},
      {HKEY_LOCAL_MACHINE, kRun, HKLM_RUN, "C:\\Windows\\system32\\rundll32.exe shell32.dll,Control_RunDLL x.cpl"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", HKLM_RUNONCE, "C:\\once.exe /q"},
      {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", X64_RUN,
       "\"C:\\Program Files (x86)\\Old\\old.exe\""},
  };
  for (const auto& c : cases) {
    SetRun(c.root, c.path, "Entry", c.data);
    // The views hand over the run item's path: no quotes, no RUNDLL32.EXE.
    std::string shown = text_of(c.data);
    ASSERT_EQ(ToggleRunItem("Entry", shown, "", c.code), 1) << c.data;
    EXPECT_EQ(RegText(c.root, c.path, "Entry", KEY_WOW64_64KEY), "<no value>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDisabled + "\\" + CopyKeyFor(c.code), "Entry"), shown);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDisabled, "Entry"), std::to_string(c.code));

    ASSERT_EQ(ToggleRunItem("Entry", shown, "", c.code), 1) << c.data;
    EXPECT_EQ(RegText(c.root, c.path, "Entry", KEY_WOW64_64KEY), c.data);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDisabled, "Entry"), "<no value>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDisabled + "\\" + CopyKeyFor(c.code), "Entry"), "<no value>");
  }
}

TEST_F(Toggle, AStoreWrittenWithoutTheExactCommandStillEnables) {
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + kDisabled + "]\n\"Old\"=\"11\"\n"
       "[HKEY_LOCAL_MACHINE\\" + kDisabled + "\\Run]\n\"Old\"=\"C:\\\\old.exe -x\"\n");
  ASSERT_EQ(ToggleRunItem("Old", "C:\\old.exe -x", "", HKCU_RUN), 1);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRun, "Old"), "C:\\old.exe -x");
}

TEST_F(Toggle, WinIniFoldersAndNotify) {
  ASSERT_TRUE(machine_.profile().WriteProfileStringA("windows", "load", "C:\\a.exe;C:\\b.exe"));
  ASSERT_EQ(ToggleRunItem("b", "c:\\B.EXE", "", WININI_LOAD), 1);
  char buf[256];
  machine_.profile().GetProfileStringA("windows", "load", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "C:\\a.exe;");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDisabled + "\\WinLoad", "b"), "c:\\B.EXE");
  ASSERT_EQ(ToggleRunItem("b", "c:\\B.EXE", "", WININI_LOAD), 1);
  // The entry comes back as the list had it, not as the view wrote it.
  machine_.profile().GetProfileStringA("windows", "load", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "C:\\a.exe;;C:\\b.exe");

  // A shortcut of the common Startup folder comes back into it; into the user's Startup folder
  // when the common one is gone meanwhile.
  const std::string common = "C:\\ProgramData\\Startup", user = "C:\\Users\\User\\Startup";
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
       "\"Startup\"=\"C:\\\\Users\\\\User\\\\Startup\"\n");
  ASSERT_TRUE(machine_.files().WriteFileText(common + "\\tray.lnk", "L"));
  ASSERT_TRUE(machine_.files().WriteFileText(user + "\\keep.txt", ""));
  ASSERT_EQ(ToggleRunItem("Tray", "C:\\tray.exe", common + "\\tray.lnk", STARTUP_FOLDER), 1);
  const std::string parked = "C:\\Users\\User\\AppData\\Roaming\\Tallowick\\Disabled\\tray.lnk";
  EXPECT_EQ(machine_.files().ReadFileText(parked), "L");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kDisabled, "Tray"), "200");
  ASSERT_EQ(ToggleRunItem("Tray", "C:\\tray.exe", common + "\\tray.lnk", STARTUP_FOLDER), 1);
  EXPECT_EQ(machine_.files().ReadFileText(common + "\\tray.lnk"), "L");
  EXPECT_FALSE(machine_.files().Exists(parked));
  ASSERT_EQ(ToggleRunItem("Tray", "C:\\tray.exe", common + "\\tray.lnk", STARTUP_FOLDER), 1);
  ASSERT_TRUE(machine_.files().RemoveDirectoryA(common.c_str()));
  ASSERT_EQ(ToggleRunItem("Tray", "C:\\tray.exe", common + "\\tray.lnk", STARTUP_FOLDER), 1);
  EXPECT_EQ(machine_.files().ReadFileText(user + "\\tray.lnk"), "L");

  const std::string notify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\Hook";
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + notify + "]\n\"DllName\"=\"hook.dll\"\n");
  ASSERT_EQ(ToggleRunItem("Hook", "hook.dll", "", NOTIFY), 1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, notify, "DllName"), "");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, notify, "OldName"), "hook.dll");
  ASSERT_EQ(ToggleRunItem("Hook", "hook.dll", "", NOTIFY), 1);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, notify, "DllName"), "hook.dll");
  EXPECT_EQ(ToggleRunItem("Shell", "x.exe", "", LOGON_SHELL), 0);
}

// Wherever one registry call fails, the entry is still in its Run key or in the disabled
// store afterwards.
TEST_F(Toggle, AFailingCallNeverLosesTheEntry) {
  const char* calls[] = {"RegOpenKeyExA", "RegCreateKeyExA", "RegSetValueExA", "RegDeleteValueA",
                         "RegQueryValueExA"};
  for (const char* call : calls) {
    for (int skip = 0; skip < 12; ++skip) {
      for (bool startDisabled : {false, true}) {
        machine_.registry().ClearFailures();
        reg::DeleteRegKeyTreeCopy(kDisabled.c_str(), HKEY_LOCAL_MACHINE);
        reg::DeleteRegValue("Entry", HKEY_CURRENT_USER, kRun.c_str());
        SetRun(HKEY_CURRENT_USER, kRun, "Entry", kQuoted);
        if (startDisabled) {
          ASSERT_EQ(ToggleRunItem("Entry", kStripped, "", HKCU_RUN), 1);
        }
        machine_.registry().FailCall(call, ERROR_ACCESS_DENIED, skip);
        ToggleRunItem("Entry", kStripped, "", HKCU_RUN);
        machine_.registry().ClearFailures();
        bool inRun = RegText(HKEY_CURRENT_USER, kRun, "Entry") != "<no value>";
        bool inStore = RegText(HKEY_LOCAL_MACHINE, kDisabled, "Entry") != "<no value>" &&
                       RegText(HKEY_LOCAL_MACHINE, kDisabled + "\\Run", "Entry") != "<no value>";
        EXPECT_TRUE(inRun || inStore) << call << " after " << skip << (startDisabled ? " enabling" : " disabling");
      }
    }
  }
}

}  // namespace
