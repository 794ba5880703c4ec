// The page layout of message 6049: the page's furniture placed for its new size.
#pragma once
#include "platform/wintypes.h"

namespace uiwin {

inline constexpr UINT kLayoutMessage = 6049;

// Lays out a page for its size; a page without a list only moves its header furniture.
void LayOutPageWindow(HWND page);

}  // namespace uiwin
