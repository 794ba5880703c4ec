// The running programs: the main module of every process that can be opened for reading.
#pragma once
#include <string>
#include <vector>

namespace plat {
// One walk of the process table; processes that refuse to open are left out.
std::vector<std::string> MainModulePaths();
}  // namespace plat
