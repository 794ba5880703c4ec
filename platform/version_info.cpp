#include "platform/version_info.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace version {

namespace {

void SetField(VersionInfo& record, VersionField f, const std::string& value) {
  size_t n = value.size() < kMaxFieldText ? value.size() : kMaxFieldText;
  std::memset(record.field[f], 0, kFieldSize);
  std::memcpy(record.field[f], value.data(), n);
}

// The string `name` of one translation: its text when it is shorter than 128 bytes, else
// empty. The length VerQueryValueA gives bounds the text (a string stored without its
// terminating zero is not read past).
std::string QueryString(const std::vector<unsigned char>& block, WORD language, WORD codePage,
                        const char* name) {
  char query[128];
  std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", language, codePage, name);
  void* value = nullptr;
  UINT length = 0;
  if (!plat::Version().VerQueryValueA(block.data(), query, &value, &length) || !value) return {};
  const char* text = static_cast<const char*>(value);
  size_t n = strnlen(text, length);
  return n <= kMaxFieldText ? std::string(text, n) : std::string();
}

}  // namespace

bool GetVersionInfoEx(VersionInfo& record, const std::string& path) {
  std::memset(&record, 0, sizeof record);
  std::vector<unsigned char> block;
  {
    paths::RedirectionOff off;
    DWORD handle = 0;
    DWORD size = plat::Version().GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size >= kMaxVersionInfoSize) {
      diag::LogLastError("MyError:  GetVersionInfoEx GetFileVersionInfoSize");
      return false;
    }
    if (size == 0) return false;
    block.assign(size, 0);
    if (!plat::Version().GetFileVersionInfoA(path.c_str(), handle, size, block.data()))
      return false;
  }

  void* table = nullptr;
  UINT tableBytes = 0;
  if (!plat::Version().VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table,
                                      &tableBytes) ||
      !table)
    return false;
  // Each entry is a language and a code page (two WORDs); every one overwrites all fields.
  const auto* entries = static_cast<const unsigned char*>(table);
  for (UINT i = 0; i + 4 <= tableBytes; i += 4) {
    WORD language = static_cast<WORD>(entries[i] | (entries[i + 1] << 8));
    WORD codePage = static_cast<WORD>(entries[i + 2] | (entries[i + 3] << 8));
    for (int f = 0; f < FIELD_COUNT; ++f)
      SetField(record, static_cast<VersionField>(f),
               QueryString(block, language, codePage, kFieldNames[f]));
  }

  if (text::ContainsNoCase(record.productName(), "Operating System"))
    SetField(record, PRODUCT_NAME, record.description());
  if (!record.company()[0]) SetField(record, COMPANY, paths::GetProgramFilesFolderName(path));
  return record.productName()[0] != '\0';
}

std::string GetFileDescription(const std::string& path) {
  VersionInfo record;
  GetVersionInfoEx(record, path);
  return record.description();
}

void GetFileDescription(char* out, const std::string& path) {
  std::string d = GetFileDescription(path);
  std::snprintf(out, kFieldSize, "%s", d.c_str());
}

}  // namespace version
