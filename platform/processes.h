// The process table as the system reads and changes it: psapi's EnumProcesses,
// EnumProcessModules and GetModuleFileNameExA, kernel32's OpenProcess, GetExitCodeProcess,
// TerminateProcess and CloseHandle. Process handles are owned by ProcessHandle, which closes
// them when it goes away.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

// Process access rights (PROCESS_*), with the values Windows gives them.
inline constexpr DWORD kProcessTerminate = 0x0001;
inline constexpr DWORD kProcessVmRead = 0x0010;
inline constexpr DWORD kProcessQueryInformation = 0x0400;
inline constexpr DWORD kProcessQueryLimitedInformation = 0x1000;

// GetExitCodeProcess's answer for a process that has not ended (STILL_ACTIVE). A process
// that was ended with this code gives it too.
inline constexpr DWORD kStillActive = 259;

// ERROR_PARTIAL_COPY: a 32-bit program cannot read the modules of a 64-bit process.
inline constexpr DWORD kErrorPartialCopy = 299;

// A module of a process (its HMODULE, the load address); 0 names the main module.
using ModuleId = std::uintptr_t;

class IProcesses;

// One open process handle; closed (CloseHandle) when it goes away. Empty when OpenProcess
// failed.
class ProcessHandle {
 public:
  ProcessHandle() = default;
  ProcessHandle(IProcesses* owner, void* raw) : owner_(raw ? owner : nullptr), raw_(raw) {}
  ~ProcessHandle() { Close(); }
  ProcessHandle(ProcessHandle&& other) noexcept
      : owner_(std::exchange(other.owner_, nullptr)), raw_(std::exchange(other.raw_, nullptr)) {}
  ProcessHandle& operator=(ProcessHandle&& other) noexcept {
    if (this != &other) {
      Close();
      owner_ = std::exchange(other.owner_, nullptr);
      raw_ = std::exchange(other.raw_, nullptr);
    }
    return *this;
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;

  explicit operator bool() const { return raw_ != nullptr; }
  void* get() const { return raw_; }
  // Closes the handle now; true when there was one and it closed.
  inline bool Close();

 private:
  IProcesses* owner_ = nullptr;
  void* raw_ = nullptr;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  // The ids of every process in the table, in the order the system lists them. False (with
  // the last error) when the table cannot be read.
  virtual bool EnumProcesses(std::vector<DWORD>* pids) = 0;
  // An empty handle, with the last error, when the process does not exist (and for id 0:
  // ERROR_INVALID_PARAMETER) or refuses the access asked for (ERROR_ACCESS_DENIED).
  virtual ProcessHandle OpenProcess(DWORD access, BOOL inheritHandle, DWORD pid) = 0;
  // Every module of the process, the main module first. Needs query-information and
  // VM-read rights; fails for a process that has ended, and in a 32-bit program on a 64-bit
  // Windows for a 64-bit process (kErrorPartialCopy).
  virtual bool EnumProcessModules(const ProcessHandle& process, std::vector<ModuleId>* modules) = 0;
  // The module's file name (module 0: the main module's) in out, as psapi gives it: the
  // length copied; a name that does not fit is cut to size - 1 characters and terminated,
  // and size is returned; 0 and the last error on failure (ERROR_INVALID_PARAMETER for
  // size 0, ERROR_INVALID_HANDLE for a module the process does not have).
  virtual DWORD GetModuleFileNameExA(const ProcessHandle& process, ModuleId module, char* out,
                                     DWORD size) = 0;
  // kStillActive while the process runs, then its exit code. Needs a query right.
  virtual bool GetExitCodeProcess(const ProcessHandle& process, DWORD* code) = 0;
  // Ends the process with the exit code. Needs kProcessTerminate; fails with
  // ERROR_ACCESS_DENIED once the process has ended.
  virtual bool TerminateProcess(const ProcessHandle& process, UINT exitCode) = 0;
  // Closes a raw handle (what ProcessHandle calls); false for one that is not open.
  virtual bool CloseHandle(void* handle) = 0;
};

inline bool ProcessHandle::Close() {
  void* raw = std::exchange(raw_, nullptr);
  IProcesses* owner = std::exchange(owner_, nullptr);
  return raw && owner && owner->CloseHandle(raw);
}

}  // namespace plat
