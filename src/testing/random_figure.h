// Random figures on the screen for the points helper's tests: dials of 1
// to `maxLive` live clicks with values and powers as designers give them,
// and now and then an input Calculate refuses.
#pragma once

#include <random>

#include "model/figure.h"
#include "model/numbers.h"

namespace zandorik {

inline FigureScreen RandomFigure(std::mt19937& random, int maxLive = kColumnCount) {
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  FigureScreen f;
  f.name = "Random";
  f.moveText = kMovements[static_cast<std::size_t>(pick(3))];
  f.teamText = kTeams[static_cast<std::size_t>(pick(22))].name;
  f.rangeText = FormatGeneral(2 * pick(8));
  for (bool& bolt : f.bolts)
    bolt = pick(2) == 0;
  f.rankSelected = {};
  f.rankSelected[static_cast<std::size_t>(pick(5))] = true;
  const int live = 1 + pick(maxLive);
  const int highest[] = {12, 12, 20, 5};
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      DialSquare& square = f.Square(row, column);
      if (column >= live) {
        square = DialSquare{"", kWhiteCode, true};
        continue;
      }
      square.caption = std::to_string(pick(highest[static_cast<int>(row)] + 1));
      if (pick(3) == 0) square.background = kColours[static_cast<std::size_t>(2 + pick(10))].code;
    }
  }
  // One figure in eight has something Calculate refuses, one in sixteen
  // a value that is no whole number.
  switch (pick(16)) {
    case 0:
      f.Square(StatRow::Damage, 0).caption = "6";
      break;
    case 1:
      f.rangeText = "5";
      break;
    case 2:
      f.Square(StatRow::Attack, 0).background = 12345;  // no colour
      break;
    case 3:
      f.Square(StatRow::Speed, 0).caption = "7.25";
      break;
    default:
      break;
  }
  return f;
}

}  // namespace zandorik
