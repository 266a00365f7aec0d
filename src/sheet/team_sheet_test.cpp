// The team's document: the roster's texts read back from the PDF, one dial
// for each figure fielded, the roster running on to more pages; and
// `zandorik team sheet` as a program, which never writes over its inputs.
#include "sheet/team_sheet.h"

#include <unistd.h>

#include <filesystem>
#include <map>

#include "sheet/sheet_output.h"
#include "sheet/sheet_test_support.h"
#include "store/figure_text.h"
#include "team/team_file.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

// The sample figures by name, `count` of each, from figures.QMV.
Team SampleTeam(const std::vector<std::pair<std::string, int>>& counts, std::int64_t cap) {
  Team team{"Alley Runners", cap, {}};
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
    std::int64_t cap;
    int rosterPages;
    std::vector<std::string> roster;  // texts of the roster's first page
  };
  std::vector<std::pair<std::string, int>> many;
  for (int i = 0; i < 10; ++i) {
    for (const char* name : {"Worked", "Tidewalker", "Alley Cat", "Granite Warden"})
      many.push_back({name, i == 0 && name[0] == 'W' ? 12 : 1});
  }
  const std::vector<Case> cases = {
      {{{"Alley Cat", 2}, {"Tidewalker", 1}, {"Worked", 3}},
       300,
       1,
       {"Alley Runners",
        "Cap: 300 points",
        "Total: 348 / 300 points",
        "Over the cap by 48 points.",
        "Figure",
        "Count",
        "Points",
        "Subtotal",
        "Team",
        "Movement",
        "Range",
        "Rank",
        "In play",
        "Alley Cat",
        "Alley-Runner",
        "Normal",
        "LE",
        "Tidewalker",
        "Radiant Compact",
        "Aquatic",
        "Rookie",
        "Ironwood Guard",
        "Flight",
        "Experienced",
        "148",
        "Total",
        "348",
        "page 1 of 3"}},
      // Each sample figure four times over runs on to a second page.
      {many, 5000, 2, {"Total: 3466 / 5000 points", "Granite Warden"}},
  };
  for (const Case& c : cases) {
    const Team team = SampleTeam(c.counts, c.cap);
    SCOPED_TRACE(team.entries.size());
    std::vector<std::string> messages;
    const std::vector<SheetFigure> figures = TeamSheetFigures(team, messages);
    EXPECT_EQ(messages, std::vector<std::string>{});
    const Sheet sheet = LayOutTeamSheet(team, figures, {Paper::A4, 50, "team.json"});
    int fielded = 0, boxes = 0;
    for (const TeamFigure& entry : team.entries)
      fielded += entry.count;
    ASSERT_EQ(sheet.cells.size(), static_cast<std::size_t>(fielded));
    EXPECT_EQ(sheet.cells.front().page, c.rosterPages);
    for (int page = 0; page < c.rosterPages; ++page) {
      for (const Item& item : sheet.pages[static_cast<std::size_t>(page)].items) {
        const Box* box = std::get_if<Box>(&item.shape);
        boxes += box && !box->filled && box->width == 4;
      }
    }
    EXPECT_EQ(boxes, fielded);

    const std::string pdf = testing::TempDir() + "team.pdf";
    std::vector<std::string> written;
    ASSERT_TRUE(WriteSheet(sheet, pdf, 300, "Team sheet", {}, written, nullptr));
    const std::string roster = Shell("pdftotext -f 1 -l 1 " + pdf + " -").out;
    for (const std::string& text : c.roster)
      EXPECT_NE(roster.find(text), std::string::npos) << text << " in\n" << roster;
    if (c.rosterPages > 1) {
      const std::string next = Shell("pdftotext -f 2 -l 2 " + pdf + " -").out;
      EXPECT_NE(next.find("Alley Runners (continued)"), std::string::npos) << next;
      EXPECT_NE(next.find("Total"), std::string::npos) << next;
    }
    // Each dial's cover gives its points: one cover for each one fielded.
    const std::string dials =
        Shell("pdftotext -f " + std::to_string(c.rosterPages + 1) + " " + pdf + " -").out;
    std::map<std::string, std::size_t> covers;  // "74 points": how many dials
    for (const TeamFigure& entry : team.entries)
      covers[std::to_string(*entry.price.points) + " points"] += entry.count;
    for (const auto& [points, count] : covers)
      EXPECT_EQ(Occurrences(dials, "\n" + points + "\n"), count) << points;
    EXPECT_NE(dials.find("page " + std::to_string(sheet.pages.size()) + " of " +
                         std::to_string(sheet.pages.size())),
              std::string::npos);
  }
}

// zandorik team sheet, run without a display.
TEST(TeamSheetCommand, WritesTheDocumentAndNeverOverItsInputs) {
  TestDataFile data;
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path);
  const std::string team = (data.dir / "cats.json").string();
  const std::string empty = (data.dir / "empty.json").string();
  const std::string out = (data.dir / "cats.pdf").string();
  ASSERT_TRUE(WriteTeamFile(empty, Team{"Nobody", 300, {}}, false, nullptr));
  const std::string zandorik = "env -u DISPLAY -u WAYLAND_DISPLAY " ZANDORIK_PROGRAM " team ";
  ASSERT_EQ(Shell(zandorik + "new " + team + " --cap 300").status, 0);
  ASSERT_EQ(Shell(zandorik + "add " + team + " " + data.path + " 'Alley Cat' --count 2").status, 0);
  ASSERT_EQ(Shell(zandorik + "add " + team + " " + data.path + " 'Granite Warden' --count 2").status, 0);
  // Names that lead to the team's own files, and to a device.
  fs::create_symlink(data.path, data.dir / "data.pdf");
  fs::create_symlink(team, data.dir / "team.pdf");
  fs::create_symlink("/dev/null", data.dir / "null.pdf");
  const std::string before = ReadText(data.path) + ReadText(team);

  struct Case {
    std::string args;
    int status;
    std::string out, err;
  } cases[] = {
      {"sheet " + team + " -o " + out, 0, out + "\n", "over its cap by 76 points: 376 / 300"},
      {"sheet " + team + " --paper letter --diameter 60 --no-codes --registration --dpi 40 -o " +
           (data.dir / "cats.png").string(),
       0, (data.dir / "cats-1.png").string() + "\n", ""},
      {"sheet " + team + " -o " + (data.dir / "data.pdf").string(), 2, "", "nothing was written"},
      {"sheet " + team + " -o " + (data.dir / "team.pdf").string(), 2, "", "nothing was written"},
      {"sheet " + team + " -o " + (data.dir / "null.pdf").string(), 0, "", ""},
      {"sheet " + team + " -o " + (data.dir / "no" / "x.pdf").string(), 4, "", "cannot write"},
      {"sheet " + team + " --diameter 90 -o " + out, 2, "", "from 40 to 80"},
      {"sheet " + team, 2, "", "-o OUT.pdf"},
      {"sheet " + team + " --json -o " + out, 2, "", "takes no --json"},
      {"sheet " + empty + " -o " + out, 2, "", "holds no figure: there is nothing to put on"},
      {"sheet " + data.path + " -o " + out, 2, "", "is no team file that can be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ShellRun run = Shell(zandorik + c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadText(data.path) + ReadText(team), before);
  EXPECT_EQ(Shell("pdfinfo " + out + " | grep Pages:").out, "Pages:           2\n");
  EXPECT_TRUE(fs::exists(data.dir / "cats-2.png"));
}

}  // namespace
}  // namespace zandorik
