#include "sheet/sheet_layout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace zandorik {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kCellGap = 4;       // between cells, both ways
constexpr double kPairGap = 4;       // between a dial and its cover
constexpr double kLegendLine = 3.2;  // one line of a legend
constexpr double kLegendSize = 6 * kPointMm;
constexpr double kFootHeight = 22;  // rulers and footer, above the bottom margin
constexpr double kThin = 0.1;       // box outlines and sector lines
constexpr Rgb kGrey{150, 150, 150};

// Text measures from the fonts the renderers draw with: Qt's own, the
// same in the PDF and the PNG; the SVG file states each text's length.
class Measure {
 public:
  Measure() : regular_(Font(false)), bold_(Font(true)) {}
  // Advance of `text` at `size` millimetres.
  double Width(const std::string& text, double size, bool bold) const {
    return (bold ? bold_ : regular_).horizontalAdvance(QString::fromStdString(text)) * size /
           kReference;
  }
  // A text of at most `size`, made smaller until it is no wider than
  // `room`: shrunk to fit, never cut.
  Text Fit(double x, double y, const std::string& text, double size, double room, bool bold,
           Anchor anchor) const {
    double width = Width(text, size, bold);
    if (width > room && width > 0) {
      size *= room / width;
      width = room;
    }
    return Text{x, y, text, size, width, anchor, bold};
  }

  static QFont Font(bool bold) {
    QFont font(QString::fromUtf8(kSheetFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(kReference));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
  }
  static constexpr double kReference = 100;  // pixel size the measures are taken at

 private:
  QFontMetricsF regular_, bold_;
};

class PageBuilder {
 public:
  explicit PageBuilder(SheetPage& page) : page_(page) {}
  void Add(Layer layer, auto shape, double turn = 0, double cx = 0, double cy = 0) {
    Item& item = page_.items.emplace_back();
    item.layer = layer;
    item.shape.emplace<decltype(shape)>(std::move(shape));
    item.turn = turn;
    item.cx = cx;
    item.cy = cy;
  }
  void Print(auto shape, double turn = 0, double cx = 0, double cy = 0) {
    Add(Layer::Print, std::move(shape), turn, cx, cy);
  }

 private:
  SheetPage& page_;
};

// The pin's place: a small cross at the centre.
void AddCross(PageBuilder& out, double cx, double cy, double k) {
  const double arm = 1.5 * k;
  out.Print(Line{cx - arm, cy, cx + arm, cy, 0.15});
  out.Print(Line{cx, cy - arm, cx, cy + arm, 0.15});
}

// Radii of the band of boxes, their size and the window around them, for
// a dial of diameter d. Each sector's boxes are drawn as the top sector
// (straight above the centre) and then turned into place.
struct DialGeometry {
  explicit DialGeometry(double d)
      : k(d / kDefaultDiameter),
        radius(d / 2),
        inner(7.5 * k),
        outer(radius - 0.8 * k),
        row((outer - inner) / 4),
        inset(0.15 * k),
        boxWidth(2 * inner * std::tan(15 * kDegree) - 0.6 * k),
        valueSize(6 * kPointMm * k) {}
  // Top of row r's box (0 Speed, outermost) above the centre, as an offset.
  double BoxTop(int r) const { return -(outer - r * row) + inset; }
  double BoxHeight() const { return row - 2 * inset; }

  double k, radius, inner, outer, row, inset, boxWidth, valueSize;
};

void AddDial(PageBuilder& out, const Measure& measure, const SheetFigure& figure, double cx,
             double cy, const DialGeometry& g) {
  out.Add(Layer::Cut, Circle{cx, cy, g.radius, kCutLineWidth});
  out.Print(Circle{cx, cy, g.inner - 0.2 * g.k, kThin, kGrey});
  for (int s = 0; s < 12; ++s) {
    const double a = (s * 30 + 15) * kDegree;
    out.Print(Line{cx + g.inner * std::sin(a), cy - g.inner * std::cos(a),
                   cx + g.radius * std::sin(a), cy - g.radius * std::cos(a), kThin, kGrey});
  }
  const double left = cx - g.boxWidth / 2;
  for (int column = 0; column < kColumnCount; ++column) {
    const double turn = column * 30.0;  // clicks 1 to 11 clockwise from the top
    const auto place = [&](auto shape) { out.Print(std::move(shape), turn, cx, cy); };
    if (figure.ColumnKO(column)) {
      const double top = cy + g.BoxTop(0);
      const double height = cy + g.BoxTop(3) + g.BoxHeight() - top;
      place(Box{left, top, g.boxWidth, height, kThin, true, kWhite});
      Text ko = measure.Fit(cx, 0, "KO", 9 * kPointMm * g.k, g.boxWidth - 0.3 * g.k, true,
                            Anchor::Middle);
      ko.y = top + height / 2 + 0.36 * ko.size;
      ko.colour = kKORed;
      place(ko);
    } else {
      for (StatRow row : kStatRows) {
        const int r = static_cast<int>(row);
        const SheetSquare& square = figure.Square(row, column);
        const double top = cy + g.BoxTop(r);
        const Rgb fill = square.ko ? kWhite : Rgb{square.red, square.green, square.blue};
        place(Box{left, top, g.boxWidth, g.BoxHeight(), kThin, true, fill});
        Text value = measure.Fit(cx, top + g.BoxHeight() / 2 + 0.36 * g.valueSize,
                                 square.ko ? std::string("KO") : square.value, g.valueSize,
                                 g.boxWidth - 0.3 * g.k, false, Anchor::Middle);
        // As the window shows it: white on Black, black on the rest.
        value.colour = square.ko ? kKORed : fill == kBlack ? kWhite : kBlack;
        place(value);
      }
    }
    // The click's number, inside the band, hidden under the cover.
    place(measure.Fit(cx, cy - 4.2 * g.k, std::to_string(column + 1), 4 * kPointMm * g.k, 3 * g.k,
                      false, Anchor::Middle));
  }
  // The twelfth sector: the name, in small print along the radius.
  Text name =
      measure.Fit(cx + 0.5 * g.k, cy - g.inner - 0.3 * g.k, figure.name, 4.5 * kPointMm * g.k,
                  g.outer - g.inner - 0.6 * g.k, false, Anchor::Start);
  name.angle = -90;
  out.Print(name, 330, cx, cy);
  AddCross(out, cx, cy, g.k);
}

// A small lightning mark, `h` high, its top left corner at (x, y).
Polygon BoltMark(double x, double y, double h) {
  const double w = h * 0.55;
  return Polygon{{x + 0.55 * w, y, x + 0.05 * w, y + 0.55 * h, x + 0.45 * w, y + 0.55 * h,
                  x + 0.3 * w, y + h, x + w, y + 0.4 * h, x + 0.58 * w, y + 0.4 * h, x + 0.85 * w,
                  y}};
}

void AddCover(PageBuilder& out, const Measure& measure, const SheetFigure& figure, double cx,
              double cy, const DialGeometry& g) {
  out.Add(Layer::Cut, Circle{cx, cy, g.radius, kCutLineWidth});
  // The window: one sector's boxes and a little around them.
  const double margin = 0.2 * g.k;
  const double top = cy + g.BoxTop(0) - margin;
  const double bottom = cy + g.BoxTop(3) + g.BoxHeight() + margin;
  out.Add(Layer::Cut, Box{cx - g.boxWidth / 2 - margin, top, g.boxWidth + 2 * margin, bottom - top,
                          kCutLineWidth});
  AddCross(out, cx, cy, g.k);

  // The text lines below the centre, each as wide as the circle allows.
  const auto room = [&](double baseline) {
    const double y = baseline - cy + 0.6 * g.k;  // the lowest ink of the line
    return 2 * std::sqrt(std::max(0.0, g.radius * g.radius - y * y)) - 3 * g.k;
  };
  const double size = 6 * kPointMm * g.k;
  double y = cy + 5.2 * g.k;
  out.Print(measure.Fit(cx, y, figure.name, 8 * kPointMm * g.k, room(y), true, Anchor::Middle));
  y += 3.4 * g.k;
  out.Print(measure.Fit(cx, y,
                        (figure.points.empty() ? std::string("?") : figure.points) + " points",
                        7 * kPointMm * g.k, room(y), true, Anchor::Middle));
  y += 2.8 * g.k;
  out.Print(measure.Fit(cx, y, "Team: " + figure.team, size, room(y), false, Anchor::Middle));
  y += 2.6 * g.k;
  // Movement and range, then one bolt mark for each ticked bolt.
  const double boltHeight = 2 * g.k, boltStep = 1.4 * g.k;
  const double bolts = figure.bolts * boltStep;
  Text range = measure.Fit(0, y, figure.movement + ", range " + figure.range, size, room(y) - bolts,
                           false, Anchor::Start);
  range.x = cx - (range.width + bolts) / 2;
  for (int b = 0; b < figure.bolts; ++b) {
    out.Print(
        BoltMark(range.x + range.width + 0.4 * g.k + b * boltStep, y - 1.6 * g.k, boltHeight));
  }
  out.Print(range);
  y += 2.6 * g.k;
  out.Print(measure.Fit(cx, y, figure.rank, size, room(y), false, Anchor::Middle));
}

void AddLegend(PageBuilder& out, const Measure& measure, const SheetFigure& figure, double x,
               double y, double width) {
  const std::vector<LegendEntry> legend = FigureLegend(figure);
  if (legend.empty()) {
    out.Print(measure.Fit(x, y + 2.3, "No powers", kLegendSize, width, false, Anchor::Start));
    return;
  }
  for (const LegendEntry& entry : legend) {
    const ColourInfo& c = kColours[entry.colour];
    out.Print(Box{x, y + 0.2, 2.6, 2.6, kThin, true, Rgb{c.red, c.green, c.blue}});
    out.Print(
        measure.Fit(x + 3.6, y + 2.3, entry.text, kLegendSize, width - 3.6, false, Anchor::Start));
    y += kLegendLine;
  }
}

double LegendHeight(const SheetFigure& figure) {
  return kLegendLine * std::max<std::size_t>(1, FigureLegend(figure).size());
}

// A ruler along y from x, `length` millimetres, ticks every `step` with a
// long one every `major` steps and a middle one every `middle`.
void AddRuler(PageBuilder& out, const Measure& measure, double x, double y, double length,
              int steps, int major, int middle, const char* id, const std::string& label) {
  out.Print(Line{x, y, x + length, y, 0.2, kBlack, id});
  for (int i = 0; i <= steps; ++i) {
    const double at = x + length * i / steps;
    const double tick = i % major == 0 ? 3.5 : i % middle == 0 ? 2.5 : 1.5;
    out.Print(Line{at, y, at, y + tick, 0.15});
    if (i % major == 0 && steps > major) {
      out.Print(measure.Fit(at, y + 6, std::to_string(i / major), 5 * kPointMm, 5, false,
                            Anchor::Middle));
    }
  }
  out.Print(
      measure.Fit(x + length / 2, y - 1.2, label, 6 * kPointMm, length, false, Anchor::Middle));
}

void AddPageFrame(PageBuilder& out, const Measure& measure, const PaperSize& size,
                  const std::string& fileName, int page, int pages) {
  const double left = kSheetMargin, right = size.width - kSheetMargin;
  const double bottom = size.height - kSheetMargin;
  const double ruler = bottom - 16;
  // In from the margin by the half width of the numbers under the ends.
  AddRuler(out, measure, left + 2, ruler, 100, 100, 10, 5, "ruler-100mm", "100 mm (numbers: cm)");
  AddRuler(out, measure, left + 114, ruler, 25.4, 8, 8, 4, "ruler-1in", "1 inch");
  out.Print(measure.Fit(right, ruler + 3, "Print at 100% (actual size)", 7 * kPointMm,
                        right - left - 150, true, Anchor::End));
  const double foot = bottom - 1;
  const std::string count = "page " + std::to_string(page) + " of " + std::to_string(pages);
  const Text countText = measure.Fit(right, foot, count, 7 * kPointMm, 40, false, Anchor::End);
  out.Print(measure.Fit(left, foot, fileName, 7 * kPointMm, right - left - countText.width - 5,
                        false, Anchor::Start));
  out.Print(countText);
}

}  // namespace

SquarePlace DialSquarePlace(const Sheet::Cell& cell, double diameter, StatRow row, int column) {
  const DialGeometry g(diameter);
  const double radius = -(g.BoxTop(static_cast<int>(row)) + g.BoxHeight() / 2);
  const double a = column * 30 * kDegree;
  return {cell.x + diameter / 2 + radius * std::sin(a),
          cell.y + diameter / 2 - radius * std::cos(a), g.boxWidth};
}

Sheet LayOutSheet(const std::vector<SheetFigure>& figures, const SheetOptions& options) {
  const Measure measure;
  const double d = std::clamp(options.diameter, kMinDiameter, kMaxDiameter);
  const DialGeometry geometry(d);
  Sheet sheet;
  sheet.size = SizeOf(options.paper);
  const double left = kSheetMargin, right = sheet.size.width - kSheetMargin;
  const double top = kSheetMargin, bottom = sheet.size.height - kSheetMargin - kFootHeight;
  const double cellWidth = std::min(right - left, 2 * d + kPairGap + 1);
  const int perRow =
      std::max(1, static_cast<int>((right - left + kCellGap) / (cellWidth + kCellGap)));

  // Cells first, row by row, a new page when a row does not fit.
  int page = 0;
  double y = top, rowHeight = 0;
  int inRow = 0;
  for (const SheetFigure& figure : figures) {
    const double height = d + 2.5 + LegendHeight(figure);
    if (inRow == perRow) {
      y += rowHeight + kCellGap;
      inRow = 0;
      rowHeight = 0;
    }
    if (inRow == 0 && y + height > bottom && y > top) {
      ++page;
      y = top;
    }
    sheet.cells.push_back({page, left + inRow * (cellWidth + kCellGap), y, cellWidth, height});
    rowHeight = std::max(rowHeight, height);
    ++inRow;
  }
  sheet.pages.resize(static_cast<std::size_t>(page) + 1);

  for (std::size_t i = 0; i < figures.size(); ++i) {
    const Sheet::Cell& cell = sheet.cells[i];
    PageBuilder out(sheet.pages[static_cast<std::size_t>(cell.page)]);
    const double cy = cell.y + d / 2;
    AddDial(out, measure, figures[i], cell.x + d / 2, cy, geometry);
    AddCover(out, measure, figures[i], cell.x + d + kPairGap + d / 2, cy, geometry);
    AddLegend(out, measure, figures[i], cell.x, cell.y + d + 2.5, cell.width);
  }
  const int pages = static_cast<int>(sheet.pages.size());
  for (int p = 0; p < pages; ++p) {
    PageBuilder out(sheet.pages[static_cast<std::size_t>(p)]);
    AddPageFrame(out, measure, sheet.size, options.fileName, p + 1, pages);
  }
  return sheet;
}

}  // namespace zandorik
