// A team: stored figures brought to a game under a points cap agreed for
// it. Each entry holds the whole figure (so that a team is complete in
// itself), where it came from and how many of it are fielded. The team
// file is described in docs/team-format.md.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/figure_record.h"

namespace zandorik {

inline constexpr std::int64_t kDefaultTeamCap = 300;
inline constexpr std::int64_t kMaxTeamCap = 1000000;
inline constexpr int kMaxEntryCount = 99;

// Where an entry's figure came from: a data file and the name it is
// stored under there.
struct TeamSource {
  std::string file;  // the data file's path
  std::string name;  // the stored name without its padding, as UTF-8
  bool operator==(const TeamSource&) const = default;
};

// What the figure costs, as Calculate prices it.
struct EntryPrice {
  std::optional<std::int32_t> points;  // none when the total is no whole number
  std::vector<std::string> problems;   // the messages Calculate would show
};
EntryPrice PriceFigure(const FigureRecord& figure);

struct TeamFigure {
  FigureRecord figure;               // Deleted 0
  std::optional<TeamSource> source;  // none for a figure never stored
  int count = 1;                     // 1 to kMaxEntryCount
  EntryPrice price;                  // of `figure`, kept with it

  // The entry for a figure, priced.
  static TeamFigure Of(const FigureRecord& figure, std::optional<TeamSource> source, int count);
  // Points times count; nothing when the figure has no points.
  std::optional<std::int64_t> Subtotal() const;
};

struct Team {
  std::string name;
  std::int64_t cap = kDefaultTeamCap;
  std::vector<TeamFigure> entries;
};

// The same team: name, cap, and entries with the same bytes, source and
// count, in the same order.
bool SameTeam(const Team& a, const Team& b);

// The team's total against its cap.
struct TeamTotal {
  std::int64_t points = 0;  // of the entries that have points
  std::int64_t cap = 0;
  bool complete = true;  // every entry priced, without a problem
  bool Over() const { return points > cap; }
  // What `zandorik team show` accepts: complete and not over the cap.
  bool WithinCap() const { return complete && !Over(); }
};
TeamTotal TotalOf(const Team& team);
// "287 / 300 points".
std::string TotalText(const TeamTotal& total);

// Adds `count` of a figure: to the entry holding the same figure from the
// same source, else as a new entry at the end. False, with the reason,
// when that entry would hold more than kMaxEntryCount.
bool AddToTeam(Team& team, const FigureRecord& figure, const std::optional<TeamSource>& source,
               int count, std::string* why);

// Reads the figure stored under exactly `name` (trailing blanks aside);
// `found` false when the file holds none. The lock is the caller's.
bool ReadStoredFigure(const DataFile& file, const std::string& name, FigureRecord& figure,
                      bool& found, FileError* error);

// The team file and every data file its figures came from, each once (a
// relative source taken from the folder of `teamPath`): what an output
// made of the team must never replace.
std::vector<std::string> TeamFiles(const Team& team, const std::string& teamPath);

// How an entry stands against its data file.
enum class SourceState {
  None,        // the figure was never stored: nothing to compare
  Same,        // stored as it is in the team
  Changed,     // stored, and changed since it was added
  NotStored,   // the data file holds no figure of that name now
  Unreadable,  // the data file cannot be read, or is in use
};
struct SourceCheck {
  SourceState state = SourceState::None;
  FigureRecord stored;  // the stored figure, when Same or Changed
  std::string why;      // for Unreadable: what is wrong
};

// Looks up every entry's figure in its data file, each file opened once
// and read under its shared lock (waiting up to `wait` for it). A relative
// path is taken from the folder of `teamPath`.
std::vector<SourceCheck> CheckSources(const Team& team, const std::string& teamPath,
                                      std::chrono::milliseconds wait);

// Takes the stored figure for every Changed entry (its count and source
// stay); entries that came to hold the same figure from the same source
// are not merged. Returns the names of the entries refreshed.
std::vector<std::string> TakeStoredFigures(Team& team, const std::vector<SourceCheck>& checks);

}  // namespace zandorik
