// The user's settings: named integers kept as decimal text in the options key, shared with the
// Tallowick monitor, which learns of every change through the value Update = "1".
#pragma once
#include <string>

namespace settings {

inline constexpr const char* kProgramKey = "Software\\Orvendel Studios\\Tallowick";
inline constexpr const char* kOptionsKey = "Software\\Orvendel Studios\\Tallowick\\Options";
// Options are read with this limit.
inline constexpr int kOptionLimit = 128;

// Every option kept in memory: first those read at start and written back at exit, then those
// only read. The order is the order of loading and saving.
enum class Opt {
  SendHistory, ToolTips, HideRufkin, HideTallowick, NewVersionAvailable, NewVersionIgnore,
  SuppressExtraAlerts, HideStartup, HideIEHelper, HideServices, HideActiveX, HideTasks,
  HideFileType, HideHidden, HideSystemFiles, HideHomePage, HideRegOptions, ExpandInfo, Netspeed,
  HideUninstall, Format, ConfirmExit, Sound, History, HideMicrosoftServices, ShowAllFiles,
  HideMicrosoftActiveX, IncludeKillBit, ActiveXListAll, LockFileTypes, ShowAllStartup,
  NoMicrosoftStartup, ShowAlerts, HideRunOnce, CloudData, Start, Cookies, Nuts, Tasks,
  IEHelpers, FileType, StartPage, HostFile, Services, Hidden, ActiveX, RegOptions, WinInit,
  RealtimeStartup, RealtimeIEHelper, RealtimeSysFiles, RealtimeFileType, RealtimeStartPage,
  RealtimeHidden, RealtimeActiveX, RealtimeServices, RealtimeRegOptions, RealtimeUninstall,
  RealtimeMissingRun, ViewCookies, ExplorerMenu,
  // Read, not written back.
  MaxCookie, TestLog,
  Count
};

struct OptionDef {
  const char* name;
  int defaultValue;
  bool saved;  // written back by SaveOptions
};

// The table of the in-memory options, indexed by Opt.
const OptionDef& Def(Opt o);
// The in-memory value (as loaded, or as a Part last set it).
int& Value(Opt o);
inline int Get(Opt o) { return Value(o); }

// Reads one option from the options key: atoi of its text, the default when the value is
// missing or empty.
int GetOption(const char* name, int defaultValue);
// Writes one option as "%d" text, then Update = "1".
void SetOption(const char* name, int value);
// Sets the in-memory value and writes it.
void SetOption(Opt o, int value);

// Loads every in-memory option in table order (after setting the native registry masks); the
// trace counter takes the value of TestLog.
void LoadOptions();
// Writes every option of the first table in table order, each followed by Update = "1", then
// a trace line "SetInitalValues".
void SaveOptions();

// All in-memory options back to their defaults (tests).
void ResetOptions();

}  // namespace settings
