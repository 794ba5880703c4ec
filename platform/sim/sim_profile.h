// Profile (INI) files of the simulated machine, read and written as real text files the way
// the Windows profile functions treat them; win.ini is the one in the Windows folder.
#pragma once
#include <string>

#include "platform/profile.h"

namespace sim {

class SimFileSystem;
class SimSystem;

class SimProfile : public plat::IProfile {
 public:
  SimProfile(SimFileSystem& files, SimSystem& system);

  DWORD GetProfileStringA(const char* section, const char* key, const char* defaultText,
                          char* out, DWORD size) override;
  BOOL WriteProfileStringA(const char* section, const char* key, const char* value) override;
  DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultText,
                                 char* out, DWORD size, const char* file) override;
  BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                  const char* file) override;

 private:
  std::string FullPath(const char* file) const;

  SimFileSystem& files_;
  SimSystem& system_;
};

}  // namespace sim
