// The command line: switches are found by a case-insensitive substring search of the whole
// line, not by splitting it; a line longer than 772 characters matches no switch.
#pragma once

namespace app {

inline constexpr unsigned kMaxCommandLine = 772;

enum class Maintenance { None, Restore, RegRepair, Reset, AUOption };

// The first maintenance switch of the line, in the order they are tested.
Maintenance FindMaintenanceSwitch(const char* commandLine);
// The tab command the line asks for: every tab switch is tested in table order and each match
// overwrites the choice, so the last matching switch of the table wins. `chosen` is the
// command before the switches (from StartTab).
int ApplyTabSwitches(const char* commandLine, int chosen);
// "-Q" anywhere in the line.
bool HasQuitSwitch(const char* commandLine);
// Whether the line holds `sw` as the program tests it (case-insensitive substring; never for
// an over-long line).
bool HasSwitch(const char* commandLine, const char* sw);

// StartTab's text as the start command: atoi, 6026 for a missing or empty value, raised to
// 6026 when lower.
int StartCommandFromOption(const char* startTabText);

}  // namespace app
