// One machine with a startup entry of every location kind: the registry seed
// (startup_machine.reg), its program files, Startup-folder shortcuts and win.ini entries. The
// same machine is placed on the simulated machine and on Windows under Wine, and everything it
// changed is put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/process_state.h"
#include "platform/links.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "startup/run_list.h"
#include "tests/contract/contract_env.h"
#include "tests/contract/contract_support.h"

namespace contract {

// The values the fixture changes that the machine had before, put back afterwards.
struct SavedValue {
  HKEY root;
  const char* path;
  const char* name;
  std::optional<std::string> value;
};

inline std::optional<std::string> ReadRaw(HKEY root, const char* path, const char* name) {
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path, KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS) return std::nullopt;
  char buf[2048] = {};
  DWORD size = sizeof buf - 1, type = 0;
  if (plat::Reg().RegQueryValueExA(key.get(), name, &type, reinterpret_cast<BYTE*>(buf), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buf);
}

inline void WriteRaw(HKEY root, const char* path, const char* name, const std::optional<std::string>& value) {
  plat::RegKey key(plat::Reg());
  if (key.Create(root, path, KEY_ALL_ACCESS | KEY_WOW64_64KEY) != ERROR_SUCCESS) return;
  if (value)
    plat::Reg().RegSetValueExA(key.get(), name, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
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

inline const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline const char* const kWindowsNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

class StartupMachine : public ::testing::Test {
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
              {HKEY_LOCAL_MACHINE, kWinlogon, "UserInit", {}},
              {HKEY_LOCAL_MACHINE, kWinlogon, "Shell", {}},
              {HKEY_LOCAL_MACHINE, kWindowsNt, "AppInit_DLLs", {}}};
    for (auto& s : saved_) s.value = ReadRaw(s.root, s.path, s.name);
    for (const char* k : {"run", "load"}) {
      char buf[1024] = {};
      plat::Profile().GetProfileStringA("windows", k, "\x01", buf, sizeof buf);
      winIni_.push_back(buf);
    }
    startup::ClearRunList();
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
    for (const auto& s : saved_) WriteRaw(s.root, s.path, s.name, s.value);
    const char* keys[] = {"run", "load"};
    for (size_t i = 0; i < 2; ++i)
      plat::Profile().WriteProfileStringA("windows", keys[i], winIni_[i] == "\x01" ? nullptr : winIni_[i].c_str());
    DeleteFolderTree("C:\\TwFix");
    app::ResetProcessState();
    if (comReady_) plat::Sys().CoUninitialize();
  }

  void MakeFile(const std::string& path) {
    ASSERT_TRUE(plat::Files().WriteFileBytes(path.c_str(), "MZ")) << path;
  }

  // Seeds the registry and writes the files, shortcuts and win.ini entries of the machine.
  void PlaceMachine() {
    ASSERT_TRUE(env_->SeedRegFile("startup_machine.reg"));
    auto& files = plat::Files();
    for (const char* f : {"C:\\TwFix", "C:\\TwFix\\Startup", "C:\\TwFix\\Common"})
      files.CreateDirectoryA(f);
    for (const char* f : {"C:\\TwFix\\hook.dll", "C:\\TwFix\\linked.exe", "C:\\TwFix\\dead.exe",
                          "C:\\TwFix\\winrun.exe", "C:\\TwFix\\winload.exe",
                          "C:\\TwFix\\Startup\\twfix.bat", "C:\\TwFix\\Startup\\desktop.ini"})
      MakeFile(f);
    plat::ShellLink link;
    link.target = "C:\\TwFix\\linked.exe";
    link.description = "TwFix Linked";
    ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Common\\linked.lnk", link));
    link.target = "C:\\TwFix\\dead.exe";
    link.description = "TwFix Dead";
    ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Startup\\dead.lnk", link));
    ASSERT_TRUE(files.DeleteFileA("C:\\TwFix\\dead.exe"));
    ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "run", "C:\\TwFix\\winrun.exe"));
    ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "load", "C:\\TwFix\\winload.exe;C:\\TwFix\\gone.exe"));
  }

  std::unique_ptr<contract::ContractEnv> env_;
  std::vector<SavedValue> saved_;
  std::vector<std::string> winIni_;
  bool comReady_ = false;
};

}  // namespace contract
