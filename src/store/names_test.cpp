#include "store/names.h"

#include <gtest/gtest.h>

namespace zandorik {
namespace {

TEST(Unstring, CutsAtTheFirstDelimiter) {
  struct Case {
    std::string text, head, rest;
  } cases[] = {
      {"ab  cd", "ab", "cd"}, {"abcd", "abcd", ""},         {"  abcd", "", "abcd"},
      {"Ann   ", "Ann", " "}, {"a b  c  d", "a b", "c  d"}, {"", "", ""},
  };
  for (Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(Unstring(text, "  "), c.head) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(NamePattern, MatchesTheWholeTextByTheRulesOfEachCharacter) {
  struct Case {
    const char* pattern;
    const char* text;
    bool matches;
  } cases[] = {
      {"Ann*", "Anna                          ", true},
      {"Ann*", "ann                           ", false},  // letter case counts
      {"*", "", true},
      {"", "", true},
      {"", "x", false},
      {"A?n", "Ann", true},
      {"A?n", "An", false},
      {"R#", "R2", true},
      {"R#", "Rx", false},
      {"[abc]x", "bx", true},
      {"[abc]x", "dx", false},
      {"[a-c]*", "c9", true},
      {"[!a-c]*", "c9", false},
      {"[!a-c]*", "d9", true},
      {"[*]*", "*star", true},
      {"[*]*", "star", false},
      {"a[]b", "ab", true},  // an empty list takes no character
      {"*b*b", "abxxb", true},
      {"*ab", "aab", true},
      {"a*b*c", "abbbc", true},
      {"a*b*c", "abbb", false},
      {"\xE9*", "\xE9t\xE9", true},  // the stored byte of "é"
      {"[\xC0-\xFF]", "\xE9", true},
  };
  for (const Case& c : cases) {
    const auto pattern = NamePattern::Parse(c.pattern);
    ASSERT_TRUE(pattern) << c.pattern;
    EXPECT_EQ(pattern->Matches(c.text), c.matches) << c.pattern << " on " << c.text;
  }
}

TEST(NamePattern, RefusesAnUnclosedListAndABackwardsRange) {
  for (const char* bad : {"[abc", "Ann[", "[z-a]"})
    EXPECT_FALSE(NamePattern::Parse(bad)) << bad;
}

}  // namespace
}  // namespace zandorik
