// Writes a page of a dial sheet as SVG: one user unit is one millimetre,
// the cut lines in an Inkscape layer "Cut" of their own (each cut circle a
// <circle>), everything printed in a layer "Print". QSvgGenerator writes
// neither layers nor circles, so the file is written here.
#pragma once

#include <string>

#include "sheet/sheet_layout.h"

namespace zandorik {

std::string SheetPageSvg(const Sheet& sheet, int page, const std::string& title);

}  // namespace zandorik
