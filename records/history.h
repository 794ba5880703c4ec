// The history file: one tab-separated line per change the explorer makes (and per alert the
// monitor raises) in <data folder>\history.txt, shared with the monitor. Lines whose action is
// marked with '*' can be reversed from the History window.
#pragma once
#include <string>

namespace records {

// Action codes of the history lines (the action table's codes).
enum HistoryAction : int {
  START_Remove = 0, START_Disable = 1, START_Enable = 2, IEHELPER_Remove = 3, TASK_Remove = 4,
  TASK_Kill = 5, START_Alert = 6, TASK_Alert = 7, IEHELPER_Alert = 8, SERVICE_Stop = 9,
  SERVICE_Automatic = 10, SERVICE_Manual = 11, SERVICE_Disabled = 12, TASK_Restore = 13,
  IEHELPER_Restore = 14, ScheduledTask_Remove = 15, SERVICE_from_Automatic = 17,
  SERVICE_from_Manual = 18, SERVICE_from_Disabled = 19, SERVICE__from_AutomaticDelayed = 20,
  RESET_USERINIT = 21, RESET_SHELL = 22, REMOVE_TaskScheduler = 23, REMOVE_DELAYLOAD = 24,
  REMOVE_SHELLEXECUTEHOOK = 25, REMOVE_APPINIT = 26, HIDDEN_Alert = 28, HIDDEN_DeleteFile = 29,
  REMOVE_WinLogonNotify = 30, LOG_ALERT_ACTIVEX = 31, LOG_ALERT_FILETYPE = 32, LOG_UNKNOWN = 33,
  START_Restore = 34,
};

// Appends one line (date, action name, type name, title, command, source) while the History
// option is above 0.
void WriteHistory(int action, int type, const std::string& title, const std::string& command,
                  const std::string& source);

}  // namespace records
