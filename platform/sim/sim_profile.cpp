#include "platform/sim/sim_profile.h"

#include <vector>

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_text.h"

namespace sim {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}


// "[name]" gives name; anything else is not a section line.
bool SectionName(const std::string& line, std::string* name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t[0] != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  *name = Trim(t.substr(1, close - 1));
  return true;
}

void KeyValue(const std::string& line, std::string* key, std::string* value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) {
    *key = Trim(line);
    value->clear();
  } else {
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
  }
}

// A multi-string list ("a\0b\0\0") cut to the buffer as GetPrivateProfileStringA does.
DWORD CopyList(const std::vector<std::string>& items, char* out, DWORD size) {
  if (!out || size == 0) return 0;
  if (size == 1) {
    out[0] = '\0';
    return 0;
  }
  std::string all;
  for (const auto& s : items) {
    all += s;
    all += '\0';
  }
  if (all.size() + 1 <= size) {
    std::copy(all.begin(), all.end(), out);
    out[all.size()] = '\0';
    return all.empty() ? 0 : static_cast<DWORD>(all.size());
  }
  // Too small: as much as fits, then two zeros; the result is size - 2.
  std::copy(all.begin(), all.begin() + (size - 2), out);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

}  // namespace

SimProfile::SimProfile(SimFileSystem& files, SimSystem& system)
    : files_(files), system_(system) {}

std::string SimProfile::FullPath(const char* file) const {
  std::string f = file ? file : "";
  if (f.find('\\') == std::string::npos && f.find('/') == std::string::npos)
    return system_.windowsFolder + "\\" + f;
  return f;
}

DWORD SimProfile::GetProfileStringA(const char* section, const char* key,
                                    const char* defaultText, char* out, DWORD size) {
  return GetPrivateProfileStringA(section, key, defaultText, out, size, "win.ini");
}

BOOL SimProfile::WriteProfileStringA(const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, "win.ini");
}

DWORD SimProfile::GetPrivateProfileStringA(const char* section, const char* key,
                                           const char* defaultText, char* out, DWORD size,
                                           const char* file) {
  if (!out || size == 0) return 0;
  std::vector<std::string> lines = SplitLines(files_.ReadFileText(FullPath(file)));
  if (!section) {
    std::vector<std::string> names;
    std::string name;
    for (const auto& l : lines)
      if (SectionName(l, &name)) names.push_back(name);
    return CopyList(names, out, size);
  }
  bool inSection = false;
  std::vector<std::string> keys;
  for (const auto& l : lines) {
    std::string name;
    if (SectionName(l, &name)) {
      inSection = EqualNoCase(name, section);
      continue;
    }
    if (!inSection) continue;
    std::string k, v;
    KeyValue(l, &k, &v);
    if (k.empty()) continue;
    if (!key) {
      keys.push_back(k);
      continue;
    }
    if (EqualNoCase(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return CopyOut(v, out, size);
    }
  }
  if (!key) return CopyList(keys, out, size);
  // The default loses its trailing blanks, as in Windows.
  std::string def = defaultText ? defaultText : "";
  size_t e = def.find_last_not_of(' ');
  def = e == std::string::npos ? std::string() : def.substr(0, e + 1);
  return CopyOut(def, out, size);
}

BOOL SimProfile::WritePrivateProfileStringA(const char* section, const char* key,
                                            const char* value, const char* file) {
  if (!section) {
    system_.SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (files_.Failing("WritePrivateProfileStringA")) return FALSE;
  std::string path = FullPath(file);
  DWORD attrs = files_.GetFileAttributesA(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) {
    system_.SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  std::vector<std::string> lines = SplitLines(files_.ReadFileText(path));
  // Find the section's range [begin, end).
  size_t begin = lines.size(), end = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name;
    if (!SectionName(lines[i], &name)) continue;
    if (begin != lines.size()) {
      end = i;
      break;
    }
    if (EqualNoCase(name, section)) begin = i;
  }
  if (begin == lines.size()) {
    if (!key || !value) return TRUE;  // nothing to delete
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
    lines.push_back(std::string("[") + section + "]");
    lines.push_back(std::string(key) + "=" + value);
  } else if (!key) {
    lines.erase(lines.begin() + static_cast<long>(begin), lines.begin() + static_cast<long>(end));
  } else {
    size_t found = end;
    for (size_t i = begin + 1; i < end; ++i) {
      std::string k, v;
      KeyValue(lines[i], &k, &v);
      if (EqualNoCase(k, key)) {
        found = i;
        break;
      }
    }
    if (found != end) {
      if (value)
        lines[found] = std::string(key) + "=" + value;
      else
        lines.erase(lines.begin() + static_cast<long>(found));
    } else if (value) {
      // After the section's last non-blank line.
      size_t at = end;
      while (at > begin + 1 && Trim(lines[at - 1]).empty()) --at;
      lines.insert(lines.begin() + static_cast<long>(at), std::string(key) + "=" + value);
    }
  }
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  if (!files_.WriteFileText(path, text)) {
    system_.SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return TRUE;
}

}  // namespace sim
