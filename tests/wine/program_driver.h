// Drives the real TallowickEx.exe from tests that run under Wine: start it, wait for its
// window or its end, seed and clean the registry it reads, and save screenshots. Every
// wait is bounded; a program a test started is ended when its ScopedProgram goes away.
#pragma once
#include <windows.h>

#include <string>

#include "tests/wine/wine_support.h"

namespace winetest {

// Windows path of the TallowickEx.exe built beside these tests.
const char* ProgramPath();

// Exit code RunProgram answers when the program cannot start or does not end in time.
inline constexpr DWORD kNoExitCode = 0xFFFFFFFFu;

// Starts the program with a command line tail ("-Q", "" ...) and waits for it to end.
DWORD RunProgram(const char* args, DWORD timeoutMs);

// Starts the program and returns its process handle (nullptr when it cannot start).
HANDLE StartProgram(const char* args);

// Waits for the process to end; true with its exit code when it did within timeoutMs.
// The handle stays open either way.
bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* code);

// The first top-level window of a class (and, when given, a title) that shows up within
// timeoutMs; nullptr when none does.
HWND WaitForWindowClass(const char* cls, DWORD timeoutMs, const char* title = nullptr);

// Removes a key and everything under it; true when it is gone (also when it never was).
bool DeleteTree(HKEY root, const char* path);

// Saves the screen (or only `window`'s rectangle) as <build>/screenshots/<name>.bmp. The
// Wine test stage turns the bitmaps into PNG files after the run.
bool SaveScreenshot(const char* name, HWND window = nullptr);

// A started program that is ended (TerminateProcess) if it still runs when the test leaves.
class ScopedProgram {
 public:
  explicit ScopedProgram(const char* args) : process_(StartProgram(args)) {}
  ScopedProgram(const ScopedProgram&) = delete;
  ScopedProgram& operator=(const ScopedProgram&) = delete;
  ~ScopedProgram();
  HANDLE handle() const { return process_; }
  bool started() const { return process_ != nullptr; }
  // Waits for the end; false when it did not end in time.
  bool Wait(DWORD timeoutMs, DWORD* code) { return WaitForExit(process_, timeoutMs, code); }

 private:
  HANDLE process_;
};

}  // namespace winetest
