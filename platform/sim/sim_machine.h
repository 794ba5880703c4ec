// A whole simulated Windows machine: registry, files (each drive a host folder), win.ini and
// other profile files, OS facts and clock. Tests create one per case and install it.
#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_launcher.h"
#include "platform/sim/sim_links.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_version.h"

namespace sim {

struct MachineConfig {
  // A 64-bit Windows (two registry views, System32/SysWOW64) or a 32-bit one.
  bool windows64 = true;
  // The program's own build: true for the x86_64 program, false for the i686 one.
  bool process64 = true;
  // Host folder that holds the simulated drives; empty makes a fresh temporary folder that is
  // removed with the machine.
  std::string hostRoot;
};

class SimMachine {
 public:
  explicit SimMachine(const MachineConfig& config = MachineConfig{});
  ~SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  SimRegistry& registry() { return registry_; }
  SimFileSystem& files() { return files_; }
  SimProfile& profile() { return profile_; }
  SimSystem& system() { return system_; }
  SimLauncher& launcher() { return launcher_; }
  SimVersionInfo& version() { return version_; }
  SimLinks& links() { return links_; }
  SimProcesses& processes() { return processes_; }
  const plat::Platform& platform() const { return platform_; }
  const MachineConfig& config() const { return config_; }

  // Makes this machine the process-wide platform.
  void Install() const { plat::Install(&platform_); }

  // Host path of a Windows path (see SimFileSystem::HostPath).
  std::string HostPath(const std::string& windowsPath) { return files_.HostPath(windowsPath); }

 private:
  MachineConfig config_;
  bool ownsRoot_ = false;  // set while hostRoot_ is made, so declared before it
  std::string hostRoot_;
  SimRegistry registry_;
  SimFileSystem files_;
  SimSystem system_;
  SimProfile profile_;
  SimLauncher launcher_;
  SimVersionInfo version_{files_, system_};
  SimLinks links_{files_, system_};
  SimProcesses processes_{system_};
  plat::Platform platform_;
};

}  // namespace sim
