// Reading numbers from control texts and writing them back, the way every
// field of the program does it.
#pragma once

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
double RoundHalfEven(double value);

// Conversions to whole numbers, rounding halves to the even neighbour.
// They give nothing when the rounded value does not fit (or is NaN) instead
// of wrapping.
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::int32_t> ToInt32(double value);

}  // namespace zandorik
