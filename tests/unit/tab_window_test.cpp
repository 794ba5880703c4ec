// What the tab window decides outside its windows: the sound it opens with and the PLUS
// page's version line and monitor restart.
#include <fstream>
#include <sstream>
#include <string>

#include "app/about_page.h"
#include "app/open_sound.h"
#include "platform/registry_access.h"
#include "settings/options.h"
#include "tests/unit/sim_fixture.h"

namespace {

class TabWindow : public testing_support::SimTest {};

TEST_F(TabWindow, OpenSoundFollowsTheOptionAndTheScheme) {
  const std::string key = std::string("HKEY_CURRENT_USER\\") + app::kOpenSoundKey;
  struct Case {
    int sound;
    const char* scheme;  // nullptr: no such value
    bool play;
    const char* file;
  };
  const Case cases[] = {
      {0, "C:\\Sounds\\open.wav", false, ""},
      {-1, nullptr, false, ""},
      {1, nullptr, true, ""},                              // the program's own wave
      {1, "", true, ""},                                   // an empty scheme entry: the same
      {2, "C:\\Sounds\\open.wav", true, "C:\\Sounds\\open.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.sound) + " " + (c.scheme ? c.scheme : "<none>"));
    machine_.registry().RegDeleteKeyA(HKEY_CURRENT_USER, app::kOpenSoundKey);
    settings::Value(settings::Opt::Sound) = c.sound;
    if (c.scheme) {
      std::string escaped;
      for (char ch : std::string(c.scheme)) escaped += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
      Seed("REGEDIT4\n\n[" + key + "]\n@=\"" + escaped + "\"\n");
    }
    app::OpenSound s = app::ChooseOpenSound();
    EXPECT_EQ(s.play, c.play);
    EXPECT_EQ(s.file, c.file);
  }
}

TEST_F(TabWindow, PlusPageVersionLine) {
  // Without a readable version record of its own file the program names its built-in version.
  EXPECT_EQ(app::AboutVersionLine(), "Tallowick v 33.1.2015.0");
  std::ifstream in(std::string(TW_PROGRAM_FIXTURE_DIR) + "/ver_single.exe", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  ASSERT_GT(bytes.str().size(), 1024u);
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Tallowick\\TallowickEx.exe", bytes.str()));
  EXPECT_EQ(app::AboutVersionLine(), "Tallowick v 5.6.7.8");
}

TEST_F(TabWindow, MonitorRestartOpensItFromTheProgramFolder) {
  EXPECT_TRUE(app::RestartMonitor());
  ASSERT_EQ(machine_.launcher().launches.size(), 1u);
  const auto& l = machine_.launcher().launches[0];
  EXPECT_EQ(l.verb, "open");
  EXPECT_EQ(l.file, "C:\\Program Files\\Tallowick\\Tallowick.exe");
  EXPECT_EQ(l.parameters, "-RESTART");
  EXPECT_EQ(l.folder, "C:\\Program Files\\Tallowick");
  EXPECT_EQ(l.show, 1);
}

}  // namespace
