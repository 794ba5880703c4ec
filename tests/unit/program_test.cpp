// The program's entry through the headless main-window host: maintenance jobs, hand-over to
// a running instance, the start-up sequence and the writing of the options at close.
#include <string>

#include "app/app_state.h"
#include "app/main_host.h"
#include "app/startup_sequence.h"
#include "diag/testlog.h"
#include "settings/options.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"
#include "ui/sim/sim_main_host.h"

namespace {

const std::string kProgram = "Software\\Orvendel Studios\\Tallowick";
const std::string kOptions = kProgram + "\\Options";
const std::string kData = "C:\\Users\\User\\AppData\\Roaming\\Tallowick";

class Program : public testing_support::SimTest {
 protected:
  int Run(const char* line) { return app::ExplorerMain(line, host_); }
  void SetOptionText(const char* name, const char* value) {
    Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kOptions + "]\n\"" + name + "\"=\"" + value + "\"\n");
  }
  uisim::SimMainHost host_;
};

TEST_F(Program, FirstStartMakesTheProgramKeysAndCloseWritesEveryOption) {
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(host_.createdClass, "TallowickEx");
  EXPECT_EQ(host_.createdCaption, "Loading...");
  EXPECT_EQ(host_.tabWindowOpens, std::vector<int>{6026});
  EXPECT_TRUE(host_.quitPosted);

  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, ""), "12/10/2026 10:00 AM");
  for (const char* sub : {"Nuts", "Cookies", "Options", "Run", "IEHelpers", "HostFile", "Tasks",
                          "ActiveX"})
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProgram + "\\" + sub)) << sub;
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "PATH"), "C:\\Program Files\\Tallowick");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "NewVersion"), "33.1.2015.0");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "Init"), "12/10/2026 10:00 AM");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProgram + "\\Sysfiles", ""), "12/10/2026 10:00 AM");
  // The UAC settings Windows did not have are kept as -1.
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "EnableLUA"), "dword:4294967295");

  for (int i = 0; i < static_cast<int>(settings::Opt::Count); ++i) {
    const auto& def = settings::Def(static_cast<settings::Opt>(i));
    if (def.saved)
      EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, def.name), std::to_string(def.defaultValue))
          << def.name;
  }
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "Update"), "1");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "Quillmere"), "1");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "Installed2015"), "1");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "nCount"), "1");
  EXPECT_EQ(machine_.system().coUninitializeCalls, 1);
}

TEST_F(Program, QuitWithoutARunningInstanceMakesNoWindow) {
  EXPECT_EQ(Run("-q"), 0);
  EXPECT_FALSE(host_.mainWindowExists);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgram));
}

TEST_F(Program, ARunningInstanceGetsTheRequest) {
  host_.otherWindows["TallowickEx"] = 0x77;
  SetOptionText("StartTab", "6039");
  struct Case {
    std::string line;
    int posted;
  } cases[] = {
      {"-OPTION -TASK", 6029},
      {"-Q", 6030},
      {"-DELAY -q", 6030},
      {"", 6039},
      {std::string(773, 'x') + " -TASK", 6039},
  };
  for (const auto& c : cases) {
    host_.postedToOthers.clear();
    EXPECT_EQ(Run(c.line.c_str()), 0);
    ASSERT_EQ(host_.postedToOthers.size(), 1u) << c.line;
    EXPECT_EQ(host_.postedToOthers[0].window, 0x77u);
    EXPECT_EQ(host_.postedToOthers[0].command, c.posted) << c.line;
  }
  EXPECT_FALSE(host_.mainWindowExists);
}

TEST_F(Program, StartTabBelowTheFirstTabOpensStartupPrograms) {
  SetOptionText("StartTab", "5000");
  Run("");
  EXPECT_EQ(host_.tabWindowOpens, std::vector<int>{6026});
}

TEST_F(Program, StartTabOfThePlusPageOpensIt) {
  // The sheet saves the page it was closed on; the PLUS page is one of them.
  SetOptionText("StartTab", "6027");
  Run("");
  EXPECT_EQ(host_.tabWindowOpens, std::vector<int>{6027});
}

TEST_F(Program, CleanupCounterTurnsThroughSevenStarts) {
  struct Case {
    const char* stored;
    int next;
    const char* category;
  } cases[] = {{"6", 0, "Tasks"}, {"5", 6, nullptr}, {"0", 1, "ActiveTasks"}, {"", 1, "ActiveTasks"}};
  for (const auto& c : cases) {
    SetOptionText("nCount", c.stored);
    const char* category = app::AdvanceCleanupCounter();
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "nCount"), std::to_string(c.next));
    if (c.category)
      EXPECT_STREQ(category, c.category);
    else
      EXPECT_EQ(category, nullptr);
  }
}

TEST_F(Program, ExitRequestDependsOnConfirmExit) {
  // ConfirmExit 0: the running explorer closes.
  host_.whileTabWindowOpen = [&](int) {
    host_.PostToMain(WM_COMMAND, 6048, 0);
    host_.PumpMessages();
  };
  EXPECT_EQ(Run(""), 0);
  EXPECT_TRUE(host_.mainWindowDestroyed);
  EXPECT_TRUE(machine_.launcher().launches.empty());
}

TEST_F(Program, ExitRequestWithConfirmExitStartsTheMonitorAndStays) {
  SetOptionText("ConfirmExit", "1");
  host_.whileTabWindowOpen = [&](int) {
    host_.PostToMain(WM_COMMAND, 6048, 0);
    host_.PumpMessages();
    EXPECT_FALSE(host_.quitPosted);
    // With the monitor running, the exit request shows the Startup tab (raised: it is open).
    host_.otherWindows["Tallowick"] = 0x55;
    host_.PostToMain(WM_COMMAND, 6048, 0);
    host_.PumpMessages();
  };
  Run("");
  ASSERT_EQ(machine_.launcher().launches.size(), 1u);
  EXPECT_EQ(machine_.launcher().launches[0].how, "WinExec");
  EXPECT_EQ(machine_.launcher().launches[0].file, "Tallowick.exe");
  EXPECT_EQ(machine_.launcher().launches[0].show, SW_SHOW);
  EXPECT_EQ(host_.tabWindowRaises, std::vector<int>{6026});
  EXPECT_FALSE(host_.mainWindowDestroyed);
}

TEST_F(Program, CookieListRequestPutsViewCookiesBack) {
  SetOptionText("ViewCookies", "0");
  int during = -1;
  host_.whileTabWindowOpen = [&](int command) {
    if (command == 6028) during = settings::Get(settings::Opt::ViewCookies);
  };
  Run("-COOKIE");
  EXPECT_EQ(during, 1);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "ViewCookies"), "0");
}

TEST_F(Program, UpdateInstallAndCleanupRequest) {
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kProgram +
       "]\n@=\"01/01/2015 1:00 PM\"\n\"NewVersion\"=\"30.0\"\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update]\n"
       "\"AUOptions\"=dword:00000004\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System]\n"
       "\"EnableLUA\"=dword:00000001\n");
  diag::SetTraceCounter(0);
  SetOptionText("TestLogEx", "0");
  Run("");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, ""), "01/01/2015 1:00 PM");  // not a first run
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "NewVersion"), "33.1.2015.0");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "AUOptions"), "dword:4");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "EnableLUA"), "dword:1");
  auto lines = contract::TraceLines(kData + "\\sendex2tolan.txt");
  EXPECT_TRUE(contract::TraceHas(lines, "Update Install", "33.1.2015.0"));
  EXPECT_FALSE(contract::TraceHas(lines, "FIRSTTIME", ""));

  // The next start with Cleanup set rebuilds and clears the request.
  SetOptionText("Cleanup", "1");
  app::ResetProcessState();
  uisim::SimMainHost second;
  app::ExplorerMain("", second);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "Cleanup"), "0");
  EXPECT_TRUE(contract::TraceHas(contract::TraceLines(kData + "\\sendex2tolan.txt"),
                                 "Registry Garbage Collection", ""));
}

TEST_F(Program, OldHistoryMovesToTheDataFolder) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Old\\history.txt", "line\r\n"));
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Old\\disabled\\x.lnk", "L"));
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kProgram + "]\n\"PATH\"=\"C:\\\\Old\"\n");
  Run("");
  EXPECT_EQ(machine_.files().ReadFileText(kData + "\\history.txt"), "line\r\n");
  EXPECT_FALSE(machine_.files().Exists("C:\\Old\\history.txt"));
  EXPECT_EQ(machine_.files().ReadFileText(kData + "\\disabled\\x.lnk"), "L");
  EXPECT_FALSE(machine_.files().Exists("C:\\Old\\disabled"));
}

TEST_F(Program, ExplorerMenuFollowsItsOption) {
  SetOptionText("ExplorerMenu", "1");
  Run("");
  EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "exefile\\shell\\Tallowick PLUS\\command", ""),
            "\"C:\\Program Files\\Tallowick\\tallowick.exe\" %1");
  EXPECT_NE(RegText(HKEY_CLASSES_ROOT, "exefile\\shell\\Tallowick PLUS", ""), "<no value>");

  SetOptionText("ExplorerMenu", "0");
  app::ResetProcessState();
  uisim::SimMainHost second;
  app::ExplorerMain("", second);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "exefile\\shell\\Tallowick PLUS"));
}

TEST_F(Program, RestoreRemovesTheInstallationsTraces) {
  Run("");
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kProgram +
       "]\n\"LString606\"=\"x\"\n\"xPos\"=\"10\"\n"
       "[HKEY_LOCAL_MACHINE\\" + kProgram + "]\n\"LString1499\"=\"y\"\n\"Other\"=\"keep\"\n"
       "[HKEY_CLASSES_ROOT\\exefile\\shell\\Tallowick PLUS\\command]\n@=\"x\"\n");
  ASSERT_TRUE(machine_.files().WriteFileText(kData + "\\history.txt", "h"));
  ASSERT_TRUE(machine_.files().WriteFileText(kData + "\\vault\\a.vlt", "v"));
  EXPECT_EQ(app::ExplorerMain("-Restore", host_), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Orvendel Studios"));
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProgram, "LString1499"), "<no value>");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProgram, "Other"), "keep");
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "exefile\\shell\\Tallowick PLUS"));
  EXPECT_FALSE(machine_.files().Exists(kData + "\\history.txt"));
  EXPECT_FALSE(machine_.files().Exists(kData + "\\vault\\a.vlt"));
  // The emptied vault folder is left, and with it the data folder.
  EXPECT_TRUE(machine_.files().Exists(kData + "\\vault"));
}

TEST_F(Program, AUOptionPutsTheSavedSettingBack) {
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kProgram + "]\n\"AUOptions\"=dword:00000003\n");
  EXPECT_EQ(Run("-AUOption"), 0);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE,
                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update",
                    "AUOptions", KEY_WOW64_64KEY),
            "dword:3");
  EXPECT_FALSE(host_.mainWindowExists);
}

TEST_F(Program, ComFailureFallsBackAndIsLogged) {
  machine_.system().coInitializeExResult = static_cast<HRESULT>(0x80010106);
  machine_.system().coInitializeSecurityResult = static_cast<HRESULT>(0x80010119);
  SetOptionText("TestLogEx", "0");
  Run("");
  EXPECT_EQ(machine_.system().coInitializeCalls, 2);
  auto lines = contract::TraceLines(kData + "\\sendex2tolan.txt");
  // The COM steps run before tracing starts; the start-up sequence's own lines follow.
  EXPECT_TRUE(contract::TraceHas(lines, "GetInitalValues", "(x64)"));
}

TEST_F(Program, MissingStringsOrWindowEndTheProgram) {
  machine_.system().stringOverrides[9] = "";
  EXPECT_EQ(Run(""), 0);
  EXPECT_FALSE(host_.mainWindowExists);
  machine_.system().stringOverrides.clear();
  host_.failCreate = true;
  EXPECT_EQ(Run(""), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgram));
}

TEST_F(Program, MainWindowMessages) {
  host_.whileTabWindowOpen = [&](int) {
    host_.PostToMain(6071, 6039, 0);         // re-posted as a command
    host_.PostToMain(WM_SYSCOMMAND, SC_RESTORE, 0);
    host_.PostToMain(WM_SYSCOMMAND, SC_CLOSE, 0);  // ignored
    host_.PostToMain(WM_COMMAND, 6069, 0);
    app::State().helpContext = 6029;
    host_.PostToMain(WM_HELP, 0, 0);
    host_.PumpMessages();
  };
  Run("");
  // The re-posted command queues behind the messages already waiting.
  EXPECT_EQ(host_.tabWindowRaises, (std::vector<int>{0, 6039}));
  ASSERT_EQ(machine_.launcher().launches.size(), 2u);
  EXPECT_EQ(machine_.launcher().launches[0].verb, "open");
  EXPECT_NE(machine_.launcher().launches[1].file.find("tasks.html"), std::string::npos);
  EXPECT_TRUE(host_.quitPosted);
}

}  // namespace

namespace {

// The 64-bit flag on the three kinds of machine the program meets.
struct FlagCase {
  bool windows64, process64;
  const char* logged;
};

class ProgramFlag : public ::testing::TestWithParam<FlagCase> {};

TEST_P(ProgramFlag, FlagFollowsTheProcessAndTheWindows) {
  const FlagCase& c = GetParam();
  sim::MachineConfig config;
  config.windows64 = c.windows64;
  config.process64 = c.process64;
  sim::SimMachine machine(config);
  machine.Install();
  app::ResetProcessState();
  std::string error;
  ASSERT_TRUE(machine.registry().LoadRegText(
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvendel Studios\\Tallowick\\Options]\n"
      "\"TestLogEx\"=\"0\"\n",
      "seed.reg", &error))
      << error;
  uisim::SimMainHost host;
  EXPECT_EQ(app::ExplorerMain("", host), 0);
  auto lines = contract::TraceLines(kData + "\\sendex2tolan.txt");
  EXPECT_TRUE(contract::TraceHas(lines, "GetInitalValues", c.logged));
  EXPECT_EQ(reg::Is64BitFlag(), std::string(c.logged) == "(x64)");
  app::ResetProcessState();
  plat::Install(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Machines, ProgramFlag,
                         ::testing::Values(FlagCase{false, false, "(x86)"},
                                           FlagCase{true, false, "(x64)"},
                                           FlagCase{true, true, "(x64)"}));

}  // namespace

namespace {

class ProgramMigration : public testing_support::SimTest {};

TEST_F(ProgramMigration, DisabledFolderOnAnotherDriveMovesFileByFile) {
  machine_.files().AddDrive('D');
  ASSERT_TRUE(machine_.files().WriteFileText("D:\\Old\\disabled\\a.lnk", "A"));
  ASSERT_TRUE(machine_.files().WriteFileText("D:\\Old\\disabled\\b.lnk", "B"));
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kProgram + "]\n\"PATH\"=\"D:\\\\Old\"\n");
  uisim::SimMainHost host;
  app::ExplorerMain("", host);
  EXPECT_EQ(machine_.files().ReadFileText(kData + "\\disabled\\a.lnk"), "A");
  EXPECT_EQ(machine_.files().ReadFileText(kData + "\\disabled\\b.lnk"), "B");
  EXPECT_FALSE(machine_.files().Exists("D:\\Old\\disabled"));
}

}  // namespace

// The tab window: the requested page starts it, another instance's tab request only raises
// it, and the pages follow the Windows family.
TEST_F(Program, AnOpenTabWindowIsRaisedAndKeepsItsPage) {
  std::vector<int> pages;
  host_.whileTabWindowOpen = [&](int) {
    pages.push_back(host_.sheet.currentCommand());
    // A second start with "-TASK" posts the Active Tasks command to this instance.
    host_.PostToMain(WM_COMMAND, 6029, 0);
    host_.PumpMessages();
    pages.push_back(host_.sheet.currentCommand());
  };
  Run("-OPTION");
  EXPECT_EQ(pages, (std::vector<int>{6032, 6032}));
  EXPECT_EQ(host_.tabWindowRaises, std::vector<int>{6029});
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "StartTab"), "6032");
  EXPECT_TRUE(host_.quitPosted);  // closing the sheet ended the program
}

TEST_F(Program, WithoutTheNtFamilyThereIsNoServicesPage) {
  machine_.system().version.platformId = 1;
  int page = -1;
  std::vector<int> commands;
  host_.whileTabWindowOpen = [&](int) {
    page = host_.sheet.currentCommand();
    commands = host_.sheet.commands();
  };
  Run("-SERVICE");
  EXPECT_EQ(page, 6026);
  EXPECT_EQ(commands.size(), 13u);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 6038), 0);
}
