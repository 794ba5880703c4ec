// The run list, its limits and the location texts of startup items.
#include <string>

#include "app/app_state.h"
#include "settings/options.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace startup;

class RunList : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    ClearRunList();
    app::State().caption = "Tallowick";
  }
  void TearDown() override {
    ClearRunList();
    SimTest::TearDown();
  }
};

TEST_F(RunList, ItemsAreStoredAsTheRulesSay) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Sync Tool\\agent.exe", "MZ"));
  struct Case {
    std::string title, command;
    std::string expectedTitle, expectedPath;
  } cases[] = {
      {"(Default)", "C:\\x.exe", "", "C:\\x.exe"},
      {"TALLOWICK helper", "C:\\t.exe", "Tallowick", "C:\\t.exe"},
      {"Sync", "\"C:\\Program Files\\Sync Tool\\agent.exe\" -tray", "Sync",
       "C:\\Program Files\\Sync Tool\\agent.exe -tray"},
      {"", "C:\\PROGRA~1\\SYNCTO~1\\agent.exe", "agent", "C:\\Program Files\\Sync Tool\\agent.exe"},
      {"Short", "\"a\"", "Short", "a"},
      {std::string(200, 't'), "C:\\y.exe", std::string(127, 't'), "C:\\y.exe"},
  };
  for (const auto& c : cases) {
    ClearRunList();
    ASSERT_EQ(AddRunStruct(c.title, c.command, "", "", HKLM_RUN, 0), 1) << c.command;
    EXPECT_EQ(RunTitle(0), c.expectedTitle) << c.command;
    EXPECT_EQ(RunPath(0), c.expectedPath) << c.command;
  }
  EXPECT_EQ(AddRunStruct("empty", "", "", "", HKLM_RUN, 0), 0);
  EXPECT_EQ(AddRunStruct("quotes only", "\"\"", "", "", HKLM_RUN, 0), 1);
}

TEST_F(RunList, AClassIdCommandIsStoredAsItsServer) {
  Seed("REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID\\{11111111-2222-3333-4444-555555555555}]\n"
       "@=\"Tray Hook\"\n"
       "[HKEY_CLASSES_ROOT\\CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32]\n"
       "@=\"C:\\\\Windows\\\\hook.dll\"\n");
  ASSERT_EQ(AddRunStruct("Hook", "{11111111-2222-3333-4444-555555555555}", "", "", DELAYLOAD, 0), 1);
  EXPECT_EQ(RunPath(0), "C:\\Windows\\hook.dll");
}

TEST_F(RunList, LimitsOfTheListAndOfCookies) {
  for (int i = 0; i < kMaxRunItems; ++i)
    ASSERT_EQ(AddRunStruct("t", "C:\\a.exe", "", "", HKLM_RUN, 0), 1);
  EXPECT_EQ(AddRunStruct("t", "C:\\a.exe", "", "", HKLM_RUN, 0), 0);
  EXPECT_EQ(RunCount(), kMaxRunItems);
  ClearRunList();
  settings::Value(settings::Opt::MaxCookie) = 3;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(AddRunStruct("c", "cookie", "", "", INFO_COOKIE, 0), 1);
  EXPECT_EQ(AddRunStruct("c", "cookie", "", "", INFO_COOKIE, 0), 0);
  EXPECT_EQ(AddRunStruct("s", "C:\\s.exe", "", "", HKLM_RUN, 0), 1);
  // Out of range indexes read as nothing.
  EXPECT_EQ(RunTitle(-1), "");
  EXPECT_EQ(GetRunLocation(99), 0);
  EXPECT_EQ(GetRunHive(99), HKEY_LOCAL_MACHINE);
}

TEST_F(RunList, LocationTextsWithTheDisabledMarker) {
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Orvendel Studios\\Tallowick\\Disabled]\n"
       "\"Off\"=\"1\"\n\"Policy\"=\"7\"\n");
  struct Case {
    const char* title;
    int code;
    const char* expected;
  } cases[] = {
      {"On", HKLM_RUN, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {"Off", HKLM_RUN, " *    Disabled * HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {"On", HKCU_RUNONCE, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
      {"On", X64_RUN, "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {"On", HKLM_POLICY, ""},
      {"Policy", HKLM_POLICY, " *    Disabled * "},
      {"On", W_RUNONCE, ""},
      {"On", WININI_LOAD, "WIN.INI     [Load] Section"},
      {"On", APPINIT_DLL, "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows  AppInit_DLLs"},
      {"Off", TASK_SCHEDULED, "Windows Task Scheduler 1.0"},
      {"On", TYPE_TOOLBAR, "Internet Explorer - Toolbar Add-On Extension"},
      {"Off", SERVICE_EXE, ""},
  };
  for (const auto& c : cases) {
    ClearRunList();
    ASSERT_EQ(AddRunStruct(c.title, "C:\\a.exe", "", "", c.code, 0), 1);
    EXPECT_EQ(RunLocationText(0), c.expected) << c.title << " " << c.code;
  }
  EXPECT_STREQ(LocationListName(X64_RUN), "x64_RUN");
  EXPECT_STREQ(LocationListName(W_RUNSERVICESONCE), "W_RUNSERVICESONCE");
}

TEST_F(RunList, Windows8ApprovalData) {
  machine_.system().version.minor = 2;
  Seed("REGEDIT4\n\n"
       "[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run]\n"
       "\"Off\"=hex:03,00,00,00,00,00,00,00,00,00,00,00\n\"On\"=hex:02,00,00,00\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder]\n"
       "\"tray.lnk\"=hex:03,00\n");
  ASSERT_EQ(AddRunStruct("Off", "C:\\a.exe", "", "", HKCU_RUN, 0), 1);
  ASSERT_EQ(AddRunStruct("On", "C:\\a.exe", "", "", HKCU_RUN, 0), 1);
  ASSERT_EQ(AddRunStruct("Tray", "C:\\b.exe", "C:\\Startup\\tray.lnk", "", STARTUP_FOLDER, 1), 1);
  EXPECT_EQ(IsRunItemDisabled(0), 1);
  EXPECT_EQ(IsRunItemDisabled(1), 0);
  EXPECT_EQ(IsRunItemDisabled(2), 1);
  // On Windows 7 the approval data means nothing.
  machine_.system().version.minor = 1;
  EXPECT_EQ(IsRunItemDisabled(0), 0);
}

}  // namespace
