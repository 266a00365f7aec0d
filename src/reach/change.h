// One change of a figure, as the points helper suggests it: what it sets,
// the words that name it, how far it moves the figure, and the changes a
// figure offers.
//
// What one change is, by kind (the search space is exactly these):
//   value   one live square's value to another whole number from 0 to its
//           row's ceiling (Speed 20, Attack 20, Defense 30, Damage 5);
//           it moves the figure by the difference of the two values.
//   power   one live square's colour to another of its row's palette:
//           plain ("None", white) or one of the ten powers; moves it by 1.
//   range   the range to another of 0, 2, 4 ... 14; moves it by the steps
//           of 2 between the two.
//   bolts   the number of ticked bolt boxes to another of 0 to 3 (boxes
//           are ticked from the left, cleared from the right); moves it
//           by the difference.
//   team, movement, rank
//           the field to another entry of its list; moves it by 1.
//   length  the number of live clicks to another of 1 to 11: the first N
//           columns live, the others KO in all four rows. A column brought
//           back repeats, in each row, the value of that row's last live
//           square, plain; moves it by the difference.
// KO squares take no value or power change, and the name never changes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/figure.h"

namespace zandorik {

enum class ChangeKind : std::uint8_t { Value, Power, Range, Bolts, Team, Movement, Rank, Length };
inline constexpr int kChangeKindCount = 8;

// The kinds of change allowed, one bit each.
class ChangeKinds {
 public:
  constexpr ChangeKinds() = default;
  // Values, range and bolts: the window's default ticks.
  static ChangeKinds Default();
  bool Allows(ChangeKind kind) const { return (bits_ >> static_cast<int>(kind)) & 1; }
  void Allow(ChangeKind kind, bool allowed = true);
  bool None() const { return bits_ == 0; }
  bool operator==(const ChangeKinds&) const = default;

 private:
  std::uint8_t bits_ = 0;
};

// The word of --change for a kind: "values", "powers", "range", "bolts",
// "team", "movement", "rank", "length".
std::string_view ChangeKindWord(ChangeKind kind);
// A comma-separated list of those words; false, with the reason, for an
// unknown or empty word.
bool ParseChangeKinds(std::string_view list, ChangeKinds& kinds, std::string* error);

// The highest value a value change gives a square, by row; the lowest is 0.
using ValueCeilings = std::array<int, kStatRowCount>;
inline constexpr ValueCeilings kValueCeilings = {20, 20, 30, 5};

struct Change {
  ChangeKind kind = ChangeKind::Value;
  StatRow row = StatRow::Speed;  // value and power
  std::int8_t column = 0;        // value and power
  // value: the square's numbers; power: colour codes; range: numbers;
  // bolts: boxes ticked; team, movement, rank: list positions (-1: none);
  // length: live clicks.
  double from = 0;
  double to = 0;
  // length: the value a column brought back shows in each row, and the
  // columns whose squares the change alters (bit c for column c).
  std::array<double, kStatRowCount> fill{};
  std::uint16_t columns = 0;

  // How far it moves the figure (see above).
  double Size() const;
  // "Attack click 3: 10 -> 9", "Range: 6 -> 4", "Dial length: 6 -> 8 clicks":
  // what it changes, then what the field shows before and after.
  std::string Text() const;
  std::string What() const;  // "Attack click 3", "Range", "Dial length"
  std::string FromText() const { return Shown(from); }
  std::string ToText() const { return Shown(to); }
  // The field it sets: two changes of one set never share one.
  int Field() const;
  bool operator==(const Change&) const = default;

 private:
  std::string Shown(double end) const;
};

// The changes joined by "; ".
std::string ChangesText(const std::vector<Change>& changes);
// Whether two changes may stand in one set: different fields, and no value
// or power change in a column that a length change alters.
bool MayCombine(const Change& a, const Change& b);

// Makes the change on the figure, as the person would with the window.
void ApplyChange(FigureScreen& figure, const Change& change);
// Ticks clear boxes from the left, or clears ticked ones from the right,
// until `count` are ticked.
void SetTickedBolts(std::array<bool, 3>& bolts, int count);

// Every change of the kinds allowed that the figure offers, in the order
// of the list above, rows and columns in order.
std::vector<Change> OfferedChanges(const FigureScreen& figure, ChangeKinds kinds,
                                   const ValueCeilings& ceilings = kValueCeilings);

// The rank that counts (the last one chosen), or -1 for none.
int ChosenRank(const FigureScreen& figure);
// Live clicks: Speed squares without the KO mark.
int LiveClicks(const FigureScreen& figure);

// Whether two figures are the same for the formula and the screen: every
// square's caption, colour and KO mark, and every field.
bool SameFigure(const FigureScreen& a, const FigureScreen& b);

}  // namespace zandorik
