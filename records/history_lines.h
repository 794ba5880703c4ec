// The lines behind the History window's run items, as the file holds them: the run item keeps
// what the list shows (its title and command rewritten as every list rewrites them), the line
// keeps what a restore must write back.
#pragma once
#include <string>

namespace records {

struct HistoryLine {
  std::string date, title, command, source;
  int action = 0, type = 0;
};

// The line behind run item `index` of the last ReadHistory; nullptr when there is none or the
// run list has been refilled since.
const HistoryLine* HistoryLineAt(int index);

}  // namespace records
