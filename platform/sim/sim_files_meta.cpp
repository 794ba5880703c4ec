#include "platform/sim/sim_files_meta.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/sim/sim_files_names.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr const char* kHeader = "TallowickSimFiles 1";

// The attribute bits a store may hold.
constexpr DWORD kStoredBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | 0x0100 /*TEMPORARY*/ |
                              0x1000 /*OFFLINE*/ | 0x2000 /*NOT_CONTENT_INDEXED*/;

bool ParseNumber(const std::string& text, int base, unsigned long long* out) {
  if (text.empty() || text.size() > 20) return false;
  for (char c : text) {
    bool digit = (c >= '0' && c <= '9') ||
                 (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit) return false;
  }
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text.c_str(), &end, base);
  if (errno != 0 || !end || *end != '\0') return false;
  *out = v;
  return true;
}

// A path below the drive as the store keeps it: host names joined with '/', none of them
// empty, "." or "..".
bool IsStorePath(const std::string& rel) {
  if (rel.empty() || rel.front() == '/' || rel.back() == '/') return false;
  std::string part;
  std::istringstream in(rel);
  while (std::getline(in, part, '/'))
    if (part.empty() || part == "." || part == ".." || !filenames::IsValidName(part)) return false;
  return true;
}

bool IsBelow(const std::string& key, const std::string& folder) {
  return key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
         key[folder.size()] == '/';
}

}  // namespace

DriveMetaStore::DriveMetaStore(std::string storeFile, std::string driveRoot)
    : storeFile_(std::move(storeFile)), driveRoot_(std::move(driveRoot)) {
  std::ifstream in(storeFile_, std::ios::binary);
  if (!in) return;
  std::ostringstream ss;
  ss << in.rdbuf();
  entries_ = Parse(ss.str());
}

std::map<std::string, EntryMeta> DriveMetaStore::Parse(const std::string& text) {
  std::map<std::string, EntryMeta> entries;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line)) return entries;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line != kHeader) return entries;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
      size_t tab = line.find('\t', start);
      if (tab == std::string::npos) break;
      fields.push_back(line.substr(start, tab - start));
      start = tab + 1;
    }
    if (fields.size() != 3) continue;
    std::string rel = line.substr(start);
    unsigned long long attrs = 0, creation = 0;
    if (!ParseNumber(fields[0], 16, &attrs) || attrs > 0xFFFFFFFFull) continue;
    if (!ParseNumber(fields[1], 10, &creation) || creation >= 0x8000000000000000ull) continue;
    std::string shortName = fields[2] == "-" ? std::string() : fields[2];
    if (!shortName.empty() && !filenames::IsShortName(shortName)) continue;
    if (!IsStorePath(rel)) continue;
    EntryMeta e;
    e.attributes = static_cast<DWORD>(attrs) & kStoredBits;
    e.creation = creation;
    e.shortName = shortName;
    entries[rel] = e;
  }
  return entries;
}

std::string DriveMetaStore::Serialize(const std::map<std::string, EntryMeta>& entries) {
  std::string text = std::string(kHeader) + "\n";
  char number[32];
  for (const auto& [rel, e] : entries) {
    std::snprintf(number, sizeof number, "%lx", static_cast<unsigned long>(e.attributes));
    text += number;
    text += '\t';
    text += std::to_string(e.creation);
    text += '\t';
    text += e.shortName.empty() ? "-" : e.shortName;
    text += '\t';
    text += rel;
    text += '\n';
  }
  return text;
}

EntryMeta* DriveMetaStore::Find(const std::string& rel) {
  auto it = entries_.find(rel);
  return it == entries_.end() ? nullptr : &it->second;
}

EntryMeta& DriveMetaStore::At(const std::string& rel, const EntryMeta& initial) {
  return entries_.try_emplace(rel, initial).first->second;
}

void DriveMetaStore::Erase(const std::string& rel) {
  entries_.erase(rel);
  for (auto it = entries_.upper_bound(rel); it != entries_.end() && IsBelow(it->first, rel);)
    it = entries_.erase(it);
}

void DriveMetaStore::Rename(const std::string& from, const std::string& to) {
  std::map<std::string, EntryMeta> moved;
  if (auto it = entries_.find(from); it != entries_.end()) {
    moved[to] = it->second;
    entries_.erase(it);
  }
  for (auto it = entries_.upper_bound(from); it != entries_.end() && IsBelow(it->first, from);) {
    moved[to + it->first.substr(from.size())] = it->second;
    it = entries_.erase(it);
  }
  Erase(to);
  for (auto& [k, v] : moved) entries_[k] = v;
}

bool DriveMetaStore::Save() const {
  // Entries whose file is gone (removed on the host behind the machine's back) go.
  std::map<std::string, EntryMeta> live;
  std::error_code ec;
  for (const auto& [rel, e] : entries_)
    if (fs::symlink_status(fs::path(driveRoot_) / rel, ec).type() != fs::file_type::not_found &&
        !ec)
      live.emplace(rel, e);
  std::string tmp = storeFile_ + ".new";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << Serialize(live);
    if (!out) return false;
  }
  fs::rename(tmp, storeFile_, ec);
  return !ec;
}

}  // namespace sim
