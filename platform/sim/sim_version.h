// Version resources of the simulated machine: the VS_VERSIONINFO resource (type 16, id 1) is
// read out of the real PE file (PE32 or PE32+) that the machine's file system opens for the
// Windows path (its folders, redirection and errors), and handed out in the layout
// version.dll gives the A functions: the block as stored, then "FE2X" and room for the
// single-byte copies of the strings that VerQueryValueA makes.
//
// Every offset and size of the file is checked before it is used: a damaged or cut file gives
// 0 and ERROR_RESOURCE_DATA_NOT_FOUND, and a version block that does not fit its resource
// gives ERROR_BAD_FORMAT. Nothing is ever read or written outside the file, the caller's
// buffer or the block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/version.h"

namespace sim {

class SimSystem;

inline constexpr DWORD kErrorBadFormat = 11;               // ERROR_BAD_FORMAT
inline constexpr DWORD kErrorResourceDataNotFound = 1812;  // ERROR_RESOURCE_DATA_NOT_FOUND
inline constexpr DWORD kErrorResourceTypeNotFound = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
inline constexpr DWORD kErrorBadPathname = 161;            // ERROR_BAD_PATHNAME

// Where the version resource lies in a PE file.
struct VersionResource {
  DWORD error = 0;      // 0 when found; otherwise the error the version functions report
  uint64_t offset = 0;  // file offset of the block
  DWORD size = 0;       // the resource's size as its data entry gives it
};

// Finds the version resource in the first `size` bytes of a PE image. Of several languages
// the one an English Windows picks: language neutral, then US English, then the first.
VersionResource FindVersionResource(const unsigned char* image, size_t size);

class SimVersionInfo : public plat::IVersionInfo {
 public:
  SimVersionInfo(plat::IFileSystem& files, SimSystem& system) : files_(files), system_(system) {}

  // Twice the resource's size and 4 more, as version.dll answers the A function.
  DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) override;
  // Copies the block; refuses (ERROR_INSUFFICIENT_BUFFER) a buffer that cannot hold it, and
  // writes "FE2X" after it only when the room for the string copies follows as well.
  BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) override;
  // Walks the block by its keys (any case). Strings come back as single-byte text in the
  // Western code page (characters it lacks as '?'), with their length in characters as the
  // block counts it (the zero included); binary values with their length in bytes.
  BOOL VerQueryValueA(const void* block, const char* subBlock, void** value, UINT* length) override;

 private:
  // The file's bytes and its version resource; false (last error set) when there is none.
  bool Load(const char* path, std::string* bytes, VersionResource* found);

  plat::IFileSystem& files_;
  SimSystem& system_;
};

}  // namespace sim
