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

}  // namespace
}  // namespace zandorik
