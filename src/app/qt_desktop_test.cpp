// The real message boxes, answered from a timer so the test never blocks.
#include "app/qt_desktop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
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

// Names and paths come from files other people send: never read as markup.
TEST(QtDesktop, BoxesShowNamesAndPathsAsPlainText) {
  QtDesktop desktop;
  const std::string name = "No figure named \"<h1>Big</h1><img src=\"/tmp/x.png\">\" is stored";
  const std::function<void()> boxes[] = {
      [&] { desktop.ShowMessage(name, "QMVR"); },
      [&] { desktop.AskYesNo(name, "QMVR"); },
      [&] { desktop.AskToSave(name, "QMVR"); },
      [&] { desktop.AskToRecover(name, "QMVR"); },
  };
  for (const auto& show : boxes) {
    bool seen = false;
    WhenBoxShows(
        [&](QMessageBox* box) {
          seen = true;
          EXPECT_EQ(box->textFormat(), Qt::PlainText);
          EXPECT_EQ(box->text().toStdString(), name);
        },
        Qt::Key_Escape);
    show();
    EXPECT_TRUE(seen);
  }
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

// Return recovers; Escape, neither button, leaves the figure for later.
TEST(QtDesktop, RecoverQuestionDefaultsToRecover) {
  QtDesktop desktop;
  const std::pair<Qt::Key, RecoverChoice> answers[] = {{Qt::Key_Return, RecoverChoice::Recover},
                                                       {Qt::Key_Escape, RecoverChoice::Later}};
  for (auto [key, choice] : answers) {
    QStringList buttons;
    WhenBoxShows(
        [&](QMessageBox* box) {
          for (QAbstractButton* button : box->buttons())
            buttons.append(button->text());
          EXPECT_EQ(box->defaultButton()->text(), "&Recover");
        },
        key);
    EXPECT_EQ(desktop.AskToRecover("Recover?", "QMVR"), choice);
    EXPECT_EQ(buttons, (QStringList{"&Recover", "&Discard"}));
  }
}

// The real file dialog: its filter and start path, the question before a
// new file is named, and cancel as an outcome of its own.
TEST(QtDesktop, FileDialogsOfferTheFilterAndAskBeforeANewFile) {
  QtDesktop desktop;
  const QString dir = QDir::tempPath() + QStringLiteral("/zandorik_dialog_") +
                      QString::number(QCoreApplication::applicationPid());
  QDir().mkpath(dir);
  const QString fresh = dir + QStringLiteral("/fresh.QMV");
  QStringList filters;
  bool labelOnly = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    labelOnly = dialog->testOption(QFileDialog::HideNameFilterDetails);
    dialog->selectFile(fresh);
    WhenBoxShows([](QMessageBox* box) { EXPECT_NE(box->text().indexOf("Create"), -1); },
                 Qt::Key_Return);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(desktop.ChooseNewFile({"QMVR Data file", "*.QMV", dir.toStdString()}),
            fresh.toStdString());
  EXPECT_EQ(filters, QStringList{"QMVR Data file (*.QMV)"});
  EXPECT_TRUE(labelOnly);  // shown as "QMVR Data file"

  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_EQ(desktop.ChooseExistingFile({"QMVR data file", "*.QMV", fresh.toStdString()}),
            std::nullopt);
  QDir(dir).removeRecursively();
}

}  // namespace
}  // namespace zandorik
