#include "platform/sim/sim_machine.h"

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace sim {

namespace {
std::string MakeRoot(const std::string& requested, bool* owns) {
  if (!requested.empty()) {
    *owns = false;
    return requested;
  }
  static std::atomic<int> counter{0};
  fs::path root = fs::temp_directory_path() /
                  ("tallowick-sim-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::error_code ec;
  fs::remove_all(root, ec);
  *owns = true;
  return root.string();
}
}  // namespace

SimMachine::SimMachine(const MachineConfig& config)
    : config_(config),
      hostRoot_(MakeRoot(config.hostRoot, &ownsRoot_)),
      files_(system_, hostRoot_),
      profile_(files_, system_) {
  std::error_code ec;
  fs::create_directories(fs::path(hostRoot_) / "C", ec);

  system_.process64 = config.process64;
  system_.wow64 = config.windows64 && !config.process64;
  registry_.SetWindows64(config.windows64, config.process64);
  processes_.SetWindows64(config.windows64, config.process64);

  // The folders and values every Windows of the kind has.
  const char* folders[] = {"C:\\Windows", "C:\\Windows\\system32", "C:\\Program Files",
                           "C:\\Program Files\\Tallowick", "C:\\Users",
                           "C:\\Users\\User", "C:\\Users\\User\\AppData",
                           "C:\\Users\\User\\AppData\\Roaming", "C:\\Windows\\Temp"};
  for (const char* f : folders) files_.CreateDirectoryA(f);
  if (config.windows64) {
    files_.CreateDirectoryA("C:\\Windows\\SysWOW64");
    files_.CreateDirectoryA("C:\\Program Files (x86)");
  }
  // From here on a 32-bit program on a 64-bit Windows sees System32 redirected; the
  // folders above were made as they are on disk.
  files_.SetWindows64(config.windows64, config.process64);
  files_.SetRegistry(&registry_);
  files_.CreateSpecialFolders();
  system_.SetEnv("SystemRoot", "C:\\Windows");
  system_.SetEnv("windir", "C:\\Windows");
  system_.SetEnv("SystemDrive", "C:");
  system_.SetEnv("ProgramFiles", config.windows64 && !config.process64
                                     ? "C:\\Program Files (x86)"
                                     : "C:\\Program Files");
  system_.SetEnv("USERPROFILE", "C:\\Users\\User");
  system_.SetEnv("APPDATA", "C:\\Users\\User\\AppData\\Roaming");
  system_.SetEnv("TEMP", "C:\\Windows\\Temp");
  system_.SetEnv("TMP", "C:\\Windows\\Temp");
  system_.SetEnv("USERNAME", "User");

  plat::RegKey key(registry_);
  if (key.Create(HKEY_CURRENT_USER,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 KEY_ALL_ACCESS) == ERROR_SUCCESS) {
    const char appData[] = "C:\\Users\\User\\AppData\\Roaming";
    registry_.RegSetValueExA(key.get(), "AppData", REG_SZ,
                             reinterpret_cast<const BYTE*>(appData), sizeof appData);
  }
  if (key.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                 KEY_ALL_ACCESS | KEY_WOW64_64KEY) == ERROR_SUCCESS) {
    const char pf[] = "C:\\Program Files";
    registry_.RegSetValueExA(key.get(), "ProgramFilesDir", REG_SZ,
                             reinterpret_cast<const BYTE*>(pf), sizeof pf);
  }
  key.Close();

  platform_.reg = &registry_;
  platform_.profile = &profile_;
  platform_.files = &files_;
  platform_.sys = &system_;
  platform_.launcher = &launcher_;
  platform_.version = &version_;
  platform_.links = &links_;
  platform_.processes = &processes_;
  launcher_.system = &system_;
}

SimMachine::~SimMachine() {
  if (ownsRoot_) {
    std::error_code ec;
    fs::remove_all(hostRoot_, ec);
  }
}

}  // namespace sim
