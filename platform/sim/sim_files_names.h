// The naming rules of the simulated file system: how a Windows path is taken apart and
// normalised, which names are valid, the 8.3 short names and the FindFirstFile patterns.
#pragma once
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace sim::filenames {

// Longest path text the *A functions take (MAX_PATH less the terminating zero), the longest
// path CreateDirectoryA takes, and the longest single name.
inline constexpr size_t kMaxPathText = 259;
inline constexpr size_t kMaxFolderPathText = 248;
inline constexpr size_t kMaxComponent = 255;

// A Windows path made absolute and normalised as GetFullPathName does it: separators are
// '\' or '/', "." is dropped, ".." removes the name before it (never past the drive's
// root), trailing dots and blanks of the last name are cut.
struct FullPath {
  char drive = 0;                  // 'A'..'Z'
  std::vector<std::string> names;  // below the root
  bool trailingSeparator = false;  // the text ended in a separator after a name
  // "C:\a\b" (the root is "C:\").
  std::string Text() const;
};

// Parses `path` relative to `currentFolder` (an absolute path such as "C:\Users"). Returns 0
// or the Windows error: ERROR_PATH_NOT_FOUND for an empty or unsupported path (network and
// device paths), ERROR_FILENAME_EXCED_RANGE for more than kMaxPathText characters,
// ERROR_INVALID_NAME for a name holding a wildcard or a character Windows forbids, or a
// name longer than kMaxComponent.
DWORD ParseFullPath(const std::string& path, const std::string& currentFolder, FullPath* out);

// True for a name Windows allows in a folder (no control characters, none of \/:*?"<>|).
bool IsValidName(const std::string& name);

// True when a name is already a valid 8.3 name (at most 8 characters, a dot and at most 3
// more, no blanks, only characters allowed in short names); such a name is its own short
// name, in the case it has.
bool IsShortName(const std::string& name);

// The parts a synthesised short name is built from: the first six usable characters of the
// name before its last dot, upper-cased, and the first three of the extension.
void ShortNameParts(const std::string& longName, std::string* base, std::string* ext);
// BASE~n.EXT, with the base shortened so that the name part stays within 8 characters.
std::string ShortNameCandidate(const std::string& base, const std::string& ext, int n);

// FindFirstFile's matching of one name against a pattern, without regard to case: '*' any
// run, '?' one character; "*" and "*.*" match every name; a pattern ending in "." matches
// names without an extension.
bool MatchesPattern(const std::string& name, const std::string& pattern);

}  // namespace sim::filenames
