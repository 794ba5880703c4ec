#include "startup/run_ops.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/links.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "platform/version_info.h"
#include "records/history.h"
#include "settings/options.h"
#include "startup/default_warning.h"
#include "startup/disable.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "ui/page_host.h"

namespace startup {

namespace {

constexpr const char* kApproved = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
constexpr const char* kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* kWindowsNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kDelayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
constexpr const char* kSharedTaskScheduler =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler";
constexpr const char* kShellExecuteHooks =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
// The program's own record of the Winlogon values it wrote (HKLM).
constexpr const char* kMachineRunKey = "Software\\Orvendel Studios\\Tallowick\\Run";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Sub(const char* key, const char* sub) { return std::string(key) + "\\" + sub; }

bool IsRunTypeCode(int code) {
  return (code >= 1 && code <= 7) || (code >= 11 && code <= 17) || (code >= 21 && code <= 27);
}

bool IsWindows8() {
  plat::OsVersion v;
  return plat::Sys().GetVersionExA(v, false) && v.major == 6 && (v.minor == 2 || v.minor == 3);
}

// The text a view hands over for a command as Windows keeps it: the run item's path (the
// part after RUNDLL32.EXE, no quotes, long-name form).
std::string ShownForm(const std::string& raw) {
  std::string command = raw;
  paths::GetRunDllTarget(raw, &command);
  std::string unquoted = text::StripQuotes(command);
  return unquoted.size() >= 4 ? paths::GetLongPath(unquoted) : unquoted;
}

// The exact text to write back: the kept original when it is the command's own original.
std::string ExactOr(const std::string& kept, const std::string& command) {
  if (!kept.empty() && (text::CompareNoCase(ShownForm(kept), command) == 0 ||
                        text::CompareNoCase(kept, command) == 0))
    return kept;
  return command;
}

std::string HistoryFile() { return paths::GetDataFolder() + "\\history.txt"; }

bool HistorySize(uint64_t* size) {
  plat::FileFacts facts;
  if (!plat::Files().GetFileFacts(HistoryFile().c_str(), &facts)) return false;
  *size = facts.size;
  return true;
}

// Appends the history line of a removal and tells whether it reached the file, so that an
// entry is deleted only once it can be restored. With the history switched off nothing is
// written and nothing is waited for.
bool RecordRemoval(int action, int code, const std::string& title, const std::string& command,
                   const std::string& source) {
  if (settings::Get(settings::Opt::History) <= 0) {
    records::WriteHistory(action, code, title, command, source);
    return true;
  }
  uint64_t before = 0, after = 0;
  bool existed = HistorySize(&before);
  records::WriteHistory(action, code, title, command, source);
  if (!HistorySize(&after)) return false;
  return !existed ? after > 0 : after > before;
}

// A Startup folder, or the disabled folder: the only places whose files a removal takes.
bool InStartupFolder(const std::string& file) {
  std::string folder = file.substr(0, paths::GetFileNamePosition(file));
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (folder.empty()) return false;
  std::vector<std::string> folders = {paths::GetDataFolder() + "\\Disabled"};
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (const char* value : {"Startup", "Common Startup"})
      folders.push_back(reg::GetRegString(root, kShellFolders, value, 260));
  for (const auto& f : folders)
    if (!f.empty() && text::CompareNoCase(f, folder) == 0) return true;
  return false;
}

std::string RemovedFolder() {
  std::string data = SureDataFolder();
  return data.empty() ? data : data + "\\" + kRemovedFolderName;
}

void DeleteSnapshotValues(const std::string& command, const std::string& title) {
  std::string name = text::ColonForEquals(command);
  if (name.size() > 259) name.resize(259);
  reg::DeleteRegValue(name.c_str(), HKEY_CURRENT_USER, kSnapshotRunKey);
  if (!title.empty()) reg::DeleteRegValue(title.c_str(), HKEY_CURRENT_USER, kSnapshotRunKey);
}

void SetSnapshotValue(const std::string& command, int code) {
  std::string name = text::ColonForEquals(command);
  if (name.size() > 259) name.resize(259);
  reg::SetRegStringValue(kSnapshotRunKey, HKEY_CURRENT_USER, name.c_str(), std::to_string(code).c_str());
}

// --- Removal by kind. Each writes its history line before anything is deleted, and only
// goes on when the line was written.

int RemoveRunKeyItem(int code, const std::string& title, const std::string& command) {
  HKEY root;
  std::string runKey;
  RunKeyFor(code, &root, &runKey);
  const char* copy = CopyKeyFor(code);
  std::string copyKey = Sub(kDisabledKey, copy), originalKey = Sub(kOriginalKey, copy);
  std::string marker, inRun, original;
  ReadResult markerState = ReadRawText(HKEY_LOCAL_MACHINE, kDisabledKey, title, &marker);
  ReadResult runState;
  {
    reg::View64 view;
    runState = ReadRawText(root, runKey, title, &inRun);
  }
  if (markerState == ReadResult::Failed || runState == ReadResult::Failed) return 0;
  // Entries of one title in other keys share the marker: it is this entry's only with its code.
  bool disabled = markerState == ReadResult::Found && std::atoi(marker.c_str()) == code;
  if (disabled && ReadRawText(HKEY_LOCAL_MACHINE, originalKey, title, &original) == ReadResult::Failed)
    return 0;
  if (!disabled && runState != ReadResult::Found) return 0;
  std::string exact = disabled ? ExactOr(original, command) : inRun;
  bool product = text::ContainsNoCase(command, "Tallowick");
  if (!product && !RecordRemoval(records::START_Remove, code, title, command, exact == command ? "" : exact))
    return 0;
  int result;
  if (disabled) {
    result = reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, copyKey.c_str());
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, originalKey.c_str());
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
  } else {
    result = DeleteRunValue(root, runKey, title);
  }
  if (IsWindows8()) {
    HKEY approvalRoot = code <= 7 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    DeleteRunValue(approvalRoot, std::string(kApproved) + "Run", title);
    DeleteRunValue(approvalRoot, std::string(kApproved) + "Run32", title);
  }
  return result;
}

int RemoveWinIniItem(int code, const std::string& title, const std::string& command) {
  const char* list = code == WININI_LOAD ? "load" : "run";
  const char* copy = CopyKeyFor(code);
  std::string copyKey = Sub(kDisabledKey, copy), originalKey = Sub(kOriginalKey, copy);
  std::string marker, original;
  ReadResult markerState = ReadRawText(HKEY_LOCAL_MACHINE, kDisabledKey, title, &marker);
  if (markerState == ReadResult::Failed) return 0;
  bool disabled = markerState == ReadResult::Found && std::atoi(marker.c_str()) == code;
  if (disabled && ReadRawText(HKEY_LOCAL_MACHINE, originalKey, title, &original) == ReadResult::Failed)
    return 0;
  std::string exact = disabled ? ExactOr(original, command) : FindListPiece(list, command);
  if (exact.empty()) exact = command;
  bool product = text::ContainsNoCase(command, "Tallowick");
  if (!product && !RecordRemoval(records::START_Remove, code, title, command, exact == command ? "" : exact))
    return 0;
  if (disabled) {
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, copyKey.c_str());
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, originalKey.c_str());
  }
  reg::RemoveProfileListEntry(list, exact.c_str());
  return 1;
}

// A removed Startup-folder file is kept in the data folder's Removed folder, so that its
// restore gives back the very shortcut (target, arguments, description, icon, folder).
int RemoveStartupFolderItem(const std::string& title, const std::string& command,
                            const std::string& source) {
  auto& files = plat::Files();
  std::string marker;
  ReadResult markerState = ReadRawText(HKEY_LOCAL_MACHINE, kDisabledKey, title, &marker);
  if (markerState == ReadResult::Failed) return 0;
  bool disabled = markerState == ReadResult::Found && std::atoi(marker.c_str()) == STARTUP_FOLDER;
  std::string removed = RemovedFolder();
  if (removed.empty()) return 0;
  std::string file;
  if (!source.empty() && files.GetFileAttributesA(source.c_str()) != INVALID_FILE_ATTRIBUTES)
    file = source;
  else if (InStartupFolder(command) && files.GetFileAttributesA(command.c_str()) != INVALID_FILE_ATTRIBUTES)
    file = command;
  std::string name = paths::GetFileName(file.empty() ? (source.empty() ? command : source) : file);
  // Where a restore puts it: its own Startup folder, also for a disabled one.
  std::string home = disabled ? OriginalStartupPath(title, name) : (source.empty() ? command : source);
  if (home.empty()) return 0;
  bool product = text::ContainsNoCase(command, "Tallowick");
  if (!product && !RecordRemoval(records::START_Remove, STARTUP_FOLDER, title, command, home)) return 0;
  if (!file.empty()) {
    std::string kept = removed + "\\" + name;
    files.CreateDirectoryA(removed.c_str());
    files.SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!files.MoveFileExA(file.c_str(), kept.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING))
      return 0;
  }
  if (disabled) {
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, Sub(kOriginalKey, kStartupFolderCopy).c_str());
  }
  if (IsWindows8()) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      DeleteRunValue(root, std::string(kApproved) + "StartupFolder", title);
      DeleteRunValue(root, std::string(kApproved) + "StartupFolder", name);
    }
  }
  return 1;
}

// Puts a removed Startup-folder file back: the kept file when there is one, else a new
// shortcut to the command.
int RestoreStartupFolderItem(const std::string& source, const std::string& title,
                             const std::string& command) {
  auto& files = plat::Files();
  std::string target = source.empty() ? command : source;
  if (target.empty()) return 0;
  if (files.GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) return 1;
  std::string removed = RemovedFolder();
  if (removed.empty()) return 0;
  std::string kept = removed + "\\" + paths::GetFileName(target);
  if (files.GetFileAttributesA(kept.c_str()) != INVALID_FILE_ATTRIBUTES)
    return files.MoveFileExA(kept.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED) ? 1 : 0;
  if (command.empty() || text::CompareNoCase(command, target) == 0) return 0;
  plat::ShellLink link;
  link.target = command;
  link.description = title;
  link.iconPath = command;
  link.iconIndex = 0;
  link.workingFolder = paths::GetFileFolder(command);
  return plat::Links().Save(target.c_str(), link) ? 1 : 0;
}

// The value of one of the Explorer hook keys that an item of codes 252 to 254 names.
struct HookValue {
  const char* key;
  bool byTitle;  // the value is named by the title (else by the class id in source)
  int action;
};

const HookValue* HookFor(int code) {
  static const HookValue hooks[] = {{kDelayLoad, true, records::REMOVE_DELAYLOAD},
                                    {kSharedTaskScheduler, false, records::REMOVE_TaskScheduler},
                                    {kShellExecuteHooks, false, records::REMOVE_SHELLEXECUTEHOOK}};
  return code >= DELAYLOAD && code <= SHELLHOOK ? &hooks[code - DELAYLOAD] : nullptr;
}

}  // namespace

int DeleteRunProgram(int code, const std::string& title, const std::string& command,
                     const std::string& source, ui::PageHost* host) {
  diag::TestLog(title.c_str(), "DeleteRunProgram()");
  diag::TestLog((source + " " + command).c_str(), "DeleteRunProgram()");
  diag::TestLog(" -- ", "DeleteRunProgram()");
  int result;
  if (IsRunTypeCode(code)) {
    result = RemoveRunKeyItem(code, title, command);
  } else if (code == WININI_LOAD || code == WININI_RUN) {
    result = RemoveWinIniItem(code, title, command);
  } else if (code == STARTUP_FOLDER) {
    result = RemoveStartupFolderItem(title, command, source);
  } else if (code >= LOGON_USERINIT && code <= APPINIT_DLL) {
    return RemoveHiddenRunItem(host, command, title, source, code);
  } else {
    diag::TestLog(std::to_string(code).c_str(), "DeleteRunProgram() nothing to remove");
    return 0;
  }
  if (!result) {
    diag::TestLog(title.c_str(), "DeleteRunProgram() kept");
    return 0;
  }
  // The removal goes to the online item report (kind 7) once the web lookups exist.
  DeleteSnapshotValues(command, title);
  InitMissingRunPrograms(1);
  return result;
}

int RemoveHiddenRunItem(ui::PageHost* host, const std::string& command, const std::string& title,
                        const std::string& source, int code) {
  if (code == LOGON_USERINIT || code == LOGON_SHELL) {
    if (code == LOGON_USERINIT)
      ResetUserinit();
    else
      ResetShell();
    records::WriteHistory(code == LOGON_USERINIT ? records::RESET_USERINIT : records::RESET_SHELL, code,
                          title, command, source);
    return 1;
  }
  if (code < DELAYLOAD || code > APPINIT_DLL) return 0;
  if (!host) return 0;
  DefaultWarningDialog dialog(title, command);
  if (host->RunDialog(kDefaultWarningDialog, dialog) != ui::kIdYes) return 0;
  DeleteSnapshotValues(command, "");
  if (const HookValue* hook = HookFor(code)) {
    const std::string& name = hook->byTitle ? title : source;
    if (!DeleteRunValue(HKEY_LOCAL_MACHINE, hook->key, name)) return 0;
    records::WriteHistory(hook->action, code, title, command, source);
    return 1;
  }
  // AppInit: the line that restores it is written first.
  if (!RecordRemoval(records::START_Remove, APPINIT_DLL, title, command, source)) return 0;
  return RemoveAppInitDll(command);
}

int RestoreRunItem(const std::string& source, const std::string& title, const std::string& command,
                   int code) {
  int ok = 0;
  if (IsRunTypeCode(code)) {
    HKEY root;
    std::string runKey;
    RunKeyFor(code, &root, &runKey);
    reg::View64 view;
    ok = reg::SetRegStringValue(runKey.c_str(), root, title.c_str(), ExactOr(source, command).c_str());
  } else if (code == WININI_LOAD || code == WININI_RUN) {
    const char* list = code == WININI_LOAD ? "load" : "run";
    std::string entry = !source.empty() && (text::CompareNoCase(source, command) == 0 ||
                                            text::CompareNoCase(paths::GetLongPath(source), command) == 0)
                            ? source
                            : command;
    if (FindListPiece(list, entry).empty()) reg::AddProfileListEntry(list, entry.c_str());
    ok = FindListPiece(list, entry).empty() ? 0 : 1;
  } else if (code == STARTUP_FOLDER) {
    ok = RestoreStartupFolderItem(source, title, command);
  } else if (const HookValue* hook = HookFor(code)) {
    reg::View64 view;
    ok = hook->byTitle ? reg::SetRegStringValue(hook->key, HKEY_LOCAL_MACHINE, title.c_str(), source.c_str())
                       : reg::SetRegStringValue(hook->key, HKEY_LOCAL_MACHINE, source.c_str(), title.c_str());
  } else if (code == APPINIT_DLL) {
    ok = AddAppInitDll(command);
  } else if (code == NOTIFY) {
    EnableNotifyEntry(title);
    return 0;
  } else {
    return 0;
  }
  if (!ok) {
    diag::TestLog(title.c_str(), "RestoreRunItem() failed");
    return 0;
  }
  SetSnapshotValue(command, code);
  return 1;
}

int EnableStartupApproved(const std::string& title, HKEY hive) {
  std::string path = std::string(kApproved) + "Run32";
  reg::View64 view;
  plat::RegKey key(plat::Reg());
  if (key.Open(hive, path.c_str(), reg::WriteMask()) != ERROR_SUCCESS) return -1;
  BYTE data[12] = {2};
  char line[512];
  std::snprintf(line, sizeof line,
                "Status: %d   Key: %s   Title: %s = %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x %02x",
                0, path.c_str(), title.c_str(), data[0], data[1], data[2], data[3], data[4], data[5],
                data[6], data[7], data[8], data[9], data[10], data[11]);
  diag::TestLog(line, "EnableStartupApproved");
  return plat::Reg().RegSetValueExA(key.get(), title.c_str(), REG_BINARY, data, sizeof data) == ERROR_SUCCESS
             ? 2
             : -1;
}

int InitMissingRunPrograms(int flag) {
  diag::TestLog("*", "InitMissingRunPrograms");
  reg::DeleteRegKeyTreeCopy(kActiveRunKey, HKEY_CURRENT_USER);
  if (flag == 0) return 0;
  // A view may still hold row indexes into the run list: it gets its list back.
  std::vector<RunItem> kept = CopyRunList();
  int n = EnumerateStartups(1);
  reg::CreateRegKey(HKEY_CURRENT_USER, kActiveRunKey);
  for (int i = 0; i < n; ++i) {
    if (IsRunItemDisabled(i)) continue;
    std::string file = paths::GetFileFromCommand(RunPath(i));
    if (file.empty()) continue;
    reg::SetRegStringValue(kActiveRunKey, HKEY_CURRENT_USER, file.c_str(), RunTitle(i).c_str());
  }
  RestoreRunList(kept);
  return 1;
}

int RegisterServer(const std::string& command) {
  std::string file = command;
  if (file.find(' ') != std::string::npos && file.front() != '"') file = "\"" + file + "\"";
  std::string line = "regsvr32 /s " + file;
  diag::TestLog(line.c_str(), "RegisterServer");
  return plat::Launcher().WinExec(line.c_str(), SW_SHOWNORMAL) > 31 ? 1 : 0;
}

void ResetUserinit() {
  std::string value = paths::SystemFolder() + "\\Userinit.exe,";
  reg::View64 view;
  reg::SetRegStringValue(kWinlogon, HKEY_LOCAL_MACHINE, "Userinit", value.c_str());
  reg::SetRegStringValue(kMachineRunKey, HKEY_LOCAL_MACHINE, value.c_str(), "250");
}

void ResetShell() {
  reg::View64 view;
  reg::SetRegStringValue(kWinlogon, HKEY_LOCAL_MACHINE, "Shell", "Explorer.exe");
  reg::SetRegStringValue(kMachineRunKey, HKEY_LOCAL_MACHINE, "Explorer.exe", "251");
}

int RemoveAppInitDll(const std::string& dll) {
  reg::View64 view;
  std::string value = reg::GetRegString(HKEY_LOCAL_MACHINE, kWindowsNt, "AppInit_Dlls", 255);
  std::string result;
  size_t start = 0;
  while (start < value.size()) {
    size_t end = value.find_first_of(", ", start);
    if (end == std::string::npos) end = value.size();
    std::string piece = value.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    if (text::CompareNoCase(paths::GetLongPath(piece), dll) == 0 || text::CompareNoCase(piece, dll) == 0)
      continue;
    result += piece + ",";
  }
  if (!result.empty()) result.pop_back();
  return reg::SetRegStringValue(kWindowsNt, HKEY_LOCAL_MACHINE, "AppInit_Dlls", result.c_str());
}

int AddAppInitDll(const std::string& dll) {
  reg::View64 view;
  std::string value = reg::GetRegString(HKEY_LOCAL_MACHINE, kWindowsNt, "AppInit_Dlls", 255);
  char shortPath[paths::kMaxPath + 1] = {};
  DWORD n = plat::Files().GetShortPathNameA(dll.c_str(), shortPath, paths::kMaxPath);
  std::string entry = n > 0 && n < paths::kMaxPath ? std::string(shortPath, n) : dll;
  size_t start = 0;
  while (start < value.size()) {
    size_t end = value.find_first_of(", ", start);
    if (end == std::string::npos) end = value.size();
    std::string piece = value.substr(start, end - start);
    start = end + 1;
    if (!piece.empty() && (text::CompareNoCase(piece, entry) == 0 ||
                           text::CompareNoCase(paths::GetLongPath(piece), dll) == 0))
      return 1;  // listed already
  }
  if (!value.empty()) value += ",";
  value += entry;
  return reg::SetRegStringValue(kWindowsNt, HKEY_LOCAL_MACHINE, "AppInit_Dlls", value.c_str());
}

}  // namespace startup
