// The version record of a program file: the five strings of its version resource that the
// lists show, chosen by the translation table.
#pragma once
#include <cstddef>
#include <string>

namespace version {

// Each field is 1024 bytes and takes at most 127 characters from the resource.
inline constexpr size_t kFieldSize = 1024;
inline constexpr size_t kMaxFieldText = 127;
// Version resources this large or larger are not read.
inline constexpr unsigned long kMaxVersionInfoSize = 8192;

enum VersionField {
  PRODUCT_NAME,
  PRODUCT_VERSION,
  COMPANY,
  DESCRIPTION,
  LEGAL_NOTICE,
  FIELD_COUNT
};

// The resource's string names, in field order.
inline constexpr const char* kFieldNames[FIELD_COUNT] = {
    "ProductName", "ProductVersion", "CompanyName", "FileDescription", "LegalCopyright"};

struct VersionInfo {
  char field[FIELD_COUNT][kFieldSize];

  const char* productName() const { return field[PRODUCT_NAME]; }
  const char* productVersion() const { return field[PRODUCT_VERSION]; }
  const char* company() const { return field[COMPANY]; }
  const char* description() const { return field[DESCRIPTION]; }
  const char* legalNotice() const { return field[LEGAL_NOTICE]; }
};
static_assert(sizeof(VersionInfo) == 5120, "the record is five fields of 1024 bytes");

// Fills the record from the file's version resource (all fields empty first). The last
// translation of the table decides every field; a system file ("Operating System" in its
// product name) shows its description as product name; without a company, a file under
// Program Files names its vendor's folder. True when the product name is not empty.
bool GetVersionInfoEx(VersionInfo& record, const std::string& path);

// The file's description (field 3 of its record); empty when it has none.
std::string GetFileDescription(const std::string& path);
void GetFileDescription(char* out /* kFieldSize */, const std::string& path);

}  // namespace version
