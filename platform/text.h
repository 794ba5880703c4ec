// Text rules shared by every list: comparison and containment without regard to case (as
// the ANSI code page upper-cases), and the small rewrites of texts for keys and queries.
#pragma once
#include <string>

namespace text {

// Texts compared or searched are cut at this many characters.
inline constexpr size_t kMaxCompare = 771;
inline constexpr size_t kMaxContain = 772;

// One character upper-cased as CharUpperBuffA does in the Western code page.
char UpperAnsi(char c);
std::string UpperAnsi(std::string s);

// -1, 0 or 1: both texts upper-cased, an empty text counting as a single blank, compared as
// signed bytes (so characters above 127 sort before plain ASCII); a text longer than 771
// characters makes the result 1.
int CompareNoCase(const std::string& a, const std::string& b);
// True when `part` occurs in `text` without regard to case; false for a missing or empty
// text, a part longer than the text, or a text longer than 772 characters.
bool ContainsNoCase(const char* text, const char* part);
inline bool ContainsNoCase(const std::string& text, const std::string& part) {
  return ContainsNoCase(text.c_str(), part.c_str());
}

// The text without any double quote.
std::string StripQuotes(const std::string& s);
// The text with every "=" replaced by ":".
std::string ColonForEquals(const std::string& s);
// A value for a web address's query: every byte but letters, digits and "-._~" becomes %XX,
// so blanks, "&", "=", "#", "+" and "%" in a file name can never change the query.
std::string EncodeForQuery(const std::string& s);

}  // namespace text
