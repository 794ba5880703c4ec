// The program's own folders and the file removal the start-up and restore steps use.
#pragma once
#include <string>

namespace paths {

inline constexpr size_t kMaxPath = 260;

// Switches WOW64 file-system redirection off while it lives, when the 64-bit flag is set, so
// that the real system folders are seen; switched back on every way out.
class RedirectionOff {
 public:
  RedirectionOff();
  ~RedirectionOff();
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;

 private:
  void* old_ = nullptr;
  bool switched_ = false;
};

// The folder of the program's own file (empty when its name is too long).
std::string GetProgramFolder();
// <AppData>\Tallowick, created when needed; the program folder when AppData is unknown or
// the folder cannot be made.
std::string GetDataFolder();

// True when the file exists. Without the 64-bit flag a bare name found in the Windows or
// System folder replaces the path with the full (short-form) path that was found.
bool FileExists(std::string& path);
bool FileExists(const std::string& path);

// Clear the attributes, then delete; the result is the system call's.
bool fileRemoveFile(const std::string& path);
bool fileRemoveFolder(const std::string& path);

}  // namespace paths
