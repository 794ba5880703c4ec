// The warning shown before a Windows default entry (DelayLoad, SharedTaskScheduler,
// ShellExecuteHooks, AppInit) is removed: the file, the warning text, the entry's title (or
// the note that the file is a Microsoft system file) and a check box the user must tick.
#pragma once
#include <string>

#include "resources/resource_ids.h"
#include "ui/page_host.h"

namespace startup {

inline constexpr int kDefaultWarningDialog = IDD_DEFAULT_WARNING;

// OK ends the dialog with kIdYes when the box is ticked and with kIdNo otherwise; closing
// it any other way is kIdNo. The window code keeps its place under xDefaultWarning,
// yDefaultWarning, dxDefaultWarning and dyDefaultWarning and shows the file line in the
// large font.
class DefaultWarningDialog : public ui::Page {
 public:
  DefaultWarningDialog(const std::string& title, const std::string& command);

  void OnInit(ui::PageHost& host) override;
  void OnCommand(ui::PageHost& host, int id) override;

 private:
  std::string title_, command_;
};

}  // namespace startup
