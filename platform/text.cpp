#include "platform/text.h"

#include <cstdio>
#include <cstring>

namespace text {

char UpperAnsi(char ch) {
  auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  // Western code page: the accented small letters, less the division sign.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A: return static_cast<char>(0x8A);  // s caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z caron
    case 0xFF: return static_cast<char>(0x9F);  // y diaeresis
    default: return ch;
  }
}

std::string UpperAnsi(std::string s) {
  for (char& c : s) c = UpperAnsi(c);
  return s;
}

int CompareNoCase(const std::string& a, const std::string& b) {
  if (a.size() > kMaxCompare || b.size() > kMaxCompare) return 1;
  std::string x = a.empty() ? " " : UpperAnsi(a);
  std::string y = b.empty() ? " " : UpperAnsi(b);
  size_t n = std::min(x.size(), y.size());
  for (size_t i = 0; i < n; ++i) {
    auto cx = static_cast<signed char>(x[i]), cy = static_cast<signed char>(y[i]);
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

bool ContainsNoCase(const char* textIn, const char* part) {
  if (!textIn || !part) return false;
  size_t n = std::strlen(textIn), m = std::strlen(part);
  if (n > kMaxContain || n == 0 || m > n) return false;
  std::string t(textIn, n), p(part, m);
  for (size_t i = 0; i + m <= n; ++i)
    if (CompareNoCase(t.substr(i, m), p) == 0) return true;
  return false;
}

std::string StripQuotes(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '"') out += c;
  return out;
}

std::string ColonForEquals(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c == '=') c = ':';
  return out;
}

std::string EncodeForQuery(const std::string& s) {
  std::string out;
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      out += ch;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace text
