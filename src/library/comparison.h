// Two or three figures side by side: every field, the breakdown lines with
// the differences from the first figure marked ("Attack +1.27"), and the
// squares that differ. The Compare window shows it, `zandorik compare`
// prints it, and both copy the same plain text.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cost/calculations.h"
#include "model/figure.h"
#include "store/data_file.h"

namespace zandorik {

struct ComparedFigure {
  std::string label;  // the stored name, or "On the screen"
  FigureScreen figure;
};

// A field's text for each figure, and whether any differs from the first.
struct FieldLine {
  std::string field;
  std::vector<std::string> values;
  bool differs = false;
};

// A breakdown value for each figure, and its difference from the first
// figure's ("" for the first and where there is none): "Attack +1.27".
struct BreakdownLine {
  std::string field;
  std::vector<double> values;
  std::vector<std::string> marks;
};

using SquareMarks = std::array<std::array<bool, kColumnCount>, kStatRowCount>;

struct Comparison {
  std::vector<ComparedFigure> figures;
  std::vector<Calculation> prices;
  std::vector<int> problems;  // the messages Calculate would show
  std::vector<FieldLine> fields;
  std::vector<BreakdownLine> breakdown;
  // For each figure, its squares that differ from the same square of
  // another figure (the first: from any other; the others: from the first).
  std::vector<SquareMarks> differs;
};

// Whether two squares differ as a person sees them: the value, the power
// or the KO mark.
bool SquaresDiffer(const FigureScreen& a, const FigureScreen& b, StatRow row, int column);

Comparison CompareFigures(std::vector<ComparedFigure> figures);

// "+1.27", "-0.5", "" for no difference (to two decimals).
std::string DifferenceText(double difference);

// The comparison as plain text, for a forum post: the fields and the
// breakdown in columns, then each dial with its powers, differing squares
// starred.
std::string ComparisonText(const Comparison& comparison);

// The figures of `entries` read from the data file at `path` under its
// shared lock, each as loading it shows it, named as stored. False, with
// the message, when the file cannot be read or an entry no longer holds
// its figure (the file was changed since it was listed).
bool ReadComparedFigures(const std::string& path, const std::vector<NameEntry>& entries,
                         std::vector<ComparedFigure>& figures, std::string* why);

}  // namespace zandorik
