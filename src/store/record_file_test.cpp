#include "store/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/test_data_file.h"

namespace zandorik {
namespace {

class RecordFileTest : public ::testing::Test {
 protected:
  std::uintmax_t FileSize() const { return std::filesystem::file_size(path_); }

  TestDataFile data_;
  const std::filesystem::path& dir_ = data_.dir;
  const std::string& path_ = data_.path;
};

FigureRecord Named(const std::string& name) {
  FigureRecord r;
  r.Name = name;
  return r;
}

TEST_F(RecordFileTest, GrowsOneRecordAtATimeAndRewritesInPlace) {
  RecordFile file;
  ASSERT_TRUE(file.Open(path_, RecordFile::Mode::ReadWrite, nullptr));
  FigureRecord r;
  EXPECT_EQ(file.Read(1, r, nullptr), RecordFile::ReadResult::EndOfFile);
  EXPECT_EQ(FileSize(), 0u);

  ASSERT_TRUE(file.Write(1, Named("A"), nullptr));
  EXPECT_EQ(FileSize(), 486u);
  ASSERT_TRUE(file.Write(2, Named("B"), nullptr));
  EXPECT_EQ(FileSize(), 972u);
  ASSERT_TRUE(file.Write(1, Named("A2"), nullptr));
  EXPECT_EQ(FileSize(), 972u);
  FileError error;
  EXPECT_FALSE(file.Write(4, Named("gap"), &error));  // never leaves a hole
  EXPECT_FALSE(file.Write(0, Named("none"), &error));
  EXPECT_EQ(FileSize(), 972u);

  ASSERT_EQ(file.Read(1, r, nullptr), RecordFile::ReadResult::Ok);
  EXPECT_EQ(r.Name, "A2" + std::string(28, ' '));
  ASSERT_EQ(file.Read(2, r, nullptr), RecordFile::ReadResult::Ok);
  EXPECT_EQ(r.Name, "B" + std::string(29, ' '));
  EXPECT_EQ(file.Read(3, r, nullptr), RecordFile::ReadResult::EndOfFile);
}

TEST_F(RecordFileTest, OpeningKeepsWhatIsThere) {
  {
    RecordFile file;
    ASSERT_TRUE(file.Open(path_, RecordFile::Mode::ReadWrite, nullptr));
    ASSERT_TRUE(file.Write(1, Named("Keep"), nullptr));
  }
  RecordFile again;
  ASSERT_TRUE(again.Open(path_, RecordFile::Mode::ReadWrite, nullptr));
  EXPECT_EQ(FileSize(), 486u);
  FigureRecord r;
  ASSERT_EQ(again.Read(1, r, nullptr), RecordFile::ReadResult::Ok);
  EXPECT_EQ(r.Name.substr(0, 4), "Keep");
}

TEST_F(RecordFileTest, PartialLastRecordIsNotARecord) {
  {
    std::ofstream out(path_, std::ios::binary);
    const RecordBytes bytes = EncodeRecord(Named("Whole"));
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    out.write("partial", 7);
  }
  RecordFile file;
  ASSERT_TRUE(file.Open(path_, RecordFile::Mode::ReadOnly, nullptr));
  FigureRecord r;
  EXPECT_EQ(file.Read(1, r, nullptr), RecordFile::ReadResult::Ok);
  EXPECT_EQ(file.Read(2, r, nullptr), RecordFile::ReadResult::EndOfFile);
  std::int64_t size = 0;
  ASSERT_TRUE(file.Size(size, nullptr));
  EXPECT_EQ(size, 493);
}

TEST_F(RecordFileTest, ReportsFilesThatCannotBeOpened) {
  RecordFile file;
  FileError error;
  EXPECT_FALSE(file.Open((dir_ / "missing.QMV").string(), RecordFile::Mode::ReadOnly, &error));
  EXPECT_NE(error.number, 0);
  EXPECT_FALSE(error.description.empty());
  EXPECT_FALSE(file.Open(dir_.string(), RecordFile::Mode::ReadOnly, &error));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Write(1, Named("x"), &error));
}

}  // namespace
}  // namespace zandorik
