#include "platform/file_facts.h"

#include <cstdio>

#include "diag/testlog.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "records/detected.h"
#include "records/detected_date.h"

namespace paths {

namespace {

// FILETIME of 1970-01-01 00:00 UTC.
constexpr uint64_t kUnixEpochFileTime = 116444736000000000ULL;

bool Local(uint64_t fileTime, plat::SystemTime* out) {
  return fileTime != 0 && plat::Files().FileTimeToLocalSystemTime(fileTime, out);
}

std::string DateText(uint64_t fileTime) {
  plat::SystemTime t;
  return Local(fileTime, &t) ? records::DetectedDateText(t) : std::string();
}

std::string SizeText(uint64_t size) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(size));
  return buf;
}

}  // namespace

std::string GetFileTimeText(const std::string& path) {
  RedirectionOff off;
  plat::FileFacts facts;
  plat::SystemTime t;
  if (!plat::Files().GetFileFacts(path.c_str(), &facts) || !Local(facts.creation, &t)) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return buf;
}

bool GetFileSizeAndDate(std::string* date, std::string* sizeText, const std::string& path) {
  RedirectionOff off;
  plat::FileFacts facts;
  if (!plat::Files().GetFileFacts(path.c_str(), &facts)) return false;
  if (date) *date = DateText(facts.lastWrite);
  if (sizeText) *sizeText = SizeText(facts.size);
  return true;
}

bool GetMyFileTime(const std::string& path, MyFileTime* out, int locationCode) {
  RedirectionOff off;
  plat::FileFacts facts;
  if (!plat::Files().OpenForRead(path.c_str()) || !plat::Files().GetFileFacts(path.c_str(), &facts)) {
    if (diag::TracingOn()) {
      std::string line = path + "  " + diag::LastErrorText();
      diag::TestLog(line.c_str(), "GetMyFileTime  CreateFile OPEN_EXITING ---  ");
    }
    return false;
  }
  out->created = DateText(facts.creation);
  out->accessed = DateText(facts.lastAccess);
  out->written = DateText(facts.lastWrite);
  out->size = facts.size;
  out->sizeText = SizeText(facts.size);
  out->firstDetected = records::FirstDetected(path, locationCode);
  return true;
}

plat::SystemTime UnixTimeToLocal(int64_t seconds) {
  plat::SystemTime t;
  if (seconds < 0) return t;
  Local(kUnixEpochFileTime + static_cast<uint64_t>(seconds) * 10000000ULL, &t);
  return t;
}

std::optional<std::string> ReadtheFile(size_t limit, const std::string& path, bool convert) {
  std::string bytes;
  if (!plat::Files().ReadFileBytes(path.c_str(), &bytes, static_cast<DWORD>(limit))) {
    if (diag::TracingOn()) {
      std::string line = path + "  " + diag::LastErrorText();
      diag::TestLog(line.c_str(), "ReadtheFile CreateFile OPEN_EXISTING ---  ");
    }
    return std::nullopt;
  }
  if (bytes.empty()) return std::nullopt;
  if (!convert) return bytes;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  // A line feed that already follows a carriage return is left alone, so a file that has
  // CR LF line ends is not given doubled carriage returns.
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
    out += bytes[i];
  }
  return out;
}

}  // namespace paths
