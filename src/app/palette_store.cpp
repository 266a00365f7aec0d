#include "app/palette_store.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "model/colours.h"

namespace zandorik {

namespace {

// White, with "KO" in pure red across the middle rows. The letters are
// drawn as a coverage mask in the window's face, and every pixel they cover
// by half or more is (255, 0, 0), the rest white: nothing is blended, as on
// the classic bitmap swatch. (A face without anti-aliasing would be one
// more face to load at start-up.)
QPixmap KOSwatchImage(int size) {
  QImage mask(size, size, QImage::Format_Alpha8);
  mask.fill(Qt::transparent);
  {
    QPainter painter(&mask);
    QFont font = QGuiApplication::font();  // the face already loaded
    font.setPixelSize(11);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("KO"));
  }
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int y = 0; y < size; ++y) {
    const uchar* coverage = mask.constScanLine(y);
    for (int x = 0; x < size; ++x) {
      if (coverage[x] >= 128) image.setPixel(x, y, qRgb(255, 0, 0));
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

PaletteStore::PaletteStore() {
  for (const ColourInfo& colour : kColours) {
    if (colour.swatch == kKOSwatch) {
      swatches_[colour.swatch] = KOSwatchImage(kSwatchSize);
      continue;
    }
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(QColor(colour.red, colour.green, colour.blue));
    swatches_[colour.swatch] = swatch;
  }
}

std::vector<ImageListEntry> BuildColourImages(const PaletteStore& palette) {
  std::vector<ImageListEntry> images;
  for (const ColourInfo& colour : kColours) {
    images.push_back({QString::fromUtf8(colour.name.data(), static_cast<int>(colour.name.size())),
                      QIcon(palette.Swatch(colour.swatch))});
  }
  return images;
}

}  // namespace zandorik
