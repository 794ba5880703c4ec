#include "app/maintenance.h"

#include <cstdio>
#include <string>
#include <vector>

#include "diag/testlog.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "settings/options.h"
#include "startup/delayed.h"

namespace app {

using settings::kProgramKey;

const char* const kGeometryValues[] = {
    "xPos",          "yPos",          "dxPos",          "dyPos",
    "xInfo",         "yInfo",         "dxInfo",         "dyInfo",
    "xCookie",       "yCookie",       "dxCookie",       "dyCookie",
    "xDefaultWarning", "yDefaultWarning", "dxDefaultWarning", "dyDefaultWarning",
    "xPosAddFileType", "yPosAddFileType", "dxPosAddFileType", "dyPosAddFileType",
    "xPosAlert",     "yPosAlert",     "dxAlert",        "dyAlert",
    "xPosSysFiles",  "yPosSysFiles",  "dxSysFiles",     "dySysFiles",
};
const int kGeometryValueCount = sizeof kGeometryValues / sizeof kGeometryValues[0];

namespace {
constexpr const char* kAutoUpdateKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
constexpr const char* kExplorerMenuKey = "exefile\\shell\\Tallowick PLUS";
constexpr int kLanguageStringValues = 1500;

bool ValueExists(HKEY root, const char* name) {
  HKEY key = reg::OpenForRead(root, kProgramKey);
  return key && reg::GetRegValueType(key, name) != 0;
}

// Deletes every file (not sub-folder) directly in a folder.
void DeleteFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  plat::Files().ForEachEntry(folder.c_str(), "*", [&](const char* name, DWORD attrs) {
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(name);
  });
  for (const auto& n : names) paths::fileRemoveFile(folder + "\\" + n);
}
}  // namespace

void RestoreInstall() {
  // 1. Stored translations, HKCU (both views on a 64-bit Windows) and then HKLM. Only the
  // values that exist are deleted, so the trace is not filled with 3000 misses.
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    for (int i = 0; i < kLanguageStringValues; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "LString%d", i);
      if (reg::Is64BitFlag() || ValueExists(root, name)) reg::DeleteRegValue(name, root, kProgramKey);
    }
  }
  // 2. The monitor's and the explorer's own startup entries are removed here with the
  // startup records.
  // 3. Saved window geometry.
  for (int i = 0; i < kGeometryValueCount; ++i)
    if (ValueExists(HKEY_CURRENT_USER, kGeometryValues[i]))
      reg::DeleteRegValue(kGeometryValues[i], HKEY_CURRENT_USER, kProgramKey);
  // 4. Every delayed program back to its startup location, then 5.
  settings::SetOption("Installed", 0);
  startup::RestoreAllDelayedPrograms();
  settings::SetOption("Installed", 0);
  // 6.
  reg::DeleteRegKeyTreeCopy("Software\\Orvendel Studios", HKEY_CURRENT_USER);
  // 7.
  if (HKEY key = reg::OpenForRead(HKEY_CLASSES_ROOT, kExplorerMenuKey)) {
    plat::Reg().RegCloseKey(key);
    reg::DeleteRegKeyTreeCopy(kExplorerMenuKey, HKEY_CLASSES_ROOT);
  }
  // 8. The data folder's files, then the folder (which stays when a sub-folder is left).
  std::string data = paths::GetDataFolder();
  DeleteFilesIn(data + "\\vault");
  DeleteFilesIn(data);
  paths::fileRemoveFolder(data);
}

void RestoreAUOption() {
  reg::View64 view;
  DWORD saved = reg::GetRegDWORDValue(reg::OpenForRead(HKEY_CURRENT_USER, kProgramKey),
                                      "AUOptions");
  char text[64];
  std::snprintf(text, sizeof text, "%lu",
                static_cast<unsigned long>(reg::GetRegDWORDValue(
                    reg::OpenForRead(HKEY_LOCAL_MACHINE, kAutoUpdateKey), "AUOptions")));
  diag::TestLog(text, "AUOptions before");
  reg::SetRegDWORDValue(HKEY_LOCAL_MACHINE, kAutoUpdateKey, "AUOptions", saved);
  std::snprintf(text, sizeof text, "%lu",
                static_cast<unsigned long>(reg::GetRegDWORDValue(
                    reg::OpenForRead(HKEY_LOCAL_MACHINE, kAutoUpdateKey), "AUOptions")));
  diag::TestLog(text, "AUOptions after");
}

}  // namespace app
