// Small text helpers the simulated machine shares.
#pragma once
#include <cstring>
#include <string>

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

}  // namespace sim
