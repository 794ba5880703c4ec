// Reversing a history line: the removed startup entry, the toggled entry or the removed
// browser helper goes back as the line recorded it.
#include "records/history.h"
#include "records/history_lines.h"
#include "startup/disable.h"
#include "startup/run_ops.h"

namespace records {

int RestoreHistoryItem(int index) {
  // The file's own fields: the run item's title and command are rewritten for the list
  // (quotes gone, an empty title taken from the file name, "(Default)" emptied), which would
  // not name the entry that was removed. An index into a run list that another list has
  // refilled since is no history line and is left alone.
  const HistoryLine* line = HistoryLineAt(index);
  if (!line) return 0;
  const HistoryLine& item = *line;
  switch (item.action) {
    case START_Remove:
      startup::RestoreRunItem(item.source, item.title, item.command, item.type);
      return 0;
    case START_Disable:
    case START_Enable:
      startup::ToggleRunItem(item.title, item.command, item.source, item.type);
      return 1;
    case IEHELPER_Remove:
      startup::RegisterServer(item.command);
      return 0;
    default:
      return 0;
  }
}

}  // namespace records
