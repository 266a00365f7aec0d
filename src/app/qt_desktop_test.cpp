// The real message boxes, answered from a timer so the test never blocks.
#include "app/qt_desktop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace zandorik {
namespace {

// Runs `inspect` on the modal box once it is up, then presses `key` on it.
void WhenBoxShows(std::function<void(QMessageBox*)> inspect, Qt::Key key) {
  QTimer::singleShot(0, [inspect, key] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    inspect(box);
    QTest::keyClick(box, key);
  });
}

TEST(QtDesktop, MessageHasTheTitleAndOneOKButton) {
  QtDesktop desktop;
  bool seen = false;
  WhenBoxShows(
      [&](QMessageBox* box) {
        seen = true;
        EXPECT_EQ(box->windowTitle(), "QMVR");
        EXPECT_EQ(box->text(), "Error in range: 3");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
      },
      Qt::Key_Return);
  desktop.ShowMessage("Error in range: 3", "QMVR");
  EXPECT_TRUE(seen);
}

TEST(QtDesktop, QuestionDefaultsToYes) {
  QtDesktop desktop;
  WhenBoxShows(
      [](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Please verify");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
      },
      Qt::Key_Return);
  EXPECT_TRUE(desktop.AskYesNo("Mark?", "Please verify"));
  WhenBoxShows([](QMessageBox*) {}, Qt::Key_Escape);
  EXPECT_FALSE(desktop.AskYesNo("Mark?", "Please verify"));
}

}  // namespace
}  // namespace zandorik
