// Small text helpers the simulated machine shares.
#pragma once
#include <cstring>
#include <string>
#include <vector>

namespace sim {

inline std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

inline bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Upper(a) == Upper(b);
}

// Copies text into a caller's buffer of `size` bytes the way the *A functions do: cut to
// size - 1 characters and always terminated when size > 0. Returns the characters copied.
inline unsigned long CopyOut(const std::string& text, char* out, unsigned long size) {
  if (!out || size == 0) return 0;
  unsigned long n = text.size() < size ? static_cast<unsigned long>(text.size()) : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return n;
}

// The lines of a text, split at CR LF, CR or LF; a last line without its end counts too.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

}  // namespace sim
