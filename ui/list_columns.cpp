#include "ui/list_columns.h"

#include <cstdio>

#include "platform/text.h"
#include "settings/options.h"

namespace ui {

namespace {

bool g_descending[kMaxColumns] = {};

struct SortOption {
  int tab;
  const char* name;
};
const SortOption kSortOptions[] = {
    {6026, "SortStartup"},       {6055, "SortPrograms"},     {6040, "SortIEHelper"},
    {6039, "SortScheduledTask"}, {6038, "SortService"},      {6029, "SortActiveTask"},
    {6028, "SortCookie"},        {6042, "SortFileType"},     {6052, "SortHidden"},
    {6060, "SortRecent"},        {6056, "SortActiveX"},      {6061, "SortRegOptions"},
    {6041, "SortHistory"},
};

// Shares of the list's width per tab and column; a negative share means the width less the
// vertical scroll bar, times the share's size.
struct Fractions {
  int tab;
  double share[8];
};
const Fractions kFractions[] = {
    {6026, {0.20, 0.32, 0.13, 0.12, 0.11, 0.10}},
    {6042, {0.30, 0.17, 0.20, 0.12, 0.08, 0.10}},
    {6055, {0.26, 0.14, 0.12, 0.16, 0.18}},
    {6056, {0.30, 0.20, 0.20, 0.10, 0.19, 0.25}},
    {6060, {0.30, 0.18, 0.18, 0.12, 0.21}},
    {6052, {0.23, 0.30, 0.20, 0.20, 0.12}},
    {6061, {0.25, 0.50, 0.15, 0.10}},
    {6028, {-0.35}},
    {6029, {0.25, 0.45, 0.15, 0.15}},
    {6038, {0.25, 0.35, 0.12, 0.12, 0.16}},
    {6039, {0.25, 0.35, 0.15, 0.15, 0.10}},
    {6040, {0.25, 0.35, 0.20, 0.20}},
    {6041, {0.18, 0.16, 0.22, 0.44}},
};

std::string WidthName(int tab, int column) {
  char name[32];
  std::snprintf(name, sizeof name, "Column%d%d", tab, column);
  return name;
}

}  // namespace

int ColumnWidth(int tab, int column, int listWidth, int scrollBarWidth) {
  int saved = settings::GetOption(WidthName(tab, column).c_str(), 0);
  if (saved > 0) return saved;
  double share = 0.15;
  for (const auto& f : kFractions)
    if (f.tab == tab && column >= 0 && column < 8 && f.share[column] != 0) share = f.share[column];
  int base = share < 0 ? listWidth - scrollBarWidth : listWidth;
  int width = static_cast<int>((share < 0 ? -share : share) * base);
  return width > 0 ? width : 0;
}

void SaveColumnWidth(int tab, int column, int width) {
  settings::SetOption(WidthName(tab, column).c_str(), width);
}

bool ColumnDescending(int column) {
  return column >= 0 && column < kMaxColumns && g_descending[column];
}

void SetColumnDescending(int column, bool descending) {
  if (column >= 0 && column < kMaxColumns) g_descending[column] = descending;
}

void ResetColumnDirections() {
  for (bool& d : g_descending) d = false;
}

int CompareCells(const std::string& a, const std::string& b, int column) {
  constexpr size_t kMaxCell = 1014;
  if (a.size() > kMaxCell || b.size() > kMaxCell) return 0;
  return ColumnDescending(column) ? text::CompareNoCase(b, a) : text::CompareNoCase(a, b);
}

void ColumnClicked(int tab, int column) {
  SetColumnDescending(column, !ColumnDescending(column));
  if (const char* name = SortOptionName(tab)) settings::SetOption(name, column + 1);
}

int SavedSortColumn(int tab) {
  const char* name = SortOptionName(tab);
  int saved = name ? settings::GetOption(name, 0) : 0;
  return saved > 0 ? saved - 1 : -1;
}

const char* SortOptionName(int tab) {
  for (const auto& s : kSortOptions)
    if (s.tab == tab) return s.name;
  return nullptr;
}

}  // namespace ui
