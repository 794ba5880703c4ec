// The one-shot maintenance jobs run from the command line instead of a normal start.
#pragma once

namespace app {

// "-Restore": removes the installation's traces (translations, geometry, the program's keys,
// the context-menu entry, the data folder's files).
void RestoreInstall();
// "-AUOption": puts the saved Windows Update setting back.
void RestoreAUOption();

// The saved window geometry values of every window, deleted by "-Restore".
extern const char* const kGeometryValues[];
extern const int kGeometryValueCount;

}  // namespace app
