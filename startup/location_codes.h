// The one numeric code space that says where a run item was found or what kind of object
// it is, with the names and location texts of the startup locations.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace startup {

enum LocationCode : int {
  HKLM_RUN = 1, HKLM_RUNONCE = 2, HKLM_RUNONCEEX = 3, HKLM_RUNSERVICES = 4,
  HKLM_RUNSERVICESONCE = 5, HKLM_RUNONCESETUP = 6, HKLM_POLICY = 7,
  HKCU_RUN = 11, HKCU_RUNONCE = 12, HKCU_RUNONCEEX = 13, HKCU_RUNSERVICES = 14,
  HKCU_RUNSERVICESONCE = 15, HKCU_RUNONCESETUP = 16, HKCU_POLICY = 17,
  X64_RUN = 21, X64_RUNONCE = 22, X64_RUNONCEEX = 23, X64_RUNSERVICES = 24,
  X64_RUNSERVICESONCE = 25, X64_RUNONCESETUP = 26, X64_POLICY = 27,
  RUN_POLICY = 31, W_RUNONCE = 32, W_RUNONCEEX = 33, W_RUNSERVICES = 34, W_RUNSERVICESONCE = 35,
  WININI_LOAD = 100, WININI_RUN = 101,
  STARTUP_FOLDER = 200,
  LOGON_USERINIT = 250, LOGON_SHELL = 251, DELAYLOAD = 252, TASKSCHEDULER = 253,
  SHELLHOOK = 254, APPINIT_DLL = 255, NOTIFY = 256,
  RESTART_DELETE = 300, RESTART_RENAME = 301,
  TYPE_HIDDEN = 370, TYPE_FILETYPE = 400,
  INFO_COOKIE = 500, INFO_NETCOOKIE = 501, INFO_SAVECOOKIE = 502, INFO_NUTS = 503,
  COOKIE_DATABASE_ROW = 504,
  INFO_TASK = 600, SERVICE_EXE = 700, SERVICE_SVCHOST = 701, TASK_SCHEDULED = 800,
  TYPE_BHO = 900, TYPE_TOOLBAR = 901, TYPE_EXTENSION = 902, TYPE_ACTIVEX = 1200,
  TYPE_UNKNOWN = 3000,
};

inline constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// One startup location: its code, the name the Startup Programs list shows, the registry
// root and key (relative to CurrentVersion for the Run-type keys) and its location text.
struct StartupLocation {
  int code;
  const char* listName;
  const char* locationText;  // empty for the RunOnce\Setup and policy keys
};

// The location of a code, nullptr for a code without one.
const StartupLocation* FindStartupLocation(int code);
// The list name of a code (the empty text for an unknown one).
const char* LocationListName(int code);
// The location text of a code without the disabled marker.
std::string LocationText(int code);

}  // namespace startup
