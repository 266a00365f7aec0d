// The team's document: a roster page (the team's name, cap and total, and
// each entry with its points, team, movement, range, rank and a box to
// tick for every figure fielded), then the dial sheets of its figures, one
// dial for each figure fielded. The same pages go to a PDF, SVG or PNG
// file and to the printer.
#pragma once

#include <string>
#include <vector>

#include "sheet/sheet_layout.h"
#include "team/team.h"

namespace zandorik {

// The figures of the team as their dials show them, each entry as many
// times as it is fielded, in roster order. The messages pricing them gives
// are added to `messages`, each once, with the figure's name.
std::vector<SheetFigure> TeamSheetFigures(const Team& team, std::vector<std::string>& messages);

// The roster pages, then the dial sheets of `figures` (TeamSheetFigures),
// every footer counting the pages of the whole document. `options` are the
// dial sheets' (paper, diameter, marks, codes); its file name stands in
// every footer. Needs a QGuiApplication, for the fonts' measures.
Sheet LayOutTeamSheet(const Team& team, const std::vector<SheetFigure>& figures,
                      const SheetOptions& options);

}  // namespace zandorik
