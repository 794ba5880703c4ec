#include "resources/string_table.h"

#include <algorithm>
#include <iterator>

namespace res {
namespace {
struct Entry {
  unsigned id;
  const char* text;
};
const Entry kStrings[] = {
#include "strings_en.inc"
};
}  // namespace

const char* BuiltinString(unsigned id) {
  auto it = std::find_if(std::begin(kStrings), std::end(kStrings),
                         [id](const Entry& e) { return e.id == id; });
  return it == std::end(kStrings) ? nullptr : it->text;
}
}  // namespace res
