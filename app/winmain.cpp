// The Windows program's entry: the real platform services and the real main window.
#include "app/main_host.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_main_host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  plat::Install(&win32::RealPlatform());
  uiwin::Win32MainHost host(instance);
  return app::ExplorerMain(commandLine, host);
}
