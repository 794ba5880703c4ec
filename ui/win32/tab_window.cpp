#include "ui/win32/tab_window.h"

#include "platform/wintypes.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/tab_pages.h"
#include "platform/platform.h"
#include "settings/language.h"
#include "ui/win32/win32_main_host.h"

namespace uiwin {

namespace {

constexpr int kHeaderText = 1047;
constexpr int kCloseString = 304;
constexpr int kSheetFailedMessage = 24;

// The sheet's own frame on the NT family: resizable, minimisable, with system menu.
int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam) {
  if (message == PSCB_PRECREATE && lParam) {
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
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      if (hdr->code == PSN_KILLACTIVE) {
        app::State().helpContext = 0;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
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
  h.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | (nt ? PSH_USECALLBACK : 0);
  h.hwndParent = main;
  h.hInstance = host.instance();
  h.pszCaption = state.caption.c_str();
  h.nPages = static_cast<UINT>(psp.size());
  h.nStartPage = static_cast<UINT>(app::StartPageIndex(pages, command));
  h.ppsp = psp.data();
  h.pfnCallback = SheetCallback;
  // The open sound plays here once the sound options are wired to the view.
  if (PropertySheetA(&h) < 0) {
    state.currentTab = 0;
    MessageBoxA(main, settings::LangString(kSheetFailedMessage).c_str(), state.caption.c_str(),
                MB_OK | MB_ICONERROR);
  }
}

}  // namespace uiwin
