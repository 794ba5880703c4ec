// The pages' owner-drawn buttons: their text on a transparent background in the underlined
// shared font, dark grey, single-line and vertically centred; a text with a line break is
// word-wrapped over a light grey copy one pixel right and down. The button the mouse is over
// (a button whose style has its lowest bit set) is drawn dark blue until the mouse moves on.
#pragma once
#include "platform/wintypes.h"

namespace uiwin {

inline constexpr COLORREF kOwnerButtonText = 0x404040;
inline constexpr COLORREF kOwnerButtonShadow = 0xC0C0C0;
inline constexpr COLORREF kOwnerButtonHover = 0x660000;
// The shared font the buttons are drawn in (the underlined one).
inline constexpr int kOwnerButtonFont = 2;

class OwnerButtons {
 public:
  // WM_DRAWITEM of a button; false for anything else.
  bool Draw(const DRAWITEMSTRUCT& item) const;
  // WM_SETCURSOR of the page: `under` is the window the mouse is over (the page itself over
  // its background, which changes nothing).
  void MouseOver(HWND page, HWND under);

 private:
  HWND hot_ = nullptr;
};

}  // namespace uiwin
