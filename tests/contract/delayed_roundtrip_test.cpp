// Moving startup entries of every kind onto the delayed-start list and back leaves each one
// exactly as it was, on the simulated machine and on Windows under Wine.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/process_state.h"
#include "platform/links.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "startup/delayed.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "tests/contract/contract_support.h"
#include "tests/contract/startup_contract.h"

namespace {

using namespace startup;
using contract::DeleteFolderTree;

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell rebuilds Shell Folders from these (Wine does it while it works with shortcuts), so
// the fixture's folders are set in both.
const char* const kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char* const kWowRun = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

// A registry value as it is stored: present or not, its type and its bytes.
struct Raw {
  bool present = false;
  DWORD type = 0;
  std::string bytes;
  bool operator==(const Raw& o) const { return present == o.present && type == o.type && bytes == o.bytes; }
};

std::ostream& operator<<(std::ostream& os, const Raw& r) {
  return os << (r.present ? "{type " + std::to_string(r.type) + ", " + r.bytes + "}" : std::string("{absent}"));
}

Raw ReadRaw(HKEY root, const std::string& path, const std::string& name) {
  Raw r;
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path.c_str(), KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS) return r;
  char buf[2048] = {};
  DWORD size = sizeof buf, type = 0;
  if (plat::Reg().RegQueryValueExA(key.get(), name.c_str(), &type, reinterpret_cast<BYTE*>(buf), &size) !=
      ERROR_SUCCESS)
    return r;
  r.present = true;
  r.type = type;
  r.bytes.assign(buf, size);
  return r;
}

void WriteRaw(HKEY root, const std::string& path, const std::string& name, const std::optional<std::string>& value,
              DWORD type = REG_SZ) {
  plat::RegKey key(plat::Reg());
  if (key.Create(root, path.c_str(), KEY_ALL_ACCESS | KEY_WOW64_64KEY) != ERROR_SUCCESS) return;
  if (value)
    plat::Reg().RegSetValueExA(key.get(), name.c_str(), type, reinterpret_cast<const BYTE*>(value->c_str()),
                               static_cast<DWORD>(value->size() + 1));
  else
    plat::Reg().RegDeleteValueA(key.get(), name.c_str());
}

std::optional<std::string> ReadText(HKEY root, const char* path, const char* name) {
  Raw r = ReadRaw(root, path, name);
  if (!r.present) return std::nullopt;
  return std::string(r.bytes.c_str());
}

std::string FileBytes(const std::string& path) {
  std::string bytes;
  if (!plat::Files().ReadFileBytes(path.c_str(), &bytes, 1 << 16)) return "<missing>";
  return bytes;
}

// One Run value of the fixture: where, its name, its type and its text.
struct Entry {
  HKEY root;
  const char* key;
  const char* name;
  DWORD type;
  const char* data;
};

const Entry kEntries[] = {
    {HKEY_LOCAL_MACHINE, kRun, "TwFixA_Audio", REG_SZ, "\"C:\\TwFix\\Audio Tray\\tray.exe\" /bg"},
    {HKEY_LOCAL_MACHINE, kRun, "TwFixB_Panel", REG_SZ, "rundll32.exe shell32.dll,Control_RunDLL C:\\TwFix\\panel.cpl"},
    {HKEY_LOCAL_MACHINE, kRun, "", REG_SZ, "C:\\TwFix\\default.exe"},
    {HKEY_CURRENT_USER, kRun, "TwFix11", REG_SZ, "\"C:\\TwFix\\Sync Tool\\sync.exe\" -tray"},
    {HKEY_CURRENT_USER, kRunOnce, "TwFixExpand", REG_EXPAND_SZ, "C:\\TwFix\\expand.exe -x %TEMP%"},
    {HKEY_LOCAL_MACHINE, kWowRun, "TwFixW21", REG_SZ, "\"C:\\TwFix\\Old App\\old32.exe\" -w"},
};

class DelayedRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    comReady_ = SUCCEEDED(plat::Sys().CoInitialize());
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    savedStartup_ = ReadText(HKEY_CURRENT_USER, kShellFolders, "Startup");
    savedCommon_ = ReadText(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup");
    savedAppData_ = ReadText(HKEY_CURRENT_USER, kShellFolders, "AppData");
    savedUserStartup_ = ReadRaw(HKEY_CURRENT_USER, kUserShellFolders, "Startup");
    savedUserCommon_ = ReadRaw(HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Startup");
    savedDefault_ = ReadRaw(HKEY_LOCAL_MACHINE, kRun, "");
    char buf[1024] = {};
    plat::Profile().GetProfileStringA("windows", "load", "\x01", buf, sizeof buf);
    savedLoad_ = buf;
    ClearRunList();
  }

  void TearDown() override {
    ClearRunList();
    for (const Entry& e : kEntries)
      if (e.name[0]) WriteRaw(e.root, e.key, e.name, std::nullopt);
    if (savedDefault_.present)
      WriteRaw(HKEY_LOCAL_MACHINE, kRun, "", std::string(savedDefault_.bytes.c_str()), savedDefault_.type);
    else
      WriteRaw(HKEY_LOCAL_MACHINE, kRun, "", std::nullopt);
    WriteRaw(HKEY_CURRENT_USER, kShellFolders, "Startup", savedStartup_);
    WriteRaw(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", savedCommon_);
    WriteRaw(HKEY_CURRENT_USER, kShellFolders, "AppData", savedAppData_);
    auto put = [](HKEY root, const char* name, const Raw& r) {
      WriteRaw(root, kUserShellFolders, name, r.present ? std::optional<std::string>(r.bytes.c_str()) : std::nullopt,
               r.present ? r.type : REG_SZ);
    };
    put(HKEY_CURRENT_USER, "Startup", savedUserStartup_);
    put(HKEY_LOCAL_MACHINE, "Common Startup", savedUserCommon_);
    plat::Profile().WriteProfileStringA("windows", "load", savedLoad_ == "\x01" ? nullptr : savedLoad_.c_str());
    contract::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvendel Studios", KEY_WOW64_64KEY);
    contract::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvendel Studios", KEY_WOW64_32KEY);
    contract::DeleteTree(HKEY_CURRENT_USER, "Software\\Orvendel Studios", 0);
    DeleteFolderTree("C:\\TwFix");
    app::ResetProcessState();
    if (comReady_) plat::Sys().CoUninitialize();
  }

  // The indexes of the fixture's items in the run list.
  static std::vector<int> FixtureItems() {
    std::vector<int> items;
    for (int i = 0; i < RunCount(); ++i)
      if (text::ContainsNoCase(RunPath(i), "TwFix") && GetRunLocation(i) < 250) items.push_back(i);
    return items;
  }

  std::unique_ptr<contract::ContractEnv> env_;
  bool comReady_ = false;
  std::optional<std::string> savedStartup_, savedCommon_, savedAppData_;
  Raw savedDefault_, savedUserStartup_, savedUserCommon_;
  std::string savedLoad_;
};

TEST_F(DelayedRoundTrip, EveryKindComesBackAsItWas) {
  auto& files = plat::Files();
  for (const char* f : {"C:\\TwFix", "C:\\TwFix\\Startup", "C:\\TwFix\\Common", "C:\\TwFix\\AppData"})
    files.CreateDirectoryA(f);
  for (const char* f : {"C:\\TwFix\\linked.exe", "C:\\TwFix\\common.exe", "C:\\TwFix\\winload.exe"})
    ASSERT_TRUE(files.WriteFileBytes(f, "MZ")) << f;
  ASSERT_TRUE(files.WriteFileBytes("C:\\TwFix\\Startup\\twfix.bat", "@echo twfix\r\n"));
  WriteRaw(HKEY_CURRENT_USER, kShellFolders, "Startup", std::string("C:\\TwFix\\Startup"));
  WriteRaw(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", std::string("C:\\TwFix\\Common"));
  WriteRaw(HKEY_CURRENT_USER, kShellFolders, "AppData", std::string("C:\\TwFix\\AppData"));
  WriteRaw(HKEY_CURRENT_USER, kUserShellFolders, "Startup", std::string("C:\\TwFix\\Startup"));
  WriteRaw(HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Startup", std::string("C:\\TwFix\\Common"));
  plat::ShellLink link;
  link.target = "C:\\TwFix\\linked.exe";
  link.arguments = "-tray -quiet";
  link.description = "TwFix Linked";
  link.workingFolder = "C:\\TwFix";
  link.iconPath = "C:\\TwFix\\linked.exe";
  link.showCommand = 7;  // SW_SHOWMINNOACTIVE
  ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Startup\\linked.lnk", link));
  link.target = "C:\\TwFix\\common.exe";
  link.arguments.clear();
  link.description = "TwFix Common";
  ASSERT_TRUE(plat::Links().Save("C:\\TwFix\\Common\\common.lnk", link));
  ASSERT_TRUE(plat::Profile().WriteProfileStringA("windows", "load", "C:\\TwFix\\winload.exe"));
  for (const Entry& e : kEntries) WriteRaw(e.root, e.key, e.name, std::string(e.data), e.type);

  std::vector<Raw> before;
  for (const Entry& e : kEntries) before.push_back(ReadRaw(e.root, e.key, e.name));
  const std::vector<std::string> shortcutFiles = {"C:\\TwFix\\Startup\\linked.lnk", "C:\\TwFix\\Common\\common.lnk",
                                                  "C:\\TwFix\\Startup\\twfix.bat"};
  std::vector<std::string> shortcutBytes;
  for (const auto& f : shortcutFiles) shortcutBytes.push_back(FileBytes(f));

  // Onto the list: every fixture item, none left in a Windows location.
  EnumerateStartups(0);
  std::vector<int> items = FixtureItems();
  ASSERT_EQ(items.size(), 10u);
  for (int i : items) EXPECT_EQ(MoveRunItemToDelayed(i), 1) << RunTitle(i) << " | " << RunPath(i);
  EnumerateStartups(0);
  EXPECT_TRUE(FixtureItems().empty());
  for (const Entry& e : kEntries) EXPECT_FALSE(ReadRaw(e.root, e.key, e.name).present) << e.name;
  for (const auto& f : shortcutFiles) EXPECT_EQ(FileBytes(f), "<missing>") << f;

  // The list as the monitor reads it.
  ASSERT_EQ(EnumerateDelayed(), 10);
  std::vector<std::pair<std::string, int>> listed;
  for (int i = 0; i < RunCount(); ++i) listed.emplace_back(text::UpperAnsi(RunPath(i)), GetRunLocation(i));
  auto has = [&](const std::string& path, int code) {
    for (const auto& l : listed)
      if (l.first == text::UpperAnsi(path) && l.second == code) return true;
    return false;
  };
  EXPECT_TRUE(has("C:\\TwFix\\Audio Tray\\tray.exe", HKLM_RUN));
  EXPECT_TRUE(has("shell32.dll", HKLM_RUN));
  EXPECT_TRUE(has("C:\\TwFix\\Sync Tool\\sync.exe", HKCU_RUN));
  EXPECT_TRUE(has("C:\\TwFix\\Old App\\old32.exe", X64_RUN));
  EXPECT_TRUE(has("C:\\TwFix\\linked.exe", STARTUP_FOLDER));
  EXPECT_TRUE(has("C:\\TwFix\\winload.exe", WININI_LOAD));
  DelayRecord panel;
  ASSERT_TRUE(ReadDelayRecord("shell32.dll", HKLM_RUN, &panel));
  EXPECT_EQ(panel.applet, "RunDLL32.exe");
  EXPECT_EQ(panel.parameters, ",Control_RunDLL C:\\TwFix\\panel.cpl");
  DelayRecord sync;
  ASSERT_TRUE(ReadDelayRecord("C:\\TwFix\\Sync Tool\\sync.exe", HKCU_RUN, &sync));
  EXPECT_EQ(sync.place.hive, HKEY_CURRENT_USER);
  EXPECT_EQ(sync.parameters, "-tray");
  EXPECT_EQ(sync.seconds, 30);

  // And back: every entry exactly as it was.
  for (int i = 0; i < RunCount(); ++i) EXPECT_EQ(RestoreDelayedItem(i), 1) << RunPath(i);
  for (size_t k = 0; k < std::size(kEntries); ++k)
    EXPECT_EQ(ReadRaw(kEntries[k].root, kEntries[k].key, kEntries[k].name), before[k]) << kEntries[k].name;
  for (size_t k = 0; k < shortcutFiles.size(); ++k) EXPECT_EQ(FileBytes(shortcutFiles[k]), shortcutBytes[k]) << shortcutFiles[k];
  char load[1024] = {};
  plat::Profile().GetProfileStringA("windows", "load", "", load, sizeof load);
  std::string entries = load;
  EXPECT_TRUE(text::ContainsNoCase(entries, "C:\\TwFix\\winload.exe")) << entries;
  EXPECT_EQ(EnumerateDelayed(), 0);
  EnumerateStartups(0);
  std::string found;
  for (int i : FixtureItems()) found += RunTitle(i) + " | " + RunPath(i) + "\n";
  EXPECT_EQ(FixtureItems().size(), 10u) << found;
}

}  // namespace
