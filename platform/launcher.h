// Starting programs, documents and addresses (shell32's ShellExecuteA, kernel32's WinExec).
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

namespace plat {

// The fields of SHELLEXECUTEINFOA the program fills.
struct ShellExecuteRequest {
  unsigned long mask = 0;  // SEE_MASK_INVOKEIDLIST (0x0C) for the Properties dialog
  const char* verb = nullptr;
  const char* file = nullptr;
  const char* parameters = nullptr;
  const char* folder = nullptr;
  int show = 0;
};
inline constexpr unsigned long kSeeMaskInvokeIdList = 0x0000000C;
inline constexpr int kSwShowDefault = 10;

class ILauncher {
 public:
  virtual ~ILauncher() = default;
  // Above 31 on success, else the shell's error code.
  virtual UINT WinExec(const char* commandLine, UINT show) = 0;
  virtual intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                                 const char* folder, int show) = 0;
  // TRUE on success; the last error says why it failed.
  virtual BOOL ShellExecuteExA(const ShellExecuteRequest& request) = 0;
};

}  // namespace plat
