#include "platform/sim/sim_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/sim/sim_system.h"
#include "platform/sim/sim_text.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

std::vector<std::string> SplitPath(const std::string& rest) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : rest) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

// "*" matches everything, "*.ext" a name ending in .ext, anything else the exact name;
// all without regard to case.
bool MatchPattern(const std::string& name, const std::string& pattern) {
  if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
  if (pattern.size() > 1 && pattern[0] == '*') {
    std::string tail = Upper(pattern.substr(1));
    std::string n = Upper(name);
    return n.size() >= tail.size() && n.compare(n.size() - tail.size(), tail.size(), tail) == 0;
  }
  return EqualNoCase(name, pattern);
}

}  // namespace

SimFileSystem::SimFileSystem(SimSystem& system, const std::string& hostRoot)
    : system_(system), hostRoot_(hostRoot) {}

std::string SimFileSystem::HostPath(const std::string& windowsPath) const {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return {};
  char drive = windowsPath[0];
  if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
  if (drive < 'A' || drive > 'Z') return {};
  fs::path host = fs::path(hostRoot_) / std::string(1, drive);
  std::error_code ec;
  if (!fs::is_directory(host, ec)) return {};
  for (const std::string& part : SplitPath(windowsPath.substr(2))) {
    if (part == "..") return {};
    if (part == ".") continue;
    // Use the name as it exists, in whatever case.
    std::string found;
    if (fs::is_directory(host, ec)) {
      for (const auto& entry : fs::directory_iterator(host, ec)) {
        std::string name = entry.path().filename().string();
        if (EqualNoCase(name, part)) {
          found = name;
          break;
        }
      }
    }
    host /= found.empty() ? part : found;
  }
  return host.string();
}

bool SimFileSystem::WriteFileText(const std::string& windowsPath, const std::string& text) {
  std::string host = HostPath(windowsPath);
  if (host.empty()) return false;
  std::error_code ec;
  fs::create_directories(fs::path(host).parent_path(), ec);
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

std::string SimFileSystem::ReadFileText(const std::string& windowsPath) const {
  std::string host = HostPath(windowsPath);
  if (host.empty()) return {};
  std::ifstream in(host, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool SimFileSystem::Exists(const std::string& windowsPath) const {
  std::string host = HostPath(windowsPath);
  std::error_code ec;
  return !host.empty() && fs::exists(host, ec);
}

bool SimFileSystem::Fail(DWORD error) {
  system_.SetLastError(error);
  return false;
}

DWORD SimFileSystem::StoredAttributes(const std::string& hostPath) const {
  auto it = attributes_.find(hostPath);
  return it == attributes_.end() ? 0 : it->second;
}

void SimFileSystem::StoreAttributes(const std::string& hostPath, DWORD attributes) {
  attributes &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                FILE_ATTRIBUTE_ARCHIVE;
  if (attributes)
    attributes_[hostPath] = attributes;
  else
    attributes_.erase(hostPath);
}

void SimFileSystem::ForgetAttributes(const std::string& hostPath) { attributes_.erase(hostPath); }

DWORD SimFileSystem::GetFileAttributesA(const char* path) {
  std::string host = HostPath(path ? path : "");
  std::error_code ec;
  if (host.empty() || !fs::exists(host, ec)) {
    Fail(host.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attrs = StoredAttributes(host);
  if (fs::is_directory(host, ec)) attrs |= FILE_ATTRIBUTE_DIRECTORY;
  return attrs ? attrs : FILE_ATTRIBUTE_NORMAL;
}

BOOL SimFileSystem::SetFileAttributesA(const char* path, DWORD attributes) {
  std::string host = HostPath(path ? path : "");
  std::error_code ec;
  if (host.empty() || !fs::exists(host, ec)) return Fail(ERROR_FILE_NOT_FOUND);
  StoreAttributes(host, attributes);
  return TRUE;
}

BOOL SimFileSystem::CreateDirectoryA(const char* path) {
  std::string host = HostPath(path ? path : "");
  std::error_code ec;
  if (host.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  if (fs::exists(host, ec)) return Fail(ERROR_ALREADY_EXISTS);
  if (!fs::is_directory(fs::path(host).parent_path(), ec)) return Fail(ERROR_PATH_NOT_FOUND);
  if (!fs::create_directory(host, ec)) return Fail(ERROR_ACCESS_DENIED);
  return TRUE;
}

BOOL SimFileSystem::RemoveDirectoryA(const char* path) {
  std::string host = HostPath(path ? path : "");
  std::error_code ec;
  if (host.empty() || !fs::exists(host, ec)) return Fail(ERROR_FILE_NOT_FOUND);
  if (!fs::is_directory(host, ec)) return Fail(267 /* ERROR_DIRECTORY */);
  if (StoredAttributes(host) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  if (!fs::is_empty(host, ec)) return Fail(ERROR_DIR_NOT_EMPTY);
  fs::remove(host, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  ForgetAttributes(host);
  return TRUE;
}

BOOL SimFileSystem::DeleteFileA(const char* path) {
  std::string host = HostPath(path ? path : "");
  std::error_code ec;
  if (host.empty() || !fs::exists(host, ec)) return Fail(ERROR_FILE_NOT_FOUND);
  if (fs::is_directory(host, ec)) return Fail(ERROR_ACCESS_DENIED);
  if (StoredAttributes(host) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  fs::remove(host, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  ForgetAttributes(host);
  return TRUE;
}

BOOL SimFileSystem::MoveFileExA(const char* from, const char* to, DWORD flags) {
  std::string src = HostPath(from ? from : ""), dst = HostPath(to ? to : "");
  std::error_code ec;
  if (src.empty() || !fs::exists(src, ec)) return Fail(ERROR_FILE_NOT_FOUND);
  if (dst.empty() || !fs::is_directory(fs::path(dst).parent_path(), ec))
    return Fail(ERROR_PATH_NOT_FOUND);
  if (fs::exists(dst, ec)) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING) || fs::is_directory(dst, ec))
      return Fail(ERROR_ALREADY_EXISTS);
    fs::remove(dst, ec);
  }
  DWORD attrs = StoredAttributes(src);
  fs::rename(src, dst, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  ForgetAttributes(src);
  StoreAttributes(dst, attrs);
  return TRUE;
}

BOOL SimFileSystem::CopyFileA(const char* from, const char* to, BOOL failIfExists) {
  std::string src = HostPath(from ? from : ""), dst = HostPath(to ? to : "");
  std::error_code ec;
  if (src.empty() || !fs::is_regular_file(src, ec)) return Fail(ERROR_FILE_NOT_FOUND);
  if (dst.empty() || !fs::is_directory(fs::path(dst).parent_path(), ec))
    return Fail(ERROR_PATH_NOT_FOUND);
  if (fs::exists(dst, ec)) {
    if (failIfExists) return Fail(ERROR_FILE_EXISTS);
    if (StoredAttributes(dst) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  }
  fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  StoreAttributes(dst, StoredAttributes(src));
  return TRUE;
}

bool SimFileSystem::Wow64DisableWow64FsRedirection(void** oldValue) {
  if (oldValue) *oldValue = reinterpret_cast<void*>(static_cast<uintptr_t>(redirectionOff_));
  redirectionOff_ = true;
  return true;
}

bool SimFileSystem::Wow64RevertWow64FsRedirection(void* oldValue) {
  redirectionOff_ = reinterpret_cast<uintptr_t>(oldValue) != 0;
  return true;
}

bool SimFileSystem::ListFolder(const char* folder, const char* pattern,
                               void (*cb)(void* ctx, const char* name, DWORD attributes),
                               void* ctx) {
  std::string host = HostPath(folder ? folder : "");
  std::error_code ec;
  if (host.empty() || !fs::is_directory(host, ec)) return Fail(ERROR_PATH_NOT_FOUND);
  std::vector<std::pair<std::string, DWORD>> entries;
  for (const auto& entry : fs::directory_iterator(host, ec)) {
    std::string name = entry.path().filename().string();
    if (!MatchPattern(name, pattern ? pattern : "*")) continue;
    DWORD attrs = StoredAttributes(entry.path().string());
    if (entry.is_directory(ec)) attrs |= FILE_ATTRIBUTE_DIRECTORY;
    entries.emplace_back(name, attrs ? attrs : FILE_ATTRIBUTE_NORMAL);
  }
  // Listed in name order so every run sees the same order.
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return Upper(a.first) < Upper(b.first); });
  for (const auto& [name, attrs] : entries) cb(ctx, name.c_str(), attrs);
  return true;
}

}  // namespace sim
