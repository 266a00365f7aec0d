#include "sheet/svg_writer.h"

#include <charconv>
#include <cmath>
#include <type_traits>

namespace zandorik {
namespace {

// A length to a thousandth of a millimetre, without trailing zeros.
std::string N(double value) {
  if (std::abs(value) < 0.0005) return "0";
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3).ptr;
  std::string out(text, end);
  while (out.back() == '0')
    out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out;
}

std::string Hex(Rgb c) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out = "#";
  for (std::uint8_t v : {c.red, c.green, c.blue}) {
    out += kDigits[v >> 4];
    out += kDigits[v & 15];
  }
  return out;
}

// Text for XML: markup characters escaped, control characters (which XML
// cannot hold) shown as U+FFFD.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string Stroke(double width, Rgb colour) {
  if (width <= 0) return " stroke=\"none\"";
  return " stroke=\"" + Hex(colour) + "\" stroke-width=\"" + N(width) + "\"";
}

std::string Fill(bool filled, Rgb colour) {
  return filled ? " fill=\"" + Hex(colour) + "\"" : " fill=\"none\"";
}

void WriteItem(std::string& out, const Item& item) {
  std::string turn;
  if (item.turn != 0) turn = "rotate(" + N(item.turn) + " " + N(item.cx) + " " + N(item.cy) + ")";
  const auto transform = [&](const std::string& more = {}) {
    const std::string all = turn.empty() ? more : more.empty() ? turn : turn + " " + more;
    return all.empty() ? std::string() : " transform=\"" + all + "\"";
  };
  std::visit(
      [&](const auto& s) {
        using Shape = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<Shape, Circle>) {
          out += "<circle cx=\"" + N(s.cx) + "\" cy=\"" + N(s.cy) + "\" r=\"" + N(s.r) + "\"" +
                 Fill(s.filled, s.fill) + Stroke(s.stroke, s.strokeColour) + transform() + "/>\n";
        } else if constexpr (std::is_same_v<Shape, Box>) {
          out += "<rect x=\"" + N(s.x) + "\" y=\"" + N(s.y) + "\" width=\"" + N(s.width) +
                 "\" height=\"" + N(s.height) + "\"" + Fill(s.filled, s.fill) +
                 Stroke(s.stroke, kBlack) + (s.crisp ? " shape-rendering=\"crispEdges\"" : "") +
                 transform() + "/>\n";
        } else if constexpr (std::is_same_v<Shape, Line>) {
          out += "<line" + (s.id ? " id=\"" + std::string(s.id) + "\"" : std::string()) + " x1=\"" +
                 N(s.x1) + "\" y1=\"" + N(s.y1) + "\" x2=\"" + N(s.x2) + "\" y2=\"" + N(s.y2) +
                 "\"" + Stroke(s.width, s.colour) + transform() + "/>\n";
        } else if constexpr (std::is_same_v<Shape, Polygon>) {
          out += "<polygon" + (s.id ? " id=\"" + std::string(s.id) + "\"" : std::string()) +
                 " points=\"";
          for (std::size_t i = 0; i + 1 < s.xy.size(); i += 2)
            out += (i ? " " : "") + N(s.xy[i]) + "," + N(s.xy[i + 1]);
          out += "\"" + Fill(s.filled, s.fill) +
                 (s.stroke > 0 ? Stroke(s.stroke, s.strokeColour) : std::string()) + transform() +
                 "/>\n";
        } else {
          if (s.text.empty()) return;
          static constexpr const char* kAnchors[] = {"start", "middle", "end"};
          out += "<text x=\"" + N(s.x) + "\" y=\"" + N(s.y) + "\" font-size=\"" + N(s.size) + "\"" +
                 (s.bold ? " font-weight=\"bold\"" : "") +
                 (s.anchor == Anchor::Start ? std::string()
                                            : std::string(" text-anchor=\"") +
                                                  kAnchors[static_cast<int>(s.anchor)] + "\"") +
                 " fill=\"" + Hex(s.colour) + "\" textLength=\"" + N(s.width) +
                 "\" lengthAdjust=\"spacingAndGlyphs\"" +
                 transform(s.angle != 0 ? "rotate(" + N(s.angle) + " " + N(s.x) + " " + N(s.y) + ")"
                                        : std::string()) +
                 ">" + Escaped(s.text) + "</text>\n";
        }
      },
      item.shape);
}

}  // namespace

std::string SheetPageSvg(const Sheet& sheet, int page, const std::string& title) {
  const SheetPage& items = sheet.pages[static_cast<std::size_t>(page)];
  std::string out;
  out.reserve(64 * items.items.size() + 1024);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
  out +=
      "<svg xmlns=\"http://www.w3.org/2000/svg\""
      " xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\""
      " version=\"1.1\" xml:space=\"preserve\" width=\"" +
      N(sheet.size.width) + "mm\" height=\"" + N(sheet.size.height) + "mm\" viewBox=\"0 0 " +
      N(sheet.size.width) + " " + N(sheet.size.height) + "\">\n";
  out += "<title>" + Escaped(title) + "</title>\n";
  for (Layer layer : {Layer::Print, Layer::Cut}) {
    const bool cut = layer == Layer::Cut;
    out += cut ? "<g inkscape:groupmode=\"layer\" id=\"layer-cut\" inkscape:label=\"Cut\">\n"
               : "<g inkscape:groupmode=\"layer\" id=\"layer-print\" inkscape:label=\"Print\""
                 " font-family=\"" +
                     std::string(kSheetFontFamily) + ", Arial, Helvetica, sans-serif\">\n";
    for (const Item& item : items.items)
      if (item.layer == layer) WriteItem(out, item);
    out += "</g>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace zandorik
