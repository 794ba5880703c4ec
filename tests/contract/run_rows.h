// The run list as rows a test compares with a table: title, path, location code, aux.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "platform/text.h"
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

inline std::vector<Row> Rows() {
  std::vector<Row> rows;
  for (int i = 0; i < startup::RunCount(); ++i) rows.push_back(RowOf(i));
  return rows;
}

}  // namespace contract
