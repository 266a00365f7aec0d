// The Calculate command over whole figures.
#include <gtest/gtest.h>

#include "cost/calculations.h"
#include "testing/worked_figure.h"

namespace zandorik {
namespace {

Calculation Price(const FigureScreen& screen, std::vector<std::string>* messages = nullptr) {
  CollectingSink sink;
  Calculation calc = CalculateFigure(screen, sink);
  if (messages) {
    *messages = sink.messages;
  } else {
    EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  }
  return calc;
}

// A figure of zeros: every part costs nothing, so a test can price one part.
FigureScreen Zeros() {
  FigureScreen f;
  for (auto& row : f.dial) {
    for (DialSquare& square : row)
      square.caption = "0";
  }
  return f;
}

TEST(Calculate, StartUpFigureCostsFive) {
  const Calculation calc = Price(FigureScreen{});
  EXPECT_EQ(PointsText(calc), "5");
  const std::array<std::string, 11> expected = {
      "0.916666666666667", "0.733333333333333", "1", "2.75", "0", "0", "0", "0", "0", "0", "0"};
  EXPECT_EQ(BreakdownTexts(calc.breakdown), expected);
  EXPECT_EQ(calc.movement, 0);
}

TEST(Calculate, WorkedFigureCostsFortySix) {
  const Calculation calc = Price(WorkedFigure());
  const std::array<std::string, 11> expected = {
      "3.5", "3.66666666666667", "8.72727272727273", "15", "0", "0", "0", "0", "2.75", "3", "4.8"};
  EXPECT_EQ(BreakdownTexts(calc.breakdown), expected);
  EXPECT_EQ(calc.movement, 42.0 / 9);
  EXPECT_NEAR(calc.total, 45.6495004, 1e-7);
  EXPECT_EQ(calc.points, 46);
}

TEST(Calculate, DamageTableCountsRepeatsFromTheLeft) {
  FigureScreen f = Zeros();
  SetRow(f, StatRow::Damage, {"3", "3", "2", "2", "1"});
  EXPECT_EQ(Price(f).breakdown.damage, 14);
  SetRow(f, StatRow::Damage, {"5", "4", "4", "5", "0", "1", "1"});
  EXPECT_EQ(Price(f).breakdown.damage, 12.5 + 10 + 7 + 12.5 + 0.25 + 0.25);
  // The tally starts afresh on every run.
  EXPECT_EQ(Price(f).breakdown.damage, 12.5 + 10 + 7 + 12.5 + 0.25 + 0.25);
}

TEST(Calculate, DamageOutsideTheTable) {
  FigureScreen f = Zeros();
  SetRow(f, StatRow::Damage, {"2.5", "2", "7", "3"});
  std::vector<std::string> messages;
  const Calculation calc = Price(f, &messages);
  // 2.5 is tallied in slot 2, so the 2 after it is a repeat.
  EXPECT_EQ(calc.breakdown.damage, -999 + 1 - 999 + 6.75);
  EXPECT_EQ(messages, (std::vector<std::string>{"Error in Damage: 2.5", "Error in Damage: 7"}));
}

TEST(Calculate, SquaresAreRoundedOnlyForPowers) {
  FigureScreen f = Zeros();
  f.Square(StatRow::Speed, 0).caption = "2.5";
  f.Square(StatRow::Speed, 0).background = ColourCodeFromName("Cyan");  // Mind Control: value
  f.Square(StatRow::Speed, 1).caption = "3.5";
  f.Square(StatRow::Speed, 1).background = ColourCodeFromName("Cyan");
  const Calculation calc = Price(f);
  EXPECT_EQ(calc.breakdown.speed, 6.0 / 12);
  EXPECT_EQ(calc.breakdown.speedPower, 2 + 4);
}

TEST(Calculate, RangeAndBolts) {
  FigureScreen f = Zeros();
  f.Square(StatRow::Attack, 0).caption = "110";
  f.rangeText = "6";
  EXPECT_EQ(Price(f).breakdown.range, 5.5);
  const std::pair<const char*, double> ranges[] = {
      {"0", 0},   {"2", 110.0 / 60}, {"4", 110.0 / 40}, {"8", 110.0 / 12},
      {"10", 11}, {"12", 11},        {"14", 11}};
  for (const auto& [text, cost] : ranges) {
    f.rangeText = text;
    EXPECT_EQ(Price(f).breakdown.range, cost) << text;
  }
  for (const char* bad : {"3", "6.5", "16", "-2"}) {
    f.rangeText = bad;
    std::vector<std::string> messages;
    EXPECT_EQ(Price(f, &messages).breakdown.range, -999);
    EXPECT_EQ(messages, std::vector<std::string>{std::string("Error in range: ") + bad});
  }
  f.rangeText = "0";
  const std::pair<std::array<bool, 3>, double> bolts[] = {{{false, false, false}, 0},
                                                          {{false, false, true}, 0},
                                                          {{true, false, true}, 3},
                                                          {{false, true, true}, 3},
                                                          {{true, true, true}, 4}};
  for (const auto& [boxes, cost] : bolts) {
    f.bolts = boxes;
    EXPECT_EQ(Price(f).breakdown.bolts, cost);
  }
}

TEST(Calculate, RankFactorIsSinglePrecision) {
  FigureScreen f = Zeros();
  auto speedTotal = [&](const char* caption, int rank) {
    f.Square(StatRow::Speed, 0).caption = caption;
    f.rankSelected = {};
    if (rank >= 0) f.rankSelected[rank] = true;
    return Price(f).points;
  };
  EXPECT_EQ(speedTotal("1800", 0), 150);
  EXPECT_EQ(speedTotal("1800", 1), 149);  // 150 * 0.9900000095367432 = 148.5000014
  EXPECT_EQ(speedTotal("78", 0), 6);      // 6.5 rounds to even
  EXPECT_EQ(speedTotal("90", 0), 8);      // 7.5 rounds to even
  EXPECT_EQ(speedTotal("1800", 4), 148);  // 150 * 0.9850000143051147
  EXPECT_EQ(speedTotal("1800", -1), 0);   // no rank selected: factor 0
}

TEST(Calculate, MovementAndTeam) {
  FigureScreen f = Zeros();
  SetRow(f, StatRow::Speed, {"50", "40", "0", "0"});
  f.moveText = "Aquatic";
  EXPECT_EQ(Price(f).movement, 0.9);
  f.moveText = "Flight";
  EXPECT_EQ(Price(f).movement, 10);
  f.teamText = "Q-Breed";
  EXPECT_EQ(Price(f).breakdown.team, 4);  // four live Speed clicks
  SetRow(f, StatRow::Speed, {});
  EXPECT_EQ(Price(f).breakdown.team, 0);  // every Speed square KO
}

TEST(Calculate, EveryFailedCheckReportsInOrder) {
  FigureScreen f = Zeros();
  f.Square(StatRow::Damage, 1).caption = "9";
  f.Square(StatRow::Speed, 1).background = 12345;
  f.Square(StatRow::Damage, 2).background = ColourCodeFromName("Red");
  f.Square(StatRow::Damage, 2).caption = "4";
  f.rangeText = "5";
  f.moveText = "flight";
  f.teamText = "";
  std::vector<std::string> messages;
  const Calculation calc = Price(f, &messages);
  EXPECT_EQ(
      messages,
      (std::vector<std::string>{
          "Error in Damage: 9", "Unknown ability: ", "RCE doesn't combine with more than 3 dge.",
          "Error in range: 5", "Error in movement type: flight", "No value for team: "}));
  EXPECT_EQ(calc.breakdown.damage, -999 + 10);
  EXPECT_EQ(calc.breakdown.speedPower, -999);
  EXPECT_EQ(calc.breakdown.damagePower, -999);
  EXPECT_EQ(calc.movement, -999);
  EXPECT_EQ(calc.breakdown.team, -999);
  EXPECT_EQ(BreakdownTexts(calc.breakdown)[10], "-999");
}

TEST(Calculate, ValuesBeyondSixteenBitsArePenalisedNotWrapped) {
  FigureScreen f = Zeros();
  f.Square(StatRow::Attack, 2).caption = "99999";
  std::vector<std::string> messages;
  const Calculation calc = Price(f, &messages);
  EXPECT_EQ(calc.breakdown.attack, 99999.0 / 15);  // sums use the value as typed
  EXPECT_EQ(calc.breakdown.attackPower, -999);
  EXPECT_EQ(messages, std::vector<std::string>{
                          "Value out of range in Attack: 99999 (values go from -32768 to 32767)"});
}

TEST(Calculate, TotalsBeyondWholeNumbersHaveNoPoints) {
  FigureScreen f = Zeros();
  f.Square(StatRow::Speed, 0).caption = "1e300";
  f.Square(StatRow::Speed, 0).background = kWhiteCode;
  std::vector<std::string> messages;
  const Calculation calc = Price(f, &messages);
  EXPECT_EQ(calc.points, std::nullopt);
  EXPECT_EQ(PointsText(calc), "");
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().rfind("The point total is out of range: ", 0), 0u);
}

}  // namespace
}  // namespace zandorik
