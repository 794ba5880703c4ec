// The Detected store: categories, the sort key, recording and seeding.
#include <string>

#include "records/detected.h"
#include "tests/unit/sim_fixture.h"

namespace {

class Detected : public testing_support::SimTest {};

TEST_F(Detected, CategoriesOfTheCodes) {
  struct Case {
    int code;
    const char* category;
  } cases[] = {{1, "Startup"},        {256, "Startup"},       {1070, "Startup"},
               {370, "Hidden"},       {1030, "Hidden"},        {400, "FileTypes"},
               {600, "ActiveTasks"},  {701, "Services"},       {800, "Tasks"},
               {902, "IEHelper"},     {1200, "ActiveX"},       {1020, "ActiveX"},
               {300, nullptr},        {500, nullptr},          {3000, nullptr}};
  for (const auto& c : cases) {
    const char* got = records::DetectedCategory(c.code);
    if (c.category)
      EXPECT_STREQ(got, c.category) << c.code;
    else
      EXPECT_EQ(got, nullptr) << c.code;
  }
}

TEST_F(Detected, SortKeysOrderTheDates) {
  struct Case {
    const char* text;
    const char* key;
  } cases[] = {
      {"12/07/2026 9:05 AM", "202612070905"},
      {"12/07/2026 10:05 PM", "202612072205"},
      {"12/07/2026 12:30 PM", "202612072430"},  // noon sorts after the evening, as it always has
      {"3/07/2026 9:05 AM", "202603070905"},
      {"12/07/2026 23:05", "202612072305"},
      {"short", " "},
  };
  for (const auto& c : cases) EXPECT_EQ(records::DateSortKey(c.text), c.key) << c.text;
}

TEST_F(Detected, RecordingKeepsTheFirstDateAndNeedsTheFile) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Apps\\tool.exe", "MZ"));
  EXPECT_EQ(records::RecordFirstDetected("\"C:\\Apps\\tool.exe\" -tray", "Startup"), 0);
  EXPECT_EQ(records::FirstDetected("C:\\APPS\\TOOL.EXE", 11), "12/10/2026 10:00 AM");
  machine_.system().localTime.day = 11;
  EXPECT_EQ(records::RecordFirstDetected("C:\\Apps\\tool.exe", "Startup"), 1);
  EXPECT_EQ(records::FirstDetected("c:\\apps\\tool.exe", 1), "12/10/2026 10:00 AM");
  // No file, no date; ActiveX identifiers need none.
  EXPECT_EQ(records::RecordFirstDetected("C:\\Apps\\gone.exe", "Startup"), 0);
  EXPECT_EQ(records::FirstDetected("C:\\APPS\\GONE.EXE", 1), "");
  EXPECT_EQ(records::RecordFirstDetected("{CLSID-OF-A-CONTROL}", "ActiveX"), 0);
  EXPECT_EQ(records::FirstDetected("{CLSID-OF-A-CONTROL}", 1200), "12/11/2026 10:00 AM");
  EXPECT_EQ(records::FirstDetected("{CLSID-OF-A-CONTROL}", 500), "");
}

TEST_F(Detected, SeedingHappensOnce) {
  records::InitDetected();
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, records::kDetectedKey, ""), "12/10/2026 10:00 AM");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, std::string(records::kDetectedKey) + "\\ActiveX", ""), "P");
  for (const char* c : {"Startup", "IEHelper", "Services", "Tasks", "ActiveTasks", "FileTypes", "Hidden"})
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(records::kDetectedKey) + "\\" + c)) << c;
  machine_.system().localTime.day = 12;
  records::InitDetected();
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, records::kDetectedKey, ""), "12/10/2026 10:00 AM");
}

}  // namespace
