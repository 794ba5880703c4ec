// The registry as the system calls it: the advapi32 key and value functions with their
// access masks and the 32/64-bit view flags. The Windows build passes each call straight
// to advapi32; the simulated machine keeps a tree of keys per root and view.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace plat {

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                             HKEY* result) = 0;
  virtual LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                               HKEY* result, DWORD* disposition) = 0;
  // data may be null to ask for the size; *cbData is in/out as in Windows.
  virtual LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data,
                                DWORD* cbData) = 0;
  virtual LONG RegSetValueExA(HKEY key, const char* valueName, DWORD type, const BYTE* data,
                              DWORD cbData) = 0;
  // *cchName holds the buffer size in characters (with room for the zero) and receives the
  // name's length.
  virtual LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* cchName) = 0;
  virtual LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* cchName, DWORD* type,
                             BYTE* data, DWORD* cbData) = 0;
  virtual LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                                DWORD* maxValueNameLen, DWORD* maxValueLen) = 0;
  virtual LONG RegDeleteValueA(HKEY key, const char* valueName) = 0;
  virtual LONG RegDeleteKeyA(HKEY key, const char* subKey) = 0;
  // RegDeleteKeyExA exists only from Windows XP x64 on; the system looks it up at run time.
  virtual bool HasRegDeleteKeyExA() = 0;
  virtual LONG RegDeleteKeyExA(HKEY key, const char* subKey, REGSAM view) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;
};

// One open key, closed when it goes out of scope.
class RegKey {
 public:
  RegKey() = default;
  explicit RegKey(IRegistry& reg) : reg_(&reg) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& o) noexcept : reg_(o.reg_), key_(o.key_) { o.key_ = nullptr; }
  RegKey& operator=(RegKey&& o) noexcept {
    if (this != &o) {
      Close();
      reg_ = o.reg_;
      key_ = o.key_;
      o.key_ = nullptr;
    }
    return *this;
  }
  ~RegKey() { Close(); }

  LONG Open(HKEY root, const char* path, REGSAM sam) {
    Close();
    return reg_->RegOpenKeyExA(root, path, 0, sam, &key_);
  }
  LONG Create(HKEY root, const char* path, REGSAM sam, DWORD* disposition = nullptr) {
    Close();
    return reg_->RegCreateKeyExA(root, path, REG_OPTION_NON_VOLATILE, sam, &key_, disposition);
  }
  void Close() {
    if (key_ && reg_) reg_->RegCloseKey(key_);
    key_ = nullptr;
  }
  // Hands the key to a caller that closes it itself.
  HKEY Release() {
    HKEY k = key_;
    key_ = nullptr;
    return k;
  }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  IRegistry& reg() const { return *reg_; }

 private:
  IRegistry* reg_ = nullptr;
  HKEY key_ = nullptr;
};

// "HKLM", "HKCU"... for logs and fixtures; nullptr for an unknown handle.
const char* RootShortName(HKEY root);

}  // namespace plat
