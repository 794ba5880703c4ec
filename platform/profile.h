// The profile (INI) functions: win.ini through GetProfileStringA/WriteProfileStringA and any
// other INI file through the private-profile pair. Windows keeps win.ini in the Windows
// folder; the simulated machine keeps it as a real INI file in its simulated Windows folder.
#pragma once
#include "platform/wintypes.h"

namespace plat {

class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual DWORD GetProfileStringA(const char* section, const char* key, const char* defaultText,
                                  char* out, DWORD size) = 0;
  virtual BOOL WriteProfileStringA(const char* section, const char* key, const char* value) = 0;
  virtual DWORD GetPrivateProfileStringA(const char* section, const char* key,
                                         const char* defaultText, char* out, DWORD size,
                                         const char* file) = 0;
  virtual BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                          const char* file) = 0;
};

}  // namespace plat
