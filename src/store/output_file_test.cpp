// Every kind of output a name can stand for, written by each command that
// writes one (zandorik export and sheet, the real program): the data file
// itself is never written, nor any other data file, a FIFO or a device is a stream, a link is
// written through to its target, a name is kept byte for byte.
#include "store/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>

#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

int Shell(const std::string& line) {
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

TEST(OutputFile, EveryKindOfOutputInEveryCommand) {
  TestDataFile data;
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path,
                fs::copy_options::overwrite_existing);
  const std::string before = data.Bytes();
  const bool devices = ::mknod((data.dir / "probe").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const struct {
    std::string setUp, output;  // shell commands in the folder; the -o argument
    int status;
    mode_t kindAfter;    // of the output's name, not followed
    std::string landed;  // the file that holds the output afterwards
  } cases[] = {
      {"", "figures.QMV", 2, S_IFREG, ""},
      {"ln -s figures.QMV link.pdf", "link.pdf", 2, S_IFLNK, ""},
      {"ln figures.QMV hard.pdf", "hard.pdf", 2, S_IFREG, ""},
      {"mkfifo fifo.pdf; timeout 20 cat fifo.pdf > read.txt &", "fifo.pdf", 0, S_IFIFO, "read.txt"},
      {"mknod null.pdf c 1 3", "null.pdf", 0, S_IFCHR, ""},
      {"mknod full.pdf c 1 7", "full.pdf", 4, S_IFCHR, ""},
      {"ln -s /dev/stdout out.pdf", "out.pdf", 0, S_IFLNK, "stdout.txt"},
      {"echo old > target.pdf; ln -s target.pdf link.pdf", "link.pdf", 0, S_IFLNK, "target.pdf"},
      {"echo old > old.pdf", "old.pdf", 0, S_IFREG, "old.pdf"},
      {"", "\xe9x.pdf", 0, S_IFREG, "\xe9x.pdf"},
      // Another data file: by its name, through a link, by its records.
      {"cp figures.QMV other.QMV", "other.QMV", 2, S_IFREG, ""},
      {"cp figures.QMV club.QMV; ln -s club.QMV club.pdf", "club.pdf", 2, S_IFLNK, ""},
      {"touch new.qmv", "new.qmv", 2, S_IFREG, ""},
      {"head -c 972 figures.QMV > records.pdf", "records.pdf", 2, S_IFREG, ""},
      {"head -c 900 figures.QMV > part.pdf", "part.pdf", 0, S_IFREG, "part.pdf"},
  };
  const bool sheet = Shell(ZANDORIK_PROGRAM " sheet --help | grep -q -- --output") == 0;
  for (const std::string command : {"export", "sheet"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(command + " -o " + c.output + " after: " + c.setUp);
      if ((command == "sheet" && !sheet) || (c.setUp.starts_with("mknod") && !devices)) continue;
      for (const auto& entry : fs::directory_iterator(data.dir))
        if (entry.path() != data.path) fs::remove(entry.path());
      const std::string args = command == "export" ? "export figures.QMV -o '" + c.output + "'"
                                                   : "sheet -o '" + c.output + "' figures.QMV";
      EXPECT_EQ(Shell("cd " + data.dir.string() + "\n" + c.setUp + "\n" ZANDORIK_PROGRAM " " +
                      args + " >stdout.txt 2>stderr.txt; s=$?; wait; exit $s"),
                c.status)
          << TestDataFile::ReadFrom((data.dir / "stderr.txt").string());
      EXPECT_EQ(data.Bytes(), before);
      for (const char* copy : {"other.QMV", "club.QMV"}) {
        if (c.setUp.find(copy) != std::string::npos) {
          EXPECT_EQ(TestDataFile::ReadFrom((data.dir / copy).string()), before) << copy;
        }
      }
      if (c.status == 2) {
        EXPECT_NE(TestDataFile::ReadFrom((data.dir / "stderr.txt").string()).find(c.output),
                  std::string::npos);
      }
      struct stat after {};
      ::lstat((data.dir / c.output).c_str(), &after);
      EXPECT_EQ(after.st_mode & S_IFMT, c.kindAfter);
      if (!c.landed.empty()) {
        EXPECT_TRUE(TestDataFile::ReadFrom((data.dir / c.landed).string())
                        .starts_with(command == "export" ? "{" : "%PDF-"));
      }
      // Nothing else is left behind: no temporary file, no name made up.
      for (const auto& entry : fs::directory_iterator(data.dir)) {
        const std::string name = entry.path().filename();
        EXPECT_TRUE(name == "figures.QMV" || name == c.output || name == c.landed ||
                    name.starts_with("std") || c.setUp.find(name) != std::string::npos)
            << name;
      }
    }
  }
  // Standard output for export, never a file named "-".
  ASSERT_EQ(Shell("cd " + data.dir.string() +
                  " && " ZANDORIK_PROGRAM " export figures.QMV -o - > stdout.txt"),
            0);
  EXPECT_TRUE(TestDataFile::ReadFrom((data.dir / "stdout.txt").string()).starts_with("{"));
  EXPECT_FALSE(fs::exists(data.dir / "-"));
}

}  // namespace
}  // namespace zandorik
