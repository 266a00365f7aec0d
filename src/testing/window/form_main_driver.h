// Drives FormMain the way a person does (mouse clicks, typed keys, picks
// from the opened list), for the window's tests and benchmarks. Questions
// are answered through the scripted desktop.
#pragma once

#include <QAbstractItemView>
#include <QTest>

#include "app/form_main.h"
#include "testing/window/scripted_window_desktop.h"

namespace zandorik {

class FormMainDriver {
 public:
  FormMainDriver(FormMain& form, ScriptedWindowDesktop& desktop) : form_(form), desktop_(desktop) {}

  void Click(StatRow row, int column) {
    QTest::mouseClick(form_.Square(row, column), Qt::LeftButton);
  }
  // Replaces the value box's text by typing.
  void Type(const QString& text) {
    QLineEdit* value = form_.TextValue();
    value->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(value, Qt::Key_Delete);
    } else {
      QTest::keyClicks(value, text);
    }
  }
  // Opens the picker's list and clicks the entry of a colour.
  void Choose(const char* colour) {
    QComboBox* picker = form_.ImageComboColors();
    const int index = picker->findData(QString::fromUtf8(colour));
    if (index < 0) return;
    picker->showPopup();
    QAbstractItemView* view = picker->view();
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    if (view->isVisible()) picker->hidePopup();
  }
  void MarkKO(StatRow row, int column) {
    Click(row, column);
    desktop_.answers.push_back(true);
    Choose("KO");
  }
  void TypeRange(const QString& text) {
    form_.TextRange()->selectAll();
    QTest::keyClicks(form_.TextRange(), text);
  }
  void Calculate() { QTest::mouseClick(form_.CommandCalculate(), Qt::LeftButton); }

  // Replaces the name box's text by typing.
  void TypeName(const QString& text) {
    QLineEdit* edit = form_.ComboName()->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  // Opens the name list and clicks entry `index`.
  void PickName(int index) {
    QComboBox* names = form_.ComboName();
    names->showPopup();
    QAbstractItemView* view = names->view();
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    if (view->isVisible()) names->hidePopup();
  }
  // A menu command by its shortcut, as the person presses it.
  void Press(QKeySequence keys) { QTest::keySequence(&form_, keys); }

  // The worked figure, square by square: six live clicks, range 6, two
  // bolts, "Flight", "Ironwood Guard", "Experienced". It costs 46 points.
  void EnterWorkedFigure() {
    const char* rows[4][6] = {{"8", "8", "7", "7", "6", "6"},
                              {"10", "10", "9", "9", "9", "8"},
                              {"17", "17", "16", "16", "15", "15"},
                              {"3", "3", "2", "2", "2", "1"}};
    for (StatRow row : kStatRows) {
      for (int column = 0; column < 6; ++column) {
        Click(row, column);
        Type(QString::fromUtf8(rows[static_cast<int>(row)][column]));
      }
    }
    MarkKO(StatRow::Speed, 6);
    TypeRange(QStringLiteral("6"));
    QTest::mouseClick(form_.CheckBolt(1), Qt::LeftButton);
    form_.ComboMove()->setCurrentIndex(2);
    form_.ComboTeam()->setCurrentIndex(1);
    QTest::mouseClick(form_.OptionRank(1), Qt::LeftButton);
  }

 private:
  FormMain& form_;
  ScriptedWindowDesktop& desktop_;
};

}  // namespace zandorik
