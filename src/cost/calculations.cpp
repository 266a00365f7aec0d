#include "cost/calculations.h"

#include <algorithm>
#include <utility>

#include "model/numbers.h"

namespace zandorik {
namespace {

// Colour list positions, for the rule tables below.
enum Colour { KO, White, Black, Cyan, Red, Yellow, Grey, Orange, Blue, Green, Magenta, Brown };
// Kept in step with the colour table: each name at its position.
static_assert(kColours.size() == Brown + 1);
static_assert(kColours[KO].name == "KO" && kColours[White].name == "White" &&
              kColours[Black].name == "Black" && kColours[Cyan].name == "Cyan" &&
              kColours[Red].name == "Red" && kColours[Yellow].name == "Yellow" &&
              kColours[Grey].name == "Grey" && kColours[Orange].name == "Orange" &&
              kColours[Blue].name == "Blue" && kColours[Green].name == "Green" &&
              kColours[Magenta].name == "Magenta" && kColours[Brown].name == "Brown");

float Single(double value) {
  return static_cast<float>(value);
}

float UnknownAbility(std::string_view colourName, MessageSink& sink) {
  sink.Message("Unknown ability: " + std::string(colourName));
  return static_cast<float>(kErrorPenalty);
}

// The doublings of "Poison" and "Incapacitate" are whole-number arithmetic;
// 32 bits hold every doubled 16-bit value exactly.
float Doubled(std::int16_t value) {
  return static_cast<float>(2 * static_cast<std::int32_t>(value));
}

// The caption of another square in the column of `click`.
double CaptionValue(const FigureView& figure, StatRow row, std::int16_t click) {
  const int column = std::clamp(click - 1, 0, kColumnCount - 1);
  return figure.CaptionValue(row, column);
}

float SuperStrength(std::int16_t value, const FigureView& figure) {
  int count = 0;
  double maxDamage = 0;
  for (int column = 0; column < kColumnCount; ++column) {
    if (figure.ColourOf(StatRow::Attack, column) != Green) continue;
    ++count;
    const double d = figure.CaptionValue(StatRow::Damage, column);
    if (d > maxDamage) maxDamage = RoundHalfEven(d);
  }
  return Single(value / (maxDamage + 1) / count);
}

inline float SpeedPower(std::int16_t click, std::int16_t value, int colour,
                        std::string_view colourName, const FigureView&, MessageSink& sink) {
  const double v = value;
  const bool early = click <= 2;
  switch (colour) {
    case KO:
    case White:
      return 0;
    case Black:
      return Single(v / 25);  // Stealth
    case Cyan:
      return Single(early ? v : v / 2);  // Mind Control
    case Red:
      return Single(early ? v / 6 : v / 4);  // Flurry
    case Yellow:
      return Single(click <= 8 ? v / 4 : v / 2);  // Phasing
    case Grey:
      return Single(early ? v : v / 2);  // Running Shot
    case Orange:
      return Single(v / 25);  // Leap/Climb
    case Blue:
      return Single(early ? v / 2 : v / 4);  // Plasticity
    case Green:
      return Single(v / 2.5);  // Charge
    case Magenta:
      return Single(early ? v / 4 : v / 6);  // Force Blast
    case Brown:
      return Single(early ? v : v / 2);  // Hypersonic Speed
    default:
      return UnknownAbility(colourName, sink);
  }
}

inline float AttackPower(std::int16_t click, std::int16_t value, int colour,
                         std::string_view colourName, const FigureView& figure, MessageSink& sink) {
  const double v = value;
  switch (colour) {
    case KO:
    case White:
      return 0;
    case Black:  // Steal Energy
      if (click <= 1) return 0;
      return Single(click == 2 ? v / 4 : v / 6);
    case Cyan:  // Incapacitate
      if (click <= 1) return Single(v * 1.25);
      if (click <= 3) return Single(v / 2.5);
      if (click == 4) return Single(v / 2);
      if (click == 5) return Single(v);
      if (click == 6) return Single(v / 4);
      if (click <= 9) return Doubled(value);
      return Single(v);
    case Red:  // Blades/Claws/Fangs
      if (click <= 1) return Single(v / 8);
      if (click == 2) return Single(v / 6);
      if (click == 3) return Single(v / 4);
      if (click <= 5) return Single(v / 2);
      if (click <= 7) return Single(v / 4);
      if (click <= 9) return Single(v / 6);
      return Single(v / 8);
    case Yellow:
      return Single(figure.RangeValue() / 4);  // Pulse Wave
    case Grey:
      return Single(v * 0.75);  // Telekinesis
    case Orange:
      return Single(click <= 2 ? v / 10 : v / 15);  // Energy Explosion
    case Blue:                                      // Psychic Blast
      if (click <= 1) return Single(v);
      if (click == 2) return Single(v / 2);
      if (click == 3) return Single(v / 3);
      return Single(v / 4);
    case Green:
      return SuperStrength(value, figure);
    case Magenta:
      return Single(v / 6);  // Smoke Cloud
    case Brown:
      return click <= 2 ? Doubled(value) : Single(v / 8);  // Poison
    default:
      return UnknownAbility(colourName, sink);
  }
}

inline float DefensePower(std::int16_t click, std::int16_t value, int colour,
                          std::string_view colourName, const FigureView& figure,
                          MessageSink& sink) {
  const double v = value;
  const bool early = click <= 2;
  switch (colour) {
    case KO:
    case White:
      return 0;
    case Black:  // Regeneration
      if (click <= 1) return 0;
      return Single(click <= 10 ? v / 10 : v);
    case Cyan:
      return Single(early ? v / 11 : v / 22);  // Barrier
    case Red:
      return Single(v / 6);  // Super Senses
    case Yellow:
      return Single(early ? v / 2 : v / 6);  // Defend
    case Grey:                               // Invulnerability
      if (early) return Single(v * 0.9);
      return Single(click <= 8 ? v * 0.6 : v * 0.3);
    case Orange:
      return Single(click <= 1 ? v / 3 : v / 6);  // Toughness
    case Blue:
      return Single(early ? v / 4 : v / 6);  // Mastermind
    case Green:
      return Single(v / 100 + figure.RangeValue());  // Energy Shield/Deflection
    case Magenta:
      return Single(v / 20);  // Willpower
    case Brown:
      return Single(early ? v / 1.5 : v);  // Impervious
    default:
      return UnknownAbility(colourName, sink);
  }
}

inline float DamagePower(std::int16_t click, std::int16_t value, int colour,
                         std::string_view colourName, const FigureView& figure, MessageSink& sink) {
  const double v = value;
  const auto defense = [&] { return CaptionValue(figure, StatRow::Defense, click); };
  switch (colour) {
    case KO:
    case White:
      return 0;
    case Black:  // Outwit
      if (click <= 2) return Single(defense() / 3);
      return Single(click <= 6 ? defense() / 6 : defense() / 4);
    case Cyan:  // Probability Control: pairs of clicks alternate, starting high
      return Single(((click - 1) / 2) % 2 == 0 ? v / 2 : v / 8);
    case Red:  // Ranged Combat Expert
      switch (value) {
        case 0:
          return 0.5f;
        case 1:
          return 3.25f;
        case 2:
          return 6.0f;
        case 3:
          return 7.0f;
        default:
          sink.Message("RCE doesn't combine with more than 3 dge.");
          return static_cast<float>(kErrorPenalty);
      }
    case Yellow:  // Support
      if (click <= 2) return Single(v / 3);
      return Single(click <= 5 ? v / 6 : v / 2);
    case Grey:
      return Single(click <= 1 ? defense() / 5 : defense() / 12);  // Leadership
    case Orange:                                                   // Battle Fury
      if (click <= 2) return Single(v / 2);
      if (click <= 4) return Single(v / 4);
      if (click <= 6) return Single(v / 6);
      if (click <= 8) return Single(v / 8);
      if (click <= 10) return Single(v / 10);
      return Single(v / 12);
    case Blue:
      return Single(defense() / 9);  // Shape Change
    case Green:
      return Single(CaptionValue(figure, StatRow::Attack, click) / 3);  // Enhancement
    case Magenta:
      return Single(v * 1.5);  // Close Combat Expert
    case Brown:                // Perplex
      if (click <= 1) return Single(defense() / 1.5);
      return Single(click <= 4 ? defense() / 3 : defense() / 2);
    default:
      return UnknownAbility(colourName, sink);
  }
}

// The power routine of each row and colour, with the row and colour built
// in: one call, whose target the processor can learn per square, instead
// of a call by row and then a switch by colour. Index: colour position + 1
// (-1, a code that is no colour, first); the name is for the message of an
// unknown colour.
using SquareRoutine = float (*)(std::int16_t, std::int16_t, const FigureView&, MessageSink&);

template <int Row, int Colour>
float PriceSquare(std::int16_t click, std::int16_t value, const FigureView& figure,
                  MessageSink& sink) {
  constexpr std::string_view name = Colour < 0 ? std::string_view() : kColours[Colour].name;
  if constexpr (Row == static_cast<int>(StatRow::Speed)) {
    return SpeedPower(click, value, Colour, name, figure, sink);
  } else if constexpr (Row == static_cast<int>(StatRow::Attack)) {
    return AttackPower(click, value, Colour, name, figure, sink);
  } else if constexpr (Row == static_cast<int>(StatRow::Defense)) {
    return DefensePower(click, value, Colour, name, figure, sink);
  } else {
    return DamagePower(click, value, Colour, name, figure, sink);
  }
}

template <int Row, std::size_t... Slot>
constexpr std::array<SquareRoutine, sizeof...(Slot)> RowRoutines(std::index_sequence<Slot...>) {
  return {PriceSquare<Row, static_cast<int>(Slot) - 1>...};
}

constexpr auto kColourSlots = std::make_index_sequence<kColourCount + 1>();
constexpr std::array<std::array<SquareRoutine, kColourCount + 1>, kStatRowCount> kSquareRoutines = {
    RowRoutines<0>(kColourSlots), RowRoutines<1>(kColourSlots), RowRoutines<2>(kColourSlots),
    RowRoutines<3>(kColourSlots)};

// The cost of a damage value the first time it appears on the dial, and
// each time after: kDamageTable[value][seen before].
constexpr double kDamageTable[6][2] = {{0, 0},      {0.25, 0.25}, {1.5, 1},
                                       {6.75, 4.5}, {10, 7},      {12.5, 12.5}};

double RangeCost(double range, double attackSum, MessageSink& sink) {
  if (range == 0) return 0;
  if (range == 2) return attackSum / 60;
  if (range == 4) return attackSum / 40;
  if (range == 6) return attackSum / 20;
  if (range == 8) return attackSum / 12;
  if (range == 10 || range == 12 || range == 14) return attackSum / 10;
  sink.Message("Error in range: " + FormatGeneral(range));
  return kErrorPenalty;
}

double BoltCost(int checked, MessageSink& sink) {
  switch (checked) {
    case 0:
    case 1:
      return 0;
    case 2:
      return 3;
    case 3:
      return 4;
    default:
      sink.Message("Error in total bolts: " + std::to_string(checked));
      return kErrorPenalty;
  }
}

double MovementCost(const FigureView& figure, double speedSum, MessageSink& sink) {
  switch (figure.MovementShown()) {
    case 0:
      return 0;
    case 1:
      return speedSum / 100;
    case 2:
      return speedSum / 9;
    default:
      sink.Message("Error in movement type: " + std::string(figure.MoveName()));
      return kErrorPenalty;
  }
}

// The team at `position` in kTeams (-1: `team`, in no entry).
double TeamCost(std::int16_t dialLength, int position, std::string_view team, MessageSink& sink) {
  if (position == 0) return 0;
  if (position > 0) return static_cast<double>(dialLength) * kTeams[position].factor;
  sink.Message("No value for team: " + std::string(team));
  return kErrorPenalty;
}

}  // namespace

double CostTeam(std::int16_t dialLength, std::string_view team, MessageSink& sink) {
  return TeamCost(dialLength, TeamPosition(team), team, sink);
}

float CostSpeedPowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                      const FigureView& figure, MessageSink& sink) {
  return SpeedPower(click, value, ColourPosition(colourName), colourName, figure, sink);
}

float CostAttackPowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                       const FigureView& figure, MessageSink& sink) {
  return AttackPower(click, value, ColourPosition(colourName), colourName, figure, sink);
}

float CostDefensePowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                        const FigureView& figure, MessageSink& sink) {
  return DefensePower(click, value, ColourPosition(colourName), colourName, figure, sink);
}

float CostDamagePowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                       const FigureView& figure, MessageSink& sink) {
  return DamagePower(click, value, ColourPosition(colourName), colourName, figure, sink);
}

Calculation CalculateFigure(const FigureView& figure, MessageSink& sink) {
  Calculation calc;
  Breakdown& b = calc.breakdown;

  FigureView::Dial scratch;
  const FigureView::Dial& dial = figure.DialOf(scratch);
  const auto& values = dial.value;
  // The rows of the dial's arrays.
  constexpr int kSpeed = static_cast<int>(StatRow::Speed);
  constexpr int kAttack = static_cast<int>(StatRow::Attack);
  constexpr int kDefense = static_cast<int>(StatRow::Defense);
  constexpr int kDamage = static_cast<int>(StatRow::Damage);

  // Live clicks: Speed squares without the KO mark.
  std::int16_t dialLength = 0;
  for (int column = 0; column < kColumnCount; ++column) {
    if (!dial.speedKO[column]) ++dialLength;
  }

  // Sums use the values as read, unrounded. The damage costs are quarters
  // and the penalty, all exact, so the order of their additions does not
  // matter: a bad damage value is marked here and named after the loop, in
  // column order, so that the loop calls nothing and keeps its sums in
  // registers.
  double sums[kStatRowCount] = {};
  double damageCost = 0;
  std::int16_t tally[6] = {};
  std::uint32_t badDamage = 0;  // bit c: column c
  for (int column = 0; column < kColumnCount; ++column) {
    for (const int row : {kSpeed, kAttack, kDefense})
      sums[row] += values[row][column];

    const double v = values[kDamage][column];
    const double t = RoundHalfEven(v);
    const bool hasSlot = t >= 0 && t <= 5;
    const int slot = hasSlot ? static_cast<int>(t) : 0;
    const bool good = v == t && hasSlot;
    damageCost += good ? kDamageTable[slot][tally[slot] != 0 ? 1 : 0] : kErrorPenalty;
    badDamage |= good ? 0u : 1u << column;
    tally[slot] = static_cast<std::int16_t>(tally[slot] + (hasSlot ? 1 : 0));
  }
  for (int column = 0; column < kColumnCount; ++column) {
    if (badDamage & (1u << column))
      sink.Message("Error in Damage: " + FormatGeneral(values[kDamage][column]));
  }
  const double speedSum = sums[kSpeed], attackSum = sums[kAttack], defenseSum = sums[kDefense];

  b.speed = speedSum / 12;
  b.attack = attackSum / 15;
  b.defense = defenseSum / 11;
  b.damage = damageCost;
  sink.Reached(CalculationStep::Statistics, calc);
  // Each part joins the running total in the formula's own order (the new
  // part first, then the total so far, then the rest of its step): doubles
  // round at every addition, and another order can change the last bit of
  // the total, and so the rounding of a total that ends in .5.
  double total = 0;
  total = b.speed + total + b.attack + b.defense + b.damage;

  double powers[kStatRowCount] = {};
  const auto price = [&](int r, int column, std::int16_t value) {
    const SquareRoutine routine = kSquareRoutines[r][dial.colour[r][column] + 1];
    powers[r] +=
        static_cast<double>(routine(static_cast<std::int16_t>(column + 1), value, figure, sink));
  };
  if (dial.whole) {
    for (int i = 0; i < dial.pricedCount; ++i) {
      const int column = dial.priced[i] / kStatRowCount, r = dial.priced[i] % kStatRowCount;
      price(r, column, static_cast<std::int16_t>(values[r][column]));
    }
  } else {
    for (int column = 0; column < kColumnCount; ++column) {
      for (StatRow row : kStatRows) {
        const int r = static_cast<int>(row);
        const std::optional<std::int16_t> value = ToInt16(values[r][column]);
        if (!value) {
          sink.Message("Value out of range in " + std::string(StatRowName(row)) + ": " +
                       FormatGeneral(values[r][column]) + " (values go from -32768 to 32767)");
          powers[r] += kErrorPenalty;
          continue;
        }
        const int colour = dial.colour[r][column];
        // White and KO cost nothing on every row, and adding nothing to a
        // sum that started at +0 changes no bit of it: the routines are
        // spared.
        if (colour == White || colour == KO) continue;
        price(r, column, *value);
      }
    }
  }
  b.speedPower = powers[kSpeed];
  b.attackPower = powers[kAttack];
  b.defensePower = powers[kDefense];
  b.damagePower = powers[kDamage];
  sink.Reached(CalculationStep::Powers, calc);
  total = b.speedPower + total + b.attackPower + b.defensePower + b.damagePower;

  b.range = RangeCost(figure.RangeValue(), attackSum, sink);
  int checked = 0;
  constexpr int kBoltBoxes = 3;
  for (int k = 0; k < kBoltBoxes; ++k)
    checked += figure.BoltChecked(k) ? 1 : 0;
  b.bolts = BoltCost(checked, sink);
  sink.Reached(CalculationStep::RangeAndBolts, calc);
  total = b.range + total + b.bolts;

  calc.movement = MovementCost(figure, speedSum, sink);
  total = calc.movement + total;

  const int team = figure.TeamShown();
  b.team = TeamCost(dialLength, team, team < 0 ? figure.TeamName() : std::string_view(), sink);
  sink.Reached(CalculationStep::Team, calc);
  total = b.team + total;

  const int rank = figure.RankShown();
  const float rankFactor = rank < 0 ? 0 : kRanks[static_cast<std::size_t>(rank)].factor;
  total = static_cast<double>(rankFactor) * total;
  calc.total = total;

  calc.points = ToInt32(total);
  sink.Reached(CalculationStep::Points, calc);
  if (!calc.points) {
    sink.Message("The point total is out of range: " + FormatGeneral(total));
  }
  return calc;
}

std::string PointsText(const Calculation& calc) {
  return calc.points ? std::to_string(*calc.points) : std::string();
}

std::array<std::string, 11> BreakdownTexts(const Breakdown& b) {
  return {FormatGeneral(b.speed),        FormatGeneral(b.attack),      FormatGeneral(b.defense),
          FormatGeneral(b.damage),       FormatGeneral(b.speedPower),  FormatGeneral(b.attackPower),
          FormatGeneral(b.defensePower), FormatGeneral(b.damagePower), FormatGeneral(b.range),
          FormatGeneral(b.bolts),        FormatGeneral(b.team)};
}

}  // namespace zandorik
