// A page of QR codes for the scan tests and benchmark: each text as a QR
// code (libqrencode, error correction M) of `module` pixels a module, with
// its quiet zone, laid out in rows on a white page and written as a binary
// PGM, which ImageMagick's convert turns into PNG or JPEG.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "share/qr_symbol.h"

namespace zandorik {

inline bool WriteQrPage(const std::string& path, const std::vector<std::string>& texts, int width,
                        int height, int module) {
  std::vector<unsigned char> page(static_cast<std::size_t>(width) * height, 255);
  int x = 0, y = 0, rowHeight = 0;
  for (const std::string& text : texts) {
    QrSymbol qr;
    if (!MakeQrSymbol(text, qr, nullptr)) return false;
    const int side = (qr.size + 2 * kQrQuietZone) * module;
    if (x + side > width) x = 0, y += rowHeight, rowHeight = 0;
    if (y + side > height) return false;
    for (int row = 0; row < qr.size; ++row) {
      for (int column = 0; column < qr.size; ++column) {
        if (!qr.Dark(row, column)) continue;
        for (int dy = 0; dy < module; ++dy) {
          const std::size_t py = static_cast<std::size_t>(y + (row + kQrQuietZone) * module + dy);
          std::fill_n(
              page.begin() + static_cast<long>(py * width) + x + (column + kQrQuietZone) * module,
              module, 0);
        }
      }
    }
    x += side;
    rowHeight = std::max(rowHeight, side);
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fprintf(out, "P5\n%d %d\n255\n", width, height);
  const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace zandorik
