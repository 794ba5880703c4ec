// File times, sizes and contents as the views and reports show them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/system.h"

namespace paths {

// The facts of a file as the information dialog shows them.
struct MyFileTime {
  std::string created, accessed, written;  // date texts, 23 characters at most
  std::string firstDetected;
  std::string sizeText;
  uint64_t size = 0;
};

// The creation time as "%04d/%02d/%02d %02d:%02d" in local time; empty when unknown.
std::string GetFileTimeText(const std::string& path);
// The last-write date text and the size in decimal; false when the file cannot be read.
bool GetFileSizeAndDate(std::string* date, std::string* sizeText, const std::string& path);
// The facts of a file with its first-detected date for a location code; false when the
// file cannot be opened.
bool GetMyFileTime(const std::string& path, MyFileTime* out, int locationCode);
// A time in seconds since 1970 (UTC) in local calendar time.
plat::SystemTime UnixTimeToLocal(int64_t seconds);
// At most `limit` bytes of a file, line feeds turned into CR LF when asked; nothing for a
// file that cannot be read or is empty.
std::optional<std::string> ReadtheFile(size_t limit, const std::string& path, bool convert);

}  // namespace paths
