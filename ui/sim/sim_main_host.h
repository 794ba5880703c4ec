// A headless main-window host: posted messages wait in a queue that the message loop
// dispatches to the program's main window handling; other instances' windows and the tab
// window are played by the test.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/main_host.h"
#include "ui/sim/sim_page_host.h"

namespace uisim {

class SimMainHost : public app::IMainHost {
 public:
  struct Message {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
  };
  struct Posted {
    uintptr_t window;
    int command;
  };

  // Top-level windows of other programs by class (the running explorer, the monitor).
  std::map<std::string, uintptr_t> otherWindows;
  std::vector<Posted> postedToOthers;
  bool failCreate = false;
  bool mainWindowExists = false;
  bool mainWindowDestroyed = false;
  std::string createdClass, createdCaption;
  // Every OpenTabWindow call, and those that only raised an open tab window.
  std::vector<int> tabWindowOpens;
  std::vector<int> tabWindowRaises;
  // What the user does while the tab window is open (it may post messages and call
  // PumpMessages, as the tab window's own loop dispatches them, and use the sheet). When it
  // returns the tab window closes: its pages are destroyed, and the first posts WM_CLOSE to
  // the main window.
  std::function<void(int command)> whileTabWindowOpen;
  // The tab window of the last opening.
  SimSheet sheet;
  bool tabWindowOpen = false;
  // The exit code of WM_QUIT, when one was posted.
  bool quitPosted = false;
  int quitCode = 0;

  // Dispatches queued messages until the queue is empty or WM_QUIT comes.
  void PumpMessages();

  // app::IMainHost
  uintptr_t FindWindowByClass(const char* className) override;
  bool PostCommandTo(uintptr_t window, int command) override;
  bool CreateMainWindow(const char* className, const char* caption) override;
  void PostToMain(unsigned message, WPARAM wParam, LPARAM lParam) override;
  // Returns the WM_QUIT code; -1 when the queue ran dry first (the program would go on
  // waiting for messages).
  int RunMessageLoop() override;
  void DestroyMainWindow() override;
  void PostQuit(int code) override;
  void OpenTabWindow(int command) override;

 private:
  std::deque<Message> queue_;
};

}  // namespace uisim
