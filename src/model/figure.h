// The figure as the main window's controls hold it. There is no other
// figure object: the editor changes this state, Calculate and save read it,
// loading a record writes it.
#pragma once

#include <array>
#include <string>

#include "model/colours.h"
#include "model/figure_view.h"
#include "model/lists.h"

namespace zandorik {

struct DialSquare {
  std::string caption = "1";
  double background = kWhiteCode;  // a colour code; white for a KO square
  // The square carries the KO swatch. This flag alone makes a square KO.
  bool ko = false;

  bool IsKO() const { return ko; }
  // Caption text is white on a black square and black on any other.
  bool HasWhiteCaption() const { return background == kBlackCode; }
};

struct FigureScreen final : FigureView {
  std::string name;                                  // ComboName
  std::string moveText{kMovements[0]};               // ComboMove as shown; "" if none selected
  std::string teamText{kTeams[0].name};              // ComboTeam as shown; "" if none selected
  std::string rangeText = "0";                       // TextRange
  std::array<bool, 3> bolts = {true, false, false};  // CheckBolt 0..2
  std::array<bool, 5> rankSelected = {true, false, false, false, false};  // OptionRank 0..4
  std::array<std::array<DialSquare, kColumnCount>, kStatRowCount> dial{};

  DialSquare& Square(StatRow row, int column) { return dial[static_cast<int>(row)][column]; }
  const DialSquare& Square(StatRow row, int column) const {
    return dial[static_cast<int>(row)][column];
  }

  // The figure as the cost formula reads it.
  double CaptionValue(StatRow row, int column) const override;
  int ColourOf(StatRow row, int column) const override;
  bool ShowsKO(StatRow row, int column) const override { return Square(row, column).IsKO(); }
  double RangeValue() const override;
  std::string_view MoveName() const override { return moveText; }
  std::string_view TeamName() const override { return teamText; }
  bool BoltChecked(int k) const override { return bolts[k]; }
  bool RankChosen(int i) const override { return rankSelected[i]; }
};

}  // namespace zandorik
