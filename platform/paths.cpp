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

std::string ShortForm(const std::string& path) {
  char out[kMaxPath + 1] = {};
  DWORD n = plat::Files().GetShortPathNameA(path.c_str(), out, kMaxPath);
  return n > 0 && n < kMaxPath ? std::string(out, n) : std::string();
}

std::string Folder(UINT (plat::ISystem::*get)(char*, UINT)) {
  char buf[kMaxPath + 1] = {};
  UINT n = (plat::Sys().*get)(buf, kMaxPath);
  return n > 0 && n < kMaxPath ? std::string(buf, n) : std::string();
}

void TraceLongPath(const char* label, const std::string& path) {
  if (diag::TracingOn() && path.size() > 32) diag::TestLog(path.c_str(), label);
}

}  // namespace

bool FileExists(std::string& path) {
  if (path.empty()) {
    diag::TestLog(" -- ", "FileExists() called with a NULL file ---  ");
    return false;
  }
  auto& files = plat::Files();
  std::string windows = Folder(&plat::ISystem::GetWindowsDirectoryA);
  std::string system = Folder(&plat::ISystem::GetSystemDirectoryA);
  if (reg::Is64BitFlag()) {
    RedirectionOff off;
    return files.OpenForRead(path.c_str()) || files.OpenForRead((windows + "\\" + path).c_str()) ||
           files.OpenForRead((system + "\\" + path).c_str());
  }
  // a. The path as given.
  std::string shortPath = ShortForm(path);
  if (!shortPath.empty()) {
    if (files.OpenFileExists(shortPath.c_str()) || files.OpenForRead(shortPath.c_str()))
      return true;
    if (path.size() > 32) {
      TraceLongPath("Original Filename = ", path);
      if (files.OpenFileExists(path.c_str())) return true;
      if (diag::TracingOn()) {
        diag::LogLastError("GetLastError:  =  ");
        diag::TestLog(path.c_str(), "FileExists() OpenFile Original Filename =  ");
      }
    }
  } else if (path.size() > 32 && diag::TracingOn()) {
    diag::LogLastError("GetLastError:  =  ");
    diag::TestLog(path.c_str(), "FileExits() GetShortPathName Error ---  ");
  }
  // b. A short name in the Windows folder.
  if (path.size() >= 32) {
    TraceLongPath("FileExists() OpenFile OF_EXISTS ---  ", path);
    return false;
  }
  std::string inWindows = windows + "\\" + path;
  std::string shortWindows = ShortForm(inWindows);
  if (!shortWindows.empty() ? (files.OpenForRead(shortWindows.c_str()) ||
                               files.OpenFileExists(shortWindows.c_str()))
                            : files.OpenFileExists(inWindows.c_str())) {
    path = shortWindows.empty() ? inWindows : shortWindows;
    return true;
  }
  // d. Then in the System folder.
  std::string inSystem = system + "\\" + path;
  std::string shortSystem = ShortForm(inSystem);
  if (!shortSystem.empty() && files.OpenForRead(shortSystem.c_str())) {
    path = shortSystem;
    return true;
  }
  if (files.OpenFileExists(inSystem.c_str())) {
    path = inSystem;
    TraceLongPath("FileExists() FullPath =  ", path);
    return true;
  }
  return false;
}

bool FileExists(const std::string& path) {
  std::string copy = path;
  return FileExists(copy);
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
