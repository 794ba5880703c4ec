// The built-in English string table of the native build (the Windows build reads the same
// table from its STRINGTABLE resource).
#pragma once

namespace res {
// The text of string `id`, or nullptr when the table has none.
const char* BuiltinString(unsigned id);
}  // namespace res
