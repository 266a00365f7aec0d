// Moving a figure between a record and the main window's controls.
#pragma once

#include <string>
#include <vector>

#include "model/figure.h"
#include "store/figure_record.h"

namespace zandorik {

// Puts a record on the screen as loading does: list positions select their
// entries, range and values are written in decimal, colour -1 makes a KO
// square. The name box is left alone. A damaged record never stops it:
// a position outside its list selects nothing, a bolt state other than 0
// or 1 leaves the box clear, a colour that is no colour code is kept as the
// square's background (pricing then calls it an unknown ability). False
// for a damaged record, each damage described in `damage`.
bool ShowRecordOnScreen(const FigureRecord& record, FigureScreen& screen,
                        std::vector<std::string>* damage = nullptr);

// Fills every field but Deleted from the screen, as saving does. A range or
// square value that does not fit 16 bits is not stored: false, each
// described in `refused`, and the caller must refuse to write the record.
bool StoreScreenInRecord(const FigureScreen& screen, FigureRecord& record,
                         std::vector<std::string>* refused = nullptr);

}  // namespace zandorik
