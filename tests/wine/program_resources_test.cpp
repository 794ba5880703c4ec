// The resources built into TallowickEx.exe, read back from the file itself: the version
// record the program and its users see, the icons, the manifest and the tab page dialogs
// with the controls the page views expect.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/wine/program_driver.h"

namespace {

class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExA(winetest::ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  static HMODULE module_;
};
HMODULE ProgramResources::module_ = nullptr;

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Creates a page from its template under `parent`, as the property sheet does.
HWND CreatePage(HMODULE module, int dialog, HWND parent) {
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5));
  if (!res) return nullptr;
  auto* tmpl = static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(module, res)));
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl, parent, NoDialogProc, 0);
}

HWND CreatePageParent() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                         nullptr);
}

std::string VersionString(const std::vector<char>& block, const char* name) {
  void* value = nullptr;
  UINT len = 0;
  std::string query = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(block.data(), query.c_str(), &value, &len) || !value) return "<missing>";
  return std::string(static_cast<const char*>(value));
}

TEST_F(ProgramResources, VersionRecord) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(winetest::ProgramPath(), &handle);
  ASSERT_GT(size, 0u);
  EXPECT_LT(size, 8192u) << "larger version resources are rejected when read";
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(winetest::ProgramPath(), 0, size, block.data()));

  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"CompanyName", "Orvendel Studios"},   {"ProductName", "Tallowick"},
      {"FileDescription", "Tallowick Explorer"}, {"FileVersion", "33.1.2015.0"},
      {"ProductVersion", "33.1.2015.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(VersionString(block, c.name), c.expected) << c.name;
  EXPECT_NE(VersionString(block, "LegalCopyright"), "<missing>");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, (33u << 16) | 1u);
  EXPECT_EQ(fixed->dwFileVersionLS, 2015u << 16);
}

TEST_F(ProgramResources, IconsInBothSizes) {
  ASSERT_NE(module_, nullptr);
  const int icons[] = {IDI_TALLOWICK,        IDI_PROGRAM,           IDI_TAB_PLUS,
                       IDI_TAB_STARTUP,      IDI_TAB_ACTIVEX,       IDI_TAB_SERVICES,
                       IDI_TAB_RECENT,       IDI_TAB_ACTIVE_TASKS,  IDI_TAB_FILE_TYPES,
                       IDI_TAB_IE_HELPERS,   IDI_TAB_OPTIONS,       IDI_TAB_SCHEDULED_TASKS,
                       IDI_TAB_COOKIES,      IDI_TAB_DELAYED_START, IDI_TAB_HIDDEN_FILES,
                       IDI_TAB_REGISTRY};
  for (int id : icons) {
    for (int px : {16, 32}) {
      HICON icon = static_cast<HICON>(
          LoadImageA(module_, MAKEINTRESOURCEA(id), IMAGE_ICON, px, px, LR_DEFAULTCOLOR));
      EXPECT_NE(icon, nullptr) << "icon " << id << " at " << px << " pixels";
      if (icon) DestroyIcon(icon);
    }
  }
}

TEST_F(ProgramResources, CommonControlsManifest) {
  ASSERT_NE(module_, nullptr);
  HRSRC res = FindResourceA(module_, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(res, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(module_, res)));
  std::string manifest(text, SizeofResource(module_, res));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

// The generated English string table is compiled into the program.
TEST_F(ProgramResources, StringTableBuiltIn) {
  ASSERT_NE(module_, nullptr);
  struct Case {
    UINT id;
    const char* text;
  };
  const Case cases[] = {{2, "Tallowick"}, {9, "TallowickEx"}, {304, "Close"}};
  for (const Case& c : cases) {
    char text[256] = {};
    EXPECT_GT(LoadStringA(module_, c.id, text, sizeof text), 0) << "string " << c.id;
    EXPECT_STREQ(text, c.text) << "string " << c.id;
  }
}

TEST_F(ProgramResources, TabPagesHoldTheirControls) {
  ASSERT_NE(module_, nullptr);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  struct Page {
    int dialog;
    bool hasList;
  };
  const Page pages[] = {
      {IDD_STARTUP, true},  {IDD_DELAYED_START, true}, {IDD_IE_HELPERS, true},
      {IDD_SCHEDULED_TASKS, true}, {IDD_SERVICES, true}, {IDD_ACTIVE_TASKS, true},
      {IDD_COOKIES, true},  {IDD_FILE_TYPES, true},    {IDD_HIDDEN_FILES, true},
      {IDD_RECENT, true},   {IDD_ACTIVEX, true},       {IDD_REGISTRY, true},
      {IDD_ABOUT, false},   {IDD_OPTIONS, false},
  };
  HWND parent = CreatePageParent();
  ASSERT_NE(parent, nullptr);
  for (const Page& p : pages) {
    HWND page = CreatePage(module_, p.dialog, parent);
    ASSERT_NE(page, nullptr) << "dialog " << p.dialog;
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_CHILD) << "dialog " << p.dialog;
    EXPECT_NE(GetDlgItem(page, IDC_HEADER_TEXT), nullptr) << "dialog " << p.dialog;
    HWND list = GetDlgItem(page, IDC_LIST);
    EXPECT_EQ(list != nullptr, p.hasList) << "dialog " << p.dialog;
    if (list) {
      char cls[64] = {};
      GetClassNameA(list, cls, sizeof cls);
      EXPECT_STREQ(cls, WC_LISTVIEWA) << "dialog " << p.dialog;
      EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT)
          << "dialog " << p.dialog;
    }
    DestroyWindow(page);
  }
  DestroyWindow(parent);
}

TEST_F(ProgramResources, AboutPageControls) {
  ASSERT_NE(module_, nullptr);
  HWND parent = CreatePageParent();
  ASSERT_NE(parent, nullptr);
  HWND page = CreatePage(module_, IDD_ABOUT, parent);
  ASSERT_NE(page, nullptr);
  struct Control {
    int id;
    const char* cls;
    const char* text;  // nullptr: set by the page
  };
  const Control controls[] = {
      {IDC_VERSION_LINE, "Static", nullptr},
      {IDC_CHECK_VERSION, "Button", "&Check for New Tallowick Version"},
      {IDC_SEARCH_TEXT, "Edit", nullptr},
      {IDC_SEARCH, "Button", "&Search"},
      {IDC_REPAIR_TOOLS, "Button", "Repair and Reset Tools..."},
  };
  for (const Control& c : controls) {
    HWND w = GetDlgItem(page, c.id);
    ASSERT_NE(w, nullptr) << "control " << c.id;
    char cls[64] = {}, text[128] = {};
    GetClassNameA(w, cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, c.cls) << "control " << c.id;
    if (c.text) {
      GetWindowTextA(w, text, sizeof text);
      EXPECT_STREQ(text, c.text) << "control " << c.id;
    }
  }
  DestroyWindow(page);
  DestroyWindow(parent);
}

}  // namespace
