// What the simulated file system keeps beside the host files: the attributes, the creation
// time and the assigned short name of each file and folder, so that a new machine on the
// same host folder sees them again.
//
// One store per drive, the text file "<hostRoot>/<letter>.meta" (outside the drive's own
// folder, so the drive never lists it):
//
//   TallowickSimFiles 1
//   <attributes, hex>\t<creation FILETIME, decimal>\t<short name or ->\t<path below the drive>
//
// The path uses the host's names joined with '/'. A store with another first line is
// ignored whole, a malformed line alone; entries whose host file is gone are dropped when
// the store is written. The store is written whole on every change (to a new file that then
// replaces the old one), so one machine at a time may use a host folder.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "platform/wintypes.h"

namespace sim {

struct EntryMeta {
  DWORD attributes = 0;   // the attribute bits Windows keeps, without the folder bit
  uint64_t creation = 0;  // FILETIME
  std::string shortName;  // the synthesised 8.3 name; empty when none was given
};

class DriveMetaStore {
 public:
  // storeFile: the store's host path; driveRoot: the drive's host folder.
  DriveMetaStore(std::string storeFile, std::string driveRoot);

  EntryMeta* Find(const std::string& rel);
  // The entry, made with `initial` when there is none.
  EntryMeta& At(const std::string& rel, const EntryMeta& initial);
  // The entry and every entry below it.
  void Erase(const std::string& rel);
  // Moves the entry and every entry below it to a new path.
  void Rename(const std::string& from, const std::string& to);
  // Writes the store; false when the host refused.
  bool Save() const;

  // The store's text for the entries (what Save writes), and reading such text back.
  static std::string Serialize(const std::map<std::string, EntryMeta>& entries);
  static std::map<std::string, EntryMeta> Parse(const std::string& text);

 private:
  std::string storeFile_, driveRoot_;
  std::map<std::string, EntryMeta> entries_;
};

}  // namespace sim
