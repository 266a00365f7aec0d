// The main window: shown from nothing, beside a bare Qt main window, and a
// press of "Calculate" on the worked figure.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include "app/form_main.h"
#include "testing/form_main_driver.h"

namespace zandorik {
namespace {

void BM_BareMainWindowShown(benchmark::State& state) {
  for (auto _ : state) {
    QMainWindow window;
    window.setCentralWidget(new QWidget);
    window.centralWidget()->setFixedSize(423, 237);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) state.SkipWithError("not exposed");
    QApplication::processEvents();
  }
}
BENCHMARK(BM_BareMainWindowShown)->Unit(benchmark::kMicrosecond);

void BM_FormMainShown(benchmark::State& state) {
  ScriptedDesktop desktop;
  for (auto _ : state) {
    FormMain form(desktop);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
    QApplication::processEvents();
  }
}
BENCHMARK(BM_FormMainShown)->Unit(benchmark::kMicrosecond);

void BM_CalculatePress(benchmark::State& state) {
  ScriptedDesktop desktop;
  FormMain form(desktop);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
  FormMainDriver(form, desktop).EnterWorkedFigure();
  for (auto _ : state) {
    form.CommandCalculate()->click();
    benchmark::DoNotOptimize(form.TextPoints()->text());
  }
  if (form.TextPoints()->text() != QStringLiteral("46")) state.SkipWithError("wrong points");
}
BENCHMARK(BM_CalculatePress)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zandorik
