// The team window's commands without a window: what they say when a team
// file, a data file or a save goes wrong, and that the team stays as it was.
#include "team/team_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "team/team_file.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

class TeamCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path);
    ASSERT_TRUE(file.Open(data.path, false, nullptr));
    ASSERT_TRUE(file.ListNames(names, nullptr));
    commands.SetLockWait(std::chrono::milliseconds(0));
  }
  const NameEntry& Listed(const std::string& shown) const {
    return *std::find_if(names.begin(), names.end(),
                         [&](const NameEntry& entry) { return entry.shown == shown; });
  }
  std::string Path(const char* name) const { return (data.dir / name).string(); }

  TestDataFile data;
  DataFile file;
  std::vector<NameEntry> names;
  ScriptedDesktop desktop;
  TeamCommands commands{desktop};
};

TEST_F(TeamCommandsTest, WhatCannotBeOpenedOrSavedIsSaidAndTheTeamStays) {
  ASSERT_TRUE(commands.AddListedFigure(data.path, Listed("Worked")));
  std::ofstream(Path("bad.json")) << R"({"format": "zandorik-team", "version": 1, "name": "",
    "cap": 0, "figures": [{"count": 1}]})";
  struct Case {
    std::string path, said;
  } cases[] = {
      {Path("none.json"), "The team file cannot be read: " + Path("none.json") +
                              ": No such file or directory\nThe team is as it was."},
      {Path("bad.json"), Path("bad.json") +
                             " is no team file that can be opened:\ncap: must be a whole number "
                             "from 1 to 1000000, not 0\nfigures[0]: no \"name\"\nfigures[0]: no "
                             "\"move\"\nfigures[0]: no \"team\"\nfigures[0]: no \"range\"\n"
                             "figures[0]: no \"bolts\"\nfigures[0]: no \"rank\"\nfigures[0]: no "
                             "\"dial\"\nThe team is as it was."},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(commands.OpenFile(c.path));
    EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>{c.said});
    EXPECT_EQ(commands.Current().entries.size(), 1u);
  }

  desktop.exportFiles = {ExportChoice{Path("no folder/cats.json"), 0}};
  EXPECT_FALSE(commands.Save());
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{"The team was not saved: " + Path("no folder/cats.json") +
                                     ": No such file or directory"});
  EXPECT_TRUE(commands.HasUnsavedChanges());

  // The data file the figure came from, replaced after the question: refused.
  const std::string before = data.Bytes();
  desktop.exportFiles = {ExportChoice{data.path, 0}};
  desktop.answers = {true};
  EXPECT_FALSE(commands.SaveAs());
  EXPECT_EQ(desktop.TakeTexts().back(), "The team was not saved: the output " + data.path +
                                            " is a data file, which writing it would destroy");
  EXPECT_EQ(data.Bytes(), before);
  EXPECT_EQ(desktop.unexpected, 0);
}

TEST_F(TeamCommandsTest, RefreshTakesChangedFiguresAndNamesWhatItLeft) {
  for (const char* name : {"Alley Cat", "Worked", "Tidewalker", "Ember Sprite"})
    ASSERT_TRUE(commands.AddListedFigure(data.path, Listed(name)));
  ASSERT_TRUE(commands.AddListedFigure(data.path, Listed("Worked")));  // a second Worked
  FigureRecord figure;
  bool listed = false;
  ASSERT_TRUE(file.ReadListed(Listed("Alley Cat"), figure, listed, nullptr));
  figure.Range = 4;
  ASSERT_TRUE(file.Write(Listed("Alley Cat").record, figure, nullptr, nullptr));
  ASSERT_TRUE(file.ReadListed(Listed("Tidewalker"), figure, listed, nullptr));
  figure.Name = "Tideturner";
  ASSERT_TRUE(file.Write(Listed("Tidewalker").record, figure, nullptr, nullptr));

  commands.CheckSources(std::chrono::milliseconds(0));
  EXPECT_EQ(commands.SourceStates(),
            (std::vector<SourceState>{SourceState::Changed, SourceState::Same,
                                      SourceState::NotStored, SourceState::Same}));
  commands.Refresh();
  EXPECT_EQ(
      desktop.TakeTexts(),
      std::vector<std::string>{"Taken from the data file again: \"Alley Cat\".\n\"Tidewalker\" "
                               "is no longer stored in figures.QMV; it stays as it is."});
  EXPECT_EQ(commands.Current().entries[0].figure.Range, 4);
  EXPECT_EQ(commands.Current().entries[1].count, 2);
  EXPECT_EQ(commands.SourceStates()[0], SourceState::Same);

  // A name list read before a change no longer finds its figure.
  EXPECT_FALSE(commands.AddListedFigure(data.path, Listed("Tidewalker")));
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{"\"Tidewalker\" is no longer stored where the name list found "
                                     "it: open the data file again. The figure was not added to "
                                     "the team."});
  EXPECT_EQ(desktop.unexpected, 0);
}

}  // namespace
}  // namespace zandorik
