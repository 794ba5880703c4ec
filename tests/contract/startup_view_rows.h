// What the Startup Programs tab shows for the startup fixture machine (startup_fixture.h) with
// the secret locations shown: one row per fixture entry in run-list order, unsorted. Shared by
// the headless view test and the test that reads the real window under Wine.
#pragma once
#include <string>
#include <vector>

#include "platform/text.h"

namespace contract {

struct ViewRow {
  std::string title, command, status, company, type;
  bool dated = false;  // First Detected holds today's date (the program file exists)
  bool operator==(const ViewRow&) const = default;
};

inline constexpr const char* kNoFile = "File Does Not Exist";

// The rows of the fixture's entries (Wine also lists the dead shortcut; see the run-list test).
inline std::vector<ViewRow> ExpectedStartupViewRows() {
  const std::string gone = kNoFile;
  return {
      {"TwFixA_Audio", "tray.exe /bg", gone, gone, "HKLM_RUN"},
      {"TwFixB_Panel", "RunDLL32.exe panel.cpl", gone, gone, "HKLM_RUN"},
      {"", "default.exe", gone, gone, "HKLM_RUN"},
      {"TwFix02", "p02.exe /once", gone, gone, "HKLM_RUNONCE"},
      {"TwFix03", "p03.exe", gone, gone, "HKLM_RUNONCEEX"},
      {"TwFix04", "p04.exe", gone, gone, "HKLM_RUNSERVICES"},
      {"TwFix05", "p05.exe", gone, gone, "HKLM_RUNSERVICESONCE"},
      {"TwFix06", "p06.exe", gone, gone, "HKLM_RUNONCESETUP"},
      {"TwFix07", "p07.exe", gone, gone, "HKLM_POLICY"},
      {"TwFix27", "p27.exe", gone, gone, "HKLM_POLICY"},
      {"TwFix11", "sync.exe -tray", gone, gone, "HKCU_RUN"},
      {"TwFix12", "p12.exe", gone, gone, "HKCU_RUNONCE"},
      {"TwFix13", "p13.exe", gone, gone, "HKCU_RUNONCEEX"},
      {"TwFix14", "p14.exe", gone, gone, "HKCU_RUNSERVICES"},
      {"TwFix15", "p15.exe", gone, gone, "HKCU_RUNSERVICESONCE"},
      {"TwFix16", "p16.exe", gone, gone, "HKCU_RUNONCESETUP"},
      {"TwFixDup", "dup.exe", gone, gone, "HKCU_POLICY"},
      {"TwFixW21", "old32.exe", gone, gone, "x64_RUN"},
      {"TwFix22", "p22.exe", gone, gone, "x64_RUNONCE"},
      {"TwFix23", "p23.exe", gone, gone, "x64_RUNONCEEX"},
      {"TwFix24", "p24.exe", gone, gone, "x64_RUNSERVICES"},
      {"TwFix25", "p25.exe", gone, gone, "x64_RUNSERVICESONCE"},
      {"TwFix26", "p26.exe", gone, gone, "x64_RUNONCESETUP"},
      {"TwFix07", "p07.exe", gone, gone, "x64_POLICY"},
      {"TwFix27", "p27.exe", gone, gone, "x64_POLICY"},
      {"TwFix Linked", "linked.exe", "", "", "STARTUP_FOLDER", true},
      {"twfix", "twfix.bat", "", "", "STARTUP_FOLDER", true},
      {"run", "winrun.exe", "", "", "WIN.INI_RUN", true},
      {"load", "winload.exe", "", "", "WIN.INI_LOAD", true},
      {"TwFixOff", "off.exe", gone, gone, "   Disabled"},
      {"TwFixBack", "new.exe -again", gone, gone, "   Disabled"},
      {"Winlogon Userinit", "added.exe", gone, gone, "LOGON_USERINIT"},
      {"Winlogon Shell", "shell.exe", gone, gone, "LOGON_SHELL"},
      {"TwFixLoader", "hook.dll", "", "", "DELAYLOAD", true},
      {"TwFix Sched", "hook.dll", "", "", "TASKSCHEDULER", true},
      {"TwFix Hook", "hook.dll", "", "", "SHELLHOOK", true},
      {"hook", "hook.dll", "", "", "APPINIT_DLL", true},
      {"TwFixNotify", "hook.dll", "", "", "NOTIFY", true},
  };
}

// Whether a row of the list belongs to the fixture (the machine may have startup entries of
// its own): its title or command names the fixture, or it is one of the fixture's entries
// whose title is the location's own.
inline bool IsFixtureRow(const std::string& title, const std::string& command) {
  if (text::ContainsNoCase(title, "TwFix")) return true;
  for (const ViewRow& r : ExpectedStartupViewRows())
    if (r.title == title && r.command == command) return true;
  return false;
}

}  // namespace contract
