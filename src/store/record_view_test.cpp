#include "store/record_view.h"

#include <gtest/gtest.h>

#include <bit>

#include "cost/calculations.h"
#include "model/numbers.h"
#include "store/random_record.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

// Everything a calculation tells its sink, in order: messages and steps.
class LogSink : public MessageSink {
 public:
  void Message(const std::string& text) override { log.push_back("message " + text); }
  void Reached(CalculationStep step, const Calculation& sofar) override {
    const Breakdown& b = sofar.breakdown;
    log.push_back(
        "step " + std::to_string(static_cast<int>(step)) + ": " +
        Bits({b.speed, b.attack, b.defense, b.damage, b.speedPower, b.attackPower, b.defensePower,
              b.damagePower, b.range, b.bolts, b.team, sofar.movement, sofar.total}) +
        (sofar.points ? std::to_string(*sofar.points) : "none"));
  }
  // Exact: the bits of each value, so that -0 and NaN count too.
  static std::string Bits(std::initializer_list<double> values) {
    std::string text;
    for (double v : values)
      text += std::to_string(std::bit_cast<std::uint64_t>(v)) + " ";
    return text;
  }
  std::vector<std::string> log;
};

// A record is priced from its numbers exactly as from the screen that
// loading it shows, damaged records included: same values to the bit, same
// messages, same steps, same damage reports.
TEST(RecordFigure, PricesLikeTheScreenItLoadsInto) {
  std::mt19937 random(2024);
  FigureScreen screen;  // reused, as the window reuses its controls
  int damaged = 0, withMessages = 0;
  for (int n = 0; n < 5000; ++n) {
    const FigureRecord record = RandomRecord(random);
    LogSink fromScreen, fromRecord;
    const std::vector<std::string> screenDamage = ShowRecordOnScreen(record, screen);
    CalculateFigure(screen, fromScreen);
    std::vector<std::string> recordDamage;
    DescribeRecordDamage(record, recordDamage);
    const RecordFigure figure(record);
    CalculateFigure(figure, fromRecord);

    ASSERT_EQ(recordDamage, screenDamage) << "record " << n;
    ASSERT_EQ(figure.Sound(), recordDamage.empty()) << "record " << n;
    ASSERT_EQ(fromRecord.log, fromScreen.log) << "record " << n;
    damaged += !recordDamage.empty();
    withMessages += fromRecord.log.size() > 5;
  }
  // The random records reach the damaged and the message paths often.
  EXPECT_GT(damaged, 1000);
  EXPECT_GT(withMessages, 1000);
}

TEST(RecordFigure, ReadsWhatLoadingShows) {
  FigureRecord r;
  r.MoveIndex = 3;
  r.TeamIndex = 21;
  r.Range = -4;
  r.Bolt = {1, 2, 1};
  r.RankIndex = 4;
  r.RowOf(StatRow::Attack).Colour[3] = kKOCode;
  r.RowOf(StatRow::Attack).Value[3] = 9;
  r.RowOf(StatRow::Attack).Value[4] = -9;
  r.RowOf(StatRow::Defense).Colour[0] = 65280;
  const RecordFigure f(r);
  EXPECT_EQ(f.MoveName(), "");
  EXPECT_EQ(f.TeamName(), "Q-Breed");
  EXPECT_EQ(f.RangeValue(), -4);
  EXPECT_TRUE(f.BoltChecked(0) && !f.BoltChecked(1) && f.BoltChecked(2));
  EXPECT_TRUE(f.RankChosen(4) && !f.RankChosen(0));
  EXPECT_TRUE(f.ShowsKO(StatRow::Attack, 3));
  EXPECT_EQ(f.CaptionValue(StatRow::Attack, 3), 0);
  EXPECT_EQ(f.ColourName(StatRow::Attack, 3), "White");
  EXPECT_EQ(f.CaptionValue(StatRow::Attack, 4), -9);
  EXPECT_EQ(f.ColourName(StatRow::Defense, 0), "Green");
  EXPECT_EQ(f.ColourName(StatRow::Defense, 1), "Black");  // colour 0
}

}  // namespace
}  // namespace zandorik
