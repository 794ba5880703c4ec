// How long the startup enumeration takes on a machine with 4096 Run values and 300 running
// processes, next to a bare walk of the same keys and process table.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/process_state.h"
#include "platform/registry_access.h"
#include "platform/sim/sim_machine.h"
#include "startup/enumerate.h"
#include "startup/run_list.h"

namespace {

constexpr int kRunValues = 4096;
constexpr int kProcesses = 300;
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Machine {
 public:
  Machine() {
    machine_.Install();
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    plat::RegKey key(machine_.registry());
    key.Create(HKEY_CURRENT_USER, kRunKey, KEY_ALL_ACCESS);
    for (int i = 0; i < kRunValues; ++i) {
      std::string name = "Program" + std::to_string(i);
      std::string data = "\"C:\\Program Files\\Vendor" + std::to_string(i % 64) + "\\prog" +
                         std::to_string(i) + ".exe\" -tray";
      machine_.registry().RegSetValueExA(key.get(), name.c_str(), REG_SZ,
                                         reinterpret_cast<const BYTE*>(data.c_str()),
                                         static_cast<DWORD>(data.size() + 1));
    }
    for (int i = 0; i < kProcesses; ++i) {
      sim::SimProcess p;
      p.mainModule = "C:\\Program Files\\Vendor" + std::to_string(i % 64) + "\\prog" +
                     std::to_string(i * 13) + ".exe";
      machine_.processes().Add(p);
    }
  }
  ~Machine() {
    startup::ClearRunList();
    app::ResetProcessState();
    plat::Install(nullptr);
  }

 private:
  sim::SimMachine machine_;
};

void BM_EnumerateStartups(benchmark::State& state) {
  Machine machine;
  for (auto _ : state) {
    int n = startup::EnumerateStartups(1);
    benchmark::DoNotOptimize(n);
  }
  state.counters["items"] = startup::RunCount();
}
BENCHMARK(BM_EnumerateStartups)->Unit(benchmark::kMillisecond);

// The same Run key's values and the same process table's module names, read and nothing more.
void BM_BareWalk(benchmark::State& state) {
  Machine machine;
  for (auto _ : state) {
    size_t bytes = 0;
    plat::RegKey key(plat::Reg());
    key.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ);
    for (DWORD i = 0;; ++i) {
      char name[513];
      BYTE data[513];
      DWORD cch = sizeof name, cb = sizeof data, type = 0;
      if (plat::Reg().RegEnumValueA(key.get(), i, name, &cch, &type, data, &cb) != ERROR_SUCCESS) break;
      bytes += cb;
    }
    std::vector<DWORD> pids;
    plat::Processes().EnumProcesses(&pids);
    for (DWORD pid : pids) {
      plat::ProcessHandle h = plat::Processes().OpenProcess(
          plat::kProcessQueryInformation | plat::kProcessVmRead, FALSE, pid);
      if (!h) continue;
      std::vector<plat::ModuleId> modules;
      if (!plat::Processes().EnumProcessModules(h, &modules) || modules.empty()) continue;
      char module[MAX_PATH];
      bytes += plat::Processes().GetModuleFileNameExA(h, modules[0], module, MAX_PATH);
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
