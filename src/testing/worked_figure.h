// Figures used by the tests and benchmarks of the cost formula.
#pragma once

#include <initializer_list>
#include <string>

#include "model/figure.h"

namespace zandorik {

// Sets the captions of one row from the left; columns past the list are
// marked KO on this row only.
inline void SetRow(FigureScreen& screen, StatRow row, std::initializer_list<const char*> captions) {
  int column = 0;
  for (const char* caption : captions)
    screen.Square(row, column++).caption = caption;
  for (; column < kColumnCount; ++column) {
    DialSquare& square = screen.Square(row, column);
    square = DialSquare{};
    square.caption.clear();
    square.ko = true;
  }
}

// All squares white: six live clicks, then five KO columns; range 6, two
// bolts, "Flight", "Ironwood Guard", "Experienced". It costs 46 points.
inline FigureScreen WorkedFigure() {
  FigureScreen f;
  SetRow(f, StatRow::Speed, {"8", "8", "7", "7", "6", "6"});
  SetRow(f, StatRow::Attack, {"10", "10", "9", "9", "9", "8"});
  SetRow(f, StatRow::Defense, {"17", "17", "16", "16", "15", "15"});
  SetRow(f, StatRow::Damage, {"3", "3", "2", "2", "2", "1"});
  f.rangeText = "6";
  f.bolts = {true, true, false};
  f.moveText = "Flight";
  f.teamText = "Ironwood Guard";
  f.rankSelected = {false, true, false, false, false};
  return f;
}

}  // namespace zandorik
