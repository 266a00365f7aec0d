// The main window: shown from nothing, beside a bare Qt main window, and a
// press of "Calculate" on the worked figure.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include "app/form_main.h"
#include "editor/scripted_desktop.h"

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
  const char* rows[4][6] = {{"8", "8", "7", "7", "6", "6"},
                            {"10", "10", "9", "9", "9", "8"},
                            {"17", "17", "16", "16", "15", "15"},
                            {"3", "3", "2", "2", "2", "1"}};
  for (StatRow row : kStatRows) {
    for (int column = 0; column < 6; ++column) {
      QTest::mouseClick(form.Square(row, column), Qt::LeftButton);
      form.TextValue()->selectAll();
      QTest::keyClicks(form.TextValue(), rows[static_cast<int>(row)][column]);
    }
  }
  QTest::mouseClick(form.Square(StatRow::Speed, 6), Qt::LeftButton);
  desktop.answers.push_back(true);
  form.ImageComboColors()->setCurrentIndex(0);
  emit form.ImageComboColors()->activated(0);
  form.TextRange()->setText("6");
  emit form.TextRange()->textEdited("6");
  form.CheckBolt(1)->setChecked(true);
  form.ComboMove()->setCurrentIndex(2);
  form.ComboTeam()->setCurrentIndex(1);
  form.OptionRank(1)->setChecked(true);
  for (auto _ : state) {
    form.CommandCalculate()->click();
    benchmark::DoNotOptimize(form.TextPoints()->text());
  }
  if (form.TextPoints()->text() != QStringLiteral("46")) state.SkipWithError("wrong points");
}
BENCHMARK(BM_CalculatePress)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zandorik

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  zandorik::ApplyDialLook();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
