// The commands of zandorik that draw or read images with Qt: `sheet`,
// `scan` and `team sheet`. Qt's libraries take longer to load than
// `zandorik cost` takes over thousands of figures, so zandorik itself does
// not load them: it hands these commands to zandorik-draw, the same
// program with Qt, which it runs in its own place (drawing_program.cpp).
#pragma once

#include <string_view>

namespace zandorik {

// Their lines in `zandorik --help`, the same in both programs.
inline constexpr std::string_view kSheetSummary = "make dial sheets to print and cut out";
inline constexpr std::string_view kScanSummary = "read figure codes from scanned dial sheets";

}  // namespace zandorik
