// Writes a data file of random figures for the benchmarks: sound figures
// with every kind of damage mixed in, deleted records among them, each
// figure with a name of its own.
//   make_data_file OUT.QMV [RECORDS]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "testing/random_record.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("Usage: make_data_file OUT.QMV [RECORDS]\n", stderr);
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  for (const zandorik::FigureRecord& record : zandorik::RandomNamedRecords(count, 2026)) {
    const zandorik::RecordBytes bytes = zandorik::EncodeRecord(record);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
