// Shared pieces of the contract suites: the scratch keys, the trace file and its lines.
#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/contract/contract_env.h"

namespace contract {

// Deletes root\path with everything under it in the given view (0, KEY_WOW64_32KEY or
// KEY_WOW64_64KEY), through the registry interface alone.
inline void DeleteTree(HKEY root, const std::string& path, REGSAM view) {
  auto& r = plat::Reg();
  HKEY key = nullptr;
  if (r.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return;
  for (int guard = 0; guard < 10000; ++guard) {
    char name[300];
    DWORD cch = sizeof name;
    if (r.RegEnumKeyExA(key, 0, name, &cch) != ERROR_SUCCESS) break;
    DeleteTree(root, path + "\\" + name, view);
  }
  r.RegCloseKey(key);
  if (view && r.HasRegDeleteKeyExA())
    r.RegDeleteKeyExA(root, path.c_str(), view);
  else
    r.RegDeleteKeyA(root, path.c_str());
}

// The scratch key under HKCU and under HKLM in both views.
inline void ClearScratchKeys() {
  DeleteTree(HKEY_CURRENT_USER, kScratchKey, 0);
  DeleteTree(HKEY_LOCAL_MACHINE, kScratchKey, KEY_WOW64_64KEY);
  DeleteTree(HKEY_LOCAL_MACHINE, kScratchKey, KEY_WOW64_32KEY);
}

// The values of the trace file's TestLog section, in file order.
inline std::vector<std::string> TraceLines(const std::string& traceFile) {
  std::vector<char> keys(1 << 16, '\0');
  DWORD n = plat::Profile().GetPrivateProfileStringA("TestLog", nullptr, "", keys.data(),
                                                     static_cast<DWORD>(keys.size()),
                                                     traceFile.c_str());
  std::vector<std::string> lines;
  for (DWORD i = 0; i < n;) {
    std::string key(&keys[i]);
    if (key.empty()) break;
    char value[1200] = {};
    plat::Profile().GetPrivateProfileStringA("TestLog", key.c_str(), "", value, sizeof value,
                                             traceFile.c_str());
    lines.push_back(value);
    i += static_cast<DWORD>(key.size()) + 1;
  }
  return lines;
}

// True when some line ends with "<label>: <message>" (the profile functions drop the
// trailing blanks of a value).
inline bool TraceHas(const std::vector<std::string>& lines, const std::string& label,
                     const std::string& message) {
  std::string tail = label + ": " + message;
  while (!tail.empty() && tail.back() == ' ') tail.pop_back();
  for (const auto& l : lines)
    if (l.size() >= tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0)
      return true;
  return false;
}

}  // namespace contract
