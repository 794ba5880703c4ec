// The file system as the system calls it: kernel32's *A file functions, the shell's special
// folders and the error mode. Paths are Windows ANSI paths of at most 259 characters; the
// simulated machine maps each drive to a host folder.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/system.h"
#include "platform/wintypes.h"

namespace plat {

// Shell folder identifiers (CSIDL_*) for SHGetSpecialFolderPathA.
inline constexpr int kCsidlStartup = 0x0007;
inline constexpr int kCsidlCommonStartup = 0x0018;
inline constexpr int kCsidlAppData = 0x001a;
inline constexpr int kCsidlLocalAppData = 0x001c;
inline constexpr int kCsidlInternetCache = 0x0020;
inline constexpr int kCsidlCookies = 0x0021;
inline constexpr int kCsidlCommonAppData = 0x0023;
inline constexpr int kCsidlWindows = 0x0024;
inline constexpr int kCsidlSystem = 0x0025;
inline constexpr int kCsidlProgramFiles = 0x0026;
inline constexpr int kCsidlProfile = 0x0028;
inline constexpr int kCsidlSystemX86 = 0x0029;
inline constexpr int kCsidlProgramFilesX86 = 0x002a;

// SetErrorMode flags (SEM_*).
inline constexpr UINT kSemFailCriticalErrors = 0x0001;
inline constexpr UINT kSemNoGpFaultErrorBox = 0x0002;
inline constexpr UINT kSemNoOpenFileErrorBox = 0x8000;

// What GetFileAttributesExA and FindFirstFileA tell about one file or folder. Times are
// FILETIME values held in one number: 100-ns units since 1601-01-01, UTC. A folder's size
// is 0.
struct FileFacts {
  DWORD attributes = 0;
  uint64_t creation = 0;
  uint64_t lastAccess = 0;
  uint64_t lastWrite = 0;
  uint64_t size = 0;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  virtual DWORD GetFileAttributesA(const char* path) = 0;
  virtual BOOL SetFileAttributesA(const char* path, DWORD attributes) = 0;
  virtual BOOL CreateDirectoryA(const char* path) = 0;
  virtual BOOL RemoveDirectoryA(const char* path) = 0;
  virtual BOOL DeleteFileA(const char* path) = 0;
  // MOVEFILE_REPLACE_EXISTING, MOVEFILE_COPY_ALLOWED (a file to another drive is copied,
  // then deleted; a folder never leaves its drive) and MOVEFILE_DELAY_UNTIL_REBOOT (to may
  // be null: delete at the next start), as in Windows.
  virtual BOOL MoveFileExA(const char* from, const char* to, DWORD flags) = 0;
  virtual BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) = 0;

  // CreateFileA(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING) and CloseHandle: true when the
  // file opened. A folder does not open (ERROR_ACCESS_DENIED).
  virtual bool OpenForRead(const char* path) = 0;
  // OpenFile(path, OF_EXIST): true when the file exists. A name without a folder is searched
  // for as OpenFile searches; paths of 128 characters or more always fail.
  virtual bool OpenFileExists(const char* path) = 0;

  // The first `limit` bytes (or fewer) of a file, read whole. True when the file opened and
  // was read; an empty file gives true and no bytes.
  virtual bool ReadFileBytes(const char* path, std::string* bytes, DWORD limit) = 0;
  // The last `limit` bytes (or fewer) of a file, read whole; as ReadFileBytes otherwise.
  virtual bool ReadFileTail(const char* path, std::string* bytes, DWORD limit) = 0;
  // CreateFileA(GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL) and the bytes written.
  // As in Windows an existing read-only, hidden or system file is refused.
  virtual bool WriteFileBytes(const char* path, const std::string& bytes) = 0;
  // CreateFileA(GENERIC_WRITE, OPEN_ALWAYS), to the end, and the bytes written.
  virtual bool AppendFileBytes(const char* path, const std::string& bytes) = 0;

  // The Windows return protocol: the length without the zero on success; the size needed
  // with the zero when `size` is too small (out is then left alone); 0 and the last error
  // on failure (ERROR_FILE_NOT_FOUND when a component does not exist).
  virtual DWORD GetShortPathNameA(const char* longPath, char* out, DWORD size) = 0;
  virtual DWORD GetLongPathNameA(const char* shortPath, char* out, DWORD size) = 0;

  // GetFileAttributesExA: attributes, times and size of a file or folder.
  virtual bool GetFileFacts(const char* path, FileFacts* out) = 0;
  // SetFileTime on a file or folder; a null time is left as it is.
  virtual bool SetFileTimes(const char* path, const uint64_t* creation,
                            const uint64_t* lastAccess, const uint64_t* lastWrite) = 0;
  // FileTimeToLocalFileTime and FileTimeToSystemTime; false for a time the system cannot
  // show (ERROR_INVALID_PARAMETER).
  virtual bool FileTimeToLocalSystemTime(uint64_t fileTime, SystemTime* out) = 0;

  // SHGetSpecialFolderPathA(nullptr, out, csidl, FALSE); out holds MAX_PATH characters.
  // False for an unknown identifier or a folder that does not exist.
  virtual bool SHGetSpecialFolderPathA(int csidl, char* out) = 0;
  // Returns the previous mode.
  virtual UINT SetErrorMode(UINT mode) = 0;

  // WOW64 file-system redirection, looked up in kernel32 at run time; false when the
  // functions are missing or the call fails (as it does in a 64-bit process).
  virtual bool Wow64DisableWow64FsRedirection(void** oldValue) = 0;
  virtual bool Wow64RevertWow64FsRedirection(void* oldValue) = 0;

  // Every entry directly inside a folder (files and folders, never "." and "..") whose
  // long or short name matches pattern, as FindFirstFileA matches it without regard to
  // case: "*" and "*.*" match all, "*.ext", "name*", "a?c" and exact names their part. The
  // callback takes (const char* name, const FileFacts&) or (const char* name, DWORD
  // attributes). False when the folder cannot be read; a pattern that matches nothing is
  // no failure.
  template <class F>
  bool ForEachEntry(const char* folder, const char* pattern, F&& f);
  virtual bool ListFolder(const char* folder, const char* pattern,
                          void (*cb)(void* ctx, const char* name, const FileFacts& facts),
                          void* ctx) = 0;
};

template <class F>
bool IFileSystem::ForEachEntry(const char* folder, const char* pattern, F&& f) {
  using Fn = std::remove_reference_t<F>;
  static_assert(std::is_invocable_v<Fn&, const char*, const FileFacts&> ||
                    std::is_invocable_v<Fn&, const char*, DWORD>,
                "the callback takes (name, facts) or (name, attributes)");
  return ListFolder(
      folder, pattern,
      [](void* ctx, const char* name, const FileFacts& facts) {
        Fn& fn = *static_cast<Fn*>(ctx);
        if constexpr (std::is_invocable_v<Fn&, const char*, const FileFacts&>)
          fn(name, facts);
        else
          fn(name, facts.attributes);
      },
      const_cast<void*>(static_cast<const void*>(std::addressof(f))));
}

}  // namespace plat
