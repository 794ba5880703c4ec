#include "diag/trace_header.h"

#include <string>
#include <vector>

#include "diag/os_info.h"
#include "diag/testlog.h"
#include "platform/class_lookup.h"
#include "platform/command_path.h"
#include "platform/platform.h"
#include "platform/process_list.h"
#include "platform/registry_access.h"
#include "records/detected_date.h"
#include "startup/delayed.h"
#include "startup/enumerate.h"
#include "startup/run_list.h"

namespace diag {

namespace {
// One line per running process: its program file, labelled with the file's name.
void LogRunningProcesses() {
  for (const std::string& path : plat::MainModulePaths())
    TestLog(path.c_str(), paths::GetFileName(path).c_str());
}
}  // namespace

void InitializeTestLog() {
  reg::Set64BitFlag(plat::Sys().Is64BitProcess() || IsWow64());
  TestLog(reg::Is64BitFlag() ? "(x64)" : "(x86)", "Init TestLog");
  TestLog("", "**********************   Initialize TestLog    *************************");
  TestLog(records::TodayText().c_str(), "Testing:");
  std::string version;
  lookup::GetProductVersionText(3, &version);
  TestLog(version.c_str(), "Tallowick Version");
  TestLog(WindowsVersionText().c_str(), "Windows Version");
  TestLog("     -----------------", "--------------    Active Tasks");
  LogRunningProcesses();
  TestLog("        -----------------------", "-----------------------    Basic Startup Programs");
  int n = startup::EnumerateStartups(0);
  for (int i = 0; i < n; ++i)
    TestLog(startup::RunPath(i).c_str(), startup::RunTitle(i).c_str());
  startup::ClearRunList();
  TestLog("  ------------------", "---------------    Delayed Startup");
  startup::LogDelayedPrograms();
  TestLog("  ---- ", "   ---");
  TestLog("  ------------------", "---------------    Debug Info ");
}

}  // namespace diag
