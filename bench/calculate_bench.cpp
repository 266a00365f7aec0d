// Pricing one figure, as the Calculate button does.
#include <benchmark/benchmark.h>

#include "cost/calculations.h"
#include "testing/worked_figure.h"
#include "store/record_screen.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

class NullSink : public MessageSink {
 public:
  void Message(const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
};

// Points and breakdown values of the worked figure.
void BM_CalculateWorkedFigure(benchmark::State& state) {
  const FigureScreen figure = WorkedFigure();
  NullSink sink;
  for (auto _ : state) {
    const Calculation calc = CalculateFigure(figure, sink);
    benchmark::DoNotOptimize(calc);
  }
}
BENCHMARK(BM_CalculateWorkedFigure);

// The worked figure as a stored record, priced from its numbers.
void BM_CalculateWorkedRecord(benchmark::State& state) {
  FigureRecord record;
  StoreScreenInRecord(WorkedFigure(), record);
  NullSink sink;
  for (auto _ : state) {
    const Calculation calc = CalculateFigure(RecordFigure(record), sink);
    benchmark::DoNotOptimize(calc);
  }
}
BENCHMARK(BM_CalculateWorkedRecord);

// The same, with the points and the eleven breakdown fields as texts.
void BM_CalculateWorkedFigureWithTexts(benchmark::State& state) {
  const FigureScreen figure = WorkedFigure();
  NullSink sink;
  for (auto _ : state) {
    const Calculation calc = CalculateFigure(figure, sink);
    std::string points = PointsText(calc);
    std::array<std::string, 11> texts = BreakdownTexts(calc.breakdown);
    benchmark::DoNotOptimize(points);
    benchmark::DoNotOptimize(texts);
  }
}
BENCHMARK(BM_CalculateWorkedFigureWithTexts);

// A figure with a power on every square, so every rule table is walked.
void BM_CalculateAllPowers(benchmark::State& state) {
  FigureScreen figure = WorkedFigure();
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      DialSquare& square = figure.dial[row][column];
      square.ko = false;
      square.caption = row == 3 ? "2" : "7";
      square.background = kColours[2 + (row + column) % 10].code;
    }
  }
  NullSink sink;
  for (auto _ : state) {
    const Calculation calc = CalculateFigure(figure, sink);
    benchmark::DoNotOptimize(calc);
  }
}
BENCHMARK(BM_CalculateAllPowers);

}  // namespace
}  // namespace zandorik
