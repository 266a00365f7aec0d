#include "library/figure_library.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numeric>

#include "cost/calculations.h"
#include "model/lists.h"
#include "store/cp1252.h"
#include "store/figure_text.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

constexpr std::array<std::string_view, kLibraryColumnCount> kTitles = {
    "Name",  "Points", "Team",   "Movement",    "Range",
    "Bolts", "Rank",   "Clicks", "Powers used", "Record"};

class CountingSink : public MessageSink {
 public:
  void Message(const std::string&) override { ++count; }
  int count = 0;
};

char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view text) {
  std::string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), Fold);
  return folded;
}

int FoldedCompare(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Fold(a[i]));
    const auto y = static_cast<unsigned char>(Fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename List>
std::string_view ListText(std::int16_t index, const List& list) {
  if (index < 0 || index >= static_cast<int>(list.size())) return {};
  if constexpr (std::is_same_v<typename List::value_type, std::string_view>) {
    return list[static_cast<std::size_t>(index)];
  } else {
    return list[static_cast<std::size_t>(index)].name;
  }
}

std::string_view TeamText(std::int16_t index) {
  return ListText(index, kTeams);
}
std::string_view MoveText(std::int16_t index) {
  return ListText(index, kMovements);
}
std::string_view RankText(std::int16_t index) {
  return index >= 0 && index < static_cast<int>(kRanks.size())
             ? kRanks[static_cast<std::size_t>(index)].caption
             : std::string_view();
}

int Sign(auto a, auto b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

std::string_view ColumnTitle(LibraryColumn column) {
  return kTitles[static_cast<std::size_t>(column)];
}

std::optional<LibraryColumn> ColumnFromKey(std::string_view key) {
  for (LibraryColumn column : kLibraryColumns) {
    std::string_view word = ColumnTitle(column);
    word = word.substr(0, word.find(' '));
    if (FoldedCompare(word, key) == 0) return column;
  }
  return std::nullopt;
}

NameEntry LibraryFigure::Entry() const {
  NameEntry entry;
  entry.shown = name;
  entry.record = record;
  entry.stored = stored;
  return entry;
}

DialStats StatsOf(const FigureView& figure) {
  DialStats stats{};
  FigureView::Dial scratch;
  const FigureView::Dial& dial = figure.DialOf(scratch);
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      const double value = std::isnan(dial.value[row][column]) ? 0 : dial.value[row][column];
      stats[static_cast<std::size_t>(row * kColumnCount + column)] =
          static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
    }
  }
  return stats;
}

LibraryFigure MakeLibraryFigure(std::int64_t record, const FigureRecord& figure) {
  LibraryFigure row;
  row.record = record;
  const std::string bytes = EncodeCp1252(FitName(figure.Name));
  std::copy_n(bytes.begin(), std::min(bytes.size(), kNameLength), row.stored.begin());
  row.name = ShownName(figure);
  row.folded = Folded(row.name);
  const RecordFigure view(figure);
  CountingSink sink;
  const Calculation calc = CalculateFigure(view, sink);
  row.points = calc.points;
  row.total = calc.total;
  row.problems = sink.count;
  row.move = figure.MoveIndex;
  row.team = figure.TeamIndex;
  row.rank = figure.RankIndex;
  row.range = figure.Range;
  for (int k = 0; k < 3; ++k)
    row.bolts += view.BoltChecked(k) ? 1 : 0;
  for (int column = 0; column < kColumnCount; ++column)
    row.clicks += view.ShowsKO(StatRow::Speed, column) ? 0 : 1;
  for (StatRow r : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const int colour = view.ColourOf(r, column);
      // White (1) is no power; a KO square reads White.
      if (colour > 1)
        row.powers |= std::uint64_t{1} << (static_cast<int>(r) * kColourCount + colour);
    }
  }
  row.stats = StatsOf(view);
  return row;
}

bool ReadLibrary(const DataFile& file, std::vector<LibraryFigure>& figures, FileError* error) {
  std::vector<LibraryFigure> read;
  const bool ok = file.EachFigure(
      [&](std::int64_t n, const FigureRecord& record) {
        read.push_back(MakeLibraryFigure(n, record));
        return true;
      },
      error);
  if (ok) figures = std::move(read);
  return ok;
}

std::string ProblemsText(int problems) {
  return std::to_string(problems) + (problems == 1 ? " problem" : " problems");
}

std::string PowersText(std::uint64_t powers) {
  std::string text;
  for (StatRow row : kStatRows) {
    for (int colour = 2; colour < kColourCount; ++colour) {
      if (!(powers >> (static_cast<int>(row) * kColourCount + colour) & 1)) continue;
      if (!text.empty()) text += ", ";
      text += PowerName(row, colour);
    }
  }
  return text;
}

std::string CellText(const LibraryFigure& figure, LibraryColumn column) {
  switch (column) {
    case LibraryColumn::Name:
      return figure.name;
    case LibraryColumn::Points:
      if (figure.Refused() || !figure.points) return ProblemsText(figure.problems);
      return std::to_string(*figure.points);
    case LibraryColumn::Team:
      return std::string(TeamText(figure.team));
    case LibraryColumn::Movement:
      return std::string(MoveText(figure.move));
    case LibraryColumn::Range:
      return std::to_string(figure.range);
    case LibraryColumn::Bolts:
      return std::to_string(figure.bolts);
    case LibraryColumn::Rank:
      return std::string(RankText(figure.rank));
    case LibraryColumn::Clicks:
      return std::to_string(figure.clicks);
    case LibraryColumn::Powers:
      return PowersText(figure.powers);
    case LibraryColumn::Record:
      return std::to_string(figure.record);
  }
  return {};
}

namespace {

// The column's order alone, equal rows 0.
int CompareKeys(const LibraryFigure& a, const LibraryFigure& b, LibraryColumn column) {
  int order = 0;
  switch (column) {
    case LibraryColumn::Name:
      order = Sign(a.folded, b.folded);
      if (order == 0) order = Sign(a.name, b.name);
      break;
    case LibraryColumn::Points: {
      const bool refusedA = a.Refused() || !a.points, refusedB = b.Refused() || !b.points;
      order = refusedA != refusedB ? (refusedA ? 1 : -1)
              : refusedA           ? Sign(a.problems, b.problems)
                                   : Sign(*a.points, *b.points);
      break;
    }
    case LibraryColumn::Team:
      order = FoldedCompare(TeamText(a.team), TeamText(b.team));
      break;
    case LibraryColumn::Movement:
      order = FoldedCompare(MoveText(a.move), MoveText(b.move));
      break;
    case LibraryColumn::Range:
      order = Sign(a.range, b.range);
      break;
    case LibraryColumn::Bolts:
      order = Sign(a.bolts, b.bolts);
      break;
    case LibraryColumn::Rank: {
      // The list's order; positions outside it last.
      const auto key = [](std::int16_t rank) {
        return rank >= 0 && rank < static_cast<int>(kRanks.size()) ? rank : 1000 + rank;
      };
      order = Sign(key(a.rank), key(b.rank));
      break;
    }
    case LibraryColumn::Clicks:
      order = Sign(a.clicks, b.clicks);
      break;
    case LibraryColumn::Powers:
      order = Sign(std::popcount(a.powers), std::popcount(b.powers));
      break;
    case LibraryColumn::Record:
      order = Sign(a.record, b.record);
      break;
  }
  return order;
}

}  // namespace

int CompareFigures(const LibraryFigure& a, const LibraryFigure& b, LibraryColumn column) {
  const int order = CompareKeys(a, b, column);
  return order != 0 ? order : Sign(a.record, b.record);
}

std::vector<std::size_t> SortedOrder(const std::vector<LibraryFigure>& figures,
                                     LibraryColumn column, bool descending) {
  std::vector<std::size_t> order(figures.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = CompareKeys(figures[a], figures[b], column);
    return c != 0 ? (descending ? c > 0 : c < 0) : figures[a].record < figures[b].record;
  });
  return order;
}

FilterMatcher::FilterMatcher(const LibraryFilter& filter)
    : filter_(filter), needle_(Folded(filter.text)) {
  any_ = needle_.empty() && filter.team < 0 && filter.rank < 0 && !filter.minPoints &&
         !filter.maxPoints;
  if (needle_.empty()) return;
  for (StatRow row : kStatRows) {
    for (int colour = 2; colour < kColourCount; ++colour) {
      if (Folded(PowerName(row, colour)).find(needle_) != std::string::npos)
        powers_ |= std::uint64_t{1} << (static_cast<int>(row) * kColourCount + colour);
    }
  }
  for (std::size_t t = 0; t < kTeams.size(); ++t) {
    if (Folded(kTeams[t].name).find(needle_) != std::string::npos) teams_ |= 1u << t;
  }
}

bool FilterMatcher::operator()(const LibraryFigure& figure) const {
  if (any_) return true;
  if (filter_.team >= 0 && figure.team != filter_.team) return false;
  if (filter_.rank >= 0 && figure.rank != filter_.rank) return false;
  if (filter_.minPoints || filter_.maxPoints) {
    if (figure.Refused() || !figure.points) return false;
    if (filter_.minPoints && *figure.points < *filter_.minPoints) return false;
    if (filter_.maxPoints && *figure.points > *filter_.maxPoints) return false;
  }
  if (needle_.empty()) return true;
  if (figure.powers & powers_) return true;
  if (figure.team >= 0 && figure.team < static_cast<int>(kTeams.size()) &&
      (teams_ >> figure.team & 1)) {
    return true;
  }
  return figure.folded.find(needle_) != std::string::npos;
}

FileStamp StampOf(const std::string& path) {
  struct stat there {};
  FileStamp stamp;
  if (::stat(path.c_str(), &there) != 0) return stamp;
  stamp.device = there.st_dev;
  stamp.inode = there.st_ino;
  stamp.size = there.st_size;
  stamp.modified =
      static_cast<std::int64_t>(there.st_mtim.tv_sec) * 1000000000 + there.st_mtim.tv_nsec;
  return stamp;
}

bool LoadLibrary(const std::string& path, std::chrono::milliseconds wait,
                 std::vector<LibraryFigure>& figures, FileStamp& stamp, std::string* why,
                 std::string* notice) {
  const auto fail = [&](const std::string& text) {
    if (why) *why = text;
    return false;
  };
  DataFile file;
  FileError error;
  const auto unreadable = [&] {
    return fail(error.number == kErrorNotDataFile || error.number == kErrorInUse
                    ? error.description
                    : path + ": " + error.description);
  };
  if (!file.Open(path, false, &error)) return unreadable();
  FileLock lock = file.Lock(RecordFile::LockKind::Shared, wait, &error);
  if (!lock) return unreadable();
  // Stamped before the read: a change made after it is seen next time.
  stamp = StampOf(path);
  if (!ReadLibrary(file, figures, &error)) return unreadable();
  std::string damage;
  if (notice) notice->clear();
  if (!file.IsWhole(&damage) && notice) *notice = damage;
  return true;
}

}  // namespace zandorik
