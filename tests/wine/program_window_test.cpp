// The real tab window under Wine, read from the outside as a user would see it: the rows of
// the Startup Programs list on the fixture machine, every page on screen, and the tooltips
// the pages make (none when they are switched off).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/links.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "tests/wine/program_driver.h"

namespace {

const char* const kVendorKey = "Software\\Orvendel Studios";
const char* const kProgramKey = "Software\\Orvendel Studios\\Tallowick";
const char* const kOptionsKey = "Software\\Orvendel Studios\\Tallowick\\Options";

void WriteText(HKEY root, const char* path, const char* name, const char* value) {
  HKEY key;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
}

std::optional<std::string> ReadText(HKEY root, const char* path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char buf[2048] = {};
  DWORD size = sizeof buf - 1, type = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return std::string(buf);
}

// Memory in the program's process for the messages whose answers travel through pointers
// (list view items, tab items, tool information). Both processes are 64-bit, so the
// structures have the same layout on both sides.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return memory_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(memory_) + offset; }
  bool Write(size_t offset, const void* data, size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, &done) && done == n;
  }
  bool Read(size_t offset, void* data, size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, &done) && done == n;
  }
  std::string ReadString(size_t offset, size_t n) {
    std::string text(n, '\0');
    if (!Read(offset, text.data(), n)) return "<unreadable>";
    text.resize(strnlen(text.data(), n));
    return text;
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  size_t size_;
};

constexpr size_t kTextOffset = 512;
constexpr size_t kTextSize = 2048;

struct ListContents {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;
};

// Every column title and cell of a report list view of the program.
ListContents ReadList(HWND list) {
  ListContents contents;
  RemoteMemory remote(list, kTextOffset + kTextSize);
  if (!remote.ok()) return contents;
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int c = 0; c < columns; ++c) {
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = remote.at(kTextOffset);
    item.cchTextMax = kTextSize;
    remote.Write(0, &item, sizeof item);
    SendMessageA(header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(remote.at(0)));
    contents.headers.push_back(remote.ReadString(kTextOffset, kTextSize));
  }
  int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> cells;
    for (int c = 0; c < columns; ++c) {
      LVITEMA item = {};
      item.iSubItem = c;
      item.pszText = remote.at(kTextOffset);
      item.cchTextMax = kTextSize;
      remote.Write(0, &item, sizeof item);
      LRESULT n = SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(remote.at(0)));
      cells.push_back(n > 0 ? remote.ReadString(kTextOffset, kTextSize) : std::string());
    }
    contents.rows.push_back(std::move(cells));
  }
  return contents;
}

// The text of a tab of the sheet's tab strip.
std::string TabText(HWND sheet, int index) {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  RemoteMemory remote(sheet, kTextOffset + kTextSize);
  if (!tab || !remote.ok()) return "<no tab>";
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = remote.at(kTextOffset);
  item.cchTextMax = kTextSize;
  remote.Write(0, &item, sizeof item);
  if (!SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(remote.at(0)))) return "<no tab>";
  return remote.ReadString(kTextOffset, kTextSize);
}

std::string ControlText(HWND window, int id) {
  char text[1024] = {};
  SendMessageA(GetDlgItem(window, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Waits (bounded) until `ready` holds.
template <typename F>
bool WaitUntil(F ready, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!ready()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

struct ToolWindows {
  DWORD pid;
  std::vector<HWND> found;
};

// The tooltip windows of the program's process.
std::vector<HWND> ProgramTooltips(HWND sheet) {
  ToolWindows tw{0, {}};
  GetWindowThreadProcessId(sheet, &tw.pid);
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* t = reinterpret_cast<ToolWindows*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (pid == t->pid && lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) t->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tw));
  return tw.found;
}

// The window whose controls a tooltip serves and the control of its first tool.
std::pair<HWND, HWND> FirstTool(HWND tip) {
  RemoteMemory remote(tip, kTextOffset + kTextSize);
  if (!remote.ok() || SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) < 1) return {nullptr, nullptr};
  TOOLINFOA info = {};
  info.cbSize = sizeof info;
  info.lpszText = remote.at(kTextOffset);
  remote.Write(0, &info, sizeof info);
  if (!SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(remote.at(0)))) return {nullptr, nullptr};
  remote.Read(0, &info, sizeof info);
  return {info.hwnd, reinterpret_cast<HWND>(info.uId)};
}

class TabWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(winetest::DeleteTree(HKEY_CURRENT_USER, kVendorKey));
    ASSERT_EQ(FindWindowA("TallowickEx", nullptr), nullptr) << "an explorer is still running";
  }
  void TearDown() override {
    if (FindWindowA("TallowickEx", nullptr)) winetest::RunProgram("-Q", 20000);
  }
  // Starts the program and waits for its sheet with a current page.
  HWND OpenSheet(winetest::ScopedProgram& program) {
    if (!program.started()) return nullptr;
    HWND sheet = winetest::WaitForWindowClass("#32770", 30000, "Tallowick");
    if (!sheet || !WaitUntil([&] { return CurrentPage(sheet) != nullptr; }, 10000)) return nullptr;
    Sleep(300);
    return sheet;
  }
  void Quit(winetest::ScopedProgram& program) {
    EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
    DWORD code = 0;
    EXPECT_TRUE(program.Wait(30000, &code));
  }
};

// Every page comes up when its tab is chosen, with its tab's title as its header, and is
// saved as a screenshot.
TEST_F(TabWindow, EveryPageShowsItsTitle) {
  winetest::ScopedProgram program("-START");
  HWND sheet = OpenSheet(program);
  ASSERT_NE(sheet, nullptr);
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  ASSERT_NE(tab, nullptr);
  int pages = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(pages, 14);  // Wine reports the NT family: the Services page is there
  // The status bar sits at the sheet's bottom edge.
  HWND status = GetDlgItem(sheet, 6050);
  ASSERT_NE(status, nullptr);
  RECT statusRect = {}, sheetClient = {};
  GetWindowRect(status, &statusRect);
  GetClientRect(sheet, &sheetClient);
  POINT bottom = {0, sheetClient.bottom};
  ClientToScreen(sheet, &bottom);
  EXPECT_EQ(statusRect.bottom, bottom.y);
  for (int i = 0; i < pages; ++i) {
    SendMessageA(sheet, PSM_SETCURSEL, i, 0);
    HWND page = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      page = CurrentPage(sheet);
      return page && SendMessageA(tab, TCM_GETCURSEL, 0, 0) == i;
    }, 5000)) << "page " << i;
    Sleep(250);
    std::string title = TabText(sheet, i);
    EXPECT_EQ(ControlText(page, 1047), title) << "page " << i;
    // The sheet's OK button is hidden and its Cancel button says Close.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, IDOK)));
    EXPECT_EQ(ControlText(sheet, IDCANCEL), "Close");
    char number[8];
    snprintf(number, sizeof number, "%02d-", i + 1);
    std::string name = std::string("page-") + number;
    for (char c : title)
      if (isalnum(static_cast<unsigned char>(c))) name += static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(winetest::SaveScreenshot(name.c_str(), sheet)) << name;
  }
  Quit(program);
}

TEST_F(TabWindow, ThePlusPageShowsTheVersion) {
  WriteText(HKEY_CURRENT_USER, kOptionsKey, "StartTab", "6027");
  winetest::ScopedProgram program("");
  HWND sheet = OpenSheet(program);
  ASSERT_NE(sheet, nullptr);
  HWND page = CurrentPage(sheet);
  EXPECT_EQ(ControlText(page, 1041), "Tallowick v 33.1.2015.0");
  EXPECT_EQ(ControlText(page, 1076), "&Search");
  EXPECT_EQ(ControlText(page, 1094), "Repair and Reset Tools...");
  Quit(program);
}

// The pages' tooltips exist only when the option asks for them: one window per control of
// the page, balloons for ToolTips = 2, and no tooltip window of the program at all for
// ToolTips = 0 (under Wine the sheet's own controls make none on this page).
TEST_F(TabWindow, TooltipsFollowTheOption) {
  struct Case {
    const char* option;
    size_t tips;
    bool balloon;
  };
  for (const Case& c : {Case{"0", 0, false}, Case{"1", 3, false}, Case{"2", 3, true}}) {
    SCOPED_TRACE(std::string("ToolTips=") + c.option);
    ASSERT_TRUE(winetest::DeleteTree(HKEY_CURRENT_USER, kVendorKey));
    WriteText(HKEY_CURRENT_USER, kOptionsKey, "StartTab", "6027");
    WriteText(HKEY_CURRENT_USER, kOptionsKey, "ToolTips", c.option);
    winetest::ScopedProgram program("");
    HWND sheet = OpenSheet(program);
    ASSERT_NE(sheet, nullptr);
    HWND page = CurrentPage(sheet);
    std::vector<HWND> pageTips = ProgramTooltips(sheet);
    EXPECT_EQ(pageTips.size(), c.tips);
    std::set<int> controls;
    for (HWND tip : pageTips) {
      auto [window, control] = FirstTool(tip);
      EXPECT_EQ(window, page);
      controls.insert(GetDlgCtrlID(control));
      EXPECT_EQ((GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) != 0, c.balloon);
      EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), 0xCCFFFF);
      EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), 0x990000);
      EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 20000);
      EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 360);
    }
    if (c.tips) EXPECT_EQ(controls, (std::set<int>{1076, 1094, 1123}));
    // Leaving the page destroys its tooltips.
    SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
    Sleep(300);
    for (HWND tip : pageTips) EXPECT_FALSE(IsWindow(tip));
    Quit(program);
  }
}

// --- the Startup Programs list on the fixture machine ---

// The machine values the fixture replaces, put back afterwards.
struct SavedValue {
  HKEY root;
  const char* path;
  const char* name;
  std::optional<std::string> value;
};

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kWindowsNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// Deletes the fixture's values ("TwFix..." and CLSID-named ones) from a key.
void DeleteFixtureValues(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  std::vector<std::string> names;
  for (DWORD i = 0; i < 10000; ++i) {
    char name[600];
    DWORD cch = sizeof name;
    if (RegEnumValueA(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (std::string(name).rfind("TwFix", 0) == 0 || name[0] == '{') names.emplace_back(name);
  }
  for (const auto& n : names) RegDeleteValueA(key, n.c_str());
  auto def = ReadText(root, path.c_str(), "");
  if (def && def->find("TwFix") != std::string::npos) RegDeleteValueA(key, "");
  RegCloseKey(key);
}

void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// The fixture machine of the startup contract test, placed on the prefix and taken away
// again: startup_machine.reg, the program files it names, the Startup folders' shortcut and
// batch file, and the win.ini lists.
class StartupMachine : public TabWindow {
 protected:
  void SetUp() override {
    TabWindow::SetUp();
    plat::Install(&win32::RealPlatform());
    comReady_ = SUCCEEDED(CoInitialize(nullptr));
    saved_ = {{HKEY_CURRENT_USER, kShellFolders, "Startup", {}},
              {HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", {}},
              {HKEY_LOCAL_MACHINE, kWinlogon, "UserInit", {}},
              {HKEY_LOCAL_MACHINE, kWinlogon, "Shell", {}},
              {HKEY_LOCAL_MACHINE, kWindowsNt, "AppInit_DLLs", {}}};
    for (auto& s : saved_) s.value = ReadText(s.root, s.path, s.name);
    for (const char* k : {"run", "load"}) {
      char buf[1024] = {};
      GetProfileStringA("windows", k, "\x01", buf, sizeof buf);
      winIni_.push_back(buf);
    }
    ASSERT_TRUE(winetest::SeedRegFile(winetest::FixturePath("startup_machine.reg")));
    for (const char* f : {"C:\\TwFix", "C:\\TwFix\\Startup", "C:\\TwFix\\Common"}) CreateDirectoryA(f, nullptr);
    for (const char* f : {"C:\\TwFix\\hook.dll", "C:\\TwFix\\linked.exe", "C:\\TwFix\\dead.exe",
                          "C:\\TwFix\\winrun.exe", "C:\\TwFix\\winload.exe",
                          "C:\\TwFix\\Startup\\twfix.bat", "C:\\TwFix\\Startup\\desktop.ini"}) {
      HANDLE h = CreateFileA(f, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE) << f;
      DWORD done = 0;
      WriteFile(h, "MZ", 2, &done, nullptr);
      CloseHandle(h);
    }
    plat::ShellLink link;
    link.target = "C:\\TwFix\\linked.exe";
    link.description = "TwFix Linked";
    ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Common\\linked.lnk", link));
    link.target = "C:\\TwFix\\dead.exe";
    link.description = "TwFix Dead";
    ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Startup\\dead.lnk", link));
    DeleteFileA("C:\\TwFix\\dead.exe");
    WriteProfileStringA("windows", "run", "C:\\TwFix\\winrun.exe");
    WriteProfileStringA("windows", "load", "C:\\TwFix\\winload.exe;C:\\TwFix\\gone.exe");
  }

  void TearDown() override {
    TabWindow::TearDown();
    const char* bases[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\",
                           "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"};
    const char* subs[] = {"Run", "RunOnce", "RunOnceEx", "RunServices", "RunServicesOnce",
                          "RunOnce\\Setup", "policies\\Explorer\\Run"};
    for (const char* b : bases)
      for (const char* s : subs) {
        DeleteFixtureValues(HKEY_LOCAL_MACHINE, std::string(b) + s);
        DeleteFixtureValues(HKEY_CURRENT_USER, std::string(b) + s);
      }
    for (const char* k : {"ShellServiceObjectDelayLoad", "Explorer\\SharedTaskScheduler",
                          "Explorer\\ShellExecuteHooks"})
      DeleteFixtureValues(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\") + k);
    winetest::DeleteTree(HKEY_LOCAL_MACHINE, (std::string(kWinlogon) + "\\Notify\\TwFixNotify").c_str());
    for (const char* c : {"AA01", "AA02", "AA03"})
      winetest::DeleteTree(HKEY_CLASSES_ROOT,
                           (std::string("CLSID\\{7F1E0001-0000-4000-8000-00000000") + c + "}").c_str());
    winetest::DeleteTree(HKEY_LOCAL_MACHINE, kVendorKey);
    for (const auto& s : saved_) {
      if (s.value) {
        WriteText(s.root, s.path, s.name, s.value->c_str());
      } else {
        HKEY key;
        if (RegOpenKeyExA(s.root, s.path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
          RegDeleteValueA(key, s.name);
          RegCloseKey(key);
        }
      }
    }
    const char* keys[] = {"run", "load"};
    for (size_t i = 0; i < winIni_.size(); ++i)
      WriteProfileStringA("windows", keys[i], winIni_[i] == "\x01" ? nullptr : winIni_[i].c_str());
    DeleteFolderTree("C:\\TwFix");
    if (comReady_) CoUninitialize();
    plat::Install(nullptr);
  }

  std::vector<SavedValue> saved_;
  std::vector<std::string> winIni_;
  bool comReady_ = false;
};

using Cells = std::vector<std::string>;

// The Title and Command cells of the fixture's entries, in the order the enumeration finds
// them (Command: "RunDLL32.exe " for a RUNDLL32 entry, then the file-name part of the path).
const std::vector<Cells> kFixtureRows = {
    {"TwFixA_Audio", "tray.exe /bg"}, {"TwFixB_Panel", "RunDLL32.exe panel.cpl"},
    {"", "default.exe"},              {"TwFix02", "p02.exe /once"},
    {"TwFix03", "p03.exe"},           {"TwFix04", "p04.exe"},
    {"TwFix05", "p05.exe"},           {"TwFix06", "p06.exe"},
    {"TwFix07", "p07.exe"},           {"TwFix27", "p27.exe"},
    {"TwFix11", "sync.exe -tray"},    {"TwFix12", "p12.exe"},
    {"TwFix13", "p13.exe"},           {"TwFix14", "p14.exe"},
    {"TwFix15", "p15.exe"},           {"TwFix16", "p16.exe"},
    {"TwFixDup", "dup.exe"},          {"TwFixW21", "old32.exe"},
    {"TwFix22", "p22.exe"},           {"TwFix23", "p23.exe"},
    {"TwFix24", "p24.exe"},           {"TwFix25", "p25.exe"},
    {"TwFix26", "p26.exe"},           {"TwFix07", "p07.exe"},
    {"TwFix27", "p27.exe"},           {"TwFix Linked", "linked.exe"},
    {"twfix", "twfix.bat"},           {"run", "winrun.exe"},
    {"load", "winload.exe"},          {"TwFixOff", "off.exe"},
    {"TwFixBack", "new.exe -again"},  {"Winlogon Userinit", "added.exe"},
    {"Winlogon Shell", "shell.exe"},  {"TwFixLoader", "hook.dll"},
    {"TwFix Sched", "hook.dll"},      {"TwFix Hook", "hook.dll"},
    {"hook", "hook.dll"},             {"TwFixNotify", "hook.dll"},
};

TEST_F(StartupMachine, TheStartupListShowsTheFixtureRows) {
  WriteText(HKEY_CURRENT_USER, kOptionsKey, "ShowAllStartup", "1");
  winetest::ScopedProgram program("-START");
  HWND sheet = OpenSheet(program);
  ASSERT_NE(sheet, nullptr);
  HWND list = GetDlgItem(CurrentPage(sheet), 1000);
  ASSERT_NE(list, nullptr);
  ListContents contents = ReadList(list);
  winetest::SaveScreenshot("startup-fixture-machine", sheet);
  if (contents.headers.empty()) {
    Quit(program);
    GTEST_SKIP() << "the Startup Programs page has no columns: its view is not in this build";
  }
  ASSERT_GE(contents.headers.size(), 2u);
  EXPECT_EQ(contents.headers[0], "Title");
  EXPECT_EQ(contents.headers[1], "Command");
  // The machine's own entries stay out of the comparison; the fixture's keep their order.
  std::set<Cells> fixture(kFixtureRows.begin(), kFixtureRows.end());
  std::vector<Cells> shown;
  for (const auto& row : contents.rows) {
    Cells cells = {row[0], row[1]};
    if (fixture.count(cells)) shown.push_back(cells);
  }
  EXPECT_EQ(shown, kFixtureRows);
  Quit(program);
}

}  // namespace
