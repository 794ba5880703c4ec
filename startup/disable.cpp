#include "startup/disable.h"

#include <cstdlib>
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

void SetMarker(const std::string& title, int code) {
  reg::SetRegStringValue(kDisabledKey, HKEY_LOCAL_MACHINE, title.c_str(), std::to_string(code).c_str());
}

// Run-type keys: the copy is written (with the exact command beside it) before the entry
// leaves its Run key, and the entry is back in its Run key before the copy goes, so a
// failure on the way leaves it in one place or the other.
int ToggleRunKey(const std::string& title, const std::string& command, int code, bool disabled) {
  HKEY root;
  std::string runKey;
  RunKeyFor(code, &root, &runKey);
  std::string copyKey = Sub(kDisabledKey, CopyKeyFor(code));
  std::string originalKey = Sub(kOriginalKey, CopyKeyFor(code));
  if (disabled) {
    std::string stored, original;
    if (ReadRawText(HKEY_LOCAL_MACHINE, copyKey, title, &stored) == ReadResult::Failed ||
        ReadRawText(HKEY_LOCAL_MACHINE, originalKey, title, &original) == ReadResult::Failed)
      return 0;
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
  // Only an entry that is there, read whole, is disabled.
  std::string exact;
  {
    reg::View64 view;
    if (ReadRawText(root, runKey, title, &exact) != ReadResult::Found) return 0;
  }
  reg::CreateRegKey(HKEY_LOCAL_MACHINE, copyKey.c_str());
  if (!reg::SetRegStringValue(copyKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), command.c_str())) return 0;
  if (!exact.empty() &&
      !reg::SetRegStringValue(originalKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), exact.c_str()))
    return 0;
  SetMarker(title, code);
  if (!MarkerPresent(title)) return 0;
  return DeleteRunValue(root, runKey, title);
}

// win.ini lists: the entry exactly as the list had it is kept beside the copy; enabling puts
// it back and only then lets the copy go.
int ToggleWinIni(const std::string& title, const std::string& command, int code, bool disabled) {
  const char* list = code == WININI_LOAD ? "load" : "run";
  std::string copyKey = Sub(kDisabledKey, CopyKeyFor(code));
  std::string originalKey = Sub(kOriginalKey, CopyKeyFor(code));
  if (disabled) {
    std::string stored, original;
    if (ReadRawText(HKEY_LOCAL_MACHINE, copyKey, title, &stored) == ReadResult::Failed ||
        ReadRawText(HKEY_LOCAL_MACHINE, originalKey, title, &original) == ReadResult::Failed)
      return 0;
    std::string entry = !original.empty() && text::CompareNoCase(stored, command) == 0 ? original : command;
    if (FindListPiece(list, entry).empty()) reg::AddProfileListEntry(list, entry.c_str());
    if (FindListPiece(list, entry).empty()) return 0;
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, copyKey.c_str());
    if (!original.empty()) reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, originalKey.c_str());
    return 1;
  }
  std::string exact = FindListPiece(list, command);
  reg::CreateRegKey(HKEY_LOCAL_MACHINE, copyKey.c_str());
  if (!reg::SetRegStringValue(copyKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), command.c_str())) return 0;
  if (!exact.empty() && exact != command &&
      !reg::SetRegStringValue(originalKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), exact.c_str()))
    return 0;
  SetMarker(title, code);
  if (!MarkerPresent(title)) return 0;
  reg::RemoveProfileListEntry(list, exact.empty() ? command.c_str() : exact.c_str());
  return 1;
}

// Startup folders: the file's own path is kept beside the marker, so that enabling moves it
// back into the folder it came from (the user's Startup folder when that is unknown or gone).
// The marker is written before the file moves and taken back when the move fails.
int ToggleStartupFolder(const std::string& title, const std::string& command,
                        const std::string& sourceIn, bool disabled) {
  // A program file or a batch file placed in the folder itself is its own source.
  const std::string& source = sourceIn.empty() ? command : sourceIn;
  std::string disabledFolder = DisabledFolder();
  if (disabledFolder.empty()) return 0;
  std::string name = paths::GetFileName(source);
  std::string disabledFile = disabledFolder + "\\" + name;
  std::string originalKey = Sub(kOriginalKey, kStartupFolderCopy);
  auto& files = plat::Files();
  if (disabled) {
    std::string target = OriginalStartupPath(title, name);
    if (target.empty()) return 0;
    if (!files.MoveFileExA(disabledFile.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED)) return 0;
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, originalKey.c_str());
    return reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
  }
  if (!reg::SetRegStringValue(originalKey.c_str(), HKEY_LOCAL_MACHINE, title.c_str(), source.c_str()))
    return 0;
  SetMarker(title, STARTUP_FOLDER);
  if (!MarkerPresent(title)) return 0;
  files.CreateDirectoryA(disabledFolder.c_str());
  if (!files.MoveFileExA(source.c_str(), disabledFile.c_str(), MOVEFILE_COPY_ALLOWED)) {
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, kDisabledKey);
    reg::DeleteRegValue(title.c_str(), HKEY_LOCAL_MACHINE, originalKey.c_str());
    return 0;
  }
  return 1;
}

int ToggleNotify(const std::string& title, const std::string& command, bool disabled) {
  std::string copyKey = Sub(kDisabledKey, "WinNotify");
  if (disabled) {
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

std::string FindListPiece(const char* list, const std::string& command) {
  char buf[1025] = {};
  plat::Profile().GetProfileStringA("windows", list, "", buf, 1024);
  std::string text = buf;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string piece = text.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    if (text::CompareNoCase(piece, command) == 0 ||
        text::CompareNoCase(paths::GetLongPath(piece), command) == 0)
      return piece;
  }
  return {};
}

bool MarkerPresent(const std::string& title) {
  HKEY key = reg::OpenForRead(HKEY_LOCAL_MACHINE, kDisabledKey);
  return key && reg::GetRegValueType(key, title.c_str()) != 0;
}

int MarkerCode(const std::string& title) {
  char text[17] = {};
  reg::GetRegStringValue(kDisabledKey, title.c_str(), text, 16, HKEY_LOCAL_MACHINE);
  return std::atoi(text);
}

ReadResult ReadRawText(HKEY root, const std::string& path, const std::string& name, std::string* out) {
  out->clear();
  plat::RegKey key(plat::Reg());
  LONG rc = key.Open(root, path.c_str(), reg::ReadMask());
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return ReadResult::Absent;
  if (rc != ERROR_SUCCESS) return ReadResult::Failed;
  char data[1025] = {};
  DWORD size = 1024, type = 0;
  rc = plat::Reg().RegQueryValueExA(key.get(), name.c_str(), &type, reinterpret_cast<BYTE*>(data), &size);
  if (rc == ERROR_FILE_NOT_FOUND) return ReadResult::Absent;
  if (rc != ERROR_SUCCESS) return ReadResult::Failed;
  if (type == REG_SZ || type == REG_EXPAND_SZ) *out = data;
  return ReadResult::Found;
}

std::string RawRegText(HKEY root, const std::string& path, const std::string& name) {
  std::string text;
  ReadRawText(root, path, name, &text);
  return text;
}

std::string SureDataFolder() {
  // Asked twice: a data folder that cannot be reached for a moment gives the program folder
  // instead, and a file sent there would be where no list looks for it.
  std::string first = paths::GetDataFolder(), second = paths::GetDataFolder();
  return first == second ? first : std::string();
}

std::string DisabledFolder() {
  std::string data = SureDataFolder();
  return data.empty() ? data : data + "\\Disabled";
}

std::string RunKeyText(HKEY root, const std::string& path, const std::string& name) {
  reg::View64 view;
  return RawRegText(root, path, name);
}

int DeleteRunValue(HKEY root, const std::string& path, const std::string& name) {
  if (name.empty()) return 0;
  reg::View64 view;
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path.c_str(), reg::WriteMask()) != ERROR_SUCCESS) return 0;
  return plat::Reg().RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS ? 1 : 0;
}

std::string OriginalStartupPath(const std::string& title, const std::string& fileName) {
  std::string kept;
  if (ReadRawText(HKEY_LOCAL_MACHINE, Sub(kOriginalKey, kStartupFolderCopy), title, &kept) ==
      ReadResult::Failed)
    return {};
  if (!kept.empty() && text::CompareNoCase(paths::GetFileName(kept), fileName) == 0) {
    std::string folder = kept.substr(0, paths::GetFileNamePosition(kept));
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    DWORD attrs = plat::Files().GetFileAttributesA(folder.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) return kept;
    // Only a folder that is gone sends the file elsewhere, not one that could not be looked at.
    DWORD error = plat::Sys().GetLastError();
    if (attrs == INVALID_FILE_ATTRIBUTES && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
      return {};
  }
  std::string folder = UserStartupFolder();
  return folder.empty() ? std::string() : folder + "\\" + fileName;
}

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
  reg::View64 view;
  std::string key = std::string(kNotifyKey) + "\\" + subkey;
  std::string dll = reg::GetRegString(HKEY_LOCAL_MACHINE, key.c_str(), "DLLName", 260);
  if (!reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "OldName", dll.c_str())) return;
  reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "DLLName", "");
}

void EnableNotifyEntry(const std::string& subkey) {
  reg::View64 view;
  std::string key = std::string(kNotifyKey) + "\\" + subkey;
  std::string dll = reg::GetRegString(HKEY_LOCAL_MACHINE, key.c_str(), "OldName", 260);
  if (!reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "DLLName", dll.c_str())) return;
  reg::SetRegStringValue(key.c_str(), HKEY_LOCAL_MACHINE, "OldName", "");
}

int ToggleRunItem(const std::string& title, const std::string& command, const std::string& source,
                  int code) {
  diag::TestLog(command.c_str(), "DISABLE RUN");
  // Entries of one title share one marker (and, for the Run keys of both hives, one copy): while
  // one of them is disabled another is not disabled over it, which would lose the first.
  // The marker decides the direction; when it cannot be read nothing is done.
  std::string marker;
  ReadResult state = ReadRawText(HKEY_LOCAL_MACHINE, kDisabledKey, title, &marker);
  if (state == ReadResult::Failed) return 0;
  bool disabled = state == ReadResult::Found;
  int markerCode = disabled ? std::atoi(marker.c_str()) : 0;
  if (markerCode != 0 && markerCode != code) {
    diag::TestLog(title.c_str(), "DISABLE RUN title disabled elsewhere");
    return 0;
  }
  if ((code >= 1 && code <= 7) || (code >= 11 && code <= 17) || (code >= 21 && code <= 25))
    return ToggleRunKey(title, command, code, disabled);
  if (code == WININI_LOAD || code == WININI_RUN) return ToggleWinIni(title, command, code, disabled);
  if (code == STARTUP_FOLDER) return ToggleStartupFolder(title, command, source, disabled);
  if (code == NOTIFY) return ToggleNotify(title, command, disabled);
  return 0;
}

}  // namespace startup
