// The date text of the Detected store: a date, a blank and a time in the user's short-date
// and time formats (Control Panel\International), at most 23 characters.
#pragma once
#include <string>

#include "platform/system.h"

namespace records {

inline constexpr int kDateTextSize = 24;

// Builds the date text of `time` into out[24]; returns 1.
int FormatDetectedDate(const plat::SystemTime& time, char* out);
std::string DetectedDateText(const plat::SystemTime& time);
// Today's date text from the local time.
std::string TodayText();

}  // namespace records
