// The dial sheet as shapes on pages, in millimetres from the page's top
// left corner: what the PDF, the PNG, the printer (painter_renderer.h) and
// the SVG file (svg_writer.h) draw alike.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "sheet/paper.h"
#include "sheet/sheet_figure.h"

namespace zandorik {

inline constexpr double kDefaultDiameter = 40;
inline constexpr double kMinDiameter = 30;
inline constexpr double kMaxDiameter = 80;
inline constexpr double kSheetMargin = 10;
inline constexpr double kCutLineWidth = 0.25;
inline constexpr double kPointMm = 25.4 / 72;  // one typographic point

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kKORed{255, 0, 0};

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

// Lays the figures out, one cell each, in the order given, as many cells
// a page as fit. No figures give one page with the rulers alone. Needs a
// QGuiApplication, for the fonts' measures.
Sheet LayOutSheet(const std::vector<SheetFigure>& figures, const SheetOptions& options);

// Where the box of a square of a figure's dial lies, the dial at its place
// in `cell`: the box's centre, in millimetres on the page, and its width
// across the sector.
struct SquarePlace {
  double x, y, width;
};
SquarePlace DialSquarePlace(const Sheet::Cell& cell, double diameter, StatRow row, int column);

// The face of every text of a sheet.
inline constexpr const char* kSheetFontFamily = "Liberation Sans";

}  // namespace zandorik
