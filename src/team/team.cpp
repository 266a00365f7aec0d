#include "team/team.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "cost/calculations.h"
#include "store/cp1252.h"
#include "store/figure_text.h"
#include "store/record_view.h"

namespace zandorik {

EntryPrice PriceFigure(const FigureRecord& figure) {
  EntryPrice price;
  const RecordFigure view(figure);
  DescribeRecordDamage(figure, price.problems);
  CollectingSink sink;
  price.points = CalculateFigure(view, sink).points;
  price.problems.insert(price.problems.end(), sink.messages.begin(), sink.messages.end());
  return price;
}

TeamFigure TeamFigure::Of(const FigureRecord& figure, std::optional<TeamSource> source, int count) {
  TeamFigure entry{figure, std::move(source), count, PriceFigure(figure)};
  entry.figure.Deleted = 0;
  return entry;
}

std::optional<std::int64_t> TeamFigure::Subtotal() const {
  if (!price.points) return std::nullopt;
  return std::int64_t{*price.points} * count;
}

namespace {

bool SameEntry(const TeamFigure& a, const TeamFigure& b) {
  return a.count == b.count && a.source == b.source &&
         EncodeRecord(a.figure) == EncodeRecord(b.figure);
}

}  // namespace

bool SameTeam(const Team& a, const Team& b) {
  if (a.name != b.name || a.cap != b.cap || a.entries.size() != b.entries.size()) return false;
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    if (!SameEntry(a.entries[i], b.entries[i])) return false;
  }
  return true;
}

TeamTotal TotalOf(const Team& team) {
  TeamTotal total;
  total.cap = team.cap;
  for (const TeamFigure& entry : team.entries) {
    if (const auto subtotal = entry.Subtotal()) total.points += *subtotal;
    total.complete = total.complete && entry.price.points && entry.price.problems.empty();
  }
  return total;
}

std::string TotalText(const TeamTotal& total) {
  return std::to_string(total.points) + " / " + std::to_string(total.cap) + " points";
}

bool AddToTeam(Team& team, const FigureRecord& figure, const std::optional<TeamSource>& source,
               int count, std::string* why) {
  const RecordBytes bytes = EncodeRecord(figure);
  for (TeamFigure& entry : team.entries) {
    if (entry.source != source || EncodeRecord(entry.figure) != bytes) continue;
    if (entry.count + count > kMaxEntryCount) {
      if (why) {
        *why = "The team holds " + std::to_string(entry.count) + " of \"" +
               ShownName(entry.figure) + "\" already; an entry holds at most " +
               std::to_string(kMaxEntryCount) + ".";
      }
      return false;
    }
    entry.count += count;
    return true;
  }
  team.entries.push_back(TeamFigure::Of(figure, source, count));
  return true;
}

bool ReadStoredFigure(const DataFile& file, const std::string& name, FigureRecord& figure,
                      bool& found, FileError* error) {
  found = false;
  // A name a record cannot hold is stored nowhere: it must not match the
  // record its cut or "?"-filled form would name.
  const std::optional<std::string> bytes = EncodeCp1252Exactly(name);
  if (!bytes || bytes->size() > kNameLength) return true;
  DataFile::Found place;
  if (!file.FindRecordByName(name, place, error)) return false;
  if (!place.stored) return true;
  if (!file.Read(place.number, figure, error)) return false;
  found = true;
  return true;
}

namespace {

std::filesystem::path SourcePath(const TeamSource& source, const std::string& teamPath) {
  std::filesystem::path path(source.file);
  if (path.is_relative() && !teamPath.empty())
    path = std::filesystem::path(teamPath).parent_path() / path;
  return path;
}

}  // namespace

std::vector<std::string> TeamFiles(const Team& team, const std::string& teamPath) {
  std::vector<std::string> files;
  if (!teamPath.empty()) files.push_back(teamPath);
  for (const TeamFigure& entry : team.entries) {
    if (!entry.source) continue;
    const std::string path = SourcePath(*entry.source, teamPath).string();
    if (std::find(files.begin(), files.end(), path) == files.end()) files.push_back(path);
  }
  return files;
}

std::vector<SourceCheck> CheckSources(const Team& team, const std::string& teamPath,
                                      std::chrono::milliseconds wait) {
  std::vector<SourceCheck> checks(team.entries.size());
  struct Opened {
    DataFile file;
    std::unique_ptr<FileLock> lock;
    std::string why;  // empty when it could be read
  };
  std::map<std::string, Opened> files;
  for (std::size_t i = 0; i < team.entries.size(); ++i) {
    const TeamFigure& entry = team.entries[i];
    SourceCheck& check = checks[i];
    if (!entry.source) continue;
    const std::filesystem::path path = SourcePath(*entry.source, teamPath);
    auto [at, added] = files.try_emplace(path.string());
    Opened& opened = at->second;
    FileError error;
    if (added) {
      if (!std::filesystem::is_regular_file(path)) {
        opened.why = path.string() + " is not there";
      } else if (!opened.file.Open(path.string(), false, &error)) {
        opened.why = path.string() + ": " + error.description;
      } else {
        opened.lock.reset(
            new FileLock(opened.file.Lock(RecordFile::LockKind::Shared, wait, &error)));
        if (!*opened.lock) {
          opened.why = error.number == kErrorInUse ? path.string() + " is in use by another program"
                                                   : path.string() + ": " + error.description;
        }
      }
    }
    check.why = opened.why;
    if (!check.why.empty()) {
      check.state = SourceState::Unreadable;
      continue;
    }
    bool found = false;
    if (!ReadStoredFigure(opened.file, entry.source->name, check.stored, found, &error)) {
      check.state = SourceState::Unreadable;
      check.why = path.string() + ": " + error.description;
    } else if (!found) {
      check.state = SourceState::NotStored;
    } else {
      check.stored.Deleted = 0;
      check.state = EncodeRecord(check.stored) == EncodeRecord(entry.figure) ? SourceState::Same
                                                                             : SourceState::Changed;
    }
  }
  return checks;
}

std::vector<std::string> TakeStoredFigures(Team& team, const std::vector<SourceCheck>& checks) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < team.entries.size() && i < checks.size(); ++i) {
    if (checks[i].state != SourceState::Changed) continue;
    TeamFigure& entry = team.entries[i];
    entry = TeamFigure::Of(checks[i].stored, entry.source, entry.count);
    names.push_back(ShownName(entry.figure));
  }
  return names;
}

}  // namespace zandorik
