#include "library/comparison.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "model/lists.h"
#include "model/numbers.h"
#include "store/figure_text.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

// The breakdown lines, in the breakdown window's order, then what it does
// not show.
constexpr const char* kBreakdownFields[] = {
    "Speed",         "Attack",         "Defense",       "Damage", "Speed powers",
    "Attack powers", "Defense powers", "Damage powers", "Range",  "Bolts",
    "Team",          "Movement",       "Total"};

double BreakdownValue(const Calculation& calc, int line) {
  const Breakdown& b = calc.breakdown;
  const double values[] = {b.speed,       b.attack,       b.defense,     b.damage, b.speedPower,
                           b.attackPower, b.defensePower, b.damagePower, b.range,  b.bolts,
                           b.team,        calc.movement,  calc.total};
  return values[line];
}

class CollectingCount : public MessageSink {
 public:
  void Message(const std::string&) override { ++count; }
  int count = 0;
};

int Clicks(const FigureScreen& figure) {
  int clicks = 0;
  for (int column = 0; column < kColumnCount; ++column)
    clicks += figure.ShowsKO(StatRow::Speed, column) ? 0 : 1;
  return clicks;
}

std::string RankOf(const FigureScreen& figure) {
  for (std::size_t i = 0; i < kRanks.size(); ++i) {
    if (figure.rankSelected[i]) return std::string(kRanks[i].caption);
  }
  return {};
}

// The powers of the dial: "Charge (Speed 1, 2)" in dial order.
std::string PowersOf(const FigureScreen& figure) {
  std::string text;
  for (StatRow row : kStatRows) {
    std::map<int, std::string> clicks;  // by colour, in list order
    for (int column = 0; column < kColumnCount; ++column) {
      const int colour = figure.ColourOf(row, column);
      if (colour <= 1 || figure.ShowsKO(row, column)) continue;
      std::string& at = clicks[colour];
      at += (at.empty() ? "" : ", ") + std::to_string(column + 1);
    }
    for (const auto& [colour, at] : clicks) {
      if (!text.empty()) text += "; ";
      text += std::string(PowerName(row, colour)) + " (" + std::string(StatRowName(row)) + " " +
              at + ")";
    }
  }
  return text;
}

// Columns of text by characters, not bytes.
std::size_t Width(std::string_view text) {
  std::size_t width = 0;
  for (char c : text)
    width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

std::string Padded(std::string text, std::size_t width) {
  const std::size_t w = Width(text);
  if (w < width) text.append(width - w, ' ');
  return text;
}

std::string Fixed(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

bool SquaresDiffer(const FigureScreen& a, const FigureScreen& b, StatRow row, int column) {
  const bool koA = a.ShowsKO(row, column), koB = b.ShowsKO(row, column);
  if (koA || koB) return koA != koB;
  return a.CaptionValue(row, column) != b.CaptionValue(row, column) ||
         a.ColourOf(row, column) != b.ColourOf(row, column);
}

std::string DifferenceText(double difference) {
  if (difference == 0 || std::isnan(difference)) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%+.2f", difference);
  if (std::string_view(text + 1) == "0.00") std::snprintf(text, sizeof text, "%+.2g", difference);
  return text;
}

Comparison CompareFigures(std::vector<ComparedFigure> figures) {
  Comparison c;
  c.figures = std::move(figures);
  const std::size_t n = c.figures.size();
  for (const ComparedFigure& f : c.figures) {
    CollectingCount sink;
    c.prices.push_back(CalculateFigure(f.figure, sink));
    c.problems.push_back(sink.count);
  }
  const auto field = [&](const char* name, auto text) {
    FieldLine line{name, {}, false};
    for (std::size_t i = 0; i < n; ++i) {
      line.values.push_back(text(i));
      line.differs |= line.values[i] != line.values[0];
    }
    c.fields.push_back(std::move(line));
  };
  const auto screen = [&](std::size_t i) -> const FigureScreen& { return c.figures[i].figure; };
  field("Points", [&](std::size_t i) {
    const Calculation& p = c.prices[i];
    return c.problems[i] > 0 || !p.points
               ? std::to_string(c.problems[i]) + (c.problems[i] == 1 ? " problem" : " problems")
               : std::to_string(*p.points);
  });
  field("Team", [&](std::size_t i) { return screen(i).teamText; });
  field("Movement", [&](std::size_t i) { return screen(i).moveText; });
  field("Range", [&](std::size_t i) { return screen(i).rangeText; });
  field("Bolts", [&](std::size_t i) {
    const auto& bolts = screen(i).bolts;
    return std::to_string(static_cast<int>(bolts[0]) + bolts[1] + bolts[2]);
  });
  field("Rank", [&](std::size_t i) { return RankOf(screen(i)); });
  field("Clicks", [&](std::size_t i) { return std::to_string(Clicks(screen(i))); });
  field("Powers used", [&](std::size_t i) { return PowersOf(screen(i)); });

  for (int line = 0; line < static_cast<int>(std::size(kBreakdownFields)); ++line) {
    BreakdownLine b{kBreakdownFields[line], {}, {}};
    for (std::size_t i = 0; i < n; ++i) {
      b.values.push_back(BreakdownValue(c.prices[i], line));
      const std::string mark = i == 0 ? std::string() : DifferenceText(b.values[i] - b.values[0]);
      b.marks.push_back(mark.empty() ? mark : b.field + " " + mark);
    }
    c.breakdown.push_back(std::move(b));
  }

  c.differs.assign(n, SquareMarks{});
  for (std::size_t i = 1; i < n; ++i) {
    for (StatRow row : kStatRows) {
      for (int column = 0; column < kColumnCount; ++column) {
        if (!SquaresDiffer(screen(0), screen(i), row, column)) continue;
        c.differs[i][static_cast<int>(row)][column] = true;
        c.differs[0][static_cast<int>(row)][column] = true;
      }
    }
  }
  return c;
}

std::string ComparisonText(const Comparison& c) {
  const std::size_t n = c.figures.size();
  std::vector<std::size_t> widths(n, 12);
  for (std::size_t i = 0; i < n; ++i) {
    widths[i] = std::max(widths[i], Width(c.figures[i].label));
    for (const FieldLine& line : c.fields) {
      if (line.field != std::string("Powers used"))
        widths[i] = std::max(widths[i], Width(line.values[i]) + 2);
    }
    for (const BreakdownLine& line : c.breakdown)
      widths[i] = std::max(widths[i], Width(Fixed(line.values[i])) + Width(line.marks[i]) + 3);
  }
  constexpr std::size_t kLabel = 16;
  std::string text = "Compared:";
  for (std::size_t i = 0; i < n; ++i)
    text += (i ? ", \"" : " \"") + c.figures[i].label + "\"";
  text += "\n\n" + Padded("", kLabel);
  for (std::size_t i = 0; i < n; ++i)
    text += Padded(c.figures[i].label, widths[i] + 2);
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  text += "\n";
  const auto finish = [&] {
    while (!text.empty() && text.back() == ' ')
      text.pop_back();
    text += "\n";
  };
  for (const FieldLine& line : c.fields) {
    if (line.field == std::string("Powers used")) continue;  // below each dial
    text += Padded(line.field, kLabel);
    for (std::size_t i = 0; i < n; ++i)
      text += Padded(line.values[i] + (i > 0 && line.values[i] != line.values[0] ? " *" : ""),
                     widths[i] + 2);
    finish();
  }
  text += "\nBreakdown\n";
  for (const BreakdownLine& line : c.breakdown) {
    text += Padded(line.field, kLabel);
    for (std::size_t i = 0; i < n; ++i) {
      std::string cell = Fixed(line.values[i]);
      if (!line.marks[i].empty()) cell += " (" + line.marks[i] + ")";
      text += Padded(cell, widths[i] + 2);
    }
    finish();
  }
  for (std::size_t i = 0; i < n; ++i) {
    const FigureScreen& figure = c.figures[i].figure;
    text += "\n\"" + c.figures[i].label + "\"" +
            (i == 0 ? std::string() : ", * where it differs from \"" + c.figures[0].label + "\"") +
            "\n" + Padded("", 8);
    for (int column = 0; column < kColumnCount; ++column)
      text += Padded(std::to_string(column + 1), 6);
    finish();
    for (StatRow row : kStatRows) {
      text += Padded(std::string(StatRowName(row)), 8);
      for (int column = 0; column < kColumnCount; ++column) {
        std::string cell = figure.ShowsKO(row, column)
                               ? std::string("KO")
                               : FormatGeneral(figure.CaptionValue(row, column));
        if (i > 0 && c.differs[i][static_cast<int>(row)][column]) cell += "*";
        text += Padded(cell, 6);
      }
      finish();
    }
    const std::string powers = c.fields.back().values[i];
    text += "Powers: " + (powers.empty() ? std::string("none") : powers) + "\n";
  }
  return text;
}

bool ReadComparedFigures(const std::string& path, const std::vector<NameEntry>& entries,
                         std::vector<ComparedFigure>& figures, std::string* why) {
  DataFile file;
  FileError error;
  const auto fail = [&](const std::string& text) {
    if (why) *why = text;
    return false;
  };
  if (!file.Open(path, false, &error)) return fail(error.description);
  FileLock lock = file.Lock(RecordFile::LockKind::Shared, kLockWait, &error);
  if (!lock) return fail(error.description);
  std::vector<ComparedFigure> read;
  for (const NameEntry& entry : entries) {
    FigureRecord record;
    bool listed = false;
    if (!file.ReadListed(entry, record, listed, &error)) return fail(error.description);
    if (!listed) {
      return fail("The figure \"" + entry.shown +
                  "\" is no longer where the list found it: the data file was changed by "
                  "another program.");
    }
    ComparedFigure& f = read.emplace_back();
    ShowRecordOnScreen(record, f.figure);
    f.label = ShownName(record);
    f.figure.name = f.label;
  }
  figures = std::move(read);
  return true;
}

}  // namespace zandorik
