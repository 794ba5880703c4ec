#include "startup/enumerate.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "diag/testlog.h"
#include "platform/class_lookup.h"
#include "platform/command_path.h"
#include "platform/links.h"
#include "platform/process_list.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "platform/version_info.h"
#include "settings/options.h"
#include "startup/disable.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"

namespace startup {

namespace {

constexpr DWORD kRunNameSize = 512, kRunDataSize = 512;
// How long a shortcut's target is searched for.
constexpr DWORD kResolveTimeoutMs = 500;

// The seven Run-type keys under CurrentVersion, in the order of their codes.
const char* const kRunSubKeys[] = {"Run",      "RunOnce",        "RunOnceEx",
                                   "RunServices", "RunServicesOnce", "RunOnce\\Setup",
                                   "policies\\Explorer\\Run"};

struct RunPass {
  HKEY root;
  const char* base;
  int firstCode;
};

bool IsNt() {
  plat::OsVersion v;
  return plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
}

bool ShowHidden(int viewFlag) {
  return viewFlag == 0 || settings::Get(settings::Opt::ShowAllStartup) > 0;
}

struct Value {
  std::string name;
  std::string data;
};

// Every value of an open key with its data as text (names and data cut to the sizes given;
// a value that does not fit is passed over).
std::vector<Value> ReadValues(HKEY key, DWORD nameSize, DWORD dataSize) {
  std::vector<Value> values;
  auto& r = plat::Reg();
  for (DWORD i = 0; i < 100000; ++i) {
    std::vector<char> name(nameSize + 1, '\0');
    std::vector<BYTE> data(dataSize + 1, 0);
    DWORD cch = nameSize + 1, cb = dataSize, type = 0;
    LONG rc = r.RegEnumValueA(key, i, name.data(), &cch, &type, data.data(), &cb);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) continue;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      values.push_back({std::string(name.data(), cch), std::string()});
      continue;
    }
    values.push_back({std::string(name.data(), cch), reinterpret_cast<const char*>(data.data())});
  }
  return values;
}

// The detail text of a hidden-location file: its product version when it exists, "File
// Does Not Exist" when the text looks like a file name; false when it is not listed.
bool HiddenDetail(const std::string& file, std::string* detail) {
  if (paths::FileExists(file)) {
    version::VersionInfo info;
    version::GetVersionInfoEx(info, file);
    *detail = info.productVersion();
    return true;
  }
  size_t blanks = 0;
  for (char c : file)
    if (c == ' ') ++blanks;
  if (file.size() >= 5 && file.size() <= 259 && file.find('.') != std::string::npos &&
      blanks <= 4 && blanks < file.size()) {
    *detail = "File Does Not Exist";
    return true;
  }
  return false;
}

}  // namespace

void ListStartupFolder(const std::string& folder, int aux) {
  if (folder.empty()) return;
  struct Entry {
    std::string name;
    DWORD attributes;
  };
  std::vector<Entry> entries;
  plat::Files().ForEachEntry(folder.c_str(), "*.*", [&](const char* name, DWORD attrs) {
    entries.push_back({name, attrs});
  });
  for (const auto& e : entries) {
    if (e.attributes == FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string file = folder + "\\" + e.name;
    std::string ext = e.name.size() >= 3 ? text::UpperAnsi(e.name.substr(e.name.size() - 3)) : "";
    if (ext == "LNK") {
      plat::ShellLink link;
      if (!plat::Links().Load(file.c_str(), &link, true, kResolveTimeoutMs)) link = plat::ShellLink{};
      if (link.resolveResult == S_FALSE) continue;
      std::string title = link.description;
      if (title.empty() && !link.target.empty()) {
        version::VersionInfo info;
        version::GetVersionInfoEx(info, link.target);
        title = info.description()[0] ? info.description() : info.productName();
      }
      AddRunStruct(title, link.target, file, "", STARTUP_FOLDER, aux);
    } else if (ext == "EXE") {
      version::VersionInfo info;
      version::GetVersionInfoEx(info, file);
      std::string title = info.description()[0] ? info.description() : info.productName();
      AddRunStruct(title, file, file, "", STARTUP_FOLDER, aux);
    } else if (ext == "INI") {
      continue;
    } else {
      AddRunStruct("", file, "", "", STARTUP_FOLDER, 0);
    }
  }
}

void EnumerateStartupFolders() {
  const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  struct Hive {
    HKEY root;
    int aux;
  } hives[] = {{HKEY_LOCAL_MACHINE, 0}, {HKEY_CURRENT_USER, 1}};
  for (const auto& h : hives) {
    for (const char* value : {"Startup", "Common Startup"}) {
      std::string folder = reg::GetRegString(h.root, shellFolders, value, 260);
      if (!folder.empty()) ListStartupFolder(folder, h.aux);
    }
  }
}

void MarkRunningItems() {
  // One walk of the process table: the long form of every main module and its file name.
  std::set<std::string> longPaths, names;
  {
    paths::RedirectionOff off;
    for (const std::string& path : plat::MainModulePaths()) {
      longPaths.insert(text::UpperAnsi(paths::GetLongPath(path)));
      names.insert(text::UpperAnsi(paths::GetFileName(path)));
    }
  }
  for (int i = 0; i < RunCount(); ++i) {
    RunItem* item = GetRunItem(i);
    std::string file = text::UpperAnsi(paths::GetFileFromCommand(RunPath(i)));
    item->running = !file.empty() && (longPaths.count(file) || names.count(file)) ? 1 : 0;
  }
}

void EnumerateRunKeys() {
  reg::View64 view;
  std::vector<RunPass> passes = {
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\", HKLM_RUN},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\", HKCU_RUN}};
  if (reg::Is64BitFlag())
    passes.push_back(
        {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\", X64_RUN});
  std::string lastName, lastData;
  bool haveLast = false;
  for (const auto& pass : passes) {
    for (int k = 0; k < 7; ++k) {
      int code = pass.firstCode + k;
      std::string path = std::string(pass.base) + kRunSubKeys[k];
      std::vector<Value> values;
      {
        plat::RegKey key(plat::Reg());
        if (key.Open(pass.root, path.c_str(), reg::ReadMask()) != ERROR_SUCCESS) continue;
        values = ReadValues(key.get(), kRunNameSize, kRunDataSize);
      }
      for (const auto& v : values) {
        if (haveLast && text::CompareNoCase(v.name, lastName) == 0 &&
            text::CompareNoCase(v.data, lastData) == 0)
          continue;
        char marker[33];
        if (!v.name.empty() &&
            reg::GetRegStringValue(kDisabledKey, v.name.c_str(), marker, 32, HKEY_LOCAL_MACHINE) > 0 &&
            std::atoi(marker) == code) {
          // Disabled here before and written back by its program since: it goes back into the
          // disabled store with the command now found. A marker of another key belongs to an
          // entry of the same name there, which is left alone.
          ToggleRunItem(v.name, v.data, "", code);
          ToggleRunItem(v.name, v.data, "", code);
          continue;
        }
        if (v.name.size() < 2 || v.data.size() < 5 ||
            static_cast<unsigned char>(v.name[0]) >= 128)
          continue;
        std::string command = v.data;
        int aux = paths::GetRunDllTarget(v.data, &command) ? 1 : 0;
        if (AddRunStruct(v.name, command, "", "", code, aux)) {
          lastName = v.name;
          lastData = v.data;
          haveLast = true;
        }
      }
      std::string def = reg::GetRegString(pass.root, path.c_str(), "", kRunDataSize);
      if (!def.empty()) AddRunStruct("(Default)", def, "", "", code, 0);
    }
  }
}

void EnumerateWinIni() {
  struct Key {
    const char* name;
    int code;
  } keys[] = {{"run", WININI_RUN}, {"load", WININI_LOAD}};
  for (const auto& k : keys) {
    char buf[513] = {};
    plat::Profile().GetProfileStringA("windows", k.name, "", buf, 512);
    std::string list = buf;
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(';', start);
      if (end == std::string::npos) end = list.size();
      std::string entry = list.substr(start, end - start);
      start = end + 1;
      if (entry.empty() || !paths::FileExists(entry)) continue;
      version::VersionInfo info;
      version::GetVersionInfoEx(info, entry);
      std::string title = info.productName()[0] ? info.productName() : k.name;
      AddRunStruct(title, entry, "", "", k.code, 0);
    }
  }
}

void EnumerateWinlogon() {
  const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  reg::View64 view;
  std::string userinit = reg::GetRegString(HKEY_LOCAL_MACHINE, key, "UserInit", 260);
  size_t comma = userinit.find(',');
  if (comma != std::string::npos) {
    std::string program;
    if (comma + 1 == userinit.size()) {
      program = userinit.substr(0, comma);
    } else {
      size_t from = userinit.find_first_not_of(' ', comma + 1);
      program = from == std::string::npos ? std::string() : userinit.substr(from);
    }
    AddRunStruct("Winlogon Userinit", program, "", "", LOGON_USERINIT, 0);
  }
  std::string shell = reg::GetRegString(HKEY_LOCAL_MACHINE, key, "Shell", 260);
  if (!shell.empty()) {
    std::string program;
    size_t blank = shell.find(' ');
    if (blank == std::string::npos) {
      program = shell;
    } else if (shell.back() == ' ') {
      program = shell.substr(0, shell.size() - 1);
    } else {
      size_t from = shell.find_first_not_of(' ', blank + 1);
      program = from == std::string::npos ? std::string() : shell.substr(from);
    }
    AddRunStruct("Winlogon Shell", program, "", "", LOGON_SHELL, 0);
  }
}

void EnumerateHiddenLocations() {
  reg::View64 view;
  auto& r = plat::Reg();
  // 1. ShellServiceObjectDelayLoad: value name = title, data = the class id.
  {
    std::vector<Value> values;
    plat::RegKey key(r);
    if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad",
                 reg::ReadMask()) == ERROR_SUCCESS)
      values = ReadValues(key.get(), 255, 255);
    key.Close();
    for (const auto& v : values) {
      std::string dll, name, detail;
      if (!lookup::GetInprocServerPath(&dll, v.data, &name)) continue;
      if (HiddenDetail(dll, &detail)) AddRunStruct(v.name, dll, v.data, detail, DELAYLOAD, 0);
    }
  }
  // 2. and 3. SharedTaskScheduler and ShellExecuteHooks: value name = the class id.
  struct ClassKey {
    const char* path;
    int code;
    bool needTitle;
  } classKeys[] = {
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler", TASKSCHEDULER, false},
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks", SHELLHOOK, true}};
  for (const auto& ck : classKeys) {
    std::vector<Value> values;
    plat::RegKey key(r);
    if (key.Open(HKEY_LOCAL_MACHINE, ck.path, reg::ReadMask()) == ERROR_SUCCESS)
      values = ReadValues(key.get(), 255, 255);
    key.Close();
    for (const auto& v : values) {
      std::string dll, name, detail;
      if (!lookup::GetInprocServerPath(&dll, v.name, &name)) continue;
      std::string title = v.data.empty() ? name : v.data;
      if (ck.needTitle && title.empty()) continue;
      if (HiddenDetail(dll, &detail)) AddRunStruct(title, dll, v.name, detail, ck.code, 0);
    }
  }
  // 4. AppInit_DLLs: every piece between commas and blanks is a DLL.
  {
    const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    std::string value = reg::GetRegString(HKEY_LOCAL_MACHINE, key, "AppInit_Dlls", 255);
    int listed = 0;
    size_t start = 0;
    while (start < value.size()) {
      size_t end = value.find_first_of(", ", start);
      if (end == std::string::npos) end = value.size();
      std::string dll = value.substr(start, end - start);
      start = end + 1;
      if (dll.empty()) continue;
      std::string detail;
      if (!HiddenDetail(dll, &detail)) continue;
      version::VersionInfo info;
      version::GetVersionInfoEx(info, dll);
      listed += AddRunStruct(info.productName(), dll, info.company(), detail, APPINIT_DLL, 0);
    }
    if (!value.empty() && listed == 0) reg::DeleteRegValue("AppInit_Dlls", HKEY_LOCAL_MACHINE, key);
  }
  // 5. Winlogon Notify: one subkey per item, its DllName.
  {
    const char* notify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify";
    std::vector<std::string> names;
    plat::RegKey key(r);
    if (key.Open(HKEY_LOCAL_MACHINE, notify, reg::ReadMask()) == ERROR_SUCCESS) {
      for (DWORD i = 0; i < 100000; ++i) {
        char name[256];
        DWORD cch = sizeof name;
        LONG rc = r.RegEnumKeyExA(key.get(), i, name, &cch);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_SUCCESS && cch > 0) names.emplace_back(name, cch);
      }
    }
    key.Close();
    for (const auto& n : names) {
      std::string dll =
          reg::GetRegString(HKEY_LOCAL_MACHINE, (std::string(notify) + "\\" + n).c_str(), "DllName", 255);
      if (dll.empty()) continue;
      std::string detail;
      if (!HiddenDetail(dll, &detail)) continue;
      AddRunStruct(n, dll, version::GetFileDescription(dll), detail, NOTIFY, 0);
    }
  }
}

void EnumerateDisabledStore() {
  REGSAM read = reg::ReadMask(), write = reg::WriteMask();
  if (reg::Is64BitFlag()) reg::SetMasks(KEY_READ, KEY_WRITE);
  static const char* const kCopyKeys[] = {"Run", "RunOnce", "RunOnceEx", "RunServices",
                                          "RunServicesOnce", "RunSetup", "Policy", "WinLoad",
                                          "WinRun"};
  for (const char* copy : kCopyKeys) {
    std::vector<Value> values;
    {
      plat::RegKey key(plat::Reg());
      if (key.Open(HKEY_LOCAL_MACHINE, (std::string(kDisabledKey) + "\\" + copy).c_str(),
                   reg::ReadMask()) != ERROR_SUCCESS)
        continue;
      values = ReadValues(key.get(), 255, 255);
    }
    for (const auto& v : values) {
      if (v.name.empty()) continue;
      char marker[17] = {};
      reg::GetRegStringValue(kDisabledKey, v.name.c_str(), marker, 16, HKEY_LOCAL_MACHINE);
      int code = std::atoi(marker);
      if (code >= 1) AddRunStruct(v.name, v.data, "", "", code, 0);
    }
  }
  reg::SetMasks(read, write);
  ListStartupFolder(paths::GetDataFolder() + "\\Disabled", 0);
}

int EnumerateStartups(int viewFlag) {
  ClearRunList();
  EnumerateRunKeys();
  EnumerateStartupFolders();
  EnumerateWinIni();
  EnumerateDisabledStore();
  if (IsNt() && ShowHidden(viewFlag)) EnumerateWinlogon();
  if (ShowHidden(viewFlag)) EnumerateHiddenLocations();
  MarkRunningItems();
  return RunCount();
}

void InitRegStartups() {
  reg::DeleteRegKeyTreeCopy(kSnapshotRunKey, HKEY_CURRENT_USER);
  diag::TestLog("StarupList - tallowick", "InitRegStartups");
  reg::CreateRegKey(HKEY_CURRENT_USER, kSnapshotRunKey);
  int n = EnumerateStartups(0);
  for (int i = 0; i < n; ++i) {
    std::string name = text::ColonForEquals(RunPath(i));
    if (name.size() > 259) name.resize(259);
    std::string code = std::to_string(GetRunLocation(i));
    if (name.size() < 5) {
      diag::TestLog(name.c_str(), "Run Error");
      diag::TestLog(code.c_str(), "Type =");
    }
    reg::SetRegStringValue(kSnapshotRunKey, HKEY_CURRENT_USER, name.c_str(), code.c_str());
  }
  ClearRunList();
  // The browser helpers' and the scheduled tasks' snapshots are rebuilt here as those
  // enumerations are built.
}

}  // namespace startup
