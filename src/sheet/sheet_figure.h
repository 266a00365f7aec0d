// A figure as its dial sheet shows it: the texts and colours of the
// dial's squares, and the fields of the cover, priced as Calculate prices
// the figure. Made from a stored record or from the figure on the screen.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/colours.h"
#include "model/figure.h"
#include "store/figure_record.h"

namespace zandorik {

struct SheetSquare {
  std::string value;  // the number as the square shows it
  bool ko = false;
  // The square's background (0x00BBGGRR as a colour code) and its list
  // position in kColours, -1 when the code is no colour of the table.
  std::uint8_t red = 255, green = 255, blue = 255;
  int colour = 1;  // White
};

struct SheetFigure {
  std::string name;                         // UTF-8, trailing blanks removed
  std::string points;                       // as the points field shows it; "" when there are none
  std::string team, movement, range, rank;  // as their controls show them
  int bolts = 0;                            // ticked bolt boxes
  std::string code;  // the share code; "" when the figure cannot be stored as a record
  std::array<std::array<SheetSquare, kColumnCount>, kStatRowCount> dial{};

  const SheetSquare& Square(StatRow row, int column) const {
    return dial[static_cast<int>(row)][column];
  }
  // A click is KO when all four of its squares are.
  bool ColumnKO(int column) const;
};

// One line of a figure's legend: a power used on a row.
struct LegendEntry {
  StatRow row;
  int colour;        // list position in kColours
  std::string text;  // "Speed, Green: Charge"
};
// Every power the figure's live squares use, once, row by row in colour
// list order; "None" (white) is no power.
std::vector<LegendEntry> FigureLegend(const SheetFigure& figure);

// A stored record, priced as the window prices it once loaded; the
// messages the window would show are added to `messages`.
SheetFigure SheetFigureFromRecord(const FigureRecord& record, std::vector<std::string>& messages);
// The figure on the screen as it is now, priced as Calculate prices it.
SheetFigure SheetFigureFromScreen(const FigureScreen& screen, std::vector<std::string>& messages);

}  // namespace zandorik
