#include "model/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
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
  bool anyDigit = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    in.Next();
  }
  while (in.Peek() >= '0' && in.Peek() <= '9') {
    anyDigit = true;
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
      anyDigit = true;
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
  if (!anyDigit) return 0;
  if (in.Peek() == 'e' || in.Peek() == 'E') {
    in.Next();
    bool exponentNegative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
      exponentNegative = in.Peek() == '-';
      in.Next();
    }
    long long e = 0;
    while (in.Peek() >= '0' && in.Peek() <= '9') {
      if (e < 100000) e = e * 10 + (in.Peek() - '0');
      in.Next();
    }
    exponent += exponentNegative ? -e : e;
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

namespace {

// %.15g by the library: the value rounded to 15 significant digits.
char* FormatGeneralSlow(double value, char* out) {
  char* end = std::to_chars(out, out + kGeneralLength, value, std::chars_format::general, 15).ptr;
  // to_chars writes "1e+20" and "1e-05"; the exponent is written "E+20".
  for (char* p = out; p != end; ++p) {
    if (*p == 'e') *p = 'E';
  }
  return end;
}

}  // namespace

namespace {

// The 15 significant digits of a value, as found by one of the ways below.
struct Digits {
  char digit[20];
  int count = 0;     // without trailing zeros
  int exponent = 0;  // of the first digit
};

// Writes the last `count` decimal digits of n, two at a time, so that they
// end at `end`.
void WriteDigits(std::uint32_t n, int count, char* end) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  for (; count >= 2; count -= 2) {
    const std::uint32_t pair = n % 100;
    n /= 100;
    end -= 2;
    end[0] = kPairs[2 * pair];
    end[1] = kPairs[2 * pair + 1];
  }
  if (count == 1) end[-1] = static_cast<char>('0' + n % 10);
}

// A double split into two halves of 26 bits, whose products are exact.
struct Halves {
  double hi, lo;
};
constexpr Halves Split(double a) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  const double hi = t - (t - a);
  return {hi, a - hi};
}

constexpr auto kPowerHalves = [] {
  std::array<Halves, 20> table{};
  double power = 1;
  for (Halves& h : table) {
    h = Split(power);
    power *= 10;  // exact up to 10^22
  }
  return table;
}();

// For 10^-4 <= |value| < 10^15, the numbers %g writes without an exponent:
// the value times the power of ten that gives it 15 whole digits, exactly,
// as a rounded product and its error (Dekker's product), then rounded to
// the nearest whole number. Gives false for a product too near a half.
bool FifteenDigitsScaled(double magnitude, Digits& d) {
  const int binary =
      static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
  int exponent = (binary * 1233) >> 12;  // floor(binary * log10 2), or one less
  const Halves a = Split(magnitude);
  double product = 0, error = 0;
  const auto scale = [&] {
    const Halves& b = kPowerHalves[static_cast<std::size_t>(14 - exponent)];
    product = magnitude * (b.hi + b.lo);
    error = ((a.hi * b.hi - product) + a.hi * b.lo + a.lo * b.hi) + a.lo * b.lo;
  };
  scale();
  if (product >= 1e15) {
    ++exponent;
    scale();
  }
  // product is below 2^53: its whole part and fraction are exact.
  auto whole = static_cast<std::int64_t>(product);
  double fraction = (product - static_cast<double>(whole)) + error;
  if (fraction < 0) {
    --whole;
    fraction += 1;
  }
  if (fraction > 0.4999999 && fraction < 0.5000001) return false;
  if (fraction > 0.5) ++whole;
  if (whole < 100000000000000) return false;  // a power of ten, from below
  if (whole == 1000000000000000) {            // 999...9.6 rounded up
    whole = 100000000000000;
    ++exponent;
  }
  if (exponent > 14) return false;
  d.exponent = exponent;
  d.count = 15;
  WriteDigits(static_cast<std::uint32_t>(whole / 100000000), 7, d.digit + 7);
  WriteDigits(static_cast<std::uint32_t>(whole % 100000000), 8, d.digit + 15);
  return true;
}

// Any normal value: rounding starts from the shortest digits that read
// back as the value. With 15 digits or fewer they are the rounding. With
// 16 or 17, rounding them gives the rounding of the value unless they end
// exactly half-way, in a 16th digit 5: no other number of 16 digits or
// fewer lies between the value and its shortest digits, so no rounding
// boundary does either. (A double's 53 bits hold more than 15 digits, so
// the numbers that read back as it lie closer together than 15-digit
// numbers do; not so for subnormal numbers.) Gives false for a half-way
// case.
bool FifteenDigitsFromShortest(double magnitude, Digits& d) {
  char sci[32];
  const char* end =
      std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific).ptr;
  const char* p = sci;
  int count = 0;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') d.digit[count++] = *p;
  }
  std::from_chars(p + 1 + (p[1] == '+'), end, d.exponent);
  if (count > 15) {
    if (count == 16 && d.digit[15] == '5') return false;
    const bool up = d.digit[15] >= '5';
    count = 15;
    if (up) {
      int i = count - 1;
      while (i >= 0 && d.digit[i] == '9')
        d.digit[i--] = '0';
      if (i >= 0) {
        ++d.digit[i];
      } else {  // 999... became 1000...
        d.digit[0] = '1';
        ++d.exponent;
      }
    }
  }
  d.count = count;
  return true;
}

}  // namespace

char* FormatGeneralTo(double value, char* out) {
  const auto put = [out](std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
  };
  if (std::isnan(value)) return put("NaN");
  if (std::isinf(value)) return put(value < 0 ? "-Infinity" : "Infinity");
  if (value == 0) return put("0");  // also -0

  const double magnitude = std::fabs(value);
  // Whole numbers below 10^15 have 15 digits at most: written as they are.
  if (magnitude < 1e15 && static_cast<double>(static_cast<std::int64_t>(value)) == value)
    return std::to_chars(out, out + kGeneralLength, static_cast<std::int64_t>(value)).ptr;
  Digits d;
  const bool found = magnitude >= 1e-4 && magnitude < 1e15
                         ? FifteenDigitsScaled(magnitude, d)
                         : magnitude >= std::numeric_limits<double>::min() &&
                               FifteenDigitsFromShortest(magnitude, d);
  if (!found) return FormatGeneralSlow(value, out);
  int count = d.count;
  while (count > 1 && d.digit[count - 1] == '0')
    --count;
  const char* digits = d.digit;
  const int exponent = d.exponent;
  const auto copy = [](const char* from, int n, char* to) {
    std::memcpy(to, from, static_cast<std::size_t>(n));
    return to + n;
  };

  char* o = out;
  if (value < 0) *o++ = '-';
  if (exponent < -4 || exponent >= 15) {  // as %g chooses for 15 digits
    *o++ = digits[0];
    if (count > 1) {
      *o++ = '.';
      o = copy(digits + 1, count - 1, o);
    }
    *o++ = 'E';
    *o++ = exponent < 0 ? '-' : '+';
    const int size = exponent < 0 ? -exponent : exponent;
    if (size < 10) *o++ = '0';
    return std::to_chars(o, o + 4, size).ptr;
  }
  if (exponent < 0) {  // 0.000ddd
    std::memcpy(o, "0.000", 5);
    o += 1 - exponent;
    return copy(digits, count, o);
  }
  if (count <= exponent + 1) {  // whole after rounding: ddd000
    o = copy(digits, count, o);
    std::memset(o, '0', static_cast<std::size_t>(exponent + 1 - count));
    return o + (exponent + 1 - count);
  }
  o = copy(digits, exponent + 1, o);
  *o++ = '.';
  return copy(digits + exponent + 1, count - exponent - 1, o);
}

std::string FormatGeneral(double value) {
  char buf[kGeneralLength];
  return std::string(buf, FormatGeneralTo(value, buf));
}

}  // namespace zandorik
