#include "ui/win32/picture_buttons.h"

#include <initializer_list>

#include "ui/win32/win32_main_host.h"

namespace uiwin {

namespace {

const char* const kNormalProp = "TwPictureNormal";
const char* const kHoverProp = "TwPictureHover";
const char* const kPressedProp = "TwPicturePressed";
const char* const kCommandProp = "TwPictureCommand";

void Show(HWND control, const char* which) {
  HANDLE bitmap = GetPropA(control, which);
  if (!bitmap) return;
  auto old = reinterpret_cast<HANDLE>(
      SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  // The control hands back the picture it showed. When that is none of the shared pictures
  // it is the control's own: the one its dialog loaded, or the copy the version 6 control
  // makes of a bitmap with an alpha channel. Nobody else frees it.
  if (old && old != GetPropA(control, kNormalProp) && old != GetPropA(control, kHoverProp) &&
      old != GetPropA(control, kPressedProp))
    DeleteObject(old);
}

// The picture button under a point of the page's client area, nullptr over anything else.
HWND PictureAt(HWND page, LPARAM lParam) {
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  HWND child = ChildWindowFromPointEx(page, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  return child && child != page && IsPictureButton(child) ? child : nullptr;
}

}  // namespace

bool SetPictureProperties(HWND page, int id, int normal, int hover, int pressed) {
  return SetPictureBitmaps(GetDlgItem(page, id), SharedBitmap(normal), SharedBitmap(hover),
                           SharedBitmap(pressed), id);
}

bool SetPictureBitmaps(HWND control, HBITMAP normal, HBITMAP hover, HBITMAP pressed, int command) {
  if (!control || !normal) return false;
  // The control shows bitmaps; it must not take the mouse itself (SS_NOTIFY), the page's
  // handler does.
  LONG style = GetWindowLongA(control, GWL_STYLE);
  if ((style & SS_TYPEMASK) != SS_BITMAP || (style & SS_NOTIFY))
    SetWindowLongA(control, GWL_STYLE, (style & ~(SS_TYPEMASK | SS_NOTIFY)) | SS_BITMAP);
  SetPropA(control, kNormalProp, normal);
  SetPropA(control, kHoverProp, hover ? hover : normal);
  SetPropA(control, kPressedProp, pressed ? pressed : normal);
  SetPropA(control, kCommandProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(command)));
  Show(control, kNormalProp);
  return true;
}

void ClearPictureProperties(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  if (!control) return;
  for (const char* p : {kNormalProp, kHoverProp, kPressedProp, kCommandProp}) RemovePropA(control, p);
}

bool IsPictureButton(HWND control) { return GetPropA(control, kNormalProp) != nullptr; }

void PictureButtons::Forget(HWND control) {
  if (hovered_ == control) hovered_ = nullptr;
  if (held_ == control) held_ = nullptr;
}

void PictureButtons::OnMouse(HWND page, UINT message, LPARAM lParam) {
  // A button whose properties were taken away (page deactivated) is no longer ours.
  if (hovered_ && (!IsWindow(hovered_) || !IsPictureButton(hovered_))) hovered_ = nullptr;
  if (held_ && (!IsWindow(held_) || !IsPictureButton(held_))) held_ = nullptr;
  HWND under = PictureAt(page, lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      if (held_ || under == hovered_) return;
      if (hovered_) Show(hovered_, kNormalProp);
      if (under) Show(under, kHoverProp);
      hovered_ = under;
      return;
    case WM_LBUTTONDOWN:
      if (!under) return;
      Show(under, kPressedProp);
      held_ = under;
      hovered_ = nullptr;
      return;
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: {
      // A click is a press and a release over the same button; the double click (the second
      // press of one) counts as a click of its own, and the release that ends it does not.
      HWND pressed = held_;
      held_ = nullptr;
      hovered_ = nullptr;
      if (pressed && pressed != under) Show(pressed, kNormalProp);
      if (!under) return;
      Show(under, kNormalProp);
      if (message == WM_LBUTTONUP && pressed != under) return;
      int command = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(under, kCommandProp)));
      SendMessageA(page, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
      return;
    }
    default:
      return;
  }
}

}  // namespace uiwin
