// The command line's switches.
#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"
#include "app/commands.h"

namespace {

using namespace app;

TEST(CommandLine, TabSwitchesLastInTableOrderWins) {
  struct Case {
    std::string line;
    int expected;
  } cases[] = {
      {"", 6026},
      {"-START", 6026},
      {"-service", 6038},
      {"-OPTION -TASK", 6029},
      {"-TASK -OPTION", 6029},  // the table's order counts, not the line's
      {"-COOKIE", 6045},
      {"-NUT -COOKIE", 6028},
      {"-RESTART", 6032},
      {"-EXIT -BHO", 6048},
      {"/x -regoptions", 6061},
      {"C:\\Programs\\Tallowick.exe -hidden", 6052},
      {std::string(760, ' ') + "-TASK", 6029},
      {std::string(770, ' ') + "-TASK", 6026},  // longer than 772: no switch
  };
  for (const auto& c : cases)
    EXPECT_EQ(ApplyTabSwitches(c.line.c_str(), CMD_STARTUP), c.expected) << c.line.size();
}

TEST(CommandLine, MaintenanceSwitchesInOrder) {
  EXPECT_EQ(FindMaintenanceSwitch("-restore"), Maintenance::Restore);
  EXPECT_EQ(FindMaintenanceSwitch("-Reset -RegRepair"), Maintenance::RegRepair);
  EXPECT_EQ(FindMaintenanceSwitch("-RESET"), Maintenance::Reset);
  EXPECT_EQ(FindMaintenanceSwitch("-AUOption"), Maintenance::AUOption);
  EXPECT_EQ(FindMaintenanceSwitch("-RESTART"), Maintenance::None);
  EXPECT_EQ(FindMaintenanceSwitch(nullptr), Maintenance::None);
  EXPECT_TRUE(HasQuitSwitch("-q"));
  EXPECT_FALSE(HasQuitSwitch((std::string(780, ' ') + "-Q").c_str()));
}

TEST(CommandLine, StartTabFromTheOption) {
  EXPECT_EQ(StartCommandFromOption(nullptr), 6026);
  EXPECT_EQ(StartCommandFromOption(""), 6026);
  EXPECT_EQ(StartCommandFromOption("5000"), 6026);
  EXPECT_EQ(StartCommandFromOption("abc"), 6026);
  EXPECT_EQ(StartCommandFromOption("6039"), 6039);
}

}  // namespace
