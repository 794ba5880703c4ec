#include "ui/win32/win32_page_host.h"

#include <prsht.h>

#include "settings/language.h"
#include "ui/win32/page_dialogs.h"
#include "ui/win32/page_layout.h"
#include "ui/win32/page_tooltips.h"
#include "ui/win32/tab_window.h"
#include "ui/win32/win32_main_host.h"

namespace uiwin {

namespace {

constexpr int kListId = 1000;

// ListView_SortItems hands the item data of two rows to a plain function; the comparison
// travels in its context argument.
int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM context) {
  const auto& compare = *reinterpret_cast<const std::function<int(LPARAM, LPARAM)>*>(context);
  return compare(first, second);
}

std::string WindowText(HWND window) {
  if (!window) return std::string();
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

}  // namespace

HINSTANCE ProgramInstance() { return GetModuleHandleA(nullptr); }

Win32PageHost::Win32PageHost(HWND window, Kind kind) : window_(window), kind_(kind) {}

Win32PageHost::~Win32PageHost() {
  DestroyTooltips();
  images_.Drop();
}

HWND Win32PageHost::List() { return GetDlgItem(window_, kListId); }

HWND Win32PageHost::Sheet() {
  if (kind_ == Kind::Page) return GetParent(window_);
  return CurrentSheet();
}

HWND Win32PageHost::StatusBar() {
  HWND sheet = Sheet();
  return sheet ? GetDlgItem(sheet, kStatusBarId) : nullptr;
}

// --- the list view ---

bool Win32PageHost::HasList() { return List() != nullptr; }

int Win32PageHost::ListClientWidth() {
  RECT r = {};
  HWND list = List();
  return list && GetClientRect(list, &r) ? r.right - r.left : 0;
}

int Win32PageHost::VerticalScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

bool Win32PageHost::ListInsertColumn(int index, const std::string& title, int width) {
  HWND list = List();
  if (!list) return false;
  std::string text = title;
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = text.data();
  column.cx = width;
  column.iSubItem = index;
  return SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) >= 0;
}

int Win32PageHost::ListColumnCount() {
  HWND list = List();
  HWND header = list ? ListView_GetHeader(list) : nullptr;
  return header ? Header_GetItemCount(header) : 0;
}

int Win32PageHost::ListColumnWidth(int index) {
  HWND list = List();
  return list ? ListView_GetColumnWidth(list, index) : 0;
}

void Win32PageHost::ListSetStyle(bool fullRowSelect, bool checkBoxes) {
  HWND list = List();
  if (!list) return;
  ListChange change(*this);
  DWORD flags = (fullRowSelect ? LVS_EX_FULLROWSELECT : 0) | (checkBoxes ? LVS_EX_CHECKBOXES : 0);
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES, flags);
}

void Win32PageHost::ListDeleteAllRows() {
  HWND list = List();
  if (!list) return;
  ListChange change(*this);
  ListView_DeleteAllItems(list);
}

int Win32PageHost::ListAppendRow(LPARAM data, int image) {
  HWND list = List();
  if (!list) return -1;
  ListChange change(*this);
  char empty[1] = {};
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = ListView_GetItemCount(list);
  item.pszText = empty;
  item.lParam = data;
  item.iImage = image;
  return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32PageHost::ListSetCell(int row, int column, const std::string& text) {
  HWND list = List();
  if (!list) return;
  ListChange change(*this);
  std::string copy = text;
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = copy.data();
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

std::string Win32PageHost::ListCell(int row, int column) {
  HWND list = List();
  if (!list || row < 0) return std::string();
  // The list answers with as much as fits: the buffer grows until the text is shorter.
  for (size_t size = 1024; size <= 65536; size *= 4) {
    std::string text(size, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (length < static_cast<LRESULT>(size) - 1) {
      text.resize(static_cast<size_t>(length > 0 ? length : 0));
      return text;
    }
  }
  return std::string();
}

int Win32PageHost::ListRowCount() {
  HWND list = List();
  return list ? ListView_GetItemCount(list) : 0;
}

LPARAM Win32PageHost::ListRowData(int row) {
  HWND list = List();
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!list || !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.lParam;
}

int Win32PageHost::ListRowImage(int row) {
  HWND list = List();
  LVITEMA item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  if (!list || !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage;
}

std::vector<int> Win32PageHost::ListSelectedRows() {
  std::vector<int> rows;
  HWND list = List();
  if (!list) return rows;
  int count = ListView_GetItemCount(list);
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
       row >= 0 && static_cast<int>(rows.size()) < count;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED))
    rows.push_back(row);
  return rows;
}

void Win32PageHost::ListSelectOnly(int row) {
  HWND list = List();
  if (!list) return;
  ListChange change(*this);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row < 0 || row >= ListView_GetItemCount(list)) return;
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, row, FALSE);
}

void Win32PageHost::ListSetChecked(int row, bool checked) {
  HWND list = List();
  if (!list) return;
  ListChange change(*this);
  ListView_SetCheckState(list, row, checked ? TRUE : FALSE);
}

bool Win32PageHost::ListChecked(int row) {
  HWND list = List();
  return list && ListView_GetCheckState(list, row) != 0;
}

void Win32PageHost::ListSort(const std::function<int(LPARAM, LPARAM)>& compare) {
  HWND list = List();
  if (!list || !compare) return;
  ListChange change(*this);
  ListView_SortItems(list, CompareRows, reinterpret_cast<LPARAM>(&compare));
}

void Win32PageHost::ListNewImageList() { images_.Create(List(), ProgramInstance()); }

void Win32PageHost::ListDropImageList() { images_.Drop(); }

int Win32PageHost::ListAddFileIcon(const std::string& file, int index) {
  return images_.AddFileIcon(file, index);
}

int Win32PageHost::ListAddResourceIcon(int icon) {
  return images_.AddResourceIcon(ProgramInstance(), icon);
}

// --- the other controls ---

bool Win32PageHost::HasControl(int id) { return GetDlgItem(window_, id) != nullptr; }

void Win32PageHost::SetControlText(int id, const std::string& text) {
  SetDlgItemTextA(window_, id, text.c_str());
}

std::string Win32PageHost::ControlText(int id) { return WindowText(GetDlgItem(window_, id)); }

void Win32PageHost::ShowControl(int id, bool show) {
  if (HWND control = GetDlgItem(window_, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void Win32PageHost::EnableControl(int id, bool enable) {
  if (HWND control = GetDlgItem(window_, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

bool Win32PageHost::IsControlVisible(int id) {
  // The control's own state: a page that is not the current one hides all of its controls.
  HWND control = GetDlgItem(window_, id);
  return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Win32PageHost::IsControlEnabled(int id) {
  HWND control = GetDlgItem(window_, id);
  return control && IsWindowEnabled(control);
}

void Win32PageHost::SetChecked(int id, bool checked) {
  CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32PageHost::IsChecked(int id) { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void Win32PageHost::SetPictureButton(int id, int normal, int hover, int pressed) {
  SetPictureProperties(window_, id, normal, hover, pressed);
}

void Win32PageHost::ClearPictureButton(int id) {
  if (HWND control = GetDlgItem(window_, id)) pictures_.Forget(control);
  ClearPictureProperties(window_, id);
}

// --- tooltips ---

bool Win32PageHost::AddTooltip(int controlId, const std::string& text, bool balloon) {
  HWND tip = CreateControlTooltip(window_, GetDlgItem(window_, controlId), text, balloon);
  if (!tip) return false;
  tooltips_.push_back(tip);
  return true;
}

void Win32PageHost::DestroyTooltips() {
  for (HWND tip : tooltips_)
    if (IsWindow(tip)) DestroyWindow(tip);
  tooltips_.clear();
}

int Win32PageHost::TooltipCount() { return static_cast<int>(tooltips_.size()); }

// --- the sheet ---

void Win32PageHost::PrepareSheetButtons(const std::string& closeCaption) {
  HWND sheet = Sheet();
  if (!sheet) return;
  // The context-help button of the caption goes.
  LONG_PTR ex = GetWindowLongPtrA(sheet, GWL_EXSTYLE);
  if (ex & WS_EX_CONTEXTHELP) {
    SetWindowLongPtrA(sheet, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
    SetWindowPos(sheet, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  if (HWND ok = GetDlgItem(sheet, IDOK)) {
    ShowWindow(ok, SW_HIDE);
    EnableWindow(ok, FALSE);
  }
  SetDlgItemTextA(sheet, IDCANCEL, closeCaption.c_str());
}

void Win32PageHost::SetStatusText(const std::string& text) {
  if (HWND status = StatusBar())
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Win32PageHost::StatusText() {
  HWND status = StatusBar();
  if (!status) return std::string();
  int length = LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 0, 0));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void Win32PageHost::SetWaitCursor(bool wait) {
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(wait ? IDC_WAIT : IDC_ARROW)));
}

void Win32PageHost::SaveSheetGeometry() { uiwin::SaveSheetGeometry(); }

void Win32PageHost::LayOutPage() { LayOutPageWindow(window_); }

void Win32PageHost::CloseSheet() {
  if (HWND sheet = Sheet()) PropSheet_PressButton(sheet, PSBTN_CANCEL);
}

void Win32PageHost::PostCloseToMain() {
  if (HWND main = MainWindow()) PostMessageA(main, WM_CLOSE, 0, 0);
}

// --- menus, questions and dialogs ---

int Win32PageHost::TrackMenu(const std::vector<ui::MenuItem>& items) {
  return TrackPopupMenuAtCursor(window_, items);
}

int Win32PageHost::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  return MessageBoxExA(window_, text.c_str(), caption.c_str(), style, settings::LanguageId());
}

int Win32PageHost::ShowMessageDialog(const std::string& title, const std::string& text) {
  return RunMessageDialog(window_, title, text);
}

std::string Win32PageHost::ChooseOpenFile(const ui::OpenFileRequest& request) {
  return RunOpenFileDialog(window_, request);
}

std::string Win32PageHost::WindowCaption() {
  HWND captioned = kind_ == Kind::Page ? Sheet() : window_;
  return WindowText(captioned);
}

void Win32PageHost::SetWindowCaption(const std::string& caption) {
  HWND captioned = kind_ == Kind::Page ? Sheet() : window_;
  if (captioned) SetWindowTextA(captioned, caption.c_str());
}

int Win32PageHost::RunDialog(int dialog, ui::Page& view) { return RunViewDialog(window_, dialog, view); }

void Win32PageHost::EndDialog(int result) {
  if (kind_ != Kind::Dialog) return;
  ::EndDialog(window_, result);
  dialogEnded_ = true;
}

bool Win32PageHost::DialogRect(int* left, int* top, int* width, int* height) {
  RECT r = {};
  if (kind_ != Kind::Dialog || !GetWindowRect(window_, &r)) return false;
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return true;
}

void Win32PageHost::PlaceDialog(int left, int top, int width, int height, bool resize) {
  if (kind_ != Kind::Dialog) return;
  SetWindowPos(window_, nullptr, left, top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | (resize ? 0 : SWP_NOSIZE));
}

}  // namespace uiwin
