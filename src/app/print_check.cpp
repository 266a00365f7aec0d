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
//
// Messages and questions are recorded instead of shown (the scripted
// desktop), so nothing waits for a person; the printing itself is the
// program's own QtDesktop::PrintMainWindow on this window.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "app/form_main.h"
#include "app/qt_desktop.h"
#include "testing/showcase_figure.h"

using namespace zandorik;

namespace {

class PrintingDesktop : public ScriptedDesktop {
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

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  const QString mode = args.value(1);
  if (mode == "ruler" && args.size() == 4) return CheckRuler(args[2], args[3].toDouble());
  if (!(mode == "print" || mode == "cannot-print" || mode == "sheet" || mode == "code" ||
        (mode == "page" && args.size() == 3)))
    return Fail(
        "usage: print_check print | cannot-print | page PNG | sheet | code | ruler PNG DPI");

  ApplyDialLook();
  PrintingDesktop desktop;
  FormMain form(desktop);
  desktop.qt.SetOwner(&form);
  form.show();
  FormMainDriver drive(form, desktop);
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
