// The team window with 20 entries: a count changed until the total against
// the cap shows it, the window redrawn, beside a press of "Calculate" on
// the main window redrawn, in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>

#include "app/form_main.h"
#include "app/form_team.h"
#include "store/figure_text.h"
#include "store/record_file.h"
#include "team/team_file.h"
#include "testing/window/form_main_driver.h"

namespace zandorik {
namespace {

// A team file of 20 entries: the sample figures, each from four data
// files, so that none counts for another.
std::string TwentyEntries() {
  RecordFile file;
  FileError error;
  std::vector<FigureRecord> records;
  if (file.Open(ZANDORIK_EXAMPLES_DIR "/figures.QMV", RecordFile::Mode::ReadOnly, &error)) {
    FigureRecord record;
    for (std::int64_t n = 1; file.Read(n, record, &error) == RecordFile::ReadResult::Ok; ++n)
      if (!record.IsDeleted()) records.push_back(record);
  }
  Team team{"Twenty", kMaxTeamCap, {}};
  for (std::size_t i = 0; i < 20 && !records.empty(); ++i) {
    const FigureRecord& record = records[i % records.size()];
    team.entries.push_back(TeamFigure::Of(
        record, TeamSource{"copy" + std::to_string(i / records.size()) + ".QMV", ShownName(record)},
        1));
  }
  const std::string path = "/tmp/zandorik_team_bench_" + std::to_string(::getpid()) + ".json";
  WriteTeamFile(path, team, true, nullptr);
  return path;
}

void BM_TeamCountChanged(benchmark::State& state) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.MenuFileTeam()->trigger();
  FormTeam* team = form.TeamWindow();
  if (!QTest::qWaitForWindowExposed(team)) state.SkipWithError("not exposed");
  const std::string path = TwentyEntries();
  team->Commands().OpenFile(path);
  team->ShowTeam();
  std::filesystem::remove(path);
  if (team->TableEntries()->rowCount() != 20) state.SkipWithError("not 20 entries");
  QSpinBox* count = team->SpinCount(10);
  int value = 1;
  for (auto _ : state) {
    value = 3 - value;
    count->setValue(value);
    team->repaint();
  }
  const Team& now = team->Commands().Current();
  if (now.entries[10].count != value ||
      team->LabelTotal()->text().toStdString() != TotalText(TotalOf(now)))
    state.SkipWithError("the total is not the team's");
}
BENCHMARK(BM_TeamCountChanged)->Unit(benchmark::kMicrosecond);

void BM_CalculatePressRedrawn(benchmark::State& state) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
  FormMainDriver(form, desktop).EnterWorkedFigure();
  for (auto _ : state) {
    form.CommandCalculate()->click();
    form.repaint();
  }
  if (form.TextPoints()->text() != QStringLiteral("46")) state.SkipWithError("wrong points");
}
BENCHMARK(BM_CalculatePressRedrawn)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zandorik
