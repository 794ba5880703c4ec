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

// Beside each copy the disabled store keeps the command exactly as Windows had it, so that
// enabling writes back quotes, arguments and a RUNDLL32.EXE prefix unchanged.
inline constexpr const char* kOriginalKey = "Software\\Orvendel Studios\\Tallowick\\Disabled\\Original";

}  // namespace startup
