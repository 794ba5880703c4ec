// The simulated registry: roots HKLM, HKCU, HKCR (the classes under HKLM\Software\Classes)
// and HKU, case-insensitive key and value names, typed values kept as bytes, and on a
// simulated 64-bit Windows the 32-bit view of HKLM\Software under Wow6432Node.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace sim {

enum class RegFileFormat { Regedit4, Version5 };

class SimRegistry : public plat::IRegistry {
 public:
  SimRegistry();
  ~SimRegistry() override;

  // A 64-bit Windows has two views of HKLM\Software; a 32-bit one has one. process64 tells
  // which view a call without a view flag sees (a 32-bit process sees the 32-bit view).
  void SetWindows64(bool windows64, bool process64);

  // Loads a .reg file (REGEDIT4 or "Windows Registry Editor Version 5.00", ANSI or UTF-16LE)
  // and applies it. A malformed file is refused whole: nothing of it is applied, and *error
  // receives "<file>:<line>: <what is wrong>".
  bool LoadRegFile(const std::string& hostPath, std::string* error);
  bool LoadRegText(const std::string& text, const std::string& fileName, std::string* error);
  // Writes the tree under root\path (as seen without redirection) as a .reg file.
  bool SaveRegFile(const std::string& hostPath, HKEY root, const std::string& path,
                   RegFileFormat format) const;
  std::string SaveRegText(HKEY root, const std::string& path, RegFileFormat format) const;

  // Makes the next `count` calls named `call` (e.g. "RegSetValueExA") fail with `error`, after
  // `skip` successful ones. Used to prove that an operation loses nothing when a call fails.
  void FailCall(const std::string& call, LONG error, int skip = 0, int count = 1);
  void ClearFailures();
  // True while a failure planned for the call has not happened yet.
  bool FailurePending(const std::string& call) const;
  // Number of keys still open (a leak check for tests).
  size_t OpenKeyCount() const;

  // plat::IRegistry
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                     HKEY* result) override;
  LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam, HKEY* result,
                       DWORD* disposition) override;
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data,
                        DWORD* cbData) override;
  LONG RegSetValueExA(HKEY key, const char* valueName, DWORD type, const BYTE* data,
                      DWORD cbData) override;
  LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* cchName) override;
  LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* cchName, DWORD* type, BYTE* data,
                     DWORD* cbData) override;
  LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                        DWORD* maxValueNameLen, DWORD* maxValueLen) override;
  LONG RegDeleteValueA(HKEY key, const char* valueName) override;
  LONG RegDeleteKeyA(HKEY key, const char* subKey) override;
  bool HasRegDeleteKeyExA() override;
  LONG RegDeleteKeyExA(HKEY key, const char* subKey, REGSAM view) override;
  LONG RegCloseKey(HKEY key) override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim
