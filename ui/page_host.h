// The seam between the views and the windowing system. Every tab page (and every dialog with
// behaviour) is a `Page`: it reacts to the page protocol (creation, activation, deactivation,
// destruction, commands, list notifications) and speaks only to its `PageHost`, which owns the
// real controls. ui/win32 implements the host with the property sheet, dialog resources, list
// views, image lists, tooltips, menus and the status bar; ui/sim implements it headless so that
// tests press buttons, answer questions and read every cell.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace ui {

// Answers of message boxes and dialogs (the Win32 IDOK ... values).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Message box styles (the Win32 MB_ values the views use).
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbTopmost = 0x40000;

// One entry of a pop-up menu as the host shows it: caption (empty for a separator), command
// identifier and check mark.
struct MenuItem {
  std::string caption;
  int command = 0;
  bool checked = false;
};

// The open-file dialog's request; the answer is the chosen path, empty when cancelled.
struct OpenFileRequest {
  std::string title;
  std::string filter;  // the parts separated by '%' as the language strings hold them
  std::string initialFolder;
};

class Page;

class PageHost {
 public:
  virtual ~PageHost() = default;

  // --- the page's list view (control 1000) ---
  virtual bool HasList() = 0;
  virtual int ListClientWidth() = 0;
  virtual int VerticalScrollBarWidth() = 0;
  virtual bool ListInsertColumn(int index, const std::string& title, int width) = 0;
  virtual int ListColumnCount() = 0;
  virtual int ListColumnWidth(int index) = 0;
  // Full-row selection and check boxes in the rows.
  virtual void ListSetStyle(bool fullRowSelect, bool checkBoxes) = 0;
  virtual void ListDeleteAllRows() = 0;
  // Appends a row with its item data and image; returns its index (-1 on failure).
  virtual int ListAppendRow(LPARAM data, int image) = 0;
  virtual void ListSetCell(int row, int column, const std::string& text) = 0;
  virtual std::string ListCell(int row, int column) = 0;
  virtual int ListRowCount() = 0;
  virtual LPARAM ListRowData(int row) = 0;
  virtual int ListRowImage(int row) = 0;
  // Selected rows in row order.
  virtual std::vector<int> ListSelectedRows() = 0;
  // Clears every selection, selects and focuses the row and scrolls it into view.
  virtual void ListSelectOnly(int row) = 0;
  virtual void ListSetChecked(int row, bool checked) = 0;
  virtual bool ListChecked(int row) = 0;
  // Orders the rows by a comparison of their item data (negative: first before second).
  virtual void ListSort(const std::function<int(LPARAM, LPARAM)>& compare) = 0;
  // A fresh small-icon image list whose image 0 is the program's default icon; dropping it
  // frees it. Icons are appended: from a file by index (-1 when the file has none) or from
  // the program's own icon resources (-1 when there is no such icon).
  virtual void ListNewImageList() = 0;
  virtual void ListDropImageList() = 0;
  virtual int ListAddFileIcon(const std::string& file, int index) = 0;
  virtual int ListAddResourceIcon(int icon) = 0;

  // --- the page's other controls ---
  virtual bool HasControl(int id) = 0;
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual std::string ControlText(int id) = 0;
  virtual void ShowControl(int id, bool show) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual bool IsControlVisible(int id) = 0;
  virtual bool IsControlEnabled(int id) = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) = 0;
  // A picture button: its normal, hover and pressed bitmaps; a click sends its own id as a
  // command to the page. Clearing takes the properties away again.
  virtual void SetPictureButton(int id, int normal, int hover, int pressed) = 0;
  virtual void ClearPictureButton(int id) = 0;

  // --- tooltips: one per control, all destroyed together ---
  virtual bool AddTooltip(int controlId, const std::string& text, bool balloon) = 0;
  virtual void DestroyTooltips() = 0;
  virtual int TooltipCount() = 0;

  // --- the sheet around the page ---
  // Removes the context-help button, hides and disables OK and captions Cancel.
  virtual void PrepareSheetButtons(const std::string& closeCaption) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual std::string StatusText() = 0;
  virtual void SetWaitCursor(bool wait) = 0;
  virtual void SaveSheetGeometry() = 0;
  // Lays the page out for its current size (message 6049).
  virtual void LayOutPage() = 0;
  // Closes the tab window (the page's own Close button).
  virtual void CloseSheet() = 0;
  // Posts WM_CLOSE to the hidden main window: the program ends.
  virtual void PostCloseToMain() = 0;

  // --- menus, questions and the program's own dialogs ---
  // Shows a pop-up menu at the cursor; returns the chosen command, 0 when none was chosen.
  virtual int TrackMenu(const std::vector<MenuItem>& items) = 0;
  // A modal message box; returns the answer (kIdOk, kIdYes, kIdNo ...).
  virtual int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) = 0;
  // The message dialog (resource 184): title and text, OK or Cancel.
  virtual int ShowMessageDialog(const std::string& title, const std::string& text) = 0;
  virtual std::string ChooseOpenFile(const OpenFileRequest& request) = 0;
  // The caption of the tab window (of the dialog, for a dialog's host).
  virtual std::string WindowCaption() = 0;
  virtual void SetWindowCaption(const std::string& caption) = 0;

  // --- the program's dialogs with behaviour ---
  // Runs dialog resource `dialog` modally over this page or dialog, with `view` as its view
  // (the view gets its own host for the dialog's controls); returns the dialog's result, the
  // value its view passed to EndDialog (0 when the dialog could not be shown).
  virtual int RunDialog(int dialog, Page& view) = 0;
  // Ends the dialog this host shows, with its result (a dialog's view calls it).
  virtual void EndDialog(int result) = 0;
  // The rectangle of the dialog this host shows, in screen pixels (left, top, width, height);
  // false when there is no dialog window. A dialog that keeps its place reads it on closing.
  virtual bool DialogRect(int* /*left*/, int* /*top*/, int* /*width*/, int* /*height*/) {
    return false;
  }
  // Moves the dialog (and sizes it when resize is set) without activating it.
  virtual void PlaceDialog(int /*left*/, int /*top*/, int /*width*/, int /*height*/,
                           bool /*resize*/) {}
};

// A page or dialog with behaviour. The host calls these in the order the windowing system
// delivers them; a page keeps no window handles of its own.
class Page {
 public:
  explicit Page(int command) : command_(command) {}
  virtual ~Page() = default;
  int command() const { return command_; }

  virtual void OnInit(PageHost&) {}
  virtual void OnActivate(PageHost&) {}
  virtual void OnDeactivate(PageHost&) {}
  virtual void OnDestroy(PageHost&) {}
  // A button, menu entry, picture button or check box with its control identifier.
  virtual void OnCommand(PageHost&, int /*id*/) {}
  virtual void OnSelectionChanged(PageHost&) {}
  virtual void OnColumnClick(PageHost&, int /*column*/) {}
  virtual void OnDoubleClick(PageHost&) {}
  virtual void OnRightClick(PageHost&) {}
  // Enter in the list (the default button's command).
  virtual void OnReturn(PageHost& host) { OnCommand(host, kIdOk); }
  // A row's check box changed.
  virtual void OnItemChecked(PageHost&, int /*row*/) {}

 private:
  int command_;
};

}  // namespace ui
