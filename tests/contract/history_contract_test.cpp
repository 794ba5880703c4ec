// The history file in the real data folder: appended events, the reader and the merge of an
// older file give the same lines on the simulated machine and on Windows under Wine.
#include <gtest/gtest.h>

#include <string>

#include "app/process_state.h"
#include "platform/registry_access.h"
#include "records/history.h"
#include "startup/run_list.h"
#include "tests/contract/contract_env.h"

namespace {

class HistoryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    app::ResetProcessState();
    reg::SetNativeMasks();
    path_ = records::HistoryFilePath();
    kept_ = Read(path_, &hadFile_);
    plat::Files().DeleteFileA(path_.c_str());
  }
  void TearDown() override {
    startup::ClearRunList();
    plat::Files().DeleteFileA(path_.c_str());
    if (hadFile_) plat::Files().WriteFileBytes(path_.c_str(), kept_);
    app::ResetProcessState();
  }
  static std::string Read(const std::string& path, bool* present = nullptr) {
    std::string bytes;
    bool ok = plat::Files().ReadFileBytes(path.c_str(), &bytes, 1 << 20);
    if (present) *present = ok;
    return ok ? bytes : "<unreadable>";
  }
  // The line without its date (the clock may turn a minute while the test runs).
  static std::string AfterDate(const std::string& line) { return line.substr(line.find('\t')); }

  std::unique_ptr<contract::ContractEnv> env_;
  std::string path_, kept_;
  bool hadFile_ = false;
};

TEST_F(HistoryFile, EventsAppendReadBackMergeAndClear) {
  ASSERT_EQ(path_.substr(path_.size() - 22), "\\Tallowick\\history.txt");
  records::WriteHistory(records::START_Remove, 1, "Tw\tAgent", "C:\\TwFix\\agent.exe", "");
  records::WriteHistory(records::TASK_Kill, 600, "Tool", "C:\\TwFix\\tool.exe", std::string(1500, 's'));
  std::string text = Read(path_);
  size_t first = text.find("\r\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(AfterDate(text.substr(0, first)), "\t*START_Remove\tMACHINE_RUN\tTw Agent\tC:\\TwFix\\agent.exe\t");
  EXPECT_EQ(text.size() - first - 2, records::kHistoryLineLimit);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

  ASSERT_EQ(records::ReadHistory(), 2);
  EXPECT_EQ(startup::RunTitle(0), "Tw Agent");
  EXPECT_EQ(startup::GetRunAux(1), records::TASK_Kill);
  EXPECT_EQ(startup::GetRunLocation(1), 600);
  EXPECT_EQ(startup::RunSource(1), "");  // too long for the item

  std::string old = env_->ScratchFolder() + "\\history.txt";
  ASSERT_TRUE(plat::Files().WriteFileBytes(old.c_str(), "12/01/2026  8:00 AM\tSTART_Alert\tCURRENT_RUN\tOld\tC:\\old.exe\t\r\n"));
  EXPECT_EQ(records::fileAppendHistory(path_, old), 1);
  ASSERT_EQ(records::ReadHistory(), 3);
  EXPECT_EQ(startup::RunTitle(2), "Old");
  EXPECT_EQ(records::fileAppendHistory(path_, env_->ScratchFolder() + "\\missing.txt"), 0);

  EXPECT_TRUE(records::ClearHistoryFile());
  EXPECT_EQ(plat::Files().GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(records::ReadHistory(), 0);
}

}  // namespace
