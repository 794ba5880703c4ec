// Shortcuts on the simulated machine beyond what the contract suite checks against Wine: the
// writer's exact output, paths through the machine's drives, the resolve answer a test can
// set, the buffer cuts, and damaged layouts that must fail without reading past the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/unit/sim_fixture.h"

namespace {

std::string HostFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

uint32_t U32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

void Put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

class SimLinksTest : public testing_support::SimTest {
 protected:
  std::string Fixture(const std::string& name) {
    return HostFile(std::string(TW_FIXTURE_DIR) + "/links/" + name);
  }
  bool LoadBytes(const std::string& bytes, plat::ShellLink* out) {
    EXPECT_TRUE(machine_.files().WriteFileText("C:\\Windows\\Temp\\t.lnk", bytes));
    return plat::Links().Load("C:\\Windows\\Temp\\t.lnk", out, true, 500);
  }
};

TEST_F(SimLinksTest, TheWriterWritesTheCommittedFixture) {
  // tests/fixtures/links/sim_written.lnk is what this machine writes; the contract suite
  // loads it through the shell under Wine. A deliberate change of the writer renews it.
  plat::ShellLink link;
  link.target = "C:\\Program Files\\Tallowick Test\\Sim Tool.exe";
  link.arguments = "-q /x \"a b\"";
  link.description = "Written by the machine";
  link.workingFolder = "C:\\Program Files\\Tallowick Test";
  link.iconPath = "C:\\Windows\\system32\\shell32.dll";
  link.iconIndex = 12;
  link.showCommand = 3;
  ASSERT_TRUE(plat::Links().Save("C:\\Windows\\Temp\\sim_written.lnk", link));
  const std::string written = machine_.files().ReadFileText("C:\\Windows\\Temp\\sim_written.lnk");
  if (written != Fixture("sim_written.lnk")) {
    std::string renewed = (std::filesystem::temp_directory_path() / "sim_written.lnk").string();
    std::ofstream(renewed, std::ios::binary) << written;
    FAIL() << "the writer's output differs from the fixture; the new output is in " << renewed;
  }
}

TEST_F(SimLinksTest, LinksAreFoundThroughTheMachinesDrivesWithoutRegardToCase) {
  plat::ShellLink link;
  link.target = "C:\\Tools\\tool.exe";
  ASSERT_TRUE(plat::Links().Save("C:\\Windows\\Temp\\Tool.lnk", link));
  EXPECT_TRUE(std::filesystem::exists(machine_.HostPath("C:\\Windows\\Temp\\Tool.lnk")));
  plat::ShellLink got;
  ASSERT_TRUE(plat::Links().Load("c:\\WINDOWS\\temp\\TOOL.LNK", &got, false, 0));
  EXPECT_EQ("C:\\Tools\\tool.exe", got.target);
}

TEST_F(SimLinksTest, ResolveAnswersWhatTheTestSet) {
  plat::ShellLink link;
  link.target = "C:\\Moved\\tool.exe";
  link.description = "Moved tool";
  ASSERT_TRUE(plat::Links().Save("C:\\Windows\\Temp\\moved.lnk", link));
  machine_.links().SetResolveResult("c:\\windows\\temp\\MOVED.lnk", S_FALSE);
  plat::ShellLink got;
  ASSERT_TRUE(plat::Links().Load("C:\\Windows\\Temp\\moved.lnk", &got, true, 500));
  EXPECT_EQ(S_FALSE, got.resolveResult);
  EXPECT_EQ("C:\\Moved\\tool.exe", got.target);
  EXPECT_EQ("Moved tool", got.description);
  ASSERT_TRUE(plat::Links().Load("C:\\Windows\\Temp\\moved.lnk", &got, false, 0));
  EXPECT_EQ(S_OK, got.resolveResult);
}

TEST_F(SimLinksTest, TextsAreCutToTheBuffersTheShellFills) {
  plat::ShellLink link;
  link.target = "C:\\Tools\\tool.exe";
  link.description = std::string(1500, 'd');
  link.arguments = std::string(2000, 'a');
  link.workingFolder = "C:\\" + std::string(300, 'w');
  link.iconPath = "C:\\" + std::string(300, 'i');
  ASSERT_TRUE(plat::Links().Save("C:\\Windows\\Temp\\long.lnk", link));
  plat::ShellLink got;
  ASSERT_TRUE(plat::Links().Load("C:\\Windows\\Temp\\long.lnk", &got, false, 0));
  EXPECT_EQ(1023u, got.description.size());
  EXPECT_EQ(1023u, got.arguments.size());
  EXPECT_EQ(259u, got.workingFolder.size());
  EXPECT_EQ(259u, got.iconPath.size());
}

TEST_F(SimLinksTest, ShowCommandsOtherThanTheThreeOfTheFormatReadAsNormal) {
  for (int show : {0, 2, 5, 10}) {
    SCOPED_TRACE(show);
    plat::ShellLink link;
    link.target = "C:\\Tools\\tool.exe";
    link.showCommand = show;
    ASSERT_TRUE(plat::Links().Save("C:\\Windows\\Temp\\show.lnk", link));
    plat::ShellLink got;
    ASSERT_TRUE(plat::Links().Load("C:\\Windows\\Temp\\show.lnk", &got, false, 0));
    EXPECT_EQ(SW_SHOWNORMAL, got.showCommand);
  }
}

TEST_F(SimLinksTest, SaveRefusesTargetsTheMachineCannotDescribe) {
  // The shell would search for a bare name and describe a share; the machine does neither
  // and says so rather than write a link to something else.
  for (const char* target : {"notepad.exe", "\\\\server\\share\\tool.exe", "tools\\x.exe"}) {
    SCOPED_TRACE(target);
    plat::ShellLink link;
    link.target = target;
    plat::Sys().SetLastError(0);
    EXPECT_FALSE(plat::Links().Save("C:\\Windows\\Temp\\refused.lnk", link));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), plat::Sys().GetLastError());
    EXPECT_FALSE(machine_.files().Exists("C:\\Windows\\Temp\\refused.lnk"));
  }
  // A link without a target is a link all the same.
  plat::ShellLink empty;
  empty.description = "Nothing";
  ASSERT_TRUE(plat::Links().Save("C:\\Windows\\Temp\\empty.lnk", empty));
  plat::ShellLink got;
  ASSERT_TRUE(plat::Links().Load("C:\\Windows\\Temp\\empty.lnk", &got, false, 0));
  EXPECT_EQ("", got.target);
  EXPECT_EQ("Nothing", got.description);
}

TEST_F(SimLinksTest, UnicodeTextsBecomeAnsiAsWindowsConvertsThem) {
  // A link of a header and a Unicode description only.
  auto linkWithDescription = [this](uint16_t ch) {
    std::string b = Fixture("sim_written.lnk").substr(0, 0x4C);
    Put32(b, 0x14, 0x04 | 0x80);  // HasName, IsUnicode
    for (uint16_t unit : {uint16_t{1}, ch}) {
      b += static_cast<char>(unit & 0xFF);
      b += static_cast<char>(unit >> 8);
    }
    return b + std::string(4, '\0');
  };
  struct Case {
    uint16_t unicode;
    char ansi;
  } cases[] = {
      {0x00E9, '\xE9'},  // in the code page
      {0x20AC, '\x80'},  // the euro sign, in the code page's upper half
      {0x0100, 'A'},     // best fit: the letter without its accent
      {0x03A9, 'O'},     // best fit: a Greek capital omega
      {0x2032, '\''},    // best fit: the prime
      {0xFF21, 'A'},     // a full-width letter
      {0x4E00, '?'},     // nothing fits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unicode);
    plat::ShellLink got;
    ASSERT_TRUE(LoadBytes(linkWithDescription(c.unicode), &got));
    EXPECT_EQ(std::string(1, c.ansi), got.description);
    EXPECT_EQ("", got.target);
  }
}

TEST_F(SimLinksTest, DamagedLayoutsFailWithoutReadingPastTheFile) {
  // args.lnk (written by the shell): header, item list at 0x4C, then the location block and
  // the texts.
  const std::string good = Fixture("args.lnk");
  ASSERT_GT(good.size(), 0x100u);
  const size_t idListSize =
      static_cast<unsigned char>(good[0x4C]) | static_cast<unsigned char>(good[0x4D]) << 8;
  const size_t info = 0x4C + 2 + idListSize;
  const uint32_t infoSize = U32(good, info);
  ASSERT_LT(info + infoSize, good.size());
  struct Case {
    const char* name;
    size_t at;
    uint32_t value;
    int width;  // 1, 2 or 4 bytes
  } cases[] = {
      {"item list longer than the file", 0x4C, 0xFFFF, 2},
      {"first item longer than the list", 0x4E, 0x7FFF, 2},
      {"location block longer than the file", info, 0x7FFFFFFF, 4},
      {"location header larger than the block", info + 4, infoSize + 1, 4},
      {"volume outside the block", info + 12, infoSize, 4},
      {"local path outside the block", info + 16, 0x7FFFFFF0, 4},
      {"suffix outside the block", info + 24, infoSize, 4},
      {"suffix without its zero", info + infoSize - 1, 'x', 1},
      {"description longer than the file", info + infoSize, 0xFFFF, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bad = good;
    if (c.width == 1) {
      bad[c.at] = static_cast<char>(c.value);
    } else if (c.width == 2) {
      bad[c.at] = static_cast<char>(c.value & 0xFF);
      bad[c.at + 1] = static_cast<char>(c.value >> 8);
    } else {
      Put32(bad, c.at, c.value);
    }
    plat::ShellLink got;
    plat::Sys().SetLastError(0);
    EXPECT_FALSE(LoadBytes(bad, &got));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), plat::Sys().GetLastError());
    EXPECT_EQ("", got.target);
  }
  plat::ShellLink got;
  EXPECT_TRUE(LoadBytes(good, &got));
}

}  // namespace
