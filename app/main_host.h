// What the program's entry needs of the windowing system: the single-instance look-up by
// window class, posted commands, the hidden main window with its message loop, and the tab
// window. The Windows build implements it with user32 (ui/win32); tests use a headless host
// (ui/sim) that keeps the posted messages in a queue.
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

namespace app {

class IMainHost {
 public:
  virtual ~IMainHost() = default;
  // A top-level window of the class (any title); 0 when there is none.
  virtual uintptr_t FindWindowByClass(const char* className) = 0;
  // PostMessage of WM_COMMAND (wParam = command, lParam 0) to a window found above.
  virtual bool PostCommandTo(uintptr_t window, int command) = 0;
  // Registers the class and creates the hidden main window with the shared fonts and
  // bitmaps; its messages go to MainWindowMessage. False when either step fails.
  virtual bool CreateMainWindow(const char* className, const char* caption) = 0;
  // Posts a message to the program's own main window.
  virtual void PostToMain(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
  // Runs the message loop until WM_QUIT; returns its wParam.
  virtual int RunMessageLoop() = 0;
  virtual void DestroyMainWindow() = 0;
  virtual void PostQuit(int code) = 0;
  // Opens the tab window modally on the page of `command` (0: no preference), or only raises
  // it when it is open; returns when it closes.
  virtual void OpenTabWindow(int command) = 0;
};

// The main window's message handling; the host calls it for every message of the main
// window. Returns true when the message was handled (false: default window procedure).
bool MainWindowMessage(IMainHost& host, unsigned message, WPARAM wParam, LPARAM lParam);

// The whole program: command line, maintenance jobs, hand-over to a running instance or a new
// instance with its start-up sequence and message loop. Returns the exit code.
int ExplorerMain(const char* commandLine, IMainHost& host);

}  // namespace app
