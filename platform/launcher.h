// Starting programs, documents and addresses (shell32's ShellExecuteA, kernel32's WinExec).
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

namespace plat {

class ILauncher {
 public:
  virtual ~ILauncher() = default;
  // Above 31 on success, else the shell's error code.
  virtual UINT WinExec(const char* commandLine, UINT show) = 0;
  virtual intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                                 const char* folder, int show) = 0;
};

}  // namespace plat
