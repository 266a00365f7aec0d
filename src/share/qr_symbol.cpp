#include "share/qr_symbol.h"

#include <qrencode.h>

#include <cerrno>
#include <cstring>

namespace zandorik {

bool MakeQrSymbol(std::string_view text, QrSymbol& symbol, std::string* why) {
  const std::string terminated(text);
  if (terminated.find('\0') != std::string::npos) {
    if (why) *why = "a QR code of a text cannot hold a NUL character";
    return false;
  }
  // Digits, capitals and "$%*+-./: " go in the alphanumeric mode, the
  // smallest that takes a share code; anything else as bytes.
  QRcode* code = QRcode_encodeString(terminated.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  if (!code) {
    if (why) *why = std::string("no QR code holds the text: ") + std::strerror(errno);
    return false;
  }
  symbol.size = code->width;
  const std::size_t modules = static_cast<std::size_t>(code->width) * code->width;
  symbol.dark.resize(modules);
  for (std::size_t i = 0; i < modules; ++i)
    symbol.dark[i] = code->data[i] & 1;  // the lowest bit: dark; the others say what it holds
  QRcode_free(code);
  return true;
}

std::vector<ModuleRect> DarkRectangles(const QrSymbol& symbol) {
  std::vector<ModuleRect> rects;
  // The runs still open below the row before: each may grow by a row.
  std::vector<std::size_t> open, next;
  for (int row = 0; row < symbol.size; ++row) {
    next.clear();
    for (int column = 0; column < symbol.size;) {
      if (!symbol.Dark(row, column)) {
        ++column;
        continue;
      }
      int end = column;
      while (end < symbol.size && symbol.Dark(row, end))
        ++end;
      std::size_t index = rects.size();
      for (std::size_t o : open) {
        if (rects[o].column == column && rects[o].width == end - column) index = o;
      }
      if (index == rects.size()) {
        rects.push_back({column, row, end - column, 1});
      } else {
        ++rects[index].height;
      }
      next.push_back(index);
      column = end;
    }
    open.swap(next);
  }
  return rects;
}

}  // namespace zandorik
