// The registry layer every operation of the program uses: text-only value handling, the
// process-wide access masks with the switch to the 64-bit view, recursive key deletion, and
// the editing of the load= and run= lists of win.ini.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace reg {

// Registry texts are read into a buffer of this many bytes.
inline constexpr DWORD kValueBuffer = 1024;
// Key paths longer than this are not copied.
inline constexpr size_t kMaxKeyPath = 520;

// The two process-wide access masks used by every open and create.
REGSAM ReadMask();
REGSAM WriteMask();
void SetMasks(REGSAM read, REGSAM write);
// The masks of a program that has just been loaded: KEY_READ and KEY_WRITE.
void SetLoadMasks();
// The native masks of the running program: KEY_READ and KEY_ALL_ACCESS.
void SetNativeMasks();

// The 64-bit flag: this process must take care of the 64-bit registry view and file-system
// redirection.
bool Is64BitFlag();
void Set64BitFlag(bool on);

// Switches the masks to the 64-bit view while it lives, when the 64-bit flag is set, and puts
// the saved masks back when it ends.
class View64 {
 public:
  View64();
  ~View64();
  View64(const View64&) = delete;
  View64& operator=(const View64&) = delete;

 private:
  REGSAM read_, write_;
};

// Reads a value as text (REG_SZ, REG_EXPAND_SZ expanded; a REG_DWORD gives the empty text)
// into out, which holds limit + 1 bytes. Returns the length, 0 when nothing was read or the
// text is longer than limit.
int GetRegStringValue(const char* path, const char* valueName, char* out, int limit, HKEY root);
// The same, as a string (empty when nothing was read).
std::string GetRegString(HKEY root, const char* path, const char* valueName,
                         int limit = kValueBuffer);
int SetRegStringValue(const char* path, HKEY root, const char* valueName, const char* text);
int SetRegDWORDValue(HKEY root, const char* path, const char* valueName, DWORD value);
// These three take an open key and close it.
DWORD GetRegDWORDValue(HKEY key, const char* valueName);
LONG GetRegDWORDValueOr(HKEY key, const char* valueName);
DWORD GetRegValueType(HKEY key, const char* valueName);
// Opens root\path with the read mask for the three above; nullptr when it cannot be opened.
HKEY OpenForRead(HKEY root, const char* path);

int CreateRegKey(HKEY root, const char* path);
int DeleteRegValue(const char* valueName, HKEY root, const char* path);
int DeleteRegKeyTree(HKEY root, std::string& path);
int DeleteRegKeyTreeCopy(const char* path, HKEY root);
LONG DeleteRegKeyView(HKEY root, const char* path, REGSAM view);

// Edits the ';'-separated lists `load` and `run` of win.ini's [windows] section.
void RemoveProfileListEntry(const char* keyName, const char* entry);
void AddProfileListEntry(const char* keyName, const char* entry);

// Back to the state of a freshly loaded program (tests).
void ResetRegistryState();

}  // namespace reg
