// zandorik-cost over a 100,000-record file (48.6 MB), beside a plain read
// of the same file. "per_figure" is the time of a run over the number of
// records.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "cli/subcommand.h"
#include "program/exit_status.h"
#include "program/output.h"
#include "store/record_file.h"
#include "testing/random_record.h"

namespace zandorik {
namespace {

constexpr int kRecords = 100000;

// The file lives as long as the program; its destructor removes it.
struct TemporaryFile {
  std::string path;
  ~TemporaryFile() { std::filesystem::remove(path); }
};

std::string MakeBigFile() {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("zandorik_bench_" + std::to_string(::getpid()) + ".QMV"))
                               .string();
  std::mt19937 random(7);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  for (int n = 1; n <= kRecords; ++n) {
    const RecordBytes bytes =
        EncodeRecord(n % 50 == 0 ? DeletedRecord() : SoundRandomRecord(random, n));
    std::fwrite(bytes.data(), 1, bytes.size(), f);
  }
  std::fclose(f);
  return path;
}

const std::string& BigFile() {
  static const TemporaryFile file{MakeBigFile()};
  return file.path;
}

// Time per record of the file, beside the time of the whole run.
void PerFigure(benchmark::State& state) {
  state.counters["per_figure"] = benchmark::Counter(
      kRecords, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PlainRead(benchmark::State& state) {
  const std::string& path = BigFile();
  auto buffer = std::make_unique<char[]>(1024 * kRecordLength);
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::size_t total = 0;
    for (std::size_t n; (n = std::fread(buffer.get(), 1, 1024 * kRecordLength, f)) > 0;) {
      total += n;
    }
    std::fclose(f);
    benchmark::DoNotOptimize(total);
  }
  PerFigure(state);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void Cost(benchmark::State& state, std::vector<std::string> args) {
  args.push_back(BigFile());
  std::FILE* null = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    if (RunCoster(args, null, stderr) != kExitOk) state.SkipWithError("coster failed");
  }
  std::fclose(null);
  PerFigure(state);
}
BENCHMARK_CAPTURE(Cost, Plain, std::vector<std::string>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Cost, Breakdown, std::vector<std::string>{"--breakdown"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Cost, Json, std::vector<std::string>{"--json"})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zandorik
