// One tooltip window per control of a page, always shown (also while the window is inactive),
// light yellow with dark blue text, shown for 20 seconds, at most 360 pixels wide, with
// margins of 15 pixels; balloon-shaped when asked.
#pragma once
#include "platform/wintypes.h"

#include <string>

namespace uiwin {

inline constexpr COLORREF kTooltipBackground = 0xCCFFFF;
inline constexpr COLORREF kTooltipText = 0x990000;
inline constexpr int kTooltipShowMs = 20000;
inline constexpr int kTooltipMaxWidth = 360;
inline constexpr int kTooltipMargin = 15;

// The tooltip window for `control` (owned by `page`), nullptr when it cannot be made; the
// caller destroys it.
HWND CreateControlTooltip(HWND page, HWND control, const std::string& text, bool balloon);

}  // namespace uiwin
