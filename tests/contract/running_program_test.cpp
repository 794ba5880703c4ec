// A running startup program is found by its program file, or by its file name alone, and
// ended, with the TASK_Kill line in the history; natively against the simulated process table
// and under Wine against a real helper process.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/process_state.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "sysobjects/active_tasks.h"
#include "tests/contract/contract_env.h"

namespace {

class RunningProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    app::ResetProcessState();
    reg::SetNativeMasks();
    reg::Set64BitFlag(true);
    history_ = paths::GetDataFolder() + "\\history.txt";
    plat::Files().DeleteFileA(history_.c_str());
    pid_ = env_->StartHelperProcess(&path_);
    ASSERT_NE(0u, pid_) << "the helper did not start";
  }
  void TearDown() override {
    plat::Files().DeleteFileA(history_.c_str());
    app::ResetProcessState();
    env_.reset();
  }

  bool Running() {
    plat::ProcessHandle h = plat::Processes().OpenProcess(plat::kProcessQueryInformation, FALSE, pid_);
    DWORD code = 0;
    return h && plat::Processes().GetExitCodeProcess(h, &code) && code == plat::kStillActive;
  }

  std::unique_ptr<contract::ContractEnv> env_;
  DWORD pid_ = 0;
  std::string path_, history_;
};

TEST_F(RunningProgram, IsFoundByItsFileAndEnded) {
  EXPECT_EQ(sysobjects::FindProcessByPath(path_), pid_);
  EXPECT_EQ(sysobjects::FindProcessByPath(paths::GetFileName(path_)), pid_);
  EXPECT_EQ(sysobjects::FindProcessByPath(paths::GetFileFolder(path_) + "\\other.exe"), 0u);

  // Asked with no one to answer: nothing is ended.
  EXPECT_EQ(sysobjects::KillStartupTask("Helper", path_, true), pid_);
  EXPECT_TRUE(Running());

  EXPECT_EQ(sysobjects::KillStartupTask("Helper", path_, false), pid_);
  EXPECT_FALSE(Running());
  std::string text;
  ASSERT_TRUE(plat::Files().ReadFileBytes(history_.c_str(), &text, 4096));
  EXPECT_NE(text.find("\tTASK_Kill\tINFO_TASK\t"), std::string::npos) << text;
  EXPECT_NE(text.find(path_), std::string::npos) << text;
  EXPECT_EQ(sysobjects::KillStartupTask("Helper", path_, false), 0u);
}

}  // namespace
