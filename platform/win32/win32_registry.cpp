#include "platform/win32/win32_services.h"
#include "platform/win32/win32_lookup.h"

#include <string>

namespace win32 {

namespace {

class Win32Registry : public plat::IRegistry {
 public:
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                     HKEY* result) override {
    return ::RegOpenKeyExA(root, subKey, options, sam, result);
  }
  LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam, HKEY* result,
                       DWORD* disposition) override {
    return ::RegCreateKeyExA(root, subKey, 0, nullptr, options, sam, nullptr, result,
                             disposition);
  }
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data,
                        DWORD* cbData) override {
    return ::RegQueryValueExA(key, valueName, nullptr, type, data, cbData);
  }
  LONG RegSetValueExA(HKEY key, const char* valueName, DWORD type, const BYTE* data,
                      DWORD cbData) override {
    return ::RegSetValueExA(key, valueName, 0, type, data, cbData);
  }
  LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* cchName) override {
    return ::RegEnumKeyExA(key, index, name, cchName, nullptr, nullptr, nullptr, nullptr);
  }
  LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* cchName, DWORD* type, BYTE* data,
                     DWORD* cbData) override {
    return ::RegEnumValueA(key, index, name, cchName, nullptr, type, data, cbData);
  }
  LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                        DWORD* maxValueNameLen, DWORD* maxValueLen) override {
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, maxSubKeyLen, nullptr,
                              values, maxValueNameLen, maxValueLen, nullptr, nullptr);
  }
  LONG RegDeleteValueA(HKEY key, const char* valueName) override {
    return ::RegDeleteValueA(key, valueName);
  }
  LONG RegDeleteKeyA(HKEY key, const char* subKey) override {
    return ::RegDeleteKeyA(key, subKey);
  }
  bool HasRegDeleteKeyExA() override { return DeleteKeyEx() != nullptr; }
  LONG RegDeleteKeyExA(HKEY key, const char* subKey, REGSAM view) override {
    auto fn = DeleteKeyEx();
    if (!fn) return ERROR_CALL_NOT_IMPLEMENTED;
    return fn(key, subKey, view, 0);
  }
  LONG RegCloseKey(HKEY key) override { return ::RegCloseKey(key); }

 private:
  using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
  // Looked up at run time: systems before XP x64 lack it.
  static DeleteKeyExFn DeleteKeyEx() {
    static DeleteKeyExFn fn = LookUp<DeleteKeyExFn>("Advapi32.dll", "RegDeleteKeyExA");
    return fn;
  }
};

}  // namespace

plat::IRegistry& Registry() {
  static Win32Registry instance;
  return instance;
}

}  // namespace win32
