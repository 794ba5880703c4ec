#include "platform/win32/win32_services.h"
#include "platform/win32/win32_lookup.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <cstring>
#include <string>

namespace win32 {

namespace {

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
    static Fn fn = LookUp<Fn>("kernel32", "IsWow64Process");
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
  bool GetCommonControlsVersion(DWORD* major, DWORD* minor) override {
    HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
    if (!comctl) comctl = ::LoadLibraryA("comctl32.dll");
    if (!comctl) return false;
    using Fn = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    auto fn = LookUp<Fn>(comctl, "DllGetVersion");
    if (!fn) return false;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    if (FAILED(fn(&info))) return false;
    *major = info.dwMajorVersion;
    *minor = info.dwMinorVersion;
    return true;
  }
  int GetSystemMetrics(int index) override { return ::GetSystemMetrics(index); }
  bool RepaintWindowOfClass(const char* className) override {
    HWND window = ::FindWindowA(className, nullptr);
    return window && ::InvalidateRect(window, nullptr, TRUE);
  }
  bool GetWorkArea(int* left, int* top, int* right, int* bottom) override {
    RECT r = {};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return false;
    *left = r.left;
    *top = r.top;
    *right = r.right;
    *bottom = r.bottom;
    return true;
  }
};

}  // namespace

plat::ISystem& System() {
  static Win32System instance;
  return instance;
}

}  // namespace win32
