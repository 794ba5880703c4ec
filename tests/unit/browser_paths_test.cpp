// The browser and profile look-ups of the path services.
#include <string>

#include "platform/command_path.h"
#include "tests/unit/sim_fixture.h"

namespace {

class BrowserPaths : public testing_support::SimTest {
 protected:
  void SetHttp(const std::string& command) {
    Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\HTTP\\shell\\open\\command]\n@=\"" +
         command + "\"\n");
  }
};

TEST_F(BrowserPaths, DefaultBrowserFromTheOpenCommand) {
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE]\n"
       "\"Path\"=\"C:\\\\Program Files\\\\Internet Explorer;\"\n");
  EXPECT_EQ(paths::GetIEPath(), "C:\\Program Files\\Internet Explorer\\iexplore.exe");
  // Nothing registered for web addresses: Internet Explorer.
  EXPECT_EQ(paths::GetDefaultBrowserPath(), "C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE");
  EXPECT_EQ(paths::GetDefaultBrowserKind(), 1);

  struct Case {
    const char* command;
    const char* path;
    int kind;
  } cases[] = {
      {"\\\"C:\\\\Program Files\\\\Mozilla Firefox\\\\firefox.exe\\\" -osint -url \\\"%1\\\"",
       "C:\\PROGRAM FILES\\MOZILLA FIREFOX\\FIREFOX.EXE", 6},  // "mozilla" is tested first
      {"C:\\\\Browsers\\\\Pale-Moon\\\\palemoon.exe %1", "C:\\BROWSERS\\PALE-MOON\\PALEMOON.EXE", 9},
      {"\\\"C:\\\\Program Files\\\\Maxthon\\\\Maxthon.exe\\\" \\\"%1\\\"",
       "C:\\PROGRAM FILES\\MAXTHON\\MAXTHON.EXE", 4},
      {"C:\\\\Tools\\\\other.exe", "C:\\TOOLS\\OTHER.EXE", 1},
  };
  for (const auto& c : cases) {
    SetHttp(c.command);
    EXPECT_EQ(paths::GetDefaultBrowserPath(), c.path) << c.command;
    EXPECT_EQ(paths::GetDefaultBrowserKind(), c.kind) << c.command;
  }
}

TEST_F(BrowserPaths, ProfileUserAndHosts) {
  EXPECT_EQ(paths::GetProfileUserName(), "User");
  machine_.system().SetEnv("USERPROFILE", "NoBackslash");
  EXPECT_EQ(paths::GetProfileUserName(), "");
  EXPECT_EQ(paths::GetHostsFilePath(), "C:\\Windows\\system32\\drivers\\etc\\HOSTS");
  machine_.system().version.platformId = VER_PLATFORM_WIN32_WINDOWS;
  EXPECT_EQ(paths::GetHostsFilePath(), "C:\\Windows\\HOSTS");
}

}  // namespace
