// The right-click menu of every list: the tab's own entries, then the shared tail. Each entry
// sends its command identifier to the page, so it does what the page's button does.
#pragma once
#include <vector>

namespace ui {

struct MenuEntry {
  int string = 0;   // language string of the caption; 0 for a separator
  int command = 0;  // WM_COMMAND identifier
  bool checked = false;
  bool separator() const { return string == 0; }
};

// What the menu depends on, for the selected row.
struct RowFacts {
  int location = 0;           // the row's location code
  bool disabled = false;      // a disabled startup item
  bool noteExists = false;    // the row's note file exists
  bool locked = false;        // a locked registry watch entry
  unsigned windowsMajor = 6, windowsMinor = 1;
};

// The entries of the menu of a tab for a row, in order.
std::vector<MenuEntry> RowMenuEntries(int tab, const RowFacts& row);

}  // namespace ui
