// The main window on real widgets: clicks, keys and shortcuts go through
// QTest; message boxes are answered through the scripted desktop.
#include "app/form_main.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "testing/window/form_main_driver.h"

namespace zandorik {
namespace {

class FormMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<FormMain>(desktop);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  DialSquareButton* Sq(StatRow row, int column) { return form->Square(row, column); }
  void Click(StatRow row, int column) { Drive().Click(row, column); }
  void Type(const QString& text) { Drive().Type(text); }
  void Choose(const char* colour) { Drive().Choose(colour); }
  void MarkKO(StatRow row, int column) { Drive().MarkKO(row, column); }
  void Calculate() { Drive().Calculate(); }
  FormMainDriver Drive() { return FormMainDriver(*form, desktop); }
  QColor PixelAt(QWidget* widget, QPoint point) {
    return form->grab().toImage().pixelColor(widget->mapTo(form.get(), point));
  }
  template <typename Test>
  int CountPixels(QWidget* widget, Test test, int inset = 0) {
    const QImage image = form->grab().toImage();
    const QRect area = QRect(widget->mapTo(form.get(), QPoint(0, 0)), widget->size())
                           .adjusted(inset, inset, -inset, -inset);
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x)
        count += test(image.pixelColor(x, y));
    }
    return count;
  }
  int RedPixels(QWidget* widget) {
    return CountPixels(widget,
                       [](QColor c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; });
  }
  // Light pixels inside the raised edge.
  int WhitePixels(QWidget* widget) {
    return CountPixels(
        widget, [](QColor c) { return c.lightness() > 200; }, 3);
  }

  ScriptedWindowDesktop desktop;
  std::unique_ptr<FormMain> form;
};

TEST_F(FormMainTest, StartsWithTheBlankFigure) {
  EXPECT_EQ(form->windowTitle(), "Zandorik Dial Generator");
  EXPECT_EQ(form->ClientArea()->size(), QSize(423, 237));
  EXPECT_EQ(form->width(), 423);
  EXPECT_EQ(form->height(), 237 + form->menuBar()->height());
  EXPECT_EQ(form->ComboMove()->count(), 3);
  EXPECT_EQ(form->ComboMove()->currentText(), "Normal");
  EXPECT_EQ(form->ComboTeam()->count(), 22);
  EXPECT_EQ(form->ComboTeam()->currentText(), "None");
  EXPECT_EQ(form->ComboTeam()->itemText(21), "Q-Breed");
  EXPECT_EQ(form->ComboTeam()->itemText(14), "V.A.U.L.T.");
  EXPECT_EQ(form->TextRange()->text(), "0");
  EXPECT_TRUE(form->CheckBolt(0)->isChecked());
  EXPECT_FALSE(form->CheckBolt(1)->isChecked() || form->CheckBolt(2)->isChecked());
  EXPECT_TRUE(form->OptionRank(0)->isChecked());
  EXPECT_EQ(form->OptionRank(1)->text(), "Experienced");
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      EXPECT_EQ(Sq(row, column)->text(), "1");
      EXPECT_EQ(Sq(row, column)->Background(), kWhiteCode);
      EXPECT_EQ(Sq(row, column)->CaptionColour(), QColor(Qt::black));
      EXPECT_FALSE(form->ShowsKO(row, column));
    }
  }
  EXPECT_EQ(form->ImageComboColors()->count(), 0);
  EXPECT_EQ(form->TextPoints()->text(), "");
  EXPECT_TRUE(form->TextPoints()->isReadOnly());
  EXPECT_EQ(form->TextValue()->text(), "");
  EXPECT_TRUE(form->TextValue()->isEnabled());
  EXPECT_EQ(form->Breakdown(), nullptr);

  const std::vector<ImageListEntry>& images = form->ImageListColors();
  ASSERT_EQ(images.size(), 12u);
  const char* keys[] = {"KO",   "White",  "Black", "Cyan",  "Red",     "Yellow",
                        "Grey", "Orange", "Blue",  "Green", "Magenta", "Brown"};
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(images[i].key, keys[i]);
  EXPECT_EQ(images[0].image.pixmap(21, 21).toImage(), form->Palette().KOSwatch().toImage());
}

TEST_F(FormMainTest, ControlsSitAtTheirPlaces) {
  const std::pair<QWidget*, QRect> places[] = {
      {form->ComboName(), {56, 4, 133, 21}},         {form->ComboMove(), {56, 28, 69, 21}},
      {form->ComboTeam(), {188, 28, 129, 21}},       {form->TextRange(), {368, 32, 45, 21}},
      {form->CheckBolt(2), {400, 56, 13, 17}},       {form->OptionRank(3), {8, 68, 81, 21}},
      {Sq(StatRow::Speed, 0), {56, 56, 21, 21}},     {Sq(StatRow::Damage, 10), {296, 128, 21, 21}},
      {form->TextValue(), {40, 16, 33, 21}},         {form->ImageComboColors(), {80, 16, 201, 23}},
      {form->CommandCalculate(), {12, 204, 69, 21}}, {form->TextPoints(), {84, 204, 77, 21}},
  };
  for (const auto& [widget, rect] : places)
    EXPECT_EQ(widget->geometry(), rect);
  EXPECT_EQ(form->OptionRank(0)->parentWidget()->geometry(), QRect(324, 80, 93, 109));
  EXPECT_EQ(form->TextValue()->parentWidget()->geometry(), QRect(32, 156, 285, 45));
  EXPECT_EQ(form->TextValue()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

// What is inked of a text must fit the room its control gives it.
int Ink(const QWidget* w, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(w->font()).tightBoundingRect(text).right()));
}

void ExpectNoClipping(QWidget* window) {
  for (QWidget* w : window->findChildren<QWidget*>()) {
    const std::string name = w->property("text").toString().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w)) {
      EXPECT_LE(Ink(w, label->text()), w->width()) << name;
      EXPECT_LE(w->fontMetrics().height(), w->height()) << name;
    } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
      QStyleOptionButton option;
      option.initFrom(radio);
      const QRect room =
          radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
      EXPECT_LE(Ink(w, radio->text()), room.width()) << name;
      EXPECT_LE(w->fontMetrics().height(), w->height()) << name;
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      EXPECT_LE(Ink(w, button->text()) + 8, w->width()) << name;
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
      EXPECT_LE(Ink(w, box->title()) + 16, w->width());
    } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
      for (int i = 0; i < combo->count(); ++i) {
        const int room = combo->width() - 22 - (combo->itemIcon(i).isNull() ? 0 : 20);
        EXPECT_LE(Ink(w, combo->itemText(i)), room) << combo->itemText(i).toStdString();
      }
    }
  }
}

TEST_F(FormMainTest, NoCaptionIsClipped) {
  EXPECT_EQ(form->font().pointSize(), 8);
  for (StatRow row : kStatRows) {  // every power list in the picker
    Click(row, 0);
    ExpectNoClipping(form.get());
  }
  QTest::keyClick(form.get(), Qt::Key_F1);
  ASSERT_NE(form->Breakdown(), nullptr);
  ExpectNoClipping(form->Breakdown());
}

TEST_F(FormMainTest, MenusCarryTheirShortcuts) {
  const std::pair<QAction*, QKeySequence> actions[] = {
      {form->MenuFileNew(), QKeySequence("Ctrl+N")},
      {form->MenuFileOpen(), QKeySequence("Ctrl+O")},
      {form->MenuFileSave(), QKeySequence("Ctrl+S")},
      {form->MenuDeleteRecord(), QKeySequence("Ctrl+D")},
      {form->MenuFilePrint(), QKeySequence("Ctrl+P")},
      {form->MenuFileExit(), QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {form->MenuEditUndo(), QKeySequence("Ctrl+Z")},
      {form->MenuEditRedo(), QKeySequence("Ctrl+Shift+Z")},
      {form->MenuOptionsDisplayBreakdown(), QKeySequence("F1")},
      {form->MenuOptionsResetScreen(), QKeySequence("F5")},
      {form->MenuOptionsPointsHelper(), QKeySequence("Ctrl+H")},
      {form->MenuHelpAbout(), QKeySequence()},
      {form->MenuCopyFigure(), QKeySequence("Ctrl+Shift+C")},
      {form->MenuPasteFigure(), QKeySequence("Ctrl+Shift+V")},
  };
  for (const auto& [action, keys] : actions)
    EXPECT_EQ(action->shortcut(), keys);
  QStringList menus;
  for (QAction* menu : form->menuBar()->actions())
    menus << menu->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Options", "&Help"}));
  EXPECT_EQ(form->MenuEditRedo()->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
  EXPECT_EQ(form->MenuEditUndo()->text(), "&Undo");
  EXPECT_EQ(form->MenuEditRedo()->text(), "&Redo");
  EXPECT_EQ(form->MenuFileExit()->text(), "E&xit");
  EXPECT_EQ(form->MenuOptionsDisplayBreakdown()->text(), "&Display Breakdown");
}

TEST_F(FormMainTest, ClickingASquareMakesItCurrent) {
  Click(StatRow::Attack, 4);
  EXPECT_EQ(form->Editor().CurrentRow(), StatRow::Attack);
  EXPECT_EQ(form->Editor().CurrentColumn(), 4);
  QComboBox* picker = form->ImageComboColors();
  ASSERT_EQ(picker->count(), 12);
  EXPECT_EQ(picker->itemText(5), "Pulse Wave");
  EXPECT_EQ(picker->itemData(5).toString(), "Yellow");
  EXPECT_FALSE(picker->itemIcon(5).isNull());
  EXPECT_EQ(picker->currentText(), "None");
  EXPECT_EQ(form->TextValue()->text(), "1");
  EXPECT_EQ(form->TextValue()->selectedText(), "1");
  EXPECT_TRUE(form->TextValue()->hasFocus());
  EXPECT_FALSE(Sq(StatRow::Attack, 4)->isDown());
  EXPECT_FALSE(Sq(StatRow::Attack, 4)->isChecked());

  Click(StatRow::Speed, 0);
  EXPECT_EQ(picker->itemText(2), "Stealth");
  EXPECT_EQ(picker->itemText(11), "Hypersonic Speed");
}

TEST_F(FormMainTest, TypingWritesTheCurrentSquare) {
  QTest::keyClicks(form->TextValue(), "7");  // nothing selected yet
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column)
      EXPECT_EQ(Sq(row, column)->text(), "1");
  }
  Click(StatRow::Damage, 0);
  Type("12");
  EXPECT_EQ(Sq(StatRow::Damage, 0)->text(), "12");
  Type("x");
  EXPECT_EQ(Sq(StatRow::Damage, 0)->text(), "x");
  Type("");
  EXPECT_EQ(Sq(StatRow::Damage, 0)->text(), "");
}

TEST_F(FormMainTest, ChoosingAPowerColoursTheSquare) {
  Click(StatRow::Defense, 2);
  Choose("Black");
  EXPECT_EQ(Sq(StatRow::Defense, 2)->Background(), kBlackCode);
  EXPECT_EQ(Sq(StatRow::Defense, 2)->CaptionColour(), QColor(Qt::white));
  EXPECT_EQ(PixelAt(Sq(StatRow::Defense, 2), {3, 3}), QColor(Qt::black));
  EXPECT_GT(WhitePixels(Sq(StatRow::Defense, 2)), 3);  // the caption "1" in white
  Choose("Green");
  EXPECT_EQ(PixelAt(Sq(StatRow::Defense, 2), {3, 3}), QColor(0, 255, 0));
  EXPECT_EQ(Sq(StatRow::Defense, 2)->CaptionColour(), QColor(Qt::black));
  Type("");
  Choose("Brown");
  EXPECT_EQ(form->TextValue()->text(), "0");
  EXPECT_EQ(Sq(StatRow::Defense, 2)->text(), "0");
  EXPECT_EQ(PixelAt(Sq(StatRow::Defense, 3), {3, 3}), QColor(Qt::white));
}

TEST_F(FormMainTest, SquaresArePaintedAtTheirPlaces) {
  // Colour the four corners of the dial, then read the client area's pixels
  // where the layout puts them: left 56 + 24 * column, tops 56, 80, 104, 128.
  const std::tuple<StatRow, int, const char*, QColor> corners[] = {
      {StatRow::Speed, 0, "Red", QColor(255, 0, 0)},
      {StatRow::Speed, 10, "Blue", QColor(0, 0, 255)},
      {StatRow::Damage, 0, "Yellow", QColor(255, 255, 0)},
      {StatRow::Damage, 10, "Brown", QColor(167, 62, 5)}};
  for (const auto& [row, column, colour, expected] : corners) {
    Click(row, column);
    Choose(colour);
  }
  const QImage client = form->ClientArea()->grab().toImage();
  const int tops[] = {56, 80, 104, 128};
  for (const auto& [row, column, colour, expected] : corners) {
    const QPoint inside(56 + 24 * column + 4, tops[static_cast<int>(row)] + 4);
    EXPECT_EQ(client.pixelColor(inside), expected) << colour;
  }
  EXPECT_EQ(client.pixelColor(56 + 24 * 5 + 4, 80 + 4), QColor(Qt::white));
  EXPECT_NE(client.pixelColor(56 + 21 + 1, 56 + 4), QColor(255, 0, 0));  // the gap between
}

TEST_F(FormMainTest, KOMarkingFromColumnsZeroFiveAndTen) {
  for (int column : {10, 5, 0}) {
    desktop.boxes.clear();
    MarkKO(StatRow::Attack, column);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, "Mark this column and all columns to the right as 'KO'?");
    EXPECT_EQ(desktop.boxes[0].title, "Please verify");
    for (StatRow row : kStatRows) {
      for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(form->ShowsKO(row, c), c >= column) << c;
        EXPECT_EQ(Sq(row, c)->text().isEmpty(), c >= column);
      }
    }
    EXPECT_EQ(form->TextValue()->text(), "");
    EXPECT_FALSE(form->TextValue()->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_F5);
  }
  EXPECT_EQ(desktop.unexpected, 0);
}

TEST_F(FormMainTest, AnsweringNoLeavesTheDialAlone) {
  Click(StatRow::Speed, 3);
  Type("6");
  desktop.answers.push_back(false);
  Choose("KO");
  EXPECT_FALSE(form->ShowsKO(StatRow::Speed, 3));
  EXPECT_EQ(Sq(StatRow::Speed, 3)->text(), "6");
  EXPECT_EQ(form->TextValue()->text(), "6");
  EXPECT_TRUE(form->TextValue()->isEnabled());
  EXPECT_EQ(form->ImageComboColors()->currentText(), "Knocked Out");
}

TEST_F(FormMainTest, KOSquaresShowTheSwatchAndSpeedClicksRestoreThem) {
  Click(StatRow::Damage, 6);
  Choose("Black");
  MarkKO(StatRow::Damage, 6);
  EXPECT_GT(RedPixels(Sq(StatRow::Damage, 6)), 10);
  EXPECT_EQ(RedPixels(Sq(StatRow::Damage, 5)), 0);
  EXPECT_EQ(Sq(StatRow::Damage, 6)->CaptionColour(), QColor(Qt::black));

  Click(StatRow::Attack, 8);  // another row leaves the column KO
  EXPECT_TRUE(form->ShowsKO(StatRow::Attack, 8));
  EXPECT_EQ(form->ImageComboColors()->currentText(), "None");
  EXPECT_TRUE(form->TextValue()->isEnabled());

  Click(StatRow::Speed, 6);
  for (StatRow row : kStatRows) {
    EXPECT_FALSE(form->ShowsKO(row, 6));
    EXPECT_EQ(Sq(row, 6)->text(), "0");
    EXPECT_TRUE(form->ShowsKO(row, 7));
  }
  EXPECT_EQ(RedPixels(Sq(StatRow::Damage, 6)), 0);
  EXPECT_EQ(form->TextValue()->text(), "0");
}

TEST_F(FormMainTest, KOLettersArePureRedAndPickerSwatchesKeepTheirSize) {
  const QImage swatch = form->Palette().KOSwatch().toImage();
  int red = 0;
  for (int y = 0; y < swatch.height(); ++y) {
    for (int x = 0; x < swatch.width(); ++x) {
      const QColor c = swatch.pixelColor(x, y);
      red += c == QColor(255, 0, 0);
      EXPECT_TRUE(c == QColor(255, 0, 0) || c == QColor(Qt::white)) << x << "," << y;
    }
  }
  EXPECT_GT(red, 20);
  MarkKO(StatRow::Attack, 9);  // inside its raised edge, a KO square is the swatch itself
  DialSquareButton* square = Sq(StatRow::Speed, 10);
  const QImage shown = square->grab().toImage();
  for (int y = 2; y < square->height() - 2; ++y) {
    for (int x = 2; x < square->width() - 2; ++x)
      EXPECT_EQ(shown.pixelColor(x, y), swatch.pixelColor(x, y)) << x << "," << y;
  }
  Click(StatRow::Speed, 0);
  Choose("Brown");  // 21 x 21 swatch pixels inside the picker's border
  QComboBox* picker = form->ImageComboColors();
  EXPECT_EQ(CountPixels(
                picker, [](QColor c) { return c == QColor(167, 62, 5); }, 1),
            21 * 21);
}

// The top line of a group frame runs through the middle of its caption, and
// no control inside touches the frame's two-pixel lines.
TEST_F(FormMainTest, GroupFramesRunThroughTheirCaptions) {
  for (QWidget* box : {form->TextValue()->parentWidget(), form->OptionRank(0)->parentWidget()}) {
    const QImage image = box->grab().toImage();
    const int w = image.width(), h = image.height();
    auto dark = [&](int x, int y) { return image.pixelColor(x, y).lightness() < 200; };
    int top = 0, bottom = h - 1, left = 0, right = w - 1;
    while (top < h && !dark(w / 2, top))
      ++top;
    while (bottom > 0 && !dark(w / 2, bottom))
      --bottom;
    while (left < w && !dark(left, h / 2))
      ++left;
    while (right > 0 && !dark(right, h / 2))
      --right;
    int inkTop = h, inkBottom = -1;  // the caption's letters, left of the middle
    for (int y = 0; y < top + 8; ++y) {
      for (int x = left + 3; x < w / 2; ++x) {
        if (image.pixelColor(x, y).lightness() < 128) {
          inkTop = std::min(inkTop, y);
          inkBottom = std::max(inkBottom, y);
        }
      }
    }
    const std::string title = qobject_cast<QGroupBox*>(box)->title().toStdString();
    EXPECT_LT(inkTop, top) << title;
    EXPECT_LE(std::abs(2 * top - inkTop - inkBottom), 3)
        << title << " " << inkTop << "-" << inkBottom;
    for (QWidget* control : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QRect r = control->geometry();
      EXPECT_TRUE(r.top() > top + 2 && r.left() > left + 2 && r.bottom() < bottom - 1 &&
                  r.right() < right - 1)
          << title << ": " << control->metaObject()->className() << " " << r.y() << " "
          << r.bottom() << " in " << top << "-" << bottom;
    }
  }
}

TEST_F(FormMainTest, ResetKeepsTheCurrentSquareAndRecalculates) {
  form->ComboName()->setEditText("Temp");
  form->ComboTeam()->setCurrentIndex(3);
  QTest::mouseClick(form->OptionRank(2), Qt::LeftButton);
  QTest::mouseClick(form->CheckBolt(2), Qt::LeftButton);
  MarkKO(StatRow::Defense, 7);
  QTest::keyClick(form.get(), Qt::Key_F5);
  EXPECT_EQ(form->ComboName()->currentText(), "");
  EXPECT_EQ(form->ComboTeam()->currentText(), "None");
  EXPECT_TRUE(form->OptionRank(0)->isChecked());
  EXPECT_FALSE(form->CheckBolt(2)->isChecked());
  for (int c = 0; c < kColumnCount; ++c)
    EXPECT_FALSE(form->ShowsKO(StatRow::Speed, c));
  EXPECT_EQ(form->TextPoints()->text(), "5");
  EXPECT_EQ(form->TextValue()->text(), "1");
}

TEST_F(FormMainTest, WorkedFigureEnteredSquareBySquareCostsFortySix) {
  Drive().EnterWorkedFigure();
  Calculate();
  EXPECT_EQ(form->TextPoints()->text(), "46");
  ASSERT_NE(form->Breakdown(), nullptr);
  EXPECT_FALSE(form->Breakdown()->isVisible());
  const char* expected[] = {
      "3.5", "3.66666666666667", "8.72727272727273", "15", "0", "0", "0", "0", "2.75", "3", "4.8"};
  for (int i = 0; i < FormCheck::kFieldCount; ++i) {
    EXPECT_EQ(form->Breakdown()->Field(i)->text(), expected[i]) << i;
  }
  ASSERT_EQ(desktop.boxes.size(), 1u);  // the KO question only
  EXPECT_EQ(desktop.boxes[0].kind, ScriptedDesktop::Box::Question);
}

TEST_F(FormMainTest, CalculateShowsMessagesInBoxesTitledQMVR) {
  Calculate();
  EXPECT_EQ(form->TextPoints()->text(), "5");
  Click(StatRow::Damage, 2);
  Type("7");
  Choose("Red");
  Drive().TypeRange("3");
  Calculate();
  ASSERT_EQ(desktop.boxes.size(), 3u);
  EXPECT_EQ(
      desktop.TakeTexts(),
      (std::vector<std::string>{"Error in Damage: 7", "RCE doesn't combine with more than 3 dge.",
                                "Error in range: 3"}));
  EXPECT_EQ(form->Breakdown()->Field(8)->text(), "-999");
}

TEST_F(FormMainTest, BreakdownWindowIsOneAndFollowsCalculate) {
  QTest::keyClick(form.get(), Qt::Key_F1);
  FormCheck* check = form->Breakdown();
  ASSERT_NE(check, nullptr);
  EXPECT_TRUE(check->isVisible());
  EXPECT_EQ(check->windowTitle(), "Point-costing doublecheck");
  EXPECT_EQ(check->size(), QSize(262, 171));
  for (int i = 0; i < FormCheck::kFieldCount; ++i)
    EXPECT_EQ(check->Field(i)->text(), "");
  EXPECT_EQ(check->Field(9)->objectName(), "TextRangeBolts");
  EXPECT_EQ(check->Field(9)->geometry(), QRect(156, 120, 81, 21));

  form->MenuOptionsDisplayBreakdown()->trigger();
  EXPECT_EQ(form->findChildren<FormCheck*>().size(), 1);

  const QPoint where = check->pos();
  form->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Calculate();
  EXPECT_EQ(check->Field(0)->text(), "0.916666666666667");
  EXPECT_EQ(check->pos(), where);
  EXPECT_EQ(QApplication::activeWindow(), form.get());

  check->close();
  QTest::qWait(0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(form->Breakdown(), nullptr);
  Calculate();
  ASSERT_NE(form->Breakdown(), nullptr);
  EXPECT_FALSE(form->Breakdown()->isVisible());
  EXPECT_EQ(form->Breakdown()->Field(3)->text(), "2.75");
}

// Calculate writes the breakdown fields step by step, so that the open
// window shows, beside each message, the new values of the steps already
// done and the last figure's values of the others.
TEST_F(FormMainTest, BreakdownFillsStepByStepBetweenMessages) {
  QTest::keyClick(form.get(), Qt::Key_F1);
  FormCheck* check = form->Breakdown();
  ASSERT_NE(check, nullptr);
  Calculate();  // the blank figure: 5 points
  const auto shown = [&] {
    std::vector<QString> texts;
    for (int i = 0; i < FormCheck::kFieldCount; ++i)
      texts.push_back(check->Field(i)->text());
    texts.push_back(form->TextPoints()->text());
    return texts;
  };
  const std::vector<QString> before = shown();

  // A figure that differs in every field and has a message at each step.
  Click(StatRow::Speed, 0);
  Type("1e12");  // too large for a power value, and for the points
  Click(StatRow::Attack, 1);
  Type("5");
  Choose("Black");
  Click(StatRow::Defense, 0);
  Type("6");
  Choose("Red");
  Click(StatRow::Damage, 2);
  Type("7");
  Choose("Red");
  Drive().TypeRange("3");
  QTest::mouseClick(form->CheckBolt(1), Qt::LeftButton);
  form->ComboMove()->setCurrentIndex(-1);
  form->ComboTeam()->setCurrentIndex(-1);
  std::vector<std::pair<std::string, std::vector<QString>>> seen;
  desktop.onMessage = [&](const std::string& text) { seen.emplace_back(text, shown()); };
  Calculate();
  const std::vector<QString> after = shown();

  // Message prefix, and how many fields (in field order, the points last)
  // show the new figure while it is up.
  const std::pair<const char*, std::size_t> expected[] = {
      {"Error in Damage: 7", 0},
      {"Value out of range in Speed: 1000000000000", 4},
      {"RCE doesn't combine", 4},
      {"Error in range: 3", 8},
      {"Error in movement type: ", 10},
      {"No value for team: ", 10},
      {"The point total is out of range: ", 12},
  };
  ASSERT_EQ(seen.size(), std::size(expected));
  for (std::size_t m = 0; m < seen.size(); ++m) {
    EXPECT_EQ(seen[m].first.rfind(expected[m].first, 0), 0u) << seen[m].first;
    for (std::size_t i = 0; i < after.size(); ++i) {
      const bool written = i < expected[m].second;
      EXPECT_EQ(seen[m].second[i], written ? after[i] : before[i])
          << seen[m].first << ", field " << i;
    }
  }
  for (std::size_t i = 0; i < after.size(); ++i)
    EXPECT_NE(after[i], before[i]) << "field " << i;
}

TEST_F(FormMainTest, ExitClosesTheWindowAndItsBreakdown) {
  form->MenuOptionsDisplayBreakdown()->trigger();
  QPointer<FormCheck> check = form->Breakdown();
  form->MenuFileExit()->trigger();
  EXPECT_FALSE(form->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(check.isNull());
  EXPECT_TRUE(desktop.boxes.empty());
}

// The style hands out the menu bar's overflow icon unread; a menu bar too
// narrow for its menus still shows it.
TEST(DialStyleTest, MenuBarOverflowButtonHasItsIcon) {
  QMainWindow window;
  for (int i = 0; i < 8; ++i)
    window.menuBar()->addMenu(QStringLiteral("&Menu %1").arg(i));
  window.setCentralWidget(new QWidget);
  window.centralWidget()->setFixedSize(120, 40);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* more = window.menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
  ASSERT_NE(more, nullptr);
  EXPECT_TRUE(more->isVisible());
  const QImage icon = more->icon().pixmap(more->iconSize()).toImage();
  ASSERT_FALSE(icon.isNull());
  EXPECT_TRUE(
      std::any_of(icon.bits(), icon.bits() + icon.sizeInBytes(), [](uchar b) { return b; }));
}

}  // namespace
}  // namespace zandorik
