// Dial sheets read back from their files: the SVG's geometry, the PDF's
// pages, fonts, texts and colours, the PNG's size and resolution.
#include <QImage>
#include <cmath>
#include <filesystem>

#include "sheet/painter_renderer.h"
#include "sheet/sheet_output.h"
#include "sheet/sheet_test_support.h"
#include "sheet/svg_writer.h"

namespace zandorik {
namespace {

struct Bounds {
  double left, top, right, bottom;
  bool Overlaps(const Bounds& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  bool Inside(const Bounds& o) const {
    return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom;
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

struct GeometryCase {
  double diameter;
  Paper paper;
  int copies;  // of the sample figures
  int pages;
};

class SheetGeometry : public testing::TestWithParam<GeometryCase> {};

// Every page: millimetre units, the two layers, the cut circles at D/2,
// the rulers' lengths, everything within the margins and nothing printed
// over anything else outside the dials and covers.
TEST_P(SheetGeometry, ReadFromTheSvg) {
  const GeometryCase& c = GetParam();
  std::vector<SheetFigure> figures;
  for (int i = 0; i < c.copies; ++i)
    for (const SheetFigure& f : ExampleFigures())
      figures.push_back(f);
  const Sheet sheet = LayOutSheet(figures, {c.paper, c.diameter, "figures.QMV"});
  ASSERT_EQ(static_cast<int>(sheet.pages.size()), c.pages);
  const PaperSize size = SizeOf(c.paper);
  const Bounds margins{10, 10, size.width - 10, size.height - 10};
  int cutCircles = 0;
  for (int p = 0; p < c.pages; ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    const SvgPage svg = ReadSvg(SheetPageSvg(sheet, p, "test"));
    const std::string w = c.paper == Paper::A4 ? "210" : "215.9";
    const std::string h = c.paper == Paper::A4 ? "297" : "279.4";
    EXPECT_EQ(svg.root.at("width"), w + "mm");
    EXPECT_EQ(svg.root.at("height"), h + "mm");
    EXPECT_EQ(svg.root.at("viewBox"), "0 0 " + w + " " + h);
    EXPECT_EQ(svg.layers, (std::vector<std::string>{"layer Print", "layer Cut"}));

    std::vector<Bounds> circles, loose;
    int windows = 0;
    bool footer = false;
    for (const SvgShape& s : svg.shapes) {
      if (s.layer == "Cut") {
        if (s.kind == "circle") {
          EXPECT_NEAR(s.Number("r"), c.diameter / 2, 0.05);
          EXPECT_NEAR(s.Number("stroke-width"), 0.25, 1e-9);
          circles.push_back(CircleBounds(s));
        } else {
          EXPECT_EQ(s.kind, "rect");
          ++windows;
        }
        continue;
      }
      if (s.Has("id")) {
        const double length = s.Number("x2") - s.Number("x1");
        EXPECT_NEAR(length, s.attributes.at("id") == "ruler-100mm" ? 100 : 25.4, 1e-3);
        EXPECT_EQ(s.Number("y1"), s.Number("y2"));
      }
      if (s.kind == "text" &&
          s.text == "page " + std::to_string(p + 1) + " of " + std::to_string(c.pages))
        footer = true;
      if (s.Has("transform")) continue;  // the dials' turned sectors
      if (s.kind == "text") loose.push_back(TextBounds(s));
      if (s.kind == "rect") {
        const double x = s.Number("x"), y = s.Number("y");
        loose.push_back({x, y, x + s.Number("width"), y + s.Number("height")});
      }
    }
    EXPECT_TRUE(footer);
    EXPECT_EQ(circles.size(), 2u * windows);
    cutCircles += static_cast<int>(circles.size());
    for (std::size_t i = 0; i < circles.size(); ++i) {
      EXPECT_TRUE(circles[i].Inside(margins));
      for (std::size_t j = i + 1; j < circles.size(); ++j) {
        const double dx = (circles[i].left - circles[j].left), dy = circles[i].top - circles[j].top;
        EXPECT_GE(std::hypot(dx, dy), c.diameter) << "circles " << i << " and " << j;
      }
    }
    // What lies outside the pieces lies within the margins and apart.
    std::vector<Bounds> outside;
    for (const Bounds& b : loose) {
      EXPECT_TRUE(b.Inside(margins)) << b.left << "," << b.top << " " << b.right << "," << b.bottom;
      bool inPiece = false;
      for (const Bounds& circle : circles)
        inPiece = inPiece || b.Inside(circle);
      if (!inPiece) {
        for (const Bounds& circle : circles)
          EXPECT_FALSE(b.Overlaps(circle)) << b.left << "," << b.top;
        outside.push_back(b);
      }
    }
    for (std::size_t i = 0; i < outside.size(); ++i)
      for (std::size_t j = i + 1; j < outside.size(); ++j)
        EXPECT_FALSE(outside[i].Overlaps(outside[j]))
            << outside[i].left << "," << outside[i].top << " and " << outside[j].left << ","
            << outside[j].top;
  }
  EXPECT_EQ(cutCircles, 2 * static_cast<int>(figures.size()));
}

INSTANTIATE_TEST_SUITE_P(Diameters, SheetGeometry,
                         testing::Values(GeometryCase{30, Paper::A4, 1, 1},
                                         GeometryCase{40, Paper::A4, 1, 1},
                                         GeometryCase{40, Paper::Letter, 3, 3},
                                         GeometryCase{80, Paper::Letter, 1, 3},
                                         GeometryCase{80, Paper::A4, 1, 3}),
                         [](const testing::TestParamInfo<GeometryCase>& info) {
                           return std::string(PaperName(info.param.paper)) + "_" +
                                  std::to_string(static_cast<int>(info.param.diameter)) + "mm_" +
                                  std::to_string(info.param.copies * 6) + "figures";
                         });

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "zandorik_sheet_" + std::to_string(::getpid()) + "_" + name;
}

bool Near(QColor seen, Rgb expected, int tolerance = 40) {
  return std::abs(seen.red() - expected.red) <= tolerance &&
         std::abs(seen.green() - expected.green) <= tolerance &&
         std::abs(seen.blue() - expected.blue) <= tolerance;
}

// The PDF on both papers: its page size (Qt rounds it to whole points),
// its fonts embedded, its texts as text, and its colours where the
// layout put each box, rendered by poppler at a known resolution.
TEST(SheetPdf, PagesFontsTextsAndColours) {
  const std::vector<SheetFigure> figures = ExampleFigures();
  for (Paper paper : {Paper::A4, Paper::Letter}) {
    SCOPED_TRACE(std::string(PaperName(paper)));
    const Sheet sheet = LayOutSheet(figures, {paper, 40, "figures.QMV"});
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
    EXPECT_NE(text.find("Print at 100% (actual size)"), std::string::npos);

    constexpr int kDpi = 200;
    ASSERT_EQ(Shell("pdftoppm -r 200 -png -singlefile " + pdf + " " + TempPath("page")).status, 0);
    const QImage page =
        QImage(QString::fromStdString(TempPath("page.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(page.isNull());
    const auto pixel = [&](double x, double y) {
      return page.pixelColor(static_cast<int>(x * kDpi / 25.4), static_cast<int>(y * kDpi / 25.4));
    };
    int checked = 0, ko = 0;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      for (int column = 0; column < kColumnCount; ++column) {
        for (StatRow row : kStatRows) {
          const SquarePlace at = DialSquarePlace(sheet.cells[i], 40, row, column);
          // Beside the number, inside the box's edge.
          const double a = column * std::numbers::pi / 6, off = 0.42 * at.width;
          const QColor seen = pixel(at.x - off * std::cos(a), at.y - off * std::sin(a));
          const SheetSquare& square = figures[i].Square(row, column);
          if (square.ko) {
            EXPECT_TRUE(Near(seen, kWhite)) << figures[i].name << " click " << column + 1;
            continue;
          }
          const ColourInfo& colour = kColours[square.colour];
          EXPECT_TRUE(Near(seen, {colour.red, colour.green, colour.blue}))
              << figures[i].name << " " << StatRowName(row) << " click " << column + 1 << ": "
              << seen.name().toStdString() << " for " << colour.name;
          ++checked;
        }
        if (figures[i].ColumnKO(column)) {
          // "KO" in red across the middle of the click.
          const SquarePlace a1 = DialSquarePlace(sheet.cells[i], 40, StatRow::Attack, column);
          const SquarePlace d1 = DialSquarePlace(sheet.cells[i], 40, StatRow::Defense, column);
          const double a = column * std::numbers::pi / 6;
          int red = 0;
          for (double t = -0.45; t <= 0.45; t += 0.02) {
            red += Near(pixel((a1.x + d1.x) / 2 + t * a1.width * std::cos(a),
                              (a1.y + d1.y) / 2 + t * a1.width * std::sin(a)),
                        kKORed, 60);
          }
          EXPECT_GT(red, 3) << figures[i].name << " click " << column + 1;
          ++ko;
        }
      }
    }
    EXPECT_GT(checked, 150);
    EXPECT_GT(ko, 10);
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
    const Sheet sheet = LayOutSheet(figures, {paper, 40, "figures.QMV"});
    const std::string png = TempPath("sheet.png");
    std::vector<std::string> written;
    FileError error;
    ASSERT_TRUE(WriteSheet(sheet, png, dpi, "test", {}, written, &error)) << error.description;
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.width(), std::lround(SizeOf(paper).width / 25.4 * dpi));
    EXPECT_EQ(image.height(), std::lround(SizeOf(paper).height / 25.4 * dpi));
    const auto perMetre = static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
    EXPECT_EQ(PngResolution(ReadText(png)), (std::array<std::uint32_t, 2>{perMetre, perMetre}));
    std::remove(png.c_str());
  }
}

// The README's picture is the sample file's sheet as the tests make it:
// it fails when the sheet no longer looks like it. After a deliberate
// change, ZANDORIK_UPDATE_SCREENSHOTS=1 takes the new one over.
TEST(SheetPng, ReadmePictureIsTheSampleSheet) {
  const Sheet sheet = LayOutSheet(ExampleFigures(), {Paper::A4, 40, "figures.QMV"});
  const QImage now = RenderSheetPage(sheet, 0, 75);
  const QString path = QStringLiteral(ZANDORIK_DOCS_DIR "/dial-sheet.png");
  if (qEnvironmentVariableIsSet("ZANDORIK_UPDATE_SCREENSHOTS")) {
    ASSERT_TRUE(now.convertToFormat(QImage::Format_Indexed8).save(path));
  }
  const QImage docs = QImage(path).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(docs.size(), now.size());
  int differ = 0;
  for (int y = 0; y < docs.height(); ++y)
    for (int x = 0; x < docs.width(); ++x)
      differ += !Near(docs.pixelColor(x, y),
                      {static_cast<std::uint8_t>(now.pixelColor(x, y).red()),
                       static_cast<std::uint8_t>(now.pixelColor(x, y).green()),
                       static_cast<std::uint8_t>(now.pixelColor(x, y).blue())},
                      64);
  EXPECT_LT(differ, docs.width() * docs.height() / 100);
}

}  // namespace
}  // namespace zandorik
