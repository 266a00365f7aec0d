// One stored figure read by name, for the commands that work on a single
// figure (`zandorik reach`, `zandorik worth`).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/figure.h"

namespace zandorik {

struct StoredFigure {
  FigureScreen screen;              // as loading it in the window shows it
  std::vector<std::string> damage;  // of the file and of the record, if any
};

// Reads the first figure whose stored name is `name` (letter case counts,
// trailing blanks aside) under the file's shared lock. False, with the
// reason and the exit status it calls for (kExitUnreadable, kExitUsage for
// a name the file does not hold), when it cannot.
bool ReadStoredFigure(const std::string& path, const std::string& name, StoredFigure& figure,
                      int& status, std::string* why);

// "P points (total X)", or "no points (total X)" for a total that leaves
// the range of whole numbers.
std::string PointsAndTotal(std::optional<std::int32_t> points, double total);

}  // namespace zandorik
