#include "cost/calculations.h"

#include <gtest/gtest.h>

namespace zandorik {
namespace {

using Routine = float (*)(std::int16_t, std::int16_t, std::string_view, const FigureView&,
                          MessageSink&);

struct Rule {
  Routine routine;
  const char* colour;
  int value;
  // Expected cost at clicks 1 to 11.
  std::array<double, 11> costs;
};

// Every rule whose price depends only on click and value, over the whole
// dial; the expected costs are single precision like the routines' results.
const Rule kRules[] = {
    // Speed
    {CostSpeedPowers, "KO", 9, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {CostSpeedPowers, "White", 9, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {CostSpeedPowers, "Black", 7, {.28, .28, .28, .28, .28, .28, .28, .28, .28, .28, .28}},
    {CostSpeedPowers, "Cyan", 8, {8, 8, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
    {CostSpeedPowers, "Red", 12, {2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
    {CostSpeedPowers, "Yellow", 8, {2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4}},
    {CostSpeedPowers, "Grey", 8, {8, 8, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
    {CostSpeedPowers, "Orange", -5, {-.2, -.2, -.2, -.2, -.2, -.2, -.2, -.2, -.2, -.2, -.2}},
    {CostSpeedPowers, "Blue", 8, {4, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {CostSpeedPowers, "Green", 1, {.4, .4, .4, .4, .4, .4, .4, .4, .4, .4, .4}},
    {CostSpeedPowers, "Magenta", 12, {3, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {CostSpeedPowers, "Brown", 8, {8, 8, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
    {CostSpeedPowers, "Green", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    // Attack
    {CostAttackPowers, "Black", 24, {0, 6, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
    {CostAttackPowers, "Cyan", 8, {10, 3.2, 3.2, 4, 8, 2, 16, 16, 16, 8, 8}},
    {CostAttackPowers,
     "Cyan",
     20000,
     {25000, 8000, 8000, 10000, 20000, 5000, 40000, 40000, 40000, 20000, 20000}},
    {CostAttackPowers, "Red", 24, {3, 4, 6, 12, 12, 6, 6, 4, 4, 3, 3}},
    {CostAttackPowers, "Grey", 10, {7.5, 7.5, 7.5, 7.5, 7.5, 7.5, 7.5, 7.5, 7.5, 7.5, 7.5}},
    {CostAttackPowers, "Orange", 30, {3, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {CostAttackPowers, "Blue", 12, {12, 6, 4, 3, 3, 3, 3, 3, 3, 3, 3}},
    {CostAttackPowers, "Magenta", 3, {.5, .5, .5, .5, .5, .5, .5, .5, .5, .5, .5}},
    {CostAttackPowers, "Brown", 5, {10, 10, .625, .625, .625, .625, .625, .625, .625, .625, .625}},
    {CostAttackPowers,
     "Brown",
     -32768,
     {-65536, -65536, -4096, -4096, -4096, -4096, -4096, -4096, -4096, -4096, -4096}},
    // Defense
    {CostDefensePowers, "Black", 5, {0, .5, .5, .5, .5, .5, .5, .5, .5, .5, 5}},
    {CostDefensePowers, "Cyan", 22, {2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {CostDefensePowers, "Red", 3, {.5, .5, .5, .5, .5, .5, .5, .5, .5, .5, .5}},
    {CostDefensePowers, "Yellow", 6, {3, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {CostDefensePowers, "Grey", 10, {9, 9, 6, 6, 6, 6, 6, 6, 3, 3, 3}},
    {CostDefensePowers, "Orange", 6, {2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {CostDefensePowers, "Blue", 12, {3, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {CostDefensePowers, "Magenta", 10, {.5, .5, .5, .5, .5, .5, .5, .5, .5, .5, .5}},
    {CostDefensePowers, "Brown", 3, {2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
    // Damage
    {CostDamagePowers, "Cyan", 8, {4, 4, 1, 1, 4, 4, 1, 1, 4, 4, 1}},
    {CostDamagePowers, "Red", 0, {.5, .5, .5, .5, .5, .5, .5, .5, .5, .5, .5}},
    {CostDamagePowers,
     "Red",
     1,
     {3.25, 3.25, 3.25, 3.25, 3.25, 3.25, 3.25, 3.25, 3.25, 3.25, 3.25}},
    {CostDamagePowers, "Red", 2, {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6}},
    {CostDamagePowers, "Red", 3, {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}},
    {CostDamagePowers, "Yellow", 6, {2, 2, 1, 1, 1, 3, 3, 3, 3, 3, 3}},
    {CostDamagePowers, "Orange", 12, {6, 6, 3, 3, 2, 2, 1.5, 1.5, 1.2, 1.2, 1}},
    {CostDamagePowers, "Magenta", 3, {4.5, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5}},
};

TEST(PowerRules, PriceEveryClick) {
  const FigureScreen screen;
  for (const Rule& rule : kRules) {
    for (int click = 1; click <= 11; ++click) {
      CollectingSink sink;
      const float cost =
          rule.routine(static_cast<std::int16_t>(click), static_cast<std::int16_t>(rule.value),
                       rule.colour, screen, sink);
      EXPECT_EQ(cost, static_cast<float>(rule.costs[click - 1]))
          << rule.colour << " value " << rule.value << " click " << click;
      EXPECT_TRUE(sink.messages.empty());
    }
  }
}

TEST(PowerRules, ResultsAreSinglePrecision) {
  const FigureScreen screen;
  CollectingSink sink;
  EXPECT_EQ(static_cast<double>(CostSpeedPowers(1, 7, "Black", screen, sink)), 0.2800000011920929);
  EXPECT_EQ(static_cast<double>(CostSpeedPowers(1, 1, "Green", screen, sink)), 0.4000000059604645);
  EXPECT_EQ(static_cast<double>(CostSpeedPowers(1, 3, "Red", screen, sink)), 0.5);
  EXPECT_EQ(static_cast<double>(CostAttackPowers(2, 8, "Cyan", screen, sink)),
            static_cast<double>(3.2f));
}

TEST(PowerRules, UnknownColoursCostThePenalty) {
  const FigureScreen screen;
  const Routine routines[] = {CostSpeedPowers, CostAttackPowers, CostDefensePowers,
                              CostDamagePowers};
  for (Routine routine : routines) {
    for (const char* name : {"", "white", "Green ", "Purple"}) {
      CollectingSink sink;
      EXPECT_EQ(routine(3, 5, name, screen, sink), -999.0f);
      ASSERT_EQ(sink.messages.size(), 1u);
      EXPECT_EQ(sink.messages[0], std::string("Unknown ability: ") + name);
    }
  }
}

TEST(PowerRules, RangedCombatExpertRefusesMoreThanThreeDamage) {
  const FigureScreen screen;
  for (int value : {4, -1, 100}) {
    CollectingSink sink;
    EXPECT_EQ(CostDamagePowers(5, static_cast<std::int16_t>(value), "Red", screen, sink), -999.0f);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"RCE doesn't combine with more than 3 dge."});
  }
}

TEST(PowerRules, RangeReadingPowers) {
  FigureScreen screen;
  CollectingSink sink;
  screen.rangeText = "6";
  EXPECT_EQ(CostAttackPowers(1, 9, "Yellow", screen, sink), 1.5f);  // Pulse Wave
  EXPECT_EQ(CostAttackPowers(11, -3, "Yellow", screen, sink), 1.5f);
  screen.rangeText = "4";
  EXPECT_EQ(static_cast<double>(CostDefensePowers(3, 7, "Green", screen, sink)), 4.070000171661377);
  EXPECT_EQ(CostDefensePowers(3, 0, "Green", screen, sink), 4.0f);
  screen.rangeText = "text";
  EXPECT_EQ(CostAttackPowers(1, 9, "Yellow", screen, sink), 0.0f);
  EXPECT_EQ(CostDefensePowers(3, 7, "Green", screen, sink), 0.07f);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(PowerRules, SameColumnPowersReadAttackAndDefense) {
  FigureScreen screen;
  CollectingSink sink;
  screen.Square(StatRow::Attack, 3).caption = "9";
  EXPECT_EQ(CostDamagePowers(4, 77, "Green", screen, sink), 3.0f);  // Enhancement
  screen.Square(StatRow::Attack, 10).caption = "6";
  EXPECT_EQ(CostDamagePowers(11, 0, "Green", screen, sink), 2.0f);

  struct Case {
    const char* colour;
    std::array<double, 11> costs;  // Defense square showing 12
  };
  const Case cases[] = {
      {"Black", {4, 4, 2, 2, 2, 2, 3, 3, 3, 3, 3}},   // Outwit
      {"Grey", {2.4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},  // Leadership
      {"Brown", {8, 4, 4, 4, 6, 6, 6, 6, 6, 6, 6}},   // Perplex
      {"Blue",
       {12. / 9, 12. / 9, 12. / 9, 12. / 9, 12. / 9, 12. / 9, 12. / 9, 12. / 9, 12. / 9, 12. / 9,
        12. / 9}},  // Shape Change
  };
  for (int column = 0; column < kColumnCount; ++column) {
    screen.Square(StatRow::Defense, column).caption = "12";
  }
  for (const Case& c : cases) {
    for (int click = 1; click <= 11; ++click) {
      EXPECT_EQ(CostDamagePowers(static_cast<std::int16_t>(click), 1, c.colour, screen, sink),
                static_cast<float>(c.costs[click - 1]))
          << c.colour << " click " << click;
    }
  }
  screen.Square(StatRow::Defense, 2) = DialSquare{"", kWhiteCode, true};  // KO reads as 0
  EXPECT_EQ(CostDamagePowers(3, 1, "Blue", screen, sink), 0.0f);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(PowerRules, SuperStrengthSharesOutTheAverage) {
  FigureScreen screen;
  CollectingSink sink;
  auto green = [&](int column, const char* damage) {
    screen.Square(StatRow::Attack, column).background = ColourCodeFromName("Green");
    screen.Square(StatRow::Damage, column).caption = damage;
  };
  green(0, "3");
  EXPECT_EQ(CostAttackPowers(1, 4, "Green", screen, sink), 1.0f);
  green(5, "1");
  EXPECT_EQ(CostAttackPowers(1, 4, "Green", screen, sink), 0.5f);
  EXPECT_EQ(CostAttackPowers(6, 2, "Green", screen, sink), 0.25f);
  // The largest damage is rounded half to even before it is used.
  screen.Square(StatRow::Damage, 5).caption = "4.5";
  EXPECT_EQ(CostAttackPowers(1, 5, "Green", screen, sink), 0.5f);
  // Damage squares of 0, negative or KO leave the divisor at 1.
  screen.Square(StatRow::Damage, 0).caption = "-3";
  screen.Square(StatRow::Damage, 5).caption = "";
  EXPECT_EQ(CostAttackPowers(1, 6, "Green", screen, sink), 3.0f);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(CostTeam, PricesLiveClicks) {
  CollectingSink sink;
  EXPECT_EQ(CostTeam(11, "None", sink), 0);
  EXPECT_EQ(CostTeam(11, "Q-Breed", sink), 11);
  EXPECT_EQ(CostTeam(11, "Nightwarden Enemy", sink), 14.850000000000001);
  EXPECT_EQ(CostTeam(8, "Ironwood Guard", sink), 6.4);
  EXPECT_EQ(CostTeam(8, "Skyborn Enemy", sink), 28);
  EXPECT_EQ(CostTeam(0, "Skyborn Enemy", sink), 0);
  EXPECT_TRUE(sink.messages.empty());
  for (const char* unknown : {"none", "Q-Breed ", ""}) {
    CollectingSink bad;
    EXPECT_EQ(CostTeam(5, unknown, bad), -999);
    EXPECT_EQ(bad.messages, std::vector<std::string>{std::string("No value for team: ") + unknown});
  }
}

}  // namespace
}  // namespace zandorik
