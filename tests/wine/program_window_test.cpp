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

#include "tests/contract/startup_fixture.h"
#include "tests/contract/startup_view_rows.h"
#include "tests/wine/program_driver.h"
#include "tests/wine/remote_window.h"

namespace contract {
// Rows print as their cells when a comparison fails.
inline void PrintTo(const ViewRow& r, std::ostream* os) {
  *os << "{" << r.title << " | " << r.command << " | " << r.status << " | " << r.company << " | "
      << r.type << " | " << (r.dated ? "dated" : "-") << "}";
}
}  // namespace contract

namespace {

const char* const kVendorKey = "Software\\Orvendel Studios";
const char* const kOptionsKey = "Software\\Orvendel Studios\\Tallowick\\Options";

void WriteText(HKEY root, const char* path, const char* name, const char* value) {
  HKEY key;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
}

using winetest::ControlText;
using winetest::CurrentPage;
using winetest::kTextOffset;
using winetest::kTextSize;
using winetest::ListContents;
using winetest::ReadList;
using winetest::RemoteMemory;
using winetest::TabText;
using winetest::WaitUntil;

struct ToolWindows {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTooltip(HWND w, LPARAM p) {
  auto* t = reinterpret_cast<ToolWindows*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == t->pid && lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) t->found.push_back(w);
  return TRUE;
}

// The tooltip windows of the program's process.
std::vector<HWND> ProgramTooltips(HWND sheet) {
  ToolWindows tw{0, {}};
  GetWindowThreadProcessId(sheet, &tw.pid);
  EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&tw));
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
  EXPECT_TRUE(GetWindowLongA(status, GWL_STYLE) & SBARS_SIZEGRIP);
  // No context-help button in the caption.
  EXPECT_FALSE(GetWindowLongA(sheet, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
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

// The pixels a control shows on the screen, once the program has painted it.
std::vector<COLORREF> ScreenPixels(HWND control) {
  Sleep(300);
  RECT r = {};
  GetWindowRect(control, &r);
  std::vector<COLORREF> pixels;
  HDC screen = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(screen, x, y));
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The help picture of the real page shows its hover and pressed pictures under the mouse
// and its normal one again when the mouse leaves (the click itself would open a browser).
// The control shows copies of the bitmaps, so the test compares what is on the screen.
TEST_F(TabWindow, TheHelpPictureFollowsTheMouse) {
  winetest::ScopedProgram program("-START");
  HWND sheet = OpenSheet(program);
  ASSERT_NE(sheet, nullptr);
  HWND page = CurrentPage(sheet);
  HWND help = GetDlgItem(page, 1077);
  ASSERT_NE(help, nullptr);
  SetForegroundWindow(sheet);
  RECT r = {};
  GetWindowRect(help, &r);
  POINT over = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(page, &over);
  const POINT away = {2, 300};
  auto mouse = [&](UINT message, POINT p) { SendMessageA(page, message, 0, MAKELPARAM(p.x, p.y)); };
  const std::vector<COLORREF> normal = ScreenPixels(help);
  mouse(WM_MOUSEMOVE, over);
  const std::vector<COLORREF> hover = ScreenPixels(help);
  EXPECT_NE(hover, normal);
  mouse(WM_LBUTTONDOWN, over);
  const std::vector<COLORREF> pressed = ScreenPixels(help);
  EXPECT_NE(pressed, hover);
  EXPECT_NE(pressed, normal);
  // Let go elsewhere: no command, the normal picture comes back.
  mouse(WM_LBUTTONUP, away);
  EXPECT_EQ(ScreenPixels(help), normal);
  mouse(WM_MOUSEMOVE, over);
  EXPECT_EQ(ScreenPixels(help), hover);
  mouse(WM_MOUSEMOVE, away);
  EXPECT_EQ(ScreenPixels(help), normal);
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
    if (c.tips) {
      EXPECT_EQ(controls, (std::set<int>{1076, 1094, 1123}));
    }
    // Leaving the page destroys its tooltips.
    SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
    Sleep(300);
    for (HWND tip : pageTips) EXPECT_FALSE(IsWindow(tip));
    Quit(program);
  }
}

// The window's close box closes the sheet, every page goes, and with the last of them the
// program ends, having saved the tab it was on.
TEST_F(TabWindow, TheCloseBoxEndsTheProgram) {
  winetest::ScopedProgram program("-DELAY");
  HWND sheet = OpenSheet(program);
  ASSERT_NE(sheet, nullptr);
  // Visit a page with a list and tooltips and one without, then close on the first.
  SendMessageA(sheet, PSM_SETCURSEL, 12, 0);
  SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
  Sleep(300);
  PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = winetest::kNoExitCode;
  ASSERT_TRUE(program.Wait(30000, &code));
  EXPECT_EQ(code, 0u);
  char tab[32] = {};
  DWORD size = sizeof tab - 1;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kOptionsKey, "StartTab", RRF_RT_REG_SZ, nullptr, tab, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(tab, "6026");
}

// --- the Startup Programs list on the fixture machine ---

// The fixture machine of the startup tests placed on the prefix (and taken away again), and
// the program started on it.
class StartupWindow : public contract::StartupMachine {
 protected:
  void SetUp() override {
    ASSERT_TRUE(winetest::DeleteTree(HKEY_CURRENT_USER, kVendorKey));
    ASSERT_EQ(FindWindowA("TallowickEx", nullptr), nullptr) << "an explorer is still running";
    contract::StartupMachine::SetUp();
    PlaceMachine();
    // The shell writes "Shell Folders" anew from "User Shell Folders" in every process that
    // asks for a special folder (Wine does at the program's start), so the fixture's Startup
    // folders go into both; the fixture puts both back.
    contract::WriteRaw(HKEY_CURRENT_USER, contract::kUserShellFolders, "Startup", std::string("C:\\TwFix\\Startup"));
    contract::WriteRaw(HKEY_LOCAL_MACHINE, contract::kUserShellFolders, "Common Startup",
                       std::string("C:\\TwFix\\Common"));
  }
  void TearDown() override {
    if (FindWindowA("TallowickEx", nullptr)) winetest::RunProgram("-Q", 20000);
    contract::StartupMachine::TearDown();
  }
};

TEST_F(StartupWindow, TheListShowsTheFixtureRows) {
  WriteText(HKEY_CURRENT_USER, kOptionsKey, "ShowAllStartup", "1");
  winetest::ScopedProgram program("-START");
  ASSERT_TRUE(program.started());
  HWND sheet = winetest::WaitForWindowClass("#32770", 30000, "Tallowick");
  ASSERT_NE(sheet, nullptr);
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    HWND page = CurrentPage(sheet);
    list = page ? GetDlgItem(page, 1000) : nullptr;
    return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
  }, 20000));
  Sleep(300);
  ListContents contents = ReadList(list);
  winetest::SaveScreenshot("startup-fixture-machine", sheet);
  EXPECT_EQ(contents.headers, (std::vector<std::string>{"Title", "Command", "Status", "Company",
                                                         "Type", "First Detected"}));
  ASSERT_EQ(contents.headers.size(), 6u);
  std::vector<contract::ViewRow> shown;
  for (const auto& row : contents.rows) {
    contract::ViewRow v{row[0], row[1], row[2], row[3], row[4], !row[5].empty()};
    // Wine's shortcut resolution never gives up on a missing target, so Wine lists the dead
    // shortcut that Windows leaves out.
    if (v.title == "TwFix Dead") continue;
    if (contract::IsFixtureRow(v.title, v.command)) shown.push_back(v);
  }
  std::vector<contract::ViewRow> expected = contract::ExpectedStartupViewRows();
  // The RUNDLL32 entry's program is the system's own rundll32.exe, which Windows (and Wine)
  // have and the simulated machine has not: its file exists and names its maker.
  for (auto& r : expected)
    if (r.title == "TwFixB_Panel") r = {r.title, r.command, "", "Microsoft Corporation", r.type, true};
  EXPECT_EQ(shown, expected);
  // The first row is selected and the list selects whole rows.
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
  EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
  EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
  DWORD code = 0;
  EXPECT_TRUE(program.Wait(30000, &code));
}

}  // namespace
