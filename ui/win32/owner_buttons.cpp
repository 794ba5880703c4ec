#include "ui/win32/owner_buttons.h"

#include <string>

#include "ui/win32/win32_main_host.h"

namespace uiwin {

namespace {

bool IsButton(HWND window) {
  char cls[16] = {};
  return window && GetClassNameA(window, cls, sizeof cls) && lstrcmpiA(cls, "Button") == 0;
}

}  // namespace

bool OwnerButtons::Draw(const DRAWITEMSTRUCT& item) const {
  if (item.CtlType != ODT_BUTTON) return false;
  char text[512] = {};
  GetWindowTextA(item.hwndItem, text, sizeof text);
  std::string caption = text;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = nullptr;
  if (HFONT font = SharedFont(kOwnerButtonFont)) oldFont = SelectObject(dc, font);
  COLORREF color = item.hwndItem == hot_ ? kOwnerButtonHover : kOwnerButtonText;
  COLORREF oldColor;
  if (caption.find('\n') != std::string::npos) {
    RECT shadow = r;
    OffsetRect(&shadow, 1, 1);
    oldColor = SetTextColor(dc, kOwnerButtonShadow);
    DrawTextA(dc, caption.c_str(), -1, &shadow, DT_WORDBREAK);
    SetTextColor(dc, color);
    DrawTextA(dc, caption.c_str(), -1, &r, DT_WORDBREAK);
  } else {
    oldColor = SetTextColor(dc, color);
    DrawTextA(dc, caption.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
  SetTextColor(dc, oldColor);
  if (oldFont) SelectObject(dc, oldFont);
  SetBkMode(dc, oldMode);
  return true;
}

void OwnerButtons::MouseOver(HWND page, HWND under) {
  if (!under || under == page) return;
  HWND hot = IsButton(under) && (GetWindowLongA(under, GWL_STYLE) & 1) ? under : nullptr;
  if (hot == hot_) return;
  HWND previous = hot_;
  hot_ = hot;
  if (previous && IsWindow(previous)) InvalidateRect(previous, nullptr, TRUE);
  if (hot_) InvalidateRect(hot_, nullptr, TRUE);
}

}  // namespace uiwin
