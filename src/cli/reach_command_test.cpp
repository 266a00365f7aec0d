// `zandorik reach` and `zandorik worth` on the sample data file: their
// lines, their JSON, and their exit statuses.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "cli/subcommand.h"
#include "reach/draft_figure.h"
#include "testing/command_run.h"
#include "testing/worked_figure.h"

namespace zandorik {
namespace {

const std::string kExamples = ZANDORIK_EXAMPLES_DIR "/figures.QMV";

TEST(ReachCommand, ListsTheSetsThatReachTheTargetOrTheClosest) {
  CommandRun run = Zandorik({"reach", kExamples, "Worked", "--target", "50"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], "\"Worked\": 46 points (total 45.649500439745), target 50");
  // The smallest move first.
  EXPECT_EQ(lines[1], "Damage click 6: 1 -> 3 = 50 points (total 49.8570004802762)");
  for (std::size_t i = 1; i < lines.size(); ++i)
    EXPECT_NE(lines[i].find(" = 50 points (total "), std::string::npos) << lines[i];

  run = Zandorik({"reach", kExamples, "Worked", "-t", "46"});
  EXPECT_EQ(Lines(run.out).back(), "On target already: nothing to change.");

  run = Zandorik(
      {"reach", kExamples, "Worked", "--target=300", "--max-changes", "1", "--change", "values"});
  lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_EQ(lines[1], "Nothing within 1 change reaches 300; the closest:");
  EXPECT_EQ(lines[2], "closest below: Damage click 6: 1 -> 5 = 58 points (total 57.7770005565701)");
}

TEST(ReachCommand, JsonHoldsEachSetWithItsChangesAndPoints) {
  const CommandRun run = Zandorik({"reach", kExamples, "Worked", "--target", "40", "--tolerance",
                                   "1", "--change", "rank,team", "--json"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  rapidjson::Document json;
  json.Parse<rapidjson::kParseFullPrecisionFlag>(run.out.c_str());
  ASSERT_TRUE(json.IsArray()) << run.out;
  ASSERT_GT(json.Size(), 0u);
  for (const auto& set : json.GetArray()) {
    EXPECT_GE(set["points"].GetInt(), 39);
    EXPECT_LE(set["points"].GetInt(), 41);
    EXPECT_STREQ(set["side"].GetString(), "reaches");
    for (const auto& change : set["changes"].GetArray()) {
      const std::string kind = change["kind"].GetString();
      EXPECT_TRUE(kind == "rank" || kind == "team") << kind;
      EXPECT_TRUE(change["to"].IsString());
    }
  }
  const auto& first = json[0];
  EXPECT_STREQ(first["text"].GetString(), "Team: Ironwood Guard -> None");
  FigureScreen noTeam = WorkedFigure();
  noTeam.teamText = "None";
  EXPECT_EQ(first["total"].GetDouble(), PriceFigure(noTeam).calculation.total);  // every bit
  EXPECT_EQ(first["size"].GetDouble(), 1);
  EXPECT_STREQ(first["changes"][0]["from"].GetString(), "Ironwood Guard");
}

TEST(WorthCommand, TablesAndJsonGiveEachSquaresWorth) {
  CommandRun run = Zandorik({"worth", kExamples, "Worked"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 1u + 4 * 7);
  EXPECT_EQ(lines[2], "One less: change of the total");
  // Speed click 1 one more: 1/12 on the row, 1/9 for flying, times 0.99.
  EXPECT_EQ(lines[7 + 4].substr(0, 21), "Speed    +0.19  +0.19");
  EXPECT_NE(lines[7 + 4].find("     KO     KO"), std::string::npos);
  EXPECT_EQ(lines[2 * 7 + 2], "Plain: change of the total");
  EXPECT_EQ(lines[2 * 7 + 4].substr(0, 14), "Speed        -");

  run = Zandorik({"worth", kExamples, "Worked", "--json"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  rapidjson::Document json;
  json.Parse<rapidjson::kParseFullPrecisionFlag>(run.out.c_str());
  ASSERT_TRUE(json.IsObject()) << run.out;
  EXPECT_EQ(json["points"].GetInt(), 46);
  ASSERT_EQ(json["rows"].Size(), 4u);
  const auto& speed1 = json["rows"][0]["clicks"][0];
  EXPECT_FALSE(speed1["ko"].GetBool());
  EXPECT_TRUE(speed1["plain"].IsNull());
  FigureScreen more = WorkedFigure();
  more.Square(StatRow::Speed, 0).caption = "9";
  EXPECT_EQ(speed1["oneMore"]["total"].GetDouble(), PriceFigure(more).calculation.total);
  EXPECT_TRUE(json["rows"][3]["clicks"][10]["ko"].GetBool());
  EXPECT_TRUE(json["rows"][3]["clicks"][10]["oneMore"].IsNull());
}

TEST(ReachCommand, RefusesWhatItCannotDoWithTheRightStatus) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* said;
  } cases[] = {
      {{"reach", kExamples, "Worked"}, kExitUsage, "give the points wanted with --target N"},
      {{"reach", kExamples, "-t", "5"}, kExitUsage, "name the data file and the figure"},
      {{"reach", kExamples, "Worked", "-t", "1.5"}, kExitUsage, "\"1.5\" is not a whole number"},
      {{"reach", kExamples, "Worked", "-t", "2000000"}, kExitUsage, "not a whole number"},
      {{"reach", kExamples, "Worked", "-t", "5", "--tolerance", "-1"},
       kExitUsage,
       "the tolerance \"-1\""},
      {{"reach", kExamples, "Worked", "-t", "5", "--change", "colours"},
       kExitUsage,
       "unknown kind of change \"colours\""},
      {{"reach", kExamples, "Worked", "-t", "5", "--max-changes", "4"},
       kExitUsage,
       "--max-changes takes 1, 2 or 3"},
      {{"reach", kExamples, "Nobody", "-t", "5"}, kExitUsage, "holds no figure named \"Nobody\""},
      {{"reach", "/nowhere.QMV", "Worked", "-t", "5"}, kExitUnreadable, "/nowhere.QMV: "},
      {{"worth", kExamples}, kExitUsage, "name the data file and the figure"},
      {{"worth", kExamples, "Nobody"}, kExitUsage, "holds no figure named"},
      {{"worth", kExamples, "Worked", "--target", "5"}, kExitUsage, "unknown option --target"},
  };
  for (const auto& c : cases) {
    const CommandRun run = Zandorik(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  for (const char* command : {"reach", "worth"}) {
    for (const std::string& line : Lines(Zandorik({command, "--help"}).out))
      EXPECT_LE(line.size(), 80u) << line;
  }
}

}  // namespace
}  // namespace zandorik
