// The program's entry: from the command line, a maintenance job, a hand-over to the running
// instance, or a new instance with its start-up sequence and message loop.
#include <string>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/commands.h"
#include "app/main_host.h"
#include "app/maintenance.h"
#include "app/startup_sequence.h"
#include "diag/testlog.h"
#include "diag/trace_header.h"
#include "platform/launching.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "settings/language.h"
#include "settings/options.h"

namespace app {

namespace {

// Runs the maintenance job the line names; false when it names none.
bool RunMaintenance(const char* commandLine) {
  switch (FindMaintenanceSwitch(commandLine)) {
    case Maintenance::Restore:
      RestoreInstall();
      return true;
    case Maintenance::AUOption:
      RestoreAUOption();
      return true;
    case Maintenance::RegRepair:
      launching::ImportRepairFile();
      return true;
    case Maintenance::Reset:
      // The reset dialog opens here once the maintenance tools exist.
      return true;
    case Maintenance::None:
      return false;
  }
  return false;
}

void InitializeCom() {
  auto& sys = plat::Sys();
  HRESULT hr = sys.CoInitializeEx(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (FAILED(hr)) {
    diag::LogError(static_cast<DWORD>(hr), "CoInitializeEx");
    sys.CoUninitialize();
    hr = sys.CoInitialize();
    if (FAILED(hr)) diag::LogError(static_cast<DWORD>(hr), "CoInitialize");
  }
  hr = sys.CoInitializeSecurity();
  if (FAILED(hr)) diag::LogError(static_cast<DWORD>(hr), "CoInitializeSecurity");
}

}  // namespace

int ExplorerMain(const char* commandLine, IMainHost& host) {
  const char* line = commandLine ? commandLine : "";
  AppState& state = State();

  // 1. Class name and caption, before the language is known.
  state.className = settings::LangString(9, 32);
  state.caption = settings::LangString(833, 32);
  if (state.className.empty() || state.caption.empty()) return 0;

  // 2. The start tab and the 64-bit flag.
  int chosen = StartCommandFromOption(
      reg::GetRegString(HKEY_CURRENT_USER, settings::kOptionsKey, "StartTab",
                        settings::kOptionLimit)
          .c_str());
  Determine64BitFlag();

  // 3. Switches.
  if (*line) {
    if (RunMaintenance(line)) return 0;
    chosen = ApplyTabSwitches(line, chosen);
  }

  // 4. One instance: hand the request over, or quit when only asked to quit.
  bool quit = HasQuitSwitch(line);
  if (uintptr_t running = host.FindWindowByClass(state.className.c_str())) {
    host.PostCommandTo(running, quit ? CMD_CLOSE : chosen);
    return 0;
  }
  if (quit) return 0;

  // 5. The hidden main window.
  if (!host.CreateMainWindow(state.className.c_str(), state.caption.c_str())) return 0;

  // 6. The trace file.
  diag::SetTraceFile(paths::GetDataFolder() + "\\sendex2tolan.txt");

  // 7., 8.
  InitializeCom();
  plat::Sys().InitCommonControls();

  // 9. Tracing from TestLogEx, with the header block when it is on.
  diag::SetTraceCounter(settings::GetOption("TestLogEx", diag::kTraceOff));
  if (diag::TracingOn()) diag::InitializeTestLog();

  // 10.
  InitialValues();

  // 11. One category of the Detected store is cleaned of entries whose file is gone, once
  // the Detected store exists; the counter turns already.
  AdvanceCleanupCounter();

  // 12. The one-time data migration joins with the maintenance tools.

  // 13.
  host.PostToMain(WM_COMMAND, static_cast<WPARAM>(chosen), 0);
  return host.RunMessageLoop();
}

}  // namespace app
