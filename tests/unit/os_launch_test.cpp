// The Windows version name, the launch-error texts and the fixed ways of starting programs.
#include <cstring>
#include <string>

#include "diag/launch_errors.h"
#include "diag/os_info.h"
#include "diag/testlog.h"
#include "platform/launching.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"

namespace {

class OsAndLaunch : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    diag::SetTraceFile(trace_);
    diag::SetTraceCounter(0);
  }
  std::vector<std::string> Trace() { return contract::TraceLines(trace_); }
  const std::string trace_ = "C:\\Windows\\Temp\\trace.txt";
};

TEST_F(OsAndLaunch, WindowsVersionNames) {
  struct Case {
    DWORD platform, major, minor;
    WORD sp, suite;
    BYTE type;
    const char* csd;
    int tablet;
    const char* expected;
  } cases[] = {
      {2, 6, 1, 1, 0, VER_NT_WORKSTATION, "Service Pack 1", 0, "Windows 7 SP1 "},
      {2, 6, 3, 0, 0, VER_NT_WORKSTATION, "", 0, "Windows 8.1  "},
      {2, 5, 1, 3, VER_SUITE_PERSONAL, VER_NT_WORKSTATION, "", 0, "Windows XP SP3 Home Edition "},
      {2, 5, 1, 2, 0, VER_NT_WORKSTATION, "", 1, "Windows XP SP2 Tablet PC Edition "},
      {2, 5, 2, 1, VER_SUITE_ENTERPRISE, VER_NT_SERVER, "", 0,
       "Windows Server 2003 family, SP1 Enterprise Edition "},
      {2, 5, 2, 0, VER_SUITE_BLADE, VER_NT_SERVER, "", 0, "Windows Server 2003 family,  Web Edition "},
      {2, 5, 0, 4, VER_SUITE_DATACENTER, VER_NT_DOMAIN_CONTROLLER, "", 0,
       "Windows 2000  Datacenter Server "},
      {2, 4, 0, 0, 0, VER_NT_WORKSTATION, "", 0, "Windows NT  Workstation 4.0 "},
      {2, 6, 0, 2, VER_SUITE_ENTERPRISE, VER_NT_SERVER, "", 0,
       "Windows Vista SP2 Server 4.0, Enterprise Edition "},
      {1, 4, 0, 0, 0, 0, " C", 0, "Microsoft Windows 95 OSR2 "},
      {1, 4, 10, 0, 0, 0, " A", 0, "Microsoft Windows 98 SE "},
      {1, 4, 90, 0, 0, 0, "", 0, "Microsoft Windows Millennium Edition"},
      {0, 3, 10, 0, 0, 0, "", 0, "Microsoft Win32s"},
  };
  for (const auto& c : cases) {
    auto& v = machine_.system().version;
    v.platformId = c.platform;
    v.major = c.major;
    v.minor = c.minor;
    v.servicePackMajor = c.sp;
    v.suiteMask = c.suite;
    v.productType = c.type;
    std::strcpy(v.csdVersion, c.csd);
    machine_.system().tabletPC = c.tablet;
    EXPECT_EQ(diag::WindowsVersionText(), c.expected) << c.major << "." << c.minor;
  }
  EXPECT_TRUE(diag::IsNTPlatform() == false);  // the last case was Win32s
}

TEST_F(OsAndLaunch, BasicVersionNeedsTheProductType) {
  machine_.system().extendedVersionAvailable = false;
  EXPECT_EQ(diag::WindowsVersionText(), "");
  Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions]\n"
       "\"ProductType\"=\"WinNT\"\n");
  EXPECT_EQ(diag::WindowsVersionText(), "Windows 7  6.1 ");
  EXPECT_TRUE(diag::IsVistaOrLater());
}

TEST_F(OsAndLaunch, CommonControlsVersion) {
  struct Case {
    bool known;
    DWORD major, minor;
    bool expected;
  } cases[] = {{true, 6, 10, true}, {true, 4, 71, true}, {true, 4, 70, false}, {false, 6, 0, false}};
  for (const auto& c : cases) {
    machine_.system().commonControlsKnown = c.known;
    machine_.system().commonControlsMajor = c.major;
    machine_.system().commonControlsMinor = c.minor;
    EXPECT_EQ(diag::HasNewCommonControls(), c.expected) << c.major << "." << c.minor;
  }
}

TEST_F(OsAndLaunch, LaunchErrorTexts) {
  // Writing a trace line may change the last error, so it is set before every call.
  auto log = [&](int code, const char* label, int kind) {
    machine_.system().SetLastError(5);
    diag::LogLaunchError(code, label, kind);
  };
  log(29, "L29", 0);
  log(2, "L2", 0);
  log(77, "L77", 0);  // no fixed text: the system error
  log(0, "K2", 2);
  log(0, "K9", 9);
  auto lines = Trace();
  EXPECT_TRUE(contract::TraceHas(lines, "L29", "29  The DDE transaction could not be completed "
                                               "because other DDE transactions were being processed."));
  EXPECT_TRUE(contract::TraceHas(lines, "L2", "2  The specified file was not found."));
  EXPECT_TRUE(contract::TraceHas(lines, "L77", "5  Access is denied."));
  EXPECT_TRUE(contract::TraceHas(lines, "K2", "DefWindPos Error  Access is denied."));
  EXPECT_TRUE(contract::TraceHas(lines, "K9", "Default Error  Access is denied."));
}

TEST_F(OsAndLaunch, DelayedProgramLaunches) {
  auto& launches = machine_.launcher().launches;
  // A deleted program starts nothing.
  EXPECT_EQ(launching::fileLaunchDelayedProgram("-x", "C:\\Gone\\app.exe", 1, false), 2);
  EXPECT_TRUE(launches.empty());
  EXPECT_TRUE(contract::TraceHas(Trace(), "fileLaunchDelayedProgram FileExist = FALSE",
                                 "C:\\Gone\\app.exe"));

  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Apps\\tool.exe", "MZ"));
  EXPECT_EQ(launching::fileLaunchDelayedProgram("-min", "C:\\Apps\\tool.exe", 11, true), 0);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].how, "ShellExecuteEx");
  EXPECT_EQ(launches[0].verb, "runas");
  EXPECT_EQ(launches[0].file, "C:\\Apps\\tool.exe");
  EXPECT_EQ(launches[0].parameters, "-min");
  EXPECT_EQ(launches[0].folder, "C:\\Apps");
  EXPECT_EQ(launches[0].show, SW_SHOWNORMAL);

  // A program run through the DLL host, and a failed start falling back to WinExec.
  machine_.launcher().exError = 1155;
  machine_.launcher().result = 2;
  EXPECT_EQ(launching::fileLaunchDelayedProgram("", "C:\\Apps\\tool.exe", -11, false), 0);
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[1].verb, "open");
  EXPECT_EQ(launches[1].file, "RUNDLL32.EXE C:\\Apps\\tool.exe");
  EXPECT_EQ(launches[2].how, "WinExec");
  EXPECT_EQ(launches[2].file, "C:\\Apps\\tool.exe");
  EXPECT_TRUE(contract::TraceHas(Trace(), "fileLaunchDelayedProgram WinExec",
                                 "2  The specified file was not found."));
}

TEST_F(OsAndLaunch, PropertiesExploreAndRepairFile) {
  auto& launches = machine_.launcher().launches;
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Apps\\tool.exe", "MZ"));
  EXPECT_TRUE(launching::ShowPropertiesOf("\"C:\\Apps\\tool.exe\" -x"));
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].verb, "properties");
  EXPECT_EQ(launches[0].mask, plat::kSeeMaskInvokeIdList);
  EXPECT_EQ(launches[0].file, "C:\\APPS\\TOOL.EXE");
  EXPECT_FALSE(launching::ShowPropertiesOf("C:\\Apps\\missing.exe"));

  EXPECT_TRUE(launching::ExploreFolderOf("C:\\Apps\\tool.exe"));
  EXPECT_EQ(launches.back().verb, "explore");
  EXPECT_EQ(launches.back().file, "C:\\Apps");

  // No repair file: nothing to do.
  launches.clear();
  EXPECT_EQ(launching::ImportRepairFile(), 1);
  EXPECT_TRUE(launches.empty());
  const std::string repair = "C:\\Users\\User\\AppData\\Roaming\\Tallowick\\temp.reg";
  ASSERT_TRUE(machine_.files().WriteFileText(repair, "REGEDIT4\r\n"));
  EXPECT_EQ(launching::ImportRepairFile(), 1);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].file, "regedit /s \"" + repair + "\"");
  machine_.launcher().result = 0;
  EXPECT_EQ(launching::ImportRepairFile(), 0);
}

}  // namespace
