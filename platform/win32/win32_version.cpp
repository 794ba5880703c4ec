#include <windows.h>
#include <winver.h>

#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

class Win32Version : public plat::IVersionInfo {
 public:
  DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) override {
    return ::GetFileVersionInfoSizeA(path, handle);
  }
  BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) override {
    return ::GetFileVersionInfoA(path, handle, size, data);
  }
  BOOL VerQueryValueA(const void* block, const char* subBlock, void** value,
                      UINT* length) override {
    return ::VerQueryValueA(block, subBlock, value, length);
  }
};

}  // namespace

plat::IVersionInfo& Version() {
  static Win32Version instance;
  return instance;
}

}  // namespace win32
