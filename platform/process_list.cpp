#include "platform/process_list.h"

#include "platform/platform.h"
#include "platform/processes.h"

namespace plat {

std::vector<std::string> MainModulePaths() {
  std::vector<std::string> paths;
  auto& procs = Processes();
  std::vector<DWORD> pids;
  procs.EnumProcesses(&pids);
  for (DWORD pid : pids) {
    ProcessHandle h = procs.OpenProcess(kProcessQueryInformation | kProcessVmRead, FALSE, pid);
    if (!h) continue;
    std::vector<ModuleId> modules;
    if (!procs.EnumProcessModules(h, &modules) || modules.empty()) continue;
    char module[MAX_PATH + 1] = {};
    DWORD n = procs.GetModuleFileNameExA(h, modules[0], module, MAX_PATH);
    if (n > 0) paths.emplace_back(module, n);
  }
  return paths;
}

}  // namespace plat
