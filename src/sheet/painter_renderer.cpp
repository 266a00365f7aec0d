#include "sheet/painter_renderer.h"

#include <QPageSize>
#include <QPdfWriter>
#include <cmath>
#include <type_traits>

namespace zandorik {
namespace {

constexpr qreal kFontReference = 100;  // pixel size the faces are drawn at, then scaled

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

void DrawText(QPainter& painter, const Text& text) {
  if (text.text.empty() || text.size <= 0) return;
  static_assert(std::is_same_v<decltype(text.size), double>);
  QFont font(QString::fromUtf8(kSheetFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(kFontReference));
  font.setBold(text.bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  painter.save();
  painter.translate(text.x, text.y);
  painter.rotate(text.angle);
  const qreal scale = text.size / kFontReference;
  painter.scale(scale, scale);
  const qreal width = text.width / scale;
  const qreal x = text.anchor == Anchor::Start    ? 0
                  : text.anchor == Anchor::Middle ? -width / 2
                                                  : -width;
  painter.setFont(font);
  painter.setPen(Colour(text.colour));
  painter.drawText(QPointF(x, 0), QString::fromStdString(text.text));
  painter.restore();
}

void DrawItem(QPainter& painter, const Item& item) {
  painter.save();
  if (item.turn != 0) {
    painter.translate(item.cx, item.cy);
    painter.rotate(item.turn);
    painter.translate(-item.cx, -item.cy);
  }
  std::visit(
      [&](const auto& shape) {
        using Shape = std::decay_t<decltype(shape)>;
        if constexpr (std::is_same_v<Shape, Circle>) {
          painter.setPen(Pen(shape.stroke, shape.strokeColour));
          painter.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
          painter.drawEllipse(QPointF(shape.cx, shape.cy), shape.r, shape.r);
        } else if constexpr (std::is_same_v<Shape, Box>) {
          painter.setPen(Pen(shape.stroke, kBlack));
          painter.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
          painter.drawRect(QRectF(shape.x, shape.y, shape.width, shape.height));
        } else if constexpr (std::is_same_v<Shape, Line>) {
          painter.setPen(Pen(shape.width, shape.colour));
          painter.drawLine(QPointF(shape.x1, shape.y1), QPointF(shape.x2, shape.y2));
        } else if constexpr (std::is_same_v<Shape, Polygon>) {
          QPolygonF polygon;
          for (std::size_t i = 0; i + 1 < shape.xy.size(); i += 2)
            polygon << QPointF(shape.xy[i], shape.xy[i + 1]);
          painter.setPen(Pen(shape.stroke, shape.strokeColour));
          painter.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
          painter.drawPolygon(polygon);
        } else {
          DrawText(painter, shape);
        }
      },
      item.shape);
  painter.restore();
}

}  // namespace

void DrawSheetPage(QPainter& painter, const SheetPage& page) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (const Item& item : page.items)
    DrawItem(painter, item);
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
