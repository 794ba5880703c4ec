// Facts and services of the running Windows that the system asks for: error numbers and their
// texts, clock, version information, WOW64, environment, the program's own file and its
// string table, and COM start-up.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace plat {

struct SystemTime {
  WORD year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0,
       milliseconds = 0;
};

// The fields of OSVERSIONINFOEXA the system reads. extended tells whether the extended form
// could be queried.
struct OsVersion {
  DWORD major = 0, minor = 0, build = 0, platformId = 0;
  char csdVersion[128] = {};
  WORD servicePackMajor = 0, servicePackMinor = 0, suiteMask = 0;
  BYTE productType = 0;
  bool extended = false;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual DWORD GetLastError() = 0;
  virtual void SetLastError(DWORD code) = 0;
  // The system's message text for an error number (FormatMessageA, trailing line break cut).
  virtual std::string ErrorText(DWORD code) = 0;
  virtual DWORD GetTickCount() = 0;
  virtual SystemTime GetLocalTime() = 0;
  // GetVersionExA: the extended form first when asked; false when the query fails.
  virtual bool GetVersionExA(OsVersion& out, bool extended) = 0;
  // IsWow64Process looked up in kernel32 at run time; false when it is missing.
  virtual bool IsWow64Process() = 0;
  // True for a 64-bit build of the program.
  virtual bool Is64BitProcess() = 0;
  virtual DWORD ExpandEnvironmentStringsA(const char* src, char* dst, DWORD size) = 0;
  virtual DWORD GetEnvironmentVariableA(const char* name, char* out, DWORD size) = 0;
  virtual DWORD GetModuleFileNameA(char* out, DWORD size) = 0;
  virtual UINT GetWindowsDirectoryA(char* out, UINT size) = 0;
  virtual UINT GetSystemDirectoryA(char* out, UINT size) = 0;
  // LoadStringA on the program's own string table.
  virtual int LoadStringA(UINT id, char* out, int size) = 0;
  virtual HRESULT CoInitializeEx(DWORD flags) = 0;
  virtual HRESULT CoInitialize() = 0;
  virtual HRESULT CoInitializeSecurity() = 0;
  virtual void CoUninitialize() = 0;
  virtual void InitCommonControls() = 0;
  // The common-controls library's version (DllGetVersion of comctl32); false when unknown.
  virtual bool GetCommonControlsVersion(DWORD* major, DWORD* minor) = 0;
  // GetSystemMetrics: SM_CXSCREEN 0, SM_CYSCREEN 1, SM_CXVSCROLL 2, SM_CXBORDER 5,
  // SM_CYBORDER 6, SM_CYFRAME 33, SM_XVIRTUALSCREEN 76, SM_YVIRTUALSCREEN 77,
  // SM_CXVIRTUALSCREEN 78, SM_CYVIRTUALSCREEN 79, SM_TABLETPC 86.
  virtual int GetSystemMetrics(int index) = 0;
  // SystemParametersInfoA(SPI_GETWORKAREA): the desktop's work area on the primary screen in
  // screen pixels (the screen less the taskbar); false when it cannot be read.
  virtual bool GetWorkArea(int* left, int* top, int* right, int* bottom) = 0;
  // InvalidateRect of the top-level window of a class (FindWindowA), so it repaints; false
  // when there is no such window.
  virtual bool RepaintWindowOfClass(const char* className) = 0;
};

}  // namespace plat
