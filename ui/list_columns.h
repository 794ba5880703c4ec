// What every list shares: column widths (saved per tab or a fraction of the list), the sort
// direction flags of the columns and the saved sort column of each tab.
#pragma once
#include <string>

namespace ui {

inline constexpr int kMaxColumns = 16;

// The saved width of a column (Column<tab><index>), or its share of the list's width.
int ColumnWidth(int tab, int column, int listWidth, int scrollBarWidth);
void SaveColumnWidth(int tab, int column, int width);

// The process-wide direction flags, one per column (false = ascending), shared by all lists.
bool ColumnDescending(int column);
void SetColumnDescending(int column, bool descending);
void ResetColumnDirections();

// Compares two cell texts of a column for the list's sort: case-insensitive, swapped when the
// column sorts descending; texts longer than 1014 characters compare as equal.
int CompareCells(const std::string& a, const std::string& b, int column);

// After a click on a column: the column's direction turns and the tab remembers the column.
void ColumnClicked(int tab, int column);
// The column a tab sorts by when it fills its list; -1 when it is unsorted.
int SavedSortColumn(int tab);
// The option that holds a tab's sort column ("SortStartup" ...), nullptr for none.
const char* SortOptionName(int tab);

}  // namespace ui
