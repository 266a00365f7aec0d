// Every kind of output a name can stand for, written by each command that
// writes one (zandorik export and zandorik sheet, the real program): the
// data file itself is never written, a FIFO or a device is written as a
// stream, a link is written through to its target, and a name is kept
// byte for byte.
#include "store/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The type bits of what a name is, not following a link; 0 when it is not.
mode_t KindOf(const fs::path& path) {
  struct stat there {};
  return ::lstat(path.c_str(), &there) == 0 ? there.st_mode & S_IFMT : 0;
}

int Shell(const std::string& line) {
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

struct OutputCase {
  const char* what;
  std::string setUp;   // shell commands in the folder, before the run
  std::string output;  // the -o argument
  int status;          // of the command
  mode_t kindAfter;    // what the output's name is afterwards
  std::string landed;  // the file that holds the output afterwards, "" for none
  bool needsDevices;   // made with mknod (root only)
};

TEST(OutputFile, EveryKindOfOutputInEveryCommand) {
  TestDataFile data;
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path,
                fs::copy_options::overwrite_existing);
  const std::string before = data.Bytes();
  const std::string dir = data.dir.string();
  const bool devices = ::mknod((data.dir / "probe").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::remove(data.dir / "probe");
  const std::vector<OutputCase> cases = {
      {"the data file's own path", "", "figures.QMV", 2, S_IFREG, "", false},
      {"a link to the data file", "ln -s figures.QMV link.pdf", "link.pdf", 2, S_IFLNK, "", false},
      {"a hard link to the data file", "ln figures.QMV hard.pdf", "hard.pdf", 2, S_IFREG, "",
       false},
      {"a FIFO, read by another program", "mkfifo fifo.pdf; timeout 20 cat fifo.pdf > read.txt &",
       "fifo.pdf", 0, S_IFIFO, "read.txt", false},
      {"a copy of /dev/null", "mknod null.pdf c 1 3", "null.pdf", 0, S_IFCHR, "", true},
      {"a copy of /dev/full", "mknod full.pdf c 1 7", "full.pdf", 4, S_IFCHR, "", true},
      {"a link to /dev/stdout", "ln -s /dev/stdout out.pdf", "out.pdf", 0, S_IFLNK, "stdout.txt",
       false},
      {"a link to a file", "echo old > target.pdf; ln -s target.pdf link.pdf", "link.pdf", 0,
       S_IFLNK, "target.pdf", false},
      {"a file there already", "echo old > old.pdf", "old.pdf", 0, S_IFREG, "old.pdf", false},
      {"a name not UTF-8", "", "\xe9x.pdf", 0, S_IFREG, "\xe9x.pdf", false},
  };
  const bool sheet = Shell(ZANDORIK_PROGRAM " sheet --help >/dev/null") == 0;
  for (const std::string command : {"export", "sheet"}) {
    if (command == "sheet" && !sheet) continue;
    const std::string start = command == "export" ? "{" : "%PDF-";
    for (const OutputCase& c : cases) {
      SCOPED_TRACE(command + ", " + c.what);
      if (c.needsDevices && !devices) continue;
      for (const auto& entry : fs::directory_iterator(data.dir))
        if (entry.path() != data.path) fs::remove(entry.path());
      const std::string args = command == "export" ? "export figures.QMV -o '" + c.output + "'"
                                                   : "sheet -o '" + c.output + "' figures.QMV";
      const int status = Shell("cd " + dir + "\n" + c.setUp + "\n" + ZANDORIK_PROGRAM + " " + args +
                               " >stdout.txt 2>stderr.txt; s=$?; wait; exit $s");
      EXPECT_EQ(status, c.status) << Read(data.dir / "stderr.txt");
      EXPECT_EQ(data.Bytes(), before);
      EXPECT_EQ(KindOf(data.dir / c.output), c.kindAfter);
      if (!c.landed.empty()) {
        EXPECT_TRUE(Read(data.dir / c.landed).starts_with(start));
      }
      // Nothing else is left behind: no temporary file, no name made up.
      int others = 0;
      for (const auto& entry : fs::directory_iterator(data.dir)) {
        const std::string name = entry.path().filename();
        others += name != "figures.QMV" && name != c.output && name != c.landed &&
                  name != "stdout.txt" && name != "stderr.txt" &&
                  c.setUp.find(name) == std::string::npos;
      }
      EXPECT_EQ(others, 0);
    }
  }
  // Standard output for export, never a file named "-".
  ASSERT_EQ(
      Shell("cd " + dir + " && " + ZANDORIK_PROGRAM + " export figures.QMV -o - > stdout.txt"), 0);
  EXPECT_TRUE(Read(data.dir / "stdout.txt").starts_with("{"));
  EXPECT_FALSE(fs::exists(data.dir / "-"));
}

}  // namespace
}  // namespace zandorik
