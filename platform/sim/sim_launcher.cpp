#include "platform/sim/sim_launcher.h"

namespace sim {

BOOL SimLauncher::ShellExecuteExA(const plat::ShellExecuteRequest& r) {
  auto text = [](const char* s) { return std::string(s ? s : ""); };
  launches.push_back({"ShellExecuteEx", text(r.verb), text(r.file), text(r.parameters),
                      text(r.folder), r.show, r.mask});
  if (exError == 0) return TRUE;
  if (system) system->SetLastError(exError);
  return FALSE;
}

}  // namespace sim
