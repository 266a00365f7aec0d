// Recovery files on real folders: the format and its damage, the locks of
// the windows that own them, the keeper's thread, and the offer at start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "recovery/recovery_commands.h"
#include "store/figure_record.h"
#include "store/figure_text.h"
#include "testing/command_run.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

RecoveredFigure Figure(const std::string& name, const std::string& dataFile) {
  FigureRecord record;
  record.Name = name;
  record.Range = 4;
  record.Rows[1].Value[0] = 10;
  record.Rows[1].Colour[0] = 255;
  return {dataFile, EncodeRecord(record)};
}

class RecoveryTest : public ::testing::Test {
 protected:
  // A recovery file as a window that was killed leaves it: no lock held.
  std::string LeaveFile(const std::string& name, const std::string& bytes) const {
    fs::create_directories(folder);
    const std::string path = folder + "/" + name + ".recovery";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (fs::exists(folder)) {
      for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TestDataFile data;
  const std::string folder = (data.dir / "state/zandorik-dial").string();
  ScriptedDesktop desktop;
  DialEditor editor{desktop};
  FileCommands files{desktop, editor};
};

TEST_F(RecoveryTest, FileComesBackWholeAndAnyDamageIsFound) {
  const RecoveredFigure figure = Figure("Ghost", "/data/my \xe9 figures.QMV");
  const std::string bytes = EncodeRecovery(figure);
  RecoveredFigure back;
  ASSERT_TRUE(DecodeRecovery(bytes, back, nullptr));
  EXPECT_EQ(back, figure);
  EXPECT_EQ(back.Name(), "Ghost");

  std::string flipped = bytes;
  flipped[bytes.size() / 2] ^= 1;
  const struct {
    std::string bytes;
    const char* why;
  } damaged[] = {
      {"", "it is not a recovery file"},
      {"{\"format\": \"zandorik-figures\"}", "it is not a recovery file"},
      {bytes.substr(0, 40), "its data file's path is damaged"},
      {bytes.substr(0, 200), "its record is damaged or cut short"},
      {bytes.substr(0, bytes.size() - 1), "its checksum does not match its contents"},
      {flipped, "its checksum does not match its contents"},
      {bytes + "more", "its checksum does not match its contents"},
  };
  for (const auto& c : damaged) {
    std::string why;
    EXPECT_FALSE(DecodeRecovery(c.bytes, back, &why)) << c.bytes.size();
    EXPECT_EQ(why, c.why) << c.bytes.size();
  }
}

TEST_F(RecoveryTest, FolderFollowsTheStateHome) {
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  const char* state = getenv("XDG_STATE_HOME");
  const std::string keptState = state ? state : "";
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_STATE_HOME", "/var/state", 1);
  EXPECT_EQ(DefaultRecoveryFolder(), "/var/state/zandorik-dial");
  setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(DefaultRecoveryFolder(), "/home/someone/.local/state/zandorik-dial");
  unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(DefaultRecoveryFolder(), "/home/someone/.local/state/zandorik-dial");
  setenv("HOME", home.c_str(), 1);
  if (state) setenv("XDG_STATE_HOME", keptState.c_str(), 1);
}

// Each window keeps a file of its own, written whole, and takes it away
// when the figure is saved or the window ends; a burst keeps the latest.
TEST_F(RecoveryTest, KeepersWriteTheirOwnFilesAndRemoveThem) {
  using namespace std::chrono_literals;
  auto first = std::make_unique<RecoveryKeeper>(folder);
  RecoveryKeeper second(folder);
  const auto t0 = RecoveryKeeper::Clock::now();
  EXPECT_EQ(first->Delay(t0), 0ms);
  for (int i = 0; i < 50; ++i)
    first->Keep(Figure("Burst " + std::to_string(i), data.path), t0);
  second.Keep(Figure("Other", ""), t0);
  first->Wait();
  second.Wait();
  EXPECT_EQ(first->Delay(t0 + 500ms), 1500ms);
  EXPECT_EQ(first->Delay(t0 + 2s), 0ms);
  ASSERT_NE(first->Path(), second.Path());
  for (auto [keeper, expected] :
       {std::pair{first.get(), Figure("Burst 49", data.path)}, {&second, Figure("Other", "")}}) {
    std::ifstream in(keeper->Path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, EncodeRecovery(expected));
  }
  EXPECT_EQ(Names().size(), 4u);  // two files, two locks
  // Neither is left over while its window runs.
  EXPECT_FALSE(RecoverySlot::Claim(first->Path()));
  EXPECT_FALSE(OfferRecovery(desktop, editor, files, second));
  EXPECT_TRUE(desktop.boxes.empty());

  second.Drop();
  second.Wait();
  EXPECT_EQ(Names().size(), 2u);
  first.reset();  // the normal end
  EXPECT_TRUE(Names().empty());
}

// Recover, Discard and Later, and a file that cannot be read: the data
// file is opened and never written, nothing is deleted unasked.
TEST_F(RecoveryTest, LeftOverFiguresAreOfferedOneAtATime) {
  data.Write({DecodeRecord(Figure("Stored", "").record.data())});
  const std::string stored = data.Bytes();
  const std::string damaged = LeaveFile("figure-1-0", "zandorik-recovery 1\ngarbage");
  LeaveFile("figure-1-1", EncodeRecovery(Figure("Later", data.path)));
  LeaveFile("figure-1-2", EncodeRecovery(Figure("Dropped", data.path)));
  LeaveFile("figure-1-3", EncodeRecovery(Figure("Ghost", data.path)));
  desktop.recoverChoices = {RecoverChoice::Later, RecoverChoice::Discard, RecoverChoice::Recover};
  RecoveryKeeper keeper(folder);
  ASSERT_TRUE(OfferRecovery(desktop, editor, files, keeper));

  EXPECT_EQ(desktop.TakeTexts(),
            (std::vector<std::string>{
                "The recovery file " + damaged +
                    " cannot be read: its data file's path is damaged. It has been set aside as " +
                    folder + "/figure-1-0.unreadable.",
                RecoverQuestion("Later"), RecoverQuestion("Dropped"), RecoverQuestion("Ghost")}));
  EXPECT_EQ(RecoverQuestion("Ghost"),
            "Recover the figure \"Ghost\" that was being edited when the program last ended?");
  EXPECT_EQ(editor.Screen().name, "Ghost");
  EXPECT_TRUE(editor.HasUnsavedChanges());
  EXPECT_EQ(files.DataFileName(), data.path);
  EXPECT_EQ(files.NameList().size(), 1u);
  EXPECT_EQ(data.Bytes(), stored);
  EXPECT_EQ(keeper.Path(), folder + "/figure-1-3.recovery");
  EXPECT_EQ(Names(), (std::vector<std::string>{"figure-1-0.unreadable", "figure-1-1.lock",
                                               "figure-1-1.recovery", "figure-1-3.lock",
                                               "figure-1-3.recovery"}));
  // A second unreadable file under the same name is set aside beside it.
  LeaveFile("figure-1-0", "damaged again");
  RecoveryKeeper other(folder);
  desktop.recoverChoices = {RecoverChoice::Later};
  EXPECT_FALSE(OfferRecovery(desktop, editor, files, other));
  EXPECT_TRUE(fs::exists(folder + "/figure-1-0.unreadable.2"));
  EXPECT_EQ(desktop.TakeTexts().back(), RecoverQuestion("Later"));
}

TEST_F(RecoveryTest, FigureWhoseDataFileIsGoneComesBackWithoutOne) {
  LeaveFile("figure-9-0", EncodeRecovery(Figure("", data.dir.string() + "/gone.QMV")));
  desktop.recoverChoices = {RecoverChoice::Recover};
  RecoveryKeeper keeper(folder);
  ASSERT_TRUE(OfferRecovery(desktop, editor, files, keeper));
  EXPECT_EQ(desktop.TakeTexts(),
            (std::vector<std::string>{
                "Recover the figure that was being edited when the program last ended?",
                "The data file " + data.dir.string() +
                    "/gone.QMV of the recovered figure is no longer there. Open or create a data "
                    "file to save the figure in."}));
  EXPECT_EQ(files.DataFileName(), "");
  EXPECT_EQ(editor.Screen().rangeText, "4");
}

// zandorik recovery lists what a window would offer, and changes nothing.
TEST_F(RecoveryTest, CommandListsTheFiguresLeftOver) {
  const char* state = getenv("XDG_STATE_HOME");
  const std::string keptState = state ? state : "";
  setenv("XDG_STATE_HOME", (data.dir / "state").c_str(), 1);
  const std::string left = LeaveFile("figure-1-0", EncodeRecovery(Figure("Ghost", data.path)));
  const std::string damaged = LeaveFile("figure-1-1", "zandorik-recovery 1\n");
  RecoveryKeeper running(folder);
  running.Keep(Figure("Running", ""));
  running.Wait();
  const std::vector<std::string> before = RecoveryFilesIn(folder);

  const CommandRun list = Zandorik({"recovery"});
  EXPECT_EQ(list.status, 3);
  EXPECT_EQ(list.out, left + ": \"Ghost\", data file " + data.path + "\n");
  EXPECT_EQ(list.err,
            "zandorik recovery: " + damaged + " cannot be read: its data file's path is damaged\n");
  const CommandRun figures = Zandorik({"recovery", "--figures"});
  const FigureText text = ReadFigureText(figures.out);
  ASSERT_EQ(text.figures.size(), 1u);
  EXPECT_EQ(EncodeRecord(text.figures[0]), Figure("Ghost", "").record);
  EXPECT_EQ(RecoveryFilesIn(folder), before);
  if (state) {
    setenv("XDG_STATE_HOME", keptState.c_str(), 1);
  } else {
    unsetenv("XDG_STATE_HOME");
  }
}

}  // namespace
}  // namespace zandorik
