// The fixed ways the program starts other programs: a delayed-start program, the shell's
// Properties dialog of a file, an Explorer window on a program's folder, and the registry
// editor for a silent import of the repair file.
#pragma once
#include <string>

namespace launching {

// 0 after an attempt, 2 when the file does not exist. A negative location code starts the
// file through RUNDLL32.EXE; runAs asks for administrator rights.
int fileLaunchDelayedProgram(const std::string& parameters, const std::string& file,
                             int locationCode, bool runAs);
// The shell's Properties dialog of a file; true when it was shown.
bool fileShellExecute(const std::string& file);
// An Explorer window on the folder of a command's program; true when it was started.
bool ExploreFolderOf(const std::string& command);
// The Properties dialog of a command's program file, when that file exists.
bool ShowPropertiesOf(const std::string& command);
// Opens a file (a note) in its associated program; true when it was started.
bool OpenDocument(const std::string& file);
// "-RegRepair": imports temp.reg from the data folder with the registry editor. 1 when done
// or nothing to do, 0 when the editor could not be started.
int ImportRepairFile();

}  // namespace launching
