#include "platform/sim/sim_processes.h"

#include <cstring>

#include "platform/sim/sim_system.h"

namespace sim {

namespace {
constexpr DWORD kIdlePid = 0;
constexpr DWORD kSystemPid = 4;
// Where the modules of a process appear to be loaded: the program at its usual base, the
// other modules one after another above it.
constexpr plat::ModuleId kMainBase32 = 0x00400000;
constexpr plat::ModuleId kMainBase64 = 0x140000000ull;
constexpr plat::ModuleId kModuleStride = 0x00100000;
}  // namespace

struct SimProcesses::State {
  SimProcess info;
  bool ended = false;
  DWORD exitCode = plat::kStillActive;

  // The main module first, then the others.
  const std::string* ModulePath(plat::ModuleId id) const {
    plat::ModuleId base = info.is32Bit ? kMainBase32 : kMainBase64;
    if (id == 0 || id == base) return &info.mainModule;
    if (id < base || (id - base) % kModuleStride != 0) return nullptr;
    size_t index = static_cast<size_t>((id - base) / kModuleStride) - 1;
    return index < info.modules.size() ? &info.modules[index] : nullptr;
  }
};

struct SimProcesses::Handle {
  std::shared_ptr<State> process;
  DWORD access = 0;
};

SimProcesses::SimProcesses(SimSystem& system) : system_(system) {
  auto idle = std::make_shared<State>();
  idle->info.pid = kIdlePid;
  idle->info.refuseOpen = true;
  running_[kIdlePid] = idle;
  auto kernel = std::make_shared<State>();
  kernel->info.pid = kSystemPid;
  kernel->info.refuseOpen = true;
  running_[kSystemPid] = kernel;
}

SimProcesses::~SimProcesses() = default;

void SimProcesses::SetWindows64(bool windows64, bool process64) {
  windows64_ = windows64;
  process64_ = windows64 && process64;
}

bool SimProcesses::Fail(DWORD error) {
  system_.SetLastError(error);
  return false;
}

DWORD SimProcesses::FailZero(DWORD error) {
  system_.SetLastError(error);
  return 0;
}

DWORD SimProcesses::Add(const SimProcess& process) {
  auto taken = [this](DWORD pid) {
    if (running_.count(pid)) return true;
    auto it = ended_.find(pid);
    return it != ended_.end() && !it->second.expired();
  };
  DWORD pid = process.pid;
  if (pid == 0) {
    while (taken(nextPid_)) nextPid_ += 4;
    pid = nextPid_;
    nextPid_ += 4;
  } else if (taken(pid)) {
    return 0;
  }
  auto state = std::make_shared<State>();
  state->info = process;
  state->info.pid = pid;
  if (!windows64_) state->info.is32Bit = true;
  ended_.erase(pid);
  running_[pid] = std::move(state);
  return pid;
}

bool SimProcesses::Exit(DWORD pid, DWORD exitCode) {
  auto it = running_.find(pid);
  if (it == running_.end() || pid == kIdlePid || pid == kSystemPid) return false;
  it->second->ended = true;
  it->second->exitCode = exitCode;
  ended_[pid] = it->second;
  running_.erase(it);
  return true;
}

bool SimProcesses::IsRunning(DWORD pid) const { return running_.count(pid) != 0; }

bool SimProcesses::EnumProcesses(std::vector<DWORD>* pids) {
  if (!pids) return Fail(ERROR_INVALID_PARAMETER);
  pids->clear();
  for (const auto& [pid, state] : running_) pids->push_back(pid);
  return true;
}

plat::ProcessHandle SimProcesses::OpenProcess(DWORD access, BOOL inheritHandle, DWORD pid) {
  std::shared_ptr<State> state;
  if (auto it = running_.find(pid); it != running_.end()) {
    state = it->second;
  } else if (auto e = ended_.find(pid); e != ended_.end()) {
    state = e->second.lock();
    if (!state) ended_.erase(e);
  }
  // Windows answers ERROR_INVALID_PARAMETER for the idle process as for an id that is not
  // in use.
  if (!state || pid == kIdlePid) {
    Fail(ERROR_INVALID_PARAMETER);
    return {};
  }
  if (state->info.refuseOpen ||
      (state->info.refuseTerminate && (access & plat::kProcessTerminate))) {
    Fail(ERROR_ACCESS_DENIED);
    return {};
  }
  auto handle = std::make_unique<Handle>();
  handle->process = std::move(state);
  handle->access = access;
  Handle* raw = handle.get();
  handles_[raw] = std::move(handle);
  return plat::ProcessHandle(this, raw);
}

SimProcesses::Handle* SimProcesses::Find(const plat::ProcessHandle& process) {
  auto it = handles_.find(static_cast<Handle*>(process.get()));
  if (it == handles_.end()) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

bool SimProcesses::EnumProcessModules(const plat::ProcessHandle& process,
                                      std::vector<plat::ModuleId>* modules) {
  Handle* h = Find(process);
  if (!h) return false;
  if (!modules) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD needed = plat::kProcessQueryInformation | plat::kProcessVmRead;
  // An ended process has no address space left to read.
  if ((h->access & needed) != needed || h->process->ended) return Fail(ERROR_ACCESS_DENIED);
  const State& s = *h->process;
  if (windows64_ && !process64_ && !s.info.is32Bit) return Fail(plat::kErrorPartialCopy);
  plat::ModuleId base = s.info.is32Bit ? kMainBase32 : kMainBase64;
  modules->clear();
  modules->push_back(base);
  for (size_t i = 0; i < s.info.modules.size(); ++i)
    modules->push_back(base + kModuleStride * (i + 1));
  return true;
}

DWORD SimProcesses::GetModuleFileNameExA(const plat::ProcessHandle& process, plat::ModuleId module,
                                         char* out, DWORD size) {
  Handle* h = Find(process);
  if (!h) return 0;
  if (!out || size == 0) return FailZero(ERROR_INVALID_PARAMETER);
  const bool query =
      h->access & (plat::kProcessQueryInformation | plat::kProcessQueryLimitedInformation);
  if (!query || !(h->access & plat::kProcessVmRead) || h->process->ended)
    return FailZero(ERROR_ACCESS_DENIED);
  const State& s = *h->process;
  if (windows64_ && !process64_ && !s.info.is32Bit) return FailZero(plat::kErrorPartialCopy);
  const std::string* path = s.ModulePath(module);
  if (!path) return FailZero(ERROR_INVALID_HANDLE);
  // A name that does not fit is cut and terminated, and the whole buffer is reported.
  if (path->size() >= size) {
    std::memcpy(out, path->data(), size - 1);
    out[size - 1] = '\0';
    return size;
  }
  std::memcpy(out, path->c_str(), path->size() + 1);
  return static_cast<DWORD>(path->size());
}

bool SimProcesses::GetExitCodeProcess(const plat::ProcessHandle& process, DWORD* code) {
  Handle* h = Find(process);
  if (!h) return false;
  if (!code) return Fail(ERROR_INVALID_PARAMETER);
  if (!(h->access & (plat::kProcessQueryInformation | plat::kProcessQueryLimitedInformation)))
    return Fail(ERROR_ACCESS_DENIED);
  *code = h->process->exitCode;
  return true;
}

bool SimProcesses::TerminateProcess(const plat::ProcessHandle& process, UINT exitCode) {
  Handle* h = Find(process);
  if (!h) return false;
  if (!(h->access & plat::kProcessTerminate)) return Fail(ERROR_ACCESS_DENIED);
  State& s = *h->process;
  // Windows refuses to end a process a second time.
  if (s.ended) return Fail(ERROR_ACCESS_DENIED);
  if (s.info.survivesTermination) return true;
  Exit(s.info.pid, exitCode);
  return true;
}

bool SimProcesses::CloseHandle(void* handle) {
  auto it = handles_.find(static_cast<Handle*>(handle));
  if (it == handles_.end()) return Fail(ERROR_INVALID_HANDLE);
  DWORD pid = it->second->process->info.pid;
  handles_.erase(it);
  // The last handle of an ended process frees its id.
  if (auto e = ended_.find(pid); e != ended_.end() && e->second.expired()) ended_.erase(e);
  return true;
}

}  // namespace sim
