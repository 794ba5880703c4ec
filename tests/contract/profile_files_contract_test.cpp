// The profile functions and the file calls the program makes, as Windows answers them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/contract/contract_env.h"

namespace {

class ProfileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    folder_ = env_->ScratchFolder();
    ini_ = folder_ + "\\test.ini";
  }
  std::string Get(const char* section, const char* key, const char* def = "", DWORD size = 256) {
    std::vector<char> buf(size + 1, '\0');
    DWORD n = plat::Profile().GetPrivateProfileStringA(section, key, def, buf.data(), size,
                                                       ini_.c_str());
    return std::string(buf.data(), n);
  }
  bool Put(const char* section, const char* key, const char* value) {
    return plat::Profile().WritePrivateProfileStringA(section, key, value, ini_.c_str()) != 0;
  }
  std::unique_ptr<contract::ContractEnv> env_;
  std::string folder_, ini_;
};

TEST_F(ProfileFiles, PrivateProfileReadsWritesAndDeletes) {
  EXPECT_EQ(Get("S", "k", "fallback  "), "fallback");  // the default loses trailing blanks
  ASSERT_TRUE(Put("Section", "Key", "value one"));
  ASSERT_TRUE(Put("Section", "Other", "\"quoted\""));
  ASSERT_TRUE(Put("Second", "Key", "2"));
  EXPECT_EQ(Get("section", "KEY"), "value one");  // names ignore case
  EXPECT_EQ(Get("Section", "Other"), "quoted");   // surrounding quotes are dropped
  EXPECT_EQ(Get("Second", "Key"), "2");
  EXPECT_EQ(Get("Section", "Key", "", 5), "valu");  // cut to the buffer
  ASSERT_TRUE(Put("Section", "Key", "changed"));
  EXPECT_EQ(Get("Section", "Key"), "changed");

  // The key list of a section: each name ends in a zero, the list in two.
  char list[64] = {};
  DWORD n = plat::Profile().GetPrivateProfileStringA("Section", nullptr, "", list, sizeof list,
                                                     ini_.c_str());
  EXPECT_EQ(std::string(list, n), std::string("Key\0Other\0", 10));

  ASSERT_TRUE(Put("Section", "Key", nullptr));
  EXPECT_EQ(Get("Section", "Key", "gone"), "gone");
  EXPECT_EQ(Get("Section", "Other"), "quoted");
  ASSERT_TRUE(Put("Section", nullptr, nullptr));
  EXPECT_EQ(Get("Section", "Other", "gone"), "gone");
  EXPECT_EQ(Get("Second", "Key"), "2");
}

TEST_F(ProfileFiles, FoldersFilesAndAttributes) {
  auto& f = plat::Files();
  std::string sub = folder_ + "\\Sub";
  ASSERT_TRUE(f.CreateDirectoryA(sub.c_str()));
  EXPECT_FALSE(f.CreateDirectoryA(sub.c_str()));
  EXPECT_EQ(plat::Sys().GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_NE(f.GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  ASSERT_TRUE(Put("S", "k", "v"));
  std::string copy = sub + "\\copy.ini", moved = sub + "\\moved.ini";
  ASSERT_TRUE(f.CopyFileA(ini_.c_str(), copy.c_str(), TRUE));
  EXPECT_FALSE(f.CopyFileA(ini_.c_str(), copy.c_str(), TRUE));
  ASSERT_TRUE(f.MoveFileExA(copy.c_str(), moved.c_str(), 0));
  EXPECT_EQ(f.GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

  // A folder that still holds a file is not removed; a read-only file is not deleted.
  EXPECT_FALSE(f.RemoveDirectoryA(sub.c_str()));
  EXPECT_EQ(plat::Sys().GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  ASSERT_TRUE(f.SetFileAttributesA(moved.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  DWORD attrs = f.GetFileAttributesA(moved.c_str());
  // Wine reports every plain file as an archive as well; Windows keeps exactly what was set,
  // and the simulated machine follows Windows.
  if (!env_->IsSimulated()) attrs &= ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(attrs, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(f.DeleteFileA(moved.c_str()));
  EXPECT_EQ(plat::Sys().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  std::vector<std::string> names;
  ASSERT_TRUE(f.ForEachEntry(sub.c_str(), "*.ini",
                             [&](const char* name, DWORD) { names.push_back(name); }));
  EXPECT_EQ(names, std::vector<std::string>{"moved.ini"});

  ASSERT_TRUE(f.SetFileAttributesA(moved.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(f.DeleteFileA(moved.c_str()));
  EXPECT_TRUE(f.RemoveDirectoryA(sub.c_str()));
  EXPECT_EQ(f.GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(plat::Sys().GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(ProfileFiles, EnvironmentExpansionKeepsUnknownNames) {
  char out[MAX_PATH] = {};
  DWORD n = plat::Sys().ExpandEnvironmentStringsA("%SystemRoot%\\x;%NoSuchVariable%", out,
                                                  MAX_PATH);
  char windows[MAX_PATH] = {};
  plat::Sys().GetWindowsDirectoryA(windows, MAX_PATH);
  std::string expected = std::string(windows) + "\\x;%NoSuchVariable%";
  // Windows folders compare without regard to case.
  ASSERT_EQ(std::string(out).size(), expected.size());
  EXPECT_EQ(n, expected.size() + 1);
  char small[4] = {};
  EXPECT_EQ(plat::Sys().ExpandEnvironmentStringsA("%SystemRoot%", small, sizeof small),
            std::string(windows).size() + 1);
}

}  // namespace
