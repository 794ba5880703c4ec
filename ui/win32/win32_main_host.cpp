#include "ui/win32/win32_main_host.h"

#include <map>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "settings/options.h"
#include "ui/win32/tab_window.h"

namespace uiwin {

namespace {

Win32MainHost* g_host = nullptr;
std::vector<HFONT> g_fonts;
std::map<int, HBITMAP> g_bitmaps;

struct FontDef {
  int height;
  int weight;
  bool underline;
};
const FontDef kSharedFonts[] = {{18, 600, false}, {18, 500, false}, {-18, 500, true},
                                {12, 600, false}, {-14, 600, false}, {10, 600, false},
                                {14, 400, false}, {12, 500, false}, {14, 700, false},
                                {14, 500, false}};
const int kSharedBitmaps[] = {133, 134, 135, 154, 155, 156, 193, 158, 160, 159};

HFONT MakeFont(int height, int weight, bool underline, const char* face) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

void CreateSharedResources(HINSTANCE instance) {
  for (const auto& f : kSharedFonts)
    g_fonts.push_back(MakeFont(f.height, f.weight, f.underline, "MS Shell Dlg"));
  // The note font: face and height from the options.
  std::string face =
      reg::GetRegString(HKEY_CURRENT_USER, settings::kOptionsKey, "NoteFont", 31);
  if (face.empty()) face = "MS Shell Dlg";
  g_fonts.push_back(MakeFont(-settings::GetOption("NoteSize", 14), 500, false, face.c_str()));
  for (int id : kSharedBitmaps)
    g_bitmaps[id] = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
}

void FreeSharedResources() {
  for (HFONT f : g_fonts)
    if (f) DeleteObject(f);
  g_fonts.clear();
  for (auto& [id, b] : g_bitmaps)
    if (b) DeleteObject(b);
  g_bitmaps.clear();
}

}  // namespace

HFONT SharedFont(int index) {
  return index >= 0 && index < static_cast<int>(g_fonts.size()) ? g_fonts[index] : nullptr;
}

HBITMAP SharedBitmap(int id) {
  auto it = g_bitmaps.find(id);
  return it == g_bitmaps.end() ? nullptr : it->second;
}

HWND MainWindow() { return g_host ? g_host->mainWindow() : nullptr; }

Win32MainHost::Win32MainHost(HINSTANCE instance) : instance_(instance) { g_host = this; }

Win32MainHost::~Win32MainHost() {
  FreeSharedResources();
  if (g_host == this) g_host = nullptr;
}

uintptr_t Win32MainHost::FindWindowByClass(const char* className) {
  return reinterpret_cast<uintptr_t>(FindWindowA(className, nullptr));
}

bool Win32MainHost::PostCommandTo(uintptr_t window, int command) {
  return PostMessageA(reinterpret_cast<HWND>(window), WM_COMMAND, static_cast<WPARAM>(command),
                      0) != FALSE;
}

bool Win32MainHost::CreateMainWindow(const char* className, const char* caption) {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(101));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = className;
  if (!RegisterClassA(&wc)) return false;
  main_ = CreateWindowExA(WS_EX_APPWINDOW, className, caption,
                          WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, -200, 0, 0,
                          nullptr, nullptr, instance_, nullptr);
  if (!main_) return false;
  CreateSharedResources(instance_);
  return true;
}

void Win32MainHost::PostToMain(unsigned message, WPARAM wParam, LPARAM lParam) {
  PostMessageA(main_, message, wParam, lParam);
}

int Win32MainHost::RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Win32MainHost::DestroyMainWindow() {
  if (main_) DestroyWindow(main_);
}

void Win32MainHost::PostQuit(int code) { PostQuitMessage(code); }

void Win32MainHost::OpenTabWindow(int command) { uiwin::OpenTabWindow(*this, command); }

LRESULT CALLBACK Win32MainHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (g_host && (g_host->main_ == hwnd || g_host->main_ == nullptr)) {
    if (app::MainWindowMessage(*g_host, message, wParam, lParam)) {
      if (message == WM_DESTROY) g_host->main_ = nullptr;
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace uiwin
