// The History window (dialog 141): the lines of the history file, newest at the end, with
// Restore for the lines that can be reversed and Clear File. It is opened from the Options
// page and speaks only to its page host.
#pragma once
#include <string>

#include "resources/resource_ids.h"
#include "ui/page_host.h"

namespace records {

inline constexpr int kHistoryDialog = IDD_HISTORY;
// The number by which the window keeps its column widths, sort column and menu.
inline constexpr int kHistoryTab = 6041;
// Its controls: the list (1000), the explanatory text and the buttons.
inline constexpr int kHistoryTextId = IDC_HISTORY_TEXT;
inline constexpr int kHistoryRestoreId = IDC_HISTORY_RESTORE;
inline constexpr int kHistoryClearFileId = IDC_HISTORY_CLEAR;
inline constexpr int kHistoryCloseId = IDC_HISTORY_CLOSE;

class HistoryView : public ui::Page {
 public:
  HistoryView() : ui::Page(kHistoryTab) {}

  void OnInit(ui::PageHost& host) override;
  void OnDestroy(ui::PageHost& host) override;
  void OnCommand(ui::PageHost& host, int id) override;
  void OnSelectionChanged(ui::PageHost& host) override;
  void OnColumnClick(ui::PageHost& host, int column) override;
  void OnDoubleClick(ui::PageHost& host) override;
  void OnRightClick(ui::PageHost& host) override;

 private:
  // Reads the file again and lists it, the newest line selected and in view.
  void Fill(ui::PageHost& host);
  void UpdateRestore(ui::PageHost& host);
  void Restore(ui::PageHost& host, bool onlyRestorable);
  void Close(ui::PageHost& host, int result);
};

// Runs the History window modally over the page of `host` (the Options page's View History).
int ShowHistoryWindow(ui::PageHost& host);

// The key by which the date column sorts: "YYYYMMDDHHMM" on the 24-hour clock, the text
// itself when it is not a history date.
std::string HistoryDateSortKey(const std::string& date);

}  // namespace records
