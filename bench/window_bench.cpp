// The main window: shown from nothing, beside a bare Qt main window, a
// press of "Calculate" on the worked figure, and an undo or redo of a KO
// marking of the whole dial and of a figure loaded from the name list,
// each until the window shows it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <functional>

#include "app/form_main.h"
#include "testing/window/form_main_driver.h"

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
  ScriptedWindowDesktop desktop;
  for (auto _ : state) {
    FormMain form(desktop);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
    QApplication::processEvents();
  }
}
BENCHMARK(BM_FormMainShown)->Unit(benchmark::kMicrosecond);

void BM_CalculatePress(benchmark::State& state) {
  ScriptedWindowDesktop desktop;
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

// The worked figure on a shown window, then `step`, then undo and redo of
// that step in turn, each with the window redrawn; the time is per undo or
// redo. `step` says what went wrong, or nothing.
void UndoRedo(benchmark::State& state,
              const std::function<const char*(FormMain&, FormMainDriver&)>& step) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
  FormMainDriver drive(form, desktop);
  drive.EnterWorkedFigure();
  if (const char* failure = step(form, drive)) state.SkipWithError(failure);
  if (!form.MenuEditUndo()->isEnabled()) state.SkipWithError("nothing to undo");
  for (auto _ : state) {
    form.MenuEditUndo()->trigger();
    form.MenuEditRedo()->trigger();
  }
  state.SetItemsProcessed(2 * state.iterations());
}

void BM_UndoRedoKOMarking(benchmark::State& state) {
  UndoRedo(state, [](FormMain& form, FormMainDriver& drive) -> const char* {
    drive.MarkKO(StatRow::Attack, 0);
    return form.ShowsKO(StatRow::Damage, 0) ? nullptr : "not marked";
  });
}
BENCHMARK(BM_UndoRedoKOMarking)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoLoad(benchmark::State& state) {
  const std::string path = "/tmp/zandorik_window_bench_" + std::to_string(::getpid()) + ".QMV";
  {
    FigureRecord record;
    record.Name = "Loaded";
    record.Range = 6;
    for (StatRow row : kStatRows) {
      for (int k = 0; k < kColumnCount; ++k) {
        record.RowOf(row).Value[k] = static_cast<std::int16_t>(row == StatRow::Damage ? 3 : 9);
        record.RowOf(row).Colour[k] = k >= 8 ? kKOCode : kColours[2 + k].code;
      }
    }
    const RecordBytes bytes = EncodeRecord(record);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  UndoRedo(state, [&](FormMain& form, FormMainDriver& drive) -> const char* {
    form.OpenDataFile(path);
    drive.PickName(0);
    return form.TextRange()->text() == QStringLiteral("6") ? nullptr : "not loaded";
  });
  std::remove(path.c_str());
}
BENCHMARK(BM_UndoRedoLoad)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zandorik
