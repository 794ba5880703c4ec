// The simulated shell: records every launch so tests can see exactly what would have been
// started, and can be told to fail.
#pragma once
#include <string>
#include <vector>

#include "platform/launcher.h"
#include "platform/sim/sim_system.h"

namespace sim {

struct Launch {
  std::string how;  // "WinExec", "ShellExecute" or "ShellExecuteEx"
  std::string verb, file, parameters, folder;
  int show = 0;
  unsigned long mask = 0;
};

class SimLauncher : public plat::ILauncher {
 public:
  std::vector<Launch> launches;
  // The result WinExec and ShellExecuteA give (above 31 is success), and the error
  // ShellExecuteExA fails with (0: it succeeds).
  intptr_t result = 42;
  DWORD exError = 0;
  // Set by the machine: where ShellExecuteExA leaves its error.
  SimSystem* system = nullptr;

  UINT WinExec(const char* commandLine, UINT show) override {
    launches.push_back({"WinExec", "", commandLine ? commandLine : "", "", "", static_cast<int>(show)});
    return static_cast<UINT>(result);
  }
  intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                         const char* folder, int show) override {
    launches.push_back({"ShellExecute", verb ? verb : "", file ? file : "",
                        parameters ? parameters : "", folder ? folder : "", show});
    return result;
  }
  BOOL ShellExecuteExA(const plat::ShellExecuteRequest& r) override;
};

}  // namespace sim
