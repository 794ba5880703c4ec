// The program's modal windows over a page or dialog: the pop-up menu at the cursor, the
// message dialog (resource 184), the open-file dialog and the dialogs with behaviour, whose
// views get a host of their own for the dialog's controls.
#pragma once
#include "platform/wintypes.h"

#include <string>
#include <vector>

#include "ui/page_host.h"

namespace uiwin {

inline constexpr int kMessageDialog = 184;
inline constexpr int kMessageTextId = 1025;

// The chosen command, 0 when none was chosen (or the menu could not be made).
int TrackPopupMenuAtCursor(HWND page, const std::vector<ui::MenuItem>& items);
// IDOK or IDCANCEL. Without the dialog resource the message still reaches the user, in a
// message box.
int RunMessageDialog(HWND owner, const std::string& title, const std::string& text);
// The chosen file, empty when cancelled.
std::string RunOpenFileDialog(HWND owner, const ui::OpenFileRequest& request);
// The dialog's result as its view ended it; 0 when the dialog could not be shown.
int RunViewDialog(HWND owner, int dialog, ui::Page& view);
// Places a window where the secondary windows go when no place is saved: centred on the
// primary screen, its top at a third of the free height.
void CentreWindow(HWND window);

}  // namespace uiwin
