// The recovery file: what keeping it costs the window's thread (the bytes
// made and handed over), what a whole write costs the keeper's thread (a
// temporary file flushed to the disk and renamed), beside a plain write of
// the same bytes; and a burst of 1,000 edits on the window with and without
// recovery, each edit redrawn.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>

#include "app/form_main.h"
#include "recovery/recovery_file.h"
#include "testing/window/form_main_driver.h"

namespace zandorik {
namespace {

std::string Folder() {
  return (std::filesystem::temp_directory_path() /
          ("zandorik_recovery_bench_" + std::to_string(::getpid())))
      .string();
}

RecoveredFigure Figure(int range) {
  FigureRecord record;
  record.Name = "Bench";
  record.Range = static_cast<std::int16_t>(range);
  return {"/home/someone/figures.QMV", EncodeRecord(record)};
}

// The window's share: the bytes made and handed to the keeper's thread.
void BM_RecoveryKept(benchmark::State& state) {
  RecoveryKeeper keeper(Folder());
  int range = 0;
  for (auto _ : state)
    keeper.Keep(Figure(++range % 1000));
  keeper.Wait();
}
BENCHMARK(BM_RecoveryKept)->Unit(benchmark::kMicrosecond);

// The keeper's thread: the whole file written, flushed and renamed.
void BM_RecoveryFileWritten(benchmark::State& state) {
  FileError error;
  const auto slot = RecoverySlot::Create(Folder(), &error);
  const std::string bytes = EncodeRecovery(Figure(4));
  for (auto _ : state) {
    if (!slot->Write(bytes, &error)) state.SkipWithError("not written");
  }
  slot->Remove();
}
BENCHMARK(BM_RecoveryFileWritten)->Unit(benchmark::kMicrosecond);

// Baseline: the same bytes written over a file in place, not flushed.
void BM_PlainWriteBaseline(benchmark::State& state) {
  std::filesystem::create_directories(Folder());
  const std::string path = Folder() + "/plain";
  const std::string bytes = EncodeRecovery(Figure(4));
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      state.SkipWithError("not written");
    ::close(fd);
  }
  ::unlink(path.c_str());
}
BENCHMARK(BM_PlainWriteBaseline)->Unit(benchmark::kMicrosecond);

// 1,000 values typed into squares, each redrawn, then the events that
// follow; argument 1 with recovery on.
void BM_EditBurst(benchmark::State& state) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  FormMainDriver drive(form, desktop);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("not exposed");
  if (state.range(0)) form.StartRecovery(Folder());
  drive.Click(StatRow::Attack, 0);
  int value = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i)
      form.TextValue()->textEdited(QString::number(++value % 20 + 1));
    QApplication::processEvents();
  }
  if (form.Recovery()) form.Recovery()->Wait();
}
BENCHMARK(BM_EditBurst)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zandorik
