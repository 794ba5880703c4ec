// The Windows version the program names in its trace header, with Wine set to report
// several Windows versions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/program_driver.h"

namespace {

void SetText(HKEY root, const char* path, const char* name, const char* value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value)
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
  else
    RegDeleteValueA(key, name);
  RegCloseKey(key);
}

std::string TraceFile() {
  char appData[MAX_PATH] = {};
  DWORD size = sizeof appData;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    RegQueryValueExA(key, "AppData", nullptr, nullptr, reinterpret_cast<BYTE*>(appData), &size);
    RegCloseKey(key);
  }
  return std::string(appData) + "\\Tallowick\\sendex2tolan.txt";
}

// The message of the trace line with the label, empty when there is none.
std::string TraceMessage(const std::string& file, const std::string& label) {
  std::vector<char> keys(1 << 16, '\0');
  DWORD n = GetPrivateProfileStringA("TestLog", nullptr, "", keys.data(),
                                     static_cast<DWORD>(keys.size()), file.c_str());
  std::string wanted = " - " + label + ": ";
  for (DWORD i = 0; i < n && keys[i];) {
    std::string key(&keys[i]);
    char value[1024] = {};
    GetPrivateProfileStringA("TestLog", key.c_str(), "", value, sizeof value, file.c_str());
    std::string v = value;
    size_t at = v.find(wanted);
    if (at != std::string::npos) return v.substr(at + wanted.size());
    i += static_cast<DWORD>(key.size()) + 1;
  }
  return {};
}

TEST(ProgramVersion, TraceHeaderNamesTheReportedWindows) {
  struct Case {
    const char* wine;
    const char* expected;  // as read back: the profile functions drop trailing blanks
  } cases[] = {
      {nullptr, "Windows 7 SP1"},  // the prefix's own default
      {"win8", "Windows 8"},
      // Without a manifest that names 8.1, Windows 8.1 reports itself as 8 (Wine too).
      {"win81", "Windows 8"},
      {"winxp64", "Windows Server 2003 family, SP2"},
  };
  const char* options = "Software\\Orvendel Studios\\Tallowick\\Options";
  for (const auto& c : cases) {
    ASSERT_TRUE(winetest::DeleteTree(HKEY_CURRENT_USER, "Software\\Orvendel Studios"));
    SetText(HKEY_CURRENT_USER, "Software\\Wine", "Version", c.wine);
    SetText(HKEY_CURRENT_USER, options, "TestLogEx", "0");
    std::string trace = TraceFile();
    DeleteFileA(trace.c_str());
    {
      winetest::ScopedProgram program("");
      ASSERT_NE(winetest::WaitForWindowClass("#32770", 30000, "Tallowick"), nullptr) << (c.wine ? c.wine : "default");
      EXPECT_EQ(winetest::RunProgram("-Q", 30000), 0u);
      DWORD code = 0;
      ASSERT_TRUE(program.Wait(30000, &code));
    }
    EXPECT_EQ(TraceMessage(trace, "Windows Version"), c.expected) << (c.wine ? c.wine : "default");
    EXPECT_EQ(TraceMessage(trace, "Init TestLog"), "(x64)") << (c.wine ? c.wine : "default");
  }
  SetText(HKEY_CURRENT_USER, "Software\\Wine", "Version", nullptr);
  winetest::DeleteTree(HKEY_CURRENT_USER, "Software\\Orvendel Studios");
}

}  // namespace
