// Shell links (.lnk files) as the system reads and writes them: shell32's IShellLinkA with
// IPersistFile. Load is CoCreateInstance(CLSID_ShellLink), IPersistFile::Load, optionally
// IShellLink::Resolve(SLR_NO_UI | timeout << 16), then the Get* calls; Save is the Set* calls
// and IPersistFile::Save. The Windows program initialises COM at start.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace plat {

// IShellLink::Resolve flags (SLR_*).
inline constexpr DWORD kSlrNoUi = 0x0001;

// The buffers the texts are read into: MAX_PATH for the target, the working folder and the
// icon file, INFOTIPSIZE for the description and the arguments. Longer texts are cut to the
// buffer (one character less, for the terminating zero).
inline constexpr DWORD kLinkTextBuffer = 1024;

// What one shortcut holds, as the Get* calls give it (ANSI texts).
struct ShellLink {
  std::string target;         // GetPath; empty when the link names no file
  std::string arguments;      // GetArguments
  std::string description;    // GetDescription
  std::string workingFolder;  // GetWorkingDirectory
  std::string iconPath;       // GetIconLocation
  int iconIndex = 0;
  int showCommand = SW_SHOWNORMAL;  // GetShowCmd
  // What Resolve answered when Load was asked to resolve (S_OK otherwise). S_FALSE means the
  // shell gave up looking for the target within the time-out; the fields are still read.
  HRESULT resolveResult = S_OK;
};

class ILinks {
 public:
  virtual ~ILinks() = default;
  // Reads the shortcut at lnkPath into *out; with resolve, IShellLink::Resolve runs first with
  // SLR_NO_UI and the time-out (milliseconds, at most 65535) in the high word. False for a
  // file that is missing, cannot be read, is truncated or is no shell link: the last error
  // says why (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED for a folder,
  // ERROR_INVALID_DATA for a file that is not a whole shell link) and *out is emptied, so a
  // caller that goes on sees a shortcut without a target.
  virtual bool Load(const char* lnkPath, ShellLink* out, bool resolve, DWORD timeoutMs) = 0;
  // Writes a new shortcut at lnkPath (replacing one that is there) with the target, the
  // arguments, the description, the working folder, the icon and the show command of link
  // (resolveResult is not used). False, with the last error, when the file cannot be written
  // (ERROR_PATH_NOT_FOUND for a missing folder, ERROR_ACCESS_DENIED for a folder or a
  // read-only file).
  virtual bool Save(const char* lnkPath, const ShellLink& link) = 0;
};

}  // namespace plat
