#include "sheet/sheet_layout.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

#include "share/qr_symbol.h"
#include "sheet/sheet_font.h"

namespace zandorik {

double ContrastRatio(Rgb a, Rgb b) {
  const auto luminance = [](Rgb c) {
    const auto linear = [](std::uint8_t v) {
      const double s = v / 255.0;
      return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue) + 0.05;
  };
  const double la = luminance(a), lb = luminance(b);
  return std::max(la, lb) / std::min(la, lb);
}

Rgb DigitColour(Rgb fill) {
  return ContrastRatio(kBlack, fill) >= ContrastRatio(kWhite, fill) ? kBlack : kWhite;
}

std::string_view PowerMark(int colour) {
  // KO, White, Black, Cyan, Red, Yellow, Grey, Orange, Blue, Green, Magenta, Brown
  static constexpr std::array<std::string_view, kColourCount> kMarks = {
      "", "", "K", "C", "R", "Y", "E", "O", "B", "G", "M", "N"};
  return colour < 0 || colour >= kColourCount ? "?" : kMarks[static_cast<std::size_t>(colour)];
}

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kCellGap = 4;        // between cells, both ways
constexpr double kPairGap = 3;        // between a dial and its cover
constexpr double kLegendBeside = 60;  // the least width of a legend beside the pieces
constexpr double kLegendLine = 3.2;   // one line of a legend
constexpr double kLegendSize = 6 * kPointMm;
constexpr double kHeadHeight = 16;    // the assembly steps, below the top margin
constexpr double kFootHeight = 22;    // rulers and footer, above the bottom margin
constexpr double kRulerStrip = 9;     // the vertical ruler, inside the right margin
constexpr double kThin = 0.1;         // box outlines, and the cut lines in the Print layer
constexpr double kMinNameSize = 1.8;  // a capital letter 1.24 mm high
constexpr Rgb kGrey{150, 150, 150};

// Text measures from the fonts the renderers draw with: Qt's own, the
// same in the PDF and the PNG; the SVG file states each text's length.
class Measure {
 public:
  Measure() : regular_(SheetFont(false, kReference)), bold_(SheetFont(true, kReference)) {}
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
  // `text` on one line, or on two split at the space nearest its middle,
  // whichever lets it stand larger: each line no wider than `room`, at
  // most `size` and at least `least` high (`fitted`); nothing when
  // neither fits.
  std::vector<std::string> Lines(const std::string& text, double size, double least, double room,
                                 bool bold, double& fitted) const {
    std::vector<std::vector<std::string>> ways = {{text}};
    std::size_t split = std::string::npos;
    for (std::size_t i = text.find(' '); i != std::string::npos; i = text.find(' ', i + 1)) {
      if (split == std::string::npos ||
          std::abs(2.0 * i - text.size()) < std::abs(2.0 * split - text.size()))
        split = i;
    }
    if (split != std::string::npos) ways.push_back({text.substr(0, split), text.substr(split + 1)});
    // The way that gives the larger letters; one line when they tie.
    std::vector<std::string> best;
    fitted = 0;
    for (const auto& lines : ways) {
      double widest = 0;
      for (const std::string& line : lines)
        widest = std::max(widest, Width(line, size, bold));
      const double at = widest > room ? size * room / widest : size;
      if (at >= least && at > fitted + 1e-9) {
        best = lines;
        fitted = at;
      }
    }
    return best;
  }

  static constexpr int kReference = 100;  // pixel size the measures are taken at

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

// A text centred on (x, y) as the eye sees it: digits and capitals stand
// 0.69 of the size above the baseline.
Text Centred(const Measure& measure, double x, double y, const std::string& text, double size,
             double room, bool bold) {
  return measure.Fit(x, y + 0.345 * size, text, size, room, bold, Anchor::Middle);
}

// The measures of a dial and its cover for a dial of diameter d, all
// growing with it. Each click's sector is drawn as the top one, straight
// above the centre, and then turned into place; in that sector's frame y
// is the distance out from the centre and x runs to the right.
struct DialGeometry {
  explicit DialGeometry(double d) : k(d / kDefaultDiameter), radius(d / 2) {}
  // Row r's box (0 Speed, outermost, to 3 Damage): its inner edge and
  // half its width across the sector.
  double Low(int r) const { return inner + (3 - r) * pitch; }
  double HalfWidth(int r) const { return (r == 3 ? 1.75 : 2.5) * k; }
  // The window: the rays 15 degrees either side up to the Attack row, so
  // that the narrow inner boxes keep clear of both neighbours, then in
  // towards the top, so that the bridge above it stays wide.
  double WindowHalf(double y) const {
    const double knee = Low(1);
    if (y <= knee) return y * kTan15;
    return knee * kTan15 + (windowTopHalf - knee * kTan15) * (y - knee) / (windowTop - knee);
  }
  std::vector<double> Window(double cx, double cy) const {
    std::vector<double> xy;
    for (double y : {windowBottom, Low(1), windowTop})
      xy.insert(xy.end(), {cx + WindowHalf(y), cy - y});
    for (double y : {windowTop, Low(1), windowBottom})
      xy.insert(xy.end(), {cx - WindowHalf(y), cy - y});
    return xy;
  }

  static constexpr double kTan15 = 0.2679491924311227;
  double k, radius;
  double cover = 22 * k;  // the cover's radius: a 3 mm ring stays outside it
  double ringMiddle = 23.5 * k;
  double inner = 8.4 * k;       // the Damage box's inner edge
  double pitch = 2.55 * k;      // one row of boxes
  double windowBottom = 6 * k;  // the click's number lies below the boxes
  double windowTop = inner + 4 * pitch + 0.45 * k;
  double windowTopHalf = 3.2 * k;
  double valueSize = 2.75 * k;  // digits 1.89 mm high at the default size
  double markWidth = 1.5 * k;   // the white strip of a power box's letter
  double markSize = 1.55 * k;
  double clickSize = 2.1 * k;
};

// A point `r` out from (cx, cy) at `degrees` clockwise from the top.
std::array<double, 2> At(double cx, double cy, double r, double degrees) {
  return {cx + r * std::sin(degrees * kDegree), cy - r * std::cos(degrees * kDegree)};
}

void AddSquare(PageBuilder& out, const Measure& measure, const SheetSquare& square, int row,
               double cx, double cy, double turn, const DialGeometry& g) {
  const auto place = [&](auto shape) { out.Print(std::move(shape), turn, cx, cy); };
  const double half = g.HalfWidth(row), left = cx - half, top = cy - g.Low(row) - g.pitch;
  const Rgb fill = square.ko ? kWhite : Rgb{square.red, square.green, square.blue};
  place(Box{left, top, 2 * half, g.pitch, kThin, true, fill});
  // The number left of the mark's strip, in every box alike, so that the
  // numbers of a click stand in one column.
  const std::string mark = square.ko ? std::string() : std::string(PowerMark(square.colour));
  const double numberRoom = 2 * half - g.markWidth;
  if (!mark.empty()) {
    const double markLeft = left + numberRoom;
    place(Box{markLeft, top, g.markWidth, g.pitch, kThin, true, kWhite});
    place(Centred(measure, markLeft + g.markWidth / 2, top + g.pitch / 2, mark, g.markSize,
                  g.markWidth - 0.1 * g.k, true));
  }
  Text value = Centred(measure, left + numberRoom / 2, top + g.pitch / 2,
                       square.ko ? std::string("KO") : square.value, g.valueSize,
                       numberRoom - 0.3 * g.k, false);
  value.colour = square.ko ? kKORed : DigitColour(fill);
  place(value);
}

// A click whose four squares are KO: one white piece over the four rows,
// "KO" in red.
void AddKOClick(PageBuilder& out, const Measure& measure, double cx, double cy, double turn,
                const DialGeometry& g) {
  const double wide = g.HalfWidth(0), narrow = g.HalfWidth(3);
  const double top = cy - g.Low(0) - g.pitch, step = cy - g.Low(2), bottom = cy - g.Low(3);
  Polygon piece{{cx - wide, top, cx + wide, top, cx + wide, step, cx + narrow, step, cx + narrow,
                 bottom, cx - narrow, bottom, cx - narrow, step, cx - wide, step},
                kWhite};
  piece.stroke = kThin;
  out.Print(piece, turn, cx, cy);
  Text ko =
      Centred(measure, cx, (top + step) / 2, "KO", 9 * kPointMm * g.k, 2 * wide - 0.4 * g.k, true);
  ko.colour = kKORed;
  out.Print(ko, turn, cx, cy);
}

void AddDial(PageBuilder& out, const Measure& measure, const SheetFigure& figure,
             const std::string& name, double cx, double cy, const DialGeometry& g) {
  // The grip ring: where the cover's edge will lie, and the sectors.
  out.Print(Circle{cx, cy, g.cover, kThin, kGrey});
  for (int s = 0; s < 12; ++s) {
    const auto [x1, y1] = At(cx, cy, g.cover, s * 30 + 15);
    const auto [x2, y2] = At(cx, cy, g.radius, s * 30 + 15);
    out.Print(Line{x1, y1, x2, y2, kThin, kGrey});
  }
  for (int column = 0; column < kColumnCount; ++column) {
    const double turn = column * 30.0;  // clicks 1 to 11 clockwise from the top
    const std::string number = std::to_string(column + 1);
    if (figure.ColumnKO(column)) {
      AddKOClick(out, measure, cx, cy, turn, g);
    } else {
      for (StatRow row : kStatRows)
        AddSquare(out, measure, figure.Square(row, column), static_cast<int>(row), cx, cy, turn, g);
    }
    // The click's number in the window, below the boxes, and on the ring.
    out.Print(Centred(measure, cx, cy - (g.windowBottom + g.inner) / 2, number, g.clickSize,
                      2 * g.HalfWidth(3), false),
              turn, cx, cy);
    out.Print(Centred(measure, cx, cy - g.ringMiddle, number, g.valueSize, 6 * g.k, true), turn, cx,
              cy);
  }
  // The twelfth sector: the piece's name on the ring, the figure's name
  // under the cover along the radius, on two lines when it needs them.
  out.Print(Centred(measure, cx, cy - g.ringMiddle, "dial", 2.2 * g.k, 8 * g.k, false), 330, cx,
            cy);
  const double from = 9 * g.k, room = g.cover - 0.8 * g.k - from;
  double size = 0;
  const std::vector<std::string> lines =
      measure.Lines(name, std::max(kMinNameSize, 2.2 * g.k), kMinNameSize, room, false, size);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Across the radius the letters stand from 0.69 of the size left of
    // their baseline to 0.21 right of it; the lines are centred on it.
    const double baseline = lines.size() == 1 ? 0.24 * size : (i == 0 ? -0.335 : 0.815) * size;
    Text line = measure.Fit(cx + baseline, cy - from, lines[i], size, room, false, Anchor::Start);
    line.angle = -90;
    out.Print(line, 330, cx, cy);
  }
  AddCross(out, cx, cy, g.k);
}

// A small lightning mark, `h` high, its top left corner at (x, y).
Polygon BoltMark(double x, double y, double h) {
  const double w = h * 0.55;
  return Polygon{{x + 0.55 * w, y, x + 0.05 * w, y + 0.55 * h, x + 0.45 * w, y + 0.55 * h,
                  x + 0.3 * w, y + h, x + w, y + 0.4 * h, x + 0.58 * w, y + 0.4 * h, x + 0.85 * w,
                  y}};
}

// The arrow right of the window: the dial turns anticlockwise to bring
// the next click, which lies clockwise of the window, into it.
void AddTurnArrow(PageBuilder& out, const Measure& measure, double cx, double cy,
                  const DialGeometry& g) {
  const double r = 15.5 * g.k, band = 0.3 * g.k, head = 1.0 * g.k;
  const double from = 50, to = 27, tip = 20;
  Polygon arrow;
  const auto add = [&](double radius, double degrees) {
    const auto [x, y] = At(cx, cy, radius, degrees);
    arrow.xy.insert(arrow.xy.end(), {x, y});
  };
  for (double a = from; a >= to; a -= 2.3)
    add(r + band, a);
  add(r + head, to);
  add(r, tip);
  add(r - head, to);
  for (double a = to; a <= from; a += 2.3)
    add(r - band, a);
  out.Print(arrow);
  const auto [x, y] = At(cx, cy, 12.6 * g.k, 38);
  out.Print(Centred(measure, x, y, "next", 1.9 * g.k, 6 * g.k, false));
}

void AddCover(PageBuilder& out, const Measure& measure, const SheetFigure& figure,
              const std::string& name, double cx, double cy, const DialGeometry& g) {
  AddCross(out, cx, cy, g.k);
  out.Print(Text{cx + 2.2 * g.k, cy + 0.7 * g.k, "cover", 2 * g.k,
                 measure.Width("cover", 2 * g.k, false)});
  // The index: a pointer in the edge above the window, at the click's
  // number on the ring.
  out.Print(Polygon{{cx, cy - g.cover, cx + 0.8 * g.k, cy - g.cover + 1.4 * g.k, cx - 0.8 * g.k,
                     cy - g.cover + 1.4 * g.k}});
  // Beside the window, left: what each row of boxes is, and the click.
  const double labelSize = 2 * g.k;
  const auto label = [&](double y, double height, const std::string& text) {
    const double half = std::max(g.WindowHalf(y - height / 2), g.WindowHalf(y + height / 2));
    out.Print(measure.Fit(cx - half - 0.8 * g.k, cy - y + 0.345 * labelSize, text, labelSize,
                          8 * g.k, false, Anchor::End));
  };
  static constexpr std::array<const char*, kStatRowCount> kShort = {"SPD", "ATK", "DEF", "DMG"};
  for (int r = 0; r < kStatRowCount; ++r)
    label(g.Low(r) + g.pitch / 2, g.pitch, kShort[static_cast<std::size_t>(r)]);
  label((g.windowBottom + g.inner) / 2, g.inner - g.windowBottom, "click");
  AddTurnArrow(out, measure, cx, cy, g);

  // The text lines below the centre, each as wide as the circle allows.
  const auto room = [&](double baseline) {
    const double y = baseline - cy + 0.6 * g.k;  // the lowest ink of the line
    return 2 * std::sqrt(std::max(0.0, g.cover * g.cover - y * y)) - 3 * g.k;
  };
  const double size = 6 * kPointMm * g.k;
  double y = cy + 4.6 * g.k;
  double nameSize = 0;
  std::vector<std::string> lines =
      measure.Lines(name, 8 * kPointMm * g.k, kMinNameSize, room(y + 2.8 * g.k), true, nameSize);
  if (lines.empty()) {  // one line shrunk below the least size, rather than cut or lost
    lines = {name};
    nameSize = 8 * kPointMm * g.k;
  }
  for (const std::string& line : lines) {
    out.Print(measure.Fit(cx, y, line, nameSize, room(y), true, Anchor::Middle));
    y += lines.size() == 1 ? 3.6 * g.k : 2.8 * g.k;
  }
  if (lines.size() > 1) y += 0.5 * g.k;
  out.Print(measure.Fit(cx, y,
                        (figure.points.empty() ? std::string("?") : figure.points) + " points",
                        7 * kPointMm * g.k, room(y), true, Anchor::Middle));
  const double step = lines.size() == 1 ? 2.8 * g.k : 2.5 * g.k;
  y += step;
  out.Print(measure.Fit(cx, y, "Team: " + figure.team, size, room(y), false, Anchor::Middle));
  y += step;
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
  y += step;
  out.Print(measure.Fit(cx, y, figure.rank, size, room(y), false, Anchor::Middle));
}

// The cut lines of a figure's two pieces, in the order a cutting machine
// should take them: the inner cuts (window, pin holes) before the outer
// circles, so that no piece comes loose while it is still being cut. Each
// is drawn thinly in the Print layer too, for cutting by hand.
void AddCuts(PageBuilder& out, double dialX, double coverX, double cy, const DialGeometry& g) {
  const auto both = [&](auto shape) {
    shape.stroke = kCutLineWidth;
    out.Add(Layer::Cut, shape);
    shape.stroke = kThin;
    out.Print(shape);
  };
  both(Polygon{g.Window(coverX, cy), kWhite, false});
  const double pin = kPinHoleDiameter / 2;
  for (const auto& [x, r] : std::array<std::array<double, 2>, 4>{
           {{dialX, pin}, {coverX, pin}, {dialX, g.radius}, {coverX, g.cover}}})
    both(Circle{x, cy, r, 0});
}

// A block of a figure's legend: its height, its width (0 when it takes
// the legend's), and how it is drawn from its top left corner in a given
// width.
struct LegendBlock {
  double height;
  std::function<void(PageBuilder&, const Measure&, double x, double y, double width)> draw;
  double width = 0;
};

// The QR code of the figure's share code, its quiet zone included, as
// filled boxes; its text is not printed. A figure without a code (one that
// cannot be stored as a record) says so instead.
LegendBlock CodeBlock(const std::string& code) {
  QrSymbol symbol;
  if (code.empty() || !MakeQrSymbol(code, symbol, nullptr)) {
    return {
        kLegendLine,
        [](PageBuilder& out, const Measure& measure, double x, double y, double width) {
          out.Print(measure.Fit(x, y + 2.3, "No share code: a data file cannot store this figure",
                                kLegendSize, width, false, Anchor::Start));
        }};
  }
  const double side = std::clamp(symbol.size * kCodeModule, kCodeLeast, kCodeMost);
  const double module = side / symbol.size, quiet = kQrQuietZone * module;
  return {side + 2 * quiet,
          [rects = DarkRectangles(symbol), module, quiet](PageBuilder& out, const Measure&,
                                                          double x, double y, double) {
            // Each edge from the symbol's corner, so that boxes that meet
            // share their edges exactly.
            const auto at = [&](double from, int modules) {
              return from + quiet + modules * module;
            };
            for (const ModuleRect& r : rects) {
              const double left = at(x, r.column), top = at(y, r.row);
              out.Print(Box{left, top, at(x, r.column + r.width) - left,
                            at(y, r.row + r.height) - top, 0, true, kBlack, true});
            }
          },
          side + 2 * quiet};
}

// The powers the figure uses, each with the swatch and letter of its
// boxes, in as many columns as `width` holds of 70 mm.
std::vector<LegendBlock> LegendBlocks(const SheetFigure& figure, double width) {
  std::vector<LegendEntry> legend = FigureLegend(figure);
  const int columns = std::max(1, static_cast<int>((width + kCellGap) / (70 + kCellGap)));
  const int rows = std::max(1, static_cast<int>(legend.size() + columns - 1) / columns);
  return {
      {kLegendLine * rows,
       [legend = std::move(legend), columns, rows](PageBuilder& out, const Measure& measure,
                                                   double x, double y, double width) {
         if (legend.empty()) {
           out.Print(
               measure.Fit(x, y + 2.3, "No powers", kLegendSize, width, false, Anchor::Start));
           return;
         }
         constexpr double kSwatch = 2.6, kMark = 1.5, kText = kSwatch + kMark + 1;
         const double step = (width + kCellGap) / columns;
         for (std::size_t i = 0; i < legend.size(); ++i) {
           const double left = x + static_cast<double>(i / rows) * step;
           const double top = y + static_cast<double>(i % rows) * kLegendLine;
           const ColourInfo& c = kColours[legend[i].colour];
           out.Print(Box{left, top + 0.2, kSwatch, kSwatch, kThin, true, {c.red, c.green, c.blue}});
           out.Print(Box{left + kSwatch, top + 0.2, kMark, kSwatch, kThin, true, kWhite});
           out.Print(Centred(measure, left + kSwatch + kMark / 2, top + 0.2 + kSwatch / 2,
                             std::string(PowerMark(legend[i].colour)), 1.55, kMark - 0.1, true));
           out.Print(measure.Fit(left + kText, top + 2.3, legend[i].text, kLegendSize,
                                 step - kCellGap - kText, false, Anchor::Start));
         }
       }}};
}

// The legend's blocks and, when asked for, the QR code of the share code:
// right of them where that leaves them 50 mm, else below them.
std::vector<LegendBlock> LegendWithCode(const SheetFigure& figure, double width, bool codes) {
  if (!codes) return LegendBlocks(figure, width);
  LegendBlock code = CodeBlock(figure.code);
  if (code.width == 0 || width - code.width < 50) {
    std::vector<LegendBlock> blocks = LegendBlocks(figure, width);
    blocks.push_back(std::move(code));
    return blocks;
  }
  std::vector<LegendBlock> left = LegendBlocks(figure, width - code.width);
  double height = code.height, column = 0;
  for (const LegendBlock& block : left)
    height = std::max(height, column += block.height);
  return {{height, [left = std::move(left), code = std::move(code)](
                       PageBuilder& out, const Measure& measure, double x, double y, double width) {
             code.draw(out, measure, x + width - code.width, y, code.width);
             for (const LegendBlock& block : left) {
               block.draw(out, measure, x, y, width - code.width);
               y += block.height;
             }
           }}};
}

// Where cells go on a page: inside the margins, below the assembly steps,
// above the rulers and left of the vertical ruler.
struct PageArea {
  double left, top, right, bottom;
};

PageArea CellArea(const PaperSize& size, bool registration) {
  const double margin = registration ? kRegistrationMargin : kSheetMargin;
  return {margin, margin + kHeadHeight, size.width - margin - kRulerStrip,
          size.height - margin - kFootHeight};
}

// A ruler from (x, y) along x, or down along y when `down`, `length`
// millimetres, ticks every `step` with a long one every `major` steps and
// a middle one every `middle`; the ticks hang below it, or left of it.
void AddRuler(PageBuilder& out, const Measure& measure, double x, double y, double length,
              int steps, int major, int middle, bool down, const char* id) {
  out.Print(Line{x, y, down ? x : x + length, down ? y + length : y, 0.2, kBlack, id});
  for (int i = 0; i <= steps; ++i) {
    const double at = (down ? y : x) + length * i / steps;
    const double tick = i % major == 0 ? 3.5 : i % middle == 0 ? 2.5 : 1.5;
    out.Print(down ? Line{x, at, x - tick, at, 0.15} : Line{at, y, at, y + tick, 0.15});
    if (i % major == 0 && steps > major) {
      const std::string number = std::to_string(i / major);
      out.Print(down ? Centred(measure, x - 5.5, at, number, 5 * kPointMm, 4, false)
                     : measure.Fit(at, y + 6, number, 5 * kPointMm, 5, false, Anchor::Middle));
    }
  }
}

// Three corner marks for a cutting machine that cuts what was printed: a
// filled 5 mm square top left, L-shaped marks top right and bottom left,
// 10 mm in from the edges.
void AddRegistrationMarks(PageBuilder& out, const PaperSize& size) {
  constexpr double kIn = kRegistrationInset, kSquare = 5, kArm = 20, kThick = 0.5;
  const double w = size.width, h = size.height;
  out.Print(
      Polygon{{kIn, kIn, kIn + kSquare, kIn, kIn + kSquare, kIn + kSquare, kIn, kIn + kSquare},
              kBlack,
              true,
              0,
              kBlack,
              "registration-square"});
  out.Print(Polygon{{w - kIn - kArm, kIn, w - kIn, kIn, w - kIn, kIn + kArm, w - kIn - kThick,
                     kIn + kArm, w - kIn - kThick, kIn + kThick, w - kIn - kArm, kIn + kThick},
                    kBlack,
                    true,
                    0,
                    kBlack,
                    "registration-top-right"});
  out.Print(
      Polygon{{kIn, h - kIn - kArm, kIn + kThick, h - kIn - kArm, kIn + kThick, h - kIn - kThick,
               kIn + kArm, h - kIn - kThick, kIn + kArm, h - kIn, kIn, h - kIn},
              kBlack,
              true,
              0,
              kBlack,
              "registration-bottom-left"});
}

// What every page carries: how to build the dials, the rulers, the
// footer, and the registration marks when asked for.
void AddPageFrame(PageBuilder& out, const Measure& measure, const PaperSize& size,
                  const SheetOptions& options, int page, int pages) {
  const double margin = options.registration ? kRegistrationMargin : kSheetMargin;
  const double left = margin, right = size.width - margin;
  const double bottom = size.height - margin;
  const double textSize = 7 * kPointMm;
  static constexpr std::array<const char*, 4> kSteps = {
      "1. Cut out the dial and the cover along their outer circles, and the window out of the "
      "cover.",
      "2. Pierce both centres through the small circles, with a pin or a sharp pencil.",
      "3. Pin the cover over the dial with a split pin or paper fastener, and turn the dial by its "
      "rim (anticlockwise for the next click).",
      "Card: print on card of 160 to 250 g/m\u00b2 (about 60 to 90 lb cover); thinner paper tears "
      "at the window, thicker card is hard to cut."};
  // With registration marks, the top right and bottom left corners up to
  // 30 mm in from the edges are theirs alone.
  const double clear = options.registration ? 30 - margin : 0;
  for (std::size_t i = 0; i < kSteps.size(); ++i) {
    out.Print(measure.Fit(left, margin + 2.6 + 3.4 * static_cast<double>(i), kSteps[i], textSize,
                          right - left - clear, i == 3, Anchor::Start));
  }

  const double ruler = bottom - 18;
  // In from the margin by the half width of the numbers under the ends.
  AddRuler(out, measure, left + 2, ruler, 100, 100, 10, 5, false, "ruler-100mm");
  out.Print(
      Centred(measure, left + 52, ruler - 2.2, "100 mm (numbers: cm)", 6 * kPointMm, 100, false));
  AddRuler(out, measure, left + 114, ruler, 25.4, 8, 8, 4, false, "ruler-1in");
  out.Print(Centred(measure, left + 126.7, ruler - 2.2, "1 inch", 6 * kPointMm, 25.4, false));
  const double top = CellArea(size, options.registration).bottom - 100;
  AddRuler(out, measure, right - 0.5, top, 100, 100, 10, 5, true, "ruler-100mm-vertical");
  out.Print(measure.Fit(right, top - 2, "100 mm", 6 * kPointMm, kRulerStrip, false, Anchor::End));
  double printSize = 0;
  const double room = right - left - 152;
  const std::vector<std::string> print =
      measure.Lines("Print at 100% (actual size)", textSize, 0, room, true, printSize);
  for (std::size_t i = 0; i < print.size(); ++i) {
    out.Print(measure.Fit(right, ruler + (print.size() == 1 ? 3 : 1.5 + 3.4 * i), print[i],
                          printSize, room, true, Anchor::End));
  }
  const double foot = bottom - 1;
  const std::string count = "page " + std::to_string(page) + " of " + std::to_string(pages);
  const Text countText = measure.Fit(right, foot, count, textSize, 40, false, Anchor::End);
  out.Print(measure.Fit(left + clear, foot, options.fileName, textSize,
                        right - left - clear - countText.width - 5, false, Anchor::Start));
  out.Print(countText);
  if (options.registration) AddRegistrationMarks(out, size);
}

}  // namespace

SquarePlace DialSquarePlace(const Sheet::Cell& cell, double diameter, StatRow row, int column) {
  const DialGeometry g(diameter);
  const int r = static_cast<int>(row);
  const double cx = cell.x + diameter / 2, cy = cell.y + diameter / 2;
  const double half = g.HalfWidth(r);
  return {cx,       cy,      column * 30.0,          cx - half, cy - g.Low(r) - g.pitch,
          2 * half, g.pitch, cx + half - g.markWidth};
}

Sheet LayOutSheet(const std::vector<SheetFigure>& figures, const SheetOptions& options) {
  const Measure measure;
  const double d = std::clamp(options.diameter, kMinDiameter, kMaxDiameter);
  const DialGeometry geometry(d);
  Sheet sheet;
  sheet.size = SizeOf(options.paper);
  const PageArea area = CellArea(sheet.size, options.registration);
  const double pairWidth = d + kPairGap + 2 * geometry.cover;
  const double width = area.right - area.left;
  // The legend beside the pieces when it has room there, else below them.
  const bool beside = width - pairWidth - kCellGap >= kLegendBeside;
  const double cellWidth = beside ? width : pairWidth;
  const double legendWidth = beside ? width - pairWidth - kCellGap : cellWidth;
  const int perRow = std::max(1, static_cast<int>((width + kCellGap) / (cellWidth + kCellGap)));

  std::vector<std::vector<LegendBlock>> legends;
  // Cells first, row by row, a new page when a row does not fit.
  int page = 0;
  double y = area.top, rowHeight = 0;
  int inRow = 0;
  for (const SheetFigure& figure : figures) {
    double legendHeight = 0;
    for (const LegendBlock& block :
         legends.emplace_back(LegendWithCode(figure, legendWidth, options.codes)))
      legendHeight += block.height;
    const double height = beside ? std::max(d, legendHeight) : d + 2.5 + legendHeight;
    if (inRow == perRow) {
      y += rowHeight + kCellGap;
      inRow = 0;
      rowHeight = 0;
    }
    if (inRow == 0 && y + height > area.bottom && y > area.top) {
      ++page;
      y = area.top;
    }
    sheet.cells.push_back({page, area.left + inRow * (cellWidth + kCellGap), y, cellWidth, height});
    rowHeight = std::max(rowHeight, height);
    ++inRow;
  }
  sheet.pages.resize(static_cast<std::size_t>(page) + 1);

  for (std::size_t i = 0; i < figures.size(); ++i) {
    const Sheet::Cell& cell = sheet.cells[i];
    PageBuilder out(sheet.pages[static_cast<std::size_t>(cell.page)]);
    const double cy = cell.y + d / 2, dialX = cell.x + d / 2;
    const double coverX = cell.x + d + kPairGap + geometry.cover;
    const std::string name = figures[i].name.empty() ? "(no name)" : figures[i].name;
    AddDial(out, measure, figures[i], name, dialX, cy, geometry);
    AddCover(out, measure, figures[i], name, coverX, cy, geometry);
    AddCuts(out, dialX, coverX, cy, geometry);
    const double legendX = beside ? cell.x + pairWidth + kCellGap : cell.x;
    double legendY = beside ? cell.y : cell.y + d + 2.5;
    for (const LegendBlock& block : legends[i]) {
      block.draw(out, measure, legendX, legendY, legendWidth);
      legendY += block.height;
    }
  }
  // Every page is framed last, so that pages of any kind count alike.
  const int pages = static_cast<int>(sheet.pages.size());
  for (int p = 0; p < pages; ++p) {
    PageBuilder out(sheet.pages[static_cast<std::size_t>(p)]);
    AddPageFrame(out, measure, sheet.size, options, options.pagesBefore + p + 1,
                 options.pagesBefore + pages);
  }
  return sheet;
}

}  // namespace zandorik
