#include "platform/win32/win32_platform.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace win32 {

namespace {

class Win32Registry : public plat::IRegistry {
 public:
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                     HKEY* result) override {
    return ::RegOpenKeyExA(root, subKey, options, sam, result);
  }
  LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam, HKEY* result,
                       DWORD* disposition) override {
    return ::RegCreateKeyExA(root, subKey, 0, nullptr, options, sam, nullptr, result,
                             disposition);
  }
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data,
                        DWORD* cbData) override {
    return ::RegQueryValueExA(key, valueName, nullptr, type, data, cbData);
  }
  LONG RegSetValueExA(HKEY key, const char* valueName, DWORD type, const BYTE* data,
                      DWORD cbData) override {
    return ::RegSetValueExA(key, valueName, 0, type, data, cbData);
  }
  LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* cchName) override {
    return ::RegEnumKeyExA(key, index, name, cchName, nullptr, nullptr, nullptr, nullptr);
  }
  LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* cchName, DWORD* type, BYTE* data,
                     DWORD* cbData) override {
    return ::RegEnumValueA(key, index, name, cchName, nullptr, type, data, cbData);
  }
  LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                        DWORD* maxValueNameLen, DWORD* maxValueLen) override {
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, maxSubKeyLen, nullptr,
                              values, maxValueNameLen, maxValueLen, nullptr, nullptr);
  }
  LONG RegDeleteValueA(HKEY key, const char* valueName) override {
    return ::RegDeleteValueA(key, valueName);
  }
  LONG RegDeleteKeyA(HKEY key, const char* subKey) override {
    return ::RegDeleteKeyA(key, subKey);
  }
  bool HasRegDeleteKeyExA() override { return DeleteKeyEx() != nullptr; }
  LONG RegDeleteKeyExA(HKEY key, const char* subKey, REGSAM view) override {
    auto fn = DeleteKeyEx();
    if (!fn) return ERROR_CALL_NOT_IMPLEMENTED;
    return fn(key, subKey, view, 0);
  }
  LONG RegCloseKey(HKEY key) override { return ::RegCloseKey(key); }

 private:
  using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
  // Looked up at run time: systems before XP x64 lack it.
  static DeleteKeyExFn DeleteKeyEx() {
    static DeleteKeyExFn fn = reinterpret_cast<DeleteKeyExFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("Advapi32.dll"), "RegDeleteKeyExA")));
    return fn;
  }
};

class Win32Profile : public plat::IProfile {
 public:
  DWORD GetProfileStringA(const char* section, const char* key, const char* defaultText,
                          char* out, DWORD size) override {
    return ::GetProfileStringA(section, key, defaultText, out, size);
  }
  BOOL WriteProfileStringA(const char* section, const char* key, const char* value) override {
    return ::WriteProfileStringA(section, key, value);
  }
  DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultText,
                                 char* out, DWORD size, const char* file) override {
    return ::GetPrivateProfileStringA(section, key, defaultText, out, size, file);
  }
  BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                  const char* file) override {
    return ::WritePrivateProfileStringA(section, key, value, file);
  }
};

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
  bool Wow64DisableWow64FsRedirection(void** oldValue) override {
    using Fn = BOOL(WINAPI*)(PVOID*);
    static Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(
        ::GetModuleHandleA("KERNEL32.DLL"), "Wow64DisableWow64FsRedirection")));
    return fn && fn(oldValue);
  }
  bool Wow64RevertWow64FsRedirection(void* oldValue) override {
    using Fn = BOOL(WINAPI*)(PVOID);
    static Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(
        ::GetModuleHandleA("KERNEL32.DLL"), "Wow64RevertWow64FsRedirection")));
    return fn && fn(oldValue);
  }
  bool ListFolder(const char* folder, const char* pattern,
                  void (*cb)(void* ctx, const char* name, DWORD attributes),
                  void* ctx) override {
    std::string spec = std::string(folder) + "\\" + (pattern && *pattern ? pattern : "*");
    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA(spec.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) {
      // An empty match is not a failure of the folder itself.
      return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
      if (std::string(data.cFileName) == "." || std::string(data.cFileName) == "..") continue;
      cb(ctx, data.cFileName, data.dwFileAttributes);
    } while (::FindNextFileA(h, &data));
    ::FindClose(h);
    return true;
  }
};

class Win32Launcher : public plat::ILauncher {
 public:
  UINT WinExec(const char* commandLine, UINT show) override {
    return ::WinExec(commandLine, show);
  }
  intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                         const char* folder, int show) override {
    return reinterpret_cast<intptr_t>(::ShellExecuteA(nullptr, verb, file, parameters, folder,
                                                      show));
  }
};

class Win32System : public plat::ISystem {
 public:
  DWORD GetLastError() override { return ::GetLastError(); }
  void SetLastError(DWORD code) override { ::SetLastError(code); }
  std::string ErrorText(DWORD code) override {
    char buf[512] = {};
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, code, 0, buf, sizeof buf, nullptr);
    std::string text(buf, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
      text.pop_back();
    return text;
  }
  DWORD GetTickCount() override { return ::GetTickCount(); }
  plat::SystemTime GetLocalTime() override {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    plat::SystemTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.dayOfWeek = st.wDayOfWeek;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.milliseconds = st.wMilliseconds;
    return t;
  }
  bool GetVersionExA(plat::OsVersion& out, bool extended) override {
    OSVERSIONINFOEXA v = {};
    v.dwOSVersionInfoSize = extended ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOA);
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v))) return false;
    out.major = v.dwMajorVersion;
    out.minor = v.dwMinorVersion;
    out.build = v.dwBuildNumber;
    out.platformId = v.dwPlatformId;
    memcpy(out.csdVersion, v.szCSDVersion, sizeof out.csdVersion);
    out.csdVersion[sizeof out.csdVersion - 1] = '\0';
    out.extended = extended;
    if (extended) {
      out.servicePackMajor = v.wServicePackMajor;
      out.servicePackMinor = v.wServicePackMinor;
      out.suiteMask = v.wSuiteMask;
      out.productType = v.wProductType;
    }
    return true;
  }
  bool IsWow64Process() override {
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    static Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32"), "IsWow64Process")));
    BOOL wow = FALSE;
    return fn && fn(::GetCurrentProcess(), &wow) && wow;
  }
  bool Is64BitProcess() override { return sizeof(void*) == 8; }
  DWORD ExpandEnvironmentStringsA(const char* src, char* dst, DWORD size) override {
    return ::ExpandEnvironmentStringsA(src, dst, size);
  }
  DWORD GetEnvironmentVariableA(const char* name, char* out, DWORD size) override {
    return ::GetEnvironmentVariableA(name, out, size);
  }
  DWORD GetModuleFileNameA(char* out, DWORD size) override {
    return ::GetModuleFileNameA(nullptr, out, size);
  }
  UINT GetWindowsDirectoryA(char* out, UINT size) override {
    return ::GetWindowsDirectoryA(out, size);
  }
  UINT GetSystemDirectoryA(char* out, UINT size) override {
    return ::GetSystemDirectoryA(out, size);
  }
  int LoadStringA(UINT id, char* out, int size) override {
    return ::LoadStringA(::GetModuleHandleA(nullptr), id, out, size);
  }
  HRESULT CoInitializeEx(DWORD flags) override { return ::CoInitializeEx(nullptr, flags); }
  HRESULT CoInitialize() override { return ::CoInitialize(nullptr); }
  HRESULT CoInitializeSecurity() override {
    return ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  }
  void CoUninitialize() override { ::CoUninitialize(); }
  void InitCommonControls() override { ::InitCommonControls(); }
};

}  // namespace

const plat::Platform& RealPlatform() {
  static Win32Registry reg;
  static Win32Profile profile;
  static Win32Files files;
  static Win32System sys;
  static Win32Launcher launcher;
  static const plat::Platform p{&reg, &profile, &files, &sys, &launcher};
  return p;
}

}  // namespace win32
