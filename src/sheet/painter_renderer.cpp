#include "sheet/painter_renderer.h"

#include <QPageSize>
#include <QPdfWriter>
#include <cmath>

#include "sheet/sheet_font.h"

namespace zandorik {
namespace {

constexpr int kFontReference = 100;  // pixel size the faces are drawn at, then scaled

QColor Colour(Rgb c) {
  return QColor(c.red, c.green, c.blue);
}

QPen Pen(double width, Rgb colour) {
  if (width <= 0) return Qt::NoPen;
  QPen pen(Colour(colour), width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

// The faces, made once a page, and the transform set last: the PDF
// engine writes out its whole state at every change of either, so that
// items are drawn without saving and restoring the painter.
class PageDrawer {
 public:
  explicit PageDrawer(QPainter& painter)
      : painter_(painter),
        base_(painter.transform()),
        regular_(SheetFont(false, kFontReference)),
        bold_(SheetFont(true, kFontReference)) {}
  ~PageDrawer() { painter_.setTransform(base_); }

  void Draw(const Item& item) {
    QTransform place = base_;
    if (item.turn != 0) {
      place =
          QTransform().translate(item.cx, item.cy).rotate(item.turn).translate(-item.cx, -item.cy) *
          base_;
    }
    const Box* box = std::get_if<Box>(&item.shape);
    if (const bool smooth = !(box && box->crisp);
        painter_.testRenderHint(QPainter::Antialiasing) != smooth)
      painter_.setRenderHint(QPainter::Antialiasing, smooth);
    std::visit([&](const auto& shape) { DrawShape(shape, place); }, item.shape);
  }

 private:
  void Place(const QTransform& transform) {
    if (painter_.transform() != transform) painter_.setTransform(transform);
  }

  void DrawShape(const Circle& shape, const QTransform& place) {
    Place(place);
    painter_.setPen(Pen(shape.stroke, shape.strokeColour));
    painter_.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
    painter_.drawEllipse(QPointF(shape.cx, shape.cy), shape.r, shape.r);
  }
  void DrawShape(const Box& shape, const QTransform& place) {
    Place(place);
    painter_.setPen(Pen(shape.stroke, kBlack));
    painter_.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
    painter_.drawRect(QRectF(shape.x, shape.y, shape.width, shape.height));
  }
  void DrawShape(const Line& shape, const QTransform& place) {
    Place(place);
    painter_.setPen(Pen(shape.width, shape.colour));
    painter_.drawLine(QPointF(shape.x1, shape.y1), QPointF(shape.x2, shape.y2));
  }
  void DrawShape(const Polygon& shape, const QTransform& place) {
    QPolygonF polygon;
    for (std::size_t i = 0; i + 1 < shape.xy.size(); i += 2)
      polygon << QPointF(shape.xy[i], shape.xy[i + 1]);
    Place(place);
    painter_.setPen(Pen(shape.stroke, shape.strokeColour));
    painter_.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
    painter_.drawPolygon(polygon);
  }
  void DrawShape(const Text& text, const QTransform& place) {
    if (text.text.empty() || text.size <= 0) return;
    const qreal scale = text.size / kFontReference;
    Place(QTransform().translate(text.x, text.y).rotate(text.angle).scale(scale, scale) * place);
    const qreal width = text.width / scale;
    const qreal x = text.anchor == Anchor::Start    ? 0
                    : text.anchor == Anchor::Middle ? -width / 2
                                                    : -width;
    painter_.setFont(text.bold ? bold_ : regular_);
    painter_.setPen(Colour(text.colour));
    painter_.drawText(QPointF(x, 0), QString::fromStdString(text.text));
  }

  QPainter& painter_;
  const QTransform base_;
  const QFont regular_, bold_;
};

}  // namespace

void DrawSheetPage(QPainter& painter, const SheetPage& page) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PageDrawer drawer(painter);
  for (const Item& item : page.items)
    drawer.Draw(item);
}

bool WriteSheetPdf(const Sheet& sheet, QIODevice& device, const std::string& title) {
  QPdfWriter writer(&device);
  writer.setTitle(QString::fromStdString(title));
  writer.setCreator(QStringLiteral("zandorik sheet"));
  const bool a4 = sheet.size.width == SizeOf(Paper::A4).width;
  writer.setPageSize(QPageSize(a4 ? QPageSize::A4 : QPageSize::Letter));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  const qreal scale = writer.resolution() / 25.4;
  for (std::size_t p = 0; p < sheet.pages.size(); ++p) {
    if (p > 0 && !writer.newPage()) return false;
    painter.resetTransform();
    painter.scale(scale, scale);
    DrawSheetPage(painter, sheet.pages[p]);
  }
  return painter.end();
}

QImage RenderSheetPage(const Sheet& sheet, int page, int dpi) {
  const qreal scale = dpi / 25.4;
  QImage image(static_cast<int>(std::lround(sheet.size.width * scale)),
               static_cast<int>(std::lround(sheet.size.height * scale)), QImage::Format_RGB32);
  if (image.isNull()) return image;
  const int perMetre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(perMetre);
  image.setDotsPerMeterY(perMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(scale, scale);
  DrawSheetPage(painter, sheet.pages[static_cast<std::size_t>(page)]);
  return image;
}

}  // namespace zandorik
