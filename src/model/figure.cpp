#include "model/figure.h"

#include "model/numbers.h"

namespace zandorik {

double FigureScreen::CaptionValue(StatRow row, int column) const {
  return ValueOfText(Square(row, column).caption);
}

std::string_view FigureScreen::ColourName(StatRow row, int column) const {
  return ColourNameFromCode(Square(row, column).background);
}

double FigureScreen::RangeValue() const {
  return ValueOfText(rangeText);
}

}  // namespace zandorik
