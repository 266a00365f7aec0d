// `zandorik scan` on pages of QR codes made here: what it prints and
// stores, and its statuses. (Scans of real sheets, and copies of them made
// worse, are read back in src/cli/sheet_command_test.cpp.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/subcommand.h"
#include "share/share_code.h"
#include "testing/command_run.h"
#include "testing/qr_page.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

class ScanCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(ZANDORIK_EXAMPLES_DIR "/figures.QMV", std::ios::binary);
    RecordBytes bytes;
    while (in.read(reinterpret_cast<char*>(bytes.data()), bytes.size())) {
      if (DecodeRecord(bytes.data()).IsDeleted()) continue;
      codes.push_back(ShareCode(DecodeRecord(bytes.data())));
    }
    // A strip of a page at 300 dpi, 7 pixels a module (codes of 15 to 18
    // mm), four codes a row, and a QR code that holds no figure.
    std::vector<std::string> texts = codes;
    texts.insert(texts.begin() + 2, "https://example.org/");
    ASSERT_TRUE(WriteQrPage(Path("page.pgm"), texts, 1100, 620, 7));
    Convert(Path("page.pgm") + " -density 300 PNG24:" + Path("page.png"));
  }
  std::string Path(const std::string& name) const { return (data.dir / name).string(); }
  void Convert(const std::string& args) const {
    ASSERT_EQ(std::system(("convert " + args).c_str()), 0) << args;
  }

  TestDataFile data;
  std::vector<std::string> codes;
};

TEST_F(ScanCommand, OutputsAndStatuses) {
  const std::string lines = Zandorik({"code", ZANDORIK_EXAMPLES_DIR "/figures.QMV"}).out;
  ASSERT_TRUE(WriteQrPage(Path("damaged.pgm"), {codes[0], "ZD1:ABCDE"}, 600, 400, 4));
  ASSERT_TRUE(WriteQrPage(Path("blank.pgm"), {}, 600, 400, 4));
  Convert(Path("damaged.pgm") + " " + Path("damaged.png"));
  Convert(Path("blank.pgm") + " " + Path("blank.png"));
  std::ofstream(Path("text.png")) << "not an image";
  // The first figure's name on another figure, in an image of its own.
  FigureRecord twin;
  ASSERT_TRUE(ReadShareCode(codes[0], twin, nullptr));
  twin.Range = static_cast<std::int16_t>(twin.Range + 1);
  ASSERT_TRUE(WriteQrPage(Path("twin.pgm"), {ShareCode(twin)}, 600, 400, 4));
  Convert(Path("twin.pgm") + " " + Path("twin.png"));
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;  // how it begins
    std::string err;  // its last line
  } cases[] = {
      // The same page twice: each figure once.
      {{"scan", Path("page.png"), Path("page.png")}, kExitOk, lines, ": 6 figure codes (and 1"},
      {{"scan", Path("page.png"), "--json"},
       kExitOk,
       "{\n  \"format\": \"zandorik-figures\",\n  \"version\": 1,\n  \"figures\": [\n    {\n"
       "      \"name\": \"Worked\",",
       "left alone)"},
      {{"scan", Path("page.png"), "-o", Path("dry.QMV"), "--dry-run"},
       kExitOk,
       "would add as record 1: \"Worked\"\n",
       "left alone)"},
      {{"scan", Path("damaged.png"), "--json"},
       kExitUsage,
       "",
       "zandorik scan: nothing was written"},
      {{"scan", Path("blank.png"), "-o", Path("blank.QMV")},
       kExitUsage,
       "",
       "zandorik scan: no figure code was found; nothing was stored"},
      {{"scan", Path("page.png"), Path("twin.png"), "-o", Path("twin.QMV")},
       kExitUsage,
       "",
       "zandorik scan: nothing was stored, and no data file was made"},
      {{"scan", Path("page.png"), Path("text.png"), "-o", Path("text.QMV")},
       kExitUnreadable,
       "",
       "zandorik scan: nothing was stored"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const CommandRun run = Zandorik(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    const std::string last = run.err.substr(run.err.rfind('\n', run.err.size() - 2) + 1);
    EXPECT_NE(last.find(c.err), std::string::npos) << run.err;
    if (c.args.back().ends_with("twin.QMV")) {
      EXPECT_NE(run.err.find("zandorik scan: code 7 (from " + Path("twin.png") + "): the name"),
                std::string::npos)
          << run.err;
    }
  }
  for (const char* name : {"dry.QMV", "blank.QMV", "text.QMV", "twin.QMV"})
    EXPECT_FALSE(std::filesystem::exists(Path(name))) << name;
}

}  // namespace
}  // namespace zandorik
