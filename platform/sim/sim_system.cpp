#include "platform/sim/sim_system.h"

#include <cstdio>
#include <cstring>

#include "platform/sim/sim_text.h"
#include "resources/string_table.h"

namespace sim {

namespace {
struct ErrorTextEntry {
  DWORD code;
  const char* text;
};
// The system texts of the error numbers the program meets, as FormatMessageA gives them.
const ErrorTextEntry kErrorTexts[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {17, "The system cannot move the file to a different disk drive."},
    {18, "There are no more files."},
    {32, "The process cannot access the file because it is being used by another process."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {120, "This function is not supported on this system."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {145, "The directory is not empty."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {1009, "The configuration registry database is corrupt."},
    {1010, "The configuration registry key is invalid."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
};
}  // namespace

SimSystem::SimSystem() {
  version.major = 6;
  version.minor = 1;
  version.build = 7601;
  version.platformId = VER_PLATFORM_WIN32_NT;
  std::strcpy(version.csdVersion, "Service Pack 1");
  version.servicePackMajor = 1;
  version.productType = VER_NT_WORKSTATION;
  localTime.year = 2026;
  localTime.month = 12;
  localTime.day = 10;
  localTime.dayOfWeek = 4;
  localTime.hour = 10;
  // Frame and scroll-bar sizes of a Windows 7 desktop at 96 dpi.
  metrics[2] = 17;  // SM_CXVSCROLL
  metrics[5] = 1;   // SM_CXBORDER
  metrics[6] = 1;   // SM_CYBORDER
  metrics[33] = 4;  // SM_CYFRAME
  SetScreen(1280, 1024);
}

void SimSystem::SetScreen(int width, int height, int taskbarHeight) {
  metrics[0] = width;   // SM_CXSCREEN
  metrics[1] = height;  // SM_CYSCREEN
  workLeft = 0;
  workTop = 0;
  workRight = width;
  workBottom = height - taskbarHeight;
  SetVirtualScreen(0, 0, width, height);
}

void SimSystem::SetVirtualScreen(int left, int top, int width, int height) {
  metrics[76] = left;
  metrics[77] = top;
  metrics[78] = width;
  metrics[79] = height;
}

int SimSystem::GetSystemMetrics(int index) {
  if (index == 86) return tabletPC;  // SM_TABLETPC
  auto it = metrics.find(index);
  return it == metrics.end() ? 0 : it->second;
}

bool SimSystem::GetWorkArea(int* left, int* top, int* right, int* bottom) {
  if (!workAreaAvailable) return false;
  *left = workLeft;
  *top = workTop;
  *right = workRight;
  *bottom = workBottom;
  return true;
}

void SimSystem::SetEnv(const std::string& name, const std::string& value) {
  env_[Upper(name)] = {name, value};
}

void SimSystem::UnsetEnv(const std::string& name) { env_.erase(Upper(name)); }

std::string SimSystem::ErrorText(DWORD code) {
  for (const auto& e : kErrorTexts)
    if (e.code == code) return e.text;
  return {};
}

bool SimSystem::GetVersionExA(plat::OsVersion& out, bool extended) {
  if (extended && !extendedVersionAvailable) return false;
  out = version;
  out.extended = extended;
  if (!extended) {
    out.servicePackMajor = out.servicePackMinor = out.suiteMask = 0;
    out.productType = 0;
  }
  return true;
}

bool SimSystem::IsWow64Process() { return hasIsWow64Process && wow64; }

DWORD SimSystem::ExpandEnvironmentStringsA(const char* src, char* dst, DWORD size) {
  // As Windows: %NAME% of a known variable is replaced, an unknown one is kept as written;
  // the result counts the terminating zero; a too-small buffer gets nothing but the size.
  std::string in = src ? src : "", out;
  for (size_t i = 0; i < in.size();) {
    if (in[i] == '%') {
      size_t end = in.find('%', i + 1);
      if (end != std::string::npos) {
        auto it = env_.find(Upper(in.substr(i + 1, end - i - 1)));
        if (it != env_.end() && end > i + 1) {
          out += it->second.second;
          i = end + 1;
          continue;
        }
        out += in.substr(i, end - i);
        i = end;
        continue;
      }
    }
    out += in[i++];
  }
  DWORD needed = static_cast<DWORD>(out.size() + 1);
  if (dst && size >= needed) std::memcpy(dst, out.c_str(), needed);
  return needed;
}

DWORD SimSystem::GetEnvironmentVariableA(const char* name, char* out, DWORD size) {
  auto it = env_.find(Upper(name ? name : ""));
  if (it == env_.end()) {
    SetLastError(203);  // ERROR_ENVVAR_NOT_FOUND
    return 0;
  }
  const std::string& v = it->second.second;
  if (!out || size <= v.size()) return static_cast<DWORD>(v.size() + 1);
  std::memcpy(out, v.c_str(), v.size() + 1);
  return static_cast<DWORD>(v.size());
}

DWORD SimSystem::GetModuleFileNameA(char* out, DWORD size) {
  // Windows cuts the name to the buffer and reports ERROR_INSUFFICIENT_BUFFER.
  if (size == 0) return 0;
  if (moduleFileName.size() >= size) {
    CopyOut(moduleFileName, out, size);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return CopyOut(moduleFileName, out, size);
}

UINT SimSystem::GetWindowsDirectoryA(char* out, UINT size) {
  if (!out || size <= windowsFolder.size()) return static_cast<UINT>(windowsFolder.size() + 1);
  return CopyOut(windowsFolder, out, size);
}

UINT SimSystem::GetSystemDirectoryA(char* out, UINT size) {
  if (!out || size <= systemFolder.size()) return static_cast<UINT>(systemFolder.size() + 1);
  return CopyOut(systemFolder, out, size);
}

int SimSystem::LoadStringA(UINT id, char* out, int size) {
  // LoadStringA copies at most size - 1 characters and terminates; 0 when there is none.
  if (!out || size <= 0) return 0;
  auto over = stringOverrides.find(id);
  const char* text = over != stringOverrides.end() ? over->second.c_str()
                                                   : res::BuiltinString(id);
  if (!text || !*text) {
    out[0] = '\0';
    return 0;
  }
  return static_cast<int>(CopyOut(text, out, static_cast<unsigned long>(size)));
}

HRESULT SimSystem::CoInitializeEx(DWORD) {
  ++coInitializeCalls;
  return coInitializeExResult;
}

HRESULT SimSystem::CoInitialize() {
  ++coInitializeCalls;
  return coInitializeResult;
}

}  // namespace sim
