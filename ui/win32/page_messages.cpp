#include "ui/win32/page_messages.h"

#include <commctrl.h>

#include "app/sheet_layout.h"
#include "ui/win32/page_layout.h"
#include "ui/win32/win32_page_host.h"

namespace uiwin {

namespace {

// A row's check box is its state image: 1 unchecked, 2 checked, 0 before it has one.
int CheckImage(UINT state) { return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12); }

bool RouteListNotification(ui::Page& view, Win32PageHost& host, const NMHDR& hdr) {
  if (static_cast<int>(hdr.idFrom) != app::kListId) return false;
  switch (hdr.code) {
    case LVN_ITEMCHANGED: {
      // What the host itself does to the list (filling, selecting, checking) is not the
      // user's doing and is not reported.
      if (host.changingList()) return true;
      const auto& lv = reinterpret_cast<const NMLISTVIEW&>(hdr);
      if (!(lv.uChanged & LVIF_STATE)) return true;
      UINT changed = lv.uOldState ^ lv.uNewState;
      if (changed & LVIS_SELECTED) view.OnSelectionChanged(host);
      if ((changed & LVIS_STATEIMAGEMASK) && CheckImage(lv.uOldState) != 0 &&
          CheckImage(lv.uNewState) != 0 && lv.iItem >= 0)
        view.OnItemChecked(host, lv.iItem);
      return true;
    }
    case LVN_COLUMNCLICK:
      view.OnColumnClick(host, reinterpret_cast<const NMLISTVIEW&>(hdr).iSubItem);
      return true;
    case NM_DBLCLK:
      view.OnDoubleClick(host);
      return true;
    case NM_RCLICK:
      view.OnRightClick(host);
      return true;
    case NM_RETURN:
      view.OnReturn(host);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool RouteViewMessage(ui::Page& view, Win32PageHost& host, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      // Buttons, check boxes, menu entries and picture buttons; the other notifications of
      // controls (edit changes, focus) are not commands.
      if (lParam != 0 && HIWORD(wParam) != BN_CLICKED) return false;
      if (id == IDOK)
        view.OnReturn(host);
      else
        view.OnCommand(host, id);
      return true;
    }
    case WM_NOTIFY:
      return RouteListNotification(view, host, *reinterpret_cast<const NMHDR*>(lParam));
    case kLayoutMessage:
      host.LayOutPage();
      return true;
    case WM_DRAWITEM:
      return host.DrawOwnerButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR:
      host.MouseOverControl(reinterpret_cast<HWND>(wParam));
      return false;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      host.OnMouse(message, lParam);
      return false;
    default:
      return false;
  }
}

}  // namespace uiwin
