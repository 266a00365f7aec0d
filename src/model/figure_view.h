// What the cost formula reads of a figure. The main window's controls are
// one source (FigureScreen), a stored record read straight from its numbers
// another; the formula sees nothing else, so both are priced alike.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/colours.h"
#include "model/lists.h"

namespace zandorik {

class FigureView {
 public:
  // The numeric value of a square's caption; a KO square reads 0.
  virtual double CaptionValue(StatRow row, int column) const = 0;
  // The list position (kColours) of a square's background colour: White
  // for a KO square, -1 for a code that is no colour.
  virtual int ColourOf(StatRow row, int column) const = 0;
  // The square carries the KO swatch.
  virtual bool ShowsKO(StatRow row, int column) const = 0;
  // The numeric value of the range field.
  virtual double RangeValue() const = 0;
  // The movement and team texts as their pick lists show them.
  virtual std::string_view MoveName() const = 0;
  virtual std::string_view TeamName() const = 0;
  // Bolt box k (0 to 2) and rank button i (0 to 4).
  virtual bool BoltChecked(int k) const = 0;
  virtual bool RankChosen(int i) const = 0;

  // The positions of the team and movement shown in their lists (kTeams,
  // kMovements), -1 for a text in neither; and the rank button chosen
  // last in list order, -1 for none. Found from the texts and buttons
  // unless a view knows them already.
  virtual int TeamShown() const { return TeamPosition(TeamName()); }
  virtual int MovementShown() const { return MovementPosition(MoveName()); }
  virtual int RankShown() const {
    int chosen = -1;
    for (int i = 0; i < static_cast<int>(kRanks.size()); ++i) {
      if (RankChosen(i)) chosen = i;
    }
    return chosen;
  }

  // The colour's name, "" for none.
  std::string_view ColourName(StatRow row, int column) const {
    const int colour = ColourOf(row, column);
    return colour < 0 ? std::string_view() : kColours[colour].name;
  }

  // The whole dial at once, for the formula's passes over it: caption
  // values, colour positions and the Speed row's KO marks.
  struct Dial {
    double value[kStatRowCount][kColumnCount];
    std::int8_t colour[kStatRowCount][kColumnCount];
    bool speedKO[kColumnCount];
    // A view may also say that every value is a whole number from -32768
    // to 32767 (a stored record's are), and list the squares whose colour
    // is neither White nor KO, column by column and in row order within a
    // column: no square can then fail the value check, and the formula
    // passes over the squares that cost nothing without looking at them.
    // Whoever changes a value or colour of a dial so marked clears `whole`.
    bool whole = false;
    std::uint8_t pricedCount = 0;
    std::uint8_t priced[kStatRowCount * kColumnCount];  // column * kStatRowCount + row
  };
  // The dial in `scratch`, or in the view itself if it keeps one read.
  virtual const Dial& DialOf(Dial& scratch) const {
    ReadDial(scratch);
    return scratch;
  }
  // Square by square unless a view knows a quicker way.
  virtual void ReadDial(Dial& dial) const {
    for (StatRow row : kStatRows) {
      for (int column = 0; column < kColumnCount; ++column) {
        const int r = static_cast<int>(row);
        dial.value[r][column] = CaptionValue(row, column);
        dial.colour[r][column] = static_cast<std::int8_t>(ColourOf(row, column));
      }
    }
    for (int column = 0; column < kColumnCount; ++column)
      dial.speedKO[column] = ShowsKO(StatRow::Speed, column);
  }

 protected:
  FigureView() = default;
  FigureView(const FigureView&) = default;
  FigureView& operator=(const FigureView&) = default;
  ~FigureView() = default;
};

}  // namespace zandorik
