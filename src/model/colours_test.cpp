#include "model/colours.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zandorik
