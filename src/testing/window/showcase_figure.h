// "Alley Cat", a figure with a power on every row and a KO column, entered
// square by square: the figure of the printed page and of the README's
// screenshot. It costs 74 points.
#pragma once

#include <QLineEdit>

#include "testing/window/form_main_driver.h"

namespace zandorik {

struct ShowcaseRow {
  const char* values[6];
  const char* colours[6];  // nullptr: stays white
};

inline constexpr ShowcaseRow kShowcaseRows[kStatRowCount] = {
    {{"9", "9", "9", "8", "8", "8"}, {"Yellow", "Yellow", "Brown"}},
    {{"10", "10", "10", "9", "9", "9"}, {"Red", "Red", "Red", "Black"}},
    {{"16", "16", "16", "15", "15", "15"}, {"Red", "Red", "Yellow"}},
    {{"3", "3", "2", "2", "2", "2"}, {"Magenta", "Magenta", "Green", "Green"}},
};

inline void EnterShowcaseFigure(FormMain& form, FormMainDriver& drive) {
  QTest::keyClicks(form.ComboName()->lineEdit(), QStringLiteral("Alley Cat"));
  for (StatRow row : kStatRows) {
    const ShowcaseRow& wanted = kShowcaseRows[static_cast<int>(row)];
    for (int column = 0; column < 6; ++column) {
      drive.Click(row, column);
      drive.Type(QString::fromUtf8(wanted.values[column]));
      if (wanted.colours[column]) drive.Choose(wanted.colours[column]);
    }
  }
  drive.MarkKO(StatRow::Speed, 6);
  form.ComboTeam()->setCurrentIndex(17);  // "Alley-Runner"
  form.OptionRank(4)->click();            // "LE"
  drive.Calculate();
}

}  // namespace zandorik
