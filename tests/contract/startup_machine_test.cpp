// One machine with a startup entry of every location kind gives the same run list on the
// simulated machine and on Windows under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/process_state.h"
#include "platform/links.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/contract/contract_support.h"
#include "tests/contract/startup_fixture.h"
#include "tests/contract/run_rows.h"

namespace {

using namespace startup;

using contract::Row;

using contract::ReadRaw;
using contract::StartupMachine;

TEST_F(StartupMachine, EveryLocationKindIsListed) {
  PlaceMachine();
  EnumerateStartups(0);

  std::vector<Row> rows;
  for (int i = 0; i < RunCount(); ++i) {
    Row r = contract::RowOf(i);
    bool fixture = text::ContainsNoCase(r.title, "TwFix") || text::ContainsNoCase(r.path, "TwFix");
    // Wine's Resolve never gives up on a missing target, so Wine lists the dead shortcut;
    // Windows, and the simulated machine with it, leave it out.
    if (!env_->IsSimulated() && text::ContainsNoCase(r.path, "dead.exe")) continue;
    if (fixture) rows.push_back(r);
  }
  std::vector<Row> expected = {
      {"TwFixA_Audio", "C:\\TwFix\\Audio Tray\\tray.exe /bg", HKLM_RUN, 0},
      {"TwFixB_Panel", "shell32.dll,Control_RunDLL C:\\TwFix\\panel.cpl", HKLM_RUN, 1},
      {"", "C:\\TwFix\\default.exe", HKLM_RUN, 0},
      {"TwFix02", "C:\\TwFix\\p02.exe /once", HKLM_RUNONCE, 0},
      {"TwFix03", "C:\\TwFix\\p03.exe", HKLM_RUNONCEEX, 0},
      {"TwFix04", "C:\\TwFix\\p04.exe", HKLM_RUNSERVICES, 0},
      {"TwFix05", "C:\\TwFix\\p05.exe", HKLM_RUNSERVICESONCE, 0},
      {"TwFix06", "C:\\TwFix\\p06.exe", HKLM_RUNONCESETUP, 0},
      // The policy key is one key in both views of a 64-bit Windows, so its entries show
      // under both codes.
      {"TwFix07", "C:\\TwFix\\p07.exe", HKLM_POLICY, 0},
      {"TwFix27", "C:\\TwFix\\p27.exe", HKLM_POLICY, 0},
      {"TwFix11", "C:\\TwFix\\Sync Tool\\sync.exe -tray", HKCU_RUN, 0},
      {"TwFix12", "C:\\TwFix\\p12.exe", HKCU_RUNONCE, 0},
      {"TwFix13", "C:\\TwFix\\p13.exe", HKCU_RUNONCEEX, 0},
      {"TwFix14", "C:\\TwFix\\p14.exe", HKCU_RUNSERVICES, 0},
      {"TwFix15", "C:\\TwFix\\p15.exe", HKCU_RUNSERVICESONCE, 0},
      {"TwFix16", "C:\\TwFix\\p16.exe", HKCU_RUNONCESETUP, 0},
      {"TwFixDup", "C:\\TwFix\\dup.exe", HKCU_POLICY, 0},
      // The 32-bit view's copy of TwFixDup follows it directly and is not listed again.
      {"TwFixW21", "C:\\TwFix\\Old App\\old32.exe", X64_RUN, 0},
      {"TwFix22", "C:\\TwFix\\p22.exe", X64_RUNONCE, 0},
      {"TwFix23", "C:\\TwFix\\p23.exe", X64_RUNONCEEX, 0},
      {"TwFix24", "C:\\TwFix\\p24.exe", X64_RUNSERVICES, 0},
      {"TwFix25", "C:\\TwFix\\p25.exe", X64_RUNSERVICESONCE, 0},
      {"TwFix26", "C:\\TwFix\\p26.exe", X64_RUNONCESETUP, 0},
      {"TwFix07", "C:\\TwFix\\p07.exe", X64_POLICY, 0},
      {"TwFix27", "C:\\TwFix\\p27.exe", X64_POLICY, 0},
      {"TwFix Linked", "C:\\TwFix\\linked.exe", STARTUP_FOLDER, 0},
      {"twfix", "C:\\TwFix\\Startup\\twfix.bat", STARTUP_FOLDER, 0},
      {"run", "C:\\TwFix\\winrun.exe", WININI_RUN, 0},
      {"load", "C:\\TwFix\\winload.exe", WININI_LOAD, 0},
      {"TwFixOff", "C:\\TwFix\\off.exe", HKLM_RUN, 0},
      // Written back by its program after it was disabled: in the store again, as found.
      {"TwFixBack", "C:\\TwFix\\new.exe -again", HKCU_RUNONCE, 0},
      {"Winlogon Userinit", "C:\\TwFix\\added.exe", LOGON_USERINIT, 0},
      {"Winlogon Shell", "C:\\TwFix\\shell.exe", LOGON_SHELL, 0},
      {"TwFixLoader", "C:\\TwFix\\hook.dll", DELAYLOAD, 0},
      {"TwFix Sched", "C:\\TwFix\\hook.dll", TASKSCHEDULER, 0},
      {"TwFix Hook", "C:\\TwFix\\hook.dll", SHELLHOOK, 0},
      {"hook", "C:\\TwFix\\hook.dll", APPINIT_DLL, 0},
      {"TwFixNotify", "C:\\TwFix\\hook.dll", NOTIFY, 0},
  };
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(contract::ReadRaw(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "TwFixBack"),
            std::nullopt);
}

}  // namespace
