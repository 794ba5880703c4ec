// The contract environment of the Windows build: the real Win32 calls, seeded through
// regedit, with scratch folders under the Wine temp folder.
#include <windows.h>
#include <psapi.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tests/contract/contract_env.h"
#include "tests/wine/wine_support.h"

namespace contract {
namespace {

// Deletes a folder and everything in it; bounded by the depth of what the test made.
void RemoveFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

class Win32ContractEnv final : public ContractEnv {
 public:
  // Installed process-wide for the test, as the simulated machine is natively.
  Win32ContractEnv() { plat::Install(&win32::RealPlatform()); }
  ~Win32ContractEnv() override {
    plat::Install(nullptr);
    for (const std::string& f : scratch_) RemoveFolderTree(f);
  }

  const plat::Platform& platform() override { return win32::RealPlatform(); }

  bool SeedRegFile(const std::string& name) override {
    return winetest::SeedRegFile(winetest::FixturePath(name));
  }

  bool IsSimulated() const override { return false; }

  std::string ScratchFolder() override {
    char temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string base = (n > 0 && n < sizeof temp) ? std::string(temp, n) : "C:\\windows\\temp\\";
    if (base.back() != '\\') base += '\\';
    // A new name every time: a folder left by an earlier, crashed run is never reused.
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
      std::string folder = base + "tw-contract-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++counter_);
      if (CreateDirectoryA(folder.c_str(), nullptr)) {
        scratch_.push_back(folder);
        return folder;
      }
    }
    return std::string();
  }

  std::string PlaceFile(const std::string& hostPath, const std::string& name) override {
    if (placeFolder_.empty()) placeFolder_ = ScratchFolder();
    if (placeFolder_.empty()) return std::string();
    std::string path = placeFolder_ + "\\" + name;
    std::string from = winetest::HostToWinePath(hostPath);
    return CopyFileA(from.c_str(), path.c_str(), FALSE) ? path : std::string();
  }

  DWORD StartHelperProcess(std::string* modulePath) override {
    const std::string exe = winetest::HostToWinePath(TW_SLEEPER_EXE);
    std::string commandLine = "\"" + exe + "\" 30000";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
      return 0;
    CloseHandle(pi.hThread);
    helpers_.emplace_back(pi.hProcess);
    // The test reads its modules: wait (bounded) until the loader has mapped more than the
    // program itself.
    for (int i = 0; i < 100; ++i) {
      HMODULE modules[4];
      DWORD needed = 0;
      if (EnumProcessModules(pi.hProcess, modules, sizeof modules, &needed) &&
          needed >= 2 * sizeof(HMODULE))
        break;
      Sleep(20);
    }
    if (modulePath) *modulePath = exe;
    return pi.dwProcessId;
  }

 private:
  // A started helper, ended (bounded wait) and closed when the environment goes.
  struct EndProcess {
    void operator()(void* process) const {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  };
  std::vector<std::unique_ptr<void, EndProcess>> helpers_;
  std::string placeFolder_;
  std::vector<std::string> scratch_;
  static inline unsigned counter_ = 0;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<Win32ContractEnv>(); }

}  // namespace contract
