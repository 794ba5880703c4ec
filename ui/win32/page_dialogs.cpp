#include "ui/win32/page_dialogs.h"

#include <commdlg.h>

#include <memory>

#include "app/window_geometry.h"
#include "diag/testlog.h"
#include "settings/language.h"
#include "ui/win32/page_messages.h"
#include "ui/win32/win32_page_host.h"

namespace uiwin {

namespace {

// A pop-up menu, destroyed when it goes.
struct MenuHandle {
  HMENU menu = CreatePopupMenu();
  ~MenuHandle() {
    if (menu) DestroyMenu(menu);
  }
};

// The language strings break lines with "\n"; the message's edit control needs "\r\n".
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

struct MessageDialogText {
  const std::string* title;
  const std::string* text;
};

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* m = reinterpret_cast<const MessageDialogText*>(lParam);
      SetWindowTextA(dialog, m->title->c_str());
      SetDlgItemTextA(dialog, kMessageTextId, WithCrLf(*m->text).c_str());
      CentreWindow(dialog);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// A dialog with behaviour: its view and the host bound to the dialog window.
struct ViewDialog {
  ui::Page* view;
  std::unique_ptr<Win32PageHost> host;
};

INT_PTR CALLBACK ViewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* d = reinterpret_cast<ViewDialog*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    d->host = std::make_unique<Win32PageHost>(dialog, Win32PageHost::Kind::Dialog);
    d->view->OnInit(*d->host);
    return TRUE;
  }
  auto* d = reinterpret_cast<ViewDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!d || !d->host) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && (lParam == 0 || HIWORD(wParam) == BN_CLICKED)) {
        d->view->OnCommand(*d->host, IDCANCEL);
        // Esc, the close box and Cancel always close a dialog, also when its view has
        // nothing to do for them.
        if (d->host && !d->host->dialogEnded()) d->host->EndDialog(IDCANCEL);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      d->view->OnDestroy(*d->host);
      d->host.reset();
      SetWindowLongPtrA(dialog, DWLP_USER, 0);
      return FALSE;
    default:
      break;
  }
  return RouteViewMessage(*d->view, *d->host, message, wParam, lParam) ? TRUE : FALSE;
}

}  // namespace

int TrackPopupMenuAtCursor(HWND page, const std::vector<ui::MenuItem>& items) {
  MenuHandle m;
  if (!m.menu || items.empty()) return 0;
  for (const ui::MenuItem& item : items) {
    if (item.caption.empty())
      AppendMenuA(m.menu, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuA(m.menu, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED),
                  static_cast<UINT_PTR>(item.command), item.caption.c_str());
  }
  POINT pt = {};
  GetCursorPos(&pt);
  // The page comes to the foreground first and gets an empty message afterwards, so the
  // menu closes when the user clicks elsewhere.
  SetForegroundWindow(page);
  int chosen = static_cast<int>(TrackPopupMenu(m.menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN |
                                                         TPM_RIGHTBUTTON | TPM_VERTICAL,
                                               pt.x, pt.y, 0, page, nullptr));
  PostMessageA(page, WM_NULL, 0, 0);
  return chosen;
}

int RunMessageDialog(HWND owner, const std::string& title, const std::string& text) {
  MessageDialogText m{&title, &text};
  INT_PTR rc = DialogBoxParamA(ProgramInstance(), MAKEINTRESOURCEA(kMessageDialog), owner,
                               MessageDialogProc, reinterpret_cast<LPARAM>(&m));
  if (rc == IDOK || rc == IDCANCEL) return static_cast<int>(rc);
  diag::LogLastError("DialogBoxParam Message");
  return MessageBoxExA(owner, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONINFORMATION,
                       settings::LanguageId()) == IDOK
             ? IDOK
             : IDCANCEL;
}

std::string RunOpenFileDialog(HWND owner, const ui::OpenFileRequest& request) {
  // The filter's parts are separated by '%' in the language strings, by NULs for the
  // dialog, and the list ends with two NULs.
  std::string filter = request.filter;
  for (char& c : filter)
    if (c == '%') c = '\0';
  filter.append(2, '\0');
  char file[MAX_PATH + 1] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&ofn)) return std::string();
  return file;
}

int RunViewDialog(HWND owner, int dialog, ui::Page& view) {
  ViewDialog d{&view, nullptr};
  INT_PTR rc = DialogBoxParamA(ProgramInstance(), MAKEINTRESOURCEA(dialog), owner, ViewDialogProc,
                               reinterpret_cast<LPARAM>(&d));
  if (rc == -1) {
    char label[48];
    wsprintfA(label, "DialogBoxParam %d", dialog);
    diag::LogLastError(label);
    return 0;
  }
  return static_cast<int>(rc);
}

void CentreWindow(HWND window) {
  RECT r = {};
  if (!GetWindowRect(window, &r)) return;
  app::Placement p = app::PlaceSecondaryWindow(nullptr, nullptr, nullptr, nullptr, r.right - r.left,
                                               r.bottom - r.top, app::ReadScreenFacts());
  SetWindowPos(window, nullptr, p.rect.left, p.rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace uiwin
