// File times, sizes and contents as the views show them.
#include <string>

#include "platform/file_facts.h"
#include "records/detected.h"
#include "tests/unit/sim_fixture.h"

namespace {

class FileFacts : public testing_support::SimTest {};

// 2026-12-07 13:45:00 UTC as a FILETIME.
constexpr uint64_t kTime = 116444736000000000ULL + 1796651100ULL * 10000000ULL;

TEST_F(FileFacts, TimesAndSizes) {
  const std::string file = "C:\\Apps\\tool.exe";
  ASSERT_TRUE(machine_.files().WriteFileText(file, std::string(1234, 'x')));
  ASSERT_TRUE(machine_.files().SetFileTimes(file.c_str(), &kTime, &kTime, &kTime));
  plat::SystemTime local;
  ASSERT_TRUE(machine_.files().FileTimeToLocalSystemTime(kTime, &local));
  char expected[32];
  std::snprintf(expected, sizeof expected, "%04d/%02d/%02d %02d:%02d", local.year, local.month,
                local.day, local.hour, local.minute);
  EXPECT_EQ(paths::GetFileTimeText(file), expected);

  std::string date, size;
  ASSERT_TRUE(paths::GetFileSizeAndDate(&date, &size, file));
  EXPECT_EQ(size, "1234");
  EXPECT_EQ(date.substr(0, 10), "12/07/2026");

  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvendel Studios\\Detected\\Startup]\n"
       "\"C:\\\\Apps\\\\tool.exe\"=\"01/02/2020 3:04 PM\"\n");
  paths::MyFileTime facts;
  ASSERT_TRUE(paths::GetMyFileTime(file, &facts, 11));
  EXPECT_EQ(facts.size, 1234u);
  EXPECT_EQ(facts.written, date);
  EXPECT_EQ(facts.firstDetected, "01/02/2020 3:04 PM");
  EXPECT_FALSE(paths::GetMyFileTime("C:\\Apps\\gone.exe", &facts, 11));
  EXPECT_EQ(paths::GetFileTimeText("C:\\Apps\\gone.exe"), "");

  plat::SystemTime t = paths::UnixTimeToLocal(1796651100);
  EXPECT_EQ(t.year, local.year);
  EXPECT_EQ(t.minute, local.minute);
}

TEST_F(FileFacts, ReadingWholeFiles) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\a.txt", "one\ntwo\r\nthree\n"));
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\empty.txt", ""));
  EXPECT_EQ(paths::ReadtheFile(100, "C:\\a.txt", true).value_or("?"), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(paths::ReadtheFile(5, "C:\\a.txt", false).value_or("?"), "one\nt");
  EXPECT_FALSE(paths::ReadtheFile(100, "C:\\empty.txt", false).has_value());
  EXPECT_FALSE(paths::ReadtheFile(100, "C:\\none.txt", false).has_value());
}

}  // namespace
