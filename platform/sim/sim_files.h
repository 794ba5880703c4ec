// The simulated file system: each drive letter is a host folder; Windows paths resolve
// case-insensitively to the names that exist there. File attributes are kept by the
// simulation beside the host files. Nothing resolves outside the host folder of its drive.
#pragma once
#include <map>
#include <string>

#include "platform/files.h"

namespace sim {

class SimSystem;

class SimFileSystem : public plat::IFileSystem {
 public:
  SimFileSystem(SimSystem& system, const std::string& hostRoot);

  // The host path of a Windows path ("C:\Windows\win.ini"), resolving each component to an
  // existing entry of any case; the empty text for a path that is not absolute, names an
  // unknown drive, or holds a ".." component.
  std::string HostPath(const std::string& windowsPath) const;

  // Writes a whole file, creating its folders (a test and fixture helper).
  bool WriteFileText(const std::string& windowsPath, const std::string& text);
  // The whole content, or the empty text when the file cannot be read.
  std::string ReadFileText(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;

  // plat::IFileSystem
  DWORD GetFileAttributesA(const char* path) override;
  BOOL SetFileAttributesA(const char* path, DWORD attributes) override;
  BOOL CreateDirectoryA(const char* path) override;
  BOOL RemoveDirectoryA(const char* path) override;
  BOOL DeleteFileA(const char* path) override;
  BOOL MoveFileExA(const char* from, const char* to, DWORD flags) override;
  BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) override;
  bool Wow64DisableWow64FsRedirection(void** oldValue) override;
  bool Wow64RevertWow64FsRedirection(void* oldValue) override;
  // Whether redirection is switched off now.
  bool redirectionOff() const { return redirectionOff_; }
  bool ListFolder(const char* folder, const char* pattern,
                  void (*cb)(void* ctx, const char* name, DWORD attributes), void* ctx) override;

 private:
  DWORD StoredAttributes(const std::string& hostPath) const;
  void StoreAttributes(const std::string& hostPath, DWORD attributes);
  void ForgetAttributes(const std::string& hostPath);
  bool Fail(DWORD error);

  SimSystem& system_;
  std::string hostRoot_;
  // Extra attribute bits (read-only, hidden, system, archive) per host path; the directory
  // bit comes from the host.
  std::map<std::string, DWORD> attributes_;
  bool redirectionOff_ = false;
};

}  // namespace sim
