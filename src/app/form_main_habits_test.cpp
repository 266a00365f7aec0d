// The window's desktop habits on the real widgets: a figure that outlives
// a killed process, the recent files in a settings file of a temporary
// home, drops through Qt's drag-and-drop events, and Ctrl+Q.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/form_main.h"
#include "recovery/recovery_file.h"
#include "share/share_code.h"
#include "store/figure_text.h"
#include "testing/test_data_file.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

// The figure on the screen as a record holds it, in hex.
std::string ShownRecord(const FormMain& form) {
  FigureRecord record;
  StoreFigureInRecord(form.Editor().Screen(), record, nullptr);
  return QByteArray::fromStdString([&] {
           const RecordBytes bytes = EncodeRecord(record);
           return std::string(bytes.begin(), bytes.end());
         }())
      .toHex()
      .toStdString();
}

class FormMainHabitsTest : public WindowTest {
 protected:
  std::string Folder() const { return (data.dir / "state").string(); }
  TestDataFile data;
};

// The child process of KilledWindowsFigureComesBack: a window that edits
// a figure of the data file, says so once the recovery file holds it, and
// waits to be killed.
TEST(FormMainHabitsChild, EditsAFigureAndWaitsToBeKilled) {
  const QByteArray folder = qgetenv("ZANDORIK_RECOVERY_CHILD");
  if (folder.isEmpty()) GTEST_SKIP() << "run by KilledWindowsFigureComesBack only";
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  FormMainDriver drive(form, desktop);
  form.show();
  form.StartRecovery(folder.toStdString());
  form.OpenDataFile(qgetenv("ZANDORIK_RECOVERY_DATA").toStdString());
  desktop.answers = {true};  // the KO question
  drive.EnterWorkedFigure();
  drive.TypeName(QStringLiteral("Killed"));
  const std::string shown = ShownRecord(form);
  const auto written = [&] {
    RecoveredFigure figure;
    const auto slot = form.Recovery()->Path();
    std::ifstream in(slot, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return DecodeRecovery(bytes, figure, nullptr) &&
           QByteArray(reinterpret_cast<const char*>(figure.record.data()), kRecordLength)
                   .toHex()
                   .toStdString() == shown;
  };
  ASSERT_TRUE(QTest::qWaitFor(written, 10000));
  std::printf("record %s\n", shown.c_str());
  std::fflush(stdout);
  for (;;)
    QTest::qWait(1000);
}

TEST_F(FormMainHabitsTest, KilledWindowsFigureComesBack) {
  FigureRecord stored;
  stored.Name = "Stored";
  data.Write({stored});
  const std::string before = data.Bytes();
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("ZANDORIK_RECOVERY_CHILD", QString::fromStdString(Folder()));
  env.insert("ZANDORIK_RECOVERY_DATA", QString::fromStdString(data.path));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=FormMainHabitsChild.*", "--gtest_also_run_disabled_tests"});
  std::string record;
  while (record.empty() && child.waitForReadyRead(20000)) {
    while (child.canReadLine()) {
      const QByteArray line = child.readLine().trimmed();
      if (line.startsWith("record ")) record = line.mid(7).toStdString();
    }
  }
  ASSERT_FALSE(record.empty()) << child.readAllStandardError().toStdString();
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  ASSERT_TRUE(child.waitForFinished(10000));
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

  desktop.recoverChoices = {RecoverChoice::Recover};
  ASSERT_TRUE(form->StartRecovery(Folder()));
  EXPECT_EQ(
      desktop.TakeTexts(),
      std::vector<std::string>{
          "Recover the figure \"Killed\" that was being edited when the program last ended?"});
  EXPECT_EQ(ShownRecord(*form), record);
  EXPECT_EQ(form->windowTitle(), "figures.QMV* - Zandorik Dial Generator");
  EXPECT_EQ(form->ComboName()->currentText(), "Killed");
  EXPECT_EQ(form->TextPoints()->text(), "46");
  EXPECT_EQ(data.Bytes(), before);
  // The recovered figure's file is this window's now; saving takes it away.
  const std::string kept = form->Recovery()->Path();
  EXPECT_TRUE(fs::exists(kept));
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  form->Recovery()->Wait();
  EXPECT_FALSE(fs::exists(kept));
  EXPECT_TRUE(fs::is_empty(Folder()));
}

// Two windows at once each keep their own file, and a third offers
// neither; a window closed normally takes its own away.
TEST_F(FormMainHabitsTest, WindowsAtOnceKeepTheirOwnFiles) {
  ScriptedWindowDesktop otherDesktop;
  auto other = std::make_unique<FormMain>(otherDesktop);
  FormMainDriver otherDrive(*other, otherDesktop);
  form->StartRecovery(Folder());
  other->StartRecovery(Folder());
  drive->TypeName(QStringLiteral("First"));
  otherDrive.TypeName(QStringLiteral("Second"));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return !form->Recovery()->Path().empty() && !other->Recovery()->Path().empty(); }));
  EXPECT_NE(form->Recovery()->Path(), other->Recovery()->Path());

  ScriptedWindowDesktop thirdDesktop;
  FormMain third(thirdDesktop);
  EXPECT_FALSE(third.StartRecovery(Folder()));
  EXPECT_TRUE(thirdDesktop.boxes.empty());

  const std::string otherPath = other->Recovery()->Path();
  otherDesktop.saveChoices = {SaveChoice::Discard};
  other->close();
  EXPECT_FALSE(fs::exists(otherPath));
  EXPECT_TRUE(fs::exists(form->Recovery()->Path()));
  // Undone back to the figure as it was stored: nothing left to recover.
  const std::string path = form->Recovery()->Path();
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
  form->Recovery()->Wait();
  EXPECT_FALSE(fs::exists(path));
}

// The list lives in the settings file of the home folder, so that another
// window sees it: newest first, eight at most, missing files greyed.
TEST_F(FormMainHabitsTest, RecentFilesAreKeptInTheSettingsFile) {
  const QByteArray home = qgetenv("HOME");
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QByteArray::fromStdString(data.dir.string()));
  qunsetenv("XDG_CONFIG_HOME");
  const QString settings = RecentFilesMenu::DefaultSettingsPath();
  qputenv("HOME", home);
  if (!config.isEmpty()) qputenv("XDG_CONFIG_HOME", config);
  ASSERT_EQ(settings.toStdString(),
            data.dir.string() + "/.config/zandorik-dial/zandorik-dial.conf");
  form->MenuFileRecent()->UseSettings(settings);

  std::vector<std::string> paths;
  for (int i = 0; i < 10; ++i) {
    paths.push_back((data.dir / ("f" + std::to_string(i) + ".QMV")).string());
    TestDataFile::WriteTo(paths.back(), {});
    desktop.files.push_back(paths.back());
    drive->Press(QKeySequence(Qt::CTRL | (i % 2 ? Qt::Key_N : Qt::Key_O)));
  }
  fs::remove(paths[7]);
  ScriptedWindowDesktop otherDesktop;
  FormMain other(otherDesktop);
  other.MenuFileRecent()->UseSettings(settings);
  RecentFilesMenu* menu = other.MenuFileRecent();
  emit menu->aboutToShow();
  std::vector<std::string> shown;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    shown.push_back(action->text().toStdString() + (action->isEnabled() ? "" : " (grey)"));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{paths[9], paths[8], paths[7] + " (grey)", paths[6],
                                             paths[5], paths[4], paths[3], paths[2],
                                             "Remove Missing Files", "Clear Recent Files"}));
  // An entry opens its file, and comes first.
  menu->actions()[4]->trigger();
  EXPECT_EQ(other.Files().DataFileName(), paths[5]);
  menu->ActionRemoveMissing()->trigger();
  EXPECT_EQ(other.MenuFileRecent()->Load().Paths(),
            (std::vector<std::string>{paths[5], paths[9], paths[8], paths[6], paths[4], paths[3],
                                      paths[2]}));
  menu->ActionClear()->trigger();
  emit form->MenuFileRecent()->aboutToShow();
  EXPECT_EQ(form->MenuFileRecent()->actions().size(), 3);  // with the hidden separator
  EXPECT_FALSE(form->MenuFileRecent()->ActionClear()->isEnabled());
}

// Each kind of drop through the events Qt sends: a data file opens, a
// document or a code is pasted as one undo step, anything else is refused.
TEST_F(FormMainHabitsTest, DropsOpenPasteOrAreRefused) {
  data.Write({});
  FigureRecord figure;
  figure.Name = "Dropped";
  figure.Range = 8;
  std::string document;
  FigureTextWriter writer(document);
  writer.Begin();
  writer.Figure(figure, std::nullopt);
  writer.End();
  const std::string json = (data.dir / "one.json").string();
  std::ofstream(json) << document;
  const std::string picture = (data.dir / "dial.png").string();
  std::ofstream(picture) << "png";
  const std::string refused =
      "Only a data file (.QMV), a figures document or a share code can be dropped here. The "
      "screen is as it was.";
  const struct {
    std::vector<std::string> files;
    std::string text;
    std::string name;  // shown after the drop
    std::vector<std::string> said;
  } drops[] = {
      {{data.path}, "", "", {}},
      {{json}, "", "Dropped", {}},
      {{}, document, "Dropped", {}},
      {{}, ShareCodes().Code(figure), "Dropped", {}},
      {{picture}, "", "", {refused}},
      {{data.path, json}, "", "", {refused}},
      {{},
       "hello",
       "",
       {"The dropped text holds no figure that can be pasted:\nline 1, column 1: Invalid "
        "value.\nThe screen is as it was."}},
  };
  for (const auto& drop : drops) {
    SCOPED_TRACE(drop.text + (drop.files.empty() ? "" : drop.files.front()));
    desktop.TakeTexts();
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const std::string& file : drop.files)
      urls.append(QUrl::fromLocalFile(QString::fromStdString(file)));
    if (!urls.isEmpty()) mime->setUrls(urls);
    if (!drop.text.empty()) mime->setText(QString::fromStdString(drop.text));
    const QPoint at = form->ClientArea()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &dropped);
    EXPECT_EQ(desktop.TakeTexts(), drop.said);
    EXPECT_EQ(form->ComboName()->currentText().toStdString(), drop.name);
    if (drop.name == "Dropped") {
      EXPECT_EQ(form->TextRange()->text(), "8");
      drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
      EXPECT_EQ(form->ComboName()->currentText(), "");
      EXPECT_EQ(form->TextRange()->text(), "0");
    }
    delete mime;
  }
  EXPECT_EQ(form->Files().DataFileName(), data.path);
}

// Ctrl+Q is "E&xit": the close question first, and Cancel keeps the window.
TEST_F(FormMainHabitsTest, CtrlQQuitsThroughTheCloseQuestion) {
  EXPECT_EQ(form->MenuFileExit()->text(), "E&xit");
  drive->TypeName(QStringLiteral("Unsaved"));
  desktop.saveChoices = {SaveChoice::Cancel, SaveChoice::Discard};
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_TRUE(form->isVisible());
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>(2, SaveQuestion("Unsaved")));
}

}  // namespace
}  // namespace zandorik
