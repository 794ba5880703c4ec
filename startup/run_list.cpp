#include "startup/run_list.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/app_state.h"
#include "diag/testlog.h"
#include "platform/class_lookup.h"
#include "platform/command_path.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "settings/language.h"
#include "settings/options.h"
#include "startup/location_codes.h"

namespace startup {

namespace {

std::unique_ptr<RunItem> g_items[kMaxRunItems];
int g_count = 0;

void CopyCut(char* dst, size_t size, const std::string& src) {
  size_t n = std::min(src.size(), size - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

int CopyOut(const char* field, char* out, size_t limit) {
  if (!out) return 0;
  size_t n = std::min(std::strlen(field), limit - 1);
  std::memcpy(out, field, n);
  out[n] = '\0';
  return static_cast<int>(n);
}

constexpr int kDisabledString = 626;

}  // namespace

std::vector<RunItem> CopyRunList() {
  std::vector<RunItem> items;
  for (int i = 0; i < g_count; ++i) items.push_back(*g_items[i]);
  return items;
}

void RestoreRunList(const std::vector<RunItem>& items) {
  ClearRunList();
  for (const RunItem& item : items) {
    if (g_count >= kMaxRunItems) break;
    g_items[g_count++] = std::make_unique<RunItem>(item);
  }
}

int AddRunStruct(const std::string& title, const std::string& commandIn,
                 const std::string& source, const std::string& detail, int location, int aux) {
  std::string command = commandIn;
  if (!command.empty() && command[0] == '{') {
    std::string dll, name;
    if (lookup::GetInprocServerPath(&dll, command, &name)) {
      diag::TestLog((command + " " + dll).c_str(), "AddRunStruct GUID");
      command = dll;
    }
  }
  if (g_count >= kMaxRunItems) return 0;
  if (command.size() > kPathSize - 1) command.resize(kPathSize - 1);
  if (command.empty()) return 0;
  if (location == INFO_COOKIE && g_count >= settings::Get(settings::Opt::MaxCookie)) return 0;

  auto item = std::make_unique<RunItem>();
  std::memset(item.get(), 0, sizeof(RunItem));
  CopyCut(item->detail, kDetailSize, detail);

  std::string unquoted = text::StripQuotes(command);
  bool longForm = unquoted.size() >= 4;
  CopyCut(item->path, kPathSize, longForm ? paths::GetLongPath(unquoted) : unquoted);

  if (!title.empty()) {
    std::string t = title.substr(0, std::min(title.size(), kTitleSize - 1));
    if (text::ContainsNoCase(t, "Tallowick")) t = app::State().caption;
    if (text::ContainsNoCase(t, "(Default)")) t.clear();
    CopyCut(item->title, kTitleSize, t);
  } else {
    std::string name = paths::GetFileName(item->path);
    CopyCut(item->title, kTitleSize, name.size() > 4 ? name.substr(0, name.size() - 4) : "");
  }
  CopyCut(item->source, kSourceSize, longForm ? paths::GetLongPath(source) : source);
  item->location = location;
  item->aux = aux;
  g_items[g_count++] = std::move(item);
  return 1;
}

void ClearRunList() {
  for (int i = 0; i < g_count; ++i) g_items[i].reset();
  g_count = 0;
}

int RunCount() { return g_count; }

RunItem* GetRunItem(int index) {
  return index >= 0 && index < g_count ? g_items[index].get() : nullptr;
}

int GetRunTitle(int index, char* out) {
  RunItem* item = GetRunItem(index);
  if (!item) return out ? (out[0] = '\0', 0) : 0;
  return CopyOut(item->title, out, kTitleSize);
}

int GetRunPath(int index, char* out) {
  RunItem* item = GetRunItem(index);
  if (!item) return out ? (out[0] = '\0', 0) : 0;
  if (item->path[0] == '{') {
    std::string dll, name;
    if (lookup::GetInprocServerPath(&dll, item->path, &name)) {
      diag::TestLog((std::string(item->path) + " " + dll).c_str(), "GetRunPath GUID");
      return CopyOut(dll.c_str(), out, kPathSize);
    }
  }
  return CopyOut(item->path, out, kPathSize);
}

int GetRunSource(int index, char* out) {
  RunItem* item = GetRunItem(index);
  if (!item) return out ? (out[0] = '\0', 0) : 0;
  return CopyOut(item->source, out, kSourceSize);
}

int GetRunDetail(int index, char* out) {
  RunItem* item = GetRunItem(index);
  if (!item) return out ? (out[0] = '\0', 0) : 0;
  return CopyOut(item->detail, out, 261);
}

int GetRunAux(int index) {
  RunItem* item = GetRunItem(index);
  return item ? item->aux : 0;
}

int GetRunLocation(int index) {
  RunItem* item = GetRunItem(index);
  return item ? item->location : 0;
}

int GetRunRunning(int index) {
  RunItem* item = GetRunItem(index);
  return item ? item->running : 0;
}

HKEY GetRunHive(int index) { return GetRunAux(index) == 1 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::string RunTitle(int index) {
  char b[kTitleSize];
  GetRunTitle(index, b);
  return b;
}
std::string RunPath(int index) {
  char b[kPathSize];
  GetRunPath(index, b);
  return b;
}
std::string RunSource(int index) {
  char b[kSourceSize];
  GetRunSource(index, b);
  return b;
}
std::string RunDetail(int index) {
  char b[261];
  GetRunDetail(index, b);
  return b;
}

int IsRunItemDisabled(int index) {
  RunItem* item = GetRunItem(index);
  if (!item) return 0;
  plat::OsVersion v;
  if (plat::Sys().GetVersionExA(v, false) && v.major == 6 && (v.minor == 2 || v.minor == 3)) {
    reg::View64 view;
    const char* approved = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
    struct Look {
      const char* key;
      HKEY root;
      bool byFile;
    } looks[] = {{"Run", HKEY_LOCAL_MACHINE, false},       {"Run", HKEY_CURRENT_USER, false},
                 {"Run32", HKEY_LOCAL_MACHINE, false},     {"Run32", HKEY_CURRENT_USER, false},
                 {"StartupFolder", HKEY_LOCAL_MACHINE, true},
                 {"StartupFolder", HKEY_CURRENT_USER, true}};
    std::string fileName = paths::GetFileName(item->source);
    for (const auto& l : looks) {
      std::string name = l.byFile ? fileName : std::string(item->title);
      plat::RegKey key(plat::Reg());
      if (key.Open(l.root, (std::string(approved) + l.key).c_str(), reg::ReadMask()) != ERROR_SUCCESS)
        continue;
      BYTE data[32] = {};
      DWORD size = sizeof data, type = 0;
      if (plat::Reg().RegQueryValueExA(key.get(), name.c_str(), &type, data, &size) ==
              ERROR_SUCCESS &&
          size > 0 && data[0] == 3)
        return 1;
    }
  }
  char text[33] = {};
  if (reg::GetRegStringValue(kDisabledKey, item->title, text, 32, HKEY_LOCAL_MACHINE) <= 0)
    reg::GetRegStringValue(kDisabledKey32, item->title, text, 32, HKEY_LOCAL_MACHINE);
  return std::atoi(text);
}

int GetRunLocationText(int index, char* out) {
  std::string t = RunLocationText(index);
  std::memcpy(out, t.c_str(), t.size() + 1);
  return static_cast<int>(t.size());
}

std::string RunLocationText(int index) {
  RunItem* item = GetRunItem(index);
  if (!item) return {};
  int code = item->location;
  if (code == TASK_SCHEDULED || code == TYPE_BHO || code == TYPE_TOOLBAR) return LocationText(code);
  if (code > NOTIFY) return {};
  std::string t;
  if (IsRunItemDisabled(index)) t = " * " + settings::LangString(kDisabledString) + " * ";
  t += LocationText(code);
  if (t.size() > 511) t.resize(511);
  return t;
}

}  // namespace startup
