#include "platform/sim/sim_files_names.h"

#include <algorithm>
#include <cstring>

namespace sim::filenames {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Characters a short name may hold besides letters and digits (and bytes above 127).
bool IsShortNameChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 0x80) return true;
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::strchr("$%'-_@~`!(){}^#&", c) != nullptr && c != '\0';
}

// Cuts the trailing dots and blanks Windows drops from the last name of a path.
std::string CutTrailingDotsAndBlanks(std::string name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

bool Match(const char* n, const char* p) {
  // Iterative wildcard match with one backtrack point for the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n) {
    if (*p == '*') {
      star = p++;
      resume = n;
    } else if (*p == '?' || UpperChar(*p) == UpperChar(*n)) {
      ++p;
      ++n;
    } else if (star) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

}  // namespace

std::string FullPath::Text() const {
  std::string text(1, drive);
  text += ":\\";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) text += '\\';
    text += names[i];
  }
  return text;
}

bool IsValidName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
  }
  return true;
}

DWORD ParseFullPath(const std::string& path, const std::string& currentFolder, FullPath* out) {
  *out = FullPath{};
  if (path.empty()) return ERROR_PATH_NOT_FOUND;
  if (path.size() > kMaxPathText) return ERROR_FILENAME_EXCED_RANGE;
  // Network and device paths ("\\server\share", "\\?\", "\\.\") are not part of the
  // simulated machine.
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return ERROR_PATH_NOT_FOUND;

  std::string rest;
  char drive = 0;
  bool hasDrive = path.size() >= 2 && path[1] == ':';
  char currentDrive = currentFolder.size() >= 2 && currentFolder[1] == ':'
                          ? UpperChar(currentFolder[0])
                          : 'C';
  std::string currentRest = currentFolder.size() > 2 ? currentFolder.substr(2) : std::string();
  if (hasDrive) {
    drive = UpperChar(path[0]);
    if (drive < 'A' || drive > 'Z') return ERROR_INVALID_NAME;
    rest = path.substr(2);
    // "C:name" is relative to the current folder when that is on the same drive.
    if (!rest.empty() && !IsSeparator(rest[0]) && drive == currentDrive)
      rest = currentRest + "\\" + rest;
  } else {
    drive = currentDrive;
    rest = IsSeparator(path[0]) ? path : currentRest + "\\" + path;
  }

  std::vector<std::string> parts;
  std::string cur;
  auto flush = [&](bool last) -> DWORD {
    std::string name = cur;
    cur.clear();
    if (last) name = CutTrailingDotsAndBlanks(name);
    if (name.empty() || name == ".") return 0;
    if (name == "..") {
      if (!parts.empty()) parts.pop_back();
      return 0;
    }
    if (!IsValidName(name)) return ERROR_INVALID_NAME;
    if (name.size() > kMaxComponent) return ERROR_INVALID_NAME;
    parts.push_back(name);
    return 0;
  };
  for (size_t i = 0; i < rest.size(); ++i) {
    if (IsSeparator(rest[i])) {
      if (DWORD e = flush(false)) return e;
    } else {
      cur += rest[i];
    }
  }
  bool trailing = !rest.empty() && IsSeparator(rest.back());
  if (DWORD e = flush(true)) return e;
  out->drive = drive;
  out->names = std::move(parts);
  out->trailingSeparator = trailing && !out->names.empty();
  if (out->Text().size() > kMaxPathText) return ERROR_FILENAME_EXCED_RANGE;
  return 0;
}

bool IsShortName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string::npos && ext.empty()) return false;
  for (char c : base)
    if (!IsShortNameChar(c)) return false;
  for (char c : ext)
    if (!IsShortNameChar(c)) return false;
  return true;
}

void ShortNameParts(const std::string& longName, std::string* base, std::string* ext) {
  std::string name = longName;
  size_t lead = name.find_first_not_of('.');
  name = lead == std::string::npos ? std::string() : name.substr(lead);
  size_t dot = name.rfind('.');
  std::string b = dot == std::string::npos ? name : name.substr(0, dot);
  std::string e = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  auto clean = [](const std::string& s, size_t max) {
    std::string r;
    for (char c : s) {
      if (r.size() == max) break;
      if (c == ' ' || c == '.') continue;
      r += IsShortNameChar(c) ? UpperChar(c) : '_';
    }
    return r;
  };
  *base = clean(b, 6);
  *ext = clean(e, 3);
  if (base->empty()) *base = "_";
}

std::string ShortNameCandidate(const std::string& base, const std::string& ext, int n) {
  std::string tail = "~" + std::to_string(n);
  size_t keep = tail.size() >= 8 ? 1 : std::min(base.size(), 8 - tail.size());
  std::string name = base.substr(0, keep) + tail;
  if (!ext.empty()) name += "." + ext;
  return name;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
  if (pattern.back() == '.') {
    // "*." and "name.": names without an extension.
    if (name.find('.') != std::string::npos) return false;
    std::string p = pattern.substr(0, pattern.size() - 1);
    return Match(name.c_str(), p.c_str());
  }
  return Match(name.c_str(), pattern.c_str());
}

}  // namespace sim::filenames
