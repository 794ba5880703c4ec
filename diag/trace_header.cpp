#include "diag/trace_header.h"

#include <string>

#include "diag/os_info.h"
#include "diag/testlog.h"
#include "platform/class_lookup.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "records/detected_date.h"

namespace diag {

void InitializeTestLog() {
  reg::Set64BitFlag(plat::Sys().Is64BitProcess() || IsWow64());
  TestLog(reg::Is64BitFlag() ? "(x64)" : "(x86)", "Init TestLog");
  TestLog("", "**********************   Initialize TestLog    *************************");
  TestLog(records::TodayText().c_str(), "Testing:");
  std::string version;
  lookup::GetProductVersionText(3, &version);
  TestLog(version.c_str(), "Tallowick Version");
  TestLog(WindowsVersionText().c_str(), "Windows Version");
  // Each block lists what its enumeration finds, once that enumeration exists.
  TestLog("     -----------------", "--------------    Active Tasks");
  TestLog("        -----------------------", "-----------------------    Basic Startup Programs");
  TestLog("  ------------------", "---------------    Delayed Startup");
  TestLog("  ---- ", "   ---");
  TestLog("  ------------------", "---------------    Debug Info ");
}

}  // namespace diag
