// A dial sheet on a disk that fails: whatever the format, a full disk, a
// failed flush or a failed rename is said, and the files already there
// stay as they were, with no temporary file left beside them.
#include "sheet/sheet_output.h"

#include <filesystem>
#include <fstream>

#include "sheet/sheet_test_support.h"
#include "testing/faulty_calls.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

TEST(SheetOutput, AFailedWriteLeavesTheEarlierFilesAsTheyWere) {
  std::vector<SheetFigure> figures;
  for (int copy = 0; copy < 3; ++copy)
    for (const SheetFigure& figure : ExampleFigures())
      figures.push_back(figure);
  const Sheet sheet = LayOutSheet(figures, {Paper::A4, 40, "figures.QMV"});
  ASSERT_GT(sheet.pages.size(), 1u);
  const fs::path dir =
      fs::path(testing::TempDir()) / ("zandorik_output_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const struct {
    const char* what;
    std::function<void(FaultyCalls&, std::size_t&)> inject;
    const char* said;
  } faults[] = {
      {"a disk full after 20,000 bytes",
       [](FaultyCalls& calls, std::size_t& taken) {
         calls.write = [&taken](int fd, const void* b, size_t n) {
           if (taken + n > 20000) return Failing(ENOSPC);
           taken += n;
           return SystemCalls::Real().Write(fd, b, n);
         };
       },
       "No space left on device"},
      {"a failed flush",
       [](FaultyCalls& calls, std::size_t&) {
         calls.fsync = [](int) { return static_cast<int>(Failing(EIO)); };
       },
       "Input/output error"},
      {"a failed rename",
       [](FaultyCalls& calls, std::size_t&) {
         calls.rename = [](const char*, const char*) { return static_cast<int>(Failing(EXDEV)); };
       },
       "Invalid cross-device link"},
  };
  for (const char* name : {"sheet.pdf", "sheet.svg", "sheet.png"}) {
    const std::string path = (dir / name).string();
    const std::vector<std::string> paths =
        SheetFilePaths(path, *SheetFormatOf(path), static_cast<int>(sheet.pages.size()));
    for (const auto& fault : faults) {
      SCOPED_TRACE(std::string(name) + ", " + fault.what);
      for (const std::string& p : paths)
        std::ofstream(p) << "earlier";
      FaultyCalls calls;
      std::size_t taken = 0;
      fault.inject(calls, taken);
      std::vector<std::string> written;
      FileError error;
      EXPECT_FALSE(WriteSheet(sheet, path, 100, "test", {}, written, &error, &calls));
      EXPECT_TRUE(error.description.starts_with("cannot write " + dir.string()));
      EXPECT_TRUE(error.description.ends_with(std::string(": ") + fault.said)) << error.description;
      EXPECT_TRUE(written.empty());
      for (const std::string& p : paths) {
        std::ifstream in(p);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier") << p;
      }
      EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})),
                paths.size());
      for (const std::string& p : paths)
        fs::remove(p);
    }
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zandorik
