// The data file from the main window: the File menu's shortcuts, the name
// box and its list, on real widgets and a real file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/form_main.h"
#include "testing/test_data_file.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

class FormMainFileTest : public WindowTest {
 protected:
  void WriteRecords(const std::vector<FigureRecord>& records) { data.Write(records); }
  QStringList Names() const {
    QStringList names;
    for (int i = 0; i < form->ComboName()->count(); ++i)
      names << form->ComboName()->itemText(i);
    return names;
  }
  void OpenByShortcut() {
    desktop.files.push_back(path);
    drive->Press(QKeySequence(Qt::CTRL | Qt::Key_O));
  }

  TestDataFile data;
  const std::string& path = data.path;
};

TEST_F(FormMainFileTest, PickingANameLoadsTheFigureAndPricesIt) {
  FigureRecord stored;
  stored.Name = "Abcdef";
  stored.Range = -2;
  stored.RankIndex = 2;
  stored.TeamIndex = 3;
  for (int k = 0; k < kColumnCount; ++k) {
    stored.RowOf(StatRow::Attack).Value[k] = 9;
    stored.RowOf(StatRow::Attack).Colour[k] = kBlackCode;
    stored.RowOf(StatRow::Damage).Colour[k] = k >= 8 ? kKOCode : kWhiteCode;
  }
  WriteRecords({stored});
  drive->TypeName(QStringLiteral("typed"));
  OpenByShortcut();
  EXPECT_EQ(Names(), QStringList{"Abcdef"});
  EXPECT_EQ(form->ComboName()->currentText(), "typed");

  desktop.saveChoices.push_back(SaveChoice::Discard);  // the typed name
  drive->PickName(0);
  EXPECT_EQ(form->ComboName()->currentText(), "Abcdef");
  EXPECT_EQ(form->TextRange()->text(), "-2");
  EXPECT_TRUE(form->OptionRank(2)->isChecked());
  EXPECT_EQ(form->ComboTeam()->currentIndex(), 3);
  EXPECT_EQ(form->Square(StatRow::Attack, 4)->text(), "9");
  EXPECT_EQ(form->Square(StatRow::Attack, 4)->CaptionColour(), QColor(Qt::white));
  EXPECT_TRUE(form->ShowsKO(StatRow::Damage, 9));
  EXPECT_EQ(form->Square(StatRow::Damage, 9)->text(), "");
  EXPECT_FALSE(form->ShowsKO(StatRow::Attack, 9));
  EXPECT_EQ(form->TextPoints()->text().toStdString(), form->Editor().PointsText());
  EXPECT_FALSE(form->TextPoints()->text().isEmpty());
}

// Once the list is filled the box must still hold exactly what was typed,
// and leaving it loads nothing.
TEST_F(FormMainFileTest, TheNameBoxNeitherCompletesNorLoadsWhatIsTyped) {
  FigureRecord stored;
  stored.Name = "Abcdef";
  stored.Range = 4;
  WriteRecords({stored});
  OpenByShortcut();
  for (const QString& typed :
       {QStringLiteral("ab"), QStringLiteral("Abc"), QStringLiteral("Abcdef")}) {
    drive->TypeName(typed);
    QTest::keyClick(form->ComboName()->lineEdit(), Qt::Key_Return);
    QTest::mouseClick(form->TextRange(), Qt::LeftButton);  // leave the box
    EXPECT_EQ(form->ComboName()->currentText(), typed);
    EXPECT_EQ(form->Editor().Screen().name, typed.toStdString());
    EXPECT_EQ(form->TextRange()->text(), "0") << typed.toStdString();
  }
  EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(FormMainFileTest, SaveAndDeleteByShortcutRebuildTheListAndKeepTheName) {
  QStringList listBehindMessage;  // the list is rebuilt before the message shows
  desktop.onMessage = [&](const std::string&) { listBehindMessage = Names(); };
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  desktop.files.push_back(path);
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_N));
  drive->TypeName(QStringLiteral("Ember"));
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  drive->TypeName(QStringLiteral("Ash"));
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(Names(), (QStringList{"Ember", "Ash"}));
  EXPECT_EQ(listBehindMessage, Names());
  drive->TypeName(QStringLiteral("Ember"));
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_D));
  EXPECT_EQ(Names(), QStringList{"Ash"});
  EXPECT_EQ(listBehindMessage, Names());
  EXPECT_EQ(form->ComboName()->currentText(), "Ember");
  EXPECT_EQ(desktop.TakeTexts(),
            (std::vector<std::string>{kOpenFileFirst, kRecordSaved, kRecordSaved, kRecordDeleted}));
  EXPECT_EQ(fs::file_size(path), 2 * kRecordLength);
}

// Names that begin alike: each entry brings back its own figure and its
// whole name, by the mouse and by the arrow keys, and a save right after
// changes no byte of the file.
TEST_F(FormMainFileTest, EachEntryLoadsItsOwnFigureAndASaveChangesNothing) {
  FigureRecord again, ag, bigBad;
  again.Name = "Again";
  again.Range = 2;
  ag.Name = "Ag";
  ag.Range = 8;
  bigBad.Name = "Big  Bad";
  bigBad.Range = 4;
  WriteRecords({again, ag, bigBad});
  OpenByShortcut();
  EXPECT_EQ(Names(), (QStringList{"Again", "Ag", "Big"}));
  const std::string before = data.Bytes();
  const struct {
    int entry;
    const char* name;
    const char* range;
  } cases[] = {{1, "Ag", "8"}, {2, "Big  Bad", "4"}, {0, "Again", "2"}};
  for (const auto& c : cases) {
    drive->PickName(c.entry);
    EXPECT_EQ(form->ComboName()->currentText(), c.name);
    EXPECT_EQ(form->TextRange()->text(), c.range) << c.name;
    drive->Press(QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(data.Bytes(), before) << c.name;
  }
  QTest::keyClick(form->ComboName()->lineEdit(), Qt::Key_Down);  // "Again"
  QTest::keyClick(form->ComboName()->lineEdit(), Qt::Key_Down);  // "Ag"
  EXPECT_EQ(form->TextRange()->text(), "8");
  EXPECT_EQ(form->ComboName()->currentText(), "Ag");
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>(3, kRecordSaved));
}

// A pick, or an open of a file no save can go to, replaces a changed
// figure only as the answer says; a save that fails goes no further.
TEST_F(FormMainFileTest, AChangedFigureIsNotReplacedUnasked) {
  const std::string damaged = (data.dir / "damaged.QMV").string();
  std::ofstream(damaged) << "half a record";
  const struct {
    bool open;  // else a pick of "Worked"
    SaveChoice answer;
    const char* range;  // typed into Alley Cat; 40000 cannot be saved
    std::int16_t stored;
    const char* title;
    const char* name;
  } cases[] = {
      {false, SaveChoice::Cancel, "5", 0, "figures.QMV*", "Alley Cat"},
      {false, SaveChoice::Discard, "5", 0, "figures.QMV", "Worked"},
      {false, SaveChoice::Save, "5", 5, "figures.QMV", "Worked"},
      {false, SaveChoice::Save, "40000", 0, "figures.QMV*", "Alley Cat"},
      {true, SaveChoice::Cancel, "5", 0, "figures.QMV*", "Alley Cat"},
      {true, SaveChoice::Save, "5", 5, "damaged.QMV", "Alley Cat"},
  };
  for (const auto& c : cases) {
    fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", path, fs::copy_options::overwrite_existing);
    ScriptedWindowDesktop d;
    FormMain f(d);
    FormMainDriver drive(f, d);
    d.files = {path, damaged};
    f.MenuFileOpen()->trigger();
    drive.PickName(5);
    drive.TypeRange(QString::fromUtf8(c.range));
    d.saveChoices.push_back(c.answer);
    c.open ? f.MenuFileOpen()->trigger() : drive.PickName(0);
    EXPECT_EQ(d.TakeTexts().at(0), SaveQuestion("Alley Cat"));
    const std::string bytes = data.Bytes();  // Alley Cat is record 7
    EXPECT_EQ(DecodeRecord(reinterpret_cast<const std::uint8_t*>(&bytes[6 * kRecordLength])).Range,
              c.stored);
    EXPECT_EQ(f.windowTitle(), QString(c.title) + " - Zandorik Dial Generator");
    EXPECT_EQ(f.ComboName()->currentText(), c.name);
    EXPECT_EQ(d.unexpected, 0);
  }
}

// After loads, pastes, resets, undo and redo the value box and the power
// list show the current square as it now is, and typing writes that.
TEST_F(FormMainFileTest, TheCurrentSquareIsShownAsItNowIs) {
  QTest::keyClicks(form->TextValue(), "7");  // no square chosen yet
  drive->Press(QKeySequence(Qt::Key_F5));
  EXPECT_EQ(form->TextValue()->text(), "");
  EXPECT_EQ(form->ImageComboColors()->count(), 0);
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", path);
  OpenByShortcut();
  drive->PickName(5);  // Alley Cat: Defense click 3 is 16, Yellow
  drive->Click(StatRow::Defense, 2);
  drive->Type(QStringLiteral("12"));
  drive->Press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  desktop.saveChoices.push_back(SaveChoice::Discard);
  const struct {
    QKeySequence keys;  // none: a pick of "Worked", whose click 3 is 16, White
    const char* value;
    const char* power;
  } steps[] = {{{}, "16", "None"},
               {Qt::CTRL | Qt::Key_Z, "12", "Defend"},
               {Qt::CTRL | Qt::Key_Y, "16", "None"},
               {Qt::CTRL | Qt::SHIFT | Qt::Key_V, "12", "Defend"},
               {Qt::Key_F5, "1", "None"},
               {Qt::CTRL | Qt::Key_Z, "12", "Defend"}};
  for (const auto& step : steps) {
    step.keys.isEmpty() ? drive->PickName(0) : drive->Press(step.keys);
    EXPECT_EQ(form->TextValue()->text(), step.value) << step.keys.toString().toStdString();
    EXPECT_EQ(form->ImageComboColors()->currentText(), step.power);
  }
  drive->Type(QStringLiteral("5"));
  EXPECT_EQ(form->Square(StatRow::Defense, 2)->text(), "5");
}

// A document the program wrote is never opened as a data file: the box says
// what it is, and the file in use stays in use.
TEST_F(FormMainFileTest, ADocumentIsNotOpenedAsADataFile) {
  FigureRecord stored;
  stored.Name = "Abcdef";
  WriteRecords({stored});
  OpenByShortcut();
  const std::string json = (data.dir / "figures.json").string();
  std::ofstream(json) << "{\n  \"format\": \"zandorik-figures\"\n}\n";
  desktop.TakeTexts();
  desktop.files.push_back(json);
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{json + " is not a data file: it looks like a JSON document."});
  EXPECT_EQ(Names(), QStringList{"Abcdef"});
  EXPECT_EQ(form->Files().DataFileName(), path);
}

}  // namespace
}  // namespace zandorik
