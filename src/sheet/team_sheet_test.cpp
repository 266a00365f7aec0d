// The team's document: the roster's texts read back from the PDF, one dial
// for each figure fielded, the roster running on to more pages; and
// `zandorik team sheet` as a program, which never writes over its inputs.
#include "sheet/team_sheet.h"

#include <filesystem>
#include <map>

#include "sheet/sheet_output.h"
#include "store/figure_text.h"
#include "team/team_file.h"
#include "testing/sheet_test_support.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

// The sample figures by name, `count` of each, from figures.QMV.
Team SampleTeam(const std::vector<std::pair<std::string, int>>& counts) {
  Team team{"Alley Runners", 300, {}};
  for (const auto& [name, count] : counts) {
    for (const FigureRecord& record : ExampleRecords()) {
      if (ShownName(record) == name)
        team.entries.push_back(TeamFigure::Of(record, TeamSource{"figures.QMV", name}, count));
    }
  }
  return team;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST(TeamSheet, RosterThenOneDialForEachFigureFielded) {
  struct Case {
    std::vector<std::pair<std::string, int>> counts;
    int rosterPages;
    std::string roster;  // texts of the roster's pages, each line one
  };
  std::vector<std::pair<std::string, int>> many;  // runs on to a second page
  for (int i = 0; i < 40; ++i)
    many.push_back({i % 2 ? "Worked" : "Tidewalker", i == 0 ? 12 : 1});
  const std::vector<Case> cases = {
      {{{"Alley Cat", 2}, {"Tidewalker", 1}, {"Worked", 3}},
       1,
       "Alley Runners\nCap: 300 points\nTotal: 348 / 300 points\nOver the cap by 48 points.\n"
       "Figure\nCount\nPoints\nSubtotal\nTeam\nMovement\nRange\nRank\nIn play\nAlley Cat\n"
       "Alley-Runner\nNormal\nLE\nRadiant Compact\nAquatic\nRookie\nIronwood Guard\nFlight\n"
       "Experienced\n148\nTotal\n348\npage 1 of 3\n"},
      {many, 2, "Total: 2842 / 300 points\nAlley Runners (continued)\npage 2 of 15\n"},
  };
  for (const Case& c : cases) {
    const Team team = SampleTeam(c.counts);
    SCOPED_TRACE(team.entries.size());
    std::vector<std::string> messages;
    const Sheet sheet =
        LayOutTeamSheet(team, TeamSheetFigures(team, messages), {Paper::A4, 50, ""});
    EXPECT_EQ(messages, std::vector<std::string>{});
    std::map<std::string, int> covers;  // "74 points": how many dials
    int fielded = 0, boxes = 0;
    for (const TeamFigure& entry : team.entries) {
      covers["\n" + std::to_string(*entry.price.points) + " points\n"] += entry.count;
      fielded += entry.count;
    }
    ASSERT_EQ(sheet.cells.size(), static_cast<std::size_t>(fielded));
    EXPECT_EQ(sheet.cells.front().page, c.rosterPages);
    for (int page = 0; page < c.rosterPages; ++page) {
      for (const Item& item : sheet.pages[static_cast<std::size_t>(page)].items)
        boxes += std::holds_alternative<Box>(item.shape);  // one to tick for each fielded
    }
    EXPECT_EQ(boxes, fielded);

    const std::string pdf = testing::TempDir() + "team.pdf";
    std::vector<std::string> written;
    ASSERT_TRUE(WriteSheet(sheet, pdf, 300, "Team sheet", {}, written, nullptr));
    const std::string pages = std::to_string(c.rosterPages);
    const std::string roster = Shell("pdftotext -l " + pages + " " + pdf + " -").out;
    for (std::size_t at = 0, end; (end = c.roster.find('\n', at)) != std::string::npos;
         at = end + 1)
      EXPECT_NE(roster.find(c.roster.substr(at, end - at)), std::string::npos) << roster;
    const std::string dials =
        Shell("pdftotext -f " + std::to_string(c.rosterPages + 1) + " " + pdf + " -").out;
    for (const auto& [points, count] : covers)
      EXPECT_EQ(static_cast<int>(Occurrences(dials, points)), count) << points;
  }
}

// zandorik team sheet, run without a display.
TEST(TeamSheetCommand, WritesTheDocumentAndNeverOverItsInputs) {
  TestDataFile data;
  const std::string source = (data.dir / "figures.QMV").string();  // the team's relative source
  const std::string team = (data.dir / "cats.json").string();
  const std::string empty = (data.dir / "empty.json").string();
  const std::string out = (data.dir / "cats.pdf").string();
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", source);
  ASSERT_TRUE(
      WriteTeamFile(team, SampleTeam({{"Alley Cat", 2}, {"Granite Warden", 2}}), false, nullptr));
  ASSERT_TRUE(WriteTeamFile(empty, Team{"Nobody", 300, {}}, false, nullptr));
  const std::string zandorik = "env -u DISPLAY -u WAYLAND_DISPLAY " ZANDORIK_PROGRAM " team ";
  // Names that lead to the team's own files, and to a device.
  fs::create_symlink(source, data.dir / "data.pdf");
  fs::create_symlink(team, data.dir / "team.pdf");
  fs::create_symlink("/dev/null", data.dir / "null.pdf");
  const std::string before = ReadText(source) + ReadText(team);

  struct Case {
    std::string args;
    int status;
    std::string out, err;
  } cases[] = {
      {"sheet " + team + " -o " + out, 0, out + "\n", "over its cap by 76 points: 376 / 300"},
      {"sheet " + team + " --paper letter --diameter 60 --dpi 40 -o " + out, 0, out, ""},
      {"sheet " + team + " -o " + (data.dir / "data.pdf").string(), 2, "", "nothing was written"},
      {"sheet " + team + " -o " + (data.dir / "team.pdf").string(), 2, "", "nothing was written"},
      {"sheet " + team + " -o " + (data.dir / "null.pdf").string(), 0, "", ""},
      {"sheet " + team + " --json -o " + out, 2, "", "takes no --json"},
      {"sheet " + empty + " -o " + out, 2, "", "holds no figure: there is nothing to put on"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ShellRun run = Shell(zandorik + c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadText(source) + ReadText(team), before);
  EXPECT_EQ(Shell("pdfinfo " + out + " | grep 'Pages:'").out, "Pages:           3\n");
}

}  // namespace
}  // namespace zandorik
