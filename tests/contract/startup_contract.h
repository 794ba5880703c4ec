// The machine state the startup contract suites change, saved before and put back after each
// test: the Shell Folders and Winlogon values, AppInit_DLLs, win.ini's lists, every fixture
// value (named "TwFix...") of the startup keys, the program's HKLM keys and C:\TwFix.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/process_state.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "startup/run_list.h"
#include "tests/contract/contract_env.h"
#include "tests/contract/contract_support.h"

namespace contract {

// The values the fixture changes that the machine had before, put back afterwards.
struct Saved {
  HKEY root;
  const char* path;
  const char* name;
  std::optional<std::string> value;
  DWORD type = REG_SZ;
};

inline std::optional<std::string> ReadRaw(HKEY root, const char* path, const char* name,
                                          DWORD* typeOut = nullptr) {
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path, KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS) return std::nullopt;
  char buf[2048] = {};
  DWORD size = sizeof buf - 1, type = 0;
  if (plat::Reg().RegQueryValueExA(key.get(), name, &type, reinterpret_cast<BYTE*>(buf), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  if (typeOut) *typeOut = type;
  return std::string(buf);
}

inline void WriteRaw(HKEY root, const char* path, const char* name, const std::optional<std::string>& value,
                     DWORD type = REG_SZ) {
  plat::RegKey key(plat::Reg());
  if (key.Create(root, path, KEY_ALL_ACCESS | KEY_WOW64_64KEY) != ERROR_SUCCESS) return;
  if (value)
    plat::Reg().RegSetValueExA(key.get(), name, type, reinterpret_cast<const BYTE*>(value->c_str()),
                               static_cast<DWORD>(value->size() + 1));
  else
    plat::Reg().RegDeleteValueA(key.get(), name);
}

// Deletes every value whose name begins with "TwFix" (and the default value) from a key.
inline void DeleteFixtureValues(HKEY root, const std::string& path) {
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path.c_str(), KEY_ALL_ACCESS | KEY_WOW64_64KEY) != ERROR_SUCCESS) return;
  std::vector<std::string> names;
  for (DWORD i = 0; i < 10000; ++i) {
    char name[600];
    DWORD cch = sizeof name;
    if (plat::Reg().RegEnumValueA(key.get(), i, name, &cch, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (std::string(name).rfind("TwFix", 0) == 0 || name[0] == '{') names.emplace_back(name);
  }
  for (const auto& n : names) plat::Reg().RegDeleteValueA(key.get(), n.c_str());
  auto def = ReadRaw(root, path.c_str(), "");
  if (def && text::ContainsNoCase(*def, "TwFix")) plat::Reg().RegDeleteValueA(key.get(), "");
}

inline void DeleteFolderTree(const std::string& folder) {
  std::vector<std::pair<std::string, DWORD>> entries;
  plat::Files().ForEachEntry(folder.c_str(), "*", [&](const char* name, DWORD attrs) {
    entries.emplace_back(name, attrs);
  });
  for (const auto& [name, attrs] : entries) {
    std::string path = folder + "\\" + name;
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
      DeleteFolderTree(path);
    } else {
      plat::Files().SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      plat::Files().DeleteFileA(path.c_str());
    }
  }
  plat::Files().RemoveDirectoryA(folder.c_str());
}

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell keeps Shell Folders in step with User Shell Folders (Windows does, and so does
// Wine whenever it resolves a folder), so a fixture folder is set in both.
const char* const kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kWindowsNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

class StartupContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    // Shortcuts are COM objects; the program initialises COM at start, the test here.
    comReady_ = SUCCEEDED(plat::Sys().CoInitialize());
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    saved_ = {{HKEY_CURRENT_USER, kShellFolders, "Startup", {}},
              {HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", {}},
              {HKEY_CURRENT_USER, kUserShellFolders, "Startup", {}},
              {HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Startup", {}},
              {HKEY_LOCAL_MACHINE, kWinlogon, "UserInit", {}},
              {HKEY_LOCAL_MACHINE, kWinlogon, "Shell", {}},
              {HKEY_LOCAL_MACHINE, kWindowsNt, "AppInit_DLLs", {}}};
    for (auto& s : saved_) s.value = ReadRaw(s.root, s.path, s.name, &s.type);
    for (const char* k : {"run", "load"}) {
      char buf[1024] = {};
      plat::Profile().GetProfileStringA("windows", k, "\x01", buf, sizeof buf);
      winIni_.push_back(buf);
    }
    startup::ClearRunList();
    ClearDataFolder();
  }

  void TearDown() override {
    startup::ClearRunList();
    const char* bases[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\",
                           "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"};
    const char* subs[] = {"Run", "RunOnce", "RunOnceEx", "RunServices", "RunServicesOnce",
                          "RunOnce\\Setup", "policies\\Explorer\\Run"};
    for (const char* b : bases)
      for (const char* s : subs) {
        DeleteFixtureValues(HKEY_LOCAL_MACHINE, std::string(b) + s);
        DeleteFixtureValues(HKEY_CURRENT_USER, std::string(b) + s);
      }
    DeleteFixtureValues(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad");
    DeleteFixtureValues(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler");
    DeleteFixtureValues(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks");
    contract::DeleteTree(HKEY_LOCAL_MACHINE, std::string(kWinlogon) + "\\Notify\\TwFixNotify", KEY_WOW64_64KEY);
    for (const char* c : {"AA01", "AA02", "AA03"})
      contract::DeleteTree(HKEY_CLASSES_ROOT,
                           std::string("CLSID\\{7F1E0001-0000-4000-8000-00000000") + c + "}", 0);
    contract::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvendel Studios", KEY_WOW64_64KEY);
    for (const char* k : {"Run", "ActiveRun"})
      contract::DeleteTree(HKEY_CURRENT_USER, std::string("Software\\Orvendel Studios\\Tallowick\\") + k, 0);
    for (const auto& s : saved_) WriteRaw(s.root, s.path, s.name, s.value, s.type);
    const char* keys[] = {"run", "load"};
    for (size_t i = 0; i < 2; ++i)
      plat::Profile().WriteProfileStringA("windows", keys[i], winIni_[i] == "\x01" ? nullptr : winIni_[i].c_str());
    DeleteFolderTree("C:\\TwFix");
    ClearDataFolder();
    app::ResetProcessState();
    if (comReady_) plat::Sys().CoUninitialize();
  }

  // What the startup operations leave in the data folder: the disabled and removed files and
  // the history file.
  void ClearDataFolder() {
    std::string data = paths::GetDataFolder();
    DeleteFolderTree(data + "\\Disabled");
    DeleteFolderTree(data + "\\Removed");
    plat::Files().DeleteFileA((data + "\\history.txt").c_str());
  }

  void MakeFile(const std::string& path) {
    ASSERT_TRUE(plat::Files().WriteFileBytes(path.c_str(), "MZ")) << path;
  }

  std::unique_ptr<contract::ContractEnv> env_;
  std::vector<Saved> saved_;
  std::vector<std::string> winIni_;
  bool comReady_ = false;
};

}  // namespace contract
