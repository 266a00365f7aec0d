// Dial sheets read back from their files: the SVG's pieces, cuts, window
// tolerance, rulers and marks; the PDF's pages, fonts, texts, colours,
// digits and power marks on a rendering; the PNG's size and resolution.
#include <QImage>
#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
#include <set>
#include <sstream>

#include "sheet/painter_renderer.h"
#include "sheet/sheet_output.h"
#include "sheet/sheet_test_support.h"
#include "sheet/svg_writer.h"

namespace zandorik {
namespace {

struct Point {
  double x, y;
};
using Outline = std::vector<Point>;

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

Bounds BoundsOf(const Outline& outline) {
  Bounds b{1e9, 1e9, -1e9, -1e9};
  for (const Point& p : outline)
    b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x),
         std::max(b.bottom, p.y)};
  return b;
}

// A shape's outline on the page before its turn: a rectangle's corners, a
// polygon's points, a line's ends, a circle's box, a text's box from its
// anchor, length and size (ascent 0.8, descent 0.25).
Outline OutlineOf(const SvgShape& s) {
  if (s.kind == "rect") {
    const double x = s.Number("x"), y = s.Number("y");
    const double w = s.Number("width"), h = s.Number("height");
    return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
  }
  if (s.kind == "polygon") {
    Outline points;
    std::istringstream in(s.attributes.at("points"));
    Point p;
    char comma;
    while (in >> p.x >> comma >> p.y)
      points.push_back(p);
    return points;
  }
  if (s.kind == "line") return {{s.Number("x1"), s.Number("y1")}, {s.Number("x2"), s.Number("y2")}};
  if (s.kind == "circle") {
    const double x = s.Number("cx"), y = s.Number("cy"), r = s.Number("r");
    return {{x - r, y - r}, {x + r, y + r}};
  }
  const double length = s.Number("textLength"), size = s.Number("font-size");
  const std::string anchor = s.Has("text-anchor") ? s.attributes.at("text-anchor") : "";
  const double left = s.Number("x") - (anchor == "middle" ? length / 2
                                       : anchor == "end"  ? length
                                                          : 0);
  return {{left, s.Number("y") - 0.8 * size}, {left + length, s.Number("y") + 0.25 * size}};
}

// The turn of a dial's sector: "rotate(degrees cx cy)".
struct Turn {
  double degrees = 0;
  Point centre{0, 0};
};
Turn TurnOf(const SvgShape& s) {
  Turn turn;
  if (s.Has("transform"))
    std::sscanf(s.attributes.at("transform").c_str(), "rotate(%lf %lf %lf", &turn.degrees,
                &turn.centre.x, &turn.centre.y);
  return turn;
}

// Clockwise on the page, as SVG turns.
Point Turned(Point p, double degrees, Point c) {
  const double a = degrees * std::numbers::pi / 180, dx = p.x - c.x, dy = p.y - c.y;
  return {c.x + dx * std::cos(a) - dy * std::sin(a), c.y + dx * std::sin(a) + dy * std::cos(a)};
}

double Distance(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double t =
      std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

bool Contains(const Outline& o, Point p) {
  bool in = false;
  for (std::size_t i = 0, j = o.size() - 1; i < o.size(); j = i++)
    if ((o[i].y > p.y) != (o[j].y > p.y) &&
        p.x < o[j].x + (o[i].x - o[j].x) * (p.y - o[j].y) / (o[i].y - o[j].y))
      in = !in;
  return in;
}

// How far `shape` keeps from the window's edge: inside it (`inside`) or
// outside; negative when it is not where it should be.
double Clearance(const Outline& shape, const Outline& window, bool inside) {
  double gap = 1e9;
  const auto edges = [&](const Outline& a, const Outline& b, bool aInB) {
    for (Point p : a) {
      if (Contains(b, p) != aInB) return false;
      for (std::size_t i = 0, j = b.size() - 1; i < b.size(); j = i++)
        gap = std::min(gap, Distance(p, b[j], b[i]));
    }
    return true;
  };
  if (!edges(shape, window, inside) || (!inside && !edges(window, shape, false))) return -1;
  return gap;
}

struct Tolerance {
  double degrees = 10, millimetres = 10;
};

// The turn and the pin offset a dial takes, at each click, before the
// window clips a box of that click (outline plus half its 0.1 mm line) or
// shows any of another click's.
Tolerance WindowTolerance(const std::vector<std::pair<Turn, Outline>>& boxes, Point cover,
                          const Outline& window) {
  Tolerance tolerance;
  for (int click = 0; click < kColumnCount; ++click) {
    const auto clearance = [&](double extra) {
      double least = 1e9;
      for (const auto& [turn, outline] : boxes) {
        Outline placed;
        for (Point p : outline) {
          const Point q = Turned(p, turn.degrees - click * 30 + extra, turn.centre);
          placed.push_back({q.x - turn.centre.x + cover.x, q.y - turn.centre.y + cover.y});
        }
        least = std::min(least, Clearance(placed, window, turn.degrees == click * 30) - 0.05);
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

// The row of docs/dial-sheets.md's size table for a diameter: bridge,
// turn and pin offset as written there.
std::array<double, 3> Documented(double diameter) {
  const std::string docs = ReadText(ZANDORIK_DOCS_DIR "/dial-sheets.md");
  const std::string start = "| " + std::to_string(static_cast<int>(diameter)) + " mm |";
  const std::size_t at = docs.find(start);
  if (at == std::string::npos) return {};
  std::vector<double> cells;
  std::istringstream row(docs.substr(at + 1, docs.find('\n', at) - at));
  for (std::string cell; std::getline(row, cell, '|');)
    cells.push_back(std::atof(cell.c_str()));
  return cells.size() > 5 ? std::array<double, 3>{cells[3], cells[4], cells[5]}
                          : std::array<double, 3>{};
}

// The shape's place, to find a cut line again in the Print layer.
std::string Key(const SvgShape& s) {
  if (s.kind == "polygon") return "polygon " + s.attributes.at("points");
  return s.kind + " " + s.attributes.at("cx") + " " + s.attributes.at("cy") + " " +
         s.attributes.at("r");
}

struct GeometryCase {
  double diameter;
  Paper paper;
  bool registration;
  int copies;  // of the sample figures
  int pages;
  double bridge;  // the least promised round the window
};

class SheetGeometry : public testing::TestWithParam<GeometryCase> {};

// Every page: millimetre units, two layers, the rulers both ways; each
// figure's dial with its grip ring and click numbers outside the cover, the
// pin holes, the window's bridge and tolerance, the cuts inner first and
// drawn thinly in the Print layer too; everything within the margins (and
// the registration marks, only when asked for) and nothing printed over
// anything else outside the pieces.
TEST_P(SheetGeometry, ReadFromTheSvg) {
  const GeometryCase& c = GetParam();
  std::vector<SheetFigure> figures;
  for (int i = 0; i < c.copies; ++i)
    for (const SheetFigure& f : ExampleFigures())
      figures.push_back(f);
  const double d = c.diameter, coverRadius = 0.44 * d;
  const Sheet sheet = LayOutSheet(figures, {c.paper, d, "figures.QMV", c.registration});
  ASSERT_EQ(static_cast<int>(sheet.pages.size()), c.pages);
  const PaperSize size = SizeOf(c.paper);
  const double m = c.registration ? 20 : 10;
  const Bounds margins{m, m, size.width - m, size.height - m};
  int dials = 0;
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

    std::vector<const SvgShape*> cuts;
    std::multiset<std::string> thin;
    std::vector<const SvgShape*> drawn;  // boxes and texts, some of them a dial's
    std::map<std::string, double> rulers;
    std::vector<Bounds> loose, marks, circles;
    for (const SvgShape& s : svg.shapes) {
      if (s.layer == "Cut") {
        EXPECT_NEAR(s.Number("stroke-width"), 0.25, 1e-9);
        cuts.push_back(&s);
        continue;
      }
      const std::string id = s.Has("id") ? s.attributes.at("id") : "";
      if (id.starts_with("ruler"))
        rulers[id] = std::hypot(s.Number("x2") - s.Number("x1"), s.Number("y2") - s.Number("y1"));
      if (id.starts_with("ruler-100mm-")) {
        EXPECT_EQ(s.Number("x1"), s.Number("x2"));
      }
      if (id.starts_with("registration-")) {
        marks.push_back(BoundsOf(OutlineOf(s)));
        continue;
      }
      if ((s.kind == "circle" || s.kind == "polygon") && s.Number("stroke-width") == 0.1)
        thin.insert(Key(s));
      if (s.kind == "rect" || s.kind == "polygon" || s.kind == "text") drawn.push_back(&s);
      if (!s.Has("transform")) loose.push_back(BoundsOf(OutlineOf(s)));
    }
    EXPECT_NEAR(rulers["ruler-100mm"], 100, 1e-3);
    EXPECT_NEAR(rulers["ruler-100mm-vertical"], 100, 1e-3);
    EXPECT_NEAR(rulers["ruler-1in"], 25.4, 1e-3);

    // Per figure: window, pin holes, then the two circles; each cut also
    // thin in the Print layer, and no cut inside one made before it.
    ASSERT_EQ(cuts.size() % 5, 0u);
    for (std::size_t i = 0; i < cuts.size(); ++i) {
      EXPECT_EQ(thin.count(Key(*cuts[i])), 1u) << Key(*cuts[i]);
      for (std::size_t j = i + 1; j < cuts.size(); ++j)
        EXPECT_FALSE(BoundsOf(OutlineOf(*cuts[j])).Inside(BoundsOf(OutlineOf(*cuts[i]))))
            << Key(*cuts[j]) << " after " << Key(*cuts[i]);
    }
    for (std::size_t f = 0; f < cuts.size(); f += 5, ++dials) {
      const SvgShape &window = *cuts[f], &dial = *cuts[f + 3], &cover = *cuts[f + 4];
      ASSERT_EQ(window.kind, "polygon");
      EXPECT_NEAR(dial.Number("r"), d / 2, 1e-3);
      EXPECT_NEAR(cover.Number("r"), coverRadius, 1e-3);
      EXPECT_NEAR(dial.Number("r") - cover.Number("r"), 3 * d / kDefaultDiameter, 1e-3);
      const Point dialCentre{dial.Number("cx"), dial.Number("cy")};
      const Point coverCentre{cover.Number("cx"), cover.Number("cy")};
      for (int pin : {1, 2}) {
        EXPECT_NEAR(cuts[f + pin]->Number("r"), 0.75, 1e-3);
        EXPECT_EQ(cuts[f + pin]->Number("cx"), pin == 1 ? dialCentre.x : coverCentre.x);
        EXPECT_EQ(cuts[f + pin]->Number("cy"), dialCentre.y);
      }
      // The dial's sectors, click 1 drawn as it is and the others turned
      // about its centre; its click numbers on the ring, wholly between the
      // cover's edge and the dial's.
      std::vector<std::pair<Turn, Outline>> boxes;
      int ringNumbers = 0;
      for (const SvgShape* s : drawn) {
        Turn turn = TurnOf(*s);
        const Outline outline = OutlineOf(*s);
        if (!s->Has("transform")) {
          if (!BoundsOf(outline).Inside(BoundsOf(OutlineOf(dial)))) continue;
          turn.centre = dialCentre;
        } else if (turn.centre.x != dialCentre.x || turn.centre.y != dialCentre.y) {
          continue;
        }
        if (s->kind != "text") {
          boxes.push_back({turn, outline});
        } else if (std::isdigit(static_cast<unsigned char>(s->text[0]))) {
          // Digits stand 0.72 of the size above their baseline.
          const double baseline = dialCentre.y - s->Number("y");
          ringNumbers += baseline > coverRadius && baseline + 0.72 * s->Number("font-size") < d / 2;
        }
      }
      EXPECT_EQ(ringNumbers, kColumnCount);
      const Outline outline = OutlineOf(window);
      for (Point corner : outline)
        bridge = std::min(bridge, cover.Number("r") - std::hypot(corner.x - coverCentre.x,
                                                                 corner.y - coverCentre.y));
      const Tolerance t = WindowTolerance(boxes, coverCentre, outline);
      tolerance = {std::min(tolerance.degrees, t.degrees),
                   std::min(tolerance.millimetres, t.millimetres)};
      for (const SvgShape* circle : {&dial, &cover}) {
        const Bounds b = BoundsOf(OutlineOf(*circle));
        EXPECT_TRUE(b.Inside(margins));
        for (const Bounds& other : circles)
          EXPECT_FALSE(b.Overlaps(other));
        circles.push_back(b);
      }
    }

    // Registration marks only when asked for, everything else inside them.
    EXPECT_EQ(marks.size(), c.registration ? 3u : 0u);
    const Bounds frame{10, 10, size.width - 10, size.height - 10};
    for (const Bounds& mark : marks)
      EXPECT_TRUE(mark.Inside(frame));
    // What lies outside the pieces lies within the margins and apart.
    std::vector<Bounds> outside;
    for (const Bounds& b : loose) {
      EXPECT_TRUE(b.Inside(margins)) << b.left << "," << b.top << " " << b.right << "," << b.bottom;
      for (const Bounds& mark : marks)
        EXPECT_FALSE(b.Overlaps(mark));
      bool inPiece = false;
      for (const Bounds& circle : circles)
        inPiece = inPiece || b.Inside(circle);
      if (inPiece) continue;
      for (const Bounds& circle : circles)
        EXPECT_FALSE(b.Overlaps(circle)) << b.left << "," << b.top;
      for (const Bounds& other : outside)  // a letter in its swatch is meant
        EXPECT_TRUE(!b.Overlaps(other) || b.Inside(other) || other.Inside(b))
            << b.left << "," << b.top << " and " << other.left << "," << other.top;
      outside.push_back(b);
    }
  }
  EXPECT_EQ(dials, static_cast<int>(figures.size()));
  EXPECT_GE(bridge, c.bridge);
  if (d == kDefaultDiameter) {
    EXPECT_GE(tolerance.degrees, 1.5);
    EXPECT_GE(tolerance.millimetres, 0.25);
  }
  // What docs/dial-sheets.md says of this size is what the sheet reaches.
  const std::array<double, 3> documented = Documented(d);
  const std::array<double, 3> measured = {bridge, tolerance.degrees, tolerance.millimetres};
  for (int i = 0; i < 3; ++i) {
    EXPECT_LE(documented[i], measured[i] + 1e-9) << "column " << i + 4 << ": " << measured[i];
    EXPECT_GT(documented[i], measured[i] - 0.01) << "column " << i + 4 << ": " << measured[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Diameters, SheetGeometry,
                         testing::Values(GeometryCase{40, Paper::A4, false, 1, 2, 2.0},
                                         GeometryCase{50, Paper::A4, false, 1, 2, 2.5},
                                         GeometryCase{50, Paper::Letter, true, 3, 6, 2.5},
                                         GeometryCase{80, Paper::Letter, false, 1, 3, 2.5},
                                         GeometryCase{80, Paper::A4, true, 1, 3, 2.5}),
                         [](const testing::TestParamInfo<GeometryCase>& info) {
                           return std::string(PaperName(info.param.paper)) + "_" +
                                  std::to_string(static_cast<int>(info.param.diameter)) + "mm_" +
                                  std::to_string(info.param.copies * 6) + "figures" +
                                  (info.param.registration ? "_registration" : "");
                         });

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "zandorik_sheet_" + std::to_string(::getpid()) + "_" + name;
}

Rgb RgbOf(QColor c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

bool Near(Rgb seen, Rgb expected, int tolerance = 40) {
  return std::abs(seen.red - expected.red) <= tolerance &&
         std::abs(seen.green - expected.green) <= tolerance &&
         std::abs(seen.blue - expected.blue) <= tolerance;
}

// A part of a square's box on a page rendered at `dpi`, read upright: from
// `u0` to `u1` across and `v0` to `v1` down, in millimetres from the box's
// top left corner as drawn for click 1, a sample every half pixel.
struct BoxPart {
  std::vector<std::vector<QColor>> rows;
  // The colour seen most: the box's fill.
  Rgb Fill() const {
    std::map<std::uint32_t, int> count;
    for (const auto& row : rows)
      for (QColor c : row)
        ++count[c.rgb()];
    return RgbOf(QColor::fromRgb(std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                                   return a.second < b.second;
                                 })->first));
  }
  double Apart(QColor c, Rgb fill) const {
    return std::abs(c.red() - fill.red) + std::abs(c.green() - fill.green) +
           std::abs(c.blue() - fill.blue);
  }
  // The ink: the colour farthest from the fill.
  Rgb Ink() const {
    const Rgb fill = Fill();
    QColor ink(fill.red, fill.green, fill.blue);
    for (const auto& row : rows)
      for (QColor c : row)
        if (Apart(c, fill) > Apart(ink, fill)) ink = c;
    return RgbOf(ink);
  }
  // Which samples are ink, and how many rows of samples hold any.
  std::vector<bool> InkPattern(int& inkRows) const {
    const Rgb fill = Fill();
    std::vector<bool> pattern;
    inkRows = 0;
    for (const auto& row : rows) {
      bool any = false;
      for (QColor c : row)
        any |= pattern.emplace_back(Apart(c, fill) > 200);
      inkRows += any;
    }
    return pattern;
  }
  double step;
};

// How many ink samples of each pattern (`width` samples a row) have none
// of the other's within two samples: letters that differ, not the same
// letter sampled a little apart.
int Unlike(const std::vector<bool>& a, const std::vector<bool>& b, std::size_t width) {
  const int w = static_cast<int>(width), h = static_cast<int>(a.size() / width);
  int unlike = 0;
  for (const auto& [one, other] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (!(*one)[y * w + x]) continue;
        bool near = false;
        for (int dy = -2; dy <= 2 && !near; ++dy)
          for (int dx = -2; dx <= 2 && !near; ++dx)
            near = y + dy >= 0 && y + dy < h && x + dx >= 0 && x + dx < w &&
                   (*other)[(y + dy) * w + x + dx];
        unlike += !near;
      }
    }
  }
  return unlike;
}

// A page, or the part of it from (left, top), rendered by poppler.
struct Render {
  QImage image;
  double dpi, left, top;
};

Render Rendered(const std::string& pdf, double dpi, bool grey, double left = 0, double top = 0,
                double width = 0, double height = 0) {
  const std::string png = TempPath("page");
  const auto px = [&](double mm) { return std::to_string(std::lround(mm * dpi / 25.4)); };
  EXPECT_EQ(Shell("pdftoppm -f 1 -l 1 -singlefile -png -r " + px(25.4) + (grey ? " -gray" : "") +
                  (width > 0 ? " -x " + px(left) + " -y " + px(top) + " -W " + px(width) + " -H " +
                                   px(height)
                             : "") +
                  " " + pdf + " " + png)
                .status,
            0);
  Render render{QImage(QString::fromStdString(png + ".png")), dpi, left, top};
  std::remove((png + ".png").c_str());
  return render;
}

BoxPart ReadBox(const Render& render, const SquarePlace& at, double u0, double u1, double v0,
                double v1) {
  const double dpi = render.dpi;
  BoxPart part{{}, 12.7 / dpi};
  for (double v = v0; v < v1; v += part.step) {
    auto& row = part.rows.emplace_back();
    for (double u = u0; u < u1; u += part.step) {
      const Point p = Turned({at.left + u, at.top + v}, at.turn, {at.cx, at.cy});
      row.push_back(render.image.pixelColor(static_cast<int>((p.x - render.left) * dpi / 25.4),
                                            static_cast<int>((p.y - render.top) * dpi / 25.4)));
    }
  }
  return part;
}

// A figure with no name that uses every power colour on every row, clicks
// 1 to 10, and click 11 plain White.
SheetFigure EveryColourFigure() {
  SheetFigure figure;
  figure.points = "0";
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const int colour = column < 10 ? column + 2 : 1;
      const ColourInfo& c = kColours[colour];
      // Two digits, but one in the narrow Damage row, as the game has them.
      const int value = row == StatRow::Damage ? column % 6 : 10 + column;
      figure.dial[static_cast<int>(row)][column] = {
          std::to_string(value), false, c.red, c.green, c.blue, colour};
    }
  }
  return figure;
}

// The PDF on both papers: its page size (Qt rounds it to whole points),
// its fonts embedded, its texts as text. Then rendered by poppler at
// 400 dpi: every box's colour where the layout put it, "KO" in red, and
// for each power colour its digits at least 1.8 mm high and 4.5:1 against
// their box; in greyscale, the letters of a row's powers all differ, from
// each other and from a plain box.
TEST(SheetPdf, PagesFontsTextsDigitsAndMarks) {
  std::vector<SheetFigure> figures = ExampleFigures();
  figures.insert(figures.begin(), EveryColourFigure());
  for (Paper paper : {Paper::A4, Paper::Letter}) {
    SCOPED_TRACE(std::string(PaperName(paper)));
    const Sheet sheet = LayOutSheet(figures, {paper, kDefaultDiameter, "figures.QMV"});
    const std::string pdf = TempPath("sheet.pdf");
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(WriteSheet(sheet, pdf, 300, "test", written, error)) << error;

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

    const std::string text = Shell("pdftotext -f 1 -l 1 " + pdf + " -").out;
    for (const char* expected :
         {"SPD", "ATK", "DEF", "DMG", "click", "next", "dial", "cover", "(no name)",
          "1. Cut out the dial and the cover along their outer circles, and the window",
          "2. Pierce both centres",
          "3. Pin the cover over the dial with a split pin or paper "
          "fastener, and turn the dial by its rim",
          "Card: print on card of 160 to 250", "Print at 100%"})
      EXPECT_NE(text.find(expected), std::string::npos) << expected;
    const std::string all = Shell("pdftotext " + pdf + " -").out;
    for (const SheetFigure& f : ExampleFigures()) {
      EXPECT_NE(all.find(f.name), std::string::npos) << f.name;
      EXPECT_NE(all.find(f.points + " points"), std::string::npos) << f.name;
    }
    if (paper == Paper::Letter) continue;

    // The whole page for the colours, the colour table's dial closer.
    const Render page = Rendered(pdf, 200, false);
    const Sheet::Cell& first = sheet.cells.front();
    const double d = kDefaultDiameter;
    const Render close = Rendered(pdf, 400, false, first.x, first.y, d, d);
    const Render grey = Rendered(pdf, 400, true, first.x, first.y, d, d);
    ASSERT_FALSE(page.image.isNull() || close.image.isNull() || grey.image.isNull());
    int checked = 0, ko = 0;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      if (sheet.cells[i].page != 0) continue;
      for (StatRow row : kStatRows) {
        std::vector<std::vector<bool>> marks;
        std::size_t markWidth = 0;
        for (int column = 0; column < kColumnCount; ++column) {
          const SheetSquare& square = figures[i].Square(row, column);
          const SquarePlace at = DialSquarePlace(sheet.cells[i], kDefaultDiameter, row, column);
          const std::string where = std::string(StatRowName(row)) + " click " +
                                    std::to_string(column + 1) + " of figure " + std::to_string(i);
          const BoxPart digits = ReadBox(i == 0 ? close : page, at, 0.2,
                                         at.markLeft - at.left - 0.2, 0.2, at.height - 0.2);
          if (square.ko) {
            if (!figures[i].ColumnKO(column)) {
              EXPECT_TRUE(Near(digits.Fill(), kWhite));
              EXPECT_TRUE(Near(digits.Ink(), kKORed, 60));
            } else if (row == StatRow::Speed) {
              const SquarePlace defense =
                  DialSquarePlace(sheet.cells[i], kDefaultDiameter, StatRow::Defense, column);
              const double middle = (defense.top + defense.height - at.top) / 2;
              EXPECT_TRUE(
                  Near(ReadBox(page, at, 0.3, at.width - 0.3, middle - 0.8, middle + 0.8).Ink(),
                       kKORed, 60))
                  << where;
              ++ko;
            }
            continue;
          }
          const ColourInfo& colour = kColours[square.colour];
          EXPECT_TRUE(Near(digits.Fill(), {colour.red, colour.green, colour.blue}))
              << where << " for " << colour.name;
          ++checked;
          if (i != 0) continue;
          // The colour table's figure: digits and marks.
          int inkRows = 0;
          digits.InkPattern(inkRows);
          EXPECT_GE(inkRows * digits.step, 1.8) << where << ", " << colour.name;
          EXPECT_GE(ContrastRatio(digits.Fill(), digits.Ink()), 4.5)
              << where << ", " << colour.name;
          const BoxPart mark = ReadBox(grey, at, at.markLeft - at.left + 0.15, at.width - 0.15,
                                       0.15, at.height - 0.15);
          markWidth = mark.rows.front().size();
          marks.push_back(mark.InkPattern(inkRows));
          EXPECT_EQ(inkRows == 0, square.colour == 1) << where << ", " << colour.name;
        }
        for (std::size_t a = 0; a < marks.size(); ++a)
          for (std::size_t b = a + 1; b < marks.size(); ++b)
            EXPECT_GT(Unlike(marks[a], marks[b], markWidth), 20)
                << StatRowName(row) << ": the marks of clicks " << a + 1 << " and " << b + 1;
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
    std::string error;
    ASSERT_TRUE(WriteSheet(sheet, png, dpi, "test", written, error)) << error;
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
      differ += !Near(RgbOf(docs.pixelColor(x, y)), RgbOf(now.pixelColor(x, y)), 64);
  EXPECT_LT(differ, docs.width() * docs.height() / 100);
}

}  // namespace
}  // namespace zandorik
