// A dial sheet on a disk that fails: whatever the format, a full disk, a
// failed flush or a failed rename is said, and the files already there
// stay as they were, with no temporary file left beside them.
#include "sheet/sheet_output.h"

#include <filesystem>
#include <fstream>

#include "testing/faulty_calls.h"
#include "testing/sheet_test_support.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

TEST(SheetOutput, AFailedWriteLeavesTheEarlierFilesAsTheyWere) {
  std::vector<SheetFigure> figures = ExampleFigures();
  figures.insert(figures.end(), figures.begin(), figures.end());
  const Sheet sheet = LayOutSheet(figures, {Paper::A4, 40, "figures.QMV"});
  ASSERT_GT(sheet.pages.size(), 1u);
  const fs::path dir = testing::TempDir() + "zandorik_output_" + std::to_string(::getpid());
  fs::create_directories(dir);
  for (const char* name : {"sheet.pdf", "sheet.svg", "sheet.png"}) {
    const std::string path = (dir / name).string();
    const std::vector<std::string> paths =
        SheetFilePaths(path, *SheetFormatOf(path), static_cast<int>(sheet.pages.size()));
    for (const int fault : {ENOSPC, EIO, EXDEV}) {
      SCOPED_TRACE(std::string(name) + ", " + std::strerror(fault));
      for (const std::string& p : paths)
        std::ofstream(p) << "earlier";
      FaultyCalls calls;
      std::size_t taken = 0;  // a disk full after 20,000 bytes; a flush; a rename
      calls.write = [&](int fd, const void* b, size_t n) {
        return fault == ENOSPC && (taken += n) > 20000 ? Failing(ENOSPC)
                                                       : SystemCalls::Real().Write(fd, b, n);
      };
      calls.fsync = [&](int fd) {
        return fault == EIO ? static_cast<int>(Failing(EIO)) : SystemCalls::Real().Fsync(fd);
      };
      calls.rename = [&](const char* from, const char* to) {
        return fault == EXDEV ? static_cast<int>(Failing(EXDEV))
                              : SystemCalls::Real().Rename(from, to);
      };
      std::vector<std::string> written;
      FileError error;
      EXPECT_FALSE(WriteSheet(sheet, path, 100, "test", {}, written, &error, &calls));
      EXPECT_TRUE(error.description.starts_with("cannot write " + dir.string()));
      EXPECT_TRUE(error.description.ends_with(std::string(": ") + std::strerror(fault)));
      EXPECT_TRUE(written.empty());
      for (const std::string& p : paths) {
        std::ifstream in(p);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier") << p;
      }
      EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})),
                paths.size());
    }
    for (const std::string& p : paths)
      fs::remove(p);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zandorik
