// The simulated process table: the processes a test puts in, each with its program file and
// modules, and the refusals Windows makes. Ending a process removes it from the table; its
// exit code stays readable through handles that are still open (and its id stays valid for
// OpenProcess while they are), as in Windows. A fresh table holds the System Idle Process
// (id 0, never opened) and System (id 4, refuses every access).
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace sim {

class SimSystem;

struct SimProcess {
  DWORD pid = 0;                     // 0: the table picks the next free id (a multiple of 4)
  std::string mainModule;            // the program file, as GetModuleFileNameExA gives it
  std::vector<std::string> modules;  // the other modules, in load order
  bool is32Bit = false;              // a 32-bit program (on a 32-bit Windows every process is)
  bool refuseOpen = false;           // every OpenProcess fails with ERROR_ACCESS_DENIED
  bool refuseTerminate = false;      // OpenProcess with kProcessTerminate is refused
  bool survivesTermination = false;  // TerminateProcess succeeds but the process runs on
                                     // (its exit code stays kStillActive), as a service
                                     // host does
};

class SimProcesses : public plat::IProcesses {
 public:
  explicit SimProcesses(SimSystem& system);
  ~SimProcesses() override;
  SimProcesses(const SimProcesses&) = delete;
  SimProcesses& operator=(const SimProcesses&) = delete;

  // --- The machine's set-up.
  // The kind of Windows and program (as sim::MachineConfig has them): a 32-bit program on a
  // 64-bit Windows cannot read a 64-bit process's modules.
  void SetWindows64(bool windows64, bool process64);

  // --- Test helpers.
  // Puts a running process into the table; its id, or 0 when the id is taken.
  DWORD Add(const SimProcess& process);
  // The process ends on its own with the exit code; false when it does not run.
  bool Exit(DWORD pid, DWORD exitCode);
  bool IsRunning(DWORD pid) const;
  // How many handles are open now.
  size_t OpenHandleCount() const { return handles_.size(); }

  // --- plat::IProcesses
  bool EnumProcesses(std::vector<DWORD>* pids) override;
  plat::ProcessHandle OpenProcess(DWORD access, BOOL inheritHandle, DWORD pid) override;
  bool EnumProcessModules(const plat::ProcessHandle& process,
                          std::vector<plat::ModuleId>* modules) override;
  DWORD GetModuleFileNameExA(const plat::ProcessHandle& process, plat::ModuleId module, char* out,
                             DWORD size) override;
  bool GetExitCodeProcess(const plat::ProcessHandle& process, DWORD* code) override;
  bool TerminateProcess(const plat::ProcessHandle& process, UINT exitCode) override;
  bool CloseHandle(void* handle) override;

 private:
  struct State;
  struct Handle;

  Handle* Find(const plat::ProcessHandle& process);
  bool Fail(DWORD error);
  DWORD FailZero(DWORD error);

  SimSystem& system_;
  bool windows64_ = false, process64_ = true;
  DWORD nextPid_ = 1000;
  std::map<DWORD, std::shared_ptr<State>> running_;
  // Ended processes that open handles still refer to.
  std::map<DWORD, std::weak_ptr<State>> ended_;
  std::map<Handle*, std::unique_ptr<Handle>> handles_;
};

}  // namespace sim
