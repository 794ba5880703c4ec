#include "platform/paths.h"

#include "diag/testlog.h"
#include "platform/platform.h"
#include "platform/registry_access.h"

namespace paths {

RedirectionOff::RedirectionOff() {
  if (reg::Is64BitFlag()) switched_ = plat::Files().Wow64DisableWow64FsRedirection(&old_);
}

RedirectionOff::~RedirectionOff() {
  if (switched_) plat::Files().Wow64RevertWow64FsRedirection(old_);
}

std::string GetProgramFolder() {
  RedirectionOff off;
  char name[kMaxPath + 1] = {};
  DWORD n = plat::Sys().GetModuleFileNameA(name, kMaxPath);
  if (n == 0 || n >= kMaxPath) return {};
  std::string path(name, n);
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string GetDataFolder() {
  std::string appData =
      reg::GetRegString(HKEY_CURRENT_USER,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                        "AppData", kMaxPath);
  if (!appData.empty()) {
    std::string folder = appData + "\\Tallowick";
    if (folder.size() < kMaxPath) {
      plat::Files().CreateDirectoryA(folder.c_str());
      DWORD attrs = plat::Files().GetFileAttributesA(folder.c_str());
      if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) return folder;
    }
  }
  return GetProgramFolder();
}

namespace {
bool Remove(const std::string& path, bool folder) {
  RedirectionOff off;
  auto& files = plat::Files();
  files.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  bool ok = folder ? files.RemoveDirectoryA(path.c_str()) : files.DeleteFileA(path.c_str());
  if (ok && folder) diag::TestLog(path.c_str(), "fileRemoveFolder --- SUCCESS  ");
  if (!ok && diag::TracingOn()) {
    diag::LogLastError("GetLastError: ");
    diag::TestLog(path.c_str(), folder ? "fileRemoveFolder ---  " : "fileRemoveFile ---  ");
  }
  return ok;
}
}  // namespace

bool fileRemoveFile(const std::string& path) { return Remove(path, false); }
bool fileRemoveFolder(const std::string& path) { return Remove(path, true); }

}  // namespace paths
