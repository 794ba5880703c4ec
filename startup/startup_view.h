// The Startup Programs tab: the run list of every startup location with its program's state,
// company, location and first-detected date, and the commands that take startup programs back
// under the user's control.
#pragma once
#include <string>
#include <vector>

#include "app/page_protocol.h"
#include "resources/resource_ids.h"

namespace startup {

// Commands of its pop-up menu.
inline constexpr int CMD_MOVE_TO_DELAYED = 1195, CMD_DELETE_ON_REBOOT = 1144,
                     CMD_EXPLORE_FOLDER = 1201, CMD_PROGRAM_PROPERTIES = 1202;

// The cells of one run item's row, and its sort keys.
struct StartupRow {
  std::string cells[6];
  std::string keys[6];
  bool disabled = false;
};
// The row of run item `index` (the Detected store gets the program's date when it has none).
StartupRow MakeStartupRow(int index);
// The Command cell: "RunDLL32.exe " for an item run through RUNDLL32, then the file-name part
// of the command.
std::string CommandCell(const std::string& path, int aux, int code);

class StartupView : public app::TabPageView {
 public:
  StartupView();

  void OnSelectionChanged(ui::PageHost& host) override;
  void OnColumnClick(ui::PageHost& host, int column) override;
  void OnDoubleClick(ui::PageHost& host) override;
  void OnRightClick(ui::PageHost& host) override;
  void OnReturn(ui::PageHost& host) override;

  // Rebuilds the list from the startup locations; returns the number of rows.
  int FillStartupView(ui::PageHost& host);
  // Compares the records behind two rows for a column, disabled items after enabled ones.
  int CompareRows(LPARAM a, LPARAM b, int column) const;

 protected:
  void InitTexts(ui::PageHost& host) override;
  void Fill(ui::PageHost& host) override { FillStartupView(host); }
  void Activated(ui::PageHost& host) override;
  std::vector<app::TooltipDef> Tooltips() const override;
  std::vector<int> ColumnStrings() const override;
  void PageCommand(ui::PageHost& host, int id) override;
  void Release(ui::PageHost& host) override;

 private:
  // The run-list indexes of the selected rows, in row order.
  std::vector<int> SelectedItems(ui::PageHost& host);
  void Disable(ui::PageHost& host);
  void Enable(ui::PageHost& host);
  void Remove(ui::PageHost& host);
  void AddStartupProgram(ui::PageHost& host);
  void DeleteOnReboot(ui::PageHost& host);
  void AfterChange(ui::PageHost& host, bool anySelected);

  std::vector<StartupRow> rows_;  // by run-list index
};

}  // namespace startup
