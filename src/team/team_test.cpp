// Teams: the team file comes back as written and refuses what is wrong
// with every problem named; figures changed in their data file are found
// and taken again.
#include "team/team.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "store/figure_text.h"
#include "team/team_file.h"
#include "testing/random_record.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

TEST(TeamFile, ATeamComesBackAsItWasWritten) {
  Team team;
  team.name = "Quote \" back\\slash, \xC3\xBC and a\nline";
  team.cap = 500;
  const std::vector<FigureRecord> records = RandomNamedRecords(60, 24);
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::optional<TeamSource> source;
    if (i % 3 != 0) source = TeamSource{"/data/" + std::to_string(i % 2) + ".QMV", "x"};
    team.entries.push_back(TeamFigure::Of(records[i], source, 1 + static_cast<int>(i % 99)));
  }
  const std::string text = TeamDocument(team);
  const TeamText read = ReadTeamText(text);
  ASSERT_EQ(read.problems, std::vector<std::string>{});
  EXPECT_TRUE(SameTeam(read.team, team));
  EXPECT_EQ(TeamDocument(read.team), text);

  // Through a file: never over another without being told to, and a
  // replaced file keeps its permissions and leaves nothing beside it.
  TestDataFile folder;
  const std::string path = (folder.dir / "team.json").string();
  FileError error;
  ASSERT_TRUE(WriteTeamFile(path, team, false, &error)) << error.description;
  EXPECT_FALSE(WriteTeamFile(path, Team{}, false, &error));
  EXPECT_EQ(error.number, EEXIST);
  TeamText fromFile;
  ASSERT_TRUE(ReadTeamFile(path, fromFile, &error));
  EXPECT_TRUE(SameTeam(fromFile.team, team));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(WriteTeamFile(path, Team{}, true, &error));
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.dir), {}), 1);
  EXPECT_FALSE(ReadTeamFile((folder.dir / "none.json").string(), fromFile, &error));
  EXPECT_EQ(error.number, ENOENT);
}

TEST(TeamFile, ABadDocumentIsRefusedWithEveryProblemNamed) {
  FigureRecord figure;
  figure.Name = "Worked";
  Team team;
  team.name = "Cats";
  team.entries = {TeamFigure::Of(figure, TeamSource{"/f.QMV", "Worked"}, 2),
                  TeamFigure::Of(figure, std::nullopt, 1)};
  const std::string good = TeamDocument(team);
  struct Case {
    std::string from, to, problem;
  } cases[] = {
      {"\"cap\": 300", "\"cap\": 0", "cap: must be a whole number from 1 to 1000000, not 0"},
      {"\"cap\": 300", "\"cap\": \"300\"",
       "cap: must be a whole number from 1 to 1000000, not a text"},
      {"\"cap\": 300,\n", "", "the document: no \"cap\""},
      {"\"zandorik-team\"", "\"zandorik-figures\"",
       "format: must be \"zandorik-team\", not \"zandorik-figures\""},
      {"\"version\": 1", "\"version\": 2",
       "version: version 2 is not known here: this program reads version 1"},
      {"\"name\": \"Cats\"", "\"name\": \"Cats\", \"colour\": 1",
       "the document: unknown key \"colour\""},
      {"\"name\": \"Cats\"", "\"name\": 7", "name: must be a text, not a number"},
      {"\"figures\": [", "\"figures\": [3, ",
       "figures[0]: must be a figure (an object), not a number"},
      {"\"count\": 2", "\"count\": 0",
       "figures[0].count: must be a whole number from 1 to 99, not 0"},
      {"\"count\": 2,\n", "", "figures[0]: no \"count\""},
      {"\"count\": 2", "\"count\": 2, \"count\": 3", "figures[0]: \"count\" is given twice"},
      {"\"source\": null", "\"source\": 5",
       "figures[1].source: must be null or {\"file\": ..., \"name\": ...}, not a number"},
      {"\"file\": \"/f.QMV\", ", "", "figures[0].source: no \"file\""},
      {"\"name\": \"Worked\"}", "\"name\": \"Worked for more than thirty letters\"}",
       "figures[0].source.name: the name \"Worked for more than thirty letters\" is longer than "
       "30 characters"},
      {"\"colour\": \"Black\"", "\"colour\": \"Purple\"",
       "figures[0].dial.speed[0] (Speed, click 1): unknown colour \"Purple\""},
      {"\"range\": 0", "\"range\": 0, \"reach\": 2", "figures[0]: unknown key \"reach\""},
      {"\"cap\": 300,", "\"cap\": 300,,", "line 5, column 14: Missing a name for object member."},
  };
  for (const Case& c : cases) {
    std::string text = good;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);
    const TeamText read = ReadTeamText(text);
    EXPECT_EQ(read.problems, std::vector<std::string>{c.problem}) << c.to;
    EXPECT_TRUE(read.team.entries.empty()) << c.to;
  }
}

FigureRecord Stored(const DataFile& file, const std::string& name) {
  FigureRecord figure;
  bool found = false;
  FileError error;
  EXPECT_TRUE(ReadStoredFigure(file, name, figure, found, &error));
  EXPECT_TRUE(found) << name;
  return figure;
}

TEST(Team, FiguresChangedInTheirDataFileAreFoundAndTakenAgain) {
  TestDataFile data;
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path);
  DataFile file;
  FileError error;
  ASSERT_TRUE(file.Open(data.path, false, &error));
  const FigureRecord cat = Stored(file, "Alley Cat"), worked = Stored(file, "Worked");
  const std::string teamPath = (data.dir / "cats.json").string();
  Team team;
  ASSERT_TRUE(AddToTeam(team, cat, TeamSource{data.path, "Alley Cat"}, 2, nullptr));
  ASSERT_TRUE(AddToTeam(team, worked, TeamSource{"figures.QMV", "Worked"}, 1, nullptr));
  ASSERT_TRUE(AddToTeam(team, worked, TeamSource{"gone.QMV", "Worked"}, 1, nullptr));
  ASSERT_TRUE(AddToTeam(team, worked, std::nullopt, 1, nullptr));
  // The same figure from the same file counts once more, up to 99.
  ASSERT_TRUE(AddToTeam(team, cat, TeamSource{data.path, "Alley Cat"}, 1, nullptr));
  std::string why;
  EXPECT_FALSE(AddToTeam(team, cat, TeamSource{data.path, "Alley Cat"}, 97, &why));
  EXPECT_EQ(why, "The team holds 3 of \"Alley Cat\" already; an entry holds at most 99.");
  ASSERT_EQ(team.entries.size(), 4u);
  EXPECT_EQ(TotalText(TotalOf(team)), "360 / 300 points");  // 3 x 74 + 3 x 46
  EXPECT_TRUE(TotalOf(team).Over());

  // In the data file, Alley Cat gets a stronger attack.
  FigureRecord stronger = cat;
  stronger.RowOf(StatRow::Attack).Value.fill(12);
  DataFile::Found place;
  ASSERT_TRUE(file.FindRecordByName("Alley Cat", place, &error));
  FileError putBack;
  ASSERT_TRUE(file.Write(place.number, stronger, &error, &putBack));
  const std::int32_t points = *PriceFigure(stronger).points;
  ASSERT_NE(points, 74);

  std::vector<SourceCheck> checks = CheckSources(team, teamPath, std::chrono::milliseconds(0));
  std::vector<SourceState> states;
  for (const SourceCheck& check : checks)
    states.push_back(check.state);
  EXPECT_EQ(states, (std::vector<SourceState>{SourceState::Changed, SourceState::Same,
                                              SourceState::Unreadable, SourceState::None}));
  EXPECT_EQ(TakeStoredFigures(team, checks), std::vector<std::string>{"Alley Cat"});
  EXPECT_EQ(team.entries[0].count, 3);
  EXPECT_EQ(team.entries[0].price.points, points);
  EXPECT_EQ(TotalOf(team).points, 3 * points + 3 * 46);
  EXPECT_EQ(CheckSources(team, teamPath, std::chrono::milliseconds(0))[0].state, SourceState::Same);

  // Renamed in the data file: no longer stored under the name it came from.
  stronger.Name = "Alley Tom";
  ASSERT_TRUE(file.Write(place.number, stronger, &error, &putBack));
  EXPECT_EQ(CheckSources(team, teamPath, std::chrono::milliseconds(0))[0].state,
            SourceState::NotStored);
}

}  // namespace
}  // namespace zandorik
