// The demo machine that the run command opens holds an entry of every kind of startup
// location.
#include <filesystem>
#include <set>
#include <string>

#include "settings/options.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace startup;

class DemoMachine : public testing_support::SimTest {};

TEST_F(DemoMachine, EveryLocationKindHasAnEntry) {
  const std::string demo = std::string(TW_FIXTURE_DIR) + "/../../demo";
  std::string error;
  ASSERT_TRUE(machine_.registry().LoadRegFile(demo + "/demo_machine.reg", &error)) << error;
  // The run command puts these into the demo user's Startup folder and win.ini.
  const std::string startupFolder = "C:\\Users\\User\\Startup";
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
       "\"Startup\"=\"C:\\\\Users\\\\User\\\\Startup\"\n");
  ASSERT_TRUE(machine_.files().WriteFileText(startupFolder + "\\keep", ""));
  for (const auto& entry : std::filesystem::directory_iterator(demo + "/startup"))
    std::filesystem::copy_file(entry.path(),
                               machine_.HostPath(startupFolder) + "/" + entry.path().filename().string());
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Glimmer\\glimmer.exe", "MZ"));
  ASSERT_TRUE(machine_.profile().WriteProfileStringA("windows", "run", "C:\\Program Files\\Glimmer\\glimmer.exe"));
  reg::SetNativeMasks();
  reg::Set64BitFlag(true);

  EnumerateStartups(0);
  std::set<int> codes;
  for (int i = 0; i < RunCount(); ++i) codes.insert(GetRunLocation(i));
  for (int code : {HKLM_RUN, HKLM_RUNONCE, HKCU_RUN, HKCU_RUNONCE, HKCU_POLICY, X64_RUN, X64_RUNONCE,
                   WININI_RUN, STARTUP_FOLDER, LOGON_USERINIT, LOGON_SHELL, DELAYLOAD, APPINIT_DLL, NOTIFY})
    EXPECT_TRUE(codes.count(code)) << code;
  bool disabledListed = false;
  for (int i = 0; i < RunCount(); ++i) disabledListed |= IsRunItemDisabled(i) != 0;
  EXPECT_TRUE(disabledListed);
  ClearRunList();
}

}  // namespace
