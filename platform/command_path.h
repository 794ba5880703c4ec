// Command lines as startup entries, services, tasks and add-ons give them, turned into the
// program files they run: quoted or not, with parameters, with %WINDIR%-style variables or
// \SystemRoot\, through RUNDLL32.EXE, or as bare names found in the system folders.
#pragma once
#include <string>

namespace paths {

// The program file of a command, upper-cased: variables replaced, from the drive letter to
// the end of the first ".?X?" / ".?L?" extension. On a 64-bit Windows a missing file under
// Program Files (x86) is looked for under Program Files.
std::string GetFileFromCommand(const std::string& command);
int GetFileFromCommand(const char* command, char* out /* 260 */);

// The file of a command in its long form and the parameters that follow it (starting with
// the separating blank). Returns the index just past the file name in the expanded command.
size_t SplitCommand(const std::string& command, std::string* file, std::string* parameters);

// True when the command runs RUNDLL32.EXE; *target gets the text after "RUNDLL32.EXE " (the
// whole command otherwise).
bool GetRunDllTarget(const std::string& command, std::string* target);

// The text before the last backslash ("X:\" for a file in a drive's root). A bare name is
// looked for in the Windows, System and SysWOW64 folders; empty when there is no folder.
std::string GetFileFolder(const std::string& path);
// The text after the last backslash, and the index just after it.
std::string GetFileName(const std::string& path);
size_t GetFileNamePosition(const std::string& path);

// The long form of a short (8.3) path, or the path unchanged.
std::string GetLongPath(const std::string& path);
// The first folder under the Program Files folder, for a path inside it.
std::string GetProgramFilesFolderName(const std::string& path);
// The last component of the user's profile folder; empty when there is none.
std::string GetProfileUserName();
std::string GetHostsFilePath();

// The Windows and System folders (GetWindowsDirectoryA / GetSystemDirectoryA).
std::string WindowsFolder();
std::string SystemFolder();

// Internet Explorer's program, the program that opens web addresses (upper-case) and the
// browser code of that program.
std::string GetIEPath();
std::string GetDefaultBrowserPath();
int GetDefaultBrowserKind();

}  // namespace paths
