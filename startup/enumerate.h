// Every program that Windows starts automatically, collected into the run list: the Run-type
// keys of both hives and both registry views, the Startup folders, win.ini, the disabled
// store, Winlogon and the hidden Explorer locations; and the startup snapshot the monitor
// compares against.
#pragma once
#include <string>

namespace startup {

// Fills the run list; returns the count. View flag 1 (the Startup Programs view) leaves out
// Winlogon and the hidden locations unless ShowAllStartup is on; 0 always lists them.
int EnumerateStartups(int viewFlag);

// The location readers (also used by the reports and the diagnostics).
void EnumerateRunKeys();
void EnumerateStartupFolders();
void EnumerateWinIni();
void EnumerateDisabledStore();
void EnumerateWinlogon();
void EnumerateHiddenLocations();
// Lists the programs of one Startup folder (shortcuts, programs and other files).
void ListStartupFolder(const std::string& folder, int aux);
// Sets each item's running flag from one walk of the process table.
void MarkRunningItems();

// Rebuilds HKCU ...\Tallowick\Run from every startup item; leaves the run list empty.
void InitRegStartups();

inline constexpr const char* kSnapshotRunKey = "Software\\Orvendel Studios\\Tallowick\\Run";

}  // namespace startup
