// Version resources of program files (version.dll), as the system reads them: the size, the
// whole VS_VERSIONINFO block, and values inside the block by sub-block path
// ("\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904B0\\CompanyName").
#pragma once
#include "platform/wintypes.h"

namespace plat {

class IVersionInfo {
 public:
  virtual ~IVersionInfo() = default;
  // 0 when the file has no version resource or cannot be read (the last error says why).
  virtual DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) = 0;
  virtual BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) = 0;
  // Points into `block` (string values as single-byte text, as VerQueryValueA gives them).
  virtual BOOL VerQueryValueA(const void* block, const char* subBlock, void** value,
                              UINT* length) = 0;
};

}  // namespace plat
