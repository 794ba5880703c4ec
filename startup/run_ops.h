// Removing and restoring startup entries for good (the restore of a history line and of a
// hijack log fix).
#pragma once
#include <string>

namespace startup {

// Writes a removed item back into its location; 1, or 0 for a code it cannot restore.
int RestoreRunItem(const std::string& source, const std::string& title, const std::string& command, int code);
// Registers a browser helper's DLL again ("regsvr32 /s <file>").
int RegisterServer(const std::string& command);

}  // namespace startup
