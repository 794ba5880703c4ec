// Running programs: the walk of the process table with each process's program file, the
// search for the process that runs a program, and ending it.
#pragma once
#include <functional>
#include <string>

#include "platform/wintypes.h"

namespace ui {
class PageHost;
}

namespace sysobjects {

// Calls the visitor with the id and the main module's file name of every process that can be
// opened for reading. 1 when the process table cannot be read, else 0.
int ForEachProcessModule(const std::function<void(DWORD pid, const std::string& file)>& visitor);

// True when a process's program file is the wanted path: both expanded, the process's file in
// its long form, compared without regard to case; else when the process's file name alone is
// the whole wanted text (a bare file name matches any process of that name).
bool ProcessRunsPath(const std::string& processFile, const std::string& wanted);
// The id of the process that runs the program (the last one met), 0 when none does.
DWORD FindProcessByPath(const std::string& path);

// Ends the process that runs the program, after asking through host when ask is set (without
// a host nothing is ended then). Records TASK_Kill in the history when it was ended. Returns
// the id of the process found, 0 when the program is not running.
DWORD KillStartupTask(const std::string& title, const std::string& path, bool ask,
                      ui::PageHost* host = nullptr);

}  // namespace sysobjects
