// Picture buttons: static picture controls of a page that carry their normal, hover and
// pressed bitmaps and the command they send as window properties. The page hands its mouse
// messages to one handler, which finds the control under the mouse, shows its hover and
// pressed pictures and sends the command when the button is let go over it.
#pragma once
#include "platform/wintypes.h"

namespace uiwin {

// Gives a control of `page` its pictures (shared bitmap ids) and its command (its own id) and
// shows the normal picture; false when the control or the normal bitmap is missing.
bool SetPictureProperties(HWND page, int id, int normal, int hover, int pressed);
// The same with the bitmaps themselves (a missing hover or pressed bitmap is the normal one).
bool SetPictureBitmaps(HWND control, HBITMAP normal, HBITMAP hover, HBITMAP pressed, int command);
// Takes the properties away again (the picture shown stays).
void ClearPictureProperties(HWND page, int id);
// True when the control carries picture-button properties.
bool IsPictureButton(HWND control);

// The hover and held state of one page's picture buttons.
class PictureButtons {
 public:
  // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP and WM_LBUTTONDBLCLK of the page (client
  // coordinates in lParam); other messages are ignored.
  void OnMouse(HWND page, UINT message, LPARAM lParam);
  // Forgets a control that loses its properties.
  void Forget(HWND control);

 private:
  HWND hovered_ = nullptr;
  HWND held_ = nullptr;
};

}  // namespace uiwin
