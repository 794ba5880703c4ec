#include "records/detected.h"

#include <cctype>
#include <cstring>

#include "diag/testlog.h"
#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "records/detected_date.h"
#include "startup/enumerate.h"
#include "startup/run_list.h"

namespace records {

namespace {

struct CategoryCodes {
  const char* category;
  int codes[4];
};
// Codes 1010..1070 are the Recent view's kinds.
const CategoryCodes kCategories[] = {
    {"Hidden", {370, 1030}},          {"FileTypes", {400}},
    {"ActiveTasks", {600, 1010}},     {"Services", {700, 701, 1060}},
    {"Tasks", {800, 1050}},           {"IEHelper", {900, 901, 902, 1040}},
    {"ActiveX", {1020, 1200}},
};

const char* const kSeededCategories[] = {"Startup", "IEHelper", "Services", "Tasks",
                                         "ActiveTasks", "FileTypes", "Hidden", "ActiveX"};

std::string CategoryKey(const char* category) { return std::string(kDetectedKey) + "\\" + category; }

}  // namespace

const char* DetectedCategory(int code) {
  if ((code >= 0 && code < 300) || code == 1070) return "Startup";
  for (const auto& c : kCategories)
    for (int k : c.codes)
      if (k != 0 && k == code) return c.category;
  return nullptr;
}

std::string DateSortKey(const std::string& t) {
  if (t.size() <= 11) return " ";
  // Positions of the month-first form "MM/DD/YYYY H:MM"; a one-digit month moves the rest
  // one to the left.
  int shift = t.size() > 1 && t[1] == '/' ? -1 : 0;
  auto at = [&](int i) -> char {
    int p = i + shift;
    return p >= 0 && p < static_cast<int>(t.size()) ? t[static_cast<size_t>(p)] : ' ';
  };
  std::string key;
  key += {at(6), at(7), at(8), at(9)};
  if (shift < 0)
    key += {'0', t[0]};
  else
    key += {at(0), at(1)};
  key += {at(3), at(4)};
  // The hour: one digit when ':' follows it directly.
  int hourStart = 11;
  char h1 = at(hourStart), h2 = at(hourStart + 1);
  int minuteStart;
  if (h2 == ':') {
    h2 = h1;
    h1 = '0';
    minuteStart = hourStart + 2;
  } else {
    minuteStart = hourStart + 3;
  }
  int hour = (std::isdigit(static_cast<unsigned char>(h1)) ? h1 - '0' : 0) * 10 +
             (std::isdigit(static_cast<unsigned char>(h2)) ? h2 - '0' : 0);
  if (t.find("PM") != std::string::npos) hour += 12;
  char hh[8];
  std::snprintf(hh, sizeof hh, "%02d", hour % 100);
  key += hh;
  key += {at(minuteStart), at(minuteStart + 1)};
  return key;
}

int GetFirstDetected(char* out, const std::string& name, int code) {
  out[0] = '\0';
  const char* category = DetectedCategory(code);
  if (!category || name.empty()) return 0;
  return reg::GetRegStringValue(CategoryKey(category).c_str(), name.c_str(), out, 23,
                                HKEY_CURRENT_USER);
}

std::string FirstDetected(const std::string& name, int code) {
  char out[kDateTextSize];
  GetFirstDetected(out, name, code);
  return out;
}

int RecordFirstDetected(const std::string& name, const char* category) {
  if (!category || name.empty()) return 0;
  std::string valueName = name;
  if (text::CompareNoCase(category, "ActiveX") != 0) {
    valueName = paths::GetFileFromCommand(name);
    if (valueName.empty() || !paths::FileExists(valueName)) return 0;
  }
  std::string key = CategoryKey(category);
  char existing[kDateTextSize];
  if (reg::GetRegStringValue(key.c_str(), valueName.c_str(), existing, 23, HKEY_CURRENT_USER) > 0)
    return 1;
  std::string date = TodayText();
  diag::TestLog(name.c_str(), valueName.c_str());
  reg::SetRegStringValue(key.c_str(), HKEY_CURRENT_USER, valueName.c_str(), date.c_str());
  return 0;
}

void InitDetected() {
  char seeded[33];
  if (reg::GetRegStringValue(kDetectedKey, "", seeded, 32, HKEY_CURRENT_USER) <= 0) {
    for (const char* c : kSeededCategories)
      reg::CreateRegKey(HKEY_CURRENT_USER, CategoryKey(c).c_str());
    reg::SetRegStringValue(kDetectedKey, HKEY_CURRENT_USER, "", TodayText().c_str());
    // Every object the program can list is recorded, category by category; the other
    // kinds join here as their enumerations are built.
    int n = startup::EnumerateStartups(0);
    for (int i = 0; i < n; ++i) {
      std::string path = startup::RunPath(i);
      if (!path.empty()) RecordFirstDetected(path, "Startup");
    }
    startup::ClearRunList();
  }
  std::string activeX = CategoryKey("ActiveX");
  char marker[33];
  if (reg::GetRegStringValue(activeX.c_str(), "", marker, 32, HKEY_CURRENT_USER) > 0) return;
  reg::SetRegStringValue(activeX.c_str(), HKEY_CURRENT_USER, "", "P");
}

}  // namespace records
