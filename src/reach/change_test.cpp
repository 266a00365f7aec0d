// What one change is: the changes a figure offers, their words, their
// sizes, and what each does to the screen.
#include "reach/change.h"

#include <gtest/gtest.h>

#include <map>

#include "testing/worked_figure.h"

namespace zandorik {
namespace {

TEST(Change, TheWorkedFigureOffersEachKindAsDefined) {
  ChangeKinds all;
  for (int k = 0; k < kChangeKindCount; ++k)
    all.Allow(static_cast<ChangeKind>(k));
  std::map<ChangeKind, int> count;
  std::map<std::string, double> size;
  for (const Change& c : OfferedChanges(WorkedFigure(), all)) {
    ++count[c.kind];
    size[c.Text()] = c.Size();
  }
  // Six live clicks: values 0 to 20, 20, 30 and 5 less the one there;
  // ten other colours a square; the rest of each list.
  EXPECT_EQ(count[ChangeKind::Value], 6 * (20 + 20 + 30 + 5));
  EXPECT_EQ(count[ChangeKind::Power], 6 * 4 * 10);
  EXPECT_EQ(count[ChangeKind::Range], 7);
  EXPECT_EQ(count[ChangeKind::Bolts], 3);
  EXPECT_EQ(count[ChangeKind::Team], 21);
  EXPECT_EQ(count[ChangeKind::Movement], 2);
  EXPECT_EQ(count[ChangeKind::Rank], 4);
  EXPECT_EQ(count[ChangeKind::Length], 10);
  const std::pair<const char*, double> sizes[] = {
      {"Attack click 3: 9 -> 10", 1},
      {"Defense click 1: 17 -> 30", 13},
      {"Speed click 2: White -> Black", -1},  // not a text it uses
      {"Speed click 2: None -> Stealth", 1},
      {"Range: 6 -> 0", 3},
      {"Bolts: 2 -> 0", 2},
      {"Team: Ironwood Guard -> City Watch", 1},
      {"Move: Flight -> Normal", 1},
      {"Rank: Experienced -> LE", 1},
      {"Dial length: 6 -> 11 clicks", 5},
  };
  for (const auto& [text, want] : sizes) {
    const auto it = size.find(text);
    if (want < 0) {
      EXPECT_EQ(it, size.end()) << text;
    } else {
      ASSERT_NE(it, size.end()) << text;
      EXPECT_EQ(it->second, want) << text;
    }
  }
}

TEST(Change, LengthBoltsAndListsChangeTheScreenAsDefined) {
  FigureScreen figure = WorkedFigure();
  figure.bolts = {true, false, true};
  ChangeKinds all;
  for (int k = 0; k < kChangeKindCount; ++k)
    all.Allow(static_cast<ChangeKind>(k));
  std::map<std::string, Change> offered;
  for (const Change& c : OfferedChanges(figure, all))
    offered[c.Text()] = c;

  FigureScreen longer = figure;
  ApplyChange(longer, offered.at("Dial length: 6 -> 8 clicks"));
  for (int column : {6, 7}) {  // the last live click's values, plain
    EXPECT_EQ(longer.Square(StatRow::Attack, column).caption, "8");
    EXPECT_EQ(longer.Square(StatRow::Damage, column).caption, "1");
    EXPECT_FALSE(longer.Square(StatRow::Speed, column).IsKO());
  }
  EXPECT_TRUE(longer.Square(StatRow::Speed, 8).IsKO());
  FigureScreen shorter = figure;
  ApplyChange(shorter, offered.at("Dial length: 6 -> 4 clicks"));
  EXPECT_EQ(LiveClicks(shorter), 4);
  EXPECT_TRUE(shorter.Square(StatRow::Damage, 4).IsKO());
  EXPECT_EQ(shorter.Square(StatRow::Damage, 4).caption, "");
  EXPECT_FALSE(
      MayCombine(offered.at("Dial length: 6 -> 4 clicks"), offered.at("Attack click 5: 9 -> 10")));
  EXPECT_TRUE(
      MayCombine(offered.at("Dial length: 6 -> 4 clicks"), offered.at("Attack click 4: 9 -> 10")));
  EXPECT_FALSE(MayCombine(offered.at("Range: 6 -> 0"), offered.at("Range: 6 -> 2")));

  const std::pair<const char*, std::array<bool, 3>> bolts[] = {
      {"Bolts: 2 -> 3", {true, true, true}},
      {"Bolts: 2 -> 1", {true, false, false}},
      {"Bolts: 2 -> 0", {false, false, false}},
  };
  for (const auto& [text, want] : bolts) {
    FigureScreen changed = figure;
    ApplyChange(changed, offered.at(text));
    EXPECT_EQ(changed.bolts, want) << text;
  }
  FigureScreen listed = figure;
  for (const char* text :
       {"Team: Ironwood Guard -> City Watch", "Move: Flight -> Aquatic",
        "Rank: Experienced -> Unique", "Range: 6 -> 14", "Attack click 1: None -> Poison"})
    ApplyChange(listed, offered.at(text));
  EXPECT_EQ(listed.teamText, "City Watch");
  EXPECT_EQ(listed.moveText, "Aquatic");
  EXPECT_EQ(listed.rankSelected, (std::array<bool, 5>{false, false, false, true, false}));
  EXPECT_EQ(listed.rangeText, "14");
  EXPECT_EQ(listed.Square(StatRow::Attack, 0).background, ColourCodeFromName("Brown"));
}

TEST(Change, KindsAreReadFromTheirWords) {
  const struct {
    const char* list;
    const char* error;  // "" when read
  } cases[] = {
      {"values,powers,range,bolts,team,movement,rank,length", ""},
      {"range", ""},
      {"values,,range", "an empty kind of change"},
      {"value", "unknown kind of change \"value\""},
      {"", "an empty kind of change"},
  };
  for (const auto& c : cases) {
    ChangeKinds kinds;
    std::string error;
    EXPECT_EQ(ParseChangeKinds(c.list, kinds, &error), *c.error == '\0') << c.list;
    EXPECT_EQ(error, c.error) << c.list;
  }
  ChangeKinds kinds;
  ASSERT_TRUE(ParseChangeKinds("bolts,values", kinds, nullptr));
  EXPECT_TRUE(kinds.Allows(ChangeKind::Bolts) && kinds.Allows(ChangeKind::Value));
  EXPECT_FALSE(kinds.Allows(ChangeKind::Range));
}

}  // namespace
}  // namespace zandorik
