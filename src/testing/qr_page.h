// A page of QR codes for the scan tests and benchmark: each text as a QR
// code (libqrencode, error correction M) of `module` pixels a module, with
// its quiet zone, laid out in rows on a white page and written as a binary
// PGM, which ImageMagick's convert turns into PNG or JPEG.
#pragma once

#include <qrencode.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace zandorik {

inline bool WriteQrPage(const std::string& path, const std::vector<std::string>& texts, int width,
                        int height, int module) {
  std::vector<unsigned char> page(static_cast<std::size_t>(width) * height, 255);
  int x = 0, y = 0, rowHeight = 0;
  for (const std::string& text : texts) {
    QRcode* qr = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!qr) return false;
    const int side = (qr->width + 8) * module;  // four modules of quiet zone each side
    if (x + side > width) x = 0, y += rowHeight, rowHeight = 0;
    if (y + side > height) return QRcode_free(qr), false;
    for (int row = 0; row < qr->width; ++row) {
      for (int column = 0; column < qr->width; ++column) {
        if (!(qr->data[row * qr->width + column] & 1)) continue;
        for (int dy = 0; dy < module; ++dy) {
          const std::size_t py = static_cast<std::size_t>(y + (row + 4) * module + dy);
          std::fill_n(page.begin() + static_cast<long>(py * width) + x + (column + 4) * module,
                      module, 0);
        }
      }
    }
    x += side;
    rowHeight = std::max(rowHeight, side);
    QRcode_free(qr);
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fprintf(out, "P5\n%d %d\n255\n", width, height);
  const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace zandorik
