#include "startup/delayed.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/launching.h"
#include "platform/links.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "platform/version_info.h"
#include "settings/language.h"
#include "startup/disable.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "ui/list_view.h"
#include "ui/page_host.h"

namespace startup {

namespace {

constexpr const char* const kSubKeys[DELAY_KEY_COUNT] = {
    "", "Title", "Time", "Parameters", "Shortcuts", "Applet", "OpenAs", "RunAs", "Original", "Entry"};

// The keys RemoveDelayedProgram clears (OpenAs and RunAs stay for a program that comes back).
constexpr int kRemovedKeys[] = {DELAY_CODE,   DELAY_TIME,  DELAY_PARAMETERS, DELAY_SHORTCUTS,
                                DELAY_APPLET, DELAY_TITLE, DELAY_ORIGINAL,   DELAY_ENTRY};

constexpr int kCannotDelayString = 1130;
constexpr int kAllUsersString = 1120;
constexpr unsigned kMbOkCancel = 0x1;
constexpr int kHelpCaptionString = 31;
constexpr size_t kMaxText = 1024;

int g_delayedLaunchCount = 0;

REGSAM View64() { return reg::Is64BitFlag() ? KEY_WOW64_64KEY : 0; }
REGSAM View32() { return reg::Is64BitFlag() ? KEY_WOW64_32KEY : 0; }

bool IsRunCode(int code) {
  return (code >= 1 && code <= 7) || (code >= 11 && code <= 17) || (code >= 21 && code <= 27);
}
bool IsDelayableCode(int code) {
  return IsRunCode(code) || code == WININI_LOAD || code == WININI_RUN || code == STARTUP_FOLDER;
}
const char* WinIniList(int code) { return code == WININI_LOAD ? "load" : "run"; }

// --- registry values read and written exactly, in an explicit view ---

// How a read went: the value is there, it is not (no key or no value), or the read failed.
enum ReadStatus { kReadError = -1, kAbsent = 0, kPresent = 1 };

ReadStatus ReadStatusOf(HKEY root, const std::string& path, const std::string& name, REGSAM view,
                        std::string* data, DWORD* type = nullptr) {
  plat::RegKey key(plat::Reg());
  LONG rc = key.Open(root, path.c_str(), KEY_READ | view);
  if (rc == ERROR_FILE_NOT_FOUND) return kAbsent;
  if (rc != ERROR_SUCCESS) return kReadError;
  char buf[kMaxText + 1] = {};
  DWORD size = kMaxText, t = 0;
  rc = plat::Reg().RegQueryValueExA(key.get(), name.c_str(), &t, reinterpret_cast<BYTE*>(buf), &size);
  if (rc == ERROR_FILE_NOT_FOUND) return kAbsent;
  if (rc != ERROR_SUCCESS) return kReadError;
  if (type) *type = t;
  if (data) {
    if (t == REG_DWORD && size >= 4) {
      DWORD v;
      std::memcpy(&v, buf, 4);
      *data = std::to_string(v);
    } else {
      *data = std::string(buf, strnlen(buf, size));
    }
  }
  return kPresent;
}

bool ReadRaw(HKEY root, const std::string& path, const std::string& name, REGSAM view,
             std::string* data, DWORD* type = nullptr) {
  return ReadStatusOf(root, path, name, view, data, type) == kPresent;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name, REGSAM view) {
  return ReadRaw(root, path, name, view, nullptr);
}

bool WriteRaw(HKEY root, const std::string& path, const std::string& name, REGSAM view,
              const std::string& data, DWORD type = REG_SZ) {
  plat::RegKey key(plat::Reg());
  if (key.Create(root, path.c_str(), KEY_ALL_ACCESS | view) != ERROR_SUCCESS) return false;
  return plat::Reg().RegSetValueExA(key.get(), name.c_str(), type,
                                    reinterpret_cast<const BYTE*>(data.c_str()),
                                    static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool WriteDword(HKEY root, const std::string& path, const std::string& name, REGSAM view, DWORD v) {
  plat::RegKey key(plat::Reg());
  if (key.Create(root, path.c_str(), KEY_ALL_ACCESS | view) != ERROR_SUCCESS) return false;
  return plat::Reg().RegSetValueExA(key.get(), name.c_str(), REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&v), sizeof v) == ERROR_SUCCESS;
}

// True when the value is gone afterwards (also when it was never there).
bool DeleteRaw(HKEY root, const std::string& path, const std::string& name, REGSAM view) {
  plat::RegKey key(plat::Reg());
  LONG rc = key.Open(root, path.c_str(), KEY_ALL_ACCESS | view);
  if (rc == ERROR_FILE_NOT_FOUND) return true;
  if (rc != ERROR_SUCCESS) return false;
  rc = plat::Reg().RegDeleteValueA(key.get(), name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

// Every value of a key with its text data (value names up to 512 characters).
std::vector<std::pair<std::string, std::string>> Values(HKEY root, const std::string& path, REGSAM view) {
  std::vector<std::pair<std::string, std::string>> out;
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path.c_str(), KEY_READ | view) != ERROR_SUCCESS) return out;
  for (DWORD i = 0; i < 100000; ++i) {
    char name[513] = {};
    char data[kMaxText + 1] = {};
    DWORD cch = 512, size = kMaxText, type = 0;
    LONG rc = plat::Reg().RegEnumValueA(key.get(), i, name, &cch, &type, reinterpret_cast<BYTE*>(data), &size);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) continue;
    out.emplace_back(name, type == REG_SZ || type == REG_EXPAND_SZ ? std::string(data, strnlen(data, size)) : "");
  }
  return out;
}

// --- the record's values ---

std::string ReadValue(const DelayPlace& p, int id, const std::string& file) {
  std::string v;
  ReadRaw(p.hive, DelayKeyPath(id), file, p.view, &v);
  return v;
}
bool HasValue(const DelayPlace& p, int id, const std::string& file) {
  return ValueExists(p.hive, DelayKeyPath(id), file, p.view);
}
bool WriteValue(const DelayPlace& p, int id, const std::string& file, const std::string& data,
                DWORD type = REG_SZ) {
  return WriteRaw(p.hive, DelayKeyPath(id), file, p.view, data, type);
}

// The run item's path as AddRunStruct stores it for a command of a Run key.
std::string ItemPathOf(const std::string& data, int* aux = nullptr) {
  std::string command = data;
  bool rundll = false;
  if (text::ContainsNoCase(command, "RUNDLL32.EXE")) rundll = paths::GetRunDllTarget(data, &command);
  if (aux) *aux = rundll ? 1 : 0;
  if (command.size() > kPathSize - 1) command.resize(kPathSize - 1);
  std::string unquoted = text::StripQuotes(command);
  std::string path = unquoted.size() >= 4 ? paths::GetLongPath(unquoted) : unquoted;
  if (path.size() > kPathSize - 1) path.resize(kPathSize - 1);
  return path;
}

std::string TrimLeft(const std::string& s) {
  size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? std::string() : s.substr(i);
}

bool EndsWithNoCase(const std::string& s, const char* tail) {
  std::string t = tail;
  return s.size() >= t.size() && text::CompareNoCase(s.substr(s.size() - t.size()), t) == 0;
}

std::string DelayedFolder() { return paths::GetDataFolder() + "\\" + kDelayedFolderName; }

bool FileThere(const std::string& path) {
  return plat::Files().GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The snapshot the monitor compares against: the program's value name there and its code.
void SetSnapshot(const std::string& path, const std::string& code) {
  reg::SetRegStringValue(kSnapshotRunKey, HKEY_CURRENT_USER, text::ColonForEquals(path).c_str(), code.c_str());
}
void DeleteSnapshot(const std::string& name) {
  reg::DeleteRegValue(text::ColonForEquals(name).c_str(), HKEY_CURRENT_USER, kSnapshotRunKey);
}

// The Run value of a run item: its name and its data as the key holds them. The value named
// by the title is taken when its command is the item's; otherwise the one value whose command
// is the item's (an item whose title is not its value name). False when none or several fit.
bool FindRunValue(int code, const std::string& title, const std::string& path, std::string* name,
                  std::string* data, DWORD* type) {
  HKEY root;
  std::string key;
  if (!RunKeyFor(code, &root, &key)) return false;
  std::vector<std::string> fits;
  auto values = Values(root, key, View64());
  std::string def;
  if (ReadRaw(root, key, "", View64(), &def)) {
    bool listed = false;
    for (const auto& v : values) listed = listed || v.first.empty();
    if (!listed) values.emplace_back("", def);
  }
  for (const auto& [n, d] : values)
    if (text::CompareNoCase(ItemPathOf(d), path) == 0) fits.push_back(n);
  std::string chosen;
  bool found = false;
  for (const auto& n : fits)
    if (!title.empty() && text::CompareNoCase(n, title) == 0) {
      chosen = n;
      found = true;
    }
  if (!found && fits.size() == 1) {
    chosen = fits.front();
    found = true;
  }
  if (!found) return false;
  *name = chosen;
  return ReadRaw(root, key, chosen, View64(), data, type);
}

// The entry of a win.ini list whose program is the item's.
bool FindWinIniEntry(int code, const std::string& path, std::string* entry) {
  char buf[513] = {};
  plat::Profile().GetProfileStringA("windows", WinIniList(code), "", buf, 512);
  std::string list = buf;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string piece = list.substr(start, end - start);
    start = end + 1;
    if (!piece.empty() && text::CompareNoCase(ItemPathOf(piece), path) == 0) {
      *entry = piece;
      return true;
    }
  }
  return false;
}

bool WinIniHas(int code, const std::string& entry) {
  std::string found;
  return FindWinIniEntry(code, ItemPathOf(entry), &found);
}

// The program file of a run item of the delayed-start list and the place of its record: the
// item's path as stored, else the stored name whose long form is the item's path.
bool ResolveDelayed(int index, std::string* file, DelayPlace* place) {
  if (!GetRunItem(index)) return false;
  std::string path = RunPath(index);
  int code = GetRunLocation(index);
  *place = FindDelayPlace(path, code);
  if (place->found) {
    *file = path;
    return true;
  }
  const DelayPlace candidates[] = {{HKEY_LOCAL_MACHINE, View32(), false},
                                   {HKEY_CURRENT_USER, 0, false},
                                   {HKEY_LOCAL_MACHINE, View64(), false}};
  for (const auto& c : candidates)
    for (const auto& [name, data] : Values(c.hive, kDelayKey, c.view))
      if (!name.empty() && text::CompareNoCase(paths::GetLongPath(text::StripQuotes(name)), path) == 0) {
        *file = name;
        *place = c;
        place->found = true;
        return true;
      }
  return false;
}

// The title of a delayed program without a stored one: its product name (a product name that
// names Windows itself gives the file description), else its file name.
std::string DefaultTitle(const std::string& file) {
  version::VersionInfo info;
  version::GetVersionInfoEx(info, file);
  std::string product = info.productName();
  if (text::ContainsNoCase(product, "Microsoft\xAE Windows\xAE")) product = info.description();
  return product.empty() ? paths::GetFileName(file) : product;
}

// The record's values without OpenAs and RunAs.
void DeleteRecordValues(const std::string& file, const DelayPlace& place) {
  for (int id : kRemovedKeys) DeleteRaw(place.hive, DelayKeyPath(id), file, place.view);
}

}  // namespace

std::string DelayKeyPath(int id) {
  if (id <= DELAY_CODE || id >= DELAY_KEY_COUNT) return kDelayKey;
  return std::string(kDelayKey) + "\\" + kSubKeys[id];
}

int ReducedDelayCode(int code) { return code >= 20 && code <= 28 ? code - 20 : code; }

DelayPlace DelayPlaceFor(int code) {
  DelayPlace p;
  int c = ReducedDelayCode(code);
  if (c > 9) {
    p.hive = HKEY_CURRENT_USER;
    p.view = 0;
  } else {
    p.hive = HKEY_LOCAL_MACHINE;
    p.view = code >= 20 && code <= 28 ? View32() : View64();
  }
  return p;
}

DelayPlace FindDelayPlace(const std::string& file, int code) {
  DelayPlace usual = DelayPlaceFor(code);
  std::vector<DelayPlace> order = {usual};
  if (usual.hive == HKEY_LOCAL_MACHINE) {
    order.push_back({HKEY_LOCAL_MACHINE, usual.view == View64() ? View32() : View64(), false});
    order.push_back({HKEY_CURRENT_USER, 0, false});
  } else {
    order.push_back({HKEY_LOCAL_MACHINE, View64(), false});
    order.push_back({HKEY_LOCAL_MACHINE, View32(), false});
  }
  for (DelayPlace p : order)
    if (HasValue(p, DELAY_CODE, file)) {
      p.found = true;
      return p;
    }
  return usual;
}

bool ReadDelayRecord(const std::string& file, int code, DelayRecord* out) {
  DelayRecord r;
  r.place = FindDelayPlace(file, code);
  if (!r.place.found) return false;
  // A record that cannot be read whole is not acted on: a missing piece would be taken for
  // an absent one.
  bool readable = true;
  auto read = [&](int id, std::string* v, DWORD* type = nullptr) {
    ReadStatus st = ReadStatusOf(r.place.hive, DelayKeyPath(id), file, r.place.view, v, type);
    if (st == kReadError) readable = false;
    return st == kPresent;
  };
  std::string codeText, time, openAs, runAs;
  read(DELAY_CODE, &codeText);
  r.code = std::atoi(codeText.c_str());
  read(DELAY_TITLE, &r.title);
  if (read(DELAY_TIME, &time)) r.seconds = std::atoi(time.c_str());
  read(DELAY_PARAMETERS, &r.parameters);
  read(DELAY_SHORTCUTS, &r.shortcuts);
  read(DELAY_APPLET, &r.applet);
  if (read(DELAY_OPENAS, &openAs)) r.openAs = std::atoi(openAs.c_str());
  if (read(DELAY_RUNAS, &runAs)) r.runAsAdmin = std::atoi(runAs.c_str()) == static_cast<int>(kRunAsAdministrator);
  r.hasOriginal = read(DELAY_ORIGINAL, &r.original, &r.originalType);
  r.hasEntry = read(DELAY_ENTRY, &r.entry);
  if (!readable) {
    diag::TestLog(file.c_str(), "Delayed Program record unreadable");
    return false;
  }
  *out = r;
  return true;
}

int EnumerateDelayed() {
  ClearRunList();
  struct Pass {
    DelayPlace place;
    bool raise;
  };
  std::vector<Pass> passes = {{{HKEY_LOCAL_MACHINE, View32(), true}, reg::Is64BitFlag()},
                              {{HKEY_CURRENT_USER, 0, true}, false}};
  if (reg::Is64BitFlag()) passes.push_back({{HKEY_LOCAL_MACHINE, View64(), true}, false});
  for (const Pass& pass : passes) {
    for (const auto& [file, data] : Values(pass.place.hive, kDelayKey, pass.place.view)) {
      if (file.empty()) continue;
      int code = std::atoi(data.c_str());
      // The 32-bit view of a 64-bit Windows holds the records of the WOW64 Run keys.
      if (pass.raise && code >= 1 && code < 7) {
        code += 20;
        WriteValue(pass.place, DELAY_CODE, file, std::to_string(code));
      }
      std::string title = ReadValue(pass.place, DELAY_TITLE, file);
      if (title.empty()) title = DefaultTitle(file);
      std::string source = code == STARTUP_FOLDER ? ReadValue(pass.place, DELAY_SHORTCUTS, file) : title;
      std::string time;
      int seconds = ReadRaw(pass.place.hive, DelayKeyPath(DELAY_TIME), file, pass.place.view, &time)
                        ? std::atoi(time.c_str())
                        : kDefaultDelaySeconds;
      int aux = HasValue(pass.place, DELAY_APPLET, file) && !ReadValue(pass.place, DELAY_APPLET, file).empty()
                    ? -seconds
                    : seconds;
      AddRunStruct(title, file, source, version::GetFileDescription(file), code, aux);
    }
  }
  return RunCount();
}

int MoveRunItemToDelayed(int index) {
  RunItem* item = GetRunItem(index);
  if (!item) return 0;
  int code = item->location;
  std::string title = item->title, path = item->path, source = item->source;
  int aux = item->aux;
  if (code > 249 || text::ContainsNoCase(path, "tallowick.exe") || !IsDelayableCode(code)) {
    diag::TestLog(path.c_str(), "DelayRunItem can not be delayed");
    return 0;
  }
  // A disabled item comes out of the disabled store into its location first.
  bool wasDisabled = MarkerPresent(title);
  if (wasDisabled) {
    if (!ToggleRunItem(title, path, source, code) || MarkerPresent(title)) {
      diag::TestLog(title.c_str(), "DelayRunItem enable failed");
      return 0;
    }
    if (code == STARTUP_FOLDER) source = UserStartupFolder() + "\\" + paths::GetFileName(source);
  }
  auto undoEnable = [&] {
    if (wasDisabled) ToggleRunItem(title, path, source, code);
  };

  // The entry as its location holds it.
  std::string entryName, original, heldFrom, heldAt;
  DWORD originalType = REG_SZ;
  bool haveOriginal = false;
  std::string file, parameters;
  if (IsRunCode(code)) {
    if (!FindRunValue(code, title, path, &entryName, &original, &originalType)) {
      diag::TestLog(path.c_str(), "DelayRunItem entry not found");
      undoEnable();
      return 0;
    }
    haveOriginal = true;
    paths::SplitCommand(path, &file, &parameters);
  } else if (code == WININI_LOAD || code == WININI_RUN) {
    if (!FindWinIniEntry(code, path, &original)) {
      diag::TestLog(path.c_str(), "DelayRunItem entry not found");
      undoEnable();
      return 0;
    }
    haveOriginal = true;
    paths::SplitCommand(path, &file, &parameters);
  } else {
    heldFrom = source.empty() ? path : source;
    if (!FileThere(heldFrom)) {
      diag::TestLog(heldFrom.c_str(), "DelayRunItem entry not found");
      undoEnable();
      return 0;
    }
    heldAt = DelayedFolder() + "\\" + paths::GetFileName(heldFrom);
    entryName = heldAt;
    // A shortcut's record names its target; a program or script placed in the folder itself
    // is started from where it is kept while delayed.
    if (EndsWithNoCase(heldFrom, ".lnk"))
      paths::SplitCommand(path, &file, &parameters);
    else
      file = heldAt;
    source = heldFrom;
  }
  parameters = TrimLeft(parameters);
  if (file.empty()) file = path;

  DelayPlace place = DelayPlaceFor(code);
  if (ReadStatusOf(place.hive, DelayKeyPath(DELAY_CODE), file, place.view, nullptr) != kAbsent ||
      (!heldAt.empty() && FileThere(heldAt))) {
    diag::TestLog(file.c_str(), "DelayRunItem already delayed");
    undoEnable();
    return 0;
  }

  // 1. The record, with the Delay value last: only a complete record is on the list.
  bool ok = WriteValue(place, DELAY_TITLE, file, title) &&
            WriteValue(place, DELAY_TIME, file, std::to_string(kDefaultDelaySeconds)) &&
            (parameters.empty() || WriteValue(place, DELAY_PARAMETERS, file, parameters)) &&
            WriteValue(place, DELAY_SHORTCUTS, file, source) &&
            (!(aux == 1 && IsRunCode(code)) || WriteValue(place, DELAY_APPLET, file, kRunDllApplet)) &&
            (!haveOriginal || WriteValue(place, DELAY_ORIGINAL, file, original, originalType)) &&
            WriteValue(place, DELAY_ENTRY, file, entryName) &&
            WriteValue(place, DELAY_CODE, file, std::to_string(code)) &&
            std::atoi(ReadValue(place, DELAY_CODE, file).c_str()) == code;
  if (!ok) {
    diag::TestLog(file.c_str(), "DelayRunItem record not written");
    DeleteRecordValues(file, place);
    undoEnable();
    return 0;
  }

  // 2. The entry leaves its Windows location.
  bool removed = false;
  if (IsRunCode(code)) {
    HKEY root;
    std::string key;
    RunKeyFor(code, &root, &key);
    removed = DeleteRaw(root, key, entryName, View64()) && !ValueExists(root, key, entryName, View64());
  } else if (code == WININI_LOAD || code == WININI_RUN) {
    reg::RemoveProfileListEntry(WinIniList(code), original.c_str());
    removed = !WinIniHas(code, original);
  } else {
    plat::Files().CreateDirectoryA(DelayedFolder().c_str());
    removed = plat::Files().MoveFileExA(heldFrom.c_str(), heldAt.c_str(), MOVEFILE_COPY_ALLOWED) &&
              !FileThere(heldFrom);
  }
  if (!removed) {
    diag::TestLog(file.c_str(), "DelayRunItem entry not removed");
    DeleteRecordValues(file, place);
    undoEnable();
    return 0;
  }
  diag::TestLog(file.c_str(), "DelayRunItem");

  // 3. The monitor's snapshot: the program is now a delayed one.
  DeleteSnapshot(path);
  DeleteSnapshot(title);
  SetSnapshot(path, std::to_string(kDelayedSnapshotCode));
  return 1;
}

int DelayRunItem(ui::PageHost& host, int index) {
  RunItem* item = GetRunItem(index);
  if (!item) return 0;
  if (item->location > 249 || text::ContainsNoCase(item->path, "tallowick.exe") ||
      !IsDelayableCode(item->location)) {
    ui::ShowMessageBox(host, kCannotDelayString);
    return 0;
  }
  if (ReducedDelayCode(item->location) <= 9 &&
      host.ShowMessageBox(settings::LangString(kAllUsersString, 1024), settings::LangString(kHelpCaptionString),
                          kMbOkCancel | ui::kMbIconExclamation) != ui::kIdOk)
    return 0;
  return MoveRunItemToDelayed(index);
}

int RemoveDelayedProgram(const std::string& file, HKEY hive) {
  diag::TestLog(file.c_str(), "Remove Delayed Program");
  bool machine = hive == HKEY_LOCAL_MACHINE;
  DeleteRecordValues(file, {hive, machine ? View64() : 0, false});
  if (machine && reg::Is64BitFlag()) DeleteRecordValues(file, {hive, View32(), false});
  return 1;
}

void DeleteDelayRecord(const std::string& file, const DelayPlace& place) {
  DeleteRecordValues(file, place);
  DeleteRaw(place.hive, DelayKeyPath(DELAY_OPENAS), file, place.view);
  DeleteRaw(place.hive, DelayKeyPath(DELAY_RUNAS), file, place.view);
}

std::string DelayedCommand(const std::string& file, const DelayRecord& record) {
  std::string command;
  if (!record.applet.empty()) command = record.applet + " ";
  command += file;
  // A DLL's entry point follows its file directly ("shell32.dll,Control_RunDLL ...").
  if (!record.parameters.empty()) command += (record.parameters[0] == ',' ? "" : " ") + record.parameters;
  return command;
}

int RestoreDelayedItem(int index) {
  std::string file;
  DelayPlace place;
  DelayRecord rec;
  if (!ResolveDelayed(index, &file, &place) || !ReadDelayRecord(file, GetRunLocation(index), &rec)) return 0;
  int code = rec.code;
  std::string snapshotPath;
  bool back = false;
  if (IsRunCode(code)) {
    HKEY root;
    std::string key;
    RunKeyFor(code, &root, &key);
    bool exact = rec.hasOriginal;
    std::string name = exact || rec.hasEntry ? rec.entry : RunTitle(index);
    std::string data = exact ? rec.original : DelayedCommand(file, rec);
    DWORD type = exact ? rec.originalType : REG_SZ;
    std::string there;
    DWORD thereType = 0;
    ReadStatus st = ReadStatusOf(root, key, name, View64(), &there, &thereType);
    if (st == kReadError || (st == kPresent && (there != data || thereType != type))) {
      diag::TestLog(name.c_str(), "Restore Delayed Program value in use");
      return 0;
    }
    std::string check;
    back = WriteRaw(root, key, name, View64(), data, type) && ReadRaw(root, key, name, View64(), &check) &&
           check == data;
    snapshotPath = ItemPathOf(data);
  } else if (code == WININI_LOAD || code == WININI_RUN) {
    std::string entry = rec.hasOriginal ? rec.original : DelayedCommand(file, rec);
    if (!WinIniHas(code, entry)) reg::AddProfileListEntry(WinIniList(code), entry.c_str());
    back = WinIniHas(code, entry);
    snapshotPath = ItemPathOf(entry);
  } else if (code == STARTUP_FOLDER) {
    std::string target = rec.shortcuts;
    if (target.empty()) target = UserStartupFolder() + "\\" + RunTitle(index) + ".lnk";
    if (!rec.entry.empty() && FileThere(rec.entry)) {
      back = !FileThere(target) &&
             plat::Files().MoveFileExA(rec.entry.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED) != 0;
    } else if (EndsWithNoCase(target, ".lnk") && !FileThere(target)) {
      // No kept shortcut (a record written elsewhere): a new one that starts the program.
      plat::ShellLink link;
      link.target = file;
      link.arguments = rec.parameters;
      link.description = rec.title.empty() ? RunTitle(index) : rec.title;
      link.workingFolder = paths::GetFileFolder(file);
      link.iconPath = file;
      back = plat::Links().Save(target.c_str(), link);
    }
    snapshotPath = EndsWithNoCase(target, ".lnk") ? file : target;
  }
  if (!back) {
    diag::TestLog(file.c_str(), "Restore Delayed Program failed");
    return 0;
  }
  diag::TestLog(file.c_str(), "Restore Delayed Program");
  DeleteDelayRecord(file, rec.place);
  DeleteSnapshot(file);
  SetSnapshot(snapshotPath, std::to_string(code));
  return 1;
}

int RestoreAllDelayedPrograms() {
  int n = EnumerateDelayed();
  // Each restore deletes only its own record, so the run list stays valid while it runs.
  int restored = 0;
  for (int i = 0; i < n; ++i) restored += RestoreDelayedItem(i);
  ClearRunList();
  // The folder that held delayed Startup-folder files goes when it is empty, so that the data
  // folder can be removed after it.
  plat::Files().RemoveDirectoryA(DelayedFolder().c_str());
  return restored;
}

int AddDelayedProgram(const std::string& file, bool allUsers) {
  if (file.empty()) return 0;
  int code = allUsers ? HKLM_RUN : HKCU_RUN;
  DelayPlace place = DelayPlaceFor(code);
  if (HasValue(place, DELAY_CODE, file)) return 0;
  return WriteValue(place, DELAY_TIME, file, std::to_string(kDefaultDelaySeconds)) &&
         WriteValue(place, DELAY_CODE, file, std::to_string(code));
}

int WriteDelayOptions(const std::string& file, int code, const DelayOptions& o) {
  DelayRecord rec;
  if (!ReadDelayRecord(file, code, &rec)) return 0;
  const DelayPlace& p = rec.place;
  // Arguments changed here are what the program is to start with, also when it goes back.
  if (o.parameters != rec.parameters) DeleteRaw(p.hive, DelayKeyPath(DELAY_ORIGINAL), file, p.view);
  bool ok = WriteValue(p, DELAY_TIME, file, std::to_string(o.seconds));
  ok = WriteValue(p, DELAY_OPENAS, file, std::to_string(o.openAs)) && ok;
  ok = WriteValue(p, DELAY_PARAMETERS, file, o.parameters) && ok;
  ok = WriteValue(p, DELAY_TITLE, file, o.title) && ok;
  ok = WriteDword(p.hive, DelayKeyPath(DELAY_RUNAS), file, p.view, o.runAsAdmin ? kRunAsAdministrator : kRunAsUser) && ok;
  return ok ? 1 : 0;
}

int LaunchDelayedItem(int index) {
  std::string file;
  DelayPlace place;
  DelayRecord rec;
  if (!ResolveDelayed(index, &file, &place) || !ReadDelayRecord(file, GetRunLocation(index), &rec)) return 2;
  int code = rec.applet.empty() ? rec.code : -rec.code;
  return launching::fileLaunchDelayedProgram(rec.parameters, file, code, rec.runAsAdmin);
}

std::string DelayTimeText(int seconds) {
  if (seconds < 0) seconds = -seconds;
  char buf[64];
  std::string sec = settings::LangString(1122), min = settings::LangString(1121);
  if (seconds < 60)
    std::snprintf(buf, sizeof buf, "%d %s", seconds, sec.c_str());
  else
    std::snprintf(buf, sizeof buf, "%d %s : %d %s", seconds / 60, min.c_str(), seconds % 60, sec.c_str());
  return buf;
}

int InitDelayedLaunch() {
  g_delayedLaunchCount = EnumerateDelayed();
  return g_delayedLaunchCount;
}

int DelayedLaunchCount() { return g_delayedLaunchCount; }

void LogDelayedPrograms() {
  int n = EnumerateDelayed();
  for (int i = 0; i < n; ++i) diag::TestLog(RunPath(i).c_str(), RunTitle(i).c_str());
  ClearRunList();
}

}  // namespace startup
