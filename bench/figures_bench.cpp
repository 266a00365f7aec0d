// The Figures window over a data file of 100,000 random figures (every
// kind of damage and deleted records among them, as make_data_file makes
// them): a plain read of the file as the yardstick, the library read
// (every figure priced), the window filled and shown, a keystroke in its
// filter box, a sort by a column, and the memory the filled window takes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/form_figures.h"
#include "testing/random_record.h"
#include "testing/scripted_desktop.h"

namespace zandorik {
namespace {

constexpr int kRecords = 100000;

// Made on first use and removed when the program ends.
const std::string& BigFile() {
  static const std::string* path = [] {
    auto* p = new std::string((std::filesystem::temp_directory_path() /
                               ("zandorik_figures_bench_" + std::to_string(::getpid()) + ".QMV"))
                                  .string());
    std::ofstream out(*p, std::ios::binary);
    for (const FigureRecord& r : RandomNamedRecords(kRecords, 2026)) {
      const RecordBytes bytes = EncodeRecord(r);
      out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::atexit([] { std::filesystem::remove(*path); });
    return p;
  }();
  return *path;
}

// Resident memory of the process, in megabytes.
double ResidentMB() {
  std::ifstream status("/proc/self/statm");
  long pages = 0, resident = 0;
  status >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

struct Window {
  ScriptedDesktop desktop;
  DialEditor editor{desktop};
  std::unique_ptr<FormFigures> form;
  bool Make() {
    form = std::make_unique<FormFigures>(
        desktop, editor, [] { return BigFile(); }, [](const NameEntry&) { return true; }, nullptr);
    form->show();
    const bool exposed = QTest::qWaitForWindowExposed(form.get());
    QApplication::processEvents();
    return exposed;
  }
};

void BM_PlainRead(benchmark::State& state) {
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    const int fd = ::open(BigFile().c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
  }
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_ReadLibrary(benchmark::State& state) {
  std::vector<LibraryFigure> figures;
  FileStamp stamp;
  for (auto _ : state) {
    LoadLibrary(BigFile(), kLockWait, figures, stamp, nullptr, nullptr);
    benchmark::DoNotOptimize(figures.data());
  }
  state.counters["figures"] = static_cast<double>(figures.size());
}
BENCHMARK(BM_ReadLibrary)->Unit(benchmark::kMillisecond);

// From nothing to the window shown with every figure in its table.
void BM_WindowFilledAndShown(benchmark::State& state) {
  BigFile();
  double grew = 0;
  for (auto _ : state) {
    const double before = ResidentMB();
    Window window;
    if (!window.Make()) state.SkipWithError("not exposed");
    grew = std::max(grew, ResidentMB() - before);
    state.PauseTiming();
    window.form.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["window_MB"] = grew;
  state.counters["process_MB"] = ResidentMB();
}
BENCHMARK(BM_WindowFilledAndShown)->Unit(benchmark::kMillisecond)->Iterations(3);

// A letter typed into the filter box and taken out again: two keystrokes,
// each until the table shows its rows.
void BM_FilterKeystroke(benchmark::State& state) {
  Window window;
  if (!window.Make()) state.SkipWithError("not exposed");
  const char* text = state.range(0) ? "a" : "charge";
  QTest::keyClicks(window.form->TextFilter(), QString::fromUtf8(text).chopped(1));
  const QChar last = QString::fromUtf8(text).back();
  for (auto _ : state) {
    QTest::keyClick(window.form->TextFilter(), last.toLatin1());
    QApplication::processEvents();
    QTest::keyClick(window.form->TextFilter(), Qt::Key_Backspace);
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * 2);
  state.counters["shown"] = window.form->Filtered()->rowCount();
}
BENCHMARK(BM_FilterKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A click on a column's title: the table sorted by it, shown.
void BM_Sort(benchmark::State& state) {
  Window window;
  if (!window.Make()) state.SkipWithError("not exposed");
  QTableView* table = window.form->TableFigures();
  const int columns[] = {
      static_cast<int>(LibraryColumn::Name), static_cast<int>(LibraryColumn::Points),
      static_cast<int>(LibraryColumn::Team), static_cast<int>(LibraryColumn::Powers)};
  int next = 0;
  for (auto _ : state) {
    const int column = columns[next % 4];
    ++next;
    table->sortByColumn(column, next % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_Sort)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zandorik
