// The figure library: every stored figure of a data file as one row of
// facts (its price, fields, dial length, powers and stats), listed, sorted
// and filtered alike by the Figures window and `zandorik list`.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/figure_view.h"
#include "store/data_file.h"

namespace zandorik {

// The columns, in the order the window and the command show them.
enum class LibraryColumn {
  Name,
  Points,
  Team,
  Movement,
  Range,
  Bolts,
  Rank,
  Clicks,
  Powers,
  Record
};
inline constexpr int kLibraryColumnCount = 10;
inline constexpr std::array<LibraryColumn, kLibraryColumnCount> kLibraryColumns = {
    LibraryColumn::Name,   LibraryColumn::Points, LibraryColumn::Team, LibraryColumn::Movement,
    LibraryColumn::Range,  LibraryColumn::Bolts,  LibraryColumn::Rank, LibraryColumn::Clicks,
    LibraryColumn::Powers, LibraryColumn::Record};

// "Name", "Points", ..., "Powers used", "Record".
std::string_view ColumnTitle(LibraryColumn column);
// The column of a key of `zandorik list --sort`: its title's first word,
// letter case aside ("points", "Powers").
std::optional<LibraryColumn> ColumnFromKey(std::string_view key);

// The four stat rows' values over the eleven clicks, row by row; a KO
// square counts 0.
using DialStats = std::array<std::int16_t, kStatRowCount * kColumnCount>;

struct LibraryFigure {
  std::int64_t record = 0;                    // record number, from 1
  std::array<char, kNameLength> stored = {};  // the 30 stored bytes
  std::string name;                           // as shown: UTF-8, without the padding
  std::string folded;                         // the name with A-Z as a-z, for the filter
  std::optional<std::int32_t> points;         // as Calculate gives them
  double total = 0;
  int problems = 0;  // the messages Calculate would show: refused when any
  // The record's list positions (any number in a damaged record).
  std::int16_t move = 0, team = 0, rank = 0, range = 0;
  std::uint8_t bolts = 0;   // boxes checked
  std::uint8_t clicks = 0;  // dial length: Speed squares not KO
  // Bit row * 12 + colour for each power on the dial (not None, not KO).
  std::uint64_t powers = 0;
  DialStats stats = {};

  bool Refused() const { return problems > 0; }
  // The name list's entry of the figure, for loading it as a pick does.
  NameEntry Entry() const;
};

// One stored figure's row.
LibraryFigure MakeLibraryFigure(std::int64_t record, const FigureRecord& figure);
// The stats of any figure, as the library keeps them.
DialStats StatsOf(const FigureView& figure);

// Every stored figure of `file`, in record order; the caller holds its
// shared lock.
bool ReadLibrary(const DataFile& file, std::vector<LibraryFigure>& figures, FileError* error);

// A cell as the window and the list show it: "3 problems" in place of the
// points of a refused figure, the team and movement as their lists name
// them ("" outside the lists), the powers used in dial order.
std::string CellText(const LibraryFigure& figure, LibraryColumn column);
std::string PowersText(std::uint64_t powers);
std::string ProblemsText(int problems);

// Below zero when `a` comes before `b` in the column's rising order: names
// and texts alphabetically (A-Z as a-z), refused figures after every
// price, powers by how many, the rank in its list's order; equal rows by
// record number.
int CompareFigures(const LibraryFigure& a, const LibraryFigure& b, LibraryColumn column);
// The rows' indexes in the column's order, falling with `descending`;
// equal rows in record order either way.
std::vector<std::size_t> SortedOrder(const std::vector<LibraryFigure>& figures,
                                     LibraryColumn column, bool descending);

// What a row must match to be listed. The text is looked for in the name,
// the team and the powers' names, A-Z as a-z; a points range leaves out
// refused figures.
struct LibraryFilter {
  std::string text;
  int team = -1;  // a position of kTeams; -1 for any
  int rank = -1;  // a position of kRanks; -1 for any
  std::optional<std::int32_t> minPoints, maxPoints;
  bool operator==(const LibraryFilter&) const = default;
};

// The filter made ready for many rows: the teams and powers whose names
// hold the text are found once.
class FilterMatcher {
 public:
  explicit FilterMatcher(const LibraryFilter& filter);
  bool operator()(const LibraryFigure& figure) const;
  bool Any() const { return any_; }

 private:
  LibraryFilter filter_;
  std::string needle_;
  std::uint64_t powers_ = 0;  // powers whose names hold the text
  std::uint32_t teams_ = 0;   // teams whose names hold the text
  bool any_ = false;          // no condition at all
};

// A file's identity and state: a change by any program shows in it.
struct FileStamp {
  std::uint64_t device = 0, inode = 0;
  std::int64_t size = -1, modified = 0;  // modified: nanoseconds since the epoch
  bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at `path`; size -1 when it cannot be had.
FileStamp StampOf(const std::string& path);

// A data file's figures read whole: opened, read under the shared lock
// (waiting up to `wait`), closed. False with the message when it cannot be
// read; a file that is not whole is read as far as it is, `notice` saying
// so.
bool LoadLibrary(const std::string& path, std::chrono::milliseconds wait,
                 std::vector<LibraryFigure>& figures, FileStamp& stamp, std::string* why,
                 std::string* notice);

}  // namespace zandorik
