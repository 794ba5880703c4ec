#include "startup/location_codes.h"

namespace startup {

namespace {

#define RUNKEY(root, key) root "\\Software\\Microsoft\\Windows\\CurrentVersion\\" key
#define WOW64(key) "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\" key

const StartupLocation kLocations[] = {
    {HKLM_RUN, "HKLM_RUN", RUNKEY("HKLM", "Run")},
    {HKLM_RUNONCE, "HKLM_RUNONCE", RUNKEY("HKLM", "RunOnce")},
    {HKLM_RUNONCEEX, "HKLM_RUNONCEEX", RUNKEY("HKLM", "RunOnceEx")},
    {HKLM_RUNSERVICES, "HKLM_RUNSERVICES", RUNKEY("HKLM", "RunServices")},
    {HKLM_RUNSERVICESONCE, "HKLM_RUNSERVICESONCE", RUNKEY("HKLM", "RunServicesOnce")},
    {HKLM_RUNONCESETUP, "HKLM_RUNONCESETUP", ""},
    {HKLM_POLICY, "HKLM_POLICY", ""},
    {HKCU_RUN, "HKCU_RUN", RUNKEY("HKCU", "Run")},
    {HKCU_RUNONCE, "HKCU_RUNONCE", RUNKEY("HKCU", "RunOnce")},
    {HKCU_RUNONCEEX, "HKCU_RUNONCEEX", RUNKEY("HKCU", "RunOnceEx")},
    {HKCU_RUNSERVICES, "HKCU_RUNSERVICES", RUNKEY("HKCU", "RunServices")},
    {HKCU_RUNSERVICESONCE, "HKCU_RUNSERVICESONCE", RUNKEY("HKCU", "RunServicesOnce")},
    {HKCU_RUNONCESETUP, "HKCU_RUNONCESETUP", ""},
    {HKCU_POLICY, "HKCU_POLICY", ""},
    {X64_RUN, "x64_RUN", WOW64("Run")},
    {X64_RUNONCE, "x64_RUNONCE", WOW64("RunOnce")},
    {X64_RUNONCEEX, "x64_RUNONCEEX", WOW64("RunOnceEx")},
    {X64_RUNSERVICES, "x64_RUNSERVICES", WOW64("RunServices")},
    {X64_RUNSERVICESONCE, "x64_RUNSERVICESONCE", WOW64("RunServicesOnce")},
    {X64_RUNONCESETUP, "x64_RUNONCESETUP", ""},
    {X64_POLICY, "x64_POLICY", ""},
    // Read back from older records; nothing here produces them.
    {RUN_POLICY, "RUN_POLICY", ""},
    {W_RUNONCE, "W_RUNONCE", ""},
    {W_RUNONCEEX, "W_RUNONCEEX", ""},
    {W_RUNSERVICES, "W_RUNSERVICES", ""},
    {W_RUNSERVICESONCE, "W_RUNSERVICESONCE", ""},
    {WININI_LOAD, "WIN.INI_LOAD", "WIN.INI     [Load] Section"},
    {WININI_RUN, "WIN.INI_RUN", "WIN.INI     [Run] Section"},
    {STARTUP_FOLDER, "STARTUP_FOLDER", "Windows Startup Group"},
    {LOGON_USERINIT, "LOGON_USERINIT",
     "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon Userinit"},
    {LOGON_SHELL, "LOGON_SHELL",
     "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon Shell"},
    {DELAYLOAD, "DELAYLOAD",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad"},
    {TASKSCHEDULER, "TASKSCHEDULER",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler"},
    {SHELLHOOK, "SHELLHOOK",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks"},
    {APPINIT_DLL, "APPINIT_DLL",
     "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows  AppInit_DLLs"},
    {NOTIFY, "NOTIFY", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon Notify"},
};

#undef RUNKEY
#undef WOW64

}  // namespace

const StartupLocation* FindStartupLocation(int code) {
  for (const auto& l : kLocations)
    if (l.code == code) return &l;
  return nullptr;
}

const char* LocationListName(int code) {
  const StartupLocation* l = FindStartupLocation(code);
  return l ? l->listName : "";
}

std::string LocationText(int code) {
  switch (code) {
    case TASK_SCHEDULED: return "Windows Task Scheduler 1.0";
    case TYPE_BHO: return "Internet Explorer - Browser Helper Object";
    case TYPE_TOOLBAR: return "Internet Explorer - Toolbar Add-On Extension";
    default: break;
  }
  const StartupLocation* l = FindStartupLocation(code);
  return l ? l->locationText : "";
}

}  // namespace startup
