#include "records/history_view.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "app/window_geometry.h"
#include "records/history.h"
#include "settings/language.h"
#include "startup/run_list.h"
#include "ui/help_pages.h"
#include "ui/list_columns.h"
#include "ui/list_view.h"

namespace records {

namespace {

constexpr int kCaptionString = 712, kTextString = 710;
constexpr int kRestoreString = 717, kClearFileString = 711, kCloseString = 304;
// The columns: title, action, type (under the caption "Command") and date.
constexpr int kColumnStrings[] = {627, 715, 628, 713};
constexpr int kDateColumn = 3;
constexpr int kLastSortColumn = 4;
constexpr int kHelpCommand = 1077;

std::string CellText(int index, int column) {
  switch (column) {
    case 0:
      return startup::RunTitle(index);
    case 1: {
      const char* name = HistoryActionName(startup::GetRunAux(index));
      return name ? name : "";
    }
    case 2:
      return HistoryTypeName(startup::GetRunLocation(index));
    case kDateColumn:
      return startup::RunDetail(index);
    default:
      return {};
  }
}

int CompareRows(LPARAM a, LPARAM b, int column) {
  int ia = static_cast<int>(a), ib = static_cast<int>(b);
  if (column == kDateColumn)
    return ui::CompareCells(HistoryDateSortKey(CellText(ia, column)),
                            HistoryDateSortKey(CellText(ib, column)), column);
  return ui::CompareCells(CellText(ia, column), CellText(ib, column), column);
}

}  // namespace

std::string HistoryDateSortKey(const std::string& date) {
  unsigned month = 0, day = 0, year = 0, hour = 0, minute = 0;
  char half[3] = {};
  if (std::sscanf(date.c_str(), "%2u/%2u/%4u %2u:%2u %2s", &month, &day, &year, &hour, &minute,
                  half) != 6 ||
      hour < 1 || hour > 12 || (std::strcmp(half, "AM") != 0 && std::strcmp(half, "PM") != 0))
    return date;
  hour %= 12;
  if (half[0] == 'P') hour += 12;
  char key[32];
  std::snprintf(key, sizeof key, "%04u%02u%02u%02u%02u", year, month, day, hour, minute);
  return key;
}

int ShowHistoryWindow(ui::PageHost& host) {
  HistoryView view;
  return host.RunDialog(kHistoryDialog, view);
}

void HistoryView::OnInit(ui::PageHost& host) {
  app::WindowRect rect;
  if (host.DialogRect(&rect.left, &rect.top, &rect.width, &rect.height)) {
    app::Placement p = app::RestoreWindowGeometry(app::kHistoryGeometry, rect.width, rect.height);
    host.PlaceDialog(p.rect.left, p.rect.top, p.rect.width, p.rect.height, p.resize);
  }
  host.SetWindowCaption(settings::LangString(kCaptionString));
  if (host.HasControl(kHistoryTextId)) host.SetControlText(kHistoryTextId, settings::LangString(kTextString));
  host.SetControlText(kHistoryRestoreId, settings::LangString(kRestoreString));
  host.SetControlText(kHistoryClearFileId, settings::LangString(kClearFileString));
  host.SetControlText(kHistoryCloseId, settings::LangString(kCloseString));
  for (int c = 0; c < static_cast<int>(std::size(kColumnStrings)); ++c)
    ui::InsertListColumn(host, settings::LangString(kColumnStrings[c]), kHistoryTab, c);
  Fill(host);
}

void HistoryView::Fill(ui::PageHost& host) {
  host.ListDeleteAllRows();
  host.ListDropImageList();
  ui::CreateRowImageList(host);
  int count = ReadHistory();
  for (int i = 0; i < count; ++i) {
    int image = ui::AddProgramIcon(host, startup::RunPath(i), 0, kHistoryTab);
    int row = host.ListAppendRow(i, image);
    if (row < 0) continue;
    for (int c = 0; c < static_cast<int>(std::size(kColumnStrings)); ++c)
      host.ListSetCell(row, c, CellText(i, c));
  }
  ui::ApplySavedSort(host, kHistoryTab, CompareRows);
  // The newest events are at the end.
  if (int rows = host.ListRowCount(); rows > 0) ui::SelectOnlyRow(host, rows - 1);
  UpdateRestore(host);
}

void HistoryView::UpdateRestore(ui::PageHost& host) {
  LPARAM data = ui::GetSelectedItemData(host);
  host.EnableControl(kHistoryRestoreId, data >= 0 && IsHistoryRestorable(static_cast<int>(data)));
}

void HistoryView::Restore(ui::PageHost& host, bool onlyRestorable) {
  LPARAM data = ui::GetSelectedItemData(host);
  if (data < 0) return;
  int index = static_cast<int>(data);
  if (onlyRestorable && !IsHistoryRestorable(index)) return;
  RestoreHistoryItem(index);
  Fill(host);
}

void HistoryView::Close(ui::PageHost& host, int result) {
  app::WindowRect rect;
  if (host.DialogRect(&rect.left, &rect.top, &rect.width, &rect.height))
    app::SaveWindowGeometry(app::kHistoryGeometry, rect);
  host.EndDialog(result);
}

void HistoryView::OnCommand(ui::PageHost& host, int id) {
  switch (id) {
    case kHistoryRestoreId:
      // The menu's Restore comes here too, whatever the button's state: it restores only
      // what the button would.
      Restore(host, true);
      return;
    case kHistoryClearFileId:
      ClearHistoryFile();
      Fill(host);
      return;
    case kHistoryCloseId:
    case ui::kIdCancel:
      Close(host, id);
      return;
    case kHelpCommand:
      ui::OpenHelpPage(kHistoryTab);
      return;
    default:
      return;
  }
}

void HistoryView::OnSelectionChanged(ui::PageHost& host) { UpdateRestore(host); }

void HistoryView::OnColumnClick(ui::PageHost& host, int column) {
  if (column < 0 || column > kLastSortColumn) return;
  ui::SortByColumn(host, kHistoryTab, column, CompareRows);
}

// A double click reverses the row's event without the restorable test, so a disable, an
// enable or a browser helper removal is undone from here only.
void HistoryView::OnDoubleClick(ui::PageHost& host) { Restore(host, false); }

void HistoryView::OnRightClick(ui::PageHost& host) {
  if (int command = ui::ShowRowMenu(host, kHistoryTab)) OnCommand(host, command);
}

void HistoryView::OnDestroy(ui::PageHost& host) {
  host.ListDropImageList();
  startup::ClearRunList();
}

}  // namespace records
