// A figure held as the numbers the formula reads, so that the points helper
// can price thousands of drafts of one figure quickly. It is a view like
// the screen's: CalculateFigure prices it with the same code, and a change
// made to it reads exactly as the same change made on the screen
// (ApplyChange), which the tests check on random figures.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cost/calculations.h"
#include "model/figure.h"
#include "reach/change.h"

namespace zandorik {

class DraftFigure final : public FigureView {
 public:
  // The movement and team texts are read from `screen`, which must outlive
  // the draft and its copies.
  explicit DraftFigure(const FigureScreen& screen);

  void Apply(const Change& change);
  // "Knocked Out" chosen on a square of `column`: that column and every
  // column to its right KO.
  void KnockOut(int column);
  // Only rank `index` chosen (-1: none).
  void ChooseRank(int index);

  double CaptionValue(StatRow row, int column) const override {
    return dial_.value[static_cast<int>(row)][column];
  }
  int ColourOf(StatRow row, int column) const override {
    return dial_.colour[static_cast<int>(row)][column];
  }
  bool ShowsKO(StatRow row, int column) const override {
    return ko_[static_cast<int>(row)][column];
  }
  double RangeValue() const override { return range_; }
  std::string_view MoveName() const override { return move_; }
  std::string_view TeamName() const override { return team_; }
  bool BoltChecked(int k) const override { return bolts_[k]; }
  bool RankChosen(int i) const override { return rank_[i]; }
  void ReadDial(Dial& dial) const override { dial = dial_; }
  const Dial& DialOf(Dial&) const override { return dial_; }

  // The sum of the magnitudes of every number it holds: a bound on the
  // partial sums of its price (see reach_search.cpp).
  double Magnitude() const;

 private:
  void Blank(int row, int column);

  Dial dial_;
  std::array<std::array<bool, kColumnCount>, kStatRowCount> ko_{};
  double range_ = 0;
  std::string_view move_, team_;
  std::array<bool, 3> bolts_{};
  std::array<bool, 5> rank_{};
};

// A figure's price as Calculate gives it, with the number of messages that
// Calculate would show.
struct DraftPrice {
  double total = 0;
  std::optional<std::int32_t> points;
  int problems = 0;
};
DraftPrice PriceDraft(const FigureView& figure);

// The same with the messages' texts: what the window's helper shows.
struct LivePrice {
  Calculation calculation;
  std::vector<std::string> problems;
};
LivePrice PriceFigure(const FigureView& figure);

}  // namespace zandorik
