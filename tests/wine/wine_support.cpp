#include "tests/wine/wine_support.h"

#include <vector>

namespace winetest {

std::string HostToWinePath(const std::string& hostPath) {
  if (hostPath.size() >= 2 && hostPath[1] == ':') return hostPath;
  std::string out = "Z:" + hostPath;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string FixturePath(const std::string& name) {
  std::string path = HostToWinePath(TW_FIXTURE_DIR);
  if (!path.empty() && path.back() != '\\') path += '\\';
  for (char c : name) path += (c == '/') ? '\\' : c;
  return path;
}

bool RunAndWait(const std::string& commandLine, DWORD timeoutMs, DWORD* exitCode) {
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  CloseHandle(pi.hThread);
  bool ended = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
  if (!ended) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  DWORD code = 1;
  if (ended && !GetExitCodeProcess(pi.hProcess, &code)) ended = false;
  CloseHandle(pi.hProcess);
  if (exitCode) *exitCode = code;
  return ended;
}

bool SeedRegFile(const std::string& path) {
  // regedit ends when the file is applied; a missing file is an error for the caller, not
  // something regedit reports.
  std::string winPath = HostToWinePath(path);
  if (GetFileAttributesA(winPath.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  DWORD code = 1;
  return RunAndWait("regedit.exe /s \"" + winPath + "\"", 60000, &code) && code == 0;
}

}  // namespace winetest
