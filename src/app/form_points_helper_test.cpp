// The points helper on the real widgets: opened by its shortcut, following
// every edit of the window without a box, the worth of the square under
// the mouse, and suggestions found on a worker thread and applied by a
// double-click as one undo step.
#include "app/form_points_helper.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QMenuBar>
#include <set>

#include "app/qt_text.h"
#include "model/numbers.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

class FormPointsHelperTest : public WindowTest {
 protected:
  FormPointsHelper* Open() {
    drive->Press(QKeySequence(Qt::CTRL | Qt::Key_H));
    FormPointsHelper* helper = form->PointsHelper();
    if (helper) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(helper));
    }
    return helper;
  }
  // The helper's price is the one Calculate would give the screen now.
  void ExpectLivePrice(FormPointsHelper* helper, const std::string& after) {
    const LivePrice now = PriceFigure(form->Editor().Screen());
    EXPECT_EQ(helper->TextPoints()->text(), QText(PointsText(now.calculation))) << after;
    EXPECT_EQ(helper->TextTotal()->text(), QText(FormatGeneral(now.calculation.total))) << after;
  }
  bool WaitForSearch(FormPointsHelper* helper) {
    return QTest::qWaitFor([&] { return !helper->Searching(); }, 30000);
  }
  void DoubleClick(FormPointsHelper* helper, int row) {
    QTreeWidget* list = helper->ListSuggestions();
    const QRect item = list->visualItemRect(list->topLevelItem(row));
    // A press first: the view takes a double-click only on the item pressed.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, item.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
  }
};

TEST_F(FormPointsHelperTest, OpensOnceByAShortcutNoOtherActionHas) {
  FormPointsHelper* helper = Open();
  ASSERT_NE(helper, nullptr);
  EXPECT_TRUE(helper->isVisible());
  EXPECT_FALSE(helper->isModal());
  EXPECT_EQ(helper->windowTitle(), "Points Helper");
  EXPECT_EQ(form->MenuOptionsPointsHelper()->text(), "Points &Helper");
  EXPECT_EQ(Open(), helper);
  std::set<QString> keys;
  for (const QAction* action : form->findChildren<QAction*>()) {
    for (const QKeySequence& key : action->shortcuts())
      EXPECT_TRUE(keys.insert(key.toString()).second) << key.toString().toStdString();
  }
  form->close();
  QTest::qWait(0);
  EXPECT_EQ(form->PointsHelper(), nullptr);
}

TEST_F(FormPointsHelperTest, FollowsEveryEditAndListsProblemsWithoutABox) {
  FormPointsHelper* helper = Open();
  const struct {
    const char* name;
    std::function<void()> edit;
  } edits[] = {
      {"the worked figure entered", [&] { drive->EnterWorkedFigure(); }},
      {"a value typed",
       [&] {
         drive->Click(StatRow::Attack, 1);
         drive->Type(QStringLiteral("13"));
       }},
      {"a power chosen", [&] { drive->Choose("Grey"); }},
      {"a KO marking", [&] { drive->MarkKO(StatRow::Defense, 4); }},
      {"the range typed", [&] { drive->TypeRange(QStringLiteral("10")); }},
      {"a bolt", [&] { QTest::mouseClick(form->CheckBolt(2), Qt::LeftButton); }},
      {"a team", [&] { form->ComboTeam()->setCurrentIndex(8); }},
      {"a rank", [&] { QTest::mouseClick(form->OptionRank(4), Qt::LeftButton); }},
      {"undo", [&] { drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Z)); }},
      {"redo", [&] { drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Y)); }},
      {"reset", [&] { drive->Press(QKeySequence(Qt::Key_F5)); }},
  };
  for (const auto& e : edits) {
    e.edit();
    ExpectLivePrice(helper, e.name);
  }
  for (const ScriptedDesktop::Box& box : desktop.boxes)
    EXPECT_EQ(box.kind, ScriptedDesktop::Box::Question);  // only the KO marking asked
  EXPECT_TRUE(helper->TextProblems()->toPlainText().isEmpty());

  drive->Click(StatRow::Damage, 0);
  drive->Type(QStringLiteral("7"));
  drive->TypeRange(QStringLiteral("3"));
  desktop.boxes.clear();
  EXPECT_EQ(helper->TextProblems()->toPlainText(), "Error in Damage: 7\nError in range: 3");
  EXPECT_TRUE(desktop.boxes.empty());
  drive->Calculate();  // Calculate says the same in its boxes
  EXPECT_EQ(desktop.TakeTexts(),
            (std::vector<std::string>{"Error in Damage: 7", "Error in range: 3"}));
  EXPECT_EQ(helper->TextPoints()->text(), form->TextPoints()->text());
}

TEST_F(FormPointsHelperTest, ShowsTheWorthOfTheSquareUnderTheMouseOrTheCurrentOne) {
  drive->EnterWorkedFigure();
  FormPointsHelper* helper = Open();
  drive->Click(StatRow::Defense, 2);
  const auto spoken = [&](StatRow row, int column) {
    return QText(SpokenSquare(row, column, form->Editor().Screen().Square(row, column)));
  };
  EXPECT_EQ(helper->LabelSquare()->text(), spoken(StatRow::Defense, 2));
  QTest::mouseMove(form->Square(StatRow::Speed, 0));
  QTest::qWait(20);
  EXPECT_EQ(helper->LabelSquare()->text(), spoken(StatRow::Speed, 0));
  const QString more = helper->LabelWorth(Variant::OneMore)->text();
  EXPECT_EQ(helper->LabelWorth(Variant::Plain)->text(), "-");
  EXPECT_EQ(helper->Heat()->CellText(StatRow::Speed, 0), "+0.19");
  EXPECT_EQ(helper->Heat()->CellText(StatRow::Speed, 8), "KO");
  QTest::mouseMove(helper->Heat(), helper->Heat()->CellRect(StatRow::Damage, 5).center());
  EXPECT_EQ(helper->LabelSquare()->text(), spoken(StatRow::Damage, 5));
  QTest::mouseMove(helper->Heat(), QPoint(1, 1));
  EXPECT_EQ(helper->LabelSquare()->text(), spoken(StatRow::Defense, 2));

  // "One more" is what the window gives once that is typed.
  drive->Click(StatRow::Speed, 0);
  drive->Type(QStringLiteral("9"));
  drive->Calculate();
  EXPECT_TRUE(more.startsWith(form->TextPoints()->text() + " points")) << more.toStdString();
}

TEST_F(FormPointsHelperTest, ASuggestionDoubleClickedIsAppliedAsOneUndoStep) {
  drive->EnterWorkedFigure();
  drive->Calculate();
  const FigureScreen before = form->Editor().Screen();
  FormPointsHelper* helper = Open();
  EXPECT_EQ(helper->LabelStatus()->text(), "Type the points you want.");
  QTest::keyClicks(helper->TextTarget(), QStringLiteral("50"));
  ASSERT_TRUE(WaitForSearch(helper));
  QTreeWidget* list = helper->ListSuggestions();
  ASSERT_GT(list->topLevelItemCount(), 0);
  EXPECT_TRUE(helper->LabelStatus()->text().endsWith("Double-click one to apply it."));
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    EXPECT_EQ(list->topLevelItem(i)->text(1), "50");

  const std::size_t steps = form->Editor().UndoCount();
  DoubleClick(helper, 0);
  EXPECT_EQ(form->TextPoints()->text(), "50");
  EXPECT_EQ(form->Editor().UndoCount(), steps + 1);
  EXPECT_EQ(helper->TextPoints()->text(), "50");
  ASSERT_TRUE(WaitForSearch(helper));
  EXPECT_EQ(helper->LabelStatus()->text(),
            "The figure costs 50 points: on target, nothing to change.");
  QTest::keySequence(helper->ListSuggestions(), QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_TRUE(SameFigure(form->Editor().Screen(), before));
  EXPECT_EQ(form->TextPoints()->text(), "46");
}

// A search running when the figure changes is dropped: what the list then
// shows is for the figure on the screen.
TEST_F(FormPointsHelperTest, AnEditStopsTheSearchAndStartsAgain) {
  drive->EnterWorkedFigure();
  FormPointsHelper* helper = Open();
  for (int i = 0; i < FormPointsHelper::kChangeChecks; ++i)
    helper->CheckChange(i)->setChecked(true);
  QTest::keyClicks(helper->TextTarget(), QStringLiteral("500"));
  EXPECT_TRUE(helper->Searching());
  drive->Click(StatRow::Attack, 0);
  drive->Type(QStringLiteral("15"));
  EXPECT_EQ(helper->ListSuggestions()->topLevelItemCount(), 0);
  ASSERT_TRUE(WaitForSearch(helper));
  EXPECT_TRUE(helper->LabelStatus()->text().startsWith(
      "Nothing within 3 changes reaches 500 points; the closest on each side are shown."));
  QTreeWidget* list = helper->ListSuggestions();
  ASSERT_GT(list->topLevelItemCount(), 0);
  const QString best = list->topLevelItem(list->topLevelItemCount() - 1)->text(1);
  EXPECT_TRUE(list->topLevelItem(0)->text(0).startsWith("Closest below: "));
  DoubleClick(helper, list->topLevelItemCount() - 1);
  EXPECT_EQ(form->TextPoints()->text(), best);
}

}  // namespace
}  // namespace zandorik
