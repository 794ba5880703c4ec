// The history file: one tab-separated line per change the explorer makes (and per alert the
// monitor raises) in <data folder>\history.txt, shared with the monitor. Lines whose action is
// marked with '*' can be reversed from the History window.
#pragma once
#include <cstddef>
#include <string>

#include "platform/system.h"

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

inline constexpr const char* kHistoryFileName = "history.txt";
// A line holds at most this many characters, its CR LF included.
inline constexpr size_t kHistoryLineLimit = 1023;
// The History window reads at most this much of the file.
inline constexpr size_t kHistoryReadLimit = 131072;
// The type code of a line whose type name is not in the table.
inline constexpr int kHistoryTypeUnknown = 3000;

// The action table: names as written (a leading '*' marks the restorable actions).
struct HistoryActionRow {
  int code;
  const char* name;
  bool restorable;
};
// The type table: the history name of each location code.
struct HistoryTypeRow {
  int code;
  const char* name;
};
inline constexpr int kHistoryActionRows = 34;
inline constexpr int kHistoryTypeRows = 52;
const HistoryActionRow& HistoryActionAt(int row);
const HistoryTypeRow& HistoryTypeAt(int row);

// The name of the first action row with the code; nullptr for a code not in the table.
const char* HistoryActionName(int code);
// The code of the action row named so (without regard to case); -1 for an unknown name.
int HistoryActionCode(const std::string& name);
// The name of the first type row with the code; "TYPE_UNKNOWN" for a code not in the table.
const char* HistoryTypeName(int code);
// The code of the type row named so (without regard to case); 3000 for an unknown name.
int HistoryTypeCode(const std::string& name);

// The date field: "MM/DD/YYYY  H:MM AM" on the 12-hour clock (hours 0 and 12 shown as 12).
std::string HistoryDateText(const plat::SystemTime& time);
// <data folder>\history.txt
std::string HistoryFilePath();

// Appends one line (date, action name, type name, title, command, source) while the History
// option is above 0. A field's TAB, CR and LF are written as blanks, so that every line keeps
// its six fields; a lost write leaves a trace line only.
void WriteHistory(int action, int type, const std::string& title, const std::string& command,
                  const std::string& source);

// Empties the run list and reads the first 131072 bytes of the file into run items (title,
// command, source, detail = the date, location = the type code, aux = the action code), at
// most one per line and never more than the run list holds; returns the item count.
int ReadHistory();
// Non-zero when the item's action can be reversed (*START_Remove, *HIDDEN_DeleteFile).
int IsHistoryRestorable(int index);
// Reverses the event of the item read by ReadHistory: a removed startup entry is written back,
// a disable or enable is toggled, a removed browser helper is registered again. 1 for a
// toggle, else 0. The history line stays as it is.
int RestoreHistoryItem(int index);
// Deletes the history file (the next event creates it again).
bool ClearHistoryFile();

// Appends the whole of one history file to another (an older data folder merged into the
// current one); 1 on success, 0 when either file cannot be opened.
int fileAppendHistory(const std::string& destination, const std::string& source);

}  // namespace records
