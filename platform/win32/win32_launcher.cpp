#include "platform/win32/win32_services.h"

#include <shellapi.h>

namespace win32 {

namespace {

class Win32Launcher : public plat::ILauncher {
 public:
  UINT WinExec(const char* commandLine, UINT show) override {
    return ::WinExec(commandLine, show);
  }
  intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                         const char* folder, int show) override {
    return reinterpret_cast<intptr_t>(::ShellExecuteA(nullptr, verb, file, parameters, folder,
                                                      show));
  }
  BOOL ShellExecuteExA(const plat::ShellExecuteRequest& r) override {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = r.mask;
    info.lpVerb = r.verb;
    info.lpFile = r.file;
    info.lpParameters = r.parameters;
    info.lpDirectory = r.folder;
    info.nShow = r.show;
    return ::ShellExecuteExA(&info);
  }
};

}  // namespace

plat::ILauncher& Launcher() {
  static Win32Launcher instance;
  return instance;
}

}  // namespace win32
