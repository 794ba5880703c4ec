#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

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

}  // namespace

plat::IProfile& Profile() {
  static Win32Profile instance;
  return instance;
}

}  // namespace win32
