// The dial sheet from the main window: the File menu's two entries, the
// settings and save dialogs answered through the scripted desktop, the
// extension added, the question before a file is replaced.
#include "app/dial_sheet_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/form_main.h"
#include "testing/test_data_file.h"
#include "testing/window/showcase_figure.h"
#include "testing/window/window_test.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

class DialSheetMenuTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    EnterShowcaseFigure(*form, *drive);
    desktop.boxes.clear();
  }
  std::string Read(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  TestDataFile data;
};

TEST_F(DialSheetMenuTest, EntriesFollowPrintWithTheirOwnAccessLetters) {
  const QList<QAction*> file = form->menuBar()->actions().first()->menu()->actions();
  const int print = static_cast<int>(file.indexOf(form->MenuFilePrint()));
  ASSERT_GE(print, 0);
  EXPECT_EQ(file.value(print + 1), form->MenuFileExportSheet());
  EXPECT_EQ(file.value(print + 2), form->MenuFilePrintSheet());
  EXPECT_EQ(form->MenuFileExportSheet()->text(), "Export Dia&l Sheet...");
  EXPECT_EQ(form->MenuFilePrintSheet()->text(), "Print Dial S&heet");
  QSet<QChar> letters;
  for (QAction* a : file) {
    const int amp = static_cast<int>(a->text().indexOf('&'));
    if (amp < 0) continue;
    const QChar letter = a->text()[amp + 1].toLower();
    EXPECT_FALSE(letters.contains(letter)) << a->text().toStdString();
    letters.insert(letter);
  }
}

// Each export: the dialog answers, then what is on disk.
struct ExportStep {
  std::optional<SheetSettings> settings;
  std::optional<ExportChoice> file;
  std::deque<bool> answers;  // to the replace question
  std::string written;       // the file that holds the new sheet, "" for none
  int questions;
};

TEST_F(DialSheetMenuTest, ExportThroughTheDialogs) {
  const std::string base = (data.dir / "alley").string();
  const std::vector<ExportStep> steps = {
      {std::nullopt, std::nullopt, {}, "", 0},             // cancelled first
      {SheetSettings{true, 60}, std::nullopt, {}, "", 0},  // then the file
      {SheetSettings{true, 60, false, false}, ExportChoice{base, 1}, {}, base + ".svg", 0},
      {SheetSettings{false, 40}, ExportChoice{base, 1}, {false}, "", 1},  // not replaced
      {SheetSettings{false, 40, true}, ExportChoice{base + ".svg", 0}, {true}, base + ".svg", 1},
      {SheetSettings{false, 50}, ExportChoice{base + ".PNG", 0}, {}, base + ".PNG", 0},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i));
    const ExportStep& step = steps[i];
    const std::string before = Read(base + ".svg");
    desktop.sheetSettings.push_back(step.settings);
    if (step.settings) desktop.exportFiles.push_back(step.file);
    desktop.answers = step.answers;
    desktop.boxes.clear();
    form->MenuFileExportSheet()->trigger();
    EXPECT_EQ(desktop.unexpected, 0);
    EXPECT_EQ(static_cast<int>(desktop.boxes.size()), step.questions);
    if (!step.written.empty()) {
      ASSERT_TRUE(fs::exists(step.written));
      if (step.written.ends_with(".svg")) {
        const std::string svg = Read(step.written);
        const std::string radius =
            "r=\"" + std::to_string(static_cast<int>(step.settings->diameter / 2)) + "\"";
        EXPECT_NE(svg.find(radius), std::string::npos);
        EXPECT_NE(svg.find(step.settings->letter ? "width=\"215.9mm\"" : "width=\"210mm\""),
                  std::string::npos);
        EXPECT_NE(svg.find(">Alley Cat<"), std::string::npos);
        EXPECT_NE(svg.find(">74 points<"), std::string::npos);
        EXPECT_EQ(svg.find("registration-square") != std::string::npos,
                  step.settings->registration);
        EXPECT_EQ(svg.find("crispEdges") != std::string::npos, step.settings->codes);
      }
    } else {
      EXPECT_EQ(Read(base + ".svg"), before);
    }
  }
  // The settings offered are those chosen last; the dialog starts at the
  // last file.
  EXPECT_EQ(desktop.settingsOffered[2], (SheetSettings{true, 60}));
  EXPECT_EQ(desktop.exportDialogs.back().startPath, base + ".svg");
  EXPECT_EQ(desktop.exportDialogs.front().filters,
            (std::vector<std::string>{"PDF (*.pdf)", "SVG (*.svg)", "PNG image (*.png)"}));
}

// A figure that no data file can store (a range beyond 16 bits) has no
// share code: its sheet says so where the code would be.
TEST_F(DialSheetMenuTest, AFigureThatCannotBeStoredHasNoCode) {
  drive->TypeRange(QStringLiteral("40000"));
  desktop.sheetSettings.push_back(SheetSettings{});
  desktop.exportFiles.push_back(ExportChoice{(data.dir / "no.svg").string(), 1});
  form->MenuFileExportSheet()->trigger();
  EXPECT_NE(Read(data.dir / "no.svg").find(">No share code: a data file cannot store this figure<"),
            std::string::npos);
}

TEST_F(DialSheetMenuTest, PrintUsesTheLastSettingsAndSaysWhatFailed) {
  form->MenuFilePrintSheet()->trigger();
  desktop.sheetSettings.push_back(SheetSettings{false, 65, true});
  desktop.exportFiles.push_back(std::nullopt);
  form->MenuFileExportSheet()->trigger();
  desktop.printFailure =
      "No default printer is set up on this computer, so the dial sheet was not printed.";
  form->MenuFilePrintSheet()->trigger();
  EXPECT_EQ(desktop.sheetPrints,
            (std::vector<SheetSettings>{SheetSettings{false, 50}, SheetSettings{false, 65, true}}));
  EXPECT_EQ(desktop.TakeTexts(), std::vector<std::string>{*desktop.printFailure});
}

// The settings dialog itself: the range and defaults it offers (marks
// off, share codes on), and what it hands back once the person has
// changed them.
TEST_F(DialSheetMenuTest, SettingsDialogOffersTheRangeTheMarksAndTheCodes) {
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    auto* diameter = dialog->findChild<QDoubleSpinBox*>();
    const QList<QCheckBox*> boxes = dialog->findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(std::tuple(diameter->minimum(), diameter->maximum(), diameter->value()),
              std::tuple(40, 80, 50));
    EXPECT_EQ(std::tuple(boxes[0]->text(), boxes[0]->isChecked(), boxes[1]->text(),
                         boxes[1]->isChecked()),
              std::tuple(QString("&Registration marks"), false, QString("&Share codes"), true));
    diameter->selectAll();
    QTest::keyClicks(diameter, "72.5");
    for (QCheckBox* box : boxes)
      QTest::keyClick(box, Qt::Key_Space);
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  EXPECT_EQ(RunSheetDialog(form.get(), SheetSettings{}), (SheetSettings{false, 72.5, true, false}));
}

// A write that fails (here a disk that takes nothing) is said in a box; so
// is an output that is the data file in use, which is left as it was.
TEST_F(DialSheetMenuTest, AnExportThatCannotBeWrittenIsSaid) {
  const std::string full = (data.dir / "full.pdf").string();
  fs::create_symlink("/dev/full", full);
  desktop.sheetSettings.push_back(SheetSettings{false, 40});
  desktop.exportFiles.push_back(ExportChoice{full, 0});
  desktop.answers = {true};
  form->MenuFileExportSheet()->trigger();
  EXPECT_EQ(desktop.TakeTexts().back(),
            "The dial sheet was not written: cannot write " + full + ": No space left on device.");

  data.Write({FigureRecord{}});
  const std::string before = Read(data.path);
  ASSERT_TRUE(form->OpenDataFile(data.path));
  const std::string link = (data.dir / "link.pdf").string();
  fs::create_symlink(data.path, link);
  desktop.sheetSettings.push_back(SheetSettings{false, 40});
  desktop.exportFiles.push_back(ExportChoice{link, 0});
  desktop.answers = {true};
  desktop.TakeTexts();
  form->MenuFileExportSheet()->trigger();
  EXPECT_NE(desktop.TakeTexts().back().find("is the data file " + data.path + " itself"),
            std::string::npos);
  EXPECT_EQ(Read(data.path), before);
}

}  // namespace
}  // namespace zandorik
