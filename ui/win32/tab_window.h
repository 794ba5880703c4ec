// The tab window: a modal property sheet over the hidden main window holding the pages in
// tab order.
#pragma once

namespace uiwin {

class Win32MainHost;

// Opens the sheet on the page of `command` (the first page for 0 or an unknown command) and
// returns when it closes; when the sheet is already open it is only brought to the front.
void OpenTabWindow(Win32MainHost& host, int command);

}  // namespace uiwin
