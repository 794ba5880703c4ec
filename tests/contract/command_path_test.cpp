// Command lines in the forms they take in the wild, turned into their program files, on the
// simulated machine and on Windows under Wine.
#include <gtest/gtest.h>

#include <string>

#include "app/process_state.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "tests/contract/contract_env.h"

namespace {

class CommandPath : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    windows_ = text::UpperAnsi(paths::WindowsFolder());
    programFiles_ = reg::GetRegString(HKEY_LOCAL_MACHINE,
                                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                      "ProgramFilesDir", 260);
  }
  void TearDown() override {
    for (const auto& f : made_) plat::Files().DeleteFileA(f.c_str());
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
      plat::Files().RemoveDirectoryA(it->c_str());
    app::ResetProcessState();
  }
  void MakeFile(const std::string& folder, const std::string& name) {
    if (plat::Files().CreateDirectoryA(folder.c_str())) folders_.push_back(folder);
    std::string path = folder + "\\" + name;
    ASSERT_TRUE(plat::Files().WriteFileBytes(path.c_str(), "MZ"));
    made_.push_back(path);
  }

  std::unique_ptr<contract::ContractEnv> env_;
  std::string windows_, programFiles_;
  std::vector<std::string> made_, folders_;
};

TEST_F(CommandPath, FileFromCommandTable) {
  ASSERT_FALSE(windows_.empty());
  struct Case {
    std::string command, expected;
  } cases[] = {
      {"\"C:\\Program Files\\App\\app.exe\" -min", "C:\\PROGRAM FILES\\APP\\APP.EXE"},
      {"C:\\Program Files\\App\\app.exe -min", "C:\\PROGRAM FILES\\APP\\APP.EXE"},
      {"%WINDIR%\\notepad.exe", windows_ + "\\NOTEPAD.EXE"},
      {"%SystemRoot%\\system32\\svchost.exe -k netsvcs", windows_ + "\\SYSTEM32\\SVCHOST.EXE"},
      {"\\SystemRoot\\System32\\smss.exe", windows_ + "\\SYSTEM32\\SMSS.EXE"},
      {"\"%SystemRoot%\\tray.exe\" /start", windows_ + "\\TRAY.EXE"},
      {"%ProgramFiles%\\Vendor\\up.exe", text::UpperAnsi(programFiles_) + "\\VENDOR\\UP.EXE"},
      {"rundll32.exe shell32.dll,Control_RunDLL", "RUNDLL32.EXE"},
      {"C:\\WINDOWS\\system32\\RUNDLL32.EXE C:\\x\\lib.dll,Entry",
       "C:\\WINDOWS\\SYSTEM32\\RUNDLL32.EXE"},
      {"C:\\x\\lib.dll,Entry", "C:\\X\\LIB.DLL"},
      {"notepad.exe", "NOTEPAD.EXE"},
      {"C:\\PROGRA~1\\Vendor\\app.exe /s", "C:\\PROGRA~1\\VENDOR\\APP.EXE"},
      {"  \"D:\\Tools\\x.exe\"", "D:\\TOOLS\\X.EXE"},
      {"no extension here", "NO EXTENSION HERE"},
  };
  for (const auto& c : cases) EXPECT_EQ(paths::GetFileFromCommand(c.command), c.expected) << c.command;
}

TEST_F(CommandPath, MissingProgramUnderProgramFilesX86IsFoundUnderProgramFiles) {
  MakeFile("C:\\Program Files\\TallowickContract", "tool.exe");
  EXPECT_EQ(paths::GetFileFromCommand("\"C:\\Program Files (x86)\\TallowickContract\\tool.exe\" -x"),
            "C:\\PROGRAM FILES\\TALLOWICKCONTRACT\\TOOL.EXE");
  // A file that exists where the command says stays there.
  MakeFile("C:\\Program Files (x86)\\TallowickContract", "tool.exe");
  EXPECT_EQ(paths::GetFileFromCommand("C:\\Program Files (x86)\\TallowickContract\\tool.exe"),
            "C:\\PROGRAM FILES (X86)\\TALLOWICKCONTRACT\\TOOL.EXE");
}

TEST_F(CommandPath, RunDllTargetAndSplit) {
  std::string target;
  EXPECT_TRUE(paths::GetRunDllTarget("rundll32.exe shell32.dll,Control", &target));
  EXPECT_EQ(target, "shell32.dll,Control");
  EXPECT_TRUE(paths::GetRunDllTarget("C:\\Windows\\System32\\RunDll32.exe x.dll,Start /q", &target));
  EXPECT_EQ(target, "x.dll,Start /q");
  EXPECT_FALSE(paths::GetRunDllTarget("C:\\app.exe", &target));
  EXPECT_EQ(target, "C:\\app.exe");

  std::string file, parameters;
  size_t end = paths::SplitCommand("\"C:\\Program Files\\App\\app.exe\" -min /x", &file, &parameters);
  EXPECT_EQ(parameters, " -min /x");
  EXPECT_EQ(end, 30u);
  end = paths::SplitCommand("%SystemRoot%\\system32\\control.cpl desk", &file, &parameters);
  EXPECT_EQ(text::UpperAnsi(file), windows_ + "\\SYSTEM32\\CONTROL.CPL");
  EXPECT_EQ(parameters, " desk");
}

TEST_F(CommandPath, FoldersNamesAndExistence) {
  EXPECT_EQ(paths::GetFileFolder("C:\\Program Files\\App\\app.exe"), "C:\\Program Files\\App");
  EXPECT_EQ(paths::GetFileFolder("C:\\app.exe"), "C:\\");
  EXPECT_EQ(paths::GetFileName("C:\\Program Files\\App\\app.exe"), "app.exe");
  EXPECT_EQ(paths::GetFileNamePosition("app.exe"), 0u);
  EXPECT_EQ(paths::GetProgramFilesFolderName("C:\\Program Files\\Vendor\\app.exe").empty(),
            !text::ContainsNoCase(std::string("C:\\Program Files\\Vendor\\app.exe"),
                                  programFiles_));

  MakeFile(paths::WindowsFolder(), "tallowick-contract.exe");
  EXPECT_EQ(text::UpperAnsi(paths::GetFileFolder("tallowick-contract.exe")), windows_);
  EXPECT_TRUE(paths::FileExists(std::string("tallowick-contract.exe")));
  EXPECT_TRUE(paths::FileExists(paths::WindowsFolder() + "\\tallowick-contract.exe"));
  EXPECT_FALSE(paths::FileExists(std::string("no-such-program.exe")));
  EXPECT_FALSE(paths::FileExists(std::string()));
  EXPECT_EQ(paths::GetFileFolder("no-such-program.exe"), "");
}

}  // namespace
