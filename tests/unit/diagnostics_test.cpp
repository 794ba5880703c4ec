// The trace file and the date text.
#include <cstring>
#include <string>

#include "diag/testlog.h"
#include "records/detected_date.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"

namespace {

class Diagnostics : public testing_support::SimTest {
 protected:
  const std::string trace_ = "C:\\Windows\\Temp\\trace.txt";
};

TEST_F(Diagnostics, TracingIsOffByDefault) {
  diag::SetTraceFile(trace_);
  EXPECT_EQ(diag::TestLog("message", "label"), 0);
  EXPECT_FALSE(machine_.files().Exists(trace_));
}

TEST_F(Diagnostics, TracingStopsAfterLine9990) {
  diag::SetTraceFile(trace_);
  diag::SetTraceCounter(9989);
  machine_.system().localTime = {2026, 3, 0, 4, 5, 6, 7, 8};
  EXPECT_EQ(diag::TestLog("first", "A"), 1);
  EXPECT_EQ(diag::TestLog("second\r\nline", "B"), 1);
  EXPECT_EQ(diag::TestLog("third", "C"), 0);
  auto lines = contract::TraceLines(trace_);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "2026-03-04  05:06:07:08 - A: first");
  // A line break would split the INI line; it becomes a blank.
  EXPECT_EQ(lines[1], "2026-03-04  05:06:07:08 - B: second  line");
  EXPECT_EQ(diag::LastTraceMessage(), "second\r\nline");
  // The keys carry the line numbers.
  std::string text = machine_.files().ReadFileText(trace_);
  EXPECT_NE(text.find(".9989="), std::string::npos);
  EXPECT_NE(text.find(".9990="), std::string::npos);
}

TEST_F(Diagnostics, LastMessageIsCutAndErrorsCarryTheirText) {
  diag::SetTraceCounter(0);
  diag::TestLog(std::string(300, 'm').c_str(), "L");
  EXPECT_EQ(diag::LastTraceMessage().size(), 256u);
  machine_.system().SetLastError(5);
  char out[512];
  EXPECT_EQ(diag::GetLastErrorText(out), 5u);
  EXPECT_STREQ(out, "5  Access is denied.");
}

TEST_F(Diagnostics, DateTextFollowsTheRegionalFormats) {
  struct Case {
    const char* shortDate;
    const char* timeFormat;
    WORD hour;
    const char* expected;
  } cases[] = {
      {nullptr, nullptr, 9, "12/07/2026 9:05 AM"},
      {"M/d/yyyy", "h:mm:ss tt", 0, "12/07/2026 12:05 AM"},
      {"MM/dd/yy", "hh:mm:ss tt", 12, "12/07/2026 12:05 PM"},
      {"yy/MM/dd", "hh:mm:ss tt", 13, "2026/12/07 01:05 PM"},
      {"YYYY-MM-DD", "H:mm:ss", 23, "2026-12-07 23:05"},
      {"dd-MMM-yy", "HH:mm:ss", 7, "07-Dec-2026 07:05"},
      {"d.M.yyyy", "HH:mm", 7, "12/07/2026 7:05 AM"},
  };
  for (const auto& c : cases) {
    plat::RegKey key(machine_.registry());
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Control Panel\\International", KEY_ALL_ACCESS),
              ERROR_SUCCESS);
    for (auto [name, value] : {std::pair{"sShortDate", c.shortDate}, {"sTimeFormat", c.timeFormat}}) {
      if (value)
        machine_.registry().RegSetValueExA(key.get(), name, REG_SZ,
                                           reinterpret_cast<const BYTE*>(value),
                                           static_cast<DWORD>(std::strlen(value) + 1));
      else
        machine_.registry().RegDeleteValueA(key.get(), name);
    }
    plat::SystemTime t{2026, 12, 1, 7, c.hour, 5, 59, 0};
    EXPECT_EQ(records::DetectedDateText(t), c.expected) << (c.shortDate ? c.shortDate : "-");
  }
}

}  // namespace
