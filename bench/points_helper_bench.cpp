// The window with the points helper open: an edit of the figure until the
// helper shows its new price and worth (its search starts on a thread of
// its own), beside the same edit with the helper closed, in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "app/form_main.h"
#include "testing/window/form_main_driver.h"

namespace zandorik {
namespace {

// Types 9 and 10 in turn into a square of the worked figure; `helper`
// opens the points helper first, with a target to search for.
void Edit(benchmark::State& state, bool helper) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
  FormMainDriver drive(form, desktop);
  drive.EnterWorkedFigure();
  drive.Click(StatRow::Attack, 3);
  if (helper) {
    form.MenuOptionsPointsHelper()->trigger();
    form.PointsHelper()->TextTarget()->setText(QStringLiteral("60"));
  }
  bool nine = false;
  for (auto _ : state) {
    nine = !nine;
    form.TextValue()->setText(nine ? QStringLiteral("9") : QStringLiteral("10"));
    emit form.TextValue()->textEdited(form.TextValue()->text());
    if (helper) benchmark::DoNotOptimize(form.PointsHelper()->TextPoints()->text());
  }
  if (helper && form.PointsHelper()->TextTotal()->text().isEmpty())
    state.SkipWithError("no live price");
}

void BM_EditWithoutHelper(benchmark::State& state) {
  Edit(state, false);
}
BENCHMARK(BM_EditWithoutHelper)->Unit(benchmark::kMicrosecond);

void BM_EditWithHelper(benchmark::State& state) {
  Edit(state, true);
}
BENCHMARK(BM_EditWithHelper)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zandorik
