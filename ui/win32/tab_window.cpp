#include "ui/win32/tab_window.h"

#include "platform/wintypes.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/sheet_layout.h"
#include "app/tab_pages.h"
#include "app/window_geometry.h"
#include "platform/platform.h"
#include "settings/language.h"
#include "ui/win32/page_layout.h"
#include "ui/win32/win32_main_host.h"

namespace uiwin {

namespace {

bool IsNt() {
  plat::OsVersion v;
  return plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
}

constexpr int kHeaderText = 1047;
constexpr int kCloseString = 304;
constexpr int kSheetFailedMessage = 24;

HWND g_sheet = nullptr;
WNDPROC g_sheetProc = nullptr;
POINT g_minTrack = {};

app::WindowRect SheetRect(HWND sheet) {
  RECT r = {};
  GetWindowRect(sheet, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The sheet follows its size: tab strip, Close button and the current page.
void LayOutSheetNow(HWND sheet) {
  app::WindowRect r = SheetRect(sheet);
  HWND tab = PropSheet_GetTabControl(sheet);
  int rows = tab ? TabCtrl_GetRowCount(tab) : 1;
  app::SheetLayout layout = app::LayOutSheet(r.width, r.height, rows);
  if (tab) SetWindowPos(tab, nullptr, 0, 0, layout.tabStrip.cx, layout.tabStrip.cy, SWP_NOMOVE | SWP_NOZORDER);
  if (HWND close = GetDlgItem(sheet, IDCANCEL)) {
    SetWindowPos(close, nullptr, layout.closeLeft, layout.closeTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  if (HWND page = PropSheet_GetCurrentPageHwnd(sheet)) {
    SetWindowPos(page, nullptr, 0, 0, layout.page.cx, layout.page.cy, SWP_NOMOVE | SWP_NOZORDER);
    LayOutPageWindow(page);
  }
}

LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      LayOutSheetNow(sheet);
      break;
    case WM_GETMINMAXINFO:
      if (g_minTrack.x > 0) reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = g_minTrack;
      break;
    default:
      break;
  }
  return CallWindowProcA(g_sheetProc, sheet, message, wParam, lParam);
}

// Once per opening: the sheet gets its saved place and size back, follows its size from then
// on, and may not be made smaller than it starts.
void SetUpSheet(HWND sheet) {
  g_sheet = sheet;
  RECT client = {};
  GetClientRect(sheet, &client);
  g_minTrack = {client.right - 20, client.bottom - 64};
  app::WindowRect r = SheetRect(sheet);
  app::Placement place = app::RestoreWindowGeometry(app::kSheetGeometry, r.width, r.height);
  if (IsNt()) {
    g_sheetProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
  }
  SetWindowPos(sheet, nullptr, place.rect.left, place.rect.top, place.rect.width, place.rect.height,
               SWP_NOZORDER | SWP_NOACTIVATE | (place.resize ? 0 : SWP_NOSIZE));
}

void SaveSheetGeometry() {
  if (g_sheet && IsWindow(g_sheet)) app::SaveWindowGeometry(app::kSheetGeometry, SheetRect(g_sheet));
}

// The sheet's own frame on the NT family: resizable, minimisable, with system menu.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) {
  if (message == PSCB_INITIALIZED) {
    SetUpSheet(sheet);
    return 0;
  }
  if (message == PSCB_PRECREATE && lParam && IsNt()) {
    bool ex = reinterpret_cast<const WORD*>(lParam)[1] == 0xFFFF;
    if (ex) {
      // DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style.
      auto* dw = reinterpret_cast<DWORD*>(lParam);
      dw[2] |= WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
      dw[3] |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION;
    } else {
      auto* t = reinterpret_cast<DLGTEMPLATE*>(lParam);
      t->style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION;
      t->dwExtendedStyle |= WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
    }
  }
  return 0;
}

// Every page follows the same protocol: it names the current tab while it is active and ends
// the program when it is destroyed.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
      int command = static_cast<int>(psp->lParam);
      SetWindowLongPtrA(page, DWLP_USER, command);
      app::State().currentTab = command;
      for (int i = 0; i < app::kTabPageCount; ++i)
        if (app::kTabPages[i].command == command)
          SetDlgItemTextA(page, kHeaderText,
                          settings::LangString(app::kTabPages[i].titleString).c_str());
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      int command = static_cast<int>(GetWindowLongPtrA(page, DWLP_USER));
      if (hdr->code == PSN_SETACTIVE) {
        app::State().currentTab = command;
        app::State().helpContext = command;
        HWND sheet = GetParent(page);
        HWND ok = GetDlgItem(sheet, IDOK);
        ShowWindow(ok, SW_HIDE);
        EnableWindow(ok, FALSE);
        SetDlgItemTextA(sheet, IDCANCEL, settings::LangString(kCloseString).c_str());
        LayOutPageWindow(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      if (hdr->code == PSN_KILLACTIVE) {
        app::State().helpContext = 0;
        SaveSheetGeometry();
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
      }
      return FALSE;
    }
    case kLayoutMessage:
      LayOutPageWindow(page);
      return TRUE;
    case WM_DESTROY:
      SaveSheetGeometry();
      if (app::State().currentTab != 0) {
        app::State().currentTab = 0;
        if (HWND main = MainWindow()) PostMessageA(main, WM_CLOSE, 0, 0);
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void OpenTabWindow(Win32MainHost& host, int command) {
  HWND main = host.mainWindow();
  app::AppState& state = app::State();
  if (state.currentTab != 0) {
    // Open already: the requested tab is not selected, the window comes to the front.
    if (command == 6028) {
      SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      ShowWindow(main, SW_SHOW);
    }
    BringWindowToTop(main);
    SetForegroundWindow(main);
    return;
  }
  state.currentTab = 1;
  state.caption = "Tallowick";
  SetWindowTextA(main, state.caption.c_str());
  ShowWindow(main, SW_SHOW);

  plat::OsVersion v;
  bool nt = plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
  std::vector<app::TabPage> pages = app::PagesFor(nt);
  std::vector<std::string> titles;
  titles.reserve(pages.size());
  std::vector<PROPSHEETPAGEA> psp(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    titles.push_back(settings::LangString(pages[i].titleString));
    PROPSHEETPAGEA& p = psp[i];
    p.dwSize = sizeof p;
    p.dwFlags = PSP_USETITLE | PSP_USEICONID;
    p.hInstance = host.instance();
    p.pszTemplate = MAKEINTRESOURCEA(pages[i].dialog);
    p.pszIcon = MAKEINTRESOURCEA(pages[i].icon);
    p.pszTitle = titles.back().c_str();
    p.pfnDlgProc = PageProc;
    p.lParam = pages[i].command;
  }
  PROPSHEETHEADERA h = {};
  h.dwSize = sizeof h;
  h.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  h.hwndParent = main;
  h.hInstance = host.instance();
  h.pszCaption = state.caption.c_str();
  h.nPages = static_cast<UINT>(psp.size());
  h.nStartPage = static_cast<UINT>(app::StartPageIndex(pages, command));
  h.ppsp = psp.data();
  h.pfnCallback = SheetCallback;
  // The open sound plays here once the sound options are wired to the view.
  g_sheet = nullptr;
  g_minTrack = {};
  INT_PTR result = PropertySheetA(&h);
  g_sheet = nullptr;
  if (result < 0) {
    state.currentTab = 0;
    MessageBoxA(main, settings::LangString(kSheetFailedMessage).c_str(), state.caption.c_str(),
                MB_OK | MB_ICONERROR);
  }
}

}  // namespace uiwin
