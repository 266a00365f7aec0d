#include "model/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace zandorik {
namespace {

bool IsSkipped(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Collects the significant characters of a text one at a time, skipping
// blanks, tabs and line feeds.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) { Skip(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Next() {
    ++pos_;
    Skip();
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_]))
      ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

double ReadRadix(Reader& in, int radix) {
  double result = 0;
  for (int d = DigitValue(in.Peek()); d < radix; d = DigitValue(in.Peek())) {
    result = result * radix + d;
    in.Next();
  }
  return result;
}

}  // namespace

double ValueOfText(std::string_view text) {
  Reader in(text);
  if (in.Peek() == '&') {
    in.Next();
    const char kind = in.Peek();
    if (kind == 'H' || kind == 'h') {
      in.Next();
      return ReadRadix(in, 16);
    }
    if (kind == 'O' || kind == 'o') {
      in.Next();
      return ReadRadix(in, 8);
    }
    return 0;
  }

  // Gather the significant digits and a decimal exponent without the
  // skipped characters, then let from_chars do the correctly rounded
  // conversion of "DIGITSeEXP".
  constexpr std::size_t kMaxDigits = 100;
  char buf[kMaxDigits + 24];
  std::size_t digits = 0;
  long long exponent = 0;
  bool negative = false;
  bool any_digit = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    in.Next();
  }
  while (in.Peek() >= '0' && in.Peek() <= '9') {
    any_digit = true;
    if (digits > 0 || in.Peek() != '0') {
      if (digits < kMaxDigits) {
        buf[digits++] = in.Peek();
      } else {
        ++exponent;  // a dropped whole-number digit still counts
      }
    }
    in.Next();
  }
  if (in.Peek() == '.') {
    in.Next();
    while (in.Peek() >= '0' && in.Peek() <= '9') {
      any_digit = true;
      if (digits > 0 || in.Peek() != '0') {
        if (digits < kMaxDigits) {
          buf[digits++] = in.Peek();
          --exponent;
        }
      } else {
        --exponent;
      }
      in.Next();
    }
  }
  if (!any_digit) return 0;
  if (in.Peek() == 'e' || in.Peek() == 'E') {
    in.Next();
    bool exp_negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
      exp_negative = in.Peek() == '-';
      in.Next();
    }
    long long e = 0;
    while (in.Peek() >= '0' && in.Peek() <= '9') {
      if (e < 100000) e = e * 10 + (in.Peek() - '0');
      in.Next();
    }
    exponent += exp_negative ? -e : e;
  }
  if (digits == 0) return negative ? -0.0 : 0.0;
  // Fast path for the usual short captions: a mantissa below 2^53 times
  // or over an exact power of ten is correctly rounded as it is.
  if (digits <= 15 && exponent >= -22 && exponent <= 22) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::int64_t mantissa = 0;
    for (std::size_t i = 0; i < digits; ++i)
      mantissa = mantissa * 10 + (buf[i] - '0');
    const double m = static_cast<double>(mantissa);
    const double value = exponent >= 0 ? m * kPowers[exponent] : m / kPowers[-exponent];
    return negative ? -value : value;
  }
  std::size_t len = digits;
  buf[len++] = 'e';
  len = static_cast<std::size_t>(std::to_chars(buf + len, buf + sizeof buf, exponent).ptr - buf);
  double value = 0;
  if (std::from_chars(buf, buf + len, value).ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone: tell overflow from underflow by
    // the place of the leading digit.
    const bool huge = exponent + static_cast<long long>(digits) > 0;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

char* FormatGeneralTo(double value, char* out) {
  const auto put = [out](std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
  };
  if (std::isnan(value)) return put("NaN");
  if (std::isinf(value)) return put(value < 0 ? "-Infinity" : "Infinity");
  if (value == 0) return put("0");  // also -0
  char* end = std::to_chars(out, out + kGeneralLength, value, std::chars_format::general, 15).ptr;
  // to_chars writes "1e+20" and "1e-05"; the exponent is written "E+20".
  for (char* p = out; p != end; ++p) {
    if (*p == 'e') *p = 'E';
  }
  return end;
}

std::string FormatGeneral(double value) {
  char buf[kGeneralLength];
  return std::string(buf, FormatGeneralTo(value, buf));
}

}  // namespace zandorik
