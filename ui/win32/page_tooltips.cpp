#include "ui/win32/page_tooltips.h"

#include <commctrl.h>

#include <vector>

#include "ui/win32/win32_page_host.h"

namespace uiwin {

HWND CreateControlTooltip(HWND page, HWND control, const std::string& text, bool balloon) {
  if (!page || !control) return nullptr;
  DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | (balloon ? TTS_BALLOON : 0);
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr,
                             ProgramInstance(), nullptr);
  if (!tip) return nullptr;
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  TOOLINFOA info = {};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = page;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = buffer.data();
  if (!SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info))) {
    DestroyWindow(tip);
    return nullptr;
  }
  SendMessageA(tip, TTM_SETTIPBKCOLOR, kTooltipBackground, 0);
  SendMessageA(tip, TTM_SETTIPTEXTCOLOR, kTooltipText, 0);
  SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTooltipShowMs, 0));
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
  RECT margins = {kTooltipMargin, kTooltipMargin, kTooltipMargin, kTooltipMargin};
  SendMessageA(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margins));
  return tip;
}

}  // namespace uiwin
