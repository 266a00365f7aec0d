// Writes a data file of random figures for the benchmarks: sound figures
// with every kind of damage mixed in, deleted records among them, each
// figure with a name of its own; with "sound", sound figures only and every
// fiftieth record deleted (the coster's benchmark).
//   make_data_file OUT.QMV [RECORDS [sound]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "testing/random_record.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("Usage: make_data_file OUT.QMV [RECORDS [sound]]\n", stderr);
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const auto write = [out](const zandorik::FigureRecord& record) {
    const zandorik::RecordBytes bytes = zandorik::EncodeRecord(record);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
  };
  if (argc > 3 && std::string(argv[3]) == "sound") {
    std::mt19937 random(7);
    for (int n = 1; n <= count; ++n)
      write(n % 50 == 0 ? zandorik::DeletedRecord() : zandorik::SoundRandomRecord(random, n));
  } else {
    for (const zandorik::FigureRecord& record : zandorik::RandomNamedRecords(count, 2026))
      write(record);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
