#include "sysobjects/active_tasks.h"

#include <vector>

#include "app/app_state.h"
#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/version_info.h"
#include "records/history.h"
#include "startup/location_codes.h"
#include "ui/page_host.h"

namespace sysobjects {

namespace {

constexpr const char* kStillRunningQuestion =
    "\n%s is currently an actively running program.\n\nDo you want Tallowick to try and stop this "
    "program and remove it from memory?\n\n";

std::string Expand(const std::string& text) {
  char out[paths::kMaxPath + 1] = {};
  DWORD n = plat::Sys().ExpandEnvironmentStringsA(text.c_str(), out, paths::kMaxPath);
  return n > 0 && n <= paths::kMaxPath ? std::string(out) : text;
}

}  // namespace

int ForEachProcessModule(const std::function<void(DWORD, const std::string&)>& visitor) {
  auto& procs = plat::Processes();
  std::vector<DWORD> pids;
  if (!procs.EnumProcesses(&pids)) return 1;
  for (DWORD pid : pids) {
    if (pid == 0) continue;
    plat::ProcessHandle h =
        procs.OpenProcess(plat::kProcessQueryInformation | plat::kProcessVmRead, FALSE, pid);
    if (!h) continue;
    std::vector<plat::ModuleId> modules;
    if (!procs.EnumProcessModules(h, &modules) || modules.empty()) continue;
    char file[MAX_PATH + 1] = {};
    DWORD n = procs.GetModuleFileNameExA(h, modules[0], file, MAX_PATH);
    if (n == 0) continue;
    h.Close();
    visitor(pid, std::string(file, n));
  }
  return 0;
}

bool ProcessRunsPath(const std::string& processFile, const std::string& wanted) {
  std::string want = Expand(wanted);
  std::string file = Expand(processFile);
  if (want.empty() || file.empty()) return false;
  if (text::CompareNoCase(paths::GetLongPath(file), want) == 0) return true;
  return text::CompareNoCase(paths::GetFileName(file), want) == 0;
}

DWORD FindProcessByPath(const std::string& path) {
  DWORD found = 0;
  paths::RedirectionOff off;
  ForEachProcessModule([&](DWORD pid, const std::string& file) {
    if (ProcessRunsPath(file, path)) found = pid;
  });
  return found;
}

DWORD KillStartupTask(const std::string& title, const std::string& path, bool ask, ui::PageHost* host) {
  DWORD pid = FindProcessByPath(path);
  if (pid == 0) return 0;
  if (ask) {
    if (!host) return pid;
    std::string question = kStillRunningQuestion;
    size_t at = question.find("%s");
    question.replace(at, 2, title.empty() ? path : title);
    if (host->ShowMessageBox(question, app::State().caption,
                             ui::kMbYesNo | ui::kMbIconQuestion | ui::kMbTopmost) != ui::kIdYes)
      return pid;
  }
  paths::RedirectionOff off;
  auto& procs = plat::Processes();
  bool ended = false;
  DWORD code = 0;
  {
    plat::ProcessHandle h =
        procs.OpenProcess(plat::kProcessTerminate | plat::kProcessQueryInformation, TRUE, pid);
    if (!h) {
      diag::LogLastError("MyError:  KillStartupTask TerminateProcess");
      return pid;
    }
    if (procs.TerminateProcess(h, 0))
      ended = true;
    else
      diag::LogLastError("MyError:  KillStartupTask TerminateProcess");
    if (!procs.GetExitCodeProcess(h, &code)) {
      diag::LogLastError("MyError:  KillStartupTask GetExitCodeProcess");
    } else if (procs.TerminateProcess(h, code)) {
      ended = true;
    }
    if (procs.GetExitCodeProcess(h, &code) && code == plat::kStillActive)
      // A service's program that outlives the kill is stopped through the service control
      // manager once the services are listed (SERVICE_Stop with type INFO_TASK).
      diag::TestLog(path.c_str(), "KillStartupTask still active");
  }
  if (ended) {
    version::VersionInfo info;
    version::GetVersionInfoEx(info, path);
    std::string name = info.productName()[0] ? info.productName() : paths::GetFileName(path);
    records::WriteHistory(records::TASK_Kill, startup::INFO_TASK, name, path, name);
    // The notification area drops the icons of programs that ended.
    plat::Sys().RepaintWindowOfClass("Shell_TrayWnd");
  }
  return pid;
}

}  // namespace sysobjects
