// psapi.dll's own entry points (PSAPI_VERSION 1) rather than kernel32's K32* ones, which
// Windows before 7 lacks; on later Windows psapi.dll passes the calls on to kernel32.
#define PSAPI_VERSION 1
#include <windows.h>
#include <psapi.h>

#include <vector>

#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

// Grows the buffer until the whole list fits (bounded: a list that keeps growing is cut).
constexpr int kMaxGrowth = 8;

class Win32Processes : public plat::IProcesses {
 public:
  bool EnumProcesses(std::vector<DWORD>* pids) override {
    if (!pids) return Fail(ERROR_INVALID_PARAMETER);
    std::vector<DWORD> ids(1024);
    for (int attempt = 0;; ++attempt) {
      DWORD bytes = 0;
      const DWORD room = static_cast<DWORD>(ids.size() * sizeof(DWORD));
      if (!::EnumProcesses(ids.data(), room, &bytes)) return false;
      // A full buffer may have cut the list: try again with more room.
      if (bytes < room || attempt == kMaxGrowth) {
        ids.resize(bytes / sizeof(DWORD));
        break;
      }
      ids.resize(ids.size() * 2);
    }
    *pids = std::move(ids);
    return true;
  }

  plat::ProcessHandle OpenProcess(DWORD access, BOOL inheritHandle, DWORD pid) override {
    return plat::ProcessHandle(this, ::OpenProcess(access, inheritHandle, pid));
  }

  bool EnumProcessModules(const plat::ProcessHandle& process,
                          std::vector<plat::ModuleId>* modules) override {
    if (!modules) return Fail(ERROR_INVALID_PARAMETER);
    std::vector<HMODULE> list(256);
    for (int attempt = 0;; ++attempt) {
      DWORD needed = 0;
      const DWORD room = static_cast<DWORD>(list.size() * sizeof(HMODULE));
      if (!::EnumProcessModules(static_cast<HANDLE>(process.get()), list.data(), room, &needed))
        return false;
      if (needed <= room || attempt == kMaxGrowth) {
        list.resize((needed <= room ? needed : room) / sizeof(HMODULE));
        break;
      }
      list.resize(needed / sizeof(HMODULE) + 16);
    }
    modules->clear();
    for (HMODULE m : list) modules->push_back(reinterpret_cast<plat::ModuleId>(m));
    return true;
  }

  DWORD GetModuleFileNameExA(const plat::ProcessHandle& process, plat::ModuleId module, char* out,
                             DWORD size) override {
    DWORD n = ::GetModuleFileNameExA(static_cast<HANDLE>(process.get()),
                                     reinterpret_cast<HMODULE>(module), out, size);
    // Windows XP leaves a cut name unterminated.
    if (n > 0 && out && size > 0 && n >= size - 1) out[size - 1] = '\0';
    return n;
  }

  bool GetExitCodeProcess(const plat::ProcessHandle& process, DWORD* code) override {
    return ::GetExitCodeProcess(static_cast<HANDLE>(process.get()), code) != FALSE;
  }

  bool TerminateProcess(const plat::ProcessHandle& process, UINT exitCode) override {
    return ::TerminateProcess(static_cast<HANDLE>(process.get()), exitCode) != FALSE;
  }

  bool CloseHandle(void* handle) override { return ::CloseHandle(handle) != FALSE; }

 private:
  static bool Fail(DWORD error) {
    SetLastError(error);
    return false;
  }
};

}  // namespace

plat::IProcesses& Processes() {
  static Win32Processes instance;
  return instance;
}

}  // namespace win32
