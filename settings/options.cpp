#include "settings/options.h"

#include <cstdio>
#include <cstdlib>

#include "diag/testlog.h"
#include "platform/registry_access.h"

namespace settings {

namespace {

const OptionDef kOptions[] = {
    {"SendHistory", 0, true},         {"ToolTips", 1, true},
    {"HideRufkin", 0, true},          {"HideTallowick", 0, true},
    {"NewVersionAvailable", 0, true}, {"NewVersionIgnore", 0, true},
    {"SuppressExtraAlerts", 1, true}, {"HideStartup", 0, true},
    {"HideIEHelper", 0, true},        {"HideServices", 0, true},
    {"HideActiveX", 0, true},         {"HideTasks", 0, true},
    {"HideFileType", 0, true},        {"HideHidden", 0, true},
    {"HideSystemFiles", 0, true},     {"HideHomePage", 0, true},
    {"HideRegOptions", 0, true},      {"ExpandInfo", 0, true},
    {"Netspeed", 0, true},            {"HideUninstall", 0, true},
    {"Format", 0, true},              {"ConfirmExit", 0, true},
    {"Sound", 1, true},               {"History", 1, true},
    {"HideMicrosoftServices", 1, true}, {"ShowAllFiles", 0, true},
    {"HideMicrosoftActiveX", 0, true},  {"IncludeKillBit", 0, true},
    {"ActiveXListAll", 0, true},      {"LockFileTypes", 0, true},
    {"ShowAllStartup", 0, true},      {"NoMicrosoftStartup", 0, true},
    {"ShowAlerts", 1, true},          {"HideRunOnce", 0, true},
    {"CloudData", 1, true},           {"Start", 2, true},
    {"Cookies", 0, true},             {"Nuts", 0, true},
    {"Tasks", 11, true},              {"IEHelpers", 2, true},
    {"FileType", 10, true},           {"StartPage", 2, true},
    {"HostFile", 3, true},            {"Services", 7, true},
    {"Hidden", 0, true},              {"ActiveX", 4, true},
    {"RegOptions", 5, true},          {"WinInit", 5, true},
    {"RealtimeStartup", 1, true},     {"RealtimeIEHelper", 1, true},
    {"RealtimeSysFiles", 1, true},    {"RealtimeFileType", 0, true},
    {"RealtimeStartPage", 1, true},   {"RealtimeHidden", 0, true},
    {"RealtimeActiveX", 1, true},     {"RealtimeServices", 1, true},
    {"RealtimeRegOptions", 1, true},  {"RealtimeUninstall", 1, true},
    {"RealtimeMissingRun", 1, true},  {"ViewCookies", 0, true},
    {"ExplorerMenu", 0, true},
    // Cookie entries are taken only while the run list holds fewer items than this.
    {"MaxCookie", 8092, false},       {"TestLog", diag::kTraceOff, false},
};
static_assert(sizeof kOptions / sizeof kOptions[0] == static_cast<size_t>(Opt::Count),
              "every in-memory option has one table row");

int g_values[static_cast<size_t>(Opt::Count)];
bool g_initialised = false;

void EnsureInitialised() {
  if (g_initialised) return;
  ResetOptions();
}

}  // namespace

const OptionDef& Def(Opt o) { return kOptions[static_cast<size_t>(o)]; }

int& Value(Opt o) {
  EnsureInitialised();
  return g_values[static_cast<size_t>(o)];
}

void ResetOptions() {
  for (size_t i = 0; i < static_cast<size_t>(Opt::Count); ++i)
    g_values[i] = kOptions[i].defaultValue;
  g_initialised = true;
}

int GetOption(const char* name, int defaultValue) {
  char text[kOptionLimit + 1] = {};
  if (reg::GetRegStringValue(kOptionsKey, name, text, kOptionLimit, HKEY_CURRENT_USER) <= 0)
    return defaultValue;
  return std::atoi(text);
}

void SetOption(const char* name, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  reg::SetRegStringValue(kOptionsKey, HKEY_CURRENT_USER, name, text);
  reg::SetRegStringValue(kOptionsKey, HKEY_CURRENT_USER, "Update", "1");
}

void SetOption(Opt o, int value) {
  Value(o) = value;
  SetOption(Def(o).name, value);
}

void LoadOptions() {
  reg::SetNativeMasks();
  for (size_t i = 0; i < static_cast<size_t>(Opt::Count); ++i)
    Value(static_cast<Opt>(i)) = GetOption(kOptions[i].name, kOptions[i].defaultValue);
  diag::SetTraceCounter(Get(Opt::TestLog));
}

void SaveOptions() {
  for (size_t i = 0; i < static_cast<size_t>(Opt::Count); ++i)
    if (kOptions[i].saved) SetOption(kOptions[i].name, Value(static_cast<Opt>(i)));
  diag::TestLog("", "SetInitalValues");
}

}  // namespace settings
