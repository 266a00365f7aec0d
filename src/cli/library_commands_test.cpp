// `zandorik list` and `zandorik compare` on the sample file and on files
// made for them: their lines, their JSON and their exit statuses.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <fstream>

#include "cli/subcommand.h"
#include "library/figure_library.h"
#include "testing/command_run.h"
#include "testing/random_record.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

const std::string kExamples = ZANDORIK_EXAMPLES_DIR "/figures.QMV";

// The first cell of each line after the titles.
std::vector<std::string> Names(const std::string& out) {
  std::vector<std::string> names;
  for (const std::string& line : Lines(out))
    names.push_back(line.substr(0, line.find("  ")));
  names.erase(names.begin());
  return names;
}

TEST(ListCommand, ListsSortsAndFiltersTheFigures) {
  CommandRun run = Zandorik({"list", kExamples});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_TRUE(
      lines[0].starts_with("Name             Points  Team             Movement  Range  "
                           "Bolts  Rank         Clicks  Powers used"))
      << lines[0];
  EXPECT_TRUE(lines[0].ends_with("  Record"));
  EXPECT_TRUE(
      lines[2].starts_with("Ember Sprite     53      Cinder Pact      Flight    6      "
                           "1      Rookie       7       Flurry, Charge, "))
      << lines[2];
  EXPECT_TRUE(lines[2].ends_with("  2"));

  const struct {
    std::vector<std::string> options;
    std::vector<std::string> names;
  } cases[] = {
      {{"--sort", "-points"},
       {"Granite Warden", "Nightglass Seer", "Alley Cat", "Tidewalker", "Ember Sprite", "Worked"}},
      {{"--sort=clicks"},
       {"Nightglass Seer", "Worked", "Alley Cat", "Ember Sprite", "Tidewalker", "Granite Warden"}},
      {{"--filter", "CHARGE", "--sort", "name"}, {"Ember Sprite"}},
      {{"--filter", "compact"}, {"Tidewalker", "Nightglass Seer"}},  // teams
      {{"--filter", "nobody"}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"list", kExamples};
    args.insert(args.end(), c.options.begin(), c.options.end());
    run = Zandorik(args);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(Names(run.out), c.names) << c.options[0];
  }
}

TEST(ListCommand, JsonHoldsEveryColumnOfEveryFigure) {
  TestDataFile data;
  const std::vector<FigureRecord> records = RandomNamedRecords(300, 8);
  data.Write(records);
  const CommandRun run = Zandorik({"list", data.path, "--json", "--sort", "-record"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  rapidjson::Document json;
  json.Parse<rapidjson::kParseFullPrecisionFlag>(run.out.c_str());
  ASSERT_TRUE(json.IsArray()) << run.out.substr(0, 300);
  std::vector<LibraryFigure> figures;
  for (std::size_t i = records.size(); i-- > 0;) {
    if (!records[i].IsDeleted())
      figures.push_back(MakeLibraryFigure(static_cast<std::int64_t>(i + 1), records[i]));
  }
  ASSERT_EQ(json.Size(), figures.size());
  for (rapidjson::SizeType i = 0; i < json.Size(); ++i) {
    const auto& o = json[i];
    const LibraryFigure& f = figures[i];
    EXPECT_EQ(o["record"].GetInt64(), f.record);
    EXPECT_EQ(std::string(o["name"].GetString(), o["name"].GetStringLength()), f.name);
    EXPECT_EQ(o["problems"].GetInt(), f.problems);
    EXPECT_EQ(
        o["points"].IsNull() ? ProblemsText(f.problems) : std::to_string(o["points"].GetInt()),
        CellText(f, LibraryColumn::Points));
    EXPECT_EQ(o["team"].GetString(), CellText(f, LibraryColumn::Team));
    EXPECT_EQ(o["rank"].GetString(), CellText(f, LibraryColumn::Rank));
    EXPECT_EQ(o["clicks"].GetInt(), f.clicks);
    std::string powers;
    for (const auto& p : o["powers"].GetArray())
      powers += (powers.empty() ? "" : ", ") + std::string(p.GetString());
    EXPECT_EQ(powers, CellText(f, LibraryColumn::Powers));
  }
}

TEST(CompareCommand, PrintsTheComparisonAndItsJson) {
  CommandRun run = Zandorik({"compare", kExamples, "Alley Cat", "Ember Sprite", "Worked"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_TRUE(run.out.starts_with("Compared: \"Alley Cat\", \"Ember Sprite\", \"Worked\"\n"));
  EXPECT_NE(run.out.find("(Damage -10.50)"), std::string::npos) << run.out;

  run = Zandorik({"compare", kExamples, "Alley Cat", "Ember Sprite", "--json"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  rapidjson::Document json;
  json.Parse(run.out.c_str());
  ASSERT_TRUE(json.IsObject()) << run.out;
  EXPECT_EQ(json["figures"][0]["points"].GetInt(), 74);
  EXPECT_STREQ(json["figures"][1]["fields"]["Team"].GetString(), "Cinder Pact");
  EXPECT_TRUE(json["figures"][0]["dial"]["Speed"][6]["ko"].GetBool());
  const auto& differences = json["differences"][0];
  EXPECT_STREQ(differences["breakdown"][0].GetString(), "Speed +0.83");
  EXPECT_STREQ(differences["squares"][0]["row"].GetString(), "Speed");
  EXPECT_EQ(differences["squares"][0]["click"].GetInt(), 1);
}

TEST(LibraryCommands, RefuseWhatTheyCannotDoWithTheRightStatus) {
  TestDataFile data;
  data.Write(RandomNamedRecords(3, 1));
  {
    std::ofstream out(data.path, std::ios::binary | std::ios::app);
    out << "torn";
  }
  const struct {
    std::vector<std::string> args;
    int status;
    const char* said;
  } cases[] = {
      {{"list"}, kExitUsage, "name the data file"},
      {{"list", kExamples, kExamples}, kExitUsage, "lists one data file"},
      {{"list", kExamples, "--sort", "colour"}, kExitUsage, "no column \"colour\" to sort by"},
      {{"list", kExamples, "--colour"}, kExitUsage, "unknown option --colour"},
      {{"list", "/nowhere.QMV"}, kExitUnreadable, "/nowhere.QMV: "},
      {{"list", "-"}, kExitUsage, ""},
      {{"list", data.path}, kExitDamaged, "damaged"},
      {{"compare", kExamples, "Worked"}, kExitUsage, "name the data file and two or three"},
      {{"compare", kExamples, "Worked", "Alley Cat", "Tidewalker", "Ember Sprite"},
       kExitUsage,
       "compares at most three figures"},
      {{"compare", kExamples, "Worked", "alley cat"}, kExitUsage, "did you mean \"Alley Cat\"?"},
      {{"compare", kExamples, "Worked", "Worked"}, kExitUsage, "the names are one figure"},
      {{"compare", "/nowhere.QMV", "A", "B"}, kExitUnreadable, "/nowhere.QMV: "},
  };
  for (const auto& c : cases) {
    const CommandRun run = Zandorik(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.back() << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
  // An output that cannot be written.
  EXPECT_EQ(
      std::system(
          ("'" ZANDORIK_PROGRAM "' list '" + kExamples + "' > /dev/full 2>/dev/null").c_str()) >>
          8,
      kExitWriteFailed);
}

}  // namespace
}  // namespace zandorik
