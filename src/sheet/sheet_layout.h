// The dial sheet as shapes on pages, in millimetres from the page's top
// left corner: what the PDF, the PNG, the printer (painter_renderer.h) and
// the SVG file (svg_writer.h) draw alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sheet/paper.h"
#include "sheet/sheet_figure.h"

namespace zandorik {

// The dial's diameter. Every measure of the pieces grows with it, so the
// smallest keeps a 2 mm bridge round the cover's window and the default
// the turn and pin tolerance of docs/dial-sheets.md.
inline constexpr double kDefaultDiameter = 50;
inline constexpr double kMinDiameter = 40;
inline constexpr double kMaxDiameter = 80;
inline constexpr double kSheetMargin = 10;
// With registration marks: the marks 10 mm in from the edges, the rest
// 20 mm in, clear of them.
inline constexpr double kRegistrationInset = 10;
inline constexpr double kRegistrationMargin = 20;
inline constexpr double kCutLineWidth = 0.25;
inline constexpr double kPinHoleDiameter = 1.5;
inline constexpr double kPointMm = 25.4 / 72;  // one typographic point

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
// Darker than pure red, so that "KO" on white reaches 6:1.
inline constexpr Rgb kKORed{200, 0, 0};

// Contrast of two colours as WCAG computes it, 1 to 21.
double ContrastRatio(Rgb a, Rgb b);
// Black or white, whichever stands out more on `fill`.
Rgb DigitColour(Rgb fill);
// The letter a power box carries besides its colour ("K" Black, "C" Cyan
// ...), by list position in kColours: "" for KO and White (no power), "?"
// for a colour outside the table (-1).
std::string_view PowerMark(int colour);

struct Circle {
  double cx, cy, r;
  double stroke;  // line width, 0 for none
  Rgb strokeColour = kBlack;
  bool filled = false;
  Rgb fill = kWhite;
};

struct Box {
  double x, y, width, height;
  double stroke;  // line width, 0 for none
  bool filled = false;
  Rgb fill = kWhite;
  // Drawn on whole pixels, unsmoothed, so that boxes that meet (a QR
  // code's) show no seam between them.
  bool crisp = false;
};

struct Line {
  double x1, y1, x2, y2;
  double width;
  Rgb colour = kBlack;
  const char* id = nullptr;  // names the rulers in the SVG file
};

struct Polygon {
  std::vector<double> xy;  // x0, y0, x1, y1, ...
  Rgb fill = kBlack;
  bool filled = true;
  double stroke = 0;  // outline width, 0 for none
  Rgb strokeColour = kBlack;
  const char* id = nullptr;  // names the registration marks in the SVG file
};

enum class Anchor { Start, Middle, End };

struct Text {
  double x, y;  // the anchor on the baseline
  std::string text;
  double size;   // font size in millimetres
  double width;  // the text's advance at that size, as laid out
  Anchor anchor = Anchor::Start;
  bool bold = false;
  Rgb colour = kBlack;
  double angle = 0;  // degrees clockwise about (x, y)
};

enum class Layer { Print, Cut };

struct Item {
  Layer layer = Layer::Print;
  std::variant<Circle, Box, Line, Polygon, Text> shape;
  // Turned by `turn` degrees clockwise about (cx, cy): a sector of a dial.
  double turn = 0, cx = 0, cy = 0;
};

struct SheetPage {
  std::vector<Item> items;
};

struct SheetOptions {
  Paper paper = Paper::A4;
  double diameter = kDefaultDiameter;  // kMinDiameter to kMaxDiameter
  std::string fileName;                // the data file's name, for the footer
  bool registration = false;           // print-then-cut marks in three corners
  bool codes = true;                   // a QR code of each figure's share code in its legend
  int pagesBefore = 0;                 // pages of another kind ahead of the dials (a roster),
                                       // counted in each footer's "page N of M"
};

struct Sheet {
  PaperSize size;
  std::vector<SheetPage> pages;
  // Where each figure's cell lies: page, and box in millimetres.
  struct Cell {
    int page;
    double x, y, width, height;
  };
  std::vector<Cell> cells;
};

// A figure's share code in its legend: the QR code's side, 15 to 20 mm
// whatever the dial's size (modules of 0.6 mm where that fits), and round
// it a quiet zone of four modules that nothing else is drawn on.
inline constexpr double kCodeModule = 0.6;
inline constexpr double kCodeLeast = 15;
inline constexpr double kCodeMost = 20;

// Lays the figures out, one cell each (the dial, its cover, and its
// legend beside them or below, the QR code of its share code last), in
// the order given, as many cells a page as fit. Every page has the
// assembly steps at its top and the rulers and footer at its bottom; no
// figures give one page with those alone. Needs a QGuiApplication, for
// the fonts' measures.
Sheet LayOutSheet(const std::vector<SheetFigure>& figures, const SheetOptions& options);

// Where the box of a square of a figure's dial lies, the dial at its place
// in `cell`. The box is given as drawn for click 1, straight above the
// centre, in millimetres on the page; the click's sector is then turned
// `turn` degrees clockwise about the dial's centre (cx, cy). The box's
// power mark lies right of `markLeft`, its number left of it.
struct SquarePlace {
  double cx, cy, turn;
  double left, top, width, height;
  double markLeft;
};
SquarePlace DialSquarePlace(const Sheet::Cell& cell, double diameter, StatRow row, int column);

// The face of every text of a sheet.
inline constexpr const char* kSheetFontFamily = "Liberation Sans";

}  // namespace zandorik
