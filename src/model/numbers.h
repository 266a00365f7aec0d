// Reading numbers from control texts and writing them back, the way every
// field of the program does it.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zandorik {

// The leading number of a text. Blanks, tabs and line feeds are skipped
// wherever they stand ("1 2" reads 12); then an optional sign, digits, at
// most one "." and an optional exponent are read, up to the first other
// character. "&H" and "&O" start a hexadecimal or octal whole number. A text
// without a leading number reads 0. The decimal point is always ".".
// A number too large for a double reads as plus or minus infinity.
double ValueOfText(std::string_view text);

// The general number format: at most 15 significant digits, no trailing
// zeros, no decimal point for whole numbers, exponent form ("1E+20") only
// for very large or very small magnitudes.
std::string FormatGeneral(double value);
// The same written to `out`, which has room for kGeneralLength characters;
// returns the end of the text.
inline constexpr std::size_t kGeneralLength = 24;
char* FormatGeneralTo(double value, char* out);

// Round to the nearest whole number, halves to the even neighbour.
inline double RoundHalfEven(double value) {
  // Adding and taking away 2^52 leaves no fraction bits, so the addition
  // itself rounds: to nearest, ties to even, the mode this program never
  // changes. From 2^52 on every double is whole already (and NaN and the
  // infinities stay as they are). The sign is put back so that -0.3
  // gives -0, as the library's rounding does.
  constexpr double kWhole = 4503599627370496.0;  // 2^52
  const double magnitude = std::fabs(value);
  if (!(magnitude < kWhole)) return value;
  return std::copysign((magnitude + kWhole) - kWhole, value);
}

// Conversions to whole numbers, rounding halves to the even neighbour.
// They give nothing when the rounded value does not fit (or is NaN) instead
// of wrapping. Inline: they run for every square of every figure.
inline std::optional<std::int16_t> ToInt16(double value) {
  // -32768.5 rounds to the even -32768 and fits; 32767.5 rounds to 32768.
  if (!(value >= -32768.5 && value < 32767.5)) return std::nullopt;
  return static_cast<std::int16_t>(RoundHalfEven(value));
}

inline std::optional<std::int32_t> ToInt32(double value) {
  if (!(value >= -2147483648.5 && value < 2147483647.5)) return std::nullopt;
  return static_cast<std::int32_t>(RoundHalfEven(value));
}

}  // namespace zandorik
