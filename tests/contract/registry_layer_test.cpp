// The registry layer's own rules (text reads, the view switch, tree deletion, the win.ini
// lists), checked against the simulated machine natively and against Windows under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/process_state.h"
#include "diag/testlog.h"
#include "platform/registry_access.h"
#include "tests/contract/contract_support.h"

namespace {

using contract::kScratchKey;

class RegistryLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    contract::ClearScratchKeys();
    trace_ = env_->ScratchFolder() + "\\trace.txt";
    diag::SetTraceFile(trace_);
    diag::SetTraceCounter(0);
  }
  void TearDown() override {
    contract::ClearScratchKeys();
    app::ResetProcessState();
    env_.reset();
  }

  void SetRaw(HKEY root, const char* path, REGSAM view, const char* name, DWORD type,
              const void* data, DWORD size) {
    plat::RegKey key(plat::Reg());
    ASSERT_EQ(key.Create(root, path, KEY_ALL_ACCESS | view), ERROR_SUCCESS);
    ASSERT_EQ(plat::Reg().RegSetValueExA(key.get(), name, type,
                                         static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  void SetText(const char* name, DWORD type, const std::string& text) {
    SetRaw(HKEY_CURRENT_USER, kScratchKey, 0, name, type, text.c_str(),
           static_cast<DWORD>(text.size() + 1));
  }
  bool ValueExists(HKEY root, const char* path, REGSAM view, const char* name) {
    plat::RegKey key(plat::Reg());
    if (key.Open(root, path, KEY_READ | view) != ERROR_SUCCESS) return false;
    return plat::Reg().RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  }
  bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0) {
    plat::RegKey key(plat::Reg());
    return key.Open(root, path.c_str(), KEY_READ | view) == ERROR_SUCCESS;
  }
  std::vector<std::string> Trace() { return contract::TraceLines(trace_); }

  std::unique_ptr<contract::ContractEnv> env_;
  std::string trace_;
};

TEST_F(RegistryLayer, ReadsTextByTypeAndLimit) {
  char windows[MAX_PATH] = {};
  plat::Sys().GetWindowsDirectoryA(windows, MAX_PATH);
  DWORD dword = 7;
  SetRaw(HKEY_CURRENT_USER, kScratchKey, 0, "Number", REG_DWORD, &dword, sizeof dword);
  SetText("Plain", REG_SZ, "C:\\app.exe -min");
  SetText("Expand", REG_EXPAND_SZ, "%SystemRoot%\\notepad.exe");
  SetText("Ten", REG_SZ, "0123456789");
  SetText("Long", REG_SZ, std::string(1100, 'x'));

  struct Case {
    const char* name;
    int limit;
    std::string expected;
  } cases[] = {
      {"Plain", 100, "C:\\app.exe -min"},
      {"Number", 100, ""},
      {"Expand", 260, std::string(windows) + "\\notepad.exe"},
      {"Ten", 10, "0123456789"},  // exactly the limit
      {"Ten", 9, ""},             // one over the limit
      {"Long", 2000, ""},         // longer than the 1024-byte buffer
      {"Missing", 100, ""},
  };
  for (const auto& c : cases) {
    std::vector<char> out(static_cast<size_t>(c.limit) + 1, '?');
    int n = reg::GetRegStringValue(kScratchKey, c.name, out.data(), c.limit, HKEY_CURRENT_USER);
    EXPECT_EQ(n, static_cast<int>(c.expected.size())) << c.name << " limit " << c.limit;
    EXPECT_EQ(std::string(out.data()), c.expected) << c.name << " limit " << c.limit;
  }
  char out[16] = "?";
  EXPECT_EQ(reg::GetRegStringValue("Software\\TallowickContract\\Nowhere", "", out, 15,
                                   HKEY_CURRENT_USER),
            0);
  EXPECT_STREQ(out, "");
}

TEST_F(RegistryLayer, WritesCreateTheirKeysAndDwordReadsGiveTheirMissingMarks) {
  std::string sub = std::string(kScratchKey) + "\\A\\B";
  EXPECT_EQ(reg::SetRegStringValue(sub.c_str(), HKEY_CURRENT_USER, "Name", "value"), 1);
  EXPECT_EQ(reg::GetRegString(HKEY_CURRENT_USER, sub.c_str(), "Name"), "value");

  std::string dsub = std::string(kScratchKey) + "\\D";
  EXPECT_EQ(reg::SetRegDWORDValue(HKEY_CURRENT_USER, dsub.c_str(), "Count", 42), 1);
  EXPECT_TRUE(contract::TraceHas(Trace(), "MyError:  SetRegDWORDValue RegOpenKeyEx",
                                 "2  " + plat::Sys().ErrorText(2)));
  EXPECT_EQ(reg::GetRegDWORDValue(reg::OpenForRead(HKEY_CURRENT_USER, dsub.c_str()), "Count"),
            42u);
  EXPECT_EQ(reg::GetRegValueType(reg::OpenForRead(HKEY_CURRENT_USER, dsub.c_str()), "Count"),
            static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(reg::GetRegDWORDValue(reg::OpenForRead(HKEY_CURRENT_USER, dsub.c_str()), "None"),
            0u);
  EXPECT_EQ(reg::GetRegDWORDValueOr(reg::OpenForRead(HKEY_CURRENT_USER, dsub.c_str()), "None"),
            -1);
  EXPECT_EQ(reg::GetRegValueType(reg::OpenForRead(HKEY_CURRENT_USER, dsub.c_str()), "None"), 0u);
  // A key that cannot be opened reads as missing.
  EXPECT_EQ(reg::GetRegDWORDValueOr(nullptr, "Count"), -1);
  EXPECT_EQ(reg::CreateRegKey(HKEY_CURRENT_USER, (dsub + "\\E").c_str()), 1);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, dsub + "\\E"));
}

TEST_F(RegistryLayer, DeleteValueTriesTheViewsInOrderAndLogsWhichOneHeld) {
  const char* path = kScratchKey;
  DWORD one = 1;
  SetRaw(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, "Only32", REG_DWORD, &one, 4);
  SetRaw(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY, "Only64", REG_DWORD, &one, 4);

  EXPECT_EQ(reg::DeleteRegValue("Only32", HKEY_LOCAL_MACHINE, path), 1);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, "Only32"));
  EXPECT_EQ(reg::DeleteRegValue("Only64", HKEY_LOCAL_MACHINE, path), 1);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY, "Only64"));
  EXPECT_EQ(reg::DeleteRegValue("Only64", HKEY_LOCAL_MACHINE, path), 0);
  EXPECT_EQ(reg::DeleteRegValue("", HKEY_LOCAL_MACHINE, path), 0);

  reg::Set64BitFlag(false);
  SetText("Plain", REG_SZ, "x");
  EXPECT_EQ(reg::DeleteRegValue("Plain", HKEY_CURRENT_USER, kScratchKey), 1);

  auto lines = Trace();
  EXPECT_TRUE(contract::TraceHas(lines, "RegDeleteValue KEY_WOW64_32KEY TRUE", "Only32"));
  EXPECT_TRUE(contract::TraceHas(lines, "RegDeleteValue KEY_WOW64_64KEY TRUE", "Only64"));
  EXPECT_TRUE(contract::TraceHas(lines, "RegDeleteValue FALSE", "Only64"));
  EXPECT_TRUE(contract::TraceHas(lines, "RegDeleteValue FALSE", "NULL"));
  EXPECT_TRUE(contract::TraceHas(lines, "RegDeleteValue KEY_SET_VALUE TRUE", "Plain"));
}

TEST_F(RegistryLayer, DeleteKeyTreeRemovesEveryLevelWithAndWithoutTheFlag) {
  for (bool flag : {true, false}) {
    reg::Set64BitFlag(flag);
    std::string top = std::string(kScratchKey) + "\\Tree";
    for (const char* sub : {"\\A\\A1", "\\A\\A2", "\\B", "\\B\\B1\\B11"})
      ASSERT_EQ(reg::SetRegStringValue((top + sub).c_str(), HKEY_CURRENT_USER, "v", "1"), 1);
    ASSERT_EQ(reg::SetRegStringValue(top.c_str(), HKEY_CURRENT_USER, "top", "1"), 1);

    EXPECT_EQ(reg::DeleteRegKeyTreeCopy(top.c_str(), HKEY_CURRENT_USER), 1) << flag;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, top)) << flag;
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kScratchKey)) << flag;
    // Already gone counts as done.
    EXPECT_EQ(reg::DeleteRegKeyTreeCopy(top.c_str(), HKEY_CURRENT_USER), 1) << flag;
  }
  std::string tooLong = std::string(kScratchKey) + "\\" + std::string(520, 'k');
  EXPECT_EQ(reg::DeleteRegKeyTreeCopy(tooLong.c_str(), HKEY_CURRENT_USER), 0);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kScratchKey));
}

TEST_F(RegistryLayer, DeleteKeyViewNamesOneView) {
  std::string sub = std::string(kScratchKey) + "\\Viewed";
  plat::RegKey key(plat::Reg());
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, sub.c_str(), KEY_ALL_ACCESS | KEY_WOW64_32KEY),
            ERROR_SUCCESS);
  key.Close();
  ASSERT_TRUE(plat::Reg().HasRegDeleteKeyExA());
  EXPECT_EQ(reg::DeleteRegKeyView(HKEY_LOCAL_MACHINE, sub.c_str(), KEY_WOW64_64KEY),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg::DeleteRegKeyView(HKEY_LOCAL_MACHINE, sub.c_str(), KEY_WOW64_32KEY),
            ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, sub, KEY_WOW64_32KEY));
}

TEST_F(RegistryLayer, ViewSwitchOnlyWithTheFlagAndAlwaysUndone) {
  reg::Set64BitFlag(false);
  {
    reg::View64 view;
    EXPECT_EQ(reg::ReadMask(), static_cast<REGSAM>(KEY_READ));
  }
  reg::Set64BitFlag(true);
  {
    reg::View64 view;
    EXPECT_EQ(reg::ReadMask(), static_cast<REGSAM>(KEY_READ | KEY_WOW64_64KEY));
    EXPECT_EQ(reg::WriteMask(), static_cast<REGSAM>(KEY_WRITE | KEY_WOW64_64KEY));
  }
  EXPECT_EQ(reg::ReadMask(), static_cast<REGSAM>(KEY_READ));
  EXPECT_EQ(reg::WriteMask(), static_cast<REGSAM>(KEY_ALL_ACCESS));
}

// The win.ini lists. The machine's own load= and run= are put back afterwards.
class ProfileLists : public RegistryLayer {
 protected:
  void SetUp() override {
    RegistryLayer::SetUp();
    for (const char* k : {"load", "run"}) {
      char buf[1024] = {};
      plat::Profile().GetProfileStringA("windows", k, "\x01", buf, sizeof buf);
      saved_.push_back(buf);
    }
  }
  void TearDown() override {
    const char* keys[] = {"load", "run"};
    for (size_t i = 0; i < 2; ++i)
      plat::Profile().WriteProfileStringA("windows", keys[i],
                                          saved_[i] == "\x01" ? nullptr : saved_[i].c_str());
    RegistryLayer::TearDown();
  }
  std::string Read(const char* key) {
    char buf[1024] = {};
    plat::Profile().GetProfileStringA("windows", key, "", buf, sizeof buf);
    return buf;
  }
  std::vector<std::string> saved_;
};

TEST_F(ProfileLists, RemoveAndAddEditTheList) {
  struct Case {
    const char* start;
    bool add;
    const char* entry;
    const char* expected;
  } cases[] = {
      {"PROG.EXE;other.exe", false, "prog.exe", "other.exe;"},
      {";;a.exe;;b.exe;", false, "B.EXE", "a.exe;"},
      {"a.exe", false, "c.exe", "a.exe;"},
      {"", true, "a.exe", ";a.exe"},
      {"x.exe", true, "a.exe", "x.exe;a.exe"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "load", c.start));
    if (c.add)
      reg::AddProfileListEntry("load", c.entry);
    else
      reg::RemoveProfileListEntry("load", c.entry);
    EXPECT_EQ(Read("load"), c.expected) << c.start << (c.add ? " + " : " - ") << c.entry;
  }
  // A list that would grow past 1023 characters is left as it is.
  std::string full(1020, 'f');
  ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "run", full.substr(0, 500).c_str()));
  reg::AddProfileListEntry("run", std::string(600, 'g').c_str());
  EXPECT_EQ(Read("run"), full.substr(0, 500));
}

TEST_F(ProfileLists, ReadOnlyWinIniIsMadeWritable) {
  char windows[MAX_PATH] = {};
  plat::Sys().GetWindowsDirectoryA(windows, MAX_PATH);
  std::string winIni = std::string(windows) + "\\win.ini";
  ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "run", "keep.exe"));
  DWORD attrs = plat::Files().GetFileAttributesA(winIni.c_str());
  ASSERT_NE(attrs, INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(plat::Files().SetFileAttributesA(winIni.c_str(), FILE_ATTRIBUTE_READONLY));
  reg::AddProfileListEntry("run", "new.exe");
  EXPECT_EQ(Read("run"), "keep.exe;new.exe");
  EXPECT_EQ(plat::Files().GetFileAttributesA(winIni.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

}  // namespace
