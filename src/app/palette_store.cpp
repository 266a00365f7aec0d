#include "app/palette_store.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include "model/colours.h"

namespace zandorik {

PaletteStore::PaletteStore() {
  for (const ColourInfo& colour : kColours) {
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(QColor(colour.red, colour.green, colour.blue));
    if (colour.swatch == kKOSwatch) {
      // White, with "KO" in pure red across the middle rows: every pixel
      // of the letters is (255, 0, 0), none blended with the white.
      QPainter painter(&swatch);
      QFont font = QGuiApplication::font();  // the face already loaded
      font.setPixelSize(11);
      font.setStyleStrategy(QFont::NoAntialias);
      painter.setFont(font);
      painter.setRenderHint(QPainter::TextAntialiasing, false);
      painter.setPen(QColor(255, 0, 0));
      painter.drawText(QRect(0, 0, kSwatchSize, kSwatchSize), Qt::AlignCenter,
                       QStringLiteral("KO"));
    }
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
