// zandorik team: a team built from the sample data file, its total against
// the cap, and the exit statuses scripts check.
#include <gtest/gtest.h>

#include <filesystem>

#include "team/team_file.h"
#include "testing/command_run.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

TEST(TeamCommand, BuildsATeamAndSaysWhetherItIsWithinItsCap) {
  TestDataFile data;
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path);
  const std::string team = (data.dir / "cats.json").string();
  const std::string broken = (data.dir / "broken.json").string();
  FigureRecord bad;
  bad.Name = "Broken";
  bad.RowOf(StatRow::Damage).Value.fill(9);  // more damage than the formula prices
  Team withBad;
  withBad.entries.push_back(TeamFigure::Of(bad, std::nullopt, 1));
  ASSERT_TRUE(WriteTeamFile(broken, withBad, false, nullptr));

  struct Step {
    std::vector<std::string> args;
    int status;
    std::string out;  // what it writes, in part ("" for anything)
    std::string err = {};
  } steps[] = {
      {{"new", team, "--cap", "300", "--name", "Alley Cats"}, 0, "an empty team, 0 / 300 points"},
      {{"new", team, "--cap", "500"}, 4, "", "exists already; nothing was written"},
      {{"new", data.path, "--cap", "500"},
       2,
       "",
       " is a data file, which writing it would destroy"},
      {{"new", team + "2", "--cap", "0"}, 2, "", "--cap must be a whole number from 1 to 1000000"},
      {{"add", team, data.path, "Alley Cat", "--count", "2"},
       0,
       "2 of \"Alley Cat\" added: 148 / 300 points\n"},
      {{"add", team, data.path, "Alley Cat", "--count", "98"}, 2, "", "holds 2 of \"Alley Cat\""},
      {{"add", team, data.path, "Nobody"}, 2, "", "no figure named \"Nobody\" is stored"},
      {{"add", team, data.path, "Worked  "}, 0, "194 / 300 points\n"},
      {{"show", team}, 0, "      2      74       148  Alley Cat\n", ""},
      {{"add", team, data.path, "Granite Warden"}, 0, "308 / 300 points, over the cap\n"},
      {{"show", team}, 3, "Total: 308 / 300 points, over the cap by 8 points\n"},
      {{"show", team, "--json"}, 3, "\"total\": 308,\n  \"over_cap\": true,"},
      {{"show", broken}, 3, "", "\"Broken\": "},
      {{"show", data.path}, 2, "", ": it is a data file, not a team file\n"},
      {{"show", team + ".none"}, 1, "", "No such file or directory"},
      {{"show", team, "--cap", "3"}, 2, "", "zandorik team show: takes no --cap"},
      {{"lend", team}, 2, "", "unknown verb \"lend\""},
  };
  for (const Step& step : steps) {
    std::vector<std::string> args = {"team"};
    args.insert(args.end(), step.args.begin(), step.args.end());
    const CommandRun run = Zandorik(args);
    const std::string shown = step.args[0] + " " + step.args.back();
    EXPECT_EQ(run.status, step.status) << shown << "\n" << run.err;
    EXPECT_NE(run.out.find(step.out), std::string::npos) << shown << "\n" << run.out;
    EXPECT_NE(run.err.find(step.err), std::string::npos) << shown << "\n" << run.err;
  }
}

}  // namespace
}  // namespace zandorik
