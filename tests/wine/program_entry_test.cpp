// The real program under Wine: first start, hand-over to a running instance, "-Q" and
// "-Restore".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/options.h"
#include "tests/wine/program_driver.h"

namespace {

const char* const kVendorKey = "Software\\Orvendel Studios";
const char* const kProgramKey = "Software\\Orvendel Studios\\Tallowick";
const char* const kOptionsKey = "Software\\Orvendel Studios\\Tallowick\\Options";

std::string ReadText(HKEY root, const char* path, const char* name) {
  char buf[1024] = {};
  DWORD size = sizeof buf - 1, type = 0;
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? std::string(buf) : "<no value>";
}

bool KeyExists(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void WriteText(HKEY root, const char* path, const char* name, const char* value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
}

class ProgramEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(winetest::DeleteTree(HKEY_CURRENT_USER, kVendorKey));
    ASSERT_EQ(FindWindowA("TallowickEx", nullptr), nullptr) << "an explorer is still running";
  }
  void TearDown() override {
    if (FindWindowA("TallowickEx", nullptr)) winetest::RunProgram("-Q", 20000);
  }
};

TEST_F(ProgramEntry, FirstStartMakesItsKeysAndQuitWritesEveryOption) {
  winetest::ScopedProgram program("");
  ASSERT_TRUE(program.started());
  ASSERT_NE(winetest::WaitForWindowClass("TallowickEx", 30000), nullptr);
  // The tab window is up once the start command was handled.
  HWND sheet = winetest::WaitForWindowClass("#32770", 30000, "Tallowick");
  ASSERT_NE(sheet, nullptr);
  winetest::SaveScreenshot("program-first-start", sheet);

  EXPECT_NE(ReadText(HKEY_CURRENT_USER, kProgramKey, ""), "<no value>");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kProgramKey, "NewVersion"), "33.1.2015.0");
  for (const char* sub : {"Nuts", "Cookies", "Options", "Run", "IEHelpers", "HostFile", "Tasks",
                          "ActiveX"})
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, (std::string(kProgramKey) + "\\" + sub).c_str()))
        << sub;
  // Not written before the close.
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOptionsKey, "Tasks"), "<no value>");

  EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
  DWORD code = winetest::kNoExitCode;
  ASSERT_TRUE(program.Wait(30000, &code));
  EXPECT_EQ(code, 0u);

  for (int i = 0; i < static_cast<int>(settings::Opt::Count); ++i) {
    const auto& def = settings::Def(static_cast<settings::Opt>(i));
    if (!def.saved) continue;
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOptionsKey, def.name),
              std::to_string(def.defaultValue))
        << def.name;
  }
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOptionsKey, "Update"), "1");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOptionsKey, "nCount"), "1");
}

TEST_F(ProgramEntry, QuitWithoutARunningInstanceDoesNothing) {
  EXPECT_EQ(winetest::RunProgram("-q", 30000), 0u);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVendorKey));
}

// A window of the explorer's class made by the test stands for the running instance; the
// program must post it the command the line asks for.
class HandOver : public ProgramEntry {
 protected:
  void SetUp() override {
    ProgramEntry::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TallowickEx";
    RegisterClassA(&wc);
    window_ = CreateWindowA("TallowickEx", "stand-in", 0, 0, 0, 0, 0, nullptr, nullptr,
                            wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    UnregisterClassA("TallowickEx", GetModuleHandleA(nullptr));
  }
  int Posted(const std::string& args) {
    EXPECT_EQ(winetest::RunProgram(args.c_str(), 30000), 0u) << args;
    MSG msg;
    int command = -1;
    while (PeekMessageA(&msg, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE))
      command = static_cast<int>(LOWORD(msg.wParam));
    return command;
  }
  HWND window_ = nullptr;
};

TEST_F(HandOver, TheRunningInstanceGetsTheChosenCommand) {
  WriteText(HKEY_CURRENT_USER, kOptionsKey, "StartTab", "6039");
  EXPECT_EQ(Posted("-OPTION -TASK"), 6029);
  EXPECT_EQ(Posted("-TASK -OPTION"), 6029);
  EXPECT_EQ(Posted("-hidden"), 6052);
  EXPECT_EQ(Posted("-Q"), 6030);
  EXPECT_EQ(Posted(""), 6039);
  EXPECT_EQ(Posted(std::string(773, 'x') + " -TASK"), 6039);
  WriteText(HKEY_CURRENT_USER, kOptionsKey, "StartTab", "5000");
  EXPECT_EQ(Posted(""), 6026);
}

TEST_F(ProgramEntry, RestoreRemovesTheProgramsKeys) {
  {
    winetest::ScopedProgram program("");
    ASSERT_NE(winetest::WaitForWindowClass("#32770", 30000, "Tallowick"), nullptr);
    EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
    DWORD code = 0;
    ASSERT_TRUE(program.Wait(30000, &code));
  }
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kOptionsKey));
  WriteText(HKEY_CURRENT_USER, kProgramKey, "LString606", "Autostart");
  EXPECT_EQ(winetest::RunProgram("-Restore", 60000), 0u);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVendorKey));
  EXPECT_EQ(FindWindowA("TallowickEx", nullptr), nullptr);
}

}  // namespace

namespace {

TEST_F(ProgramEntry, TheSheetKeepsItsPlaceAndTab) {
  WriteText(HKEY_CURRENT_USER, kProgramKey, "xPos", "100");
  WriteText(HKEY_CURRENT_USER, kProgramKey, "yPos", "50");
  WriteText(HKEY_CURRENT_USER, kProgramKey, "dxPos", "700");
  WriteText(HKEY_CURRENT_USER, kProgramKey, "dyPos", "560");
  {
    winetest::ScopedProgram program("-DELAY");
    HWND sheet = winetest::WaitForWindowClass("#32770", 30000, "Tallowick");
    ASSERT_NE(sheet, nullptr);
    Sleep(500);
    RECT r = {};
    GetWindowRect(sheet, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 560);
    // Moved and resized by the user, then closed through a second start.
    SetWindowPos(sheet, nullptr, 120, 80, 760, 600, SWP_NOZORDER);
    Sleep(300);
    EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
    DWORD code = 0;
    ASSERT_TRUE(program.Wait(30000, &code));
  }
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kProgramKey, "xPos"), "120");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kProgramKey, "yPos"), "80");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kProgramKey, "dxPos"), "760");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kProgramKey, "dyPos"), "600");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOptionsKey, "StartTab"), "6055");
}

}  // namespace

namespace {

// The list of the page follows the sheet's size.
TEST_F(ProgramEntry, ThePageListFollowsTheSheet) {
  winetest::ScopedProgram program("");
  HWND sheet = winetest::WaitForWindowClass("#32770", 30000, "Tallowick");
  ASSERT_NE(sheet, nullptr);
  Sleep(500);
  auto listWidth = [&] {
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, 0x400 + 118 /* PSM_GETCURRENTPAGEHWND */, 0, 0));
    HWND list = GetDlgItem(page, 1000);
    RECT r = {};
    GetWindowRect(list, &r);
    return r.right - r.left;
  };
  SetWindowPos(sheet, nullptr, 10, 10, 700, 560, SWP_NOZORDER);
  Sleep(300);
  int small = listWidth();
  SetWindowPos(sheet, nullptr, 10, 10, 1000, 700, SWP_NOZORDER);
  Sleep(300);
  int large = listWidth();
  EXPECT_EQ(large - small, 300);
  winetest::SaveScreenshot("startup-page-resized", sheet);
  EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
  DWORD code = 0;
  ASSERT_TRUE(program.Wait(30000, &code));
}

}  // namespace
