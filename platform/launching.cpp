#include "platform/launching.h"

#include <cstdio>

#include "diag/launch_errors.h"
#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace launching {

namespace {

constexpr unsigned kSemFailCriticalErrors = 0x0001;

// No critical-error boxes while a launch runs; the previous mode comes back on every way out.
class QuietErrors {
 public:
  QuietErrors() : old_(plat::Files().SetErrorMode(kSemFailCriticalErrors)) {}
  ~QuietErrors() { plat::Files().SetErrorMode(old_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  UINT old_;
};

bool Started(intptr_t result) { return result >= 32; }

}  // namespace

int fileLaunchDelayedProgram(const std::string& parameters, const std::string& file,
                             int locationCode, bool runAs) {
  QuietErrors quiet;
  if (!paths::FileExists(file)) {
    diag::TestLog(file.c_str(), "fileLaunchDelayedProgram FileExist = FALSE");
    return 2;
  }
  std::string program = locationCode < 0 ? "RUNDLL32.EXE " + file : file;
  std::string folder = paths::GetFileFolder(file);
  const char* verb = runAs ? "runas" : "open";
  plat::ShellExecuteRequest request;
  request.verb = verb;
  request.file = program.c_str();
  request.parameters = parameters.c_str();
  request.folder = folder.c_str();
  request.show = SW_SHOWNORMAL;
  if (plat::Launcher().ShellExecuteExA(request)) {
    diag::TestLog(file.c_str(), "fileLaunchDelayedProgram ShellExecute = TRUE");
    return 0;
  }
  if (diag::TracingOn())
    diag::LogLastError((std::string("fileLaunchDelayedProgram ") + verb).c_str());
  UINT rc = plat::Launcher().WinExec(file.c_str(), SW_SHOWNORMAL);
  if (rc < 32) diag::LogLaunchError(static_cast<int>(rc), "fileLaunchDelayedProgram WinExec", 0);
  return 0;
}

bool fileShellExecute(const std::string& file) {
  QuietErrors quiet;
  std::string folder = paths::GetFileFolder(file);
  plat::ShellExecuteRequest request;
  request.mask = plat::kSeeMaskInvokeIdList;
  request.verb = "properties";
  request.file = file.c_str();
  request.parameters = "";
  request.folder = folder.c_str();
  request.show = SW_SHOW;
  BOOL ok = plat::Launcher().ShellExecuteExA(request);
  if (!ok && diag::TracingOn()) {
    std::string line = file + "  " + diag::LastErrorText();
    diag::TestLog(line.c_str(), "fileShellExecute");
  }
  return ok != FALSE;
}

bool ExploreFolderOf(const std::string& command) {
  std::string folder = paths::GetFileFolder(command);
  return Started(plat::Launcher().ShellExecuteA("explore", folder.c_str(), nullptr, nullptr,
                                                plat::kSwShowDefault));
}

bool ShowPropertiesOf(const std::string& command) {
  std::string file = paths::GetFileFromCommand(command);
  return paths::FileExists(file) && fileShellExecute(file);
}

bool OpenDocument(const std::string& file) {
  if (!paths::FileExists(file)) return false;
  return Started(plat::Launcher().ShellExecuteA("open", file.c_str(), nullptr, nullptr,
                                                plat::kSwShowDefault));
}

int ImportRepairFile() {
  std::string file = paths::GetDataFolder() + "\\temp.reg";
  if (plat::Files().GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return 1;
  // The path is quoted so that a data folder with blanks reaches the editor whole.
  std::string command = "regedit /s \"" + file + "\"";
  UINT rc = plat::Launcher().WinExec(command.c_str(), SW_SHOWNORMAL);
  if (rc >= 32) return 1;
  if (diag::TracingOn()) diag::LogLaunchError(static_cast<int>(rc), ("WinExec Reg file " + file).c_str(), 0);
  return 0;
}

}  // namespace launching
