#include "settings/language.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_access.h"
#include "settings/options.h"

namespace settings {

namespace {
WORD g_languageId = 0;

struct LanguageCode {
  const char* code;
  WORD id;
};
// Tested in turn, a later match winning (so "no" appears twice as it always has).
const LanguageCode kLanguageCodes[] = {
    {"de", 7},  {"fr", 12}, {"es", 10}, {"it", 16}, {"se", 29}, {"\xEA\xE0\xEA", 1},
    {"ru", 25}, {"pt", 22}, {"pl", 21}, {"no", 20}, {"gr", 8},  {"nl", 19},
    {"no", 20}, {"br", 22}, {"sq", 28}, {"tr", 31}, {"ar", 1},  {"fi", 11},
    {"cn", 4},
};
}  // namespace

WORD LanguageId() { return g_languageId; }
void SetLanguageId(WORD id) { g_languageId = id; }

WORD LanguageIdFromCode(const char* code) {
  if (!code) return 0;
  if (std::strstr(code, "us")) return kLangEnglish;
  WORD id = 0;
  for (const auto& c : kLanguageCodes)
    if (std::strstr(code, c.code)) id = c.id;
  return id;
}

int LoadLanguageString(int number, int size, char* out) {
  if (!out || size <= 0) return 0;
  if (size > kMaxLanguageString) size = kMaxLanguageString - 1;
  out[0] = '\0';
  if (g_languageId != kLangEnglish) {
    char name[32];
    std::snprintf(name, sizeof name, "LString%d", number);
    std::vector<char> stored(kMaxLanguageString + 1, '\0');
    int n;
    {
      reg::View64 view;
      n = reg::GetRegStringValue(kProgramKey, name, stored.data(), kMaxLanguageString,
                                 HKEY_CURRENT_USER);
    }
    if (n > 0) {
      // "%n" stands for a line break; the copy is cut to the buffer.
      std::string text;
      for (int i = 0; i < n; ++i) {
        if (stored[i] == '%' && i + 1 < n && stored[i + 1] == 'n') {
          text += '\n';
          ++i;
        } else {
          text += stored[i];
        }
      }
      if (text.size() > static_cast<size_t>(size - 1)) text.resize(static_cast<size_t>(size - 1));
      std::memcpy(out, text.c_str(), text.size() + 1);
      return static_cast<int>(text.size());
    }
  }
  return plat::Sys().LoadStringA(static_cast<UINT>(number), out, size);
}

std::string LangString(int number, int size) {
  std::vector<char> buf(static_cast<size_t>(size) + 1, '\0');
  int n = LoadLanguageString(number, size, buf.data());
  return std::string(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

}  // namespace settings
