// The command numbers: the tab pages and a few actions, as they travel in WM_COMMAND between
// instances and inside the program. The same numbers pick help pages, saved column widths and
// right-click menus.
#pragma once

namespace app {

enum Command : int {
  CMD_STARTUP = 6026,
  CMD_ABOUT = 6027,
  CMD_COOKIES = 6028,
  CMD_ACTIVE_TASKS = 6029,
  CMD_CLOSE = 6030,
  CMD_TOGGLE_MONITOR_STARTUP = 6031,
  CMD_OPTIONS = 6032,
  CMD_RESTART_COMMANDS = 6033,
  CMD_SERVICES = 6038,
  CMD_SCHEDULED_TASKS = 6039,
  CMD_IE_HELPERS = 6040,
  CMD_FILE_TYPES = 6042,
  CMD_COOKIE_LIST = 6045,
  CMD_EXIT = 6048,
  CMD_HIDDEN_FILES = 6052,
  CMD_DELAYED_START = 6055,
  CMD_ACTIVEX = 6056,
  CMD_RECENT = 6060,
  CMD_REGISTRY_MONITOR = 6061,
  CMD_CONTACT = 6069,
};

// The private message that re-posts its wParam to the main window as a WM_COMMAND.
inline constexpr unsigned MSG_REPOST_COMMAND = 6071;

// The window classes by which the explorer and the monitor are found.
inline constexpr const char* kMonitorClass = "Tallowick";
inline constexpr const char* kMonitorProgram = "Tallowick.exe";
// The maker's contact page behind CMD_CONTACT.
inline constexpr const char* kContactPage = "https://www.orvendel.example/tallowick/contact.html";

// True for the commands that open (or raise) the tab window on a tab.
bool IsTabCommand(int command);

}  // namespace app
