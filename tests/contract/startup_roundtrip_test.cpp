// Nothing is lost: an entry of every startup location kind, disabled and enabled again,
// removed and restored through the History window, or disabled, removed and restored, is back
// with exactly the value, hive, view and file it had. Natively on the simulated machine, and
// under Wine against the real registry, win.ini and shortcut files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/command_path.h"
#include "platform/links.h"
#include "platform/paths.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "records/history.h"
#include "startup/disable.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "startup/run_ops.h"
#include "tests/contract/run_rows.h"
#include "tests/contract/startup_contract.h"

namespace {

using namespace startup;

enum class Kind { Value, WinIni, File };

struct Case {
  const char* what;
  Kind kind;
  int code;
  const char* title;  // as the Startup Programs list shows it
  // Value: the key (root, path, view) and the data. WinIni: the list and the entry as written.
  // File: the file in its Startup folder; a shortcut's target in data.
  HKEY root;
  const char* key;
  REGSAM view;
  const char* data;
  const char* file = nullptr;
  const char* arguments = nullptr;
  // An entry of the same name in the other registry view, which must never change.
  const char* twin = nullptr;
};

constexpr const char* kCv = "Software\\Microsoft\\Windows\\CurrentVersion\\";
constexpr const char* kWow = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
constexpr REGSAM k64 = KEY_WOW64_64KEY, k32 = KEY_WOW64_32KEY;

const std::string kRun = std::string(kCv) + "Run";

const Case kCases[] = {
    {"HKLM Run, quoted with arguments, a namesake in the 32-bit view", Kind::Value, HKLM_RUN,
     "TwFixTray", HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", k64,
     "\"C:\\TwFix\\Audio Tray\\tray.exe\" /bg", nullptr, nullptr, "C:\\TwFix\\tray32.exe /other"},
    {"HKLM RunOnce, unquoted path with blanks", Kind::Value, HKLM_RUNONCE, "TwFixOnce",
     HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", k64,
     "C:\\TwFix\\Old App\\setup.exe /once"},
    {"HKLM policy Run", Kind::Value, HKLM_POLICY, "TwFixPolicy", HKEY_LOCAL_MACHINE,
     "Software\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\Run", k64, "C:\\TwFix\\p07.exe"},
    {"HKCU Run through RUNDLL32", Kind::Value, HKCU_RUN, "TwFixPanel", HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
     "C:\\Windows\\system32\\rundll32.exe shell32.dll,Control_RunDLL C:\\TwFix\\panel.cpl"},
    {"HKCU RunOnce", Kind::Value, HKCU_RUNONCE, "TwFixUserOnce", HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0, "\"C:\\TwFix\\Sync Tool\\sync.exe\" -tray"},
    {"HKCU policy Run", Kind::Value, HKCU_POLICY, "TwFixUserPolicy", HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\Run", 0, "C:\\TwFix\\p17.exe -p"},
    {"32-bit view Run, quoted", Kind::Value, X64_RUN, "TwFixOld32", HKEY_LOCAL_MACHINE,
     "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", k64,
     "\"C:\\TwFix\\Old App\\old32.exe\" -x"},
    {"32-bit view RunServices", Kind::Value, X64_RUNSERVICES, "TwFixService32", HKEY_LOCAL_MACHINE,
     "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunServices", k64,
     "C:\\TwFix\\svc32.exe"},
    {"win.ini load, written in other letter case", Kind::WinIni, WININI_LOAD, "load", nullptr, "load", 0,
     "c:\\twfix\\WINLOAD.EXE"},
    {"win.ini run", Kind::WinIni, WININI_RUN, "run", nullptr, "run", 0, "C:\\TwFix\\winrun.exe"},
    {"user's Startup folder, shortcut with arguments", Kind::File, STARTUP_FOLDER, "TwFix Linked", nullptr,
     nullptr, 0, "C:\\TwFix\\linked.exe", "C:\\TwFix\\Startup\\linked.lnk", "/tray --quiet"},
    {"common Startup folder, shortcut to a path with blanks", Kind::File, STARTUP_FOLDER, "TwFix Common",
     nullptr, nullptr, 0, "C:\\TwFix\\Common App\\app.exe", "C:\\TwFix\\Common\\common.lnk", "-min \"a b\""},
    {"user's Startup folder, batch file", Kind::File, STARTUP_FOLDER, "twfix", nullptr, nullptr, 0, nullptr,
     "C:\\TwFix\\Startup\\twfix.bat"},
};

// A win.ini list's entries, in order.
std::vector<std::string> ListPieces(const char* list) {
  char buf[1025] = {};
  plat::Profile().GetProfileStringA("windows", list, "", buf, 1024);
  std::vector<std::string> pieces;
  std::string text = buf;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// Fields 4 to 6 (title, command, source) of the history file's last line.
struct HistoryLine {
  std::string title, command, source;
};

bool LastHistoryLine(HistoryLine* out) {
  std::string bytes;
  if (!plat::Files().ReadFileBytes((paths::GetDataFolder() + "\\history.txt").c_str(), &bytes, 1 << 20))
    return false;
  while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
  std::string line = bytes.substr(bytes.rfind('\n') == std::string::npos ? 0 : bytes.rfind('\n') + 1);
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  if (fields.size() < 6) return false;
  *out = {fields[3], fields[4], fields[5]};
  return true;
}

class StartupRoundTrip : public contract::StartupContract {
 protected:
  void SetUp() override {
    StartupContract::SetUp();
    for (const char* f : {"C:\\TwFix", "C:\\TwFix\\Startup", "C:\\TwFix\\Common", "C:\\TwFix\\Old App",
                          "C:\\TwFix\\Audio Tray", "C:\\TwFix\\Sync Tool", "C:\\TwFix\\Common App"})
      plat::Files().CreateDirectoryA(f);
    for (const char* f : {"C:\\TwFix\\linked.exe", "C:\\TwFix\\Common App\\app.exe", "C:\\TwFix\\winload.exe",
                          "C:\\TwFix\\winrun.exe"})
      MakeFile(f);
    for (const char* folders : {contract::kShellFolders, contract::kUserShellFolders}) {
      contract::WriteRaw(HKEY_CURRENT_USER, folders, "Startup", std::string("C:\\TwFix\\Startup"));
      contract::WriteRaw(HKEY_LOCAL_MACHINE, folders, "Common Startup", std::string("C:\\TwFix\\Common"));
    }
    // Another entry of each list, which must stay as it is.
    plat::Profile().WriteProfileStringA("windows", "load", "C:\\TwFix\\gone.exe");
    plat::Profile().WriteProfileStringA("windows", "run", "C:\\TwFix\\gone.exe");
  }

  std::string ReadValue(HKEY root, const char* key, REGSAM view, const char* name) {
    plat::RegKey k(plat::Reg());
    if (k.Open(root, key, KEY_READ | view) != ERROR_SUCCESS) return "<none>";
    char buf[2048] = {};
    DWORD size = sizeof buf - 1, type = 0;
    if (plat::Reg().RegQueryValueExA(k.get(), name, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
      return "<none>";
    return buf;
  }
  void WriteValue(HKEY root, const char* key, REGSAM view, const char* name, const char* data) {
    plat::RegKey k(plat::Reg());
    ASSERT_EQ(k.Create(root, key, KEY_ALL_ACCESS | view), ERROR_SUCCESS);
    ASSERT_EQ(plat::Reg().RegSetValueExA(k.get(), name, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                         static_cast<DWORD>(std::strlen(data) + 1)),
              ERROR_SUCCESS);
  }

  void Place(const Case& c) {
    switch (c.kind) {
      case Kind::Value:
        WriteValue(c.root, c.key, c.view, c.title, c.data);
        if (c.twin) WriteValue(c.root, c.key, k32, c.title, c.twin);
        break;
      case Kind::WinIni:
        reg::AddProfileListEntry(c.key, c.data);
        break;
      case Kind::File:
        if (c.data) {
          plat::ShellLink link;
          link.target = c.data;
          link.arguments = c.arguments;
          link.description = c.title;
          link.workingFolder = "C:\\TwFix";
          ASSERT_TRUE(plat::Links().Save(c.file, link)) << c.file;
        } else {
          ASSERT_TRUE(plat::Files().WriteFileBytes(c.file, "@echo off\r\n"));
        }
        break;
    }
  }

  // Where the entry is now: "in place" when exactly as placed, "gone" when its location does
  // not hold it, else a description of what is there instead.
  std::string State(const Case& c) {
    switch (c.kind) {
      case Kind::Value: {
        if (c.twin && ReadValue(c.root, c.key, k32, c.title) != c.twin) return "namesake changed";
        std::string v = ReadValue(c.root, c.key, c.view, c.title);
        return v == c.data ? "in place" : v == "<none>" ? "gone" : "holds " + v;
      }
      case Kind::WinIni: {
        std::vector<std::string> pieces = ListPieces(c.key);
        std::vector<std::string> others;
        int found = 0;
        for (const auto& p : pieces) {
          if (p == c.data)
            ++found;
          else if (text::CompareNoCase(paths::GetLongPath(p), paths::GetLongPath(c.data)) == 0)
            return "holds " + p;
          else
            others.push_back(p);
        }
        if (others != std::vector<std::string>{"C:\\TwFix\\gone.exe"}) return "other entries changed";
        return found == 1 ? "in place" : found == 0 ? "gone" : "listed twice";
      }
      case Kind::File: {
        if (plat::Files().GetFileAttributesA(c.file) == INVALID_FILE_ATTRIBUTES) return "gone";
        if (!c.data) {
          std::string bytes;
          plat::Files().ReadFileBytes(c.file, &bytes, 100);
          return bytes == "@echo off\r\n" ? "in place" : "holds " + bytes;
        }
        plat::ShellLink link;
        if (!plat::Links().Load(c.file, &link, false, 0)) return "unreadable shortcut";
        if (text::CompareNoCase(link.target, c.data) != 0) return "targets " + link.target;
        if (link.arguments != c.arguments) return "arguments " + link.arguments;
        if (link.description != c.title) return "description " + link.description;
        return "in place";
      }
    }
    return "?";
  }

  // The row the Startup Programs view shows for the entry: index or -1.
  int Row(const Case& c) { return contract::StartupItemOf(c.title, c.code); }

  // What the view hands over for a row, and the operations with it.
  int Toggle(const Case& c) {
    int i = Row(c);
    if (i < 0) return -1;
    return ToggleRunItem(RunTitle(i), RunPath(i), RunSource(i), GetRunLocation(i));
  }
  int Remove(const Case& c) {
    int i = Row(c);
    if (i < 0) return -1;
    return DeleteRunProgram(GetRunLocation(i), RunTitle(i), RunPath(i), RunSource(i));
  }
  // The History window's Restore on the newest line, which must be this entry's removal.
  int Restore(const Case& c) {
    HistoryLine line;
    if (!LastHistoryLine(&line) || line.title != c.title) return -1;
    int last = records::ReadHistory() - 1;
    if (last < 0 || !records::IsHistoryRestorable(last)) return -1;
    records::RestoreHistoryItem(last);
    return 1;
  }

  // Nothing of the entry is left in the disabled store.
  bool StoreEmpty(const Case& c) {
    EnumerateStartups(1);
    for (int i = 0; i < RunCount(); ++i)
      if (RunTitle(i) == c.title && IsRunItemDisabled(i)) return false;
    return ReadValue(HKEY_LOCAL_MACHINE, kDisabledKey, 0, c.title) == "<none>";
  }
};

TEST_F(StartupRoundTrip, EveryLocationKindComesBackExactly) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Place(c);
    ASSERT_EQ(State(c), "in place");
    ASSERT_GE(Row(c), 0);

    // Disable, then enable.
    EXPECT_EQ(Toggle(c), 1);
    EXPECT_EQ(State(c), "gone");
    int row = Row(c);
    ASSERT_GE(row, 0) << "the disabled entry is listed";
    EXPECT_NE(IsRunItemDisabled(row), 0);
    EXPECT_EQ(Toggle(c), 1);
    EXPECT_EQ(State(c), "in place");
    EXPECT_TRUE(StoreEmpty(c));

    // The history has no type name for the HKCU RunOnce\Setup and policy keys and the 32-bit
    // view's: their lines read back as TYPE_UNKNOWN and cannot be restored.
    if (std::string(records::HistoryTypeName(c.code)) == "TYPE_UNKNOWN") continue;

    // Remove, then restore from the history line.
    EXPECT_EQ(Remove(c), 1);
    EXPECT_EQ(State(c), "gone");
    EXPECT_EQ(Row(c), -1);
    EXPECT_EQ(Restore(c), 1);
    EXPECT_EQ(State(c), "in place");

    // Disable, remove while disabled, restore: back in its own location, enabled.
    EXPECT_EQ(Toggle(c), 1);
    EXPECT_EQ(Remove(c), 1);
    EXPECT_EQ(Row(c), -1);
    EXPECT_EQ(Restore(c), 1);
    EXPECT_EQ(State(c), "in place");
    EXPECT_TRUE(StoreEmpty(c));
  }
}

}  // namespace
