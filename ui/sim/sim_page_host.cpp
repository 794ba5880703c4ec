#include "ui/sim/sim_page_host.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/page_protocol.h"
#include "app/tab_pages.h"
#include "platform/text.h"

namespace uisim {

std::string SimPageHost::Cell(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows.size())) return {};
  const Row& r = rows[row];
  return column >= 0 && column < static_cast<int>(r.cells.size()) ? r.cells[column] : std::string();
}

std::vector<std::string> SimPageHost::RowCells(int row) const {
  std::vector<std::string> cells;
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) cells.push_back(Cell(row, c));
  return cells;
}

int SimPageHost::ColumnIndex(const std::string& title) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].title == title) return static_cast<int>(i);
  return -1;
}

bool SimPageHost::ListInsertColumn(int index, const std::string& title, int width) {
  if (!hasList || index < 0) return false;
  size_t at = std::min(static_cast<size_t>(index), columns.size());
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), Column{title, width});
  return true;
}

int SimPageHost::ListColumnWidth(int index) {
  return index >= 0 && index < static_cast<int>(columns.size()) ? columns[index].width : 0;
}

void SimPageHost::ListSetStyle(bool fullRow, bool checks) {
  fullRowSelect = fullRow;
  checkBoxes = checks;
}

int SimPageHost::ListAppendRow(LPARAM data, int image) {
  if (!hasList) return -1;
  Row r;
  r.data = data;
  r.image = image;
  rows.push_back(r);
  return static_cast<int>(rows.size()) - 1;
}

void SimPageHost::ListSetCell(int row, int column, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0) return;
  auto& cells = rows[row].cells;
  if (static_cast<int>(cells.size()) <= column) cells.resize(column + 1);
  cells[column] = text;
}

LPARAM SimPageHost::ListRowData(int row) {
  return row >= 0 && row < static_cast<int>(rows.size()) ? rows[row].data : -1;
}

int SimPageHost::ListRowImage(int row) {
  return row >= 0 && row < static_cast<int>(rows.size()) ? rows[row].image : -1;
}

std::vector<int> SimPageHost::ListSelectedRows() {
  std::vector<int> selected;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].selected) selected.push_back(static_cast<int>(i));
  return selected;
}

void SimPageHost::ListSelectOnly(int row) {
  for (size_t i = 0; i < rows.size(); ++i) rows[i].selected = static_cast<int>(i) == row;
}

void SimPageHost::ListSetChecked(int row, bool checked) {
  if (row >= 0 && row < static_cast<int>(rows.size())) rows[row].checked = checked;
}

bool SimPageHost::ListChecked(int row) {
  return row >= 0 && row < static_cast<int>(rows.size()) && rows[row].checked;
}

void SimPageHost::ListSort(const std::function<int(LPARAM, LPARAM)>& compare) {
  ++sortCount;
  std::stable_sort(rows.begin(), rows.end(),
                   [&](const Row& a, const Row& b) { return compare(a.data, b.data) < 0; });
}

void SimPageHost::ListNewImageList() {
  imageListOpen = true;
  images = {"default"};
}

void SimPageHost::ListDropImageList() {
  imageListOpen = false;
  images.clear();
}

int SimPageHost::ListAddFileIcon(const std::string& file, int index) {
  if (!imageListOpen || filesWithoutIcons.count(text::UpperAnsi(file))) return -1;
  images.push_back("file:" + file + "," + std::to_string(index));
  return static_cast<int>(images.size()) - 1;
}

int SimPageHost::ListAddResourceIcon(int icon) {
  if (!imageListOpen || !iconResources.count(icon)) return -1;
  images.push_back("icon:" + std::to_string(icon));
  return static_cast<int>(images.size()) - 1;
}

bool SimPageHost::HasControl(int id) {
  if (id == 1000) return hasList;
  return controlIds.empty() || controlIds.count(id) != 0;
}

void SimPageHost::SetPictureButton(int id, int normal, int hover, int pressed) {
  Control& c = Ctl(id);
  c.normal = normal;
  c.hover = hover;
  c.pressed = pressed;
}

void SimPageHost::ClearPictureButton(int id) {
  auto it = controls.find(id);
  if (it == controls.end()) return;
  it->second.normal = it->second.hover = it->second.pressed = 0;
}

bool SimPageHost::AddTooltip(int controlId, const std::string& text, bool balloon) {
  if (!HasControl(controlId)) return false;
  tooltips[controlId] = {text, balloon};
  return true;
}

void SimPageHost::PrepareSheetButtons(const std::string& closeCaptionText) {
  closeCaption = closeCaptionText;
  okHidden = true;
}

void SimPageHost::SetWaitCursor(bool wait) {
  if (wait) {
    ++waitCursorDepth;
    ++waitCursorShown;
  } else if (waitCursorDepth > 0) {
    --waitCursorDepth;
  }
}

void SimPageHost::SaveSheetGeometry() {
  ++geometrySaves;
  if (saveGeometry) saveGeometry();
}

int SimPageHost::TrackMenu(const std::vector<ui::MenuItem>& items) {
  menus.push_back(items);
  return onMenu ? onMenu(items) : 0;
}

int SimPageHost::ShowMessageBox(const std::string& text, const std::string& captionText,
                                unsigned style) {
  int answer = (style & 0xF) == ui::kMbYesNo ? ui::kIdNo : ui::kIdOk;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  questions.push_back({text, captionText, style, answer});
  return answer;
}

int SimPageHost::ShowMessageDialog(const std::string& title, const std::string& text) {
  messageDialogs.emplace_back(title, text);
  return ui::kIdOk;
}

std::string SimPageHost::ChooseOpenFile(const ui::OpenFileRequest& request) {
  openFileRequests.push_back(request);
  if (openFileAnswers.empty()) return {};
  std::string path = openFileAnswers.front();
  openFileAnswers.pop_front();
  return path;
}

bool SimPageHost::DialogRect(int* left, int* top, int* width, int* height) {
  if (!dialogRect) return false;
  *left = dialogRect->left;
  *top = dialogRect->top;
  *width = dialogRect->width;
  *height = dialogRect->height;
  return true;
}

void SimPageHost::PlaceDialog(int left, int top, int width, int height, bool resize) {
  if (!dialogRect) return;
  dialogRect->left = left;
  dialogRect->top = top;
  if (resize) {
    dialogRect->width = width;
    dialogRect->height = height;
  }
}

int SimPageHost::RunDialog(int dialog, ui::Page& view) {
  SimPageHost dialogHost;
  dialogHost.caption.clear();
  dialogHost.dialogRect = app::WindowRect{200, 150, 520, 360};
  view.OnInit(dialogHost);
  if (onDialog) onDialog(dialog, dialogHost, view);
  view.OnDestroy(dialogHost);
  lastDialogControls = dialogHost.controls;
  lastDialogCaption = dialogHost.caption;
  int result = dialogHost.endResult.value_or(0);
  dialogs.push_back({dialog, result});
  return result;
}

// --- the sheet ---

void SimSheet::Open(int command, bool ntPlatform) {
  if (open_) return;
  pages_.clear();
  for (const app::TabPage& p : app::PagesFor(ntPlatform)) {
    PageSlot slot;
    slot.command = p.command;
    slot.view = app::CreateTabPage(p.command);
    slot.host = std::make_unique<SimPageHost>();
    SimPageHost* h = slot.host.get();
    h->saveGeometry = [this] {
      if (open_) app::SaveWindowGeometry(app::kSheetGeometry, rect);
    };
    h->closeToMain = [this] {
      if (closeToMain) closeToMain();
    };
    pages_.push_back(std::move(slot));
  }
  for (PageSlot& slot : pages_)
    if (onHostMade) onHostMade(slot.command, *slot.host);
  app::State().currentTab = 1;
  app::State().sheetClosing = false;
  open_ = true;
  geometryRestored_ = false;
  std::vector<app::TabPage> pages = app::PagesFor(ntPlatform);
  current_ = app::StartPageIndex(pages, command);
  Create(pages_[current_]);
  pages_[current_].view->OnActivate(*pages_[current_].host);
}

void SimSheet::Create(PageSlot& slot) {
  slot.view->OnInit(*slot.host);
  slot.created = true;
  if (!geometryRestored_) {
    // The first page created brings the sheet back where the user left it.
    geometryRestored_ = true;
    app::Placement place = app::RestoreWindowGeometry(app::kSheetGeometry, rect.width, rect.height);
    if (place.resize) {
      rect = place.rect;
    } else {
      rect.left = place.rect.left;
      rect.top = place.rect.top;
    }
  }
}

void SimSheet::Select(int command) {
  if (!open_) return;
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i].command != command) continue;
    if (static_cast<int>(i) == current_) return;
    pages_[current_].view->OnDeactivate(*pages_[current_].host);
    current_ = static_cast<int>(i);
    if (!pages_[i].created) Create(pages_[i]);
    pages_[i].view->OnActivate(*pages_[i].host);
    return;
  }
}

void SimSheet::Close() {
  if (!open_) return;
  for (PageSlot& slot : pages_)
    if (slot.created) slot.view->OnDestroy(*slot.host);
  app::State().currentTab = 0;
  app::State().sheetClosing = false;
  open_ = false;
  current_ = -1;
}

int SimSheet::currentCommand() const { return current_ >= 0 ? pages_[current_].command : 0; }

SimSheet::PageSlot* SimSheet::Slot(int command) {
  for (PageSlot& slot : pages_)
    if (slot.command == command) return &slot;
  return nullptr;
}

SimPageHost& SimSheet::host(int command) { return *Slot(command)->host; }
ui::Page& SimSheet::view(int command) { return *Slot(command)->view; }

std::vector<int> SimSheet::commands() const {
  std::vector<int> list;
  for (const PageSlot& slot : pages_) list.push_back(slot.command);
  return list;
}

SimPageHost& SimSheet::current() { return *pages_[current_].host; }

void SimSheet::Press(int id) { pages_[current_].view->OnCommand(current(), id); }
void SimSheet::Tick(int id, bool checked) {
  current().SetChecked(id, checked);
  Press(id);
}

void SimSheet::PressEnter() { pages_[current_].view->OnReturn(current()); }
void SimSheet::ClickColumn(int column) { pages_[current_].view->OnColumnClick(current(), column); }

void SimSheet::SelectRows(const std::vector<int>& rowsToSelect) {
  SimPageHost& h = current();
  for (auto& r : h.rows) r.selected = false;
  for (int r : rowsToSelect)
    if (r >= 0 && r < static_cast<int>(h.rows.size())) h.rows[r].selected = true;
  pages_[current_].view->OnSelectionChanged(h);
}

void SimSheet::DoubleClick(int row) {
  SelectRows({row});
  pages_[current_].view->OnDoubleClick(current());
}

void SimSheet::RightClick(int row) {
  SelectRows({row});
  pages_[current_].view->OnRightClick(current());
}

void SimSheet::CheckRow(int row, bool checked) {
  current().ListSetChecked(row, checked);
  pages_[current_].view->OnItemChecked(current(), row);
}

}  // namespace uisim
