// Resolving a COM class identifier to the DLL that implements it, and an installed
// application through its App Paths registration.
#pragma once
#include <string>

namespace lookup {

// The in-process server of a class id (braces added when missing), with the class's name.
// 1 when a server path was found; 0 with both outputs empty otherwise. On a 64-bit Windows
// the 64-bit view and the 32-bit registration under Wow6432Node are tried too.
int GetInprocServerPath(std::string* dll, const std::string& clsid, std::string* name);

// An application registered under App Paths (or the pointing devices' AppSpecific keys):
// 1 when it is registered and its file exists, with the key's Path value and the file's
// product version; 0 with both outputs empty otherwise.
int GetAppPath(std::string* path, const std::string& exe, std::string* version);

// The product versions of the monitor and of this program, both in the program folder:
// mode 2 this program's alone; mode 0 "monitor:explorer" (or whichever exists); mode 3
// "Tallowick v<monitor> - Tallowick Explorer v<explorer>". Another mode, or no version at
// all, leaves *out as it is.
void GetProductVersionText(int mode, std::string* out);

}  // namespace lookup
