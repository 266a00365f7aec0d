// A text as a QR code to draw: its modules (libqrencode, error correction
// level M), and the dark ones gathered into few rectangles, so that a
// sheet draws a code as a handful of filled boxes that print crisp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

// The light margin a reader needs round a code, in modules.
inline constexpr int kQrQuietZone = 4;

struct QrSymbol {
  int size = 0;                    // modules a side, the quiet zone not counted
  std::vector<std::uint8_t> dark;  // row after row, 1 for a dark module
  bool Dark(int row, int column) const {
    return dark[static_cast<std::size_t>(row) * static_cast<std::size_t>(size) +
                static_cast<std::size_t>(column)] != 0;
  }
};

// The smallest code that holds `text` at level M; false, with why, when
// none does (a text of more than about 3,000 characters).
bool MakeQrSymbol(std::string_view text, QrSymbol& symbol, std::string* why);

// A rectangle of dark modules, in modules from the symbol's top left.
struct ModuleRect {
  int column, row, width, height;
  bool operator==(const ModuleRect&) const = default;
};

// The dark modules exactly, as runs along each row, each run joined with
// the same run in the rows below it; in reading order of their top left
// corners.
std::vector<ModuleRect> DarkRectangles(const QrSymbol& symbol);

}  // namespace zandorik
