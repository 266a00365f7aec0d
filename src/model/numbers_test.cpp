#include "model/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

namespace zandorik {
namespace {

struct TextCase {
  const char* text;
  double value;
};

TEST(ValueOfText, ReadsTheLeadingNumber) {
  const TextCase cases[] = {
      {"", 0},        {"1", 1},       {"1 2", 12},  // blanks are skipped wherever they stand
      {" \t\n3", 3},  {"- 3", -3},    {"1\t.\n5", 1.5},
      {"12abc", 12},  {"abc", 0},     {"x12", 0},
      {"-2.5", -2.5}, {"+7", 7},      {"1.5.3", 1.5},
      {".5", 0.5},    {"-", 0},       {".", 0},
      {"1,5", 1},  // the decimal point is "." in every locale
      {"1e3", 1000},  {"1E-2", 0.01}, {"2.5e", 2.5},
      {"2.5e+", 2.5}, {"1 e 2", 100}, {"&H1F", 31},
      {"&hff", 255},  {"&O17", 15},   {"&o8", 0},
      {"&Hx", 0},     {"&", 0},       {"&X12", 0},
      {"\r5", 0},  // a carriage return is not skipped
      {"1e-400", 0},  {"0.1", 0.1},   {"3.14159265358979323846", 3.141592653589793},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(ValueOfText(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ValueOfText, KeepsLongAndHugeNumbersSane) {
  const std::string digits(70, '9');
  EXPECT_DOUBLE_EQ(ValueOfText(digits), 1e70);
  EXPECT_DOUBLE_EQ(ValueOfText("0." + std::string(80, '0') + "5"), 5e-81);
  EXPECT_EQ(ValueOfText("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ValueOfText("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ValueOfText("1e99999999999999"), std::numeric_limits<double>::infinity());
}

TEST(FormatGeneral, WritesAtMostFifteenDigits) {
  const std::pair<double, const char*> cases[] = {
      {3, "3"},
      {2.5, "2.5"},
      {-999, "-999"},
      {1.0 / 3, "0.333333333333333"},
      {11.0 / 12, "0.916666666666667"},
      {55.0 / 15, "3.66666666666667"},
      {96.0 / 11, "8.72727272727273"},
      {11 * 1.35, "14.85"},
      {static_cast<double>(0.28f), "0.280000001192093"},
      {0.0001, "0.0001"},
      {-0.0, "0"},
      {1e20, "1E+20"},
      {1e-7, "1E-07"},
      {123456789012345.0, "123456789012345"},
  };
  for (const auto& [value, text] : cases)
    EXPECT_EQ(FormatGeneral(value), text) << value;
}

TEST(ToInt, RoundsHalvesToEvenAndRefusesOverflow) {
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(-0.4), 0);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768.5), -32768);
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);
  EXPECT_EQ(ToInt16(-32769), std::nullopt);
  EXPECT_EQ(ToInt16(99999), std::nullopt);
  EXPECT_EQ(ToInt16(std::nan("")), std::nullopt);
  EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(ToInt32(2147483647.5), std::nullopt);
  EXPECT_EQ(ToInt32(-2147483648.5), -2147483647 - 1);
  EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), std::nullopt);
}

// Rounding is done without the library; it must agree with the library's
// rounding to nearest, ties to even, on halves, signs, zeros and the
// edges of exactness.
TEST(Numbers, RoundHalfEvenAgreesWithTheLibrary) {
  constexpr double kHuge = std::numeric_limits<double>::infinity();
  std::vector<double> values = {-0.0, -0.3, 0.49999999999999994, 4503599627370495.5, kHuge, -kHuge};
  std::mt19937_64 random(11);
  for (int i = 0; i < 100000; ++i) {
    values.push_back(static_cast<double>(static_cast<int>(random() % 140001) - 70000) / 2);
    values.push_back(std::bit_cast<double>(random()));
  }
  for (double v : values) {
    const double expected = std::nearbyint(v);
    if (std::isnan(v)) continue;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(RoundHalfEven(v)),
              std::bit_cast<std::uint64_t>(expected))
        << v;
    const bool fits16 = expected >= -32768 && expected <= 32767;
    ASSERT_EQ(ToInt16(v), fits16 ? std::optional<std::int16_t>(expected) : std::nullopt) << v;
    ASSERT_EQ(ToInt32(v).has_value(), expected >= -2147483648.0 && expected <= 2147483647.0) << v;
  }
}

// The general format is worked out by scaling or from the shortest digits
// of a value; it must give what rounding to 15 digits by the library gives:
// for quotients such as the formula makes, near halves at the 16th digit in
// every decade written without an exponent, and for any bit pattern.
TEST(Numbers, GeneralFormatIsFifteenDigitRounding) {
  const auto reference = [](double v) {
    char buf[40];
    std::string text(buf,
                     std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15).ptr);
    if (const std::size_t e = text.find('e'); e != std::string::npos) text[e] = 'E';
    return text;
  };
  std::vector<double> values = {999999999999999.5, 9999999999999995.0, 1e-4, 5e-324, 1e-5};
  std::mt19937_64 random(12);
  for (int i = 0; i < 100000; ++i) {
    const double a = static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000);
    const double b = static_cast<double>(1 + random() % 1000);
    const auto m = static_cast<double>(100000000000000 + random() % 900000000000000);
    values.insert(values.end(),
                  {a / b, a / 12 + b / 15, std::bit_cast<double>(random()),
                   (m * 10 + 5) / std::pow(10.0, static_cast<double>(random() % 20))});
  }
  for (double v : values) {
    if (!std::isfinite(v) || v == 0) continue;
    ASSERT_EQ(FormatGeneral(v), reference(v)) << std::hexfloat << v;
  }
}

}  // namespace
}  // namespace zandorik
