// The real Win32 implementations of the platform interfaces, one file each.
#pragma once
#include "platform/platform.h"

namespace win32 {

plat::IRegistry& Registry();
plat::IProfile& Profile();
plat::IFileSystem& Files();
plat::ISystem& System();
plat::ILauncher& Launcher();
plat::IVersionInfo& Version();
plat::ILinks& Links();
plat::IProcesses& Processes();

}  // namespace win32
