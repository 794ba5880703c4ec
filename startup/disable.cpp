#include "startup/disable.h"

#include <string>

#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"

namespace startup {

namespace {

constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kNotifyKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify";

const char* const kRunSubKeys[] = {"Run", "RunOnce", "RunOnceEx", "RunServices",
                                   "RunServicesOnce", "RunOnce\\Setup", "policies\\Explorer\\Run"};

std::string Sub(const char* key, const char* sub) { return std::string(key) + "\\" + sub; }

bool MarkerPresent(const std::string& title) {
  HKEY key = reg::OpenForRead(HKEY_LOCAL_MACHINE, kDisabledKey);
  return key && reg::GetRegValueType(key, title.c_str()) != 0;
}

void SetMarker(const std::string& title, int code) {
  reg::SetRegStringValue(kDisabledKey, HKEY_LOCAL_MACHINE, title.c_str(), std::to_string(code).c_str());
}

// The raw text of a value (no expansion), empty when it cannot be read.
std::string RawText(HKEY root, const std::string& path, const std::string& name) {
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path.c_str(), reg::ReadMask()) != ERROR_SUCCESS) return {};
  char data[1025] = {};
  DWORD size = 1024, type = 0;
  if (plat::Reg().RegQueryValueExA(key.get(), name.c_str(), &type, reinterpret_cast<BYTE*>(data),
                                   &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  return data;
}

// Run-type keys: the copy is written (with the exact command beside it) before the entry
// leaves its Run key, and the entry is back in its Run key before the copy goes, so a
// failure on the way leaves it in one place or the other.
int ToggleRunKey(const std::string& title, const std::string& command, int code) {
  HKEY root;
  std::string runKey;
  RunKeyFor(code, &root, &runKey);
  std::string copyKey = Sub(kDisabledKey, CopyKeyFor(code));
  std::string originalKey = Sub(kOriginalKey, CopyKeyFor(code));
  if (MarkerPresent(title)) {
    std::string stored = reg::GetRegString(HKEY_LOCAL_MACHINE, copyKey.c_str(), title.c_str());
    std::string original = RawText(HKEY_LOCAL_MACHINE, originalKey, title);
    // The exact command comes back when the caller hands over the stored copy; a command
    // found anew (an entry its program wrote back) is written as found.
    std::string value = !original.empty() && text::CompareNoCase(stored, command) == 0 ? original : command;
    int ok;
    {
      reg::View64 view;
      ok = reg::SetRegStringValue(runKey.c_str(), root, title.c_str(), value.c_str());
    }
    if (!ok) return 0;
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, copyKey.c_str());
    if (!original.empty()) reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, originalKey.c_str());
    return reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
  }
  std::string exact;
  {
    reg::View64 view;
    exact = RawText(root, runKey, title);
  }
  reg::CreateRegKey(HKEY_LOCAL_MACHINE, copyKey.c_str());
  if (!reg::SetRegStringValue(copyKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), command.c_str())) return 0;
  if (!exact.empty() &&
      !reg::SetRegStringValue(originalKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), exact.c_str()))
    return 0;
  SetMarker(title, code);
  if (!MarkerPresent(title)) return 0;
  reg::View64 view;
  return reg::DeleteRegValue(title.c_str(), root, runKey.c_str());
}

int ToggleWinIni(const std::string& title, const std::string& command, int code) {
  const char* list = code == WININI_LOAD ? "load" : "run";
  std::string copyKey = Sub(kDisabledKey, CopyKeyFor(code));
  if (MarkerPresent(title)) {
    reg::AddProfileListEntry(list, command.c_str());
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, copyKey.c_str());
    return 1;
  }
  reg::CreateRegKey(HKEY_LOCAL_MACHINE, copyKey.c_str());
  if (!reg::SetRegStringValue(copyKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), command.c_str())) return 0;
  SetMarker(title, code);
  reg::RemoveProfileListEntry(list, command.c_str());
  return 1;
}

int ToggleStartupFolder(const std::string& title, const std::string& source) {
  std::string disabledFolder = paths::GetDataFolder() + "\\Disabled";
  std::string disabledFile = disabledFolder + "\\" + paths::GetFileName(source);
  auto& files = plat::Files();
  if (MarkerPresent(title)) {
    std::string folder = UserStartupFolder();
    if (folder.empty()) return 0;
    std::string target = folder + "\\" + paths::GetFileName(source);
    if (!files.MoveFileExA(disabledFile.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED)) return 0;
    return reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
  }
  files.CreateDirectoryA(disabledFolder.c_str());
  if (!files.MoveFileExA(source.c_str(), disabledFile.c_str(), MOVEFILE_COPY_ALLOWED)) return 0;
  SetMarker(title, STARTUP_FOLDER);
  return 1;
}

int ToggleNotify(const std::string& title, const std::string& command) {
  std::string copyKey = Sub(kDisabledKey, "WinNotify");
  if (MarkerPresent(title)) {
    EnableNotifyEntry(title);
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
    return reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, copyKey.c_str());
  }
  reg::CreateRegKey(HKEY_LOCAL_MACHINE, copyKey.c_str());
  if (!reg::SetRegStringValue(copyKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), command.c_str())) return 0;
  SetMarker(title, NOTIFY);
  reg::SetRegStringValue("Software\\Orvendel Studios\\Tallowick\\Run", HKEY_CURRENT_USER, command.c_str(), "256");
  DisableNotifyEntry(title);
  return 1;
}

}  // namespace

const char* CopyKeyFor(int code) {
  int base = code;
  if (code >= 11 && code <= 17) base = code - 10;
  if (code >= 21 && code <= 27) base = code - 20;
  switch (base) {
    case 1: return "Run";
    case 2: return "RunOnce";
    case 3: return "RunOnceEx";
    case 4: return "RunServices";
    case 5: return "RunServicesOnce";
    case 6: return "RunSetup";
    case 7: return "Policy";
    default: break;
  }
  switch (code) {
    case WININI_LOAD: return "WinLoad";
    case WININI_RUN: return "WinRun";
    case NOTIFY: return "WinNotify";
    default: return nullptr;
  }
}

bool RunKeyFor(int code, HKEY* root, std::string* path) {
  int index;
  const char* base = "Software\\Microsoft\\Windows\\CurrentVersion\\";
  if (code >= 1 && code <= 7) {
    *root = HKEY_LOCAL_MACHINE;
    index = code - 1;
  } else if (code >= 11 && code <= 17) {
    *root = HKEY_CURRENT_USER;
    index = code - 11;
  } else if (code >= 21 && code <= 27) {
    *root = HKEY_LOCAL_MACHINE;
    index = code - 21;
    base = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
  } else {
    return false;
  }
  *path = std::string(base) + kRunSubKeys[index];
  return true;
}

std::string UserStartupFolder() {
  std::string f = reg::GetRegString(HKEY_CURRENT_USER, kShellFolders, "Startup", 260);
  if (f.empty()) f = reg::GetRegString(HKEY_LOCAL_MACHINE, kShellFolders, "Startup", 260);
  if (f.empty()) f = reg::GetRegString(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", 260);
  return f;
}

void DisableNotifyEntry(const std::string& subkey) {
  std::string key = std::string(kNotifyKey) + "\\" + subkey;
  std::string dll = reg::GetRegString(HKEY_LOCAL_MACHINE, key.c_str(), "DLLName", 260);
  if (!reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "OldName", dll.c_str())) return;
  reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "DLLName", "");
}

void EnableNotifyEntry(const std::string& subkey) {
  std::string key = std::string(kNotifyKey) + "\\" + subkey;
  std::string dll = reg::GetRegString(HKEY_LOCAL_MACHINE, key.c_str(), "OldName", 260);
  if (!reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "DLLName", dll.c_str())) return;
  reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "OldName", "");
}

int ToggleRunItem(const std::string& title, const std::string& command, const std::string& source,
                  int code) {
  diag::TestLog(command.c_str(), "DISABLE RUN");
  if ((code >= 1 && code <= 7) || (code >= 11 && code <= 17) || (code >= 21 && code <= 25))
    return ToggleRunKey(title, command, code);
  if (code == WININI_LOAD || code == WININI_RUN) return ToggleWinIni(title, command, code);
  if (code == STARTUP_FOLDER) return ToggleStartupFolder(title, source);
  if (code == NOTIFY) return ToggleNotify(title, command);
  return 0;
}

}  // namespace startup
