#include "records/detected_date.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/registry_access.h"

namespace records {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool Is(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string Cut(const char* s, size_t n) { return std::string(s, std::min(std::strlen(s), n)); }

}  // namespace

int FormatDetectedDate(const plat::SystemTime& t, char* out) {
  const char* intl = "Control Panel\\International";
  std::string shortDate = reg::GetRegString(HKEY_CURRENT_USER, intl, "sShortDate", 24);
  std::string timeFormat = reg::GetRegString(HKEY_CURRENT_USER, intl, "sTimeFormat", 24);

  char date[64], clock[64];
  int month = t.month >= 1 && t.month <= 12 ? t.month : 1;
  if (Is(shortDate, "yy/MM/dd"))
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", t.year, t.month, t.day);
  else if (Is(shortDate, "yyyy-MM-dd"))
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
  else if (Is(shortDate, "dd-MMM-yy"))
    std::snprintf(date, sizeof date, "%02d-%s-%02d", t.day, kMonths[month - 1], t.year);
  else  // "M/d/yyyy", "MM/dd/yyyy", "M/d/yy", "MM/dd/yy" and anything else
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", t.month, t.day, t.year);

  int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  const char* half = t.hour < 12 ? "AM" : "PM";
  if (Is(timeFormat, "hh:mm:ss tt"))
    std::snprintf(clock, sizeof clock, "%02d:%02d %s", h12, t.minute, half);
  else if (Is(timeFormat, "H:mm:ss"))
    std::snprintf(clock, sizeof clock, "%d:%02d", t.hour, t.minute);
  else if (Is(timeFormat, "HH:mm:ss"))
    std::snprintf(clock, sizeof clock, "%02d:%02d", t.hour, t.minute);
  else  // "h:mm:ss tt" and anything else
    std::snprintf(clock, sizeof clock, "%d:%02d %s", h12, t.minute, half);

  std::string text = Cut(date, 11) + " " + Cut(clock, 11);
  if (text.size() > 23) text.resize(23);
  std::memcpy(out, text.c_str(), text.size() + 1);
  return 1;
}

std::string DetectedDateText(const plat::SystemTime& time) {
  char out[kDateTextSize];
  FormatDetectedDate(time, out);
  return out;
}

std::string TodayText() { return DetectedDateText(plat::Sys().GetLocalTime()); }

}  // namespace records
