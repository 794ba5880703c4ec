// The "Delayed Start" tab (command 6055, dialog 197): the programs the monitor starts after
// logon, each after its own delay, with the commands to add one, launch one now, change its
// delay options, remove it or put it back in its Windows startup location; and the two
// dialogs the tab runs: the delay options (dialog 198) and the Startup Program Type (199).
#pragma once
#include <string>
#include <vector>

#include "app/page_protocol.h"
#include "startup/delayed.h"

namespace startup {

inline constexpr int kDelayedTab = 6055;
inline constexpr int kDelayOptionsDialog = 198;
inline constexpr int kStartupTypeDialog = 199;

// Controls and commands of the tab (buttons and menu entries share identifiers).
inline constexpr int CMD_DELAYED_INFO = 1008, CMD_DELAYED_ADD = 1064, CMD_DELAYED_REMOVE = 1003,
                     CMD_DELAYED_CLOSE = 1004, CMD_DELAYED_LAUNCH = 1065,
                     CMD_DELAYED_OPTIONS = 1197, CMD_DELAYED_RESTORE = 1198,
                     CMD_DELAYED_EXPLORE = 1201, CMD_DELAYED_PROPERTIES = 1202;
inline constexpr int kDelayedPageText1 = 1249, kDelayedPageText2 = 1250;

// Controls of the delay options dialog (OK and Cancel are 1 and 2).
inline constexpr int kDelayMinutesId = 1285, kDelaySecondsId = 1286, kOpenAsId = 1287,
                     kParametersId = 1288, kDelayTitleId = 1289, kRunAsAdminId = 1290,
                     kDelayLabelId = 1291, kMinutesLabelId = 1292, kSecondsLabelId = 1293;
// Controls of the Startup Program Type dialog.
inline constexpr int kStartupTypeTextId = 1297, kAllUsersId = 1199, kCurrentUserId = 1200;

// The texts of the delay options dialog's three lists.
std::vector<std::string> DelayMinuteChoices();   // "0" .. "60"
std::vector<std::string> DelaySecondChoices();   // "0", "10" .. "50"
std::vector<std::string> OpenAsChoices();        // strings 1138 to 1140

class DelayedView : public app::TabPageView {
 public:
  DelayedView() : app::TabPageView(kDelayedTab) {}

  void OnColumnClick(ui::PageHost& host, int column) override;
  void OnDoubleClick(ui::PageHost& host) override;
  void OnRightClick(ui::PageHost& host) override;
  void OnReturn(ui::PageHost& host) override { PageCommand(host, CMD_DELAYED_INFO); }

  // Rebuilds the list from the delayed-start keys; returns the row count.
  int FillDelayedView(ui::PageHost& host);

 protected:
  void InitTexts(ui::PageHost& host) override;
  void Fill(ui::PageHost& host) override { FillDelayedView(host); }
  void Activated(ui::PageHost& host) override;
  std::vector<app::TooltipDef> Tooltips() const override;
  std::vector<int> ColumnStrings() const override;
  void PageCommand(ui::PageHost& host, int id) override;
  void Release(ui::PageHost& host) override;

 private:
  // The run-list indexes of the selected rows, in row order.
  std::vector<int> SelectedItems(ui::PageHost& host);
  void Remove(ui::PageHost& host);
  void Add(ui::PageHost& host);
  void Options(ui::PageHost& host);
  int Compare(LPARAM a, LPARAM b, int column);
};

// Dialog 198 for one delayed program: shows its stored options; OK writes them.
class DelayOptionsView : public ui::Page {
 public:
  DelayOptionsView(std::string file, int code) : ui::Page(kDelayOptionsDialog), file_(std::move(file)), code_(code) {}
  void OnInit(ui::PageHost& host) override;
  void OnCommand(ui::PageHost& host, int id) override;

 private:
  std::string file_;
  int code_;
};

// Dialog 199: ends with 1 for all users, 2 for the current user, 0 when cancelled.
class StartupTypeView : public ui::Page {
 public:
  StartupTypeView() : ui::Page(kStartupTypeDialog) {}
  void OnInit(ui::PageHost& host) override;
  void OnCommand(ui::PageHost& host, int id) override;
};

}  // namespace startup
