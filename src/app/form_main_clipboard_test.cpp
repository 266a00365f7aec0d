// "&Copy Figure" and "&Paste Figure" on the real window, by their
// shortcuts; the clipboard is the scripted desktop's.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/form_main.h"
#include "share/share_code.h"
#include "store/figure_text.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

class FormMainClipboardTest : public WindowTest {
 protected:
  void Copy() { drive->Press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)); }
  void Paste() { drive->Press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)); }
  // The screen as a record holds it, with the name and points shown.
  std::string Shown() const {
    FigureRecord record;
    StoreFigureInRecord(form->Editor().Screen(), record, nullptr);
    const RecordBytes bytes = EncodeRecord(record);
    return std::string(bytes.begin(), bytes.end()) + "|" +
           form->ComboName()->currentText().toStdString() + "|" +
           form->TextPoints()->text().toStdString();
  }
};

TEST_F(FormMainClipboardTest, CopyThenPasteBringsTheFigureBackPriced) {
  drive->EnterWorkedFigure();
  drive->TypeName(QStringLiteral("Worked \"copy\""));
  drive->Calculate();
  const std::string before = Shown();
  Copy();
  ASSERT_TRUE(desktop.clipboard);
  const FigureText copied = ReadFigureText(*desktop.clipboard);
  ASSERT_EQ(copied.figures.size(), 1u);
  EXPECT_NE(desktop.clipboard->find("\"points\": 46\n"), std::string::npos);

  drive->Press(QKeySequence(Qt::Key_F5));  // a blank figure
  ASSERT_NE(Shown(), before);
  desktop.TakeTexts();
  Paste();
  EXPECT_EQ(Shown(), before);
  EXPECT_TRUE(form->windowTitle().endsWith('*'));  // pasted, not yet stored
  EXPECT_EQ(form->TextPoints()->text(), "46");
  EXPECT_EQ(form->Square(StatRow::Defense, 0)->text(), "17");
  EXPECT_TRUE(form->Editor().Screen().Square(StatRow::Speed, 6).IsKO());
  EXPECT_TRUE(desktop.TakeTexts().empty());

  // One undo step takes the whole paste back, one redo brings it again.
  const std::string blank = [&] {
    drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    return Shown();
  }();
  EXPECT_EQ(form->ComboName()->currentText(), "");
  EXPECT_EQ(form->Square(StatRow::Defense, 0)->text(), "1");
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Y));
  EXPECT_EQ(Shown(), before);
  EXPECT_NE(blank, before);
}

TEST_F(FormMainClipboardTest, AScreenNoRecordHoldsIsNotCopied) {
  desktop.clipboard = "kept";
  drive->TypeRange(QStringLiteral("40000"));
  Copy();
  EXPECT_EQ(desktop.clipboard, "kept");
  EXPECT_EQ(desktop.TakeTexts(),
            std::vector<std::string>{"The range 40000 does not fit in a record (values go from "
                                     "-32768 to 32767).\nNothing was copied."});
}

TEST_F(FormMainClipboardTest, PastingAnythingButOneFigureLeavesTheScreen) {
  drive->EnterWorkedFigure();
  Copy();
  const std::string one = *desktop.clipboard;
  std::string figure = one.substr(one.find("    {"), one.rfind("    }") + 5 - one.find("    {"));
  figure.replace(figure.find("\"name\": \"\""), 10, "\"name\": \"Second\"");
  std::string two = one;
  two.insert(two.rfind("    }") + 5, ",\n" + figure);
  std::string purple = one;
  purple.replace(purple.find("\"White\""), 7, "\"Purple\"");
  const struct {
    std::optional<std::string> clipboard;
    std::string message;  // how the box begins
  } cases[] = {
      {std::nullopt, "The clipboard holds no text."},
      {"Dear friend, here is my figure!",
       "The clipboard holds no figure that can be pasted:\nline 1, column 1: Invalid value."},
      {two, "The clipboard holds 2 figures; Paste Figure takes one at a time."},
      {"Here is my figure: ZD1:ABC",
       "The clipboard holds no figure that can be pasted:\nnot a figure code"},
      {"ZD1:ABC\n ZD1:DEF\n",
       "The clipboard holds 2 share codes on separate lines; Paste Figure takes one at a time."},
      {purple,
       "The clipboard holds no figure that can be pasted:\nfigures[0].dial.speed[0] (Speed, click "
       "1): unknown "
       "colour \"Purple\""},
      {R"({"format": "zandorik-figures", "version": 1, "figures": []})",
       "The clipboard holds a document without figures."},
  };
  drive->Press(QKeySequence(Qt::Key_F5));
  const std::string before = Shown();
  desktop.TakeTexts();
  for (const auto& c : cases) {
    desktop.clipboard = c.clipboard;
    Paste();
    const std::vector<std::string> texts = desktop.TakeTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].substr(0, c.message.size()), c.message);
    EXPECT_TRUE(texts[0].ends_with("The screen is as it was.")) << texts[0];
    EXPECT_EQ(Shown(), before);
  }
}

TEST_F(FormMainClipboardTest, AShareCodeTravelsLikeADocument) {
  const QList<QAction*> edit = form->menuBar()->actions()[1]->menu()->actions();
  ASSERT_EQ(edit.value(edit.indexOf(form->MenuCopyFigure()) + 1), form->MenuCopyShareCode());
  EXPECT_EQ(form->MenuCopyShareCode()->text(), "Copy &Share Code");

  drive->EnterWorkedFigure();
  drive->TypeName(QStringLiteral("Worked \"code\""));
  drive->Calculate();
  const std::string before = Shown();
  form->MenuCopyShareCode()->trigger();
  ASSERT_TRUE(desktop.clipboard);
  EXPECT_EQ(desktop.clipboard->substr(0, 4), "ZD1:");
  const std::string code = *desktop.clipboard;

  // Pasted over a blank figure, with blanks around it as a chat gives it;
  // one undo step takes it back.
  drive->Press(QKeySequence(Qt::Key_F5));
  const std::string blank = Shown();
  desktop.TakeTexts();
  desktop.clipboard = "  " + code + "\n";
  Paste();
  EXPECT_EQ(Shown(), before);
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(Shown(), blank);
  EXPECT_TRUE(desktop.TakeTexts().empty());

  // A mistyped code and a screen no record holds are refused.
  std::string typo = code;
  typo[6] = typo[6] == 'A' ? 'B' : 'A';
  desktop.clipboard = typo;
  Paste();
  drive->TypeRange(QStringLiteral("40000"));
  form->MenuCopyShareCode()->trigger();
  EXPECT_EQ(desktop.clipboard, typo);
  EXPECT_EQ(desktop.TakeTexts(),
            (std::vector<std::string>{
                "The clipboard holds no figure that can be pasted:\nthe code is damaged "
                "(checksum)\nThe screen is as it was.",
                "The range 40000 does not fit in a record (values go from -32768 to "
                "32767).\nNothing was copied."}));
}

}  // namespace
}  // namespace zandorik
