#include "ui/options_view.h"

#include "records/history_view.h"

namespace ui {

void OptionsView::PageCommand(PageHost& host, int id) {
  if (id == kViewHistoryButton) records::ShowHistoryWindow(host);
}

}  // namespace ui
