// OS facts and services of the simulated machine; tests set them to the Windows they need.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/system.h"

namespace sim {

class SimSystem : public plat::ISystem {
 public:
  SimSystem();

  // What the machine reports; tests change these freely.
  plat::OsVersion version;        // Windows 7 SP1 workstation by default
  bool extendedVersionAvailable = true;
  bool wow64 = false;             // IsWow64Process's answer
  bool process64 = true;
  bool hasIsWow64Process = true;  // false: kernel32 lacks the function
  std::string moduleFileName = "C:\\Program Files\\Tallowick\\TallowickEx.exe";
  std::string windowsFolder = "C:\\Windows";
  std::string systemFolder = "C:\\Windows\\system32";
  plat::SystemTime localTime;     // 2026-12-10 10:00:00 by default
  DWORD tickCount = 100000;       // advances by 1 ms on every read
  HRESULT coInitializeExResult = S_OK;
  HRESULT coInitializeResult = S_OK;
  HRESULT coInitializeSecurityResult = S_OK;
  int coInitializeCalls = 0, coUninitializeCalls = 0, initCommonControlsCalls = 0;
  bool commonControlsKnown = true;
  DWORD commonControlsMajor = 6, commonControlsMinor = 10;
  int tabletPC = 0;
  // The screens: GetSystemMetrics answers from this table (index -> value; 0 for any index it
  // lacks, as Windows does for an unknown index), SM_TABLETPC from tabletPC. SetScreen fills
  // it for one primary screen; the default is 1280 x 1024.
  std::map<int, int> metrics;
  // The work area (SPI_GETWORKAREA), by default the primary screen less a 40-pixel taskbar
  // along the bottom; workAreaAvailable = false makes the query fail.
  int workLeft = 0, workTop = 0, workRight = 0, workBottom = 0;
  bool workAreaAvailable = true;

  // One primary screen of width x height, the work area less a taskbar of taskbarHeight
  // pixels along the bottom, and a virtual screen equal to the primary screen.
  void SetScreen(int width, int height, int taskbarHeight = 40);
  // The bounding rectangle of all monitors (SM_X/YVIRTUALSCREEN, SM_CX/CYVIRTUALSCREEN).
  void SetVirtualScreen(int left, int top, int width, int height);
  // Strings the program's string table holds beyond (or instead of) the built-in table.
  std::map<UINT, std::string> stringOverrides;

  void SetEnv(const std::string& name, const std::string& value);
  void UnsetEnv(const std::string& name);

  // plat::ISystem
  DWORD GetLastError() override { return lastError_; }
  void SetLastError(DWORD code) override { lastError_ = code; }
  std::string ErrorText(DWORD code) override;
  DWORD GetTickCount() override { return tickCount++; }
  plat::SystemTime GetLocalTime() override { return localTime; }
  bool GetVersionExA(plat::OsVersion& out, bool extended) override;
  bool IsWow64Process() override;
  bool Is64BitProcess() override { return process64; }
  DWORD ExpandEnvironmentStringsA(const char* src, char* dst, DWORD size) override;
  DWORD GetEnvironmentVariableA(const char* name, char* out, DWORD size) override;
  DWORD GetModuleFileNameA(char* out, DWORD size) override;
  UINT GetWindowsDirectoryA(char* out, UINT size) override;
  UINT GetSystemDirectoryA(char* out, UINT size) override;
  int LoadStringA(UINT id, char* out, int size) override;
  HRESULT CoInitializeEx(DWORD flags) override;
  HRESULT CoInitialize() override;
  HRESULT CoInitializeSecurity() override { return coInitializeSecurityResult; }
  void CoUninitialize() override { ++coUninitializeCalls; }
  void InitCommonControls() override { ++initCommonControlsCalls; }
  bool GetCommonControlsVersion(DWORD* major, DWORD* minor) override {
    if (!commonControlsKnown) return false;
    *major = commonControlsMajor;
    *minor = commonControlsMinor;
    return true;
  }
  int GetSystemMetrics(int index) override;
  bool GetWorkArea(int* left, int* top, int* right, int* bottom) override;
  // Windows by class that exist on this machine, and the repaints asked for.
  std::vector<std::string> windowClasses = {"Shell_TrayWnd"};
  std::vector<std::string> repaints;
  bool RepaintWindowOfClass(const char* className) override {
    for (const auto& c : windowClasses)
      if (c == className) {
        repaints.push_back(c);
        return true;
      }
    return false;
  }

 private:
  DWORD lastError_ = 0;
  // Upper-cased name -> (name as set, value).
  std::map<std::string, std::pair<std::string, std::string>> env_;
};

}  // namespace sim
