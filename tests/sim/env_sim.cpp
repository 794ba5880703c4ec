// The contract environment of the native build: a fresh simulated 64-bit Windows, seen by a
// 64-bit process, for every test.
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "platform/sim/sim_machine.h"
#include "tests/contract/contract_env.h"

namespace contract {
namespace {

class SimEnv : public ContractEnv {
 public:
  SimEnv() { machine_.Install(); }
  ~SimEnv() override { plat::Install(nullptr); }
  const plat::Platform& platform() override { return machine_.platform(); }
  bool SeedRegFile(const std::string& name) override {
    std::string error;
    return machine_.registry().LoadRegFile(std::string(TW_FIXTURE_DIR) + "/" + name, &error);
  }
  bool IsSimulated() const override { return true; }
  std::string ScratchFolder() override {
    const char* folder = "C:\\Windows\\Temp\\TallowickContract";
    machine_.files().CreateDirectoryA(folder);
    return folder;
  }
  std::string PlaceFile(const std::string& hostPath, const std::string& name) override {
    std::string path = ScratchFolder() + "\\" + name;
    std::error_code ec;
    std::filesystem::copy_file(hostPath, machine_.HostPath(path),
                               std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? std::string() : path;
  }
  DWORD StartHelperProcess(std::string* modulePath) override {
    // What the helper is under Windows: a program of the build's own kind with the system
    // modules every program loads.
    sim::SimProcess helper;
    helper.mainModule = "C:\\Program Files\\Tallowick Tests\\tw_sleeper.exe";
    helper.modules = {"C:\\Windows\\system32\\ntdll.dll",
                      "C:\\Windows\\system32\\kernel32.dll",
                      "C:\\Windows\\system32\\KERNELBASE.dll",
                      "C:\\Windows\\system32\\msvcrt.dll"};
    helper.is32Bit = !machine_.config().process64;
    if (modulePath) *modulePath = helper.mainModule;
    return machine_.processes().Add(helper);
  }

 private:
  sim::SimMachine machine_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimEnv>(); }

}  // namespace contract
