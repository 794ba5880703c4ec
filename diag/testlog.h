// The trace file: an INI-style text file in the data folder, section "TestLog", that records
// what the program does for support. Tracing is off unless an option switches it on and stops
// by itself after a fixed number of lines.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace diag {

// Lines are written while the counter is at most this value.
inline constexpr int kLastTraceLine = 9990;
// The counter's value when tracing is off (the default of both trace options).
inline constexpr int kTraceOff = 9999;

// Writes one line "<local time> - <label>: <message>" under a key "<ms since start>.<counter>".
// Returns 1 when a line was written, 0 when tracing is off.
int TestLog(const char* message, const char* label);

// The trace file's full path; lines are silently lost until it is set.
void SetTraceFile(const std::string& path);
const std::string& TraceFile();

// The line counter (started from `TestLogEx` at start-up and replaced by `TestLog` when the
// options are loaded).
void SetTraceCounter(int value);
int TraceCounter();
// The test other operations make before writing extra lines: tracing was switched on.
inline bool TracingOn() { return TraceCounter() < kTraceOff; }

// The message of the latest line, cut to 256 characters.
const std::string& LastTraceMessage();

// The last system error as "%d  %s" (number, system text), cut to 511 characters; returns the
// number.
DWORD GetLastErrorText(char* out /* 512 */);
std::string LastErrorText(DWORD* number = nullptr);
// Writes the last system error with the label.
void LogLastError(const char* label);
// Writes `code`'s system error with the label (for the registry calls, which return their
// error instead of setting it).
void LogError(DWORD code, const char* label);

// Back to the state of a fresh process (tests).
void ResetTraceState();

}  // namespace diag
