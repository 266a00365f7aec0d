#include "store/names.h"

namespace zandorik {

std::string Unstring(std::string& text, std::string_view delimiter) {
  const std::size_t at = text.find(delimiter);
  if (at == std::string::npos) {
    std::string whole = std::move(text);
    text.clear();
    return whole;
  }
  std::string head = text.substr(0, at);
  text.erase(0, at + delimiter.size());
  return head;
}

std::optional<NamePattern> NamePattern::Parse(std::string_view pattern) {
  NamePattern parsed;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto c = static_cast<unsigned char>(pattern[i]);
    Token token{Token::Literal, c, {}};
    if (c == '*') {
      token.kind = Token::Star;
    } else if (c == '?') {
      token.kind = Token::Any;
    } else if (c == '#') {
      token.kind = Token::Digit;
    } else if (c == '[') {
      const std::size_t close = pattern.find(']', i + 1);
      if (close == std::string_view::npos) return std::nullopt;
      std::string_view list = pattern.substr(i + 1, close - i - 1);
      i = close;
      if (list.empty()) continue;  // "[]" takes no character
      const bool negate = list.front() == '!';
      if (negate) list.remove_prefix(1);
      token.kind = Token::Set;
      for (std::size_t k = 0; k < list.size(); ++k) {
        const auto first = static_cast<unsigned char>(list[k]);
        if (k + 2 < list.size() && list[k + 1] == '-') {
          const auto last = static_cast<unsigned char>(list[k + 2]);
          if (last < first) return std::nullopt;
          for (unsigned b = first; b <= last; ++b)
            token.set.set(b);
          k += 2;
        } else {
          token.set.set(first);
        }
      }
      if (negate) token.set.flip();
    }
    parsed.tokens_.push_back(token);
  }
  return parsed;
}

bool NamePattern::Matches(std::string_view text) const {
  // Greedy, going back to the last "*" on a mismatch: linear for the usual
  // patterns that end in "*".
  std::size_t t = 0, p = 0;
  std::size_t starToken = std::string_view::npos, starText = 0;
  const auto fits = [&](const Token& token, unsigned char c) {
    switch (token.kind) {
      case Token::Any:
        return true;
      case Token::Digit:
        return c >= '0' && c <= '9';
      case Token::Set:
        return static_cast<bool>(token.set[c]);
      case Token::Literal:
        return token.literal == c;
      case Token::Star:
        break;
    }
    return false;
  };
  while (t < text.size()) {
    if (p < tokens_.size() && tokens_[p].kind == Token::Star) {
      starToken = ++p;
      starText = t;
    } else if (p < tokens_.size() && fits(tokens_[p], static_cast<unsigned char>(text[t]))) {
      ++p;
      ++t;
    } else if (starToken != std::string_view::npos) {
      p = starToken;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < tokens_.size() && tokens_[p].kind == Token::Star)
    ++p;
  return p == tokens_.size();
}

}  // namespace zandorik
