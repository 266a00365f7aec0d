// The Figures window on real widgets: the table of the data file in use,
// sorted and filtered as the person types, a figure loaded by a double
// click or Return (asking first about a changed figure), the table
// following the file, Compare and its text, and Where It Sits.
#include "app/form_figures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "app/qt_text.h"
#include "store/data_file.h"
#include "testing/test_data_file.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

class FormFiguresTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", data.path);
    ASSERT_TRUE(form->OpenDataFile(data.path));
    drive->Press(QKeySequence(Qt::CTRL | Qt::Key_L));
    figures = form->FiguresWindow();
    ASSERT_TRUE(figures && QTest::qWaitForWindowExposed(figures));
    table = figures->TableFigures();
  }
  // The names shown, top to bottom.
  QStringList Shown() const {
    QStringList names;
    for (int row = 0; row < table->model()->rowCount(); ++row)
      names << table->model()->index(row, 0).data().toString();
    return names;
  }
  QRect RowRect(const QString& name) const {
    const int row = static_cast<int>(Shown().indexOf(name));
    return table->visualRect(table->model()->index(row, 0));
  }
  void ClickRow(const QString& name, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(table->viewport(), Qt::LeftButton, keys, RowRect(name).center());
  }
  void SortBy(LibraryColumn column) {
    const QHeaderView* header = table->horizontalHeader();
    const int c = static_cast<int>(column);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(c) + 10, header->height() / 2));
  }

  TestDataFile data;
  FormFigures* figures = nullptr;
  QTableView* table = nullptr;
};

TEST_F(FormFiguresTest, ListsSortsAndFiltersTheFiguresOfTheFile) {
  EXPECT_EQ(figures->windowTitle(), "figures.QMV - Figures");
  EXPECT_EQ(Shown(), QStringList({"Worked", "Ember Sprite", "Tidewalker", "Granite Warden",
                                  "Nightglass Seer", "Alley Cat"}));
  const QAbstractItemModel* m = table->model();
  EXPECT_EQ(m->headerData(8, Qt::Horizontal).toString(), "Powers used");
  QStringList row;
  for (int c = 0; c < kLibraryColumnCount; ++c)
    row << m->index(1, c).data().toString();
  EXPECT_EQ(row,
            QStringList({"Ember Sprite", "53", "Cinder Pact", "Flight", "6", "1", "Rookie", "7",
                         "Flurry, Charge, Energy Explosion, Willpower, Probability Control", "2"}));
  SortBy(LibraryColumn::Points);
  EXPECT_EQ(Shown().first(), "Worked");
  SortBy(LibraryColumn::Points);  // again: falling
  EXPECT_EQ(Shown().first(), "Granite Warden");

  const struct {
    const char* text;
    int team, rank;
    const char *from, *to;
    QStringList shown;
  } filters[] = {
      {"WAR", 0, 0, "", "", {"Granite Warden"}},
      {"charge", 0, 0, "", "", {"Ember Sprite"}},
      {"", 6, 0, "", "", {"Granite Warden"}},              // Stonewall Order, after "All teams"
      {"", 0, 1, "", "", {"Tidewalker", "Ember Sprite"}},  // Rookie
      {"", 0, 0, "60", "80", {"Nightglass Seer", "Alley Cat", "Tidewalker"}},
      {"",
       0,
       0,
       "",
       "",
       {"Granite Warden", "Nightglass Seer", "Alley Cat", "Tidewalker", "Ember Sprite", "Worked"}},
  };
  for (const auto& f : filters) {
    figures->TextFilter()->clear();
    QTest::keyClicks(figures->TextFilter(), QString::fromUtf8(f.text));
    figures->ComboTeam()->setCurrentIndex(f.team);
    figures->ComboRank()->setCurrentIndex(f.rank);
    figures->TextPointsFrom()->setText(QString::fromUtf8(f.from));
    figures->TextPointsTo()->setText(QString::fromUtf8(f.to));
    EXPECT_EQ(Shown(), f.shown) << f.text << f.team << f.rank;
  }
  EXPECT_EQ(figures->LabelStatus()->text(), "6 figures");
}

TEST_F(FormFiguresTest, DoubleClickOrReturnLoadsTheFigureAskingFirstAboutChanges) {
  ClickRow("Alley Cat");  // the first click of the double click
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, RowRect("Alley Cat").center());
  EXPECT_EQ(form->ComboName()->currentText(), "Alley Cat");
  EXPECT_EQ(form->TextPoints()->text(), "74");

  drive->TypeName(QStringLiteral("Alley Cat II"));  // a change: the question comes first
  ClickRow("Tidewalker");
  desktop.saveChoices.push_back(SaveChoice::Cancel);
  QTest::keyClick(table, Qt::Key_Return);
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].kind, ScriptedDesktop::Box::SaveQuestion);
  EXPECT_EQ(form->ComboName()->currentText(), "Alley Cat II");

  // Saved on the way: the table takes in the new figure, and the load goes on.
  desktop.saveChoices.push_back(SaveChoice::Save);
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(form->ComboName()->currentText(), "Tidewalker");
  EXPECT_EQ(form->TextPoints()->text(), "62");
  EXPECT_TRUE(Shown().contains("Alley Cat II"));
  EXPECT_EQ(figures->SelectedFigures().at(0).name, "Tidewalker");
  EXPECT_EQ(desktop.unexpected, 0);
}

TEST_F(FormFiguresTest, FollowsTheFileKeepingTheSelection) {
  QSignalSpy selection(figures, &FormFigures::SelectionChanged);
  ClickRow("Ember Sprite");
  ClickRow("Alley Cat", Qt::ControlModifier);
  EXPECT_EQ(selection.count(), 2);
  // Another program appends a figure and retires the first.
  {
    DataFile file;
    FileError error, putBack;
    ASSERT_TRUE(file.Open(data.path, false, &error));
    FigureRecord added;
    added.Name = "Newcomer";
    ASSERT_TRUE(file.Write(8, added, &error, &putBack));
    ASSERT_TRUE(file.Write(1, DeletedRecord(), &error, &putBack));
  }
  figures->CommandRefresh()->click();
  EXPECT_EQ(Shown(), QStringList({"Ember Sprite", "Tidewalker", "Granite Warden", "Nightglass Seer",
                                  "Alley Cat", "Newcomer"}));
  std::vector<std::string> kept;
  for (const LibraryFigure& f : figures->SelectedFigures())
    kept.push_back(f.name + " " + std::to_string(f.record));
  EXPECT_EQ(kept, std::vector<std::string>({"Ember Sprite 2", "Alley Cat 7"}));
  EXPECT_EQ(figures->LabelStatus()->text(), "6 figures, 2 selected");

  // A save on the main window shows at once.
  drive->TypeName(QStringLiteral("Second"));
  form->MenuFileSave()->trigger();
  EXPECT_TRUE(Shown().contains("Second"));

  // A damaged file is listed as far as it is whole, and says so.
  std::filesystem::resize_file(data.path, std::filesystem::file_size(data.path) + 3);
  figures->CommandRefresh()->click();
  EXPECT_TRUE(figures->LabelStatus()->text().contains("zandorik repair"))
      << figures->LabelStatus()->text().toStdString();
  EXPECT_EQ(Shown().size(), 7);
}

TEST_F(FormFiguresTest, ComparesTwoFiguresOrOneWithTheScreenAndCopiesTheText) {
  ClickRow("Ember Sprite");
  ClickRow("Alley Cat", Qt::ControlModifier);
  QTest::mouseClick(figures->CommandCompare(), Qt::LeftButton);
  FormCompare* compare = figures->Comparing();
  ASSERT_TRUE(compare && QTest::qWaitForWindowExposed(compare));
  EXPECT_EQ(compare->Compared().figures[1].label, "Alley Cat");
  EXPECT_TRUE(compare->Grid(0)->Marked(StatRow::Speed, 0));
  EXPECT_FALSE(compare->Grid(1)->Marked(StatRow::Speed, 4));
  const QTableWidget* fields = compare->TableFields();
  EXPECT_EQ(fields->item(0, 1)->text(), "74");
  EXPECT_TRUE(fields->item(0, 1)->font().bold());
  // The breakdown's Damage line, below the eight fields.
  EXPECT_EQ(fields->item(8 + 3, 1)->text(), "15.75  (Damage +10.50)");
  QTest::mouseClick(compare->CommandCopy(), Qt::LeftButton);
  EXPECT_EQ(desktop.clipboard, ComparisonText(compare->Compared()));

  // One figure beside the figure on the screen.
  drive->EnterWorkedFigure();
  ClickRow("Worked");
  QTest::mouseClick(figures->CommandCompare(), Qt::LeftButton);
  compare = figures->Comparing();
  ASSERT_TRUE(compare);
  EXPECT_EQ(compare->Compared().figures[1].label, "On the screen");
  for (const BreakdownLine& line : compare->Compared().breakdown)
    EXPECT_EQ(line.marks[1], "") << line.field;  // the same figure
}

TEST_F(FormFiguresTest, WhereItSitsSetsTheScreenFigureAmongTheFiles) {
  EXPECT_EQ(figures->LabelStanding(), nullptr);  // nothing made before it is shown
  drive->EnterWorkedFigure();
  figures->Tabs()->setCurrentIndex(1);
  ASSERT_NE(figures->LabelStanding(), nullptr);
  // 46 points: the five others cost more, and the stored Worked the same.
  EXPECT_EQ(figures->LabelStanding()->text(),
            "The figure on the screen: 46 points, dearer than 8% of the 6 other figures of "
            "figures.QMV that Calculate accepts.");
  drive->TypeName(QStringLiteral("Worked"));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return figures->LabelStanding()->text().contains("of the 5 other figures"); }));
  const std::vector<Neighbour> nearest =
      NearestFigures(StatsOf(form->Editor().Screen()), figures->Figures()->Figures(), 3, "Worked");
  for (int r = 0; r < 3; ++r) {
    const LibraryFigure& f =
        figures->Figures()->Figures()[nearest[static_cast<std::size_t>(r)].index];
    EXPECT_EQ(figures->TableNearest()->item(r, 0)->text(), QText(f.name));
  }
  EXPECT_NE(figures->Chart(), nullptr);

  // A reference file of its own, with one cheap figure.
  FigureRecord cheap;
  cheap.Name = "Cheap";
  TestDataFile::WriteTo((data.dir / "one.QMV").string(), {cheap});
  desktop.files.push_back((data.dir / "one.QMV").string());
  QTest::mouseClick(figures->CommandReference(), Qt::LeftButton);
  EXPECT_TRUE(
      figures->LabelStanding()->text().contains("dearer than 100% of the 1 other figures "
                                                "of one.QMV"))
      << figures->LabelStanding()->text().toStdString();
  QTest::mouseClick(figures->CommandDataFileInUse(), Qt::LeftButton);
  EXPECT_TRUE(figures->LabelStanding()->text().contains("figures.QMV"));
}

}  // namespace
}  // namespace zandorik
