// The run list: the one shared list of fixed-layout run items that every enumeration fills
// and every view, action and report reads back by index.
#pragma once
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace startup {

inline constexpr int kMaxRunItems = 4096;
inline constexpr size_t kTitleSize = 128, kPathSize = 260, kSourceSize = 260,
                        kDetailSize = 1024;

struct RunItem {
  char title[kTitleSize];
  char path[kPathSize];
  char source[kSourceSize];
  int location;
  int aux;
  char detail[kDetailSize];
  int running;
};

// Appends an item; 1 when it was added, 0 when it was refused (full list, empty command, a
// cookie past MaxCookie).
int AddRunStruct(const std::string& title, const std::string& command,
                 const std::string& source, const std::string& detail, int location, int aux);
void ClearRunList();
int RunCount();
// A copy of every item, and the list put back from such a copy: for operations that fill the
// list on the side while a view still holds row indexes into it.
std::vector<RunItem> CopyRunList();
void RestoreRunList(const std::vector<RunItem>& items);
// The item at an index, nullptr when there is none (for enumerations that set `running`).
RunItem* GetRunItem(int index);

int GetRunTitle(int index, char* out /* 128 */);
int GetRunPath(int index, char* out /* 260 */);
int GetRunSource(int index, char* out /* 260 */);
int GetRunDetail(int index, char* out /* 261 */);
int GetRunAux(int index);
int GetRunLocation(int index);
int GetRunRunning(int index);
HKEY GetRunHive(int index);
std::string RunTitle(int index);
std::string RunPath(int index);
std::string RunSource(int index);
std::string RunDetail(int index);

// The location text, starting with the disabled marker when the item is disabled.
int GetRunLocationText(int index, char* out /* 512 */);
std::string RunLocationText(int index);
// Non-zero when the startup item is disabled: Windows 8's own approval data, else the
// location code stored in the disabled marker key.
int IsRunItemDisabled(int index);

inline constexpr const char* kDisabledKey = "Software\\Orvendel Studios\\Tallowick\\Disabled";
inline constexpr const char* kDisabledKey32 =
    "Software\\Wow6432Node\\Orvendel Studios\\Tallowick\\Disabled";

}  // namespace startup
