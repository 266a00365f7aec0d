#include "store/record_screen.h"

#include <gtest/gtest.h>

#include <cmath>

#include "testing/worked_figure.h"

namespace zandorik {
namespace {

FigureRecord WhiteRecord() {
  FigureRecord r;
  for (auto& row : r.Rows) {
    row.Value.fill(1);
    row.Colour.fill(kWhiteCode);
  }
  return r;
}

TEST(RecordOnScreen, ShowsValuesColoursAndKO) {
  FigureRecord r = WhiteRecord();
  r.MoveIndex = 2;
  r.TeamIndex = 18;
  r.RankIndex = 4;
  r.Range = -2;
  r.Bolt = {0, 1, 1};
  for (int column = 8; column < kColumnCount; ++column) {
    r.RowOf(StatRow::Damage).Colour[column] = kKOCode;
    r.RowOf(StatRow::Damage).Value[column] = 5;
  }
  r.RowOf(StatRow::Attack).Colour[2] = kBlackCode;
  r.RowOf(StatRow::Attack).Value[2] = -7;

  FigureScreen s;
  s.name = "kept";
  s.Square(StatRow::Speed, 0).ko = true;  // left over from an earlier figure
  EXPECT_TRUE(ShowRecordOnScreen(r, s));
  EXPECT_EQ(s.name, "kept");
  EXPECT_EQ(s.moveText, "Flight");
  EXPECT_EQ(s.teamText, "Skyborn Ally");
  EXPECT_EQ(s.rankSelected, (std::array<bool, 5>{false, false, false, false, true}));
  EXPECT_EQ(s.rangeText, "-2");
  EXPECT_EQ(s.bolts, (std::array<bool, 3>{false, true, true}));
  EXPECT_FALSE(s.Square(StatRow::Speed, 0).IsKO());
  for (int column = 8; column < kColumnCount; ++column) {
    const DialSquare& ko = s.Square(StatRow::Damage, column);
    EXPECT_TRUE(ko.IsKO());
    EXPECT_EQ(ko.caption, "");
    EXPECT_EQ(ko.background, kWhiteCode);
    EXPECT_FALSE(ko.HasWhiteCaption());
  }
  EXPECT_FALSE(s.Square(StatRow::Defense, 9).IsKO());  // KO is per row
  const DialSquare& black = s.Square(StatRow::Attack, 2);
  EXPECT_EQ(black.caption, "-7");
  EXPECT_TRUE(black.HasWhiteCaption());
}

TEST(RecordOnScreen, DamageNeverStopsLoading) {
  FigureRecord r = WhiteRecord();
  r.MoveIndex = 3;
  r.TeamIndex = -1;
  r.RankIndex = 5;
  r.Bolt = {2, 1, -1};
  r.RowOf(StatRow::Defense).Colour[4] = std::nan("");
  r.RowOf(StatRow::Speed).Colour[0] = 12345;
  FigureScreen s;
  std::vector<std::string> damage;
  EXPECT_FALSE(ShowRecordOnScreen(r, s, &damage));
  EXPECT_EQ(damage.size(), 7u);
  EXPECT_EQ(s.moveText, "");
  EXPECT_EQ(s.teamText, "");
  EXPECT_EQ(s.rankSelected, (std::array<bool, 5>{}));
  EXPECT_EQ(s.bolts, (std::array<bool, 3>{false, true, false}));
  EXPECT_EQ(s.Square(StatRow::Speed, 0).background, 12345);
  EXPECT_EQ(damage[0], "movement position 3 is outside the list (0 to 2)");
  EXPECT_EQ(damage.back(), "Defense square 5 has the colour NaN, which is no colour code");
}

TEST(ScreenInRecord, RoundsValuesAndMarksKO) {
  FigureScreen s;
  s.name = "Wrk";
  s.Square(StatRow::Speed, 0).caption = "2.5";
  s.Square(StatRow::Speed, 1).caption = "3.5";
  s.Square(StatRow::Speed, 2).caption = "";
  s.Square(StatRow::Speed, 3).caption = "abc";
  s.Square(StatRow::Attack, 0) = DialSquare{"99999", kWhiteCode, true};  // KO: caption ignored
  s.Square(StatRow::Defense, 0).background = kBlackCode;
  FigureRecord r;
  EXPECT_TRUE(StoreScreenInRecord(s, r));
  EXPECT_EQ(r.Name, "Wrk" + std::string(27, ' '));
  const auto& speed = r.RowOf(StatRow::Speed).Value;
  EXPECT_EQ((std::vector<int>{speed[0], speed[1], speed[2], speed[3]}),
            (std::vector<int>{2, 4, 0, 0}));
  EXPECT_EQ(r.RowOf(StatRow::Attack).Value[0], 0);
  EXPECT_EQ(r.RowOf(StatRow::Attack).Colour[0], -1);
  EXPECT_EQ(r.RowOf(StatRow::Defense).Colour[0], 0);
  EXPECT_EQ(r.RowOf(StatRow::Damage).Colour[0], kWhiteCode);
}

TEST(ScreenInRecord, RefusesValuesBeyondSixteenBits) {
  FigureScreen s;
  s.rangeText = "40000";
  s.Square(StatRow::Damage, 3).caption = "-32769";
  FigureRecord r;
  std::vector<std::string> refused;
  EXPECT_FALSE(StoreScreenInRecord(s, r, &refused));
  EXPECT_EQ(refused,
            (std::vector<std::string>{
                "The range 40000 does not fit in a record (values go from -32768 to 32767)",
                "The value of Damage square 4 -32769 does not fit in a record (values go "
                "from -32768 to 32767)"}));
}

TEST(ScreenInRecord, FiguresSurviveTheRoundTrip) {
  FigureScreen worked = WorkedFigure();
  worked.Square(StatRow::Attack, 1).background = ColourCodeFromName("Magenta");
  FigureRecord r;
  ASSERT_TRUE(StoreScreenInRecord(worked, r));
  FigureScreen back;
  ASSERT_TRUE(ShowRecordOnScreen(DecodeRecord(EncodeRecord(r).data()), back));
  back.name = worked.name;
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      EXPECT_EQ(back.dial[row][column].caption, worked.dial[row][column].caption);
      EXPECT_EQ(back.dial[row][column].background, worked.dial[row][column].background);
      EXPECT_EQ(back.dial[row][column].ko, worked.dial[row][column].ko);
    }
  }
  EXPECT_EQ(back.moveText, worked.moveText);
  EXPECT_EQ(back.teamText, worked.teamText);
  EXPECT_EQ(back.rankSelected, worked.rankSelected);
  EXPECT_EQ(back.bolts, worked.bolts);
  EXPECT_EQ(back.rangeText, worked.rangeText);
}

}  // namespace
}  // namespace zandorik
