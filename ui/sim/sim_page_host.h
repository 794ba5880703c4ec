// The headless page host: every control, list row, tooltip, menu and question of a page lives
// in plain data that tests read and change. A SimSheet holds the pages of the tab window and
// plays the property sheet: it creates pages when they are first shown, activates and
// deactivates them, and destroys them all when it closes.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/window_geometry.h"
#include "ui/page_host.h"

namespace uisim {

class SimPageHost : public ui::PageHost {
 public:
  struct Control {
    std::string text;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    int normal = 0, hover = 0, pressed = 0;  // picture button bitmaps, 0 when none
  };
  struct Column {
    std::string title;
    int width = 0;
  };
  struct Row {
    LPARAM data = 0;
    int image = 0;
    std::vector<std::string> cells;
    bool selected = false;
    bool checked = false;
  };
  struct Question {
    std::string text, caption;
    unsigned style = 0;
    int answer = 0;
  };
  struct DialogRun {
    int dialog = 0;
    int result = 0;
  };

  // Which controls the page's dialog has; empty: every control asked for exists.
  std::set<int> controlIds;
  bool hasList = true;
  std::map<int, Control> controls;

  int listClientWidth = 600, vscrollWidth = 16;
  std::vector<Column> columns;
  std::vector<Row> rows;
  bool fullRowSelect = false, checkBoxes = false;
  int sortCount = 0;
  // The image list: what each image is ("default", "file:<path>,<index>", "icon:<id>").
  bool imageListOpen = false;
  std::vector<std::string> images;
  std::set<std::string> filesWithoutIcons;  // upper-case paths
  std::set<int> iconResources = {101, 107, 115, 167, 170, 171, 173, 175, 176, 179,
                                 180, 181, 182, 183, 184, 185, 186};

  std::map<int, std::pair<std::string, bool>> tooltips;  // control -> text, balloon

  std::string closeCaption;
  bool okHidden = false;
  std::string statusText;
  int waitCursorDepth = 0, waitCursorShown = 0;
  int geometrySaves = 0, layouts = 0;
  bool closeRequested = false;
  int closesPosted = 0;
  std::string caption = "Tallowick";

  // The user's answers: menus (the command picked; 0 closes the menu), message boxes, the
  // open-file dialog (path or empty) and the program's dialogs (the test plays the dialog
  // through its own host and returns; the dialog's result is what the view ended it with).
  std::function<int(const std::vector<ui::MenuItem>&)> onMenu;
  std::deque<int> answers;
  std::deque<std::string> openFileAnswers;
  std::function<void(int dialog, SimPageHost& dialogHost, ui::Page& view)> onDialog;

  std::vector<std::vector<ui::MenuItem>> menus;
  std::vector<Question> questions;
  std::vector<std::pair<std::string, std::string>> messageDialogs;  // title, text
  std::vector<ui::OpenFileRequest> openFileRequests;
  std::vector<DialogRun> dialogs;
  std::optional<int> endResult;

  // Reading the list.
  std::string Cell(int row, int column) const;
  std::vector<std::string> RowCells(int row) const;
  int ColumnIndex(const std::string& title) const;

  // ui::PageHost
  bool HasList() override { return hasList; }
  int ListClientWidth() override { return listClientWidth; }
  int VerticalScrollBarWidth() override { return vscrollWidth; }
  bool ListInsertColumn(int index, const std::string& title, int width) override;
  int ListColumnCount() override { return static_cast<int>(columns.size()); }
  int ListColumnWidth(int index) override;
  void ListSetStyle(bool fullRow, bool checks) override;
  void ListDeleteAllRows() override { rows.clear(); }
  int ListAppendRow(LPARAM data, int image) override;
  void ListSetCell(int row, int column, const std::string& text) override;
  std::string ListCell(int row, int column) override { return Cell(row, column); }
  int ListRowCount() override { return static_cast<int>(rows.size()); }
  LPARAM ListRowData(int row) override;
  int ListRowImage(int row) override;
  std::vector<int> ListSelectedRows() override;
  void ListSelectOnly(int row) override;
  void ListSetChecked(int row, bool checked) override;
  bool ListChecked(int row) override;
  void ListSort(const std::function<int(LPARAM, LPARAM)>& compare) override;
  void ListNewImageList() override;
  void ListDropImageList() override;
  int ListAddFileIcon(const std::string& file, int index) override;
  int ListAddResourceIcon(int icon) override;

  bool HasControl(int id) override;
  void SetControlText(int id, const std::string& text) override { Ctl(id).text = text; }
  std::string ControlText(int id) override { return Ctl(id).text; }
  void ShowControl(int id, bool show) override { Ctl(id).visible = show; }
  void EnableControl(int id, bool enable) override { Ctl(id).enabled = enable; }
  bool IsControlVisible(int id) override { return Ctl(id).visible; }
  bool IsControlEnabled(int id) override { return Ctl(id).enabled; }
  void SetChecked(int id, bool checked) override { Ctl(id).checked = checked; }
  bool IsChecked(int id) override { return Ctl(id).checked; }
  void SetPictureButton(int id, int normal, int hover, int pressed) override;
  void ClearPictureButton(int id) override;

  bool AddTooltip(int controlId, const std::string& text, bool balloon) override;
  void DestroyTooltips() override { tooltips.clear(); }
  int TooltipCount() override { return static_cast<int>(tooltips.size()); }

  void PrepareSheetButtons(const std::string& closeCaptionText) override;
  void SetStatusText(const std::string& text) override { statusText = text; }
  std::string StatusText() override { return statusText; }
  void SetWaitCursor(bool wait) override;
  void SaveSheetGeometry() override;
  void LayOutPage() override { ++layouts; }
  void CloseSheet() override { closeRequested = true; }
  void PostCloseToMain() override {
    ++closesPosted;
    if (closeToMain) closeToMain();
  }

  int TrackMenu(const std::vector<ui::MenuItem>& items) override;
  int ShowMessageBox(const std::string& text, const std::string& captionText, unsigned style) override;
  int ShowMessageDialog(const std::string& title, const std::string& text) override;
  std::string ChooseOpenFile(const ui::OpenFileRequest& request) override;
  std::string WindowCaption() override { return caption; }
  void SetWindowCaption(const std::string& text) override { caption = text; }
  int RunDialog(int dialog, ui::Page& view) override;
  void EndDialog(int result) override { endResult = result; }

  // Where SaveSheetGeometry writes the sheet's rectangle from, and where WM_CLOSE goes to
  // the main window (the sheet sets both).
  std::function<void()> saveGeometry;
  std::function<void()> closeToMain;

 private:
  Control& Ctl(int id) { return controls[id]; }
};

// The tab window, headless.
class SimSheet {
 public:
  struct PageSlot {
    int command = 0;
    std::unique_ptr<ui::Page> view;
    std::unique_ptr<SimPageHost> host;
    bool created = false;
  };

  // The sheet's rectangle as the user leaves it (Open restores it from the saved values).
  app::WindowRect rect{0, 0, 800, 560};

  // Opens the sheet on the page of a command (the first page for 0 or an unknown one): the
  // first page created restores the sheet's geometry, then the page is created and activated.
  void Open(int command, bool ntPlatform = true);
  // Switches to the page of a command (deactivating the current page).
  void Select(int command);
  // Closes the sheet: every created page is destroyed, in tab order.
  void Close();

  bool open() const { return open_; }
  int currentCommand() const;
  // The page of a command (created or not); nullptr when the sheet has none.
  PageSlot* Slot(int command);
  SimPageHost& host(int command);
  ui::Page& view(int command);
  std::vector<int> commands() const;

  // What the user does on the current page.
  SimPageHost& current();
  void Press(int id);
  // Ticks or clears a check box, as a click on it does, and tells the page.
  void Tick(int id, bool checked);
  void PressEnter();
  void ClickColumn(int column);
  void SelectRows(const std::vector<int>& rowsToSelect);
  void DoubleClick(int row);
  void RightClick(int row);
  void CheckRow(int row, bool checked);

  // Called for a page's host when it is made, before the page is created (to set the
  // controls the page's dialog has, its list size, the answers...).
  std::function<void(int command, SimPageHost&)> onHostMade;
  // Where the pages post WM_CLOSE for the main window (the headless main host sets it).
  std::function<void()> closeToMain;

 private:
  void Create(PageSlot& slot);
  std::vector<PageSlot> pages_;
  int current_ = -1;
  bool open_ = false;
  bool geometryRestored_ = false;
};

}  // namespace uisim
