#include "startup/restart_commands.h"

#include "diag/os_info.h"
#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace startup {

namespace {

constexpr DWORD kMaxWininit = 65536;

// The line goes at the top of the [rename] section (made at the end when missing); every line
// already there stays as it is.
std::string WithDeleteLine(const std::string& text, const std::string& line) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    std::string l = text.substr(pos, next - pos);
    while (!l.empty() && (l.back() == '\n' || l.back() == '\r' || l.back() == ' ')) l.pop_back();
    size_t first = l.find_first_not_of(' ');
    if (first != std::string::npos && text::CompareNoCase(l.substr(first), "[rename]") == 0) {
      std::string head = text.substr(0, next);
      if (end == std::string::npos) head += "\r\n";
      return head + line + text.substr(next);
    }
    pos = next;
  }
  std::string out = text;
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  return out + "[rename]\r\n" + line;
}

}  // namespace

int DeleteFileOnRestart(const std::string& file) {
  auto& files = plat::Files();
  files.SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (diag::IsNTPlatform()) {
    // The deletion goes to the online item report (kind 7) once the web lookups exist.
    if (files.MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return 1;
    diag::LogLastError("MyError:  DeleteFileOnRestart MoveFileEx");
    return 0;
  }
  char shortPath[paths::kMaxPath + 1] = {};
  DWORD n = files.GetShortPathNameA(file.c_str(), shortPath, paths::kMaxPath);
  if (n == 0 || n >= paths::kMaxPath) {
    diag::LogLastError("MyError:  DeleteFileOnRestart GetShortPathName");
    return 0;
  }
  std::string wininit = paths::WindowsFolder() + "\\wininit.ini";
  std::string text;
  if (files.GetFileAttributesA(wininit.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !files.ReadFileBytes(wininit.c_str(), &text, kMaxWininit))
    return 0;
  std::string line = "NUL=" + std::string(shortPath, n) + "\r\n";
  if (!files.WriteFileBytes(wininit.c_str(), WithDeleteLine(text, line))) {
    diag::LogLastError("MyError:  DeleteFileOnRestart wininit.ini");
    return 0;
  }
  return 1;
}

}  // namespace startup
