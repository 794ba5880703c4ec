// Delayed start: startup programs taken out of their Windows startup location and kept in the
// delayed-start keys instead, which the Tallowick monitor reads to start them a chosen number
// of seconds after logon. Moving a program onto the list and back loses nothing: the record
// keeps the entry exactly as its location held it.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace ui {
class PageHost;
}

namespace startup {

// The delayed-start keys, in HKLM for programs that start for every user and in HKCU for the
// current user's. In every key the value name is the program file.
inline constexpr const char* kDelayKey = "Software\\Orvendel Studios\\Tallowick\\Delay";

// The sub-keys of the delay key and what each holds per program.
enum DelayKeyId : int {
  DELAY_CODE,        // Delay: the location code the program had (decimal text)
  DELAY_TITLE,       // Delay\Title: the display title
  DELAY_TIME,        // Delay\Time: the delay in seconds (decimal text)
  DELAY_PARAMETERS,  // Delay\Parameters: the command-line arguments (absent when none)
  DELAY_SHORTCUTS,   // Delay\Shortcuts: the item's source (the shortcut for Startup-folder items)
  DELAY_APPLET,      // Delay\Applet: "RunDLL32.exe" when the command ran through it
  DELAY_OPENAS,      // Delay\OpenAs: window state 0 normal, 1 minimized, 2 maximized
  DELAY_RUNAS,       // Delay\RunAs: REG_DWORD 49 to run as administrator, 48 not
  // The entry exactly as its Windows location held it, so that moving back puts the same
  // thing back: the command text with its registry type (Run keys, win.ini) ...
  DELAY_ORIGINAL,
  // ... and the name it had there (the Run value's name), or, for a Startup-folder item,
  // the file in the data folder's Delayed folder that holds the moved shortcut or program.
  DELAY_ENTRY,
  DELAY_KEY_COUNT
};
// The key path of a sub-key ("...\\Delay" for DELAY_CODE).
std::string DelayKeyPath(int id);

inline constexpr int kDefaultDelaySeconds = 30;
inline constexpr DWORD kRunAsAdministrator = 49, kRunAsUser = 48;
inline constexpr const char* kRunDllApplet = "RunDLL32.exe";
// The startup snapshot's code of a delayed program.
inline constexpr int kDelayedSnapshotCode = 1103;
// The folder inside the data folder that holds delayed Startup-folder files.
inline constexpr const char* kDelayedFolderName = "Delayed";

// The code a delayed record's location reduces to: 21..28 lose 20.
int ReducedDelayCode(int code);

// Where a program's delayed-start values live: the hive and the registry view (0, or
// KEY_WOW64_64KEY / KEY_WOW64_32KEY on a 64-bit system).
struct DelayPlace {
  HKEY hive = nullptr;
  REGSAM view = 0;
  bool found = false;  // a Delay value for the program exists there
};
// The place a record of this code is written to: HKCU for the current user's locations
// (reduced code above 9), HKLM otherwise; on a 64-bit system the 64-bit view for codes 1-7 and
// the 32-bit view for the WOW64 codes.
DelayPlace DelayPlaceFor(int code);
// The place that holds the program's record: the usual place of its code, else the other
// HKLM view, else the other hive.
DelayPlace FindDelayPlace(const std::string& file, int code);

// One program's delayed-start values as stored.
struct DelayRecord {
  DelayPlace place;
  int code = 0;
  std::string title, parameters, shortcuts, applet;
  int seconds = kDefaultDelaySeconds;
  int openAs = 0;
  bool runAsAdmin = false;
  bool hasOriginal = false, hasEntry = false;
  std::string original, entry;
  DWORD originalType = REG_SZ;
};
bool ReadDelayRecord(const std::string& file, int code, DelayRecord* out);

// Fills the run list with the delayed programs: HKLM (the 32-bit view on a 64-bit system,
// where a code below 7 is raised to its WOW64 code and written back), HKCU, then on a 64-bit
// system HKLM's 64-bit view. Title = Delay\Title (else the file's product name, else its file
// name), path = the program file, source = Delay\Shortcuts for Startup-folder items, else the
// title, detail = the file description, aux = the delay in seconds, negated when the command
// runs through RUNDLL32. Returns the count.
int EnumerateDelayed();

// Moves a startup item of the run list onto the delayed-start list (HKCU for the current
// user's locations, HKLM for the machine's): the record is written first, the entry leaves its
// Windows location after, so the item is always in one place or the other. A disabled item
// comes out of the disabled store first. Codes above 249, items of the program itself and
// items whose program already has a record there are refused. 1 when moved, 0 when nothing
// changed.
int MoveRunItemToDelayed(int index);
// The Startup Programs view's command for one item: asks where the user must be asked (1130
// for items that cannot be delayed, 1120 before an all-users item), then moves it. 1 when
// moved. The caller rebuilds ActiveRun and refills once after all rows.
int DelayRunItem(ui::PageHost& host, int index);

// Deletes the program's values from Delay, Time, Parameters, Shortcuts, Applet and Title (and
// the kept original entry) of the hive; OpenAs and RunAs stay. HKLM on a 64-bit system: both
// views. Returns 1.
int RemoveDelayedProgram(const std::string& file, HKEY hive);
// Deletes every value of the program's record at its place, OpenAs and RunAs included.
void DeleteDelayRecord(const std::string& file, const DelayPlace& place);

// The command that starts the program as its record describes it: the applet and a blank when
// set, the program file, a blank and the parameters when set (no blank before a DLL's entry
// point, which follows the file after a comma).
std::string DelayedCommand(const std::string& file, const DelayRecord& record);

// Puts a delayed program (index into the run list filled by EnumerateDelayed) back into its
// Windows startup location, exactly as it was when it had been moved from there, and then
// deletes its record. 1 when it is back; 0 leaves the record in place.
int RestoreDelayedItem(int index);
// "-Restore": every delayed program back to its startup location. Returns how many went back.
int RestoreAllDelayedPrograms();

// A new program on the list ("&Add"): Delay = "1" under HKLM (all users) or "11" under HKCU,
// Time = "30". 1 when written.
int AddDelayedProgram(const std::string& file, bool allUsers);

// The delay options dialog's writes for one program.
struct DelayOptions {
  int seconds = kDefaultDelaySeconds;
  int openAs = 0;
  std::string parameters, title;
  bool runAsAdmin = false;
};
int WriteDelayOptions(const std::string& file, int code, const DelayOptions& options);

// "Launch now": starts the program with its parameters and run-as flag. The result of
// fileLaunchDelayedProgram (2 when the file does not exist).
int LaunchDelayedItem(int index);

// The delay column: "%d Sec." below one minute, else "%d Min. : %d Sec.".
std::string DelayTimeText(int seconds);

// The start-up step "Init Delayed Launch": loads the delayed-start list into the run list and
// remembers its size.
int InitDelayedLaunch();
int DelayedLaunchCount();
// The trace header's block: one line per delayed program (program file, labelled with its
// title); the run list is freed again.
void LogDelayedPrograms();

}  // namespace startup
