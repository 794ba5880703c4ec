// The list toolkit every tab shares, written against the page host: columns with saved widths,
// row icons with their fall-backs, selection, sorting by a clicked column, the pop-up menu of a
// row, the message box, the message dialog and the file shown in the status bar.
#pragma once
#include <functional>
#include <string>

#include "ui/page_host.h"

namespace ui {

// Compares the records behind two rows for a column (negative: first before second).
using RowCompare = std::function<int(LPARAM, LPARAM, int column)>;

// Adds a column with its saved width or its share of the list.
bool InsertListColumn(PageHost& host, const std::string& title, int tab, int column);
// Writes Column<tab><i> for every column of the list.
void SaveColumnWidths(PageHost& host, int tab);

// A fresh image list (image 0 is the default icon) and a row icon: the icon of the command's
// program file, else the tab's own icon, else icon 115.
void CreateRowImageList(PageHost& host);
int AddProgramIcon(PageHost& host, const std::string& command, int iconIndex, int tab);
// The tab's icon for rows without one of their own (0 for a tab without one).
int TabRowIcon(int tab);
inline constexpr int kFallbackRowIcon = 115;

// Item data of the first selected row (-1 when none), the first selected row (-1 when none).
LPARAM GetSelectedItemData(PageHost& host);
int GetSelectedRow(PageHost& host);
void SelectOnlyRow(PageHost& host, int row);

// A click on a column header: sorts by it, turns its direction and saves it as the tab's sort.
void SortByColumn(PageHost& host, int tab, int column, const RowCompare& compare);
// After a fill: sorts by the tab's saved column (with that column's current direction).
// Then full-row selection is switched on (check boxes kept for a list that has them).
void ApplySavedSort(PageHost& host, int tab, const RowCompare& compare, bool checkBoxes = false);

// The message box of a language string: caption "Tallowick Help", OK, question icon, top-most.
int ShowMessageBox(PageHost& host, int string);
// The message dialog: a message string (0: the free message text) under a title string (0: the
// window's caption); the text also goes to the diagnostics log as "Tallowick Message".
int ShowMessageDialog(PageHost& host, int message, int title);
// The free message text shown by ShowMessageDialog(host, 0, ...).
void SetFreeMessage(const std::string& text);

// The file description of a run item's program file, or its path, in the status bar.
void ShowFileInStatusBar(PageHost& host, int runIndex);

// The pop-up menu of the selected row of a tab; returns the chosen command (0: none, also when
// no row is selected). The caller sends it to the page as a command.
int ShowRowMenu(PageHost& host, int tab);

}  // namespace ui
