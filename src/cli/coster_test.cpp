#include "cli/coster.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cost/worked_figure.h"
#include "store/record_file.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

struct CostRun {
  int status;
  std::string out, err;
};

std::string ReadAll(std::FILE* f) {
  std::rewind(f);
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    text.append(buf, n);
  std::fclose(f);
  return text;
}

CostRun Cost(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = RunCoster(args, out, err);
  return {status, ReadAll(out), ReadAll(err)};
}

class CosterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("zandorik_cost_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".QMV"))
                .string();
    std::filesystem::remove(path_);
  }
  void TearDown() override { std::filesystem::remove(path_); }

  void Write(const std::vector<FigureRecord>& records) {
    RecordFile file;
    ASSERT_TRUE(file.Open(path_, RecordFile::Mode::ReadWrite, nullptr));
    std::int64_t n = 1;
    for (const FigureRecord& r : records)
      ASSERT_TRUE(file.Write(n++, r, nullptr));
  }

  static FigureRecord Record(const FigureScreen& screen) {
    FigureRecord r;
    EXPECT_TRUE(StoreScreenInRecord(screen, r).empty());
    return r;
  }

  // Worked figure, a deleted slot, a figure with a range error, a blank one.
  void WriteSample() {
    FigureScreen worked = WorkedFigure();
    worked.name = "Worked";
    FigureScreen bad;
    bad.name = "Bad Range";
    bad.rangeText = "3";
    FigureScreen blank;
    blank.name = "Blank";
    Write({Record(worked), DeletedRecord(), Record(bad), Record(blank)});
  }

  std::string path_;
};

TEST_F(CosterTest, PricesEveryStoredFigureInRecordOrder) {
  WriteSample();
  const CostRun run = Cost({path_});
  EXPECT_EQ(run.status, kCostOk);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "     1      46  Worked\n"
            "     3    -994  Bad Range\n"
            "     4       5  Blank\n");
}

TEST_F(CosterTest, JsonCarriesTheBreakdownAndMessages) {
  WriteSample();
  const CostRun run = Cost({"--json", path_});
  ASSERT_EQ(run.status, kCostOk) << run.err;
  const nlohmann::json figures = nlohmann::json::parse(run.out);
  ASSERT_EQ(figures.size(), 3u);
  const nlohmann::json expected = nlohmann::json::parse(R"({"record": 1, "name": "Worked",
      "points": 46, "breakdown": {"speed": "3.5", "attack": "3.66666666666667",
      "defense": "8.72727272727273", "damage": "15", "speedPower": "0", "attackPower": "0",
      "defensePower": "0", "damagePower": "0", "range": "2.75", "bolts": "3", "team": "4.8"},
      "movement": "4.66666666666667", "messages": []})");
  EXPECT_EQ(figures[0], expected);
  EXPECT_EQ(figures[1]["record"], 3);
  EXPECT_EQ(figures[1]["breakdown"]["range"], "-999");
  EXPECT_EQ(figures[1]["messages"], nlohmann::json::array({"Error in range: 3"}));
  // Keys keep the order of the breakdown window.
  EXPECT_EQ(
      run.out.find("{\"record\":1,\"name\":\"Worked\",\"points\":46,\"breakdown\":{\"speed\""), 2u);
}

TEST_F(CosterTest, BreakdownListsPartsAndMessages) {
  WriteSample();
  const CostRun run = Cost({"--breakdown", path_});
  EXPECT_EQ(run.status, kCostOk);
  EXPECT_NE(run.out.find("     1      46  Worked\n"
                         "        Statistics: speed 3.5, attack 3.66666666666667, defense "
                         "8.72727272727273, damage 15\n"
                         "        Powers: speed 0, attack 0, defense 0, damage 0\n"
                         "        Range 2.75, bolts 3, team 4.8, movement 4.66666666666667\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("        Message: Error in range: 3\n"), std::string::npos);
}

TEST_F(CosterTest, EmptyFileGivesEmptyList) {
  Write({});
  const CostRun run = Cost({"--json", path_});
  EXPECT_EQ(run.status, kCostOk);
  EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::array());
}

TEST_F(CosterTest, MissingFileAndBadUsage) {
  const CostRun missing = Cost({path_});
  EXPECT_EQ(missing.status, kCostUnreadable);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("cannot read " + path_), std::string::npos);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);

  EXPECT_EQ(Cost({}).status, kCostUsage);
  EXPECT_EQ(Cost({"--colour"}).status, kCostUsage);
  EXPECT_EQ(Cost({"a.QMV", "b.QMV"}).status, kCostUsage);
  const CostRun help = Cost({"--help"});
  EXPECT_EQ(help.status, kCostOk);
  EXPECT_NE(help.out.find("--json"), std::string::npos);
}

TEST_F(CosterTest, DamagedFileIsPricedAndNamed) {
  FigureScreen worked = WorkedFigure();
  worked.name = "Worked";
  FigureRecord damaged = Record(worked);
  damaged.TeamIndex = 40;
  damaged.Bolt[2] = 7;
  damaged.RowOf(StatRow::Attack).Colour[0] = std::numeric_limits<double>::infinity();
  Write({Record(worked), damaged});
  {
    std::ofstream tail(path_, std::ios::binary | std::ios::app);
    tail.write("xyz", 3);
  }
  const CostRun run = Cost({"--json", path_});
  EXPECT_EQ(run.status, kCostDamaged);
  const nlohmann::json figures = nlohmann::json::parse(run.out);
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[1]["messages"],
            nlohmann::json::array({"Unknown ability: ", "No value for team: "}));
  EXPECT_EQ(figures[1]["breakdown"]["team"], "-999");
  EXPECT_NE(run.err.find("record 2: team position 40 is outside the list (0 to 21)"),
            std::string::npos);
  EXPECT_NE(run.err.find("record 2: bolt 3 has the state 7"), std::string::npos);
  EXPECT_NE(run.err.find("record 2: Attack square 1 has the colour Infinity"), std::string::npos);
  EXPECT_NE(run.err.find("not a whole number of 486-byte records; the last 3 bytes were ignored"),
            std::string::npos);
}

TEST(Examples, GeneratorRebuildsTheSampleFile) {
  const std::string made = (std::filesystem::temp_directory_path() /
                            ("zandorik_examples_" + std::to_string(::getpid()) + ".QMV"))
                               .string();
  ASSERT_EQ(std::system((std::string(ZANDORIK_MAKE_EXAMPLES) + " " + made).c_str()), 0);
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(bytes(made), bytes(ZANDORIK_EXAMPLES_DIR "/figures.QMV"));
  std::filesystem::remove(made);
}

}  // namespace
}  // namespace zandorik
