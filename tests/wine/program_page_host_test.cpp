// The real page host on a window of the test itself: the list view's rows, cells, order,
// selection and check boxes, which of the list's notifications reach the view, the row image
// list, and the picture buttons' mouse handling.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "tests/wine/program_driver.h"
#include "ui/page_host.h"
#include "ui/win32/page_messages.h"
#include "ui/win32/picture_buttons.h"
#include "ui/win32/win32_page_host.h"

namespace {

// A view that writes down what the host passes on.
class RecordingPage : public ui::Page {
 public:
  RecordingPage() : ui::Page(6026) {}
  void OnCommand(ui::PageHost&, int id) override { events.push_back("command " + std::to_string(id)); }
  void OnSelectionChanged(ui::PageHost&) override { events.push_back("selection"); }
  void OnItemChecked(ui::PageHost&, int row) override { events.push_back("checked " + std::to_string(row)); }
  std::vector<std::string> events;
};

struct Binding {
  RecordingPage* view = nullptr;
  uiwin::Win32PageHost* host = nullptr;
};

LRESULT CALLBACK TestPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* b = reinterpret_cast<Binding*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (b && b->host && uiwin::RouteViewMessage(*b->view, *b->host, message, wParam, lParam)) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

class PageHost : public ::testing::Test {
 protected:
  void SetUp() override {
    // The host logs and measures the screen through the platform layer.
    plat::Install(&win32::RealPlatform());
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestPageProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TwTestPage";
    RegisterClassA(&wc);
    page_ = CreateWindowExA(0, "TwTestPage", "test page", WS_OVERLAPPEDWINDOW, 10, 10, 500, 400,
                            nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(page_, nullptr);
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                            10, 60, 400, 250, page_, reinterpret_cast<HMENU>(1000), wc.hInstance, nullptr);
    ASSERT_NE(list_, nullptr);
    host_ = std::make_unique<uiwin::Win32PageHost>(page_, uiwin::Win32PageHost::Kind::Dialog);
    binding_ = {&view_, host_.get()};
    SetWindowLongPtrA(page_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&binding_));
    ShowWindow(page_, SW_SHOWNOACTIVATE);
  }
  void TearDown() override {
    SetWindowLongPtrA(page_, GWLP_USERDATA, 0);
    host_.reset();
    DestroyWindow(page_);
    UnregisterClassA("TwTestPage", GetModuleHandleA(nullptr));
    plat::Install(nullptr);
  }

  std::vector<LPARAM> RowData() {
    std::vector<LPARAM> data;
    for (int r = 0; r < host_->ListRowCount(); ++r) data.push_back(host_->ListRowData(r));
    return data;
  }

  HWND page_ = nullptr, list_ = nullptr;
  RecordingPage view_;
  std::unique_ptr<uiwin::Win32PageHost> host_;
  Binding binding_;
};

TEST_F(PageHost, RowsCellsOrderAndSelection) {
  ASSERT_TRUE(host_->HasList());
  EXPECT_TRUE(host_->ListInsertColumn(0, "Title", 120));
  EXPECT_TRUE(host_->ListInsertColumn(1, "Command", 200));
  EXPECT_EQ(host_->ListColumnCount(), 2);
  EXPECT_EQ(host_->ListColumnWidth(1), 200);
  const std::string longText(3000, 'x');
  for (LPARAM data : {30, 10, 20}) {
    int row = host_->ListAppendRow(data, 0);
    ASSERT_GE(row, 0);
    host_->ListSetCell(row, 0, "row " + std::to_string(data));
    host_->ListSetCell(row, 1, data == 10 ? longText : "cmd");
  }
  EXPECT_EQ(host_->ListRowCount(), 3);
  EXPECT_EQ(host_->ListCell(2, 0), "row 20");
  EXPECT_EQ(host_->ListCell(1, 1), longText);  // longer than the first buffer
  EXPECT_EQ(host_->ListCell(7, 0), "");

  host_->ListSort([](LPARAM a, LPARAM b) { return static_cast<int>(a - b); });
  EXPECT_EQ(RowData(), (std::vector<LPARAM>{10, 20, 30}));
  EXPECT_EQ(host_->ListCell(0, 0), "row 10");

  host_->ListSelectOnly(2);
  host_->ListSelectOnly(1);
  EXPECT_EQ(host_->ListSelectedRows(), std::vector<int>{1});
  EXPECT_EQ(ListView_GetNextItem(list_, -1, LVNI_FOCUSED), 1);
  // The host's own changes are not the user's: the view hears nothing of them.
  EXPECT_TRUE(view_.events.empty());
  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);  // as a click would
  EXPECT_EQ(view_.events, std::vector<std::string>{"selection"});
  EXPECT_EQ(host_->ListSelectedRows(), (std::vector<int>{0, 1}));

  view_.events.clear();
  host_->ListSetStyle(true, true);
  DWORD ex = ListView_GetExtendedListViewStyle(list_);
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(ex & LVS_EX_CHECKBOXES);
  host_->ListSetChecked(0, true);
  EXPECT_TRUE(host_->ListChecked(0));
  EXPECT_FALSE(host_->ListChecked(2));
  EXPECT_TRUE(view_.events.empty());
  ListView_SetCheckState(list_, 2, TRUE);  // the user ticks a row
  EXPECT_EQ(view_.events, std::vector<std::string>{"checked 2"});

  host_->ListDeleteAllRows();
  EXPECT_EQ(host_->ListRowCount(), 0);
  EXPECT_EQ(host_->ListSelectedRows(), std::vector<int>{});
}

TEST_F(PageHost, RowImagesBelongToTheHost) {
  host_->ListNewImageList();
  HIMAGELIST images = ListView_GetImageList(list_, LVSIL_SMALL);
  ASSERT_NE(images, nullptr);
  // The list only borrows the image list: the host frees it.
  EXPECT_TRUE(GetWindowLongA(list_, GWL_STYLE) & LVS_SHAREIMAGELISTS);
  int before = ImageList_GetImageCount(images);
  int image = host_->ListAddFileIcon(winetest::ProgramPath(), 0);
  EXPECT_EQ(image, before);
  EXPECT_EQ(host_->ListAddFileIcon(winetest::ProgramPath(), 500), -1);  // no such icon
  EXPECT_EQ(host_->ListAddFileIcon("C:\\no\\such\\file.exe", 0), -1);
  EXPECT_EQ(host_->ListAddResourceIcon(9999), -1);
  int row = host_->ListAppendRow(5, image);
  EXPECT_EQ(host_->ListRowImage(row), image);
  host_->ListDropImageList();
  EXPECT_EQ(ListView_GetImageList(list_, LVSIL_SMALL), nullptr);
  EXPECT_EQ(host_->ListAddResourceIcon(101), -1);  // no list to add to
}

TEST_F(PageHost, PictureButtonsShowTheirStatesAndSendTheirCommand) {
  HWND picture = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY, 20, 10,
                                 16, 16, page_, reinterpret_cast<HMENU>(1077), GetModuleHandleA(nullptr),
                                 nullptr);
  ASSERT_NE(picture, nullptr);
  HBITMAP normal = CreateBitmap(16, 16, 1, 32, nullptr);
  HBITMAP hover = CreateBitmap(16, 16, 1, 32, nullptr);
  HBITMAP pressed = CreateBitmap(16, 16, 1, 32, nullptr);
  ASSERT_TRUE(uiwin::SetPictureBitmaps(picture, normal, hover, pressed, 1077));
  // The page's handler takes the mouse, not the control.
  EXPECT_FALSE(GetWindowLongA(picture, GWL_STYLE) & SS_NOTIFY);
  auto shown = [&] { return reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)); };
  auto mouse = [&](UINT message, int x, int y) { SendMessageA(page_, message, 0, MAKELPARAM(x, y)); };
  EXPECT_EQ(shown(), normal);
  mouse(WM_MOUSEMOVE, 25, 15);
  EXPECT_EQ(shown(), hover);
  mouse(WM_MOUSEMOVE, 200, 200);
  EXPECT_EQ(shown(), normal);
  mouse(WM_LBUTTONDOWN, 25, 15);
  EXPECT_EQ(shown(), pressed);
  mouse(WM_MOUSEMOVE, 200, 200);  // held: no hover changes
  EXPECT_EQ(shown(), pressed);
  mouse(WM_LBUTTONUP, 25, 15);
  EXPECT_EQ(shown(), normal);
  EXPECT_EQ(view_.events, (std::vector<std::string>{"command 1077"}));
  // A double click: the second press is a click of its own, its release is not.
  mouse(WM_LBUTTONDBLCLK, 25, 15);
  mouse(WM_LBUTTONUP, 25, 15);
  EXPECT_EQ(view_.events.size(), 2u);
  // Pressed elsewhere and let go over the button: no click.
  mouse(WM_LBUTTONDOWN, 200, 200);
  mouse(WM_LBUTTONUP, 25, 15);
  EXPECT_EQ(view_.events.size(), 2u);
  // Pressed on it and let go elsewhere: no click, and the normal picture is back.
  mouse(WM_LBUTTONDOWN, 25, 15);
  mouse(WM_LBUTTONUP, 200, 200);
  EXPECT_EQ(shown(), normal);
  EXPECT_EQ(view_.events.size(), 2u);
  mouse(WM_MOUSEMOVE, 25, 15);
  EXPECT_EQ(shown(), hover);
  // Without its properties the control is no button.
  host_->ClearPictureButton(1077);
  mouse(WM_LBUTTONDOWN, 25, 15);
  mouse(WM_LBUTTONUP, 25, 15);
  EXPECT_EQ(view_.events.size(), 2u);
  DestroyWindow(picture);
  for (HBITMAP b : {normal, hover, pressed}) DeleteObject(b);
}

// The colours an owner-drawn button shows once it has been painted again.
std::set<COLORREF> Colours(HWND control) {
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Sleep(100);
  RECT r = {};
  GetWindowRect(control, &r);
  std::set<COLORREF> colours;
  HDC screen = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) colours.insert(GetPixel(screen, x, y));
  ReleaseDC(nullptr, screen);
  return colours;
}

TEST_F(PageHost, OwnerDrawnButtonsDrawTheirTextAndTheHoveredOne) {
  HWND button = CreateWindowExA(0, "Button", "Two\nlines", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 320,
                                200, 40, page_, reinterpret_cast<HMENU>(1064), GetModuleHandleA(nullptr),
                                nullptr);
  ASSERT_NE(button, nullptr);
  SetWindowPos(page_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  auto over = [&](HWND w) { SendMessageA(page_, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)); };
  std::set<COLORREF> c = Colours(button);
  EXPECT_TRUE(c.count(0x404040));  // the text
  EXPECT_TRUE(c.count(0xC0C0C0));  // its shadow, for a text with a line break
  EXPECT_FALSE(c.count(0x660000));
  over(button);
  c = Colours(button);
  EXPECT_TRUE(c.count(0x660000));
  EXPECT_FALSE(c.count(0x404040));
  over(page_);  // the page's own background changes nothing
  EXPECT_TRUE(Colours(button).count(0x660000));
  over(list_);  // another control does
  c = Colours(button);
  EXPECT_TRUE(c.count(0x404040));
  EXPECT_FALSE(c.count(0x660000));
  DestroyWindow(button);
}

// What the test does inside a modal dialog's loop: a timer finds the dialog by its caption,
// notes what it shows and presses a button.
struct DialogPress {
  const char* caption;
  int button;
  std::string text;  // of control 1025 or 1047
  RECT rect = {};
  bool found = false;
};
DialogPress* g_press = nullptr;

void CALLBACK PressInDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA("#32770", g_press->caption);
  if (!dialog) return;
  KillTimer(nullptr, timer);
  g_press->found = true;
  char text[256] = {};
  if (!GetDlgItemTextA(dialog, 1025, text, sizeof text)) GetDlgItemTextA(dialog, 1047, text, sizeof text);
  g_press->text = text;
  GetWindowRect(dialog, &g_press->rect);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_press->button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_press->button)));
}

int RunWithPress(DialogPress& press, const std::function<int()>& run) {
  g_press = &press;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, PressInDialog);
  int result = run();
  if (!press.found) KillTimer(nullptr, timer);
  g_press = nullptr;
  return result;
}

// A dialog's view: it fills its text, reports its commands and ends the dialog on 1003.
class DialogView : public ui::Page {
 public:
  DialogView() : ui::Page(0) {}
  void OnInit(ui::PageHost& host) override {
    events.push_back("init");
    host.SetControlText(1047, "filled");
    caption = host.WindowCaption();
  }
  void OnCommand(ui::PageHost& host, int id) override {
    events.push_back("command " + std::to_string(id));
    if (id == 1003) host.EndDialog(7);
  }
  void OnDestroy(ui::PageHost&) override { events.push_back("destroy"); }
  std::vector<std::string> events;
  std::string caption;
};

TEST_F(PageHost, DialogsRunTheirViewsAndAnswer) {
  {
    DialogView view;
    DialogPress press{"behaviour", 1003};
    EXPECT_EQ(RunWithPress(press, [&] { return host_->RunDialog(900, view); }), 7);
    EXPECT_EQ(press.text, "filled");
    EXPECT_EQ(view.caption, "behaviour");
    EXPECT_EQ(view.events, (std::vector<std::string>{"init", "command 1003", "destroy"}));
  }
  {
    // A view with nothing to do on Cancel: the dialog closes all the same.
    DialogView view;
    DialogPress press{"behaviour", IDCANCEL};
    EXPECT_EQ(RunWithPress(press, [&] { return host_->RunDialog(900, view); }), IDCANCEL);
    EXPECT_EQ(view.events, (std::vector<std::string>{"init", "command 2", "destroy"}));
  }
  {
    DialogView view;
    EXPECT_EQ(host_->RunDialog(12345, view), 0);  // no such dialog
    EXPECT_TRUE(view.events.empty());
  }
  // The message dialog: title, text with its line breaks, centred as the secondary windows.
  DialogPress press{"A title", IDOK};
  EXPECT_EQ(RunWithPress(press, [&] { return host_->ShowMessageDialog("A title", "one\ntwo"); }), IDOK);
  ASSERT_TRUE(press.found);
  EXPECT_EQ(press.text, "one\r\ntwo");
  int width = press.rect.right - press.rect.left, height = press.rect.bottom - press.rect.top;
  EXPECT_EQ(press.rect.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(press.rect.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 3);
  DialogPress cancel{"Another", IDCANCEL};
  EXPECT_EQ(RunWithPress(cancel, [&] { return host_->ShowMessageDialog("Another", "text"); }), IDCANCEL);
}

}  // namespace
