// Moving startup entries between their Windows locations and the program's disabled store,
// from which they can be put back exactly.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace startup {

// The copy key (under the disabled marker key) of a location code; nullptr for a code that
// has none.
const char* CopyKeyFor(int code);
// The Run key of a Run-type code: its hive and path.
bool RunKeyFor(int code, HKEY* root, std::string* path);

// Disables an enabled item or enables a disabled one (the marker named by the title decides).
// Handles codes 1-7, 11-17, 21-25, 100, 101, 200 and 256; any other code does nothing (0).
int ToggleRunItem(const std::string& title, const std::string& command,
                  const std::string& source, int code);

// Winlogon Notify entries are disabled by emptying their DllName.
void DisableNotifyEntry(const std::string& subkey);
void EnableNotifyEntry(const std::string& subkey);

// The user's Startup folder (HKCU Startup, else HKLM Startup, else HKLM Common Startup).
std::string UserStartupFolder();

// The disabled marker named by the title exists; the location code it holds (0 without one).
bool MarkerPresent(const std::string& title);
int MarkerCode(const std::string& title);
// A value's text as it is stored (no expansion) in the view of the current masks. Absent: the
// key or the value does not exist; Failed: it exists or may exist but could not be read.
enum class ReadResult { Found, Absent, Failed };
ReadResult ReadRawText(HKEY root, const std::string& path, const std::string& name, std::string* out);
// The same, empty when it cannot be read.
std::string RawRegText(HKEY root, const std::string& path, const std::string& name);
// The same for a Run-type key, in the view the enumeration reads it from (the 64-bit view on
// a 64-bit Windows).
std::string RunKeyText(HKEY root, const std::string& path, const std::string& name);
// Deletes a Run-type (or other startup) value in that view only: a value of the same name in
// the other view stays. 1 when it was deleted.
int DeleteRunValue(HKEY root, const std::string& path, const std::string& name);
// The data folder, and <data folder>\Disabled; empty when the data folder could not be made
// out for sure.
std::string SureDataFolder();
std::string DisabledFolder();
// The piece of win.ini's list `load` or `run` that names the command: the same text or a
// short form of it; empty when the list has none.
std::string FindListPiece(const char* list, const std::string& command);
// Where a disabled Startup-folder file goes back to: the path it was disabled from when that
// folder still exists, else the user's Startup folder; empty when there is none.
std::string OriginalStartupPath(const std::string& title, const std::string& fileName);

// Beside each copy the disabled store keeps the command exactly as Windows had it, so that
// enabling writes back quotes, arguments and a RUNDLL32.EXE prefix unchanged.
inline constexpr const char* kOriginalKey = "Software\\Orvendel Studios\\Tallowick\\Disabled\\Original";
// Under kOriginalKey: the path each disabled Startup-folder file had.
inline constexpr const char* kStartupFolderCopy = "StartupFolder";

}  // namespace startup
