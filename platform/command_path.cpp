#include "platform/command_path.h"

#include <cstring>
#include <vector>

#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "settings/language.h"

namespace paths {

namespace {

constexpr size_t kMaxResult = kMaxPath - 1;

size_t FindNoCase(const std::string& s, const std::string& part) {
  std::string u = text::UpperAnsi(s), p = text::UpperAnsi(part);
  return u.find(p);
}

// Replaces the first variable of the list found in the command. The variable is replaced
// where it stands (a quote or blank before it stays), and a "\SystemRoot\" keeps its
// closing backslash, so the path keeps its separators.
std::string ReplaceVariables(const std::string& command, bool systemRootOnly) {
  size_t at = FindNoCase(command, "SYSTEMROOT");
  if (at != std::string::npos) {
    if (at > 0 && (command[at - 1] == '%' || command[at - 1] == '\\') &&
        at + 10 < command.size() && command[at + 10] == command[at - 1]) {
      bool percent = command[at - 1] == '%';
      return command.substr(0, at - 1) + WindowsFolder() +
             command.substr(at + (percent ? 11 : 10));
    }
    return command;
  }
  if (systemRootOnly) return command;
  struct Variable {
    const char* name;
    const char* value;       // registry value under CurrentVersion, or nullptr
    const char* fallback;
  };
  static const Variable kVariables[] = {
      {"%WINDIR%", nullptr, nullptr},
      {"%PROGRAMFILES%", "ProgramFilesDir", "C:\\Program Files"},
      {"%PROGRAMFILES(X86)%", "ProgramFilesDir (x86)", "C:\\Program Files (x86)"},
  };
  for (const auto& v : kVariables) {
    at = FindNoCase(command, v.name);
    if (at == std::string::npos) continue;
    std::string value;
    if (!v.value) {
      value = WindowsFolder();
    } else {
      value = reg::GetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                v.value, 260);
      if (value.empty()) value = v.fallback;
    }
    return command.substr(0, at) + value + command.substr(at + std::strlen(v.name));
  }
  return command;
}

bool IsExtensionLetter(char c, bool allowP) {
  c = text::UpperAnsi(c);
  return c == 'X' || c == 'L' || (allowP && c == 'P');
}

// Scans the command as the program always has: upper-cased, restarting at the drive letter
// of every ':' and stopping after the first extension. *end receives the index just past
// the extension (or the command's length).
std::string ScanFile(const std::string& command, bool allowP, size_t* end) {
  std::string result;
  size_t i = 0;
  for (; i < command.size(); ++i) {
    char c = command[i];
    if (c == '.' && i + 2 < command.size() && IsExtensionLetter(command[i + 2], allowP)) {
      size_t stop = std::min(command.size(), i + 4);
      result += text::UpperAnsi(command.substr(i, stop - i));
      i = stop;
      break;
    }
    if (c == ':' && !result.empty()) result = result.substr(result.size() - 1);
    result += text::UpperAnsi(c);
  }
  if (end) *end = i;
  if (result.size() > kMaxResult) result.resize(kMaxResult);
  return result;
}

bool OpensForRead(const std::string& path) { return plat::Files().OpenForRead(path.c_str()); }

}  // namespace

std::string WindowsFolder() {
  char buf[kMaxPath + 1] = {};
  UINT n = plat::Sys().GetWindowsDirectoryA(buf, kMaxPath);
  return n > 0 && n < kMaxPath ? std::string(buf, n) : std::string();
}

std::string SystemFolder() {
  char buf[kMaxPath + 1] = {};
  UINT n = plat::Sys().GetSystemDirectoryA(buf, kMaxPath);
  return n > 0 && n < kMaxPath ? std::string(buf, n) : std::string();
}

std::string GetFileFromCommand(const std::string& command) {
  std::string result;
  {
    RedirectionOff off;
    result = ScanFile(ReplaceVariables(command, false), false, nullptr);
  }
  if (reg::Is64BitFlag() && !result.empty() && !FileExists(result) &&
      text::ContainsNoCase(result, "Program Files (x86)") && result.size() > 23) {
    std::string other = "C:\\Program Files\\" + result.substr(23);
    if (FileExists(other)) result = text::UpperAnsi(other);
  }
  return result;
}

int GetFileFromCommand(const char* command, char* out) {
  std::string r = GetFileFromCommand(std::string(command ? command : ""));
  std::memcpy(out, r.c_str(), r.size() + 1);
  return static_cast<int>(r.size());
}

size_t SplitCommand(const std::string& command, std::string* file, std::string* parameters) {
  std::string expanded = ReplaceVariables(command, true);
  size_t end = 0;
  std::string found = ScanFile(expanded, true, &end);
  // A closing quote belongs to the file, not to the parameters.
  if (end < expanded.size() && expanded[end] == '"') ++end;
  if (file) *file = GetLongPath(found);
  if (parameters) *parameters = expanded.substr(end);
  return end;
}

bool GetRunDllTarget(const std::string& command, std::string* target) {
  if (!text::ContainsNoCase(command, "RUNDLL32.EXE")) {
    if (target) *target = command;
    return false;
  }
  for (size_t i = 0; i + 6 < command.size(); ++i) {
    if (text::UpperAnsi(command[i]) == 'R' && text::UpperAnsi(command[i + 2]) == 'N' &&
        text::UpperAnsi(command[i + 4]) == 'L' && command[i + 6] == '3') {
      if (target) *target = i + 13 <= command.size() ? command.substr(i + 13) : std::string();
      return true;
    }
  }
  if (target) *target = command;
  return false;
}

std::string GetFileFolder(const std::string& path) {
  size_t slash = path.rfind('\\');
  if (slash != std::string::npos) {
    std::string folder = path.substr(0, slash);
    return folder.size() < 3 ? path.substr(0, std::min(path.size(), size_t{3})) : folder;
  }
  if (path.empty() || path.size() >= 32) return {};
  RedirectionOff off;
  for (const std::string& folder :
       {WindowsFolder(), SystemFolder(), WindowsFolder() + "\\SysWOW64"})
    if (!folder.empty() && OpensForRead(folder + "\\" + path)) return folder;
  return {};
}

std::string GetFileName(const std::string& path) { return path.substr(GetFileNamePosition(path)); }

size_t GetFileNamePosition(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string GetLongPath(const std::string& path) {
  char out[kMaxPath + 1] = {};
  DWORD n = plat::Files().GetLongPathNameA(path.c_str(), out, kMaxPath);
  return n > 0 && n < kMaxPath ? std::string(out, n) : path;
}

std::string GetProgramFilesFolderName(const std::string& path) {
  char pf[kMaxPath + 1] = {};
  DWORD n = plat::Sys().GetEnvironmentVariableA("ProgramFiles", pf, kMaxPath);
  if (n == 0 || n >= kMaxPath || !text::ContainsNoCase(path, std::string(pf, n)) ||
      path.size() <= 10)
    return {};
  size_t first = path.find('\\', 10);
  if (first == std::string::npos) return {};
  size_t second = path.find('\\', first + 1);
  if (second == std::string::npos) return {};
  return path.substr(first + 1, second - first - 1);
}

std::string GetProfileUserName() {
  char profile[128] = {};
  DWORD n = plat::Sys().GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  if (n == 0 || n >= sizeof profile) return {};
  std::string p(profile, n);
  size_t slash = p.rfind('\\');
  return slash == std::string::npos ? std::string() : p.substr(slash + 1);
}

std::string GetHostsFilePath() {
  plat::OsVersion v;
  bool nt = plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
  return nt ? SystemFolder() + "\\drivers\\etc\\HOSTS" : WindowsFolder() + "\\HOSTS";
}

namespace {
std::string IEFolder(const std::string& key) {
  std::string folder = reg::GetRegString(HKEY_LOCAL_MACHINE, key.c_str(), "Path", 260);
  if (!folder.empty() && folder.back() == ';') folder.pop_back();
  return folder;
}
}  // namespace

std::string GetIEPath() {
  return IEFolder("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE") +
         "\\iexplore.exe";
}

std::string GetDefaultBrowserPath() {
  std::string command =
      text::StripQuotes(reg::GetRegString(HKEY_LOCAL_MACHINE, settings::LangString(5).c_str(), "", 512));
  // The options begin at the first " -" (a "-" inside a folder name is not one). Other
  // arguments ("%1") need no cut: the file ends with its extension anyway, and cutting a
  // character would break a command that has no arguments.
  size_t dash = command.find(" -");
  if (dash != std::string::npos) command = command.substr(0, dash);
  if (command.empty()) {
    std::string folder = IEFolder(settings::LangString(12));
    command = folder + "\\IExplore.exe";
  }
  return GetFileFromCommand(command);
}

int GetDefaultBrowserKind() {
  static const struct {
    const char* part;
    int kind;
  } kBrowsers[] = {{"iexplore", 1}, {"netscp", 2}, {"maxthon", 4}, {"avant", 5},
                   {"mozilla", 6},  {"firefox", 3}, {"pale", 9}};
  std::string path = GetDefaultBrowserPath();
  for (const auto& b : kBrowsers)
    if (text::ContainsNoCase(path, b.part)) return b.kind;
  return 1;
}

}  // namespace paths
