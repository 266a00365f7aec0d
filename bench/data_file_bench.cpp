// The data file with 100,000 records (48.6 MB): a plain read of it as the
// yardstick, the scans of the name list and of the search by name, taking
// and letting go of the file's lock, "&Open File" to the name list filled,
// the journal's check sum of the whole file, and a save (lock, search,
// journal, write, flush, list rebuilt) on the real window.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/form_main.h"
#include "store/data_file.h"
#include "store/journal.h"
#include "testing/window/form_main_driver.h"

namespace zandorik {
namespace {

constexpr int kRecords = 100000;

// Made on first use and removed when the program ends (the path is never
// destroyed, so the removal can still read it).
const std::string& BigFile() {
  static const std::string* path = [] {
    auto* p = new std::string((std::filesystem::temp_directory_path() /
                               ("zandorik_data_bench_" + std::to_string(::getpid()) + ".QMV"))
                                  .string());
    std::ofstream out(*p, std::ios::binary);
    for (int n = 1; n <= kRecords; ++n) {
      FigureRecord r = n % 10 == 0 ? DeletedRecord() : FigureRecord{};
      if (!r.IsDeleted()) r.Name = "Figure " + std::to_string(n);
      const RecordBytes bytes = EncodeRecord(r);
      out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::atexit([] { std::filesystem::remove(*path); });
    return p;
  }();
  return *path;
}

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

void BM_ListNames(benchmark::State& state) {
  DataFile file;
  file.Open(BigFile(), false, nullptr);
  std::vector<NameEntry> names;
  for (auto _ : state)
    file.ListNames(names, nullptr);
  if (names.size() != kRecords - kRecords / 10) state.SkipWithError("wrong count");
}
BENCHMARK(BM_ListNames)->Unit(benchmark::kMillisecond);

// The last figure, so that the whole file is searched.
void BM_FindLastFigure(benchmark::State& state) {
  DataFile file;
  file.Open(BigFile(), false, nullptr);
  DataFile::Found found;
  for (auto _ : state)
    file.FindRecordByName("Figure 99999", found, nullptr);
  if (found.number != 99999) state.SkipWithError("not found");
}
BENCHMARK(BM_FindLastFigure)->Unit(benchmark::kMillisecond);

// What the journal adds to every save: the check sum of the whole file as
// it was, which ties the journal to it.
void BM_JournalCheckSum(benchmark::State& state) {
  RecordFile raw;
  raw.Open(BigFile(), RecordFile::Mode::ReadOnly, nullptr);
  RecordFile::Status status;
  raw.Stat(status, nullptr);
  std::uint32_t checksum = 0;
  for (auto _ : state) {
    if (!ChecksumOfFile(raw, status.size, {}, checksum, nullptr)) state.SkipWithError("unread");
  }
  benchmark::DoNotOptimize(checksum);
}
BENCHMARK(BM_JournalCheckSum)->Unit(benchmark::kMillisecond);

// What the lock adds to every save: taking it and letting it go.
void BM_LockAndUnlock(benchmark::State& state) {
  DataFile file;
  file.Open(BigFile(), false, nullptr);
  for (auto _ : state) {
    FileLock lock = file.Lock(RecordFile::LockKind::Exclusive, kLockWait, nullptr);
    if (!lock) state.SkipWithError("no lock");
  }
}
BENCHMARK(BM_LockAndUnlock)->Unit(benchmark::kMicrosecond);

void BM_OpenToNameListFilled(benchmark::State& state) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.show();
  for (auto _ : state) {
    form.OpenDataFile(BigFile());
    benchmark::DoNotOptimize(form.ComboName()->count());
  }
  if (form.ComboName()->count() != kRecords - kRecords / 10) state.SkipWithError("wrong count");
}
BENCHMARK(BM_OpenToNameListFilled)->Unit(benchmark::kMillisecond);

void BM_SaveOnTheWindow(benchmark::State& state) {
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.show();
  form.OpenDataFile(BigFile());
  FormMainDriver(form, desktop).TypeName(QStringLiteral("Figure 99999"));
  for (auto _ : state) {
    form.MenuFileSave()->trigger();
    desktop.boxes.clear();
  }
  if (form.ComboName()->count() != kRecords - kRecords / 10) state.SkipWithError("wrong count");
}
BENCHMARK(BM_SaveOnTheWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zandorik
