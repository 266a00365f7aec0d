// Dial sheets read back from their files: the SVG's geometry, the PDF's
// pages, fonts, texts, colours, digits and marks, the PNG's size and
// resolution.
#include <QImage>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "sheet/painter_renderer.h"
#include "sheet/sheet_output.h"
#include "sheet/svg_writer.h"
#include "testing/sheet_test_support.h"

namespace zandorik {
namespace {

struct Bounds {
  double left, top, right, bottom;
  bool Overlaps(const Bounds& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  bool Inside(const Bounds& o) const {  // to within a rounding
    return left >= o.left - 1e-9 && right <= o.right + 1e-9 && top >= o.top - 1e-9 &&
           bottom <= o.bottom + 1e-9;
  }
};

// A text's box from its anchor, length and size (ascent 0.8, descent 0.25).
Bounds TextBounds(const SvgShape& t) {
  const double length = t.Number("textLength"), size = t.Number("font-size");
  const std::string anchor =
      t.attributes.count("text-anchor") ? t.attributes.at("text-anchor") : "";
  const double left = t.Number("x") - (anchor == "middle" ? length / 2
                                       : anchor == "end"  ? length
                                                          : 0);
  return {left, t.Number("y") - 0.8 * size, left + length, t.Number("y") + 0.25 * size};
}

Bounds CircleBounds(const SvgShape& c) {
  const double x = c.Number("cx"), y = c.Number("cy"), r = c.Number("r");
  return {x - r, y - r, x + r, y + r};
}

// A rectangle's or a polygon's corners, and their bounds.
QPolygonF Corners(const SvgShape& s) {
  if (s.kind == "rect")
    return QRectF(s.Number("x"), s.Number("y"), s.Number("width"), s.Number("height"));
  QPolygonF points;
  std::istringstream in(s.attributes.at("points"));
  char comma;
  for (double x, y; in >> x >> comma >> y;)
    points << QPointF(x, y);
  return points;
}
Bounds BoundsOf(const QPolygonF& corners) {
  const QRectF r = corners.boundingRect();
  return {r.left(), r.top(), r.right(), r.bottom()};
}

// Turning about `centre`, clockwise on the page as SVG turns.
QTransform Turn(QPointF centre, double degrees) {
  return QTransform::fromTranslate(-centre.x(), -centre.y()) * QTransform().rotate(degrees) *
         QTransform::fromTranslate(centre.x(), centre.y());
}

// How far each corner of `a` keeps from the edges of `b`.
double Gap(const QPolygonF& a, const QPolygonF& b) {
  double gap = 1e9;
  for (QPointF p : a) {
    for (qsizetype i = 0; i + 1 < b.size(); ++i) {
      const QPointF e = b[i + 1] - b[i];
      const double t = std::clamp(
          QPointF::dotProduct(p - b[i], e) / std::max(1e-12, QPointF::dotProduct(e, e)), 0.0, 1.0);
      gap = std::min(gap, QLineF(p, b[i] + t * e).length());
    }
  }
  return gap;
}

struct Tolerance {
  double degrees = 10, millimetres = 10;
};

// How far a dial may stand turned either way from any click, or shifted,
// before the window clips one of that click's boxes (with half its 0.1 mm
// outline) or shows one of another click's. `boxes` are the dial's by
// their turn; `shift` takes the dial's centre to the cover's.
Tolerance WindowTolerance(const std::vector<std::pair<double, QPolygonF>>& boxes, QPointF dial,
                          QPointF shift, QPolygonF window) {
  window << window.front();  // closed, for its edges
  Tolerance tolerance;
  for (int click = 0; click < kColumnCount; ++click) {
    const auto clearance = [&](double extra) {
      double least = 1e9;
      for (const auto& [turn, corners] : boxes) {
        QPolygonF box = (Turn(dial, turn - click * 30 + extra) *
                         QTransform::fromTranslate(shift.x(), shift.y()))
                            .map(corners);
        const bool own = turn == click * 30;
        const bool placed =
            own ? std::all_of(box.begin(), box.end(),
                              [&](QPointF p) { return window.containsPoint(p, Qt::OddEvenFill); })
                : !window.intersects(box);
        if (box.front() != box.back()) box << box.front();
        const double gap = std::min(Gap(box, window), own ? 1e9 : Gap(window, box));
        least = std::min(least, placed ? gap - 0.05 : -1);
      }
      return least;
    };
    tolerance.millimetres = std::min(tolerance.millimetres, clearance(0));
    for (int sign : {-1, 1}) {
      double ok = 0, bad = 0.1;
      while (bad < 10 && clearance(sign * bad) > 0)
        ok = bad, bad += 0.1;
      while (bad - ok > 0.001)
        (clearance(sign * (ok + bad) / 2) > 0 ? ok : bad) = (ok + bad) / 2;
      tolerance.degrees = std::min(tolerance.degrees, ok);
    }
  }
  return tolerance;
}

struct GeometryCase {
  double diameter;
  Paper paper;
  int copies;  // of the sample figures
  int pages;
  bool registration;
  double bridge;  // the least promised round the window
};

class SheetGeometry : public testing::TestWithParam<GeometryCase> {};

// Every page: millimetre units, the two layers, the rulers' lengths each
// way; per figure the cuts (window and pin holes before the circles, each
// drawn thinly in the Print layer too), the grip ring, the bridge and the
// window's tolerance as docs/dial-sheets.md gives them; registration marks
// only when asked for; each figure's QR code 15 to 20 mm square; everything
// (the codes with their quiet zone) within the margins and the marks, and
// nothing printed over anything else outside the dials and covers.
TEST_P(SheetGeometry, ReadFromTheSvg) {
  const GeometryCase& c = GetParam();
  std::vector<SheetFigure> figures;
  for (int i = 0; i < c.copies; ++i)
    for (const SheetFigure& f : ExampleFigures())
      figures.push_back(f);
  const Sheet sheet = LayOutSheet(figures, {c.paper, c.diameter, "figures.QMV", c.registration});
  ASSERT_EQ(static_cast<int>(sheet.pages.size()), c.pages);
  const PaperSize size = SizeOf(c.paper);
  const double m = c.registration ? 20 : 10;
  const Bounds margins{m, m, size.width - m, size.height - m};
  int figuresCut = 0, codes = 0;
  double bridge = 1e9;
  Tolerance tolerance;
  for (int p = 0; p < c.pages; ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    const SvgPage svg = ReadSvg(SheetPageSvg(sheet, p, "test"));
    const std::string w = c.paper == Paper::A4 ? "210" : "215.9";
    const std::string h = c.paper == Paper::A4 ? "297" : "279.4";
    EXPECT_EQ(svg.root.at("width"), w + "mm");
    EXPECT_EQ(svg.root.at("height"), h + "mm");
    EXPECT_EQ(svg.root.at("viewBox"), "0 0 " + w + " " + h);
    EXPECT_EQ(svg.layers, (std::vector<std::string>{"layer Print", "layer Cut"}));

    std::vector<Bounds> circles, loose, marks;
    std::vector<const SvgShape*> cuts, boxes;
    std::multiset<std::string> thin;  // the places of the Print layer's thin outlines
    const auto place = [](const SvgShape& s) {
      return s.kind == "polygon"
                 ? s.attributes.at("points")
                 : s.attributes.at("cx") + " " + s.attributes.at("cy") + " " + s.attributes.at("r");
    };
    bool footer = false;
    // A code's modules come one after another, the first the top of a
    // finder pattern, 7 modules wide: the code, and its quiet zone kept.
    std::optional<Bounds> code;
    double module = 0;
    const auto endCode = [&] {
      if (!code) return;
      const double side = code->right - code->left, quiet = 4 * module;
      EXPECT_TRUE(side >= kCodeLeast - 1e-3 && side <= kCodeMost + 1e-3) << side;
      loose.push_back(
          {code->left - quiet, code->top - quiet, code->right + quiet, code->bottom + quiet});
      code.reset();
      ++codes;
    };
    for (const SvgShape& s : svg.shapes) {
      if (s.Has("shape-rendering")) {
        const Bounds b = BoundsOf(Corners(s));
        if (!code) code = b, module = (b.right - b.left) / 7;
        code = {std::min(code->left, b.left), std::min(code->top, b.top),
                std::max(code->right, b.right), std::max(code->bottom, b.bottom)};
        continue;
      }
      endCode();
      if (s.layer == "Cut") {
        EXPECT_NEAR(s.Number("stroke-width"), 0.25, 1e-9);
        cuts.push_back(&s);
        continue;
      }
      if (s.Has("id")) {
        const std::string id = s.attributes.at("id");
        if (id.starts_with("registration-")) {
          marks.push_back(BoundsOf(Corners(s)));
          continue;
        }
        const double length =
            std::hypot(s.Number("x2") - s.Number("x1"), s.Number("y2") - s.Number("y1"));
        EXPECT_NEAR(length, id == "ruler-1in" ? 25.4 : 100, 1e-3);
        EXPECT_EQ(s.Number(id.ends_with("vertical") ? "x1" : "y1"),
                  s.Number(id.ends_with("vertical") ? "x2" : "y2"));
      }
      if (s.kind == "text" &&
          s.text == "page " + std::to_string(p + 1) + " of " + std::to_string(c.pages))
        footer = true;
      if ((s.kind == "circle" || s.kind == "polygon") && s.Number("stroke-width") == 0.1)
        thin.insert(place(s));
      if (s.kind == "rect" || s.kind == "polygon") boxes.push_back(&s);
      if (s.Has("transform")) continue;  // the dials' turned sectors
      if (s.kind == "text") loose.push_back(TextBounds(s));
      if (s.kind == "rect" || s.kind == "polygon") loose.push_back(BoundsOf(Corners(s)));
    }
    endCode();
    EXPECT_TRUE(footer);
    ASSERT_EQ(cuts.size() % 5, 0u);
    for (std::size_t i = 0; i < cuts.size(); ++i) {
      EXPECT_EQ(thin.count(place(*cuts[i])), 1u) << place(*cuts[i]);
      const auto bounds = [](const SvgShape& s) {
        return s.kind == "circle" ? CircleBounds(s) : BoundsOf(Corners(s));
      };
      for (std::size_t j = i + 1; j < cuts.size(); ++j)  // inner cuts first
        EXPECT_FALSE(bounds(*cuts[j]).Inside(bounds(*cuts[i]))) << place(*cuts[j]);
    }
    // Each figure: its window, the dial's and the cover's pin holes, the
    // dial's and the cover's circles.
    for (std::size_t f = 0; f < cuts.size(); f += 5, ++figuresCut) {
      const SvgShape &dial = *cuts[f + 3], &cover = *cuts[f + 4];
      const QPointF dialCentre(dial.Number("cx"), dial.Number("cy"));
      const QPointF coverCentre(cover.Number("cx"), cover.Number("cy"));
      EXPECT_NEAR(dial.Number("r"), c.diameter / 2, 1e-3);
      EXPECT_NEAR(dial.Number("r") - cover.Number("r"), 3 * c.diameter / kDefaultDiameter, 1e-3);
      for (std::size_t pin : {f + 1, f + 2}) {
        EXPECT_EQ(cuts[pin]->Number("r"), 0.75);
        EXPECT_EQ(cuts[pin]->Number("cx"), (pin == f + 1 ? dialCentre : coverCentre).x());
      }
      const QPolygonF window = Corners(*cuts[f]);
      for (QPointF corner : window)
        bridge = std::min(bridge, cover.Number("r") - QLineF(corner, coverCentre).length());
      // The dial's boxes: click 1's as they are, the others turned about
      // the dial's centre.
      std::vector<std::pair<double, QPolygonF>> sectors;
      for (const SvgShape* box : boxes) {
        double turn = 0, x = 0, y = 0;
        if (box->Has("transform"))
          std::sscanf(box->attributes.at("transform").c_str(), "rotate(%lf %lf %lf", &turn, &x, &y);
        if (box->Has("transform") ? QPointF(x, y) == dialCentre
                                  : BoundsOf(Corners(*box)).Inside(CircleBounds(dial)))
          sectors.push_back({turn, Corners(*box)});
      }
      const Tolerance t = WindowTolerance(sectors, dialCentre, coverCentre - dialCentre, window);
      tolerance = {std::min(tolerance.degrees, t.degrees),
                   std::min(tolerance.millimetres, t.millimetres)};
      for (const SvgShape* piece : {&dial, &cover}) {
        EXPECT_TRUE(CircleBounds(*piece).Inside(margins));
        for (const Bounds& other : circles)
          EXPECT_FALSE(CircleBounds(*piece).Overlaps(other));
        circles.push_back(CircleBounds(*piece));
      }
    }
    // What lies outside the pieces lies within the margins, clear of the
    // registration marks, and apart (but for a letter in its swatch).
    EXPECT_EQ(marks.size(), c.registration ? 3u : 0u);
    std::vector<Bounds> outside;
    for (const Bounds& b : loose) {
      EXPECT_TRUE(b.Inside(margins)) << b.left << "," << b.top << " " << b.right << "," << b.bottom;
      for (const Bounds& mark : marks)
        EXPECT_FALSE(b.Overlaps(mark) || !mark.Inside({10, 10, size.width - 10, size.height - 10}));
      bool inPiece = false;
      for (const Bounds& circle : circles)
        inPiece = inPiece || b.Inside(circle);
      if (!inPiece) {
        for (const Bounds& circle : circles)
          EXPECT_FALSE(b.Overlaps(circle)) << b.left << "," << b.top;
        for (const Bounds& other : outside)
          EXPECT_TRUE(!b.Overlaps(other) || b.Inside(other) || other.Inside(b))
              << b.left << "," << b.top;
        outside.push_back(b);
      }
    }
  }
  EXPECT_EQ(figuresCut, static_cast<int>(figures.size()));
  EXPECT_EQ(codes, static_cast<int>(figures.size()));
  EXPECT_GE(bridge, c.bridge);
  EXPECT_TRUE(c.diameter != kDefaultDiameter ||
              (tolerance.degrees >= 1.5 && tolerance.millimetres >= 0.25));
  char row[64];  // as docs/dial-sheets.md gives them, rounded down
  std::snprintf(row, sizeof row, "| %.2f mm | %.2f\u00b0 | %.2f mm |",
                std::floor(bridge * 100) / 100, std::floor(tolerance.degrees * 100) / 100,
                std::floor(tolerance.millimetres * 100) / 100);
  EXPECT_NE(ReadText(ZANDORIK_DOCS_DIR "/dial-sheets.md").find(row), std::string::npos) << row;
}

INSTANTIATE_TEST_SUITE_P(Diameters, SheetGeometry,
                         testing::Values(GeometryCase{40, Paper::A4, 1, 2, false, 2},
                                         GeometryCase{50, Paper::A4, 1, 2, false, 2.5},
                                         GeometryCase{50, Paper::Letter, 3, 6, true, 2.5},
                                         GeometryCase{80, Paper::Letter, 1, 3, false, 2.5},
                                         GeometryCase{80, Paper::A4, 1, 3, true, 2.5}),
                         [](const testing::TestParamInfo<GeometryCase>& info) {
                           return std::string(PaperName(info.param.paper)) + "_" +
                                  std::to_string(static_cast<int>(info.param.diameter)) + "mm_" +
                                  std::to_string(info.param.copies * 6) + "figures" +
                                  (info.param.registration ? "_registration" : "");
                         });

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "zandorik_sheet_" + std::to_string(::getpid()) + "_" + name;
}

bool Near(QColor seen, Rgb expected, int tolerance = 40) {
  return std::abs(seen.red() - expected.red) <= tolerance &&
         std::abs(seen.green() - expected.green) <= tolerance &&
         std::abs(seen.blue() - expected.blue) <= tolerance;
}

Rgb RgbOf(QColor c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

// Part of a square's box on the page rendered at `dpi`, read upright (as
// drawn for click 1), half a pixel apart: its fill (the colour seen most),
// its ink (the colour farthest from that), where the ink is, and how many
// rows of samples hold any.
struct BoxPart {
  QColor fill, ink;
  std::vector<bool> inked;
  int columns = 0, inkRows = 0;
};

BoxPart ReadBox(const QImage& page, double dpi, const SquarePlace& at, QRectF part) {
  const QTransform place = Turn({at.cx, at.cy}, at.turn);
  std::vector<QColor> seen;
  std::map<QRgb, int> count;
  BoxPart box;
  for (double v = part.top(); v < part.bottom(); v += 12.7 / dpi) {
    box.columns = 0;
    for (double u = part.left(); u < part.right(); u += 12.7 / dpi, ++box.columns) {
      const QPointF p = place.map(QPointF(at.left + u, at.top + v)) * dpi / 25.4;
      ++count[seen.emplace_back(page.pixelColor(p.toPoint())).rgb()];
    }
  }
  box.fill = box.ink =
      QColor::fromRgb(std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                        return a.second < b.second;
                      })->first);
  const auto apart = [&](QColor c) {
    return std::abs(c.red() - box.fill.red()) + std::abs(c.green() - box.fill.green()) +
           std::abs(c.blue() - box.fill.blue());
  };
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (apart(seen[i]) > apart(box.ink)) box.ink = seen[i];
    box.inked.push_back(apart(seen[i]) > 200);
    box.inkRows += box.inked.back() && std::none_of(box.inked.end() - 1 - i % box.columns,
                                                    box.inked.end() - 1, [](bool b) { return b; });
  }
  return box;
}

// How many inked samples of each of two marks have none of the other's
// within two samples: letters that differ, not one letter sampled a
// little apart.
int Unlike(const BoxPart& a, const BoxPart& b) {
  int unlike = 0;
  const int w = a.columns, h = static_cast<int>(a.inked.size()) / w;
  for (const auto& [one, other] : {std::pair{&a.inked, &b.inked}, std::pair{&b.inked, &a.inked}}) {
    for (int i = 0; i < w * h; ++i) {
      bool near = !(*one)[i];
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
          near |= i % w + dx >= 0 && i % w + dx < w && i / w + dy >= 0 && i / w + dy < h &&
                  (*other)[i + dy * w + dx];
      unlike += !near;
    }
  }
  return unlike;
}

// The PDF on both papers: its page size (Qt rounds it to whole points),
// its fonts embedded, its texts as text, and, rendered by poppler at a
// known resolution, its colours where the layout put each box. A figure
// with no name that has every power colour on every row (one digit on the
// Damage row, two elsewhere, as the game has them; click 11 White) shows,
// at 400 dpi, digits at least 1.8 mm high and 4.5:1 against each colour,
// and in greyscale marks unlike each other and a plain box in every row.
TEST(SheetPdf, PagesFontsTextsColoursDigitsAndMarks) {
  std::vector<SheetFigure> figures = ExampleFigures();
  SheetFigure& every = *figures.insert(figures.begin(), SheetFigure{});
  // A name too long for the dial is still on the cover, however small.
  figures.push_back(figures.back());
  figures.back().name = std::string(30, 'W');
  for (StatRow row : kStatRows) {
    for (int column = 0, k = 2; column < kColumnCount; k = ++column < 10 ? column + 2 : 1) {
      const std::string value = std::to_string(row == StatRow::Damage ? column % 6 : 10 + column);
      const ColourInfo& c = kColours[k];
      every.dial[static_cast<int>(row)][column] = {value, false, c.red, c.green, c.blue, k};
    }
  }
  for (Paper paper : {Paper::A4, Paper::Letter}) {
    SCOPED_TRACE(std::string(PaperName(paper)));
    // Without codes, that the first page holds more figures to read.
    const Sheet sheet =
        LayOutSheet(figures, {paper, kDefaultDiameter, "figures.QMV", false, false});
    const std::string pdf = TempPath("sheet.pdf");
    std::vector<std::string> written;
    FileError error;
    ASSERT_TRUE(WriteSheet(sheet, pdf, 300, "test", {}, written, &error)) << error.description;

    const ShellRun info = Shell("pdfinfo " + pdf);
    double width = 0, height = 0;
    std::sscanf(info.out.substr(info.out.find("Page size:") + 10).c_str(), "%lf x %lf", &width,
                &height);
    EXPECT_NEAR(width, SizeOf(paper).width / kPointMm, 0.5);
    EXPECT_NEAR(height, SizeOf(paper).height / kPointMm, 0.5);

    const ShellRun fonts = Shell("pdffonts " + pdf + " | tail -n +3");
    EXPECT_NE(fonts.out.find("LiberationSans"), std::string::npos) << fonts.out;
    for (std::size_t at = 0; at < fonts.out.size(); at = fonts.out.find('\n', at) + 1) {
      const std::string line = fonts.out.substr(at, fonts.out.find('\n', at) - at);
      if (!line.empty()) {
        EXPECT_NE(line.find(" yes "), std::string::npos) << line;
      }
    }

    const std::string text = Shell("pdftotext " + pdf + " -").out;
    for (const SheetFigure& f : figures) {
      EXPECT_NE(text.find(f.name), std::string::npos) << f.name;
      EXPECT_NE(text.find(f.points + " points"), std::string::npos) << f.name;
    }
    for (const char* expected :
         {"SPD", "ATK", "DEF", "DMG", "click", "next", "dial", "cover", "(no name)",
          "Print at 100%",
          "1. Cut out the dial and the cover along their outer circles, and the window",
          "2. Pierce both centres",
          "3. Pin the cover over the dial with a split pin or paper fastener, and turn the dial by "
          "its rim",
          "Card: print on card of 160 to 250"})
      EXPECT_NE(text.find(expected), std::string::npos) << expected;
    if (paper == Paper::Letter) continue;

    const auto render = [&](int dpi, const std::string& how) {
      EXPECT_EQ(Shell("pdftoppm -f 1 -l 1 -singlefile -png -r " + std::to_string(dpi) + how + " " +
                      pdf + " " + TempPath("page"))
                    .status,
                0);
      return QImage(QString::fromStdString(TempPath("page.png")));
    };
    const QImage page = render(200, ""), close = render(400, ""), grey = render(400, " -gray");
    int checked = 0, ko = 0;
    for (std::size_t i = 0; i < figures.size() && sheet.cells[i].page == 0; ++i) {
      for (StatRow row : kStatRows) {
        std::vector<BoxPart> marks;
        for (int column = 0; column < kColumnCount; ++column) {
          const SheetSquare& square = figures[i].Square(row, column);
          const SquarePlace at = DialSquarePlace(sheet.cells[i], kDefaultDiameter, row, column);
          const std::string where = figures[i].name + " " + std::string(StatRowName(row)) +
                                    " click " + std::to_string(column + 1);
          if (figures[i].ColumnKO(column)) {
            // "KO" in red across the middle of the click.
            const double middle = (at.height * 3) / 2;
            ko += row == StatRow::Speed &&
                  Near(ReadBox(page, 200, at, {0.3, middle - 0.8, at.width - 0.6, 1.6}).ink, kKORed,
                       60);
            continue;
          }
          // The number's part, inside the box's edge.
          const BoxPart number = ReadBox(i == 0 ? close : page, i == 0 ? 400 : 200, at,
                                         {0.2, 0.2, at.markLeft - at.left - 0.4, at.height - 0.4});
          const ColourInfo& colour = kColours[square.ko ? 1 : square.colour];
          EXPECT_TRUE(Near(number.fill, {colour.red, colour.green, colour.blue})) << where;
          EXPECT_TRUE(!square.ko || Near(number.ink, kKORed, 60)) << where;
          ++checked;
          if (i > 0) continue;
          EXPECT_GE(number.inkRows * 12.7 / 400, 1.8) << where;
          EXPECT_GE(ContrastRatio(RgbOf(number.fill), RgbOf(number.ink)), 4.5) << where;
          marks.push_back(ReadBox(grey, 400, at,
                                  {at.markLeft - at.left + 0.15, 0.15,
                                   at.left + at.width - at.markLeft - 0.3, at.height - 0.3}));
          EXPECT_EQ(marks.back().inkRows == 0, square.colour == 1) << where;
        }
        for (std::size_t a = 0; a < marks.size(); ++a)
          for (std::size_t b = a + 1; b < marks.size(); ++b)
            EXPECT_GT(Unlike(marks[a], marks[b]), 20)
                << StatRowName(row) << ": clicks " << a + 1 << " and " << b + 1;
      }
    }
    EXPECT_GT(checked, 80);
    EXPECT_GT(ko, 3);
    std::remove(pdf.c_str());
  }
}

// Reads the pHYs chunk of a PNG file: pixels per metre across and down.
std::array<std::uint32_t, 2> PngResolution(const std::string& bytes) {
  const std::size_t at = bytes.find("pHYs");
  if (at == std::string::npos) return {0, 0};
  const auto word = [&](std::size_t from) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
      v = v << 8 | static_cast<unsigned char>(bytes[from + i]);
    return v;
  };
  return {word(at + 4), word(at + 8)};
}

TEST(SheetPng, SizeAndResolutionAsAsked) {
  const std::vector<SheetFigure> figures = ExampleFigures();
  for (const auto& [paper, dpi] : {std::pair{Paper::A4, 300}, std::pair{Paper::Letter, 96}}) {
    const Sheet sheet = LayOutSheet(figures, {paper, kDefaultDiameter, "figures.QMV"});
    const std::string png = TempPath("sheet.png");
    std::vector<std::string> written;
    FileError error;
    ASSERT_TRUE(WriteSheet(sheet, png, dpi, "test", {}, written, &error)) << error.description;
    const QImage image(QString::fromStdString(written.front()));
    EXPECT_EQ(image.width(), std::lround(SizeOf(paper).width / 25.4 * dpi));
    EXPECT_EQ(image.height(), std::lround(SizeOf(paper).height / 25.4 * dpi));
    const auto perMetre = static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
    EXPECT_EQ(PngResolution(ReadText(written.front())),
              (std::array<std::uint32_t, 2>{perMetre, perMetre}));
    for (const std::string& file : written)
      std::remove(file.c_str());
  }
}

// The README's picture is the sample file's sheet as the tests make it:
// it fails when the sheet no longer looks like it. After a deliberate
// change, ZANDORIK_UPDATE_SCREENSHOTS=1 takes the new one over.
TEST(SheetPng, ReadmePictureIsTheSampleSheet) {
  const Sheet sheet = LayOutSheet(ExampleFigures(), {Paper::A4, kDefaultDiameter, "figures.QMV"});
  const QImage now = RenderSheetPage(sheet, 0, 100);
  const QString path = QStringLiteral(ZANDORIK_DOCS_DIR "/dial-sheet.png");
  if (qEnvironmentVariableIsSet("ZANDORIK_UPDATE_SCREENSHOTS")) {
    ASSERT_TRUE(now.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither).save(path));
  }
  const QImage docs = QImage(path).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(docs.size(), now.size());
  int differ = 0;
  for (int y = 0; y < docs.height(); ++y)
    for (int x = 0; x < docs.width(); ++x)
      differ += !Near(docs.pixelColor(x, y), RgbOf(now.pixelColor(x, y)), 64);
  EXPECT_LT(differ, docs.width() * docs.height() / 100);
}

}  // namespace
}  // namespace zandorik
