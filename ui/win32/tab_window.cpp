#include "ui/win32/tab_window.h"

#include "platform/wintypes.h"

#include <commctrl.h>
#include <prsht.h>

#include <mmsystem.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/open_sound.h"
#include "app/page_protocol.h"
#include "app/sheet_layout.h"
#include "app/tab_pages.h"
#include "app/window_geometry.h"
#include "diag/testlog.h"
#include "platform/platform.h"
#include "settings/language.h"
#include "ui/list_view.h"
#include "ui/win32/page_layout.h"
#include "ui/win32/page_messages.h"
#include "ui/win32/win32_main_host.h"
#include "ui/win32/win32_page_host.h"

namespace uiwin {

namespace {

bool IsNt() {
  plat::OsVersion v;
  return plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
}

constexpr int kSheetFailedMessage = 24;

HWND g_sheet = nullptr;
WNDPROC g_sheetProc = nullptr;
HWND g_statusBar = nullptr;
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
    // Out of sight: the pages' own Close buttons and the window's close box close the sheet.
    SetWindowPos(close, nullptr, layout.closeLeft, layout.closeTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  }
  if (HWND page = PropSheet_GetCurrentPageHwnd(sheet)) {
    SetWindowPos(page, nullptr, 0, 0, layout.page.cx, layout.page.cy, SWP_NOMOVE | SWP_NOZORDER);
    LayOutPageWindow(page);
  }
}

LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // The status bar follows the sheet's bottom edge before the page measures it.
      if (g_statusBar) SendMessageA(g_statusBar, WM_SIZE, 0, 0);
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
    if (!g_statusBar)
      g_statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                    0, 0, 0, 0, sheet, reinterpret_cast<HMENU>(kStatusBarId),
                                    ProgramInstance(), nullptr);
  }
  SetWindowPos(sheet, nullptr, place.rect.left, place.rect.top, place.rect.width, place.rect.height,
               SWP_NOZORDER | SWP_NOACTIVATE | (place.resize ? 0 : SWP_NOSIZE));
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

// A page's view and the host bound to its window while it exists.
struct PageBinding {
  ui::Page* view = nullptr;
  std::unique_ptr<Win32PageHost> host;
};

// The page procedure only translates: the view does the page protocol.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
    auto* binding = reinterpret_cast<PageBinding*>(psp->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
    binding->host = std::make_unique<Win32PageHost>(page, Win32PageHost::Kind::Page);
    binding->view->OnInit(*binding->host);
    return TRUE;
  }
  auto* binding = reinterpret_cast<PageBinding*>(GetWindowLongPtrA(page, DWLP_USER));
  if (!binding || !binding->host) return FALSE;
  ui::Page& view = *binding->view;
  Win32PageHost& host = *binding->host;
  switch (message) {
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr->code == PSN_SETACTIVE) {
        view.OnActivate(host);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      if (hdr->code == PSN_KILLACTIVE) {
        view.OnDeactivate(host);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
      }
      break;
    }
    case WM_DESTROY:
      view.OnDestroy(host);
      // The host's tooltips and image list go with the page.
      binding->host.reset();
      SetWindowLongPtrA(page, DWLP_USER, 0);
      return FALSE;
    default:
      break;
  }
  return RouteViewMessage(view, host, message, wParam, lParam) ? TRUE : FALSE;
}

// The open sound, when sounds are on: the user's sound for the Open event or the program's
// own wave, played while the sheet opens.
void PlayOpenSound() {
  app::OpenSound sound = app::ChooseOpenSound();
  if (!sound.play) return;
  PlaySoundA(nullptr, nullptr, 0);
  BOOL played;
  if (!sound.file.empty()) {
    played = PlaySoundA(sound.file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
  } else {
    played = PlaySoundA(MAKEINTRESOURCEA(app::kOpenSoundResource), ProgramInstance(),
                        SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
  }
  diag::TestLog(sound.file.empty() ? (played ? "170" : "170 not played")
                                   : (played ? sound.file.c_str() : "not played"),
                "PlaySound");
}

}  // namespace

HWND CurrentSheet() { return g_sheet && IsWindow(g_sheet) ? g_sheet : nullptr; }

void SaveSheetGeometry() {
  if (HWND sheet = CurrentSheet()) app::SaveWindowGeometry(app::kSheetGeometry, SheetRect(sheet));
}

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
  // Every page's view lives as long as the sheet; the bindings do not move once made.
  std::vector<std::unique_ptr<ui::Page>> views;
  std::vector<PageBinding> bindings(pages.size());
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
    views.push_back(app::CreateTabPage(pages[i].command));
    bindings[i].view = views.back().get();
    p.lParam = reinterpret_cast<LPARAM>(&bindings[i]);
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
  PlayOpenSound();
  g_sheet = nullptr;
  g_statusBar = nullptr;
  g_minTrack = {};
  state.sheetClosing = false;
  INT_PTR result = PropertySheetA(&h);
  g_sheet = nullptr;
  g_statusBar = nullptr;
  state.currentTab = 0;
  state.sheetClosing = false;
  if (result < 0) {
    state.currentTab = 0;
    Win32PageHost mainHost(main, Win32PageHost::Kind::Dialog);
    ui::ShowMessageDialog(mainHost, kSheetFailedMessage, 0);
  }
}

}  // namespace uiwin
