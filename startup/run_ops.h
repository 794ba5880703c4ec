// Removing startup entries for good and writing them back: every location kind, the special
// Winlogon, AppInit and Explorer-hook locations, the Windows 8 startup approval, and the list
// of enabled startup programs the monitor checks for removals (ActiveRun).
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace ui {
class PageHost;
}

namespace startup {

// HKCU: one value per enabled startup item (name = its program file, data = its title).
inline constexpr const char* kActiveRunKey = "Software\\Orvendel Studios\\Tallowick\\ActiveRun";
// In the data folder: the Startup-folder files that were removed, kept for their restore.
inline constexpr const char* kRemovedFolderName = "Removed";

// Removes the item for good and records the removal in the history, from which
// RestoreRunItem writes it back exactly. Codes 250 to 255 go to RemoveHiddenRunItem (which
// asks through host; without a host nothing of 252 to 255 is removed). 1 when the entry was
// removed, 0 when nothing was (an unknown code, or a step that would have lost it failed).
int DeleteRunProgram(int code, const std::string& title, const std::string& command,
                     const std::string& source, ui::PageHost* host = nullptr);

// Codes 250 to 255: Userinit and Shell are reset to the Windows defaults; the DelayLoad,
// SharedTaskScheduler, ShellExecuteHooks and AppInit entries are removed only when the user
// ticks the box of the default-entry warning (dialog 194). 1 when something was changed.
int RemoveHiddenRunItem(ui::PageHost* host, const std::string& command, const std::string& title,
                        const std::string& source, int code);

// Writes a removed item back into its location (the history's restore and the hijack log's
// fixes). 1, or 0 for a code it cannot restore (and for a Notify entry, which is only
// re-enabled).
int RestoreRunItem(const std::string& source, const std::string& title, const std::string& command,
                   int code);

// Writes the "enabled" startup approval of Windows 8 (02 and eleven 00 bytes) under the
// title in the hive's StartupApproved\Run32 key; 2 when written, -1 when the key cannot be
// opened (before Windows 8) or the write fails.
int EnableStartupApproved(const std::string& title, HKEY hive);

// Rebuilds ActiveRun from the Startup Programs view's list; with flag 0 only deletes it.
// The run list is left as it was. 1, or 0 for flag 0.
int InitMissingRunPrograms(int flag);

// Registers a removed browser helper's DLL again: "regsvr32 /s <file>", shown normally. 1
// when it was started.
int RegisterServer(const std::string& command);

// The Winlogon values back to the Windows defaults.
void ResetUserinit();
void ResetShell();
// AppInit_DLLs without the DLL / with its short path appended. 1 when the value was written.
int RemoveAppInitDll(const std::string& dll);
int AddAppInitDll(const std::string& dll);

}  // namespace startup
