// The translation every page and dialog procedure shares: window messages become the view's
// calls (commands, Enter, list notifications, layout, the picture buttons' mouse messages).
#pragma once
#include "platform/wintypes.h"

#include "ui/page_host.h"

namespace uiwin {

class Win32PageHost;

// Passes one message to the view; true when it was one of the shared messages (the dialog
// procedure then answers TRUE).
bool RouteViewMessage(ui::Page& view, Win32PageHost& host, UINT message, WPARAM wParam,
                      LPARAM lParam);

}  // namespace uiwin
