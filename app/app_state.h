// Process-wide state of the program's entry: what the start-up sequence learned and what the
// main window needs later.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace app {

struct AppState {
  std::string className;  // "TallowickEx"
  std::string caption;    // "Loading..." until the tab window opens
  DWORD startTick = 0;
  // The command number of the active tab, 0 when no tab window is open (kept by the tab
  // pages) and the help context for F1.
  int currentTab = 0;
  int helpContext = 0;
  // The sheet's pages are being destroyed; the first one has saved the sheet and ended the
  // program.
  bool sheetClosing = false;
  // Whether a startup entry for the monitor exists (for command 6031).
  bool monitorInStartup = false;
  // The main window has written the options and asked the loop to end.
  bool shutDown = false;
};

AppState& State();
// A fresh state for a fresh test case.
void ResetAppState();

// The version text of this program.
inline constexpr const char* kVersionText = "33.1.2015.0";

}  // namespace app
