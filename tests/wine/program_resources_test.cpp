// The resources built into TallowickEx.exe, read back from the file itself: the version
// record the program and its users see, the icons, the bitmaps, the opening sound, the
// manifest, and the tab pages and the program's own dialogs with the controls their views
// expect.
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

HWND CreatePageParent() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                         nullptr);
}

// Creates a page (or any dialog) from its template under `parent`, as the property sheet
// does; its picture controls load their bitmaps from the program file.
HWND CreatePage(HMODULE module, int dialog, HWND parent) {
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5));
  if (!res) return nullptr;
  auto* tmpl = static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(module, res)));
  return CreateDialogIndirectParamA(module, tmpl, parent, NoDialogProc, 0);
}

// A control a dialog must hold: its class and, when not nullptr, its text.
struct Control {
  int id;
  const char* cls;
  const char* text;
};

// Checks that `dialog` holds every control of the list, with its class and text.
void ExpectControls(HMODULE module, int dialog, const std::vector<Control>& controls) {
  HWND parent = CreatePageParent();
  ASSERT_NE(parent, nullptr);
  HWND page = CreatePage(module, dialog, parent);
  ASSERT_NE(page, nullptr) << "dialog " << dialog;
  for (const Control& c : controls) {
    HWND w = GetDlgItem(page, c.id);
    EXPECT_NE(w, nullptr) << "dialog " << dialog << " control " << c.id;
    if (!w) continue;
    char cls[64] = {}, text[512] = {};
    GetClassNameA(w, cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, c.cls) << "dialog " << dialog << " control " << c.id;
    if (c.text) {
      GetWindowTextA(w, text, sizeof text);
      EXPECT_STREQ(text, c.text) << "dialog " << dialog << " control " << c.id;
    }
  }
  DestroyWindow(page);
  DestroyWindow(parent);
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
  const int icons[] = {IDI_TALLOWICK,        IDI_DEFAULT_PROGRAM,   IDI_PROGRAM,
                       IDI_TAB_PLUS,
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
  ExpectControls(module_, IDD_ABOUT,
                 {{IDC_VERSION_LINE, "Static", nullptr},
                  {IDC_CHECK_VERSION, "Button", "&Check for New Tallowick Version"},
                  {IDC_SEARCH_LABEL, "Static", "Enter Program Filename to Search for:"},
                  {IDC_SEARCH_TEXT, "Edit", nullptr},
                  {IDC_SEARCH, "Button", "&Search"},
                  {IDC_REPAIR_TOOLS, "Button", "Repair and Reset Tools..."}});
}

// The pictures of the pages: bitmaps windres took in, at the sizes the page layout counts on.
TEST_F(ProgramResources, PictureBitmaps) {
  ASSERT_NE(module_, nullptr);
  struct Case {
    int id, width, height;
  };
  const Case cases[] = {
      {IDB_HELP, 24, 24},         {IDB_HELP_HOVER, 24, 24},     {IDB_HELP_PRESSED, 24, 24},
      {IDB_PATROL_OFF, 24, 24},   {IDB_PATROL_ON, 24, 24},      {IDB_PATROL_HOVER, 24, 24},
      {IDB_REALTIME, 24, 24},     {IDB_HEADER_PAGES, 60, 68},   {IDB_HEADER_PLUS, 60, 68},
      {IDB_HEADER_OPTIONS, 60, 68},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module_, MAKEINTRESOURCEA(c.id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_NE(bitmap, nullptr) << "bitmap " << c.id;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, c.width) << "bitmap " << c.id;
    EXPECT_EQ(info.bmHeight, c.height) << "bitmap " << c.id;
    DeleteObject(bitmap);
  }
}

// The opening sound: a short PCM wave that PlaySound can take from the resource.
TEST_F(ProgramResources, OpenSoundIsAShortPcmWave) {
  ASSERT_NE(module_, nullptr);
  HRSRC res = FindResourceA(module_, MAKEINTRESOURCEA(IDR_OPEN_SOUND), "WAVE");
  ASSERT_NE(res, nullptr);
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module_, res)));
  DWORD size = SizeofResource(module_, res);
  ASSERT_GT(size, 44u);
  auto u16 = [&](DWORD at) { return static_cast<unsigned>(data[at] | data[at + 1] << 8); };
  auto u32 = [&](DWORD at) { return u16(at) | u16(at + 2) << 16; };
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), 4), "RIFF");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data) + 8, 8), "WAVEfmt ");
  EXPECT_EQ(u16(20), 1u) << "PCM";
  EXPECT_EQ(u16(22), 1u) << "mono";
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u16(34), 16u) << "bits per sample";
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(data) + 36, 4), "data");
  DWORD bytes = u32(40);
  EXPECT_LE(bytes + 44, size);
  EXPECT_GT(bytes, 0u);
  EXPECT_LT(bytes, 22050u * 2) << "under one second";
}

// The furniture and buttons of the pages, with the identifiers their views send and the
// English captions.
TEST_F(ProgramResources, PagesHoldTheirFurnitureAndButtons) {
  ASSERT_NE(module_, nullptr);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  const Control picture = {IDC_HEADER_PICTURE, "Static", nullptr};
  const Control help = {IDC_HELP_PICTURE, "Static", nullptr};
  const Control patrol = {IDC_PATROL_PICTURE, "Static", nullptr};
  const Control info = {IDC_INFO, "Button", "Info..."};
  const Control close = {IDC_CLOSE, "Button", "Close"};
  const Control add = {IDC_ADD, "Button", "&Add"};
  const Control remove = {IDC_REMOVE, "Button", "&Remove"};
  struct Page {
    int dialog;
    std::vector<Control> controls;
  };
  const Page pages[] = {
      {IDD_STARTUP,
       {picture, help, patrol, info, add, remove, close,
        {IDC_STARTUP_TEXT, "Static", nullptr},
        {IDC_ENABLE, "Button", "&Enable"},
        {IDC_DISABLE, "Button", "&Disable"},
        {IDC_FIRST_CHECK, "Button", "  Display Secret Startup Locations ( Advanced mode )"},
        {IDC_SECOND_CHECK, "Button", "  Notify me if a Startup Auto Setting is Removed."}}},
      {IDD_DELAYED_START,
       {picture, help, info, add, remove, close, {IDC_DELAY_OPTIONS, "Button", "&Delay Options"},
        {IDC_PAGE_TEXT1, "Static", nullptr}, {IDC_PAGE_TEXT2, "Static", nullptr}}},
      {IDD_IE_HELPERS, {picture, help, patrol, info, remove, close}},
      {IDD_SCHEDULED_TASKS, {picture, help, patrol, info, remove, close}},
      {IDD_SERVICES, {picture, help, patrol, info, close, {IDC_FIRST_CHECK, "Button", nullptr}}},
      {IDD_ACTIVE_TASKS,
       {picture, help, info, close, {IDC_REFRESH, "Button", "&Refresh"},
        {IDC_KILL_TASK, "Button", "&Kill Task"}}},
      {IDD_COOKIES,
       {picture, help, patrol, add, remove, {IDC_VIEW_COOKIES, "Button", "&View Cookies"},
        {IDC_FIRST_CHECK, "Button", " &Always View Cookies"},
        {IDC_BROWSER_IE, "Button", nullptr}, {IDC_BROWSER_MOZILLA, "Button", nullptr},
        {IDC_BROWSER_CHROME, "Button", nullptr}, {IDC_COOKIE_FOLDER, "Edit", nullptr},
        {IDC_NEW_FILTER, "Edit", nullptr}, {IDC_FILTER_SHOWN, "Edit", nullptr}}},
      {IDD_FILE_TYPES, {picture, help, patrol, info, add, remove, close}},
      {IDD_HIDDEN_FILES,
       {picture, help, patrol, info, close, {IDC_REFRESH, "Button", "&Refresh"},
        {IDC_UNHIDE, "Button", "&Unhide"}}},
      {IDD_RECENT, {picture, help, info, close, {IDC_RECENT_ACTION, "Button", nullptr}}},
      {IDD_ACTIVEX,
       {picture, help, patrol, info, close, {IDC_ENABLE, "Button", "&Enable"},
        {IDC_DISABLE, "Button", "&Disable"}, {IDC_FIRST_CHECK, "Button", nullptr},
        {IDC_SECOND_CHECK, "Button", nullptr}}},
      {IDD_REGISTRY,
       {picture, help, patrol, add, remove, close, {IDC_SUGGESTIONS, "Button", "Suggestions"},
        {IDC_PAGE_TEXT1, "Static", nullptr}, {IDC_PAGE_TEXT2, "Static", nullptr}}},
      {IDD_ABOUT, {picture, help}},
      {IDD_OPTIONS,
       {picture, help, {IDC_OPTIONS_TEXT, "Static", nullptr},
        {IDC_TOOLTIPS_LABEL, "Static", "ToolTips:"}, {IDC_TOOLTIPS_STYLE, "ComboBox", nullptr},
        {IDC_START_PAGE_PATROL, "Static", nullptr}, {IDC_HOSTS_PATROL, "Static", nullptr},
        {IDC_START_MONITOR, "Button", "  Always start Tallowick monitor"},
        {IDC_PLAY_SOUNDS, "Button", "  Play Sounds."},
        {IDC_TRACK_HISTORY, "Button", "  Track Changes in restoration File. (history.txt) "},
        {IDC_HIDE_TRAY_ICON, "Button", "  Hide Rufkin System Tray Icon"},
        {IDC_LOCK_FILE_TYPES, "Button", "  Lock File Types"},
        {IDC_CONFIRM_EXIT, "Button", "  Confirm Exit of Tallowick Monitor."},
        {IDC_EXPLORER_MENU, "Button", "  Windows Explorer Integration"},
        {IDC_CLOUD_DATA, "Button", " Share choices with other Tallowick users"},
        {IDC_REPORT_LOG, "Button", "Tallowick &Log"},
        {IDC_SPREADSHEET_REPORT, "Button", "&Spreadsheet Report"},
        {IDC_HIJACK_LOG, "Button", "&Hijack Log"},
        {IDC_VIEW_HISTORY, "Button", "&View History..."},
        {IDC_EXPORT_SETTINGS, "Button", "E&xport Settings"},
        {IDC_VIEW_HOSTS, "Button", "View &HOSTS file..."},
        {IDC_REPAIR_TOOLS, "Button", "Repair and Reset Tools..."},
        {IDC_HIDE_ALERTS, "Button", " Hide Alert Messages"}}},
  };
  for (const Page& p : pages) ExpectControls(module_, p.dialog, p.controls);

  // The picture controls show their bitmaps (the header picture of the list pages keeps the
  // bitmap's size, which the layout takes as the header's height).
  HWND parent = CreatePageParent();
  HWND page = CreatePage(module_, IDD_STARTUP, parent);
  ASSERT_NE(page, nullptr);
  for (int id : {IDC_HEADER_PICTURE, IDC_HELP_PICTURE, IDC_PATROL_PICTURE}) {
    HWND w = GetDlgItem(page, id);
    EXPECT_NE(SendMessageA(w, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "picture " << id;
    EXPECT_TRUE(id == IDC_HEADER_PICTURE || (GetWindowLongA(w, GWL_STYLE) & SS_NOTIFY))
        << "picture " << id << " must report clicks";
  }
  RECT r = {};
  GetWindowRect(GetDlgItem(page, IDC_HEADER_PICTURE), &r);
  EXPECT_EQ(r.bottom - r.top, 68);
  EXPECT_EQ(SendMessageA(page, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_INFO, DC_HASDEFID));
  DestroyWindow(page);
  DestroyWindow(parent);
}

// The program's own dialogs with the controls their code fills and reads.
TEST_F(ProgramResources, OwnDialogsHoldTheirControls) {
  ASSERT_NE(module_, nullptr);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  struct Dialog {
    int dialog;
    std::vector<Control> controls;
  };
  const Dialog dialogs[] = {
      {IDD_MESSAGE,
       {{IDC_MESSAGE_TEXT, "Edit", nullptr}, {IDOK, "Button", "OK"},
        {IDCANCEL, "Button", "Cancel"}}},
      {IDD_HISTORY,
       {{IDC_HISTORY_TEXT, "Static", nullptr}, {IDC_LIST, WC_LISTVIEWA, nullptr},
        {IDC_HISTORY_RESTORE, "Button", "&Restore"}, {IDC_HISTORY_CLEAR, "Button", "&Clear File"},
        {IDC_HISTORY_CLOSE, "Button", "Close"}}},
      {IDD_DEFAULT_WARNING,
       {{IDC_WARNING_FILE, "Static", nullptr}, {IDC_WARNING_TEXT, "Static", nullptr},
        {IDC_WARNING_TITLE, "Static", nullptr},
        {IDC_WARNING_CONFIRM, "Button", "  Yes, I really know what I'm doing. Please remove."},
        {IDOK, "Button", "OK"}}},
      {IDD_DELAY_OPTIONS,
       {{IDC_DELAY_MINUTES, "ComboBox", nullptr}, {IDC_DELAY_SECONDS, "ComboBox", nullptr},
        {IDC_OPEN_AS, "ComboBox", nullptr}, {IDC_PARAMETERS, "Edit", nullptr},
        {IDC_DELAY_TITLE, "Edit", nullptr},
        {IDC_RUN_AS_ADMIN, "Button", " Run this Program as an administrator"},
        {IDOK, "Button", "OK"}, {IDCANCEL, "Button", "Cancel"}}},
      {IDD_STARTUP_TYPE,
       {{IDC_STARTUP_TYPE_TEXT, "Static", nullptr},
        {IDC_ALL_USERS, "Button", " &All users will start this program."},
        {IDC_CURRENT_USER, "Button", " This program will only start for the &current user."},
        {IDOK, "Button", "&Apply"}}},
  };
  for (const Dialog& d : dialogs) ExpectControls(module_, d.dialog, d.controls);
}

}  // namespace
