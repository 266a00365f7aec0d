#include "reach/change.h"

#include <bit>
#include <cmath>

#include "model/numbers.h"

namespace zandorik {
namespace {

constexpr std::array<std::string_view, kChangeKindCount> kKindWords = {
    "values", "powers", "range", "bolts", "team", "movement", "rank", "length"};

constexpr int kLegalRanges[] = {0, 2, 4, 6, 8, 10, 12, 14};

std::string PowerText(StatRow row, double code) {
  const int colour = ColourPositionFromCode(code);
  if (colour < 0) return "colour code " + FormatGeneral(code);
  return std::string(PowerName(row, colour));
}

std::string ListEntry(ChangeKind kind, double position) {
  const int i = static_cast<int>(position);
  if (i < 0) return "(none)";
  switch (kind) {
    case ChangeKind::Team:
      return std::string(kTeams[i].name);
    case ChangeKind::Movement:
      return std::string(kMovements[i]);
    default:
      return std::string(kRanks[i].caption);
  }
}

bool Blank(const DialSquare& square) {
  return square.ko && square.caption.empty() && square.background == kWhiteCode;
}

// A number as a caption shows it, read back: what the formula reads of it.
double AsShown(double value) {
  return ValueOfText(FormatGeneral(value));
}

}  // namespace

ChangeKinds ChangeKinds::Default() {
  ChangeKinds kinds;
  kinds.Allow(ChangeKind::Value);
  kinds.Allow(ChangeKind::Range);
  kinds.Allow(ChangeKind::Bolts);
  return kinds;
}

void ChangeKinds::Allow(ChangeKind kind, bool allowed) {
  const auto bit = static_cast<std::uint8_t>(1u << static_cast<int>(kind));
  bits_ = static_cast<std::uint8_t>(allowed ? bits_ | bit : bits_ & ~bit);
}

std::string_view ChangeKindWord(ChangeKind kind) {
  return kKindWords[static_cast<int>(kind)];
}

bool ParseChangeKinds(std::string_view list, ChangeKinds& kinds, std::string* error) {
  kinds = ChangeKinds();
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view word = list.substr(0, comma);
    int found = -1;
    for (int k = 0; k < kChangeKindCount; ++k) {
      if (kKindWords[k] == word) found = k;
    }
    if (found < 0) {
      if (error) {
        *error = word.empty() ? std::string("an empty kind of change")
                              : "unknown kind of change \"" + std::string(word) + "\"";
      }
      return false;
    }
    kinds.Allow(static_cast<ChangeKind>(found));
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

double Change::Size() const {
  switch (kind) {
    case ChangeKind::Value:
    case ChangeKind::Bolts:
    case ChangeKind::Length:
      return std::fabs(to - from);
    case ChangeKind::Range:
      return std::fabs(to - from) / 2;
    default:
      return 1;
  }
}

std::string Change::What() const {
  switch (kind) {
    case ChangeKind::Value:
    case ChangeKind::Power:
      return std::string(StatRowName(row)) + " click " + std::to_string(column + 1);
    case ChangeKind::Range:
      return "Range";
    case ChangeKind::Bolts:
      return "Bolts";
    case ChangeKind::Team:
      return "Team";
    case ChangeKind::Movement:
      return "Move";
    case ChangeKind::Rank:
      return "Rank";
    case ChangeKind::Length:
      return "Dial length";
  }
  return {};
}

std::string Change::Shown(double end) const {
  switch (kind) {
    case ChangeKind::Power:
      return PowerText(row, end);
    case ChangeKind::Team:
    case ChangeKind::Movement:
    case ChangeKind::Rank:
      return ListEntry(kind, end);
    default:
      return FormatGeneral(end);
  }
}

std::string Change::Text() const {
  return What() + ": " + FromText() + " -> " + ToText() +
         (kind == ChangeKind::Length ? " clicks" : "");
}

int Change::Field() const {
  const int square = static_cast<int>(row) * kColumnCount + column;
  switch (kind) {
    case ChangeKind::Value:
      return square;
    case ChangeKind::Power:
      return kStatRowCount * kColumnCount + square;
    default:
      return 2 * kStatRowCount * kColumnCount + static_cast<int>(kind);
  }
}

std::string ChangesText(const std::vector<Change>& changes) {
  std::string text;
  for (const Change& change : changes)
    text += (text.empty() ? "" : "; ") + change.Text();
  return text;
}

bool MayCombine(const Change& a, const Change& b) {
  const auto clash = [](const Change& length, const Change& other) {
    return length.kind == ChangeKind::Length &&
           (other.kind == ChangeKind::Value || other.kind == ChangeKind::Power) &&
           ((length.columns >> other.column) & 1) != 0;
  };
  return a.Field() != b.Field() && !clash(a, b) && !clash(b, a);
}

void SetTickedBolts(std::array<bool, 3>& bolts, int count) {
  int ticked = 0;
  for (bool bolt : bolts)
    ticked += bolt ? 1 : 0;
  for (int k = 0; k < 3 && ticked < count; ++k) {
    if (!bolts[k]) bolts[k] = true, ++ticked;
  }
  for (int k = 2; k >= 0 && ticked > count; --k) {
    if (bolts[k]) bolts[k] = false, --ticked;
  }
}

void ApplyChange(FigureScreen& figure, const Change& change) {
  const int to = static_cast<int>(change.to);
  switch (change.kind) {
    case ChangeKind::Value:
      figure.Square(change.row, change.column).caption = FormatGeneral(change.to);
      break;
    case ChangeKind::Power:
      figure.Square(change.row, change.column).background = change.to;
      break;
    case ChangeKind::Range:
      figure.rangeText = FormatGeneral(change.to);
      break;
    case ChangeKind::Bolts:
      SetTickedBolts(figure.bolts, to);
      break;
    case ChangeKind::Team:
      figure.teamText = kTeams[to].name;
      break;
    case ChangeKind::Movement:
      figure.moveText = kMovements[to];
      break;
    case ChangeKind::Rank:
      for (int i = 0; i < static_cast<int>(kRanks.size()); ++i)
        figure.rankSelected[i] = i == to;
      break;
    case ChangeKind::Length:
      for (int column = 0; column < kColumnCount; ++column) {
        for (StatRow row : kStatRows) {
          DialSquare& square = figure.Square(row, column);
          if (column < to && square.ko) {
            square.ko = false;
            square.caption = FormatGeneral(change.fill[static_cast<int>(row)]);
            square.background = kWhiteCode;
          } else if (column >= to && !Blank(square)) {
            square = DialSquare{"", kWhiteCode, true};
          }
        }
      }
      break;
  }
}

int ChosenRank(const FigureScreen& figure) {
  int chosen = -1;
  for (int i = 0; i < static_cast<int>(kRanks.size()); ++i) {
    if (figure.rankSelected[i]) chosen = i;
  }
  return chosen;
}

int LiveClicks(const FigureScreen& figure) {
  int live = 0;
  for (int column = 0; column < kColumnCount; ++column)
    live += figure.Square(StatRow::Speed, column).IsKO() ? 0 : 1;
  return live;
}

std::vector<Change> OfferedChanges(const FigureScreen& figure, ChangeKinds kinds,
                                   const ValueCeilings& ceilings) {
  std::vector<Change> offered;
  const auto offer = [&](ChangeKind kind, double from, double to) {
    Change change;
    change.kind = kind;
    change.from = from;
    change.to = to;
    offered.push_back(change);
    return &offered.back();
  };
  for (const ChangeKind kind : {ChangeKind::Value, ChangeKind::Power}) {
    if (!kinds.Allows(kind)) continue;
    for (StatRow row : kStatRows) {
      for (int column = 0; column < kColumnCount; ++column) {
        const DialSquare& square = figure.Square(row, column);
        if (square.IsKO()) continue;
        const auto place = [&](Change* change) {
          change->row = row;
          change->column = static_cast<std::int8_t>(column);
        };
        if (kind == ChangeKind::Value) {
          const double now = figure.CaptionValue(row, column);
          for (int v = 0; v <= ceilings[static_cast<int>(row)]; ++v) {
            if (v != now) place(offer(kind, now, v));
          }
        } else {
          // White, then the ten powers: KO is a length change.
          for (int colour = 1; colour < kColourCount; ++colour) {
            if (kColours[colour].code != square.background)
              place(offer(kind, square.background, kColours[colour].code));
          }
        }
      }
    }
  }
  if (kinds.Allows(ChangeKind::Range)) {
    const double now = figure.RangeValue();
    for (int range : kLegalRanges) {
      if (range != now) offer(ChangeKind::Range, now, range);
    }
  }
  if (kinds.Allows(ChangeKind::Bolts)) {
    int ticked = 0;
    for (bool bolt : figure.bolts)
      ticked += bolt ? 1 : 0;
    for (int count = 0; count <= 3; ++count) {
      if (count != ticked) offer(ChangeKind::Bolts, ticked, count);
    }
  }
  if (kinds.Allows(ChangeKind::Team)) {
    const int now = TeamPosition(figure.teamText);
    for (int i = 0; i < static_cast<int>(kTeams.size()); ++i) {
      if (i != now) offer(ChangeKind::Team, now, i);
    }
  }
  if (kinds.Allows(ChangeKind::Movement)) {
    const int now = MovementPosition(figure.moveText);
    for (int i = 0; i < static_cast<int>(kMovements.size()); ++i) {
      if (i != now) offer(ChangeKind::Movement, now, i);
    }
  }
  if (kinds.Allows(ChangeKind::Rank)) {
    const int now = ChosenRank(figure);
    for (int i = 0; i < static_cast<int>(kRanks.size()); ++i) {
      if (i != now) offer(ChangeKind::Rank, now, i);
    }
  }
  if (kinds.Allows(ChangeKind::Length)) {
    const int live = LiveClicks(figure);
    std::array<double, kStatRowCount> fill{};
    for (StatRow row : kStatRows) {
      for (int column = 0; column < kColumnCount; ++column) {
        if (!figure.Square(row, column).IsKO())
          fill[static_cast<int>(row)] = AsShown(figure.CaptionValue(row, column));
      }
    }
    for (int clicks = 1; clicks <= kColumnCount; ++clicks) {
      if (clicks == live) continue;
      Change* change = offer(ChangeKind::Length, live, clicks);
      change->fill = fill;
      for (int column = 0; column < kColumnCount; ++column) {
        for (StatRow row : kStatRows) {
          const DialSquare& square = figure.Square(row, column);
          if (column < clicks ? square.ko : !Blank(square))
            change->columns = static_cast<std::uint16_t>(change->columns | (1u << column));
        }
      }
    }
  }
  return offered;
}

bool SameFigure(const FigureScreen& a, const FigureScreen& b) {
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const DialSquare& p = a.Square(row, column);
      const DialSquare& q = b.Square(row, column);
      if (p.caption != q.caption || p.ko != q.ko ||
          std::bit_cast<std::uint64_t>(p.background) != std::bit_cast<std::uint64_t>(q.background))
        return false;
    }
  }
  return a.name == b.name && a.moveText == b.moveText && a.teamText == b.teamText &&
         a.rangeText == b.rangeText && a.bolts == b.bolts && a.rankSelected == b.rankSelected;
}

}  // namespace zandorik
