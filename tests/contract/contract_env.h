// One contract suite per platform interface runs against the simulated machine natively and
// against the real Win32 calls under Wine. A suite asks this environment for the services
// under test and for the fixtures that seed them; the same fixture files seed both.
#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"

namespace contract {

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual const plat::Platform& platform() = 0;
  // Applies tests/fixtures/<name> (a .reg file) to the registry under test.
  virtual bool SeedRegFile(const std::string& name) = 0;
  virtual bool IsSimulated() const = 0;
  // Windows path of a scratch folder that exists and is empty at the start of each test.
  virtual std::string ScratchFolder() = 0;
  // Puts a copy of the host file `hostPath` into the scratch folder as `name` and returns its
  // Windows path (empty when it cannot be copied).
  virtual std::string PlaceFile(const std::string& hostPath, const std::string& name) = 0;
  // Starts the small helper program (it sleeps, 30 s at most, and ends) and returns its
  // process id, with the Windows path of its program file in *modulePath; 0 when it cannot
  // be started. Natively the simulated process table gets a process like it. A helper that
  // still runs when the environment goes away is ended.
  virtual DWORD StartHelperProcess(std::string* modulePath) = 0;
};

// Natively: a fresh 64-bit simulated Windows seen by a 64-bit process (what the x86_64
// program sees under Wine). Under Wine: the real calls.
std::unique_ptr<ContractEnv> MakeContractEnv();

// The key every contract test works under, in HKCU and in HKLM\Software; removed before and
// after each test.
inline constexpr const char* kScratchKey = "Software\\TallowickContract";

}  // namespace contract
