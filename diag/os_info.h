// What the program reports about the Windows it runs on.
#pragma once
#include <string>

namespace diag {

// The readable name of the Windows version ("Windows 7 SP1 ") into out[512]; its length, 0
// when the version cannot be queried.
int GetWindowsVersionText(char* out);
std::string WindowsVersionText();

bool IsNTPlatform();
bool IsVistaOrLater();
// The process runs under WOW64.
bool IsWow64();
// The common-controls library is newer than 4.70.
bool HasNewCommonControls();

}  // namespace diag
