// The run list as rows a test compares with a table: title, path, location code, aux.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "startup/enumerate.h"
#include "startup/run_list.h"

namespace contract {

struct Row {
  std::string title, path;
  int code, aux;
  // Paths compare without regard to case, as Windows treats them.
  bool operator==(const Row& o) const {
    return title == o.title && text::CompareNoCase(path, o.path) == 0 && code == o.code && aux == o.aux;
  }
};

inline std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << "{" << r.title << " | " << r.path << " | " << r.code << " | " << r.aux << "}";
}

inline Row RowOf(int index) {
  return {startup::RunTitle(index), startup::RunPath(index), startup::GetRunLocation(index),
          startup::GetRunAux(index)};
}

// The index of the Startup Programs view's item of a title and location code after a fresh
// enumeration, -1 when it is not listed.
inline int StartupItemOf(const std::string& title, int code) {
  startup::EnumerateStartups(1);
  for (int i = 0; i < startup::RunCount(); ++i)
    if (startup::RunTitle(i) == title && startup::GetRunLocation(i) == code) return i;
  return -1;
}

inline std::vector<Row> Rows() {
  std::vector<Row> rows;
  for (int i = 0; i < startup::RunCount(); ++i) rows.push_back(RowOf(i));
  return rows;
}

}  // namespace contract
