// The process table against both machines: a started helper program is found by its
// program file, its modules are read, it is ended and its exit code seen. Natively the
// simulated table holds a process seeded like the helper.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "tests/contract/contract_env.h"

namespace {

using plat::kProcessQueryInformation;
using plat::kProcessTerminate;
using plat::kProcessVmRead;
constexpr DWORD kQueryAndRead = kProcessQueryInformation | kProcessVmRead;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string FilePart(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ModuleName(const plat::ProcessHandle& h, plat::ModuleId module) {
  char name[MAX_PATH] = {};
  DWORD n = plat::Processes().GetModuleFileNameExA(h, module, name, sizeof name);
  return n ? std::string(name) : std::string();
}

bool Listed(DWORD pid) {
  std::vector<DWORD> pids;
  return plat::Processes().EnumProcesses(&pids) &&
         std::find(pids.begin(), pids.end(), pid) != pids.end();
}

// Waits (bounded) until `done` holds: Windows ends a process shortly after TerminateProcess
// returns.
template <class F>
bool Eventually(F&& done) {
  for (int i = 0; i < 250; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

class ProcessesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    pid_ = env_->StartHelperProcess(&path_);
    ASSERT_NE(0u, pid_) << "the helper did not start";
  }
  void TearDown() override { env_.reset(); }

  std::unique_ptr<contract::ContractEnv> env_;
  DWORD pid_ = 0;
  std::string path_;
};

TEST_F(ProcessesContract, FindsTheHelperByItsProgramFileAndReadsItsModules) {
  // The walk the system makes: every listed id, opened to read, named by its main module.
  std::vector<DWORD> pids;
  ASSERT_TRUE(plat::Processes().EnumProcesses(&pids));
  std::vector<DWORD> matches;
  for (DWORD pid : pids) {
    if (pid == 0) continue;
    plat::ProcessHandle h = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid);
    if (!h) continue;
    std::vector<plat::ModuleId> modules;
    if (!plat::Processes().EnumProcessModules(h, &modules) || modules.empty()) continue;
    if (Upper(ModuleName(h, modules[0])) == Upper(path_)) matches.push_back(pid);
  }
  EXPECT_EQ(std::vector<DWORD>{pid_}, matches);

  plat::ProcessHandle h = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid_);
  ASSERT_TRUE(h);
  std::vector<plat::ModuleId> modules;
  ASSERT_TRUE(plat::Processes().EnumProcessModules(h, &modules));
  ASSERT_GE(modules.size(), 2u);
  EXPECT_EQ(Upper(path_), Upper(ModuleName(h, 0)));
  bool kernel32 = false;
  for (plat::ModuleId m : modules) {
    std::string name = ModuleName(h, m);
    EXPECT_FALSE(name.empty());
    kernel32 = kernel32 || Upper(FilePart(name)) == "KERNEL32.DLL";
  }
  EXPECT_TRUE(kernel32);
  DWORD code = 0;
  ASSERT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
  EXPECT_EQ(plat::kStillActive, code);
}

TEST_F(ProcessesContract, ModuleFileNameFollowsTheBufferProtocol) {
  plat::ProcessHandle h = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid_);
  ASSERT_TRUE(h);
  const DWORD length = static_cast<DWORD>(path_.size());
  struct Case {
    const char* name;
    plat::ModuleId module;
    DWORD size;
    DWORD result;
    std::string text;  // what the buffer holds afterwards (when result is not 0)
    DWORD error;       // the last error (when result is 0)
  } cases[] = {
      {"room for the name", 0, MAX_PATH, length, path_, 0},
      {"room for the name and its zero only", 0, length + 1, length, path_, 0},
      // A name that does not fit is cut and terminated; the whole buffer is reported.
      {"one character short", 0, length, length, path_.substr(0, length - 1), 0},
      {"five characters", 0, 5, 5, path_.substr(0, 4), 0},
      {"no room", 0, 0, 0, "", ERROR_INVALID_PARAMETER},
      {"a module the process does not have", 0x12340000, MAX_PATH, 0, "", ERROR_INVALID_HANDLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string buffer(MAX_PATH + 1, '#');
    plat::Sys().SetLastError(0);
    DWORD n = plat::Processes().GetModuleFileNameExA(h, c.module, buffer.data(), c.size);
    EXPECT_EQ(c.result, n);
    if (c.result) {
      EXPECT_EQ(c.text, std::string(buffer.c_str()));
      EXPECT_EQ('#', buffer[c.size]) << "written past the buffer";
    } else {
      EXPECT_EQ(c.error, plat::Sys().GetLastError());
    }
  }
}

TEST_F(ProcessesContract, EachCallNeedsItsAccessRight) {
  enum Call { kModules, kFileName, kExitCode, kTerminate };
  struct Case {
    const char* name;
    DWORD access;
    Call call;
    bool works;
  } cases[] = {
      {"modules with terminate rights", kProcessTerminate, kModules, false},
      {"modules without read rights", kProcessQueryInformation, kModules, false},
      {"file name with terminate rights", kProcessTerminate, kFileName, false},
      {"exit code with terminate rights", kProcessTerminate, kExitCode, false},
      {"exit code with query rights", kProcessQueryInformation, kExitCode, true},
      {"ending with query and read rights", kQueryAndRead, kTerminate, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::ProcessHandle h = plat::Processes().OpenProcess(c.access, FALSE, pid_);
    ASSERT_TRUE(h);
    plat::Sys().SetLastError(0);
    bool worked = false;
    std::vector<plat::ModuleId> modules;
    char name[MAX_PATH];
    DWORD code = 0;
    switch (c.call) {
      case kModules:
        worked = plat::Processes().EnumProcessModules(h, &modules);
        break;
      case kFileName:
        worked = plat::Processes().GetModuleFileNameExA(h, 0, name, MAX_PATH) != 0;
        break;
      case kExitCode:
        worked = plat::Processes().GetExitCodeProcess(h, &code);
        break;
      case kTerminate:
        worked = plat::Processes().TerminateProcess(h, 1);
        break;
    }
    EXPECT_EQ(c.works, worked);
    if (!c.works) {
      EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), plat::Sys().GetLastError());
    }
  }
  EXPECT_TRUE(Listed(pid_));
}

TEST_F(ProcessesContract, TerminateEndsTheProcessWithItsCode) {
  plat::ProcessHandle h =
      plat::Processes().OpenProcess(kProcessTerminate | kQueryAndRead, TRUE, pid_);
  ASSERT_TRUE(h);
  ASSERT_TRUE(plat::Processes().TerminateProcess(h, 3));
  DWORD code = plat::kStillActive;
  EXPECT_TRUE(Eventually([&] {
    return plat::Processes().GetExitCodeProcess(h, &code) && code != plat::kStillActive;
  }));
  EXPECT_EQ(3u, code);
  EXPECT_TRUE(Eventually([&] { return !Listed(pid_); }));

  // Nothing is left to read, but the id stays valid while a handle is open.
  std::vector<plat::ModuleId> modules;
  EXPECT_FALSE(plat::Processes().EnumProcessModules(h, &modules));
  plat::ProcessHandle again = plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, pid_);
  ASSERT_TRUE(again);
  ASSERT_TRUE(plat::Processes().GetExitCodeProcess(again, &code));
  EXPECT_EQ(3u, code);

  // Windows refuses to end a process twice (ERROR_ACCESS_DENIED); Wine 8 answers TRUE.
  // Either way the first exit code stays.
  plat::Sys().SetLastError(0);
  bool second = plat::Processes().TerminateProcess(h, 4);
  if (env_->IsSimulated()) {
    EXPECT_FALSE(second);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), plat::Sys().GetLastError());
  }
  ASSERT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
  EXPECT_EQ(3u, code);
}

TEST_F(ProcessesContract, AProcessEndedWithTheStillActiveCodeLooksAlive) {
  // Ending a process with the code read from it while it ran (259) leaves that code: the
  // exit code alone cannot tell that it has gone.
  plat::ProcessHandle h =
      plat::Processes().OpenProcess(kProcessTerminate | kProcessQueryInformation, FALSE, pid_);
  ASSERT_TRUE(h);
  DWORD code = 0;
  ASSERT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
  ASSERT_EQ(plat::kStillActive, code);
  ASSERT_TRUE(plat::Processes().TerminateProcess(h, code));
  EXPECT_TRUE(Eventually([&] { return !Listed(pid_); }));
  ASSERT_TRUE(plat::Processes().GetExitCodeProcess(h, &code));
  EXPECT_EQ(plat::kStillActive, code);
}

TEST_F(ProcessesContract, OpenProcessRefusesIdsThatAreNotInUse) {
  for (DWORD pid : {0u, 0x7FFFFFF0u}) {
    SCOPED_TRACE(pid);
    plat::Sys().SetLastError(0);
    plat::ProcessHandle h = plat::Processes().OpenProcess(kQueryAndRead, FALSE, pid);
    EXPECT_FALSE(h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), plat::Sys().GetLastError());
  }
}

TEST_F(ProcessesContract, HandlesCloseOnceAndMoveTheirOwnership) {
  plat::ProcessHandle h = plat::Processes().OpenProcess(kProcessQueryInformation, FALSE, pid_);
  ASSERT_TRUE(h);
  plat::ProcessHandle moved = std::move(h);
  EXPECT_FALSE(h);
  ASSERT_TRUE(moved);
  EXPECT_TRUE(moved.Close());
  EXPECT_FALSE(moved);
  EXPECT_FALSE(moved.Close());
  DWORD code = 0;
  EXPECT_FALSE(plat::Processes().GetExitCodeProcess(moved, &code));
}

}  // namespace
