// The shell around the figure: the about box and its links, printing and
// exit, on real widgets with the scripted desktop.
#include "app/form_about.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/form_main.h"
#include "app/twips.h"
#include "testing/window/form_main_driver.h"

namespace zandorik {
namespace {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<FormMain>(desktop);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  FormAbout* OpenAbout() {
    form->MenuHelpAbout()->trigger();
    FormAbout* about = form->About();
    if (about) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(about));
    }
    return about;
  }

  ScriptedWindowDesktop desktop;
  std::unique_ptr<FormMain> form;
};

TEST_F(ShellTest, AboutIsOneModelessBoxOwnedByTheMainWindow) {
  FormAbout* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->windowTitle(), "About QMVR");
  EXPECT_EQ(about->size(), QSize(382, 172));
  EXPECT_EQ(about->parentWidget(), form.get());
  EXPECT_FALSE(about->isModal());

  form->activateWindow();
  EXPECT_EQ(OpenAbout(), about);
  EXPECT_EQ(form->findChildren<FormAbout*>().size(), 1);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(QApplication::activeWindow(), about);

  // The main window still works while the box is open.
  QTest::mouseClick(form->Square(StatRow::Attack, 2), Qt::LeftButton);
  EXPECT_EQ(form->Editor().CurrentRow(), StatRow::Attack);

  // Closed, it is gone; chosen again, it comes back.
  QPointer<FormAbout> closed = about;
  about->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closed.isNull());
  ASSERT_NE(OpenAbout(), nullptr);
  EXPECT_EQ(form->findChildren<FormAbout*>().size(), 1);
}

TEST_F(ShellTest, AboutControlsSitAtTheirPlaces) {
  FormAbout* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  struct Place {
    const char* name;
    int left, top, width, height;
  };
  const Place places[] = {
      {"Text1", 180, 60, 4335, 615},
      {"Label1", 300, 720, 435, 255},
      {"LabelFormulaEmail", 780, 720, 1695, 255},
      {"Label3", 60, 960, 675, 255},
      {"LabelFormulaWebsite", 780, 960, 3615, 195},
      {"Text2", 180, 1260, 4335, 615},
      {"Label6", 300, 1920, 435, 255},
      {"LabelProgramEmail", 780, 1920, 1695, 255},
      {"Label4", 60, 2160, 675, 255},
      {"LabelProgramWebsite", 780, 2160, 4695, 195},
  };
  for (const Place& p : places) {
    auto* w = about->findChild<QWidget*>(QString::fromUtf8(p.name));
    ASSERT_NE(w, nullptr) << p.name;
    EXPECT_EQ(w->geometry(), TwipsRect(p.left, p.top, p.width, p.height)) << p.name;
  }
  for (QPlainTextEdit* text : {about->Text1(), about->Text2()}) {
    EXPECT_EQ(text->palette().color(QPalette::Base), about->palette().color(QPalette::Window));
    // All three lines show in the box.
    EXPECT_LE(3 * text->fontMetrics().lineSpacing(), text->viewport()->height());
  }

  const QColor title = about->palette().color(QPalette::Active, QPalette::Highlight);
  for (LinkLabel* link : {about->LabelFormulaEmail(), about->LabelFormulaWebsite(),
                          about->LabelProgramEmail(), about->LabelProgramWebsite()}) {
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->font().pointSizeF(), 8.25);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), title);
    EXPECT_LE(link->sizeHint().width(), link->width()) << link->text().toStdString();
  }
}

TEST_F(ShellTest, EachLinkHandsItsTargetAndTheBoxStaysOpen) {
  FormAbout* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  for (LinkLabel* link : {about->LabelFormulaEmail(), about->LabelFormulaWebsite(),
                          about->LabelProgramEmail(), about->LabelProgramWebsite()}) {
    QTest::mouseClick(link, Qt::LeftButton);
  }
  // A press that ends outside the label is no click.
  QTest::mousePress(about->LabelProgramEmail(), Qt::LeftButton);
  QTest::mouseRelease(about->LabelProgramEmail(), Qt::LeftButton, {}, QPoint(-5, -5));

  const std::vector<std::string> expected = {
      std::string("mailto:") + ZANDORIK_FORMULA_EMAIL, ZANDORIK_FORMULA_WEBSITE,
      std::string("mailto:") + ZANDORIK_PROGRAM_EMAIL, ZANDORIK_PROGRAM_WEBSITE};
  EXPECT_EQ(desktop.links, expected);
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(ShellTest, PrintSaysOnlyWhatWentWrong) {
  FormMainDriver drive(*form, desktop);
  drive.Click(StatRow::Speed, 0);
  drive.Choose("Red");
  QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(desktop.prints, 1);
  EXPECT_TRUE(desktop.boxes.empty());

  desktop.printFailure = "No default printer";
  form->MenuFilePrint()->trigger();
  EXPECT_EQ(desktop.prints, 2);
  const std::vector<ScriptedDesktop::Box> boxes = {
      {ScriptedDesktop::Box::Message, "No default printer", "QMVR"}};
  EXPECT_EQ(desktop.boxes, boxes);
  // The figure and the window are as they were.
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->Editor().Screen().Square(StatRow::Speed, 0).background,
            ColourCodeFromName("Red"));
}

TEST_F(ShellTest, ExitEndsTheProgramWithAllItsWindows) {
  QPointer<FormAbout> about = OpenAbout();
  form->MenuOptionsDisplayBreakdown()->trigger();
  QPointer<FormCheck> check = form->Breakdown();
  ASSERT_TRUE(about && check);

  // The program's event loop ends by itself; the second timer only keeps a
  // broken exit from hanging the test.
  QTimer::singleShot(0, form.get(), [this] { form->MenuFileExit()->trigger(); });
  QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(form->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
  EXPECT_TRUE(check.isNull());
  EXPECT_TRUE(desktop.boxes.empty());
}

}  // namespace
}  // namespace zandorik
