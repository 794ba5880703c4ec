// Shortcuts against both machines: a link one build writes loads back whole; the links the
// shell itself wrote (fixtures made with Wine's IShellLink) and the one the simulated
// machine writes load in both builds; a broken or cut-off link fails cleanly.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "tests/contract/contract_env.h"

namespace {

constexpr int kSwShowMaximized = 3;
constexpr int kSwShowMinNoActive = 7;
constexpr DWORD kResolveTimeoutMs = 500;

class LinksContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    // The program initialises COM at start; the tests do it themselves.
    plat::Sys().CoInitialize();
    folder_ = env_->ScratchFolder();
    ASSERT_FALSE(folder_.empty());
  }
  void TearDown() override {
    plat::Sys().CoUninitialize();
    env_.reset();
  }

  std::string In(const std::string& name) const { return folder_ + "\\" + name; }
  // A copy of tests/fixtures/links/<name> where the machine under test sees it.
  std::string Fixture(const std::string& name) {
    return env_->PlaceFile(std::string(TW_FIXTURE_DIR) + "/links/" + name, name);
  }
  std::string Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(plat::Files().ReadFileBytes(path.c_str(), &bytes, 1 << 20)) << path;
    return bytes;
  }
  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(plat::Files().WriteFileBytes(path.c_str(), bytes)) << path;
  }
  // Wine 8 keeps the show command only in memory: its Load always gives SW_SHOWNORMAL.
  // Windows (and the simulated machine) read back what the file holds.
  int ShowAsLoaded(int inFile) const { return env_->IsSimulated() ? inFile : SW_SHOWNORMAL; }

  std::unique_ptr<contract::ContractEnv> env_;
  std::string folder_;
};

void ExpectSameLink(const plat::ShellLink& want, const plat::ShellLink& got) {
  EXPECT_EQ(want.target, got.target);
  EXPECT_EQ(want.arguments, got.arguments);
  EXPECT_EQ(want.description, got.description);
  EXPECT_EQ(want.workingFolder, got.workingFolder);
  EXPECT_EQ(want.iconPath, got.iconPath);
  EXPECT_EQ(want.iconIndex, got.iconIndex);
  EXPECT_EQ(want.showCommand, got.showCommand);
}

TEST_F(LinksContract, SavedLinkLoadsBackWithEveryField) {
  ASSERT_TRUE(plat::Files().CreateDirectoryA(In("Some Folder").c_str()));
  const std::string tool = In("Some Folder\\Some Tool.exe");
  Write(tool, "MZ");
  struct Case {
    const char* name;
    plat::ShellLink link;
  };
  Case cases[] = {
      {"blanks in the target's path", {tool}},
      {"every field",
       {tool, "/a \"b c\" -x", "Opens the notes", folder_, "C:\\Windows\\system32\\shell32.dll", 12,
        kSwShowMinNoActive}},
      {"a target that does not exist",
       {In("Nowhere\\gone.exe"), "", "Gone tool", "", "", 0, kSwShowMaximized}},
      {"Western letters of the ANSI code page",
       {tool, "na\xEFve \x96q", "Caf\xE9 \x80 tool", "", tool, 1, SW_SHOWNORMAL}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string lnk = In("saved.lnk");
    ASSERT_TRUE(plat::Links().Save(lnk.c_str(), c.link));
    plat::ShellLink want = c.link;
    want.showCommand = ShowAsLoaded(c.link.showCommand);

    plat::ShellLink got;
    ASSERT_TRUE(plat::Links().Load(lnk.c_str(), &got, false, 0));
    ExpectSameLink(want, got);
    EXPECT_EQ(S_OK, got.resolveResult);

    // Resolving keeps the target, found or not. For a missing target Windows gives up with
    // S_FALSE after its search, and so does the simulated machine; Wine's Resolve always
    // answers S_OK.
    plat::ShellLink resolved;
    ASSERT_TRUE(plat::Links().Load(lnk.c_str(), &resolved, true, kResolveTimeoutMs));
    bool missing = c.link.target.find("Nowhere") != std::string::npos;
    if (env_->IsSimulated() || !missing)
      EXPECT_EQ(missing ? S_FALSE : S_OK, resolved.resolveResult);
    EXPECT_EQ(want.target, resolved.target);
    EXPECT_EQ(want.description, resolved.description);
    // Wine's Resolve gives a link without an icon its target as the icon; Windows does not.
    if (env_->IsSimulated() || !c.link.iconPath.empty()) {
      EXPECT_EQ(want.iconPath, resolved.iconPath);
    }
  }
}

TEST_F(LinksContract, SaveKeepsTheTargetAsTheShellDoes) {
  // Quotes around the target are dropped and forward slashes turned round.
  struct Case {
    const char* given;
    const char* kept;
  } cases[] = {
      {"\"C:\\a b\\c.exe\"", "C:\\a b\\c.exe"},
      {"C:/fwd/slash.exe", "C:\\fwd\\slash.exe"},
      {"C:\\a b\\c.exe -x", "C:\\a b\\c.exe -x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    plat::ShellLink link;
    link.target = c.given;
    ASSERT_TRUE(plat::Links().Save(In("kept.lnk").c_str(), link));
    plat::ShellLink got;
    ASSERT_TRUE(plat::Links().Load(In("kept.lnk").c_str(), &got, false, 0));
    EXPECT_EQ(c.kept, got.target);
  }
}

TEST_F(LinksContract, LoadsTheLinksTheShellAndTheMachineWrote) {
  struct Case {
    const char* file;
    plat::ShellLink want;
  } cases[] = {
      // Written by the shell (Wine's IShellLink, see tests/fixtures/links/make_links.cpp).
      {"blanks.lnk", {"C:\\Program Files\\Tallowick Test\\Some Tool.exe"}},
      {"args.lnk",
       {"C:\\windows\\system32\\notepad.exe", "/a \"b c\"", "Opens the notes", "C:\\windows",
        "C:\\windows\\system32\\shell32.dll", 3, kSwShowMinNoActive}},
      {"missing.lnk", {"C:\\Nowhere\\gone.exe", "", "Gone tool"}},
      // The description holds a Greek capital omega, which the ANSI code page lacks: the
      // shell's ANSI texts take Windows' best fit for it.
      {"unicode.lnk", {"C:\\Tools\\Caf\xE9\\run.exe", "", "O-Tool caf\xE9"}},
      // Written by the simulated machine.
      {"sim_written.lnk",
       {"C:\\Program Files\\Tallowick Test\\Sim Tool.exe", "-q /x \"a b\"",
        "Written by the machine", "C:\\Program Files\\Tallowick Test",
        "C:\\Windows\\system32\\shell32.dll", 12, kSwShowMaximized}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = Fixture(c.file);
    ASSERT_FALSE(path.empty());
    plat::ShellLink want = c.want;
    want.showCommand = ShowAsLoaded(c.want.showCommand);
    plat::ShellLink got;
    ASSERT_TRUE(plat::Links().Load(path.c_str(), &got, false, 0));
    ExpectSameLink(want, got);
  }
}

TEST_F(LinksContract, BrokenFilesFailAndLeaveNoTarget) {
  const std::string good = Bytes(Fixture("args.lnk"));
  ASSERT_GT(good.size(), 0x4Cu);
  std::string otherClass = good;
  otherClass[4] ^= 0x01;
  std::string otherHeaderSize = good;
  otherHeaderSize[0] = 0x4D;
  ASSERT_TRUE(plat::Files().CreateDirectoryA(In("a folder.lnk").c_str()));
  struct Case {
    const char* name;
    const char* file;
    const std::string* bytes;  // null: the file is not made
    DWORD error;
  };
  const std::string empty, text = "[InternetShortcut]\r\nURL=http://example.com/\r\n";
  Case cases[] = {
      {"a missing file", "missing.lnk", nullptr, ERROR_FILE_NOT_FOUND},
      {"a missing folder", "Nowhere\\x.lnk", nullptr, ERROR_PATH_NOT_FOUND},
      {"a folder", "a folder.lnk", nullptr, ERROR_ACCESS_DENIED},
      {"an empty file", "empty.lnk", &empty, ERROR_INVALID_DATA},
      {"a text file", "text.lnk", &text, ERROR_INVALID_DATA},
      {"another class", "class.lnk", &otherClass, ERROR_INVALID_DATA},
      {"another header size", "header.lnk", &otherHeaderSize, ERROR_INVALID_DATA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes) Write(In(c.file), *c.bytes);
    plat::ShellLink got;
    got.target = "stale";
    plat::Sys().SetLastError(0);
    EXPECT_FALSE(plat::Links().Load(In(c.file).c_str(), &got, true, kResolveTimeoutMs));
    EXPECT_EQ(c.error, plat::Sys().GetLastError());
    EXPECT_EQ("", got.target);
    EXPECT_EQ("", got.description);
  }
}

TEST_F(LinksContract, CutOffLinksFailUntilTheirTextsAreWhole) {
  // The shell's links end with their texts and the 4-byte end of the (empty) extra data.
  const std::string good = Bytes(Fixture("args.lnk"));
  ASSERT_GT(good.size(), 4u);
  const size_t textsEnd = good.size() - 4;
  const std::string cut = In("cut.lnk");
  for (size_t length = 0; length < textsEnd; ++length) {
    Write(cut, good.substr(0, length));
    plat::ShellLink got;
    plat::Sys().SetLastError(0);
    ASSERT_FALSE(plat::Links().Load(cut.c_str(), &got, true, kResolveTimeoutMs))
        << "cut to " << length << " bytes";
    ASSERT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), plat::Sys().GetLastError())
        << "cut to " << length << " bytes";
    ASSERT_EQ("", got.target);
  }
  // What comes after the texts is not needed to read them: a link whose end marker, or an
  // extra data block, is cut short still loads.
  std::string tracker = std::string("\x60\0\0\0\x03\0\0\xA0\x58\0\0\0\0\0\0\0", 16) +
                        std::string(16, 'm') + std::string(64, '\x11');
  const std::string withBlock = good.substr(0, textsEnd) + tracker + std::string(4, '\0');
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"no end marker", good.substr(0, textsEnd)},
      {"half an end marker", good.substr(0, textsEnd + 2)},
      {"a whole extra data block", withBlock},
      {"an extra data block cut short", withBlock.substr(0, textsEnd + 40)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write(cut, c.bytes);
    plat::ShellLink got;
    ASSERT_TRUE(plat::Links().Load(cut.c_str(), &got, false, 0));
    EXPECT_EQ("C:\\windows\\system32\\notepad.exe", got.target);
    EXPECT_EQ("C:\\windows\\system32\\shell32.dll", got.iconPath);
    EXPECT_EQ(3, got.iconIndex);
  }
}

TEST_F(LinksContract, SaveFailsWhereNoFileCanBeWritten) {
  plat::ShellLink link;
  link.target = "C:\\Windows\\notepad.exe";
  ASSERT_TRUE(plat::Files().CreateDirectoryA(In("taken.lnk").c_str()));
  struct Case {
    const char* name;
    const char* file;
    DWORD error;
  } cases[] = {
      {"a missing folder", "Nowhere\\x.lnk", ERROR_PATH_NOT_FOUND},
      {"a folder of that name", "taken.lnk", ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::Sys().SetLastError(0);
    EXPECT_FALSE(plat::Links().Save(In(c.file).c_str(), link));
    EXPECT_EQ(c.error, plat::Sys().GetLastError());
  }

  // Windows refuses to replace a read-only file; Wine 8's IPersistFile::Save replaces it.
  const std::string readOnly = In("read-only.lnk");
  Write(readOnly, "old");
  ASSERT_TRUE(plat::Files().SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  bool saved = plat::Links().Save(readOnly.c_str(), link);
  if (env_->IsSimulated()) {
    EXPECT_FALSE(saved);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), plat::Sys().GetLastError());
    EXPECT_EQ("old", Bytes(readOnly));
  }
  plat::Files().SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
