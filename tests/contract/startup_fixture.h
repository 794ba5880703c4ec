// One machine with a startup entry of every location kind: the registry seed
// (startup_machine.reg), its program files, Startup-folder shortcuts and win.ini entries. The
// same machine is placed on the simulated machine and on Windows under Wine; the startup
// contract fixture puts back everything it changed.
#pragma once
#include "platform/links.h"
#include "platform/platform.h"
#include "tests/contract/startup_contract.h"

namespace contract {

class StartupMachine : public StartupContract {
 protected:
  // Seeds the registry and writes the files, shortcuts and win.ini entries of the machine.
  void PlaceMachine() {
    ASSERT_TRUE(env_->SeedRegFile("startup_machine.reg"));
    auto& files = plat::Files();
    for (const char* f : {"C:\\TwFix", "C:\\TwFix\\Startup", "C:\\TwFix\\Common"})
      files.CreateDirectoryA(f);
    for (const char* f : {"C:\\TwFix\\hook.dll", "C:\\TwFix\\linked.exe", "C:\\TwFix\\dead.exe",
                          "C:\\TwFix\\winrun.exe", "C:\\TwFix\\winload.exe",
                          "C:\\TwFix\\Startup\\twfix.bat", "C:\\TwFix\\Startup\\desktop.ini"})
      MakeFile(f);
    plat::ShellLink link;
    link.target = "C:\\TwFix\\linked.exe";
    link.description = "TwFix Linked";
    ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Common\\linked.lnk", link));
    link.target = "C:\\TwFix\\dead.exe";
    link.description = "TwFix Dead";
    ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Startup\\dead.lnk", link));
    ASSERT_TRUE(files.DeleteFileA("C:\\TwFix\\dead.exe"));
    ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "run", "C:\\TwFix\\winrun.exe"));
    ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "load", "C:\\TwFix\\winload.exe;C:\\TwFix\\gone.exe"));
  }
};

}  // namespace contract
