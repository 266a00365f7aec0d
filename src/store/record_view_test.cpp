#include "store/record_view.h"

#include <gtest/gtest.h>

#include <bit>

#include "cost/calculations.h"
#include "model/numbers.h"
#include "store/record_screen.h"
#include "testing/random_record.h"

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
    std::vector<std::string> screenDamage;
    ShowRecordOnScreen(record, screen, &screenDamage);
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

}  // namespace
}  // namespace zandorik
