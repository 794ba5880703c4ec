#include "platform/win32/win32_services.h"
#include "platform/win32/win32_lookup.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace win32 {

namespace {

// One open handle, closed when it goes out of scope. The last error of the call that
// failed survives the closing.
template <BOOL(WINAPI* Close)(HANDLE)>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }
  void Reset() {
    if (valid()) {
      DWORD error = ::GetLastError();
      Close(h_);
      ::SetLastError(error);
    }
    h_ = INVALID_HANDLE_VALUE;
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

using FileHandle = UniqueHandle<::CloseHandle>;
using FindHandle = UniqueHandle<::FindClose>;

uint64_t FromFileTime(const FILETIME& ft) {
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME ToFileTime(uint64_t v) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(v);
  ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
  return ft;
}

bool WriteAll(HANDLE h, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data() + done, chunk, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += written;
  }
  return true;
}

class Win32Files : public plat::IFileSystem {
 public:
  DWORD GetFileAttributesA(const char* path) override { return ::GetFileAttributesA(path); }
  BOOL SetFileAttributesA(const char* path, DWORD attributes) override {
    return ::SetFileAttributesA(path, attributes);
  }
  BOOL CreateDirectoryA(const char* path) override { return ::CreateDirectoryA(path, nullptr); }
  BOOL RemoveDirectoryA(const char* path) override { return ::RemoveDirectoryA(path); }
  BOOL DeleteFileA(const char* path) override { return ::DeleteFileA(path); }
  BOOL MoveFileExA(const char* from, const char* to, DWORD flags) override {
    return ::MoveFileExA(from, to, flags);
  }
  BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) override {
    return ::CopyFileA(from, to, failIfExists);
  }

  bool OpenForRead(const char* path) override {
    FileHandle h(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr));
    return h.valid();
  }
  bool OpenFileExists(const char* path) override {
    OFSTRUCT ofs = {};
    ofs.cBytes = sizeof ofs;
    return ::OpenFile(path, &ofs, OF_EXIST) != HFILE_ERROR;
  }

  bool ReadFileBytes(const char* path, std::string* bytes, DWORD limit) override {
    return Read(path, bytes, limit, false);
  }
  bool ReadFileTail(const char* path, std::string* bytes, DWORD limit) override {
    return Read(path, bytes, limit, true);
  }
  static bool Read(const char* path, std::string* bytes, DWORD limit, bool tail) {
    if (!bytes) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    bytes->clear();
    FileHandle h(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return false;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(h.get(), &size)) return false;
    uint64_t want = std::min<uint64_t>(limit, static_cast<uint64_t>(size.QuadPart));
    if (tail && want < static_cast<uint64_t>(size.QuadPart)) {
      LARGE_INTEGER start;
      start.QuadPart = size.QuadPart - static_cast<LONGLONG>(want);
      if (!::SetFilePointerEx(h.get(), start, nullptr, FILE_BEGIN)) return false;
    }
    bytes->resize(static_cast<size_t>(want));
    size_t done = 0;
    while (done < bytes->size()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, 1u << 20));
      DWORD read = 0;
      if (!::ReadFile(h.get(), bytes->data() + done, chunk, &read, nullptr)) {
        bytes->clear();
        return false;
      }
      if (read == 0) break;  // the file became shorter
      done += read;
    }
    bytes->resize(done);
    return true;
  }
  bool WriteFileBytes(const char* path, const std::string& bytes) override {
    FileHandle h(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid() && WriteAll(h.get(), bytes);
  }
  bool AppendFileBytes(const char* path, const std::string& bytes) override {
    FileHandle h(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return false;
    LARGE_INTEGER zero = {};
    if (!::SetFilePointerEx(h.get(), zero, nullptr, FILE_END)) return false;
    return WriteAll(h.get(), bytes);
  }

  DWORD GetShortPathNameA(const char* longPath, char* out, DWORD size) override {
    return ::GetShortPathNameA(longPath, out, size);
  }
  DWORD GetLongPathNameA(const char* shortPath, char* out, DWORD size) override {
    return ::GetLongPathNameA(shortPath, out, size);
  }

  bool GetFileFacts(const char* path, plat::FileFacts* out) override {
    if (!out) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    out->attributes = data.dwFileAttributes;
    out->creation = FromFileTime(data.ftCreationTime);
    out->lastAccess = FromFileTime(data.ftLastAccessTime);
    out->lastWrite = FromFileTime(data.ftLastWriteTime);
    out->size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? 0
                    : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
  }
  bool SetFileTimes(const char* path, const uint64_t* creation, const uint64_t* lastAccess,
                    const uint64_t* lastWrite) override {
    // Backup semantics so that a folder opens too.
    FileHandle h(::CreateFileA(path, FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) return false;
    FILETIME c = ToFileTime(creation ? *creation : 0), a = ToFileTime(lastAccess ? *lastAccess : 0),
             w = ToFileTime(lastWrite ? *lastWrite : 0);
    return ::SetFileTime(h.get(), creation ? &c : nullptr, lastAccess ? &a : nullptr,
                         lastWrite ? &w : nullptr) != 0;
  }
  bool FileTimeToLocalSystemTime(uint64_t fileTime, plat::SystemTime* out) override {
    if (!out) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    FILETIME utc = ToFileTime(fileTime), local;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st))
      return false;
    out->year = st.wYear;
    out->month = st.wMonth;
    out->dayOfWeek = st.wDayOfWeek;
    out->day = st.wDay;
    out->hour = st.wHour;
    out->minute = st.wMinute;
    out->second = st.wSecond;
    out->milliseconds = st.wMilliseconds;
    return true;
  }

  bool SHGetSpecialFolderPathA(int csidl, char* out) override {
    if (!out) return false;
    out[0] = '\0';
    return ::SHGetSpecialFolderPathA(nullptr, out, csidl, FALSE) != FALSE;
  }
  UINT SetErrorMode(UINT mode) override { return ::SetErrorMode(mode); }

  bool Wow64DisableWow64FsRedirection(void** oldValue) override {
    using Fn = BOOL(WINAPI*)(PVOID*);
    static Fn fn = LookUp<Fn>("KERNEL32.DLL", "Wow64DisableWow64FsRedirection");
    return fn && fn(oldValue);
  }
  bool Wow64RevertWow64FsRedirection(void* oldValue) override {
    using Fn = BOOL(WINAPI*)(PVOID);
    static Fn fn = LookUp<Fn>("KERNEL32.DLL", "Wow64RevertWow64FsRedirection");
    return fn && fn(oldValue);
  }

  bool ListFolder(const char* folder, const char* pattern,
                  void (*cb)(void* ctx, const char* name, const plat::FileFacts& facts),
                  void* ctx) override {
    std::string search = folder ? folder : "";
    if (search.empty() || (search.back() != '\\' && search.back() != '/')) search += '\\';
    search += pattern && *pattern ? pattern : "*";
    WIN32_FIND_DATAA data;
    FindHandle h(::FindFirstFileA(search.c_str(), &data));
    if (!h.valid()) {
      // A pattern that matches nothing is no failure of the folder itself.
      return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      plat::FileFacts facts;
      facts.attributes = data.dwFileAttributes;
      facts.creation = FromFileTime(data.ftCreationTime);
      facts.lastAccess = FromFileTime(data.ftLastAccessTime);
      facts.lastWrite = FromFileTime(data.ftLastWriteTime);
      facts.size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                       ? 0
                       : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      cb(ctx, data.cFileName, facts);
    } while (::FindNextFileA(h.get(), &data));
    return true;
  }
};

}  // namespace

plat::IFileSystem& Files() {
  static Win32Files instance;
  return instance;
}

}  // namespace win32
