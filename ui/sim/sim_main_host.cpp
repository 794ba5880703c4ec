#include "ui/sim/sim_main_host.h"

#include "app/app_state.h"
#include "platform/platform.h"

namespace uisim {

namespace {
constexpr uintptr_t kOwnMainWindow = 0x1000;
}

uintptr_t SimMainHost::FindWindowByClass(const char* className) {
  auto it = otherWindows.find(className ? className : "");
  if (it != otherWindows.end()) return it->second;
  if (mainWindowExists && createdClass == (className ? className : "")) return kOwnMainWindow;
  return 0;
}

bool SimMainHost::PostCommandTo(uintptr_t window, int command) {
  if (window == kOwnMainWindow) {
    PostToMain(WM_COMMAND, static_cast<WPARAM>(command), 0);
    return true;
  }
  postedToOthers.push_back({window, command});
  return true;
}

bool SimMainHost::CreateMainWindow(const char* className, const char* caption) {
  if (failCreate) return false;
  createdClass = className;
  createdCaption = caption;
  mainWindowExists = true;
  return true;
}

void SimMainHost::PostToMain(unsigned message, WPARAM wParam, LPARAM lParam) {
  if (mainWindowExists) queue_.push_back({message, wParam, lParam});
}

void SimMainHost::PumpMessages() {
  while (!queue_.empty() && !quitPosted) {
    Message m = queue_.front();
    queue_.pop_front();
    if (mainWindowExists) app::MainWindowMessage(*this, m.message, m.wParam, m.lParam);
  }
}

int SimMainHost::RunMessageLoop() {
  PumpMessages();
  return quitPosted ? quitCode : -1;
}

void SimMainHost::DestroyMainWindow() {
  if (!mainWindowExists) return;
  // Destroying the owner destroys the tab window it owns; then the window gets WM_DESTROY.
  if (tabWindowOpen) {
    tabWindowOpen = false;
    sheet.Close();
  }
  app::MainWindowMessage(*this, WM_DESTROY, 0, 0);
  mainWindowExists = false;
  mainWindowDestroyed = true;
  queue_.clear();
}

void SimMainHost::PostQuit(int code) {
  quitPosted = true;
  quitCode = code;
}

void SimMainHost::OpenTabWindow(int command) {
  tabWindowOpens.push_back(command);
  if (tabWindowOpen) {
    tabWindowRaises.push_back(command);
    return;
  }
  tabWindowOpen = true;
  plat::OsVersion v;
  bool nt = plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
  sheet = SimSheet();
  sheet.closeToMain = [this] { PostToMain(WM_CLOSE, 0, 0); };
  sheet.Open(command, nt);
  if (whileTabWindowOpen) whileTabWindowOpen(command);
  if (tabWindowOpen) {
    tabWindowOpen = false;
    sheet.Close();
  }
}

}  // namespace uisim
