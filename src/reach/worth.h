// What each square of a figure is worth: the price of the figure if the
// square were one less, one more, plain, or KO.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/figure.h"

namespace zandorik {

// One less and one more: the value minus or plus 1. Plain: the colour
// white ("None"). KO: "Knocked Out" on the square, which makes its column
// and every column to its right KO.
enum class Variant { OneLess, OneMore, Plain, KO };
inline constexpr int kVariantCount = 4;

struct VariantWorth {
  bool possible = false;  // not for a KO square, nor plain for a plain one
  std::optional<std::int32_t> points;
  double total = 0;
  std::vector<std::string> problems;  // what Calculate would say of that figure
};

struct SquareWorth {
  std::array<VariantWorth, kVariantCount> variants;
};

using DialWorth = std::array<std::array<SquareWorth, kColumnCount>, kStatRowCount>;

SquareWorth WorthOfSquare(const FigureScreen& figure, StatRow row, int column);
DialWorth WorthOfDial(const FigureScreen& figure);

// "One less", "One more", "Plain", "KO".
const char* VariantName(Variant variant);

}  // namespace zandorik
