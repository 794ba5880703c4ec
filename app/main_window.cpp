// The hidden main window: the commands other instances and the monitor post to it, and the
// writing of all options when it closes.
#include <cstdio>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_host.h"
#include "diag/testlog.h"
#include "platform/platform.h"
#include "settings/options.h"
#include "ui/help_pages.h"

namespace app {

namespace {

void ShutDown(IMainHost& host) {
  // WM_CLOSE and WM_DESTROY both end the program; the work is done once.
  if (State().shutDown) return;
  State().shutDown = true;
  plat::Sys().CoUninitialize();
  settings::SaveOptions();
  host.PostQuit(0);
}

void OnExitRequest(IMainHost& host) {
  if (settings::GetOption("ConfirmExit", 0) == 0) {
    host.DestroyMainWindow();
    return;
  }
  if (host.FindWindowByClass(kMonitorClass)) {
    host.OpenTabWindow(CMD_STARTUP);
    return;
  }
  UINT rc = plat::Launcher().WinExec(kMonitorProgram, SW_SHOW);
  if (rc <= 31) {
    char text[32];
    std::snprintf(text, sizeof text, "%u", rc);
    diag::TestLog(text, "WinExec Tallowick.exe");
  }
}

void OnCommand(IMainHost& host, int command) {
  if (IsTabCommand(command)) {
    host.OpenTabWindow(command);
    return;
  }
  switch (command) {
    case CMD_COOKIE_LIST: {
      int& viewCookies = settings::Value(settings::Opt::ViewCookies);
      int remembered = viewCookies;
      viewCookies = 1;
      host.OpenTabWindow(CMD_COOKIES);
      settings::Value(settings::Opt::ViewCookies) = remembered;
      break;
    }
    case CMD_EXIT:
      OnExitRequest(host);
      break;
    case CMD_CLOSE:
      host.DestroyMainWindow();
      break;
    case CMD_CONTACT:
      plat::Launcher().ShellExecuteA("open", kContactPage, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    // 6031 (the monitor's own startup entry) and 6033 (the restart-commands view) act once
    // the maintenance tools and the restart-commands records exist.
    default:
      break;
  }
}

}  // namespace

bool MainWindowMessage(IMainHost& host, unsigned message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(host, LOWORD(wParam));
      return true;
    case WM_CLOSE:
    case WM_DESTROY:
      ShutDown(host);
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MAXIMIZE || (wParam & 0xFFF0) == SC_RESTORE)
        host.OpenTabWindow(0);
      return true;
    case WM_HELP:
      ui::OpenHelpPage(State().helpContext);
      return true;
    case MSG_REPOST_COMMAND:
      host.PostToMain(WM_COMMAND, wParam, 0);
      return true;
    default:
      return false;
  }
}

}  // namespace app
