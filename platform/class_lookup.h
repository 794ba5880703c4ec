// Resolving a COM class identifier to the DLL that implements it, and an installed
// application through its App Paths registration.
#pragma once
#include <string>

namespace lookup {

// The in-process server of a class id (braces added when missing), with the class's name.
// 1 when a server path was found; 0 with both outputs empty otherwise. On a 64-bit Windows
// the 64-bit view and the 32-bit registration under Wow6432Node are tried too.
int GetInprocServerPath(std::string* dll, const std::string& clsid, std::string* name);

}  // namespace lookup
