// Editing without fear on the real window: the Edit menu and its keys in
// every box, the question before a changed figure is closed, the title, the
// dial by keyboard and the names a screen reader speaks.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <functional>

#include "app/form_main.h"
#include "testing/test_data_file.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

class FormMainEditTest : public WindowTest {
 protected:
  void TearDown() override {
    // The window goes without its question.
    form.reset();
  }
  QString SquareText(StatRow row, int column) { return form->Square(row, column)->text(); }
  void Keys(QWidget* at, QKeySequence keys) { QTest::keySequence(at, keys); }
  void OpenNewFile() {
    desktop.files.push_back(data.path);
    drive->Press(QKeySequence(Qt::CTRL | Qt::Key_N));
  }
  // The name a screen reader gets. Qt on Linux gives a combo box's text
  // as its name and names it by its label instead, so both are asked.
  QString Spoken(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    if (!a) return {};
    if (a->role() != QAccessible::ComboBox) return a->text(QAccessible::Name);
    const auto labels = a->relations(QAccessible::Label);
    const QString label =
        labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    return label + "/" + widget->accessibleName();
  }

  TestDataFile data;
};

const QKeySequence kUndo(Qt::CTRL | Qt::Key_Z);
const QKeySequence kRedo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
const QKeySequence kRedoY(Qt::CTRL | Qt::Key_Y);

TEST_F(FormMainEditTest, FiveSquaresAndATeamUndoneAndRedoneByTheKeys) {
  EXPECT_FALSE(form->MenuEditUndo()->isEnabled());
  EXPECT_FALSE(form->MenuEditRedo()->isEnabled());
  for (int column = 0; column < 5; ++column) {
    drive->Click(StatRow::Attack, column);
    drive->Type(QString::number(10 + column));
  }
  form->ComboTeam()->setCurrentIndex(4);
  EXPECT_TRUE(form->MenuEditUndo()->isEnabled());
  // The focus sits in "Value:", whose own undo would take the keys.
  ASSERT_TRUE(form->TextValue()->hasFocus());
  Keys(form->TextValue(), kUndo);
  EXPECT_EQ(form->ComboTeam()->currentIndex(), 0);
  EXPECT_EQ(SquareText(StatRow::Attack, 4), "14");
  EXPECT_TRUE(form->MenuEditRedo()->isEnabled());
  for (int i = 0; i < 5; ++i)
    Keys(form->TextValue(), kUndo);
  for (int column = 0; column < 5; ++column)
    EXPECT_EQ(SquareText(StatRow::Attack, column), "1");
  EXPECT_FALSE(form->MenuEditUndo()->isEnabled());
  Keys(form->TextValue(), kUndo);  // nothing left: the box's own undo stays out
  EXPECT_EQ(SquareText(StatRow::Attack, 0), "1");
  // Redo by both keys, from the range box and the name box too.
  const std::pair<QWidget*, QKeySequence> redos[] = {
      {form->TextValue(), kRedo},  {form->TextRange(), kRedoY}, {form->ComboName(), kRedo},
      {form->TextValue(), kRedoY}, {form->TextPoints(), kRedo}, {form->TextValue(), kRedo}};
  for (const auto& [box, keys] : redos) {
    box->setFocus();
    Keys(box, keys);
  }
  for (int column = 0; column < 5; ++column)
    EXPECT_EQ(SquareText(StatRow::Attack, column), QString::number(10 + column));
  EXPECT_EQ(form->ComboTeam()->currentIndex(), 4);
  EXPECT_FALSE(form->MenuEditRedo()->isEnabled());
  EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(FormMainEditTest, UndoPutsBackAKOMarkingAndTheNameAsTyped) {
  drive->TypeName(QStringLiteral("Ember"));
  drive->MarkKO(StatRow::Defense, 6);
  EXPECT_FALSE(form->TextValue()->isEnabled());
  Keys(form.get(), kUndo);
  for (int column = 6; column < kColumnCount; ++column)
    EXPECT_FALSE(form->ShowsKO(StatRow::Speed, column));
  EXPECT_TRUE(form->TextValue()->isEnabled());
  EXPECT_EQ(form->TextValue()->text(), "1");
  EXPECT_EQ(form->ImageComboColors()->currentText(), "None");
  Keys(form.get(), kUndo);  // the whole name in one step
  EXPECT_EQ(form->ComboName()->currentText(), "");
  Keys(form.get(), kRedoY);
  Keys(form.get(), kRedoY);
  EXPECT_EQ(form->ComboName()->currentText(), "Ember");
  EXPECT_TRUE(form->ShowsKO(StatRow::Damage, 10));
  EXPECT_FALSE(form->TextValue()->isEnabled());
}

struct CloseCase {
  const char* what;
  bool change;
  bool withFile;
  std::optional<SaveChoice> answer;  // nothing: no question expected
  bool closes;
  std::vector<std::string> messages;
};

TEST_F(FormMainEditTest, ClosingAChangedFigureAsksFirst) {
  const std::string question =
      "The figure \"Ash\" has changes that are not saved. Save them before closing?";
  const CloseCase cases[] = {
      {"unchanged", false, false, std::nullopt, true, {}},
      {"Cancel", true, false, SaveChoice::Cancel, false, {question}},
      {"Discard", true, false, SaveChoice::Discard, true, {question}},
      {"Save without a file", true, false, SaveChoice::Save, false, {question, kOpenFileFirst}},
      {"Save with a file", true, true, SaveChoice::Save, true, {question, kRecordSaved}},
  };
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(data.path);
    ScriptedWindowDesktop d;
    FormMain f(d);
    FormMainDriver drive(f, d);
    f.show();
    if (c.withFile) {
      d.files.push_back(data.path);
      f.MenuFileNew()->trigger();
    }
    if (c.change) {
      drive.TypeName(QStringLiteral("Ash"));
      drive.Click(StatRow::Speed, 0);
      drive.Type(QStringLiteral("7"));
    }
    d.boxes.clear();
    if (c.answer) d.saveChoices.push_back(*c.answer);
    EXPECT_EQ(f.close(), c.closes);
    EXPECT_EQ(f.isVisible(), !c.closes);
    EXPECT_EQ(d.TakeTexts(), c.messages);
    EXPECT_EQ(d.unexpected, 0);
    EXPECT_EQ(std::filesystem::exists(data.path) ? std::filesystem::file_size(data.path) : 0,
              c.withFile ? kRecordLength : 0);
    if (!c.closes) {
      d.saveChoices.push_back(SaveChoice::Discard);
      f.MenuFileExit()->trigger();  // Exit asks the same way
      EXPECT_FALSE(f.isVisible());
    }
  }
  drive->Click(StatRow::Speed, 0);  // a figure without a name
  drive->Type(QStringLiteral("7"));
  desktop.saveChoices.push_back(SaveChoice::Cancel);
  form->close();
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>{"This figure has changes that are not "
                                                          "saved. Save them before closing?"});
}

TEST_F(FormMainEditTest, TheTitleNamesTheFileAndMarksChanges) {
  EXPECT_EQ(form->windowTitle(), "Zandorik Dial Generator");
  drive->TypeName(QStringLiteral("Ash"));
  EXPECT_EQ(form->windowTitle(), "Zandorik Dial Generator*");
  OpenNewFile();
  EXPECT_EQ(form->windowTitle(), "figures.QMV* - Zandorik Dial Generator");
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(form->windowTitle(), "figures.QMV - Zandorik Dial Generator");
  form->ComboMove()->setCurrentIndex(1);
  EXPECT_EQ(form->windowTitle(), "figures.QMV* - Zandorik Dial Generator");
  Keys(form.get(), kUndo);
  EXPECT_EQ(form->windowTitle(), "figures.QMV - Zandorik Dial Generator");
  drive->Press(QKeySequence(Qt::Key_F5));  // blank, no name: nothing to lose
  EXPECT_EQ(form->windowTitle(), "figures.QMV - Zandorik Dial Generator");
}

TEST_F(FormMainEditTest, TheDialIsOneTabStopWalkedByTheArrowKeys) {
  // The Tab stops, from the name box round to it again.
  form->ComboName()->setFocus();
  std::vector<QWidget*> stops{QApplication::focusWidget()};
  for (int i = 0; i < 30; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == stops.front()) break;
    stops.push_back(QApplication::focusWidget());
  }
  const std::vector<QWidget*> expected = {form->ComboName(),
                                          form->ComboMove(),
                                          form->ComboTeam(),
                                          form->TextRange(),
                                          form->Square(StatRow::Speed, 0),
                                          form->CheckBolt(0),
                                          form->CheckBolt(1),
                                          form->CheckBolt(2),
                                          form->OptionRank(0),
                                          form->TextValue(),
                                          form->ImageComboColors(),
                                          form->CommandCalculate(),
                                          form->TextPoints()};
  EXPECT_EQ(stops, expected);

  drive->MarkKO(StatRow::Speed, 3);
  form->Square(StatRow::Defense, 3)->setFocus(Qt::TabFocusReason);
  const std::pair<Qt::Key, std::pair<StatRow, int>> walk[] = {
      {Qt::Key_Left, {StatRow::Defense, 2}}, {Qt::Key_Up, {StatRow::Attack, 2}},
      {Qt::Key_Right, {StatRow::Attack, 3}}, {Qt::Key_Up, {StatRow::Speed, 3}},
      {Qt::Key_Up, {StatRow::Speed, 3}},     {Qt::Key_Left, {StatRow::Speed, 2}},
      {Qt::Key_Right, {StatRow::Speed, 3}}};
  for (const auto& [key, at] : walk) {
    QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(form->Editor().CurrentRow(), at.first);
    EXPECT_EQ(form->Editor().CurrentColumn(), at.second);
    EXPECT_TRUE(form->Square(at.first, at.second)->hasFocus());
  }
  // Shown as after a click, but the KO column stays as it is.
  EXPECT_TRUE(form->ShowsKO(StatRow::Speed, 3));
  EXPECT_EQ(form->ImageComboColors()->currentText(), "None");
  EXPECT_EQ(form->TextValue()->text(), "");
  EXPECT_TRUE(form->TextValue()->isEnabled());
  EXPECT_FALSE(form->MenuEditRedo()->isEnabled());

  QTest::keyClick(form->Square(StatRow::Speed, 3), Qt::Key_Return);  // a click
  EXPECT_FALSE(form->ShowsKO(StatRow::Speed, 3));
  EXPECT_TRUE(form->TextValue()->hasFocus());
  form->Square(StatRow::Speed, 3)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(form->TextValue()->hasFocus());
  EXPECT_EQ(form->Editor().CurrentRow(), StatRow::Attack);
  EXPECT_EQ(form->TextValue()->selectedText(), "0");
}

TEST_F(FormMainEditTest, AMouseChosenSquareIsFramedAsAnArrowChosenOne) {
  const auto look = [&](int c) { return form->Square(StatRow::Attack, c)->grab().toImage(); };
  const QImage plain = look(6);
  drive->Click(StatRow::Attack, 4);  // the focus goes to "Value:"
  const QImage byMouse = look(4);
  form->Square(StatRow::Attack, 4)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_NE(byMouse, plain);
  EXPECT_EQ(look(5), byMouse);
  EXPECT_EQ(look(4), plain);
}

TEST_F(FormMainEditTest, EveryControlHasANameToSpeak) {
  const std::pair<QWidget*, const char*> names[] = {
      {form->ComboName(), "Name/Name"},
      {form->ComboMove(), "Move/Move"},
      {form->ComboTeam(), "Team/Team"},
      {form->TextRange(), "Range"},
      {form->CheckBolt(0), "Bolt 1"},
      {form->CheckBolt(2), "Bolt 3"},
      {form->OptionRank(4), "LE"},
      {form->TextValue(), "Value"},
      {form->ImageComboColors(), "Current Square/Power"},
      {form->TextPoints(), "Points"},
      {form->CommandCalculate(), "Calculate"},
      {form->Square(StatRow::Defense, 0), "Defense, click 1: 1, White, None"}};
  for (const auto& [widget, name] : names)
    EXPECT_EQ(Spoken(widget), name);
  drive->Click(StatRow::Attack, 2);
  drive->Type(QStringLiteral("10"));
  drive->Choose("Red");
  drive->MarkKO(StatRow::Damage, 7);
  EXPECT_EQ(Spoken(form->Square(StatRow::Attack, 2)),
            "Attack, click 3: 10, Red, Blades/Claws/Fangs");
  EXPECT_EQ(Spoken(form->Square(StatRow::Speed, 7)), "Speed, click 8: knocked out");
}

}  // namespace
}  // namespace zandorik
