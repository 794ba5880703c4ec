// The Detected store: per user, the date on which the product first saw each object, kept
// under HKCU\Software\Orvendel Studios\Detected\<category> and shared with the monitor.
#pragma once
#include <string>

namespace records {

inline constexpr const char* kDetectedKey = "Software\\Orvendel Studios\\Detected";

// The category key of a location code ("Startup", "Services" ...), nullptr for none.
const char* DetectedCategory(int locationCode);

// The key by which lists sort their date columns: 12 characters (year, month, day, hour on
// the 24-hour clock, minute), " " for a text of 11 characters or fewer.
std::string DateSortKey(const std::string& dateText);

// The recorded date of an object, empty when there is none.
int GetFirstDetected(char* out /* 24 */, const std::string& name, int locationCode);
std::string FirstDetected(const std::string& name, int locationCode);

// Makes sure the object has a date: 1 when one was already recorded, 0 otherwise (also when
// one is recorded now, or when the object's file does not exist).
int RecordFirstDetected(const std::string& name, const char* category);

// Seeds the store on its first use.
void InitDetected();

}  // namespace records
