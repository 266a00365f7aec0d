// The colour swatches (21 x 21): eleven plain colours and the KO swatch,
// made once and shared by the squares and the colour picker.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <array>
#include <vector>

namespace zandorik {

class PaletteStore {
 public:
  static constexpr int kSwatchSize = 21;
  static constexpr int kKOSwatch = 6;

  PaletteStore();

  // PictureColor 0 to 11.
  const QPixmap& Swatch(int index) const { return swatches_[index]; }
  const QPixmap& KOSwatch() const { return swatches_[kKOSwatch]; }

 private:
  std::array<QPixmap, 12> swatches_;
};

// ImageListColors: one image per colour, keyed by colour name, in colour
// list order.
struct ImageListEntry {
  QString key;
  QIcon image;
};
std::vector<ImageListEntry> BuildColourImages(const PaletteStore& palette);

}  // namespace zandorik
