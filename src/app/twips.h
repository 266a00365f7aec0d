// Layout units: 1/1440 inch; 15 make a pixel at 96 dots per inch. Qt's
// high-DPI scaling takes the pixels on from there.
#pragma once

#include <QRect>

namespace zandorik {

constexpr int Twips(int twips) {
  return twips / 15;
}
inline QRect TwipsRect(int left, int top, int width, int height) {
  return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

}  // namespace zandorik
