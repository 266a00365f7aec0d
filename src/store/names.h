// Names in the data file: the cut that the name list shows and the pattern
// language of the search by name.
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

// Returns the part of `text` before the first `delimiter` and leaves the
// part after it in `text`; without a delimiter, returns the whole text and
// leaves "".
std::string Unstring(std::string& text, std::string_view delimiter);

// A pattern over the bytes of a stored name: "*" any run of characters,
// "?" any one character, "#" one digit, "[list]" one character of the
// list ("a-z" a range, "!" first negates it, "[]" matches nothing at all
// and takes no character); any other character stands for itself. The
// whole name must be consumed.
class NamePattern {
 public:
  // Nothing for a pattern with an unclosed "[" or a backwards range.
  static std::optional<NamePattern> Parse(std::string_view pattern);
  bool Matches(std::string_view text) const;

 private:
  struct Token {
    enum Kind { Star, Any, Digit, Set, Literal } kind;
    unsigned char literal = 0;
    std::bitset<256> set;
  };
  std::vector<Token> tokens_;
};

}  // namespace zandorik
