// The real page host: a tab page (or a dialog with behaviour) and its controls, the list view
// 1000 with its image list, the picture buttons, the tooltips, and the tab window around it.
// One host is bound to one page or dialog window for as long as that window lives; what it
// made (image list, tooltips) goes with it.
#pragma once
#include "platform/wintypes.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/page_host.h"
#include "ui/win32/owner_buttons.h"
#include "ui/win32/picture_buttons.h"
#include "ui/win32/row_images.h"

namespace uiwin {

class Win32PageHost final : public ui::PageHost {
 public:
  // A page of the tab window (its parent is the sheet) or a dialog of the program.
  enum class Kind { Page, Dialog };
  Win32PageHost(HWND window, Kind kind);
  ~Win32PageHost() override;
  Win32PageHost(const Win32PageHost&) = delete;
  Win32PageHost& operator=(const Win32PageHost&) = delete;

  HWND window() const { return window_; }
  // True while the host itself changes the list: the list's notifications of that change are
  // not the user's and are not passed to the view.
  bool changingList() const { return changingList_ > 0; }
  // The page's mouse messages, for its picture buttons.
  void OnMouse(UINT message, LPARAM lParam) { pictures_.OnMouse(window_, message, lParam); }
  // The owner-drawn buttons: WM_DRAWITEM (true when drawn) and the control under the mouse
  // (WM_SETCURSOR).
  bool DrawOwnerButton(const DRAWITEMSTRUCT& item) const { return ownerButtons_.Draw(item); }
  void MouseOverControl(HWND control) { ownerButtons_.MouseOver(window_, control); }
  // The result EndDialog was given, and whether it was called.
  bool dialogEnded() const { return dialogEnded_; }

  // --- ui::PageHost ---
  bool HasList() override;
  int ListClientWidth() override;
  int VerticalScrollBarWidth() override;
  bool ListInsertColumn(int index, const std::string& title, int width) override;
  int ListColumnCount() override;
  int ListColumnWidth(int index) override;
  void ListSetStyle(bool fullRowSelect, bool checkBoxes) override;
  void ListDeleteAllRows() override;
  int ListAppendRow(LPARAM data, int image) override;
  void ListSetCell(int row, int column, const std::string& text) override;
  std::string ListCell(int row, int column) override;
  int ListRowCount() override;
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
  void SetControlText(int id, const std::string& text) override;
  std::string ControlText(int id) override;
  void ShowControl(int id, bool show) override;
  void EnableControl(int id, bool enable) override;
  bool IsControlVisible(int id) override;
  bool IsControlEnabled(int id) override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) override;
  void SetPictureButton(int id, int normal, int hover, int pressed) override;
  void ClearPictureButton(int id) override;

  bool AddTooltip(int controlId, const std::string& text, bool balloon) override;
  void DestroyTooltips() override;
  int TooltipCount() override;

  void PrepareSheetButtons(const std::string& closeCaption) override;
  void SetStatusText(const std::string& text) override;
  std::string StatusText() override;
  void SetWaitCursor(bool wait) override;
  void SaveSheetGeometry() override;
  void LayOutPage() override;
  void CloseSheet() override;
  void PostCloseToMain() override;

  int TrackMenu(const std::vector<ui::MenuItem>& items) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int ShowMessageDialog(const std::string& title, const std::string& text) override;
  std::string ChooseOpenFile(const ui::OpenFileRequest& request) override;
  std::string WindowCaption() override;
  void SetWindowCaption(const std::string& caption) override;

  int RunDialog(int dialog, ui::Page& view) override;
  void EndDialog(int result) override;
  bool DialogRect(int* left, int* top, int* width, int* height) override;
  void PlaceDialog(int left, int top, int width, int height, bool resize) override;

 private:
  HWND List();
  // The tab window: the page's parent, or for a dialog the open sheet (nullptr when none).
  HWND Sheet();
  HWND StatusBar();

  // Counts the host's own changes of the list (nested calls allowed).
  class ListChange {
   public:
    explicit ListChange(Win32PageHost& host) : host_(host) { ++host_.changingList_; }
    ~ListChange() { --host_.changingList_; }
    ListChange(const ListChange&) = delete;
    ListChange& operator=(const ListChange&) = delete;

   private:
    Win32PageHost& host_;
  };

  HWND window_;
  Kind kind_;
  int changingList_ = 0;
  bool dialogEnded_ = false;
  RowImageList images_;
  PictureButtons pictures_;
  OwnerButtons ownerButtons_;
  std::vector<HWND> tooltips_;
};

// The program's own module, whose resources the hosts load.
HINSTANCE ProgramInstance();

}  // namespace uiwin
