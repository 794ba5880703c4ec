// The one process-wide set of platform services. The Windows program installs the real
// calls at start; tests install a fresh simulated machine for every case.
#pragma once
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/links.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/version.h"

namespace plat {

struct Platform {
  IRegistry* reg = nullptr;
  IProfile* profile = nullptr;
  IFileSystem* files = nullptr;
  ISystem* sys = nullptr;
  ILauncher* launcher = nullptr;
  IVersionInfo* version = nullptr;
  ILinks* links = nullptr;
  IProcesses* processes = nullptr;
};

// The installed services; Install replaces them (nullptr clears).
void Install(const Platform* p);
const Platform& Current();

inline IRegistry& Reg() { return *Current().reg; }
inline IProfile& Profile() { return *Current().profile; }
inline IFileSystem& Files() { return *Current().files; }
inline ISystem& Sys() { return *Current().sys; }
inline ILauncher& Launcher() { return *Current().launcher; }
inline IVersionInfo& Version() { return *Current().version; }
inline ILinks& Links() { return *Current().links; }
inline IProcesses& Processes() { return *Current().processes; }

}  // namespace plat
