#include "model/figure.h"

#include "model/numbers.h"

namespace zandorik {

double FigureScreen::CaptionValue(StatRow row, int column) const {
  return ValueOfText(Square(row, column).caption);
}

int FigureScreen::ColourOf(StatRow row, int column) const {
  return ColourPositionFromCode(Square(row, column).background);
}

double FigureScreen::RangeValue() const {
  return ValueOfText(rangeText);
}

}  // namespace zandorik
