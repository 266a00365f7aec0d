// For the tests of the data file: a folder of each test's own, holding
// figures.QMV, and that file written from records.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/figure_record.h"

namespace zandorik {

class TestDataFile {
 public:
  TestDataFile()
      : dir(std::filesystem::temp_directory_path() /
            ("zandorik_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name())),
        path((dir / "figures.QMV").string()) {
    std::filesystem::create_directories(dir);
  }
  ~TestDataFile() {
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    std::filesystem::remove_all(dir);
  }

  void Write(const std::vector<FigureRecord>& records) const { WriteTo(path, records); }
  static void WriteTo(const std::string& path, const std::vector<FigureRecord>& records) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const FigureRecord& r : records) {
      const RecordBytes bytes = EncodeRecord(r);
      out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
  }
  std::string Bytes() const { return ReadFrom(path); }
  static std::string ReadFrom(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  const std::filesystem::path dir;
  const std::string path;
};

}  // namespace zandorik
