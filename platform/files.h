// The file system as the system calls it (kernel32). Paths are Windows paths; the simulated
// machine maps each drive to a host folder.
#pragma once
#include "platform/wintypes.h"

namespace plat {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  virtual DWORD GetFileAttributesA(const char* path) = 0;
  virtual BOOL SetFileAttributesA(const char* path, DWORD attributes) = 0;
  virtual BOOL CreateDirectoryA(const char* path) = 0;
  virtual BOOL RemoveDirectoryA(const char* path) = 0;
  virtual BOOL DeleteFileA(const char* path) = 0;
  virtual BOOL MoveFileExA(const char* from, const char* to, DWORD flags) = 0;
  virtual BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) = 0;
  // WOW64 file-system redirection, looked up in kernel32 at run time; false when the
  // functions are missing or the call fails.
  virtual bool Wow64DisableWow64FsRedirection(void** oldValue) = 0;
  virtual bool Wow64RevertWow64FsRedirection(void* oldValue) = 0;
  // Every entry (files and folders, not "." and "..") directly inside a folder whose name
  // matches pattern ("*" or "*.ext"); calls back once per entry with its name and
  // attributes. Returns false when the folder cannot be read.
  template <class F>
  bool ForEachEntry(const char* folder, const char* pattern, F&& f);
  virtual bool ListFolder(const char* folder, const char* pattern,
                          void (*cb)(void* ctx, const char* name, DWORD attributes),
                          void* ctx) = 0;
};

template <class F>
bool IFileSystem::ForEachEntry(const char* folder, const char* pattern, F&& f) {
  return ListFolder(
      folder, pattern,
      [](void* ctx, const char* name, DWORD attributes) { (*static_cast<F*>(ctx))(name, attributes); },
      &f);
}

}  // namespace plat
