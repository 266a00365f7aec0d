// The print command on the real printing path, for print_test.sh: the main
// window with a figure on it, "&Print" chosen from its menu, and the page
// that comes out checked square by square.
//   print_check print         prints; any message is a failure
//   print_check cannot-print  prints where it cannot; expects one message,
//                             then the window still works
//   print_check page PNG      checks a page rendered from the printed PDF
//   print_check sheet         prints the figure's dial sheet ("Print Dial
//                             Sheet"); any message is a failure
//   print_check code          prints the figure's share code ("Copy Share
//                             Code"), which the printed sheet must give back
//   print_check ruler PNG DPI measures the 100 mm ruler on a printed sheet
//                             rendered at DPI: 100 mm to within 0.5 mm
//   print_check same PNG PNG  compares a printed page with the page as the
//                             program draws it, both read at one resolution:
//                             the ink of each near the other's, all but 1 %
//   print_check team QMV DIR  builds a 300-point team of the figures of a
//                             copy of QMV in the team window, saves it in
//                             DIR, opens it again and prints it ("Print
//                             Team"); any message is a failure
//
// Messages and questions are recorded instead of shown (the scripted
// desktop), so nothing waits for a person; the printing itself is the
// program's own QtDesktop::PrintMainWindow on this window.
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/form_main.h"
#include "app/form_team.h"
#include "app/qt_desktop.h"
#include "testing/window/showcase_figure.h"

using namespace zandorik;

namespace {

class PrintingDesktop : public ScriptedWindowDesktop {
 public:
  QtDesktop qt;
  bool PrintMainWindow(std::string* failure) override {
    ++prints;
    return qt.PrintMainWindow(failure);
  }
  bool PrintDialSheet(const FigureScreen& figure, const SheetSettings& settings,
                      std::string* failure) override {
    sheetPrints.push_back(settings);
    return qt.PrintDialSheet(figure, settings, failure);
  }
  bool PrintTeamSheet(const Team& team, const std::string& fileName, const SheetSettings& settings,
                      std::string* failure) override {
    teamPrints.push_back(team.name);
    return qt.PrintTeamSheet(team, fileName, settings, failure);
  }
};

int Fail(const std::string& why) {
  std::fprintf(stderr, "print_check: %s\n", why.c_str());
  return 1;
}

bool Near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) < 60 && std::abs(a.green() - b.green()) < 60 &&
         std::abs(a.blue() - b.blue()) < 60;
}

// The window lies on the page as the one block of non-white pixels.
QRect WindowOnPage(const QImage& page) {
  QRect box;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (page.pixelColor(x, y).lightness() < 245) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// Each square of the dial, at its place on the page, in the colour it has
// on screen: sampled inside its edge, clear of its caption.
int CheckPage(const FormMain& form, const QString& path) {
  const QImage page = QImage(path).convertToFormat(QImage::Format_RGB32);
  if (page.isNull()) return Fail("cannot read " + path.toStdString());
  const QRect window = WindowOnPage(page);
  if (window.isEmpty()) return Fail("the page is blank");
  const double scale = double(window.width()) / form.width();
  const double aspect = double(window.height()) / form.height();
  if (std::abs(scale - aspect) > 0.02 * scale) return Fail("the window is distorted on the page");
  std::printf("window on the page: %dx%d at %d,%d (%.2f times)\n", window.width(), window.height(),
              window.x(), window.y(), scale);

  int coloured = 0;
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const DialSquare& square = form.Editor().Screen().Square(row, column);
      if (square.IsKO()) continue;
      QColor expected;
      if (!ColourOfCode(square.background, expected)) continue;
      const QWidget* button = form.Square(row, column);
      const QPoint inside = button->mapTo(&form, QPoint(4, 4));
      const QPoint at(window.x() + int(inside.x() * scale), window.y() + int(inside.y() * scale));
      const QColor seen = page.pixelColor(at);
      if (!Near(seen, expected)) {
        return Fail(std::string(StatRowName(row)) + " square " + std::to_string(column) + ": " +
                    seen.name().toStdString() + " on the page, " + expected.name().toStdString() +
                    " on screen");
      }
      coloured += expected != Qt::white;
    }
  }
  std::printf("%d coloured squares in place\n", coloured);
  return coloured > 0 ? 0 : Fail("no coloured square on the page");
}

// The ruler is the longest dark line across the page.
int CheckRuler(const QString& path, double dpi) {
  const QImage page = QImage(path).convertToFormat(QImage::Format_RGB32);
  if (page.isNull()) return Fail("cannot read " + path.toStdString());
  int longest = 0;
  for (int y = 0; y < page.height(); ++y) {
    int run = 0;
    for (int x = 0; x < page.width(); ++x) {
      run = page.pixelColor(x, y).lightness() < 160 ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  const double mm = longest / dpi * 25.4;
  std::printf("the ruler measures %.2f mm on the printed page\n", mm);
  return std::abs(mm - 100) <= 0.5 ? 0 : Fail("the 100 mm ruler is not 100 mm long");
}

// The dark pixels of `a` with no dark pixel of `b` within 3 pixels; `dark`
// counts those of `a`.
int Unmatched(const QImage& a, const QImage& b, int& dark) {
  const auto inked = [](const QImage& image, int x, int y) {
    return image.rect().contains(x, y) && qGray(image.pixel(x, y)) < 128;
  };
  int unmatched = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (!inked(a, x, y)) continue;
      ++dark;
      bool near = false;
      for (int d = 0; d < 49 && !near; ++d)
        near = inked(b, x + d % 7 - 3, y + d / 7 - 3);
      unmatched += !near;
    }
  }
  return unmatched;
}

// Each page's ink where the other has it, but for 1 %.
int CheckSame(const QString& printedPath, const QString& drawnPath) {
  const QImage printed(printedPath), drawn(drawnPath);
  if (printed.isNull() || printed.size() != drawn.size()) return Fail("not the page's size");
  int dark = 0, printedDark = 0;
  const int missing = Unmatched(drawn, printed, dark);
  const int extra = Unmatched(printed, drawn, printedDark);
  std::printf("%s: %d of %d dark pixels missing, %d of %d extra\n",
              QFileInfo(printedPath).fileName().toStdString().c_str(), missing, dark, extra,
              printedDark);
  return dark > 0 && missing * 100 <= dark && extra * 100 <= printedDark
             ? 0
             : Fail("the printed page is not the page drawn");
}

// The team as a player builds it: figures picked from the data file's
// list, counts typed, saved, a new team, the saved one opened again.
int PrintTeam(FormMain& form, PrintingDesktop& desktop, const std::string& examples,
              const std::string& dir) {
  const std::string data = dir + "/figures.QMV", saved = dir + "/alley-runners.json";
  std::filesystem::copy_file(examples, data);
  if (!form.OpenDataFile(data)) return Fail("cannot open " + data);
  form.MenuFileTeam()->trigger();
  FormTeam* team = form.TeamWindow();
  if (!team || !QTest::qWaitForWindowExposed(team)) return Fail("no team window");
  QTest::keyClicks(team->TextName(), QStringLiteral("Alley Runners"));
  const std::pair<const char*, const char*> picks[] = {
      {"Tidewalker", "2"}, {"Alley Cat", "1"}, {"Worked", "2"}};
  for (const auto& [name, count] : picks) {
    team->ComboNames()->setCurrentIndex(team->ComboNames()->findText(QString::fromUtf8(name)));
    QTest::mouseClick(team->CommandAddName(), Qt::LeftButton);
    QSpinBox* spin = team->SpinCount(team->TableEntries()->rowCount() - 1);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QString::fromUtf8(count));
  }
  const auto total = [team] { return team->LabelTotal()->text().toStdString(); };
  if (total() != "290 / 300 points") return Fail("the team's total is " + total());
  desktop.exportFiles = {ExportChoice{saved, 0}};
  team->MenuTeamSave()->trigger();
  team->MenuTeamNew()->trigger();
  desktop.files = {saved};
  team->MenuTeamOpen()->trigger();
  if (team->TableEntries()->rowCount() != 3 || total() != "290 / 300 points")
    return Fail("the team opened again is not the one saved: " + total());
  desktop.boxes.clear();
  team->MenuTeamPrint()->trigger();
  if (desktop.teamPrints.size() != 1) return Fail("\"Print Team\" did not print");
  if (!desktop.boxes.empty()) return Fail("printing the team said: " + desktop.boxes[0].text);
  std::printf("team printed: %s\n", total().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  const QString mode = args.value(1);
  if (mode == "ruler" && args.size() == 4) return CheckRuler(args[2], args[3].toDouble());
  if (mode == "same" && args.size() == 4) return CheckSame(args[2], args[3]);
  if (!(mode == "print" || mode == "cannot-print" || mode == "sheet" || mode == "code" ||
        (mode == "page" && args.size() == 3) || (mode == "team" && args.size() == 4)))
    return Fail(
        "usage: print_check print | cannot-print | page PNG | sheet | code | ruler PNG DPI | "
        "same PNG PNG | team QMV DIR");

  ApplyDialLook();
  PrintingDesktop desktop;
  FormMain form(desktop);
  desktop.qt.SetOwner(&form);
  form.show();
  FormMainDriver drive(form, desktop);
  if (mode == "team") return PrintTeam(form, desktop, argv[2], argv[3]);
  EnterShowcaseFigure(form, drive);
  if (form.TextPoints()->text() != "74")
    return Fail("the figure costs " + form.TextPoints()->text().toStdString());
  if (mode == "page") return CheckPage(form, args[2]);
  if (mode == "code") {
    form.MenuCopyShareCode()->trigger();
    if (!desktop.clipboard) return Fail("\"Copy Share Code\" copied nothing");
    std::printf("%s\n", desktop.clipboard->c_str());
    return 0;
  }

  desktop.boxes.clear();
  if (mode == "sheet") {
    form.MenuFilePrintSheet()->trigger();
    if (desktop.sheetPrints.size() != 1) return Fail("\"Print Dial Sheet\" did not print");
    if (!desktop.boxes.empty()) return Fail("printing the sheet said: " + desktop.boxes[0].text);
    std::printf("sheet printed\n");
    return 0;
  }
  form.MenuFilePrint()->trigger();
  if (desktop.prints != 1) return Fail("\"&Print\" did not print");
  if (mode == "print") {
    if (!desktop.boxes.empty()) return Fail("printing said: " + desktop.boxes[0].text);
    std::printf("printed\n");
    return 0;
  }

  if (desktop.boxes.size() != 1 || desktop.boxes[0].title != kAppTitle)
    return Fail("no message titled QMVR");
  std::printf("message: %s\n", desktop.boxes[0].text.c_str());
  // The program goes on: the window is there and works.
  drive.Click(StatRow::Damage, 0);
  drive.Type(QStringLiteral("4"));
  drive.Calculate();
  if (!form.isVisible() || form.TextPoints()->text() == "74")
    return Fail("the window stopped working after the message");
  std::printf("still running: %s points\n", form.TextPoints()->text().toStdString().c_str());
  return 0;
}
