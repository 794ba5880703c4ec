// The real main window: class TallowickEx, hidden off screen, with the shared fonts and
// bitmaps every view uses.
#pragma once
#include "app/main_host.h"

namespace uiwin {

class Win32MainHost : public app::IMainHost {
 public:
  explicit Win32MainHost(HINSTANCE instance);
  ~Win32MainHost() override;

  uintptr_t FindWindowByClass(const char* className) override;
  bool PostCommandTo(uintptr_t window, int command) override;
  bool CreateMainWindow(const char* className, const char* caption) override;
  void PostToMain(unsigned message, WPARAM wParam, LPARAM lParam) override;
  int RunMessageLoop() override;
  void DestroyMainWindow() override;
  void PostQuit(int code) override;
  void OpenTabWindow(int command) override;

  HWND mainWindow() const { return main_; }
  HINSTANCE instance() const { return instance_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND main_ = nullptr;
};

// The shared fonts (in the order they are made) and bitmaps of the main window.
HFONT SharedFont(int index);
HBITMAP SharedBitmap(int id);
// The main window, for the views that post to it.
HWND MainWindow();

}  // namespace uiwin
