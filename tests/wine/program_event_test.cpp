// One whole event of a startup entry through the real window under Wine, driven from the
// outside as a user would: an HKLM Run entry is disabled on the Startup Programs tab, then
// removed (the question answered Yes), and brought back from the History window that the
// Options page opens, with its command exactly as it was.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/wine/program_driver.h"
#include "tests/wine/remote_window.h"

namespace {

using winetest::ControlText;
using winetest::CurrentPage;
using winetest::ListContents;
using winetest::ReadList;
using winetest::RemoteMemory;
using winetest::WaitUntil;

const char* const kVendorKey = "Software\\Orvendel Studios";
const char* const kDisabledKey = "Software\\Orvendel Studios\\Tallowick\\Disabled";
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kTitle = "TwEvent";
const char* const kCommand = "\"C:\\TwEvent\\My App\\app.exe\" /tray";
const char* const kFolders[] = {"C:\\TwEvent", "C:\\TwEvent\\My App"};
const char* const kProgramFile = "C:\\TwEvent\\My App\\app.exe";
// The Type column of the Startup list.
constexpr int kTypeColumn = 4;

// A value's text in the 64-bit view (the one the program lists and writes); nullopt when
// the key or the value is not there.
std::optional<std::string> ReadText(HKEY root, const char* path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return std::nullopt;
  char data[2048] = {};
  DWORD size = sizeof data - 1, type = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return std::string(data);
}

bool WriteText(HKEY root, const char* path, const char* name, const char* value) {
  HKEY key;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Deletes the value `name` in the key and in every key under it.
void DeleteValueEverywhere(HKEY root, const std::string& path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  std::vector<std::string> subkeys;
  char sub[256];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof sub;
    if (RegEnumKeyExA(key, i, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(sub);
  }
  RegCloseKey(key);
  for (const auto& s : subkeys) DeleteValueEverywhere(root, path + "\\" + s, name);
}

// The texts of the values named `name` in the key and in every key under it.
std::vector<std::string> ValuesEverywhere(HKEY root, const std::string& path, const char* name) {
  std::vector<std::string> found;
  if (std::optional<std::string> v = ReadText(root, path.c_str(), name)) found.push_back(*v);
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return found;
  std::vector<std::string> subkeys;
  char sub[256];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof sub;
    if (RegEnumKeyExA(key, i, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(sub);
  }
  RegCloseKey(key);
  for (const auto& s : subkeys)
    for (auto& v : ValuesEverywhere(root, path + "\\" + s, name)) found.push_back(std::move(v));
  return found;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first row whose cells in the columns given hold the texts given, -1 when none does;
// `last` takes the last such row instead.
int FindRow(const ListContents& contents, const std::vector<std::pair<size_t, std::string>>& cells,
            bool last = false) {
  int found = -1;
  for (size_t r = 0; r < contents.rows.size(); ++r) {
    bool match = true;
    for (const auto& [column, text] : cells)
      match = match && column < contents.rows[r].size() && contents.rows[r][column] == text;
    if (match) {
      found = static_cast<int>(r);
      if (!last) break;
    }
  }
  return found;
}

// Makes `row` the only selected (and the focused) row of a list view of the program; the
// list tells its page, as a click would.
bool SelectOnly(HWND list, int row) {
  RemoteMemory remote(list, sizeof(LVITEMA));
  if (!remote.ok()) return false;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  remote.Write(0, &item, sizeof item);
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.at(0)));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  remote.Write(0, &item, sizeof item);
  if (!SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.at(0)))) return false;
  SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
  return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == row &&
         SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1;
}

// A button's click as its dialog hears it. Sent (bounded) when the command ends by itself;
// posted when it opens a modal window the test has to answer first.
bool Click(HWND dialog, int id) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, 20000,
                             &result) != 0;
}
bool PostClick(HWND dialog, int id) {
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))) != 0;
}

struct DialogSearch {
  DWORD thread;
  HWND skip;
  HWND found;
};

BOOL CALLBACK FindThreadDialog(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<DialogSearch*>(p);
  char cls[16] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (w != s->skip && GetWindowThreadProcessId(w, nullptr) == s->thread && IsWindowVisible(w) &&
      lstrcmpA(cls, "#32770") == 0 && GetDlgItem(w, IDYES) && GetDlgItem(w, IDNO)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// The Yes/No message box that the thread of `sheet` shows, within timeoutMs.
HWND WaitForQuestion(HWND sheet, DWORD timeoutMs) {
  DialogSearch s{GetWindowThreadProcessId(sheet, nullptr), sheet, nullptr};
  WaitUntil([&] {
    EnumWindows(FindThreadDialog, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, timeoutMs);
  return s.found;
}

// The message text of a message box: its static controls' texts, joined.
std::string MessageText(HWND box) {
  std::string text;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[16] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) continue;
    char t[2048] = {};
    SendMessageA(c, WM_GETTEXT, sizeof t, reinterpret_cast<LPARAM>(t));
    text += t;
  }
  return text;
}

std::string Describe(const ListContents& contents) {
  std::ostringstream os;
  for (const auto& row : contents.rows) {
    for (const auto& cell : row) os << cell << " | ";
    os << "\n";
  }
  return os.str();
}

class StartupEvent : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(winetest::DeleteTree(HKEY_CURRENT_USER, kVendorKey));
    ASSERT_EQ(FindWindowA("TallowickEx", nullptr), nullptr) << "an explorer is still running";
    hadMachineVendorKey_ = KeyExists(HKEY_LOCAL_MACHINE, kVendorKey);
    // The history file is the program's; the test gives back the one it found.
    std::optional<std::string> appData = ReadText(
        HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "AppData");
    ASSERT_TRUE(appData.has_value());
    historyPath_ = *appData + "\\Tallowick\\history.txt";
    history_ = ReadFileBytes(historyPath_);
    for (const char* f : kFolders) CreateDirectoryA(f, nullptr);
    ASSERT_TRUE(CopyFileA(winetest::HostToWinePath(TW_SLEEPER_EXE).c_str(), kProgramFile, FALSE));
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kRunKey, kTitle, kCommand));
  }

  void TearDown() override {
    if (FindWindowA("TallowickEx", nullptr)) winetest::RunProgram("-Q", 20000);
    HKEY run;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &run) == ERROR_SUCCESS) {
      RegDeleteValueA(run, kTitle);
      RegCloseKey(run);
    }
    if (hadMachineVendorKey_)
      DeleteValueEverywhere(HKEY_LOCAL_MACHINE, kDisabledKey, kTitle);
    else
      winetest::DeleteTree(HKEY_LOCAL_MACHINE, kVendorKey);
    winetest::DeleteTree(HKEY_CURRENT_USER, kVendorKey);
    DeleteFileA(kProgramFile);
    for (int i = static_cast<int>(std::size(kFolders)) - 1; i >= 0; --i) RemoveDirectoryA(kFolders[i]);
    if (history_) {
      std::ofstream(historyPath_, std::ios::binary | std::ios::trunc) << *history_;
    } else {
      DeleteFileA(historyPath_.c_str());
    }
  }

  // Waits until the list of `window` (GetDlgItem 1000) shows what `ready` looks for.
  template <typename F>
  bool WaitForList(HWND window, F ready, ListContents* contents, DWORD timeoutMs = 10000) {
    return WaitUntil([&] {
      HWND list = GetDlgItem(window, IDC_LIST);
      *contents = list ? ReadList(list) : ListContents{};
      return ready(*contents);
    }, timeoutMs);
  }

  bool hadMachineVendorKey_ = false;
  std::string historyPath_;
  std::optional<std::string> history_;
};

TEST_F(StartupEvent, DisableRemoveAndRestoreFromTheHistory) {
  winetest::ScopedProgram program("-START");
  ASSERT_TRUE(program.started());
  HWND sheet = winetest::WaitForWindowClass("#32770", 30000, "Tallowick");
  ASSERT_NE(sheet, nullptr);
  HWND page = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (page = CurrentPage(sheet)) && GetDlgItem(page, IDC_LIST); }, 10000));
  const int startupIndex = static_cast<int>(SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
  HWND list = GetDlgItem(page, IDC_LIST);
  const std::vector<std::pair<size_t, std::string>> ourRow = {{0, kTitle}};
  ListContents contents;
  ASSERT_TRUE(WaitForList(page, [&](const ListContents& c) { return FindRow(c, ourRow) >= 0; }, &contents, 20000))
      << Describe(contents);
  const std::string enabledType = contents.rows[FindRow(contents, ourRow)][kTypeColumn];
  EXPECT_NE(enabledType, "   Disabled");

  // Disable: the entry leaves the Run key and its row says so.
  ASSERT_TRUE(SelectOnly(list, FindRow(contents, ourRow)));
  ASSERT_TRUE(WaitUntil([&] {
    HWND b = GetDlgItem(page, IDC_DISABLE);
    return IsWindowVisible(b) && IsWindowEnabled(b);
  }, 5000));
  ASSERT_TRUE(Click(page, IDC_DISABLE));
  EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kRunKey, kTitle).has_value());
  // The disabled store has its marker and the command exactly as the Run key held it.
  const std::vector<std::string> stored = ValuesEverywhere(HKEY_LOCAL_MACHINE, kDisabledKey, kTitle);
  EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kDisabledKey, kTitle).has_value());
  EXPECT_NE(std::find(stored.begin(), stored.end(), kCommand), stored.end());
  EXPECT_TRUE(WaitForList(page, [&](const ListContents& c) {
    int r = FindRow(c, ourRow);
    return r >= 0 && c.rows[r][kTypeColumn] == "   Disabled";
  }, &contents)) << Describe(contents);

  // Remove, answering the question Yes: the row goes.
  ASSERT_GE(FindRow(contents, ourRow), 0);
  ASSERT_TRUE(SelectOnly(list, FindRow(contents, ourRow)));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(page, IDC_ENABLE)) != 0; }, 5000));
  ASSERT_TRUE(PostClick(page, IDC_REMOVE));
  HWND question = WaitForQuestion(sheet, 10000);
  ASSERT_NE(question, nullptr) << "no question before the removal";
  char caption[256] = {};
  GetWindowTextA(question, caption, sizeof caption);
  EXPECT_STREQ(caption, "Tallowick Help");
  const std::string message = MessageText(question);
  EXPECT_NE(message.find("You have chosen to remove "), std::string::npos) << message;
  EXPECT_NE(message.find("app.exe"), std::string::npos) << message;
  ASSERT_TRUE(PostClick(question, IDYES));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 10000));
  EXPECT_TRUE(WaitForList(page, [&](const ListContents& c) { return !c.rows.empty() && FindRow(c, ourRow) < 0; },
                          &contents))
      << Describe(contents);
  EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kRunKey, kTitle).has_value());
  EXPECT_TRUE(ValuesEverywhere(HKEY_LOCAL_MACHINE, kDisabledKey, kTitle).empty()) << "the disabled store kept it";

  // The Options page's View History opens the History window.
  SendMessageA(sheet, PSM_SETCURSELID, 0, IDD_OPTIONS);
  HWND options = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    options = CurrentPage(sheet);
    return options && options != page && GetDlgItem(options, IDC_VIEW_HISTORY);
  }, 10000));
  EXPECT_EQ(ControlText(options, IDC_VIEW_HISTORY), "&View History...");
  ASSERT_TRUE(PostClick(options, IDC_VIEW_HISTORY));
  HWND history = winetest::WaitForWindowClass("#32770", 10000, "Tallowick History");
  ASSERT_NE(history, nullptr);
  const std::vector<std::pair<size_t, std::string>> removal = {{0, kTitle}, {1, "*START_Remove"}};
  ASSERT_TRUE(WaitForList(history, [&](const ListContents& c) { return FindRow(c, removal) >= 0; }, &contents))
      << Describe(contents);
  EXPECT_EQ(contents.headers, (std::vector<std::string>{"Title", "Action", "Command", "Date Modified"}));
  HWND historyList = GetDlgItem(history, IDC_LIST);
  ASSERT_TRUE(SelectOnly(historyList, FindRow(contents, removal, true)));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(history, IDC_HISTORY_RESTORE)) != 0; }, 5000));
  Sleep(200);  // let the window paint the selection before the picture is taken
  EXPECT_TRUE(winetest::SaveScreenshot("event-history-window", history));
  ASSERT_TRUE(Click(history, IDC_HISTORY_RESTORE));
  ASSERT_TRUE(PostClick(history, IDC_HISTORY_CLOSE));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(history); }, 10000));

  // The entry is back exactly as it was written: quotes, path with its blank, argument.
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kRunKey, kTitle), std::optional<std::string>(kCommand));

  // The Startup tab lists it again, enabled.
  SendMessageA(sheet, PSM_SETCURSEL, startupIndex, 0);
  ASSERT_TRUE(WaitUntil([&] {
    page = CurrentPage(sheet);
    return page && SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0) == startupIndex;
  }, 10000));
  EXPECT_TRUE(WaitForList(page, [&](const ListContents& c) {
    int r = FindRow(c, ourRow);
    return r >= 0 && c.rows[r][kTypeColumn] == enabledType;
  }, &contents)) << Describe(contents);
  Sleep(200);
  EXPECT_TRUE(winetest::SaveScreenshot("event-startup-after-restore", sheet));

  EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
  DWORD code = 0;
  EXPECT_TRUE(program.Wait(30000, &code));
}

}  // namespace
