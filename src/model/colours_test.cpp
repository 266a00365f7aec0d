#include "model/colours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace zandorik {
namespace {

TEST(Colours, NameFromCode) {
  EXPECT_EQ(ColourNameFromCode(16777215), "White");
  EXPECT_EQ(ColourNameFromCode(0), "Black");
  EXPECT_EQ(ColourNameFromCode(-1), "KO");
  EXPECT_EQ(ColourNameFromCode(343719), "Brown");
  EXPECT_EQ(ColourNameFromCode(-2), "");
  EXPECT_EQ(ColourNameFromCode(1), "");
  EXPECT_EQ(ColourNameFromCode(255.5), "");
}

TEST(Colours, CodeFromNameIsExact) {
  EXPECT_EQ(ColourCodeFromName("KO"), -1);
  EXPECT_EQ(ColourCodeFromName("Green"), 65280);
  EXPECT_EQ(ColourCodeFromName("green"), 0);
  EXPECT_EQ(ColourCodeFromName("Green "), 0);
  EXPECT_EQ(ColourCodeFromName(""), 0);
}

TEST(Colours, CodesAreRedGreenBlueAndRoundTrip) {
  for (const ColourInfo& c : kColours) {
    if (c.name != "KO") {
      EXPECT_EQ(c.code, c.red + 256.0 * c.green + 65536.0 * c.blue) << c.name;
    }
    EXPECT_EQ(ColourCodeFromName(ColourNameFromCode(c.code)), c.code) << c.name;
  }
}

TEST(Colours, PowerListsFollowTheColourOrder) {
  const char* speed[] = {"Knocked Out", "None",    "Stealth",      "Mind Control",
                         "Flurry",      "Phasing", "Running Shot", "Leap/Climb",
                         "Plasticity",  "Charge",  "Force Blast",  "Hypersonic Speed"};
  for (int i = 0; i < kColourCount; ++i)
    EXPECT_EQ(PowerName(StatRow::Speed, i), speed[i]);
  EXPECT_EQ(PowerName(StatRow::Attack, 9), "Super Strength");
  EXPECT_EQ(PowerName(StatRow::Defense, 9), "Energy Shield/Deflection");
  EXPECT_EQ(PowerName(StatRow::Damage, 4), "Ranged Combat Expert");
  EXPECT_EQ(PowerName(StatRow::Damage, 11), "Perplex");
}

// The lookups are hashed; they must find exactly what a search of the
// table finds, for codes and names near every colour's.
TEST(Colours, LookupsMatchASearchOfTheTable) {
  std::vector<double> codes = {-0.0, -1.5, 1e300, std::nan(""), 16777216, 16777215.5};
  for (int code = -100; code < 70000; ++code)
    codes.push_back(code);
  for (const ColourInfo& c : kColours) {
    for (double delta : {-1.0, -0.5, 1e-9, 1.0, 16.0, 38.0})
      codes.push_back(c.code + delta);
  }
  for (double code : codes) {
    std::string_view found;
    for (const ColourInfo& c : kColours)
      found = c.code == code ? c.name : found;
    ASSERT_EQ(ColourNameFromCode(code), found) << code;
  }
  for (int i = 0; i < kColourCount; ++i) {
    const std::string name(kColours[i].name);
    EXPECT_EQ(ColourPosition(name), i);
    for (const std::string& other :
         {name + "x", name.substr(1), std::string(name.rbegin(), name.rend())})
      EXPECT_EQ(ColourPosition(other), other == name ? i : -1) << other;
  }
}

}  // namespace
}  // namespace zandorik
