// The points helper's work beside one Calculate of the same figure: the
// live price with the worth of every square (after each edit), and the
// search for single changes, pairs and triples, each searched through
// (a target no set reaches, so that the closest are looked for too).
#include <benchmark/benchmark.h>

#include "reach/draft_figure.h"
#include "reach/reach_search.h"
#include "reach/worth.h"
#include "testing/worked_figure.h"

namespace zandorik {
namespace {

// Eleven live clicks, a power on most squares, Super Strength among them.
FigureScreen FullFigure() {
  FigureScreen figure = WorkedFigure();
  const int values[kStatRowCount] = {9, 11, 17, 3};
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      DialSquare& square = figure.dial[row][column];
      square.ko = false;
      square.caption = std::to_string(values[row] - (row == 3 ? column / 4 : column / 2));
      square.background = kColours[(row + column) % 3 == 0 ? 1 : 2 + (row * 3 + column) % 10].code;
    }
  }
  return figure;
}

ChangeKinds Kinds(bool all) {
  ChangeKinds kinds = ChangeKinds::Default();
  for (int k = 0; all && k < kChangeKindCount; ++k)
    kinds.Allow(static_cast<ChangeKind>(k));
  return kinds;
}

void BM_Calculate(benchmark::State& state) {
  const FigureScreen figure = FullFigure();
  for (auto _ : state) {
    CollectingSink sink;
    benchmark::DoNotOptimize(CalculateFigure(figure, sink));
  }
}
BENCHMARK(BM_Calculate);

// What the helper works out after each edit: the price and its messages,
// and the four changes of every square.
void BM_LivePriceAndWorth(benchmark::State& state) {
  const FigureScreen figure = FullFigure();
  for (auto _ : state) {
    benchmark::DoNotOptimize(PriceFigure(figure));
    benchmark::DoNotOptimize(WorthOfDial(figure));
  }
}
BENCHMARK(BM_LivePriceAndWorth)->Unit(benchmark::kMicrosecond);

// Arguments: the most changes in a set (1 to 3), and 0 for the default
// kinds of change or 1 for every kind.
void BM_Search(benchmark::State& state) {
  const FigureScreen figure = FullFigure();
  ReachRequest request;
  request.target = 5000;
  request.maxChanges = static_cast<int>(state.range(0));
  request.kinds = Kinds(state.range(1) == 1);
  std::size_t found = 0;
  for (auto _ : state) {
    const ReachReport report = FindReach(figure, request);
    found = report.suggestions.size();
    if (report.outcome != ReachOutcome::Closest) state.SkipWithError("a set reached the target");
  }
  state.counters["closest"] = static_cast<double>(found);
}
BENCHMARK(BM_Search)
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->ArgNames({"changes", "allKinds"})
    ->Unit(benchmark::kMillisecond);

// A target that only triples reach (the first example of the README).
void BM_SearchReachedByTriples(benchmark::State& state) {
  FigureScreen figure = FullFigure();
  ReachRequest request;
  request.target = static_cast<int>(*PriceFigure(figure).calculation.points) + 90;
  request.kinds = Kinds(state.range(0) == 1);
  int most = 0;
  for (auto _ : state)
    most = FindReach(figure, request).searched;
  state.counters["searched"] = most;
}
BENCHMARK(BM_SearchReachedByTriples)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("allKinds")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zandorik
