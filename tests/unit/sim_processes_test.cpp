// The simulated process table beyond what the contract suite checks against Wine: the
// refusals a test can seed, the processes every Windows has, WOW64, and handle bookkeeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/unit/sim_fixture.h"

namespace {

using plat::kProcessQueryInformation;
using plat::kProcessTerminate;
using plat::kProcessVmRead;
constexpr DWORD kQueryAndRead = kProcessQueryInformation | kProcessVmRead;

sim::SimProcess Program(const std::string& path) {
  sim::SimProcess p;
  p.mainModule = path;
  p.modules = {"C:\\Windows\\system32\\ntdll.dll", "C:\\Windows\\system32\\kernel32.dll"};
  return p;
}

std::string MainModule(const plat::ProcessHandle& h) {
  char name[MAX_PATH] = {};
  return plat::Processes().GetModuleFileNameExA(h, 0, name, sizeof name) ? name : "";
}

bool Listed(DWORD pid) {
  std::vector<DWORD> pids;
  plat::Processes().EnumProcesses(&pids);
  return std::find(pids.begin(), pids.end(), pid) != pids.end();
}

class SimProcessesTest : public testing_support::SimTest {
 protected:
  sim::SimProcesses& table() { return machine_.processes(); }
};

TEST_F(SimProcessesTest, EveryWindowsListsTheIdleProcessAndSystemButOpensNeither) {
  EXPECT_TRUE(Listed(0));
  EXPECT_TRUE(Listed(4));
  plat::Sys().SetLastError(0);
  EXPECT_FALSE(plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, 0));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), plat::Sys().GetLastError());
  EXPECT_FALSE(plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, 4));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), plat::Sys().GetLastError());
}

TEST_F(SimProcessesTest, SeededRefusalsAndSurvivors) {
  sim::SimProcess locked = Program("C:\\Windows\\system32\\locked.exe");
  locked.refuseOpen = true;
  sim::SimProcess guarded = Program("C:\\Program Files\\Guard\\guard.exe");
  guarded.refuseTerminate = true;
  sim::SimProcess host = Program("C:\\Windows\\system32\\svchost.exe");
  host.survivesTermination = true;
  const DWORD lockedPid = table().Add(locked), guardedPid = table().Add(guarded),
              hostPid = table().Add(host);

  EXPECT_FALSE(plat::Processes().OpenProcess(kQueryAndRead, FALSE, lockedPid));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), plat::Sys().GetLastError());

  // Readable, but the terminate right is refused when the handle is asked for.
  plat::ProcessHandle read = plat::Processes().OpenProcess(kQueryAndRead, FALSE, guardedPid);
  EXPECT_EQ("C:\\Program Files\\Guard\\guard.exe", MainModule(read));
  EXPECT_FALSE(plat::Processes().OpenProcess(kProcessTerminate, FALSE, guardedPid));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), plat::Sys().GetLastError());

  // Ending the host "works" and the host runs on, again and again.
  plat::ProcessHandle h =
      plat::Processes().OpenProcess(kProcessTerminate | kProcessQueryInformation, FALSE, hostPid);
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(plat::Processes().TerminateProcess(h, 0));
    DWORD code = 0;
    ASSERT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
    EXPECT_EQ(plat::kStillActive, code);
    EXPECT_TRUE(Listed(hostPid));
  }
}

TEST_F(SimProcessesTest, AProcessThatEndsOnItsOwnKeepsItsIdOnlyWhileHandlesRemain) {
  const DWORD pid = table().Add(Program("C:\\Tools\\quick.exe"));
  plat::ProcessHandle h = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid);
  ASSERT_TRUE(table().Exit(pid, 42));
  EXPECT_FALSE(Listed(pid));
  EXPECT_FALSE(table().IsRunning(pid));
  DWORD code = 0;
  ASSERT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
  EXPECT_EQ(42u, code);
  EXPECT_EQ("", MainModule(h));
  EXPECT_TRUE(plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, pid));
  EXPECT_EQ(0u, table().Add([&] {
    sim::SimProcess p = Program("C:\\Tools\\other.exe");
    p.pid = pid;
    return p;
  }()));

  h.Close();
  EXPECT_FALSE(plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, pid));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), plat::Sys().GetLastError());
  EXPECT_FALSE(table().Exit(pid, 0));
}

TEST_F(SimProcessesTest, IdsAreMultiplesOfFourAndNeverShared) {
  sim::SimProcess fixed = Program("C:\\Tools\\fixed.exe");
  fixed.pid = 1000;
  EXPECT_EQ(1000u, table().Add(fixed));
  EXPECT_EQ(0u, table().Add(fixed));
  std::vector<DWORD> pids;
  for (int i = 0; i < 3; ++i) pids.push_back(table().Add(Program("C:\\Tools\\a.exe")));
  for (DWORD pid : pids) {
    EXPECT_EQ(0u, pid % 4);
    EXPECT_NE(1000u, pid);
  }
  std::sort(pids.begin(), pids.end());
  EXPECT_EQ(pids.end(), std::adjacent_find(pids.begin(), pids.end()));
}

TEST_F(SimProcessesTest, HandlesAreCountedAndClosedOnce) {
  const DWORD pid = table().Add(Program("C:\\Tools\\a.exe"));
  {
    plat::ProcessHandle a = plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, pid);
    plat::ProcessHandle b = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid);
    plat::ProcessHandle c = std::move(b);
    EXPECT_EQ(2u, table().OpenHandleCount());
    void* raw = a.get();
    EXPECT_TRUE(a.Close());
    EXPECT_FALSE(plat::Processes().CloseHandle(raw));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), plat::Sys().GetLastError());
  }
  EXPECT_EQ(0u, table().OpenHandleCount());
}

struct Wow64Case {
  const char* name;
  bool windows64, process64, target32;
  bool readable;
};

class SimProcessesWow64 : public ::testing::TestWithParam<Wow64Case> {};

TEST_P(SimProcessesWow64, ModulesOfAProcessOfTheOtherKind) {
  const Wow64Case& c = GetParam();
  sim::MachineConfig config;
  config.windows64 = c.windows64;
  config.process64 = c.process64;
  sim::SimMachine machine(config);
  machine.Install();
  sim::SimProcess p = Program("C:\\Tools\\tool.exe");
  p.is32Bit = c.target32;
  const DWORD pid = machine.processes().Add(p);
  {
    plat::ProcessHandle h = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid);
    ASSERT_TRUE(h);
    std::vector<plat::ModuleId> modules;
    EXPECT_EQ(c.readable, plat::Processes().EnumProcessModules(h, &modules));
    EXPECT_EQ(c.readable ? "C:\\Tools\\tool.exe" : "", MainModule(h));
    if (!c.readable) {
      EXPECT_EQ(plat::kErrorPartialCopy, plat::Sys().GetLastError());
    }
    DWORD code = 0;
    EXPECT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
  }
  plat::Install(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SimProcessesWow64,
    ::testing::Values(Wow64Case{"Win64_x64_reads_x64", true, true, false, true},
                      Wow64Case{"Win64_x64_reads_x86", true, true, true, true},
                      Wow64Case{"Win64_x86_cannot_read_x64", true, false, false, false},
                      Wow64Case{"Win64_x86_reads_x86", true, false, true, true},
                      // On a 32-bit Windows every process is a 32-bit one.
                      Wow64Case{"Win32_reads_all", false, false, false, true}),
    [](const ::testing::TestParamInfo<Wow64Case>& info) { return info.param.name; });

}  // namespace
