#include "app/command_line.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "app/commands.h"

namespace app {

namespace {

struct TabSwitch {
  const char* text;
  int command;
};
// Tested in this order; a later match wins.
const TabSwitch kTabSwitches[] = {
    {"-START", CMD_STARTUP},           {"-SERVICE", CMD_SERVICES},
    {"-BHO", CMD_IE_HELPERS},          {"-COOKIE", CMD_COOKIE_LIST},
    {"-NUT", CMD_COOKIES},             {"-OPTION", CMD_OPTIONS},
    {"-SCHEDULE", CMD_SCHEDULED_TASKS}, {"-TASK", CMD_ACTIVE_TASKS},
    {"-DELAY", CMD_DELAYED_START},     {"-FILETYPE", CMD_FILE_TYPES},
    {"-HIDDEN", CMD_HIDDEN_FILES},     {"-ACTIVEX", CMD_ACTIVEX},
    {"-RECENT", CMD_RECENT},           {"-REGOPTIONS", CMD_REGISTRY_MONITOR},
    {"-EXIT", CMD_EXIT},               {"-RESTART", CMD_OPTIONS},
};

struct MaintenanceSwitch {
  const char* text;
  Maintenance job;
};
const MaintenanceSwitch kMaintenanceSwitches[] = {
    {"-Restore", Maintenance::Restore},
    {"-RegRepair", Maintenance::RegRepair},
    {"-Reset", Maintenance::Reset},
    {"-AUOption", Maintenance::AUOption},
};

bool ContainsNoCase(const char* text, const char* part) {
  size_t n = std::strlen(text), m = std::strlen(part);
  if (m > n) return false;
  for (size_t i = 0; i + m <= n; ++i) {
    size_t j = 0;
    while (j < m && std::toupper(static_cast<unsigned char>(text[i + j])) ==
                        std::toupper(static_cast<unsigned char>(part[j])))
      ++j;
    if (j == m) return true;
  }
  return false;
}

}  // namespace

bool HasSwitch(const char* commandLine, const char* sw) {
  if (!commandLine || !*commandLine || std::strlen(commandLine) > kMaxCommandLine) return false;
  return ContainsNoCase(commandLine, sw);
}

Maintenance FindMaintenanceSwitch(const char* commandLine) {
  for (const auto& s : kMaintenanceSwitches)
    if (HasSwitch(commandLine, s.text)) return s.job;
  return Maintenance::None;
}

int ApplyTabSwitches(const char* commandLine, int chosen) {
  for (const auto& s : kTabSwitches)
    if (HasSwitch(commandLine, s.text)) chosen = s.command;
  return chosen;
}

bool HasQuitSwitch(const char* commandLine) { return HasSwitch(commandLine, "-Q"); }

int StartCommandFromOption(const char* startTabText) {
  if (!startTabText || !*startTabText) return CMD_STARTUP;
  int command = std::atoi(startTabText);
  return command < CMD_STARTUP ? CMD_STARTUP : command;
}

bool IsTabCommand(int command) {
  switch (command) {
    // The PLUS page is a tab too: a sheet closed on it leaves StartTab = 6027, and the next
    // start must open the window on it rather than show nothing.
    case CMD_ABOUT:
    case CMD_STARTUP: case CMD_COOKIES: case CMD_ACTIVE_TASKS: case CMD_OPTIONS:
    case CMD_SERVICES: case CMD_SCHEDULED_TASKS: case CMD_IE_HELPERS: case CMD_FILE_TYPES:
    case CMD_HIDDEN_FILES: case CMD_DELAYED_START: case CMD_ACTIVEX: case CMD_RECENT:
    case CMD_REGISTRY_MONITOR:
      return true;
    default:
      return false;
  }
}

}  // namespace app
