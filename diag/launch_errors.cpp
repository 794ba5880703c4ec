#include "diag/launch_errors.h"

#include <cstdio>
#include <string>

#include "diag/testlog.h"
#include "platform/platform.h"

namespace diag {

namespace {
struct LaunchText {
  int code;
  const char* text;
};
const LaunchText kLaunchTexts[] = {
    {0, "The operating system is out of memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied access to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .exe file is invalid (non-Win32 .exe or error in .exe image)."},
    {26, "A sharing violation occurred."},
    {27, "The file name association is incomplete or invalid."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {29, "The DDE transaction could not be completed because other DDE transactions were being "
         "processed."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being "
         "processed."},
    {31, "There is no application associated with the given file name extension. This error "
         "will also be returned if you attempt to print a file that is not printable."},
    {32, "The specified DLL was not found."},
};
}  // namespace

const char* LaunchErrorText(int code) {
  for (const auto& t : kLaunchTexts)
    if (t.code == code) return t.text;
  return nullptr;
}

void LogLaunchError(int code, const char* label, int kind) {
  if (kind == 0) {
    if (const char* text = LaunchErrorText(code)) {
      char line[512];
      std::snprintf(line, sizeof line, "%d  %s", code, text);
      TestLog(line, label);
      return;
    }
    kind = 1;
  }
  if (kind == 1) {
    LogLastError(label);
    return;
  }
  std::string system = plat::Sys().ErrorText(plat::Sys().GetLastError());
  std::string line = std::string(kind == 2 ? "DefWindPos Error" : "Default Error") + "  " + system;
  TestLog(line.c_str(), label);
}

}  // namespace diag
