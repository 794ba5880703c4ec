// The tab window: a modal property sheet over the hidden main window holding the pages in
// tab order, each page with its view.
#pragma once
#include "platform/wintypes.h"

namespace uiwin {

class Win32MainHost;

// The sheet's status bar (with a size grip), made once when the sheet is set up.
inline constexpr int kStatusBarId = 6050;

// Opens the sheet on the page of `command` (the first page for 0 or an unknown command) and
// returns when it closes; when the sheet is already open it is only brought to the front.
void OpenTabWindow(Win32MainHost& host, int command);

// The open sheet, nullptr while none is open.
HWND CurrentSheet();
// Writes the open sheet's place and size (and StartTab); nothing when no sheet is open.
void SaveSheetGeometry();

}  // namespace uiwin
