// What the programs that run under Wine share: the host folders compiled in, turned into
// the Windows paths Wine gives them (drive Z: is the host's root), and starting a helper
// program and waiting for it. Every wait is bounded.
#pragma once
#include <windows.h>

#include <string>

namespace winetest {

// "/a/b/c" -> "Z:\a\b\c". A path that already has a drive letter is returned unchanged.
std::string HostToWinePath(const std::string& hostPath);

// Windows path of tests/fixtures/<name>.
std::string FixturePath(const std::string& name);

// Runs a command line (no shell), waits at most timeoutMs and returns its exit code in
// *exitCode. False when it cannot start or does not end in time (it is then ended).
bool RunAndWait(const std::string& commandLine, DWORD timeoutMs, DWORD* exitCode);

// Applies a .reg file (REGEDIT4 or version 5.00) with `regedit.exe /s`. The path may be a
// Windows path or a host path.
bool SeedRegFile(const std::string& path);

}  // namespace winetest
