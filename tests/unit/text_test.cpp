// The text rules every list uses.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

TEST(Text, CompareNoCase) {
  struct Case {
    std::string a, b;
    int expected;
  } cases[] = {
      {"", " ", 0},
      {"abc", "ABC", 0},
      {"abc", "abd", -1},
      {"abd", "ABC", 1},
      {"ab", "abc", -1},
      {"\xE9t\xE9", "\xC9T\xC9", 0},  // accented letters fold too
      {"\xE9", "z", -1},              // above 127 sorts before ASCII
      {std::string(772, 'a'), "a", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(text::CompareNoCase(c.a, c.b), c.expected) << c.a << "|" << c.b;
}

TEST(Text, ContainsNoCase) {
  EXPECT_TRUE(text::ContainsNoCase("TallowickEx.exe -OPTION", "-option"));
  EXPECT_FALSE(text::ContainsNoCase("short", "longer text"));
  EXPECT_FALSE(text::ContainsNoCase("", "a"));
  EXPECT_FALSE(text::ContainsNoCase(nullptr, "a"));
  EXPECT_FALSE(text::ContainsNoCase((std::string(773, 'x') + "a").c_str(), "a"));
}

TEST(Text, Rewrites) {
  EXPECT_EQ(text::StripQuotes("\"C:\\a b\\x.exe\" \"-p\""), "C:\\a b\\x.exe -p");
  EXPECT_EQ(text::ColonForEquals("a=b=c"), "a:b:c");
  EXPECT_EQ(text::EncodeForQuery("My App & Co.exe"), "My%20App%20%26%20Co.exe");
  EXPECT_EQ(text::EncodeForQuery("a+b=c#d%e"), "a%2Bb%3Dc%23d%25e");
}

}  // namespace
