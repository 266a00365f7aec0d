// The `zandorik` program: its commands, and the repair of a data file.
#include "cli/zandorik.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/subcommand.h"
#include "store/data_file.h"
#include "testing/command_run.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

TEST(Zandorik, AnswersHelpVersionAndRefusesWhatItDoesNotKnow) {
  EXPECT_EQ(Zandorik({"--version"}).out, std::string("zandorik ") + ZANDORIK_VERSION + "\n");
  EXPECT_NE(Zandorik({"--help"}).out.find("repair"), std::string::npos);
  EXPECT_NE(Zandorik({"repair", "--help"}).out.find("Usage: zandorik repair"), std::string::npos);
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {{}, kExitUsage, "Usage: zandorik COMMAND"},
      {{"fix"}, kExitUsage, "unknown command \"fix\""},
      {{"--bogus"}, kExitUsage, "zandorik: unknown option --bogus;"},
      {{"repair", "--force", "a"}, kExitUsage, "unknown option --force"},
      {{"repair"}, kExitUsage, "name the data file"},
      {{"repair", "a", "b"}, kExitUsage, "one data file at a time"},
      {{"repair", "/nowhere/x.QMV"}, kExitUnreadable, "No such file or directory"},
  };
  for (const auto& c : cases) {
    const CommandRun run = Zandorik(c.args);
    EXPECT_EQ(run.status, c.status) << c.err;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
}

// The bytes past the last whole record go to FILE.tail, then the file is
// cut back; an existing FILE.tail stops everything, unless it is empty.
TEST(Zandorik, RepairKeepsTheTailBesideTheFileAndNeverOverwritesIt) {
  TestDataFile data;
  FigureRecord a;
  a.Name = "A";
  data.Write({a, a});
  const std::string whole = data.Bytes();
  std::ofstream(data.path, std::ios::app | std::ios::binary) << "tail!";
  const std::string tailPath = data.path + ".tail";

  std::ofstream(tailPath) << "mine";
  CommandRun run = Zandorik({"repair", data.path});
  EXPECT_EQ(run.status, kExitWriteFailed);
  EXPECT_NE(run.err.find("is there already. Nothing was changed"), std::string::npos);
  EXPECT_EQ(data.Bytes(), whole + "tail!");
  // An empty one (a repair stopped part way) holds nothing to keep.
  std::ofstream(tailPath, std::ios::trunc).close();

  run = Zandorik({"repair", "--", data.path});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "Copied the 5 bytes past record 2 to " + tailPath + ".\nCut " + data.path +
                         " back to 2 whole records.\n");
  EXPECT_EQ(data.Bytes(), whole);
  std::ifstream tail(tailPath);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(tail), {}), "tail!");

  run = Zandorik({"repair", data.path});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.out, data.path + " holds 2 whole records: nothing to repair.\n");
}

// Started without its standard output or error, or with an output that
// takes nothing, the program never writes into the data file, and says
// what it could not write.
TEST(Zandorik, AClosedOrFullOutputNeverReachesTheDataFile) {
  TestDataFile data;
  FigureRecord a, b;
  a.Name = "A";
  b.Name = "B";
  data.Write({a, b});
  const std::string before = data.Bytes();
  const std::string json = (data.dir / "a.json").string();
  ASSERT_EQ(Zandorik({"export", data.path, "-o", json}).status, kExitOk);
  const std::string err = (data.dir / "err").string();
  const struct {
    std::string command;
    int status;
    const char* said;  // on standard error
  } cases[] = {
      {"export " + data.path + " >&-", kExitWriteFailed, "cannot write the output"},
      {"import " + data.path + " " + json + " --dry-run >&-", kExitWriteFailed,
       "cannot write the output: Bad file descriptor; nothing was written to the data file"},
      {"import " + data.path + " " + json + " >/dev/full", kExitWriteFailed,
       "No space left on device; nothing was written to the data file"},
      {"export " + data.path + " Nobody 2>&-", kExitUsage, ""},
      {"--version >/dev/full", kExitWriteFailed, "zandorik: cannot write the output"},
      {"repair " + data.path + " >&-", kExitWriteFailed, "cannot write the output"},
  };
  for (const auto& c : cases) {
    const std::string line = std::string(ZANDORIK_PROGRAM) + " " + c.command +
                             (c.command.find("2>&-") == std::string::npos ? " 2>" + err : "");
    const int status = std::system(line.c_str());
    EXPECT_EQ(WEXITSTATUS(status), c.status) << c.command;
    EXPECT_EQ(data.Bytes(), before) << c.command;
    std::ifstream said(err);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(said), {}).find(c.said), std::string::npos)
        << c.command;
    std::filesystem::remove(err);
  }
}

}  // namespace
}  // namespace zandorik
