// The team window on real widgets: adding figures, counts and the cap
// against the total, the question before a changed team is lost, and the
// marks of figures changed in their data file.
#include "app/form_team.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "team/team_file.h"
#include "testing/test_data_file.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

class FormTeamTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path);
    ASSERT_TRUE(form->OpenDataFile(data.path));
    form->MenuFileTeam()->trigger();
    team = form->TeamWindow();
    ASSERT_TRUE(team && QTest::qWaitForWindowExposed(team));
  }
  void AddByName(const QString& name) {
    team->ComboNames()->setCurrentIndex(team->ComboNames()->findText(name));
    QTest::mouseClick(team->CommandAddName(), Qt::LeftButton);
  }
  QString Cell(int row, int column) const {
    const QTableWidgetItem* item = team->TableEntries()->item(row, column);
    return item ? item->text() : QString();
  }
  void TypeInto(QAbstractSpinBox* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  // Activation comes through the window system, after the call.
  static void Activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
  }
  void SelectRow(int row) { team->TableEntries()->setCurrentCell(row, FormTeam::kNameColumn); }

  TestDataFile data;
  FormTeam* team = nullptr;
};

TEST_F(FormTeamTest, FiguresCountsAndTheCapMakeTheTotal) {
  AddByName(QStringLiteral("Alley Cat"));
  drive->EnterWorkedFigure();
  drive->TypeName(QStringLiteral("Scout"));
  QTest::mouseClick(team->CommandAddScreen(), Qt::LeftButton);
  QTest::mouseClick(team->CommandAddScreen(), Qt::LeftButton);  // the same figure: a second
  ASSERT_EQ(team->TableEntries()->rowCount(), 2);
  EXPECT_EQ(Cell(1, FormTeam::kNameColumn), "Scout");
  EXPECT_EQ(team->SpinCount(1)->value(), 2);
  EXPECT_EQ(Cell(1, FormTeam::kSubtotalColumn), "92");
  EXPECT_EQ(team->LabelTotal()->text(), "166 / 300 points");
  EXPECT_EQ(team->windowTitle(), "Team*");

  TypeInto(team->SpinCount(0), QStringLiteral("3"));
  EXPECT_EQ(Cell(0, FormTeam::kSubtotalColumn), "222");
  EXPECT_EQ(team->LabelTotal()->text(), "314 / 300 points");
  EXPECT_EQ(team->LabelWarning()->text(), "Over the cap by 14 points.");
  EXPECT_EQ(team->LabelTotal()->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));
  TypeInto(team->SpinCap(), QStringLiteral("400"));
  EXPECT_EQ(team->LabelTotal()->text(), "314 / 400 points");
  EXPECT_EQ(team->LabelWarning()->text(), "");

  SelectRow(1);
  QTest::mouseClick(team->CommandMoveUp(), Qt::LeftButton);
  EXPECT_EQ(Cell(0, FormTeam::kNameColumn), "Scout");
  EXPECT_EQ(team->SpinCount(0)->value(), 2);
  EXPECT_FALSE(team->CommandMoveUp()->isEnabled());
  QTest::mouseClick(team->CommandRemove(), Qt::LeftButton);
  ASSERT_EQ(team->TableEntries()->rowCount(), 1);
  EXPECT_EQ(Cell(0, FormTeam::kNameColumn), "Alley Cat");
  EXPECT_EQ(team->LabelTotal()->text(), "222 / 400 points");

  // A figure without a name is not added.
  desktop.TakeTexts();
  drive->TypeName(QString());
  QTest::mouseClick(team->CommandAddScreen(), Qt::LeftButton);
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{"The figure on the screen has no name. The figure was not "
                                     "added to the team."});
  EXPECT_EQ(desktop.unexpected, 0);
}

TEST_F(FormTeamTest, AChangedTeamIsNotLostWithoutAQuestion) {
  const std::string saved = (data.dir / "cats.json").string();
  AddByName(QStringLiteral("Worked"));
  desktop.saveChoices = {SaveChoice::Cancel};
  team->close();
  EXPECT_TRUE(team->isVisible());
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{"The team has changes that are not saved. Save them before "
                                     "closing?"});

  QTest::keyClicks(team->TextName(), QStringLiteral("Cats"));
  desktop.exportFiles = {ExportChoice{(data.dir / "cats").string(), 0}};
  team->MenuTeamSave()->trigger();
  EXPECT_EQ(team->windowTitle(), "cats.json - Team");
  TeamText text;
  ASSERT_TRUE(ReadTeamFile(saved, text, nullptr));
  EXPECT_EQ(text.team.name, "Cats");
  ASSERT_EQ(text.team.entries.size(), 1u);

  // Save As over another file asks first.
  const std::string other = (data.dir / "other.json").string();
  fs::copy_file(data.path, other);
  desktop.exportFiles = {ExportChoice{other, 0}};
  desktop.answers = {false};
  team->MenuTeamSaveAs()->trigger();
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{other + " already exists.\nDo you want to replace it?"});
  EXPECT_EQ(fs::file_size(other), fs::file_size(data.path));
  EXPECT_EQ(team->windowTitle(), "cats.json - Team");

  TypeInto(team->SpinCount(0), QStringLiteral("4"));
  desktop.saveChoices = {SaveChoice::Discard};
  team->MenuTeamNew()->trigger();
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>{"The team \"Cats\" has changes that "
                                                          "are not saved. Save them first?"});
  EXPECT_EQ(team->TableEntries()->rowCount(), 0);
  EXPECT_EQ(team->LabelTotal()->text(), "0 / 300 points");
  desktop.files = {saved};
  team->MenuTeamOpen()->trigger();
  EXPECT_EQ(team->TextName()->text(), "Cats");
  EXPECT_EQ(team->SpinCount(0)->value(), 1);

  // Closing the main window asks for the team too, and Cancel keeps both.
  TypeInto(team->SpinCount(0), QStringLiteral("2"));
  desktop.saveChoices = {SaveChoice::Cancel, SaveChoice::Save};
  form->close();
  EXPECT_TRUE(form->isVisible());
  form->close();
  EXPECT_FALSE(form->isVisible());
  ASSERT_TRUE(ReadTeamFile(saved, text, nullptr));
  EXPECT_EQ(text.team.entries.at(0).count, 2);
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>(2,
                                                          "The team \"Cats\" has changes that "
                                                          "are not saved. Save them before "
                                                          "closing?"));
  EXPECT_EQ(desktop.unexpected, 0);
}

TEST_F(FormTeamTest, FiguresChangedInTheDataFileAreMarkedAndRefreshed) {
  AddByName(QStringLiteral("Alley Cat"));
  EXPECT_EQ(Cell(0, FormTeam::kPointsColumn), "74");
  // The figure is changed and saved from the main window.
  Activate(form.get());
  drive->PickName(team->ComboNames()->findText(QStringLiteral("Alley Cat")));
  drive->Click(StatRow::Attack, 0);
  drive->Type(QStringLiteral("12"));
  drive->Calculate();
  const QString points = form->TextPoints()->text();
  form->MenuFileSave()->trigger();
  ASSERT_EQ(desktop.TakeTexts(), std::vector<std::string>{"Record saved."});

  Activate(team);
  EXPECT_EQ(Cell(0, FormTeam::kSourceColumn), "changed");
  EXPECT_EQ(Cell(0, FormTeam::kPointsColumn), "74");
  QTest::mouseClick(team->CommandRefresh(), Qt::LeftButton);
  EXPECT_EQ(Cell(0, FormTeam::kPointsColumn), points);
  EXPECT_EQ(Cell(0, FormTeam::kSourceColumn), "");
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{"Taken from the data file again: \"Alley Cat\"."});
}

// "Print Team" and "Export Team Sheet..." with the dial sheets' settings,
// shared with the main window: the roster first, then one dial for each
// figure fielded.
TEST_F(FormTeamTest, PrintTeamAndExportTeamSheet) {
  const std::string nothing = "The team has no figures: there is nothing to print.";
  team->MenuTeamPrint()->trigger();
  team->MenuTeamExportSheet()->trigger();
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>(2, nothing));

  QTest::keyClicks(team->TextName(), QStringLiteral("Cats"));
  AddByName(QStringLiteral("Alley Cat"));
  AddByName(QStringLiteral("Tidewalker"));
  TypeInto(team->SpinCount(0), QStringLiteral("2"));
  const SheetSettings letter{true, 60, false, false};
  desktop.sheetSettings = {letter};
  desktop.exportFiles = {std::nullopt};
  form->MenuFileExportSheet()->trigger();  // chosen in the main window
  const std::string base = (data.dir / "cats").string();
  desktop.sheetSettings = {letter};
  desktop.exportFiles = {ExportChoice{base, 1}};
  team->MenuTeamExportSheet()->trigger();
  EXPECT_EQ(desktop.settingsOffered.back(), letter);
  std::ifstream in(base + "-1.svg");
  const std::string roster(std::istreambuf_iterator<char>(in), {});
  for (const char* text : {">Cats<", ">Total: 210 / 300 points<", ">Radiant Compact<",
                           "width=\"215.9mm\"", ">page 1 of 2<"})
    EXPECT_NE(roster.find(text), std::string::npos) << text;
  EXPECT_TRUE(fs::exists(base + "-2.svg") && !fs::exists(base + "-3.svg"));  // 3 dials

  desktop.printFailure =
      "No default printer is set up on this computer, so the team sheet was not printed.";
  team->MenuTeamPrint()->trigger();
  EXPECT_EQ(desktop.teamPrints, std::vector<std::string>{"Cats"});
  EXPECT_EQ(desktop.sheetPrints, std::vector<SheetSettings>{letter});
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>{*desktop.printFailure});
  EXPECT_EQ(desktop.unexpected, 0);
}

}  // namespace
}  // namespace zandorik
