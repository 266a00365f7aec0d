#include "team/team_commands.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "editor/file_commands.h"
#include "store/figure_text.h"
#include "team/team_file.h"

namespace zandorik {
namespace {

// A message box lists at most this many problems.
constexpr std::size_t kProblemsShown = 10;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// A data file opened and read under its shared lock; `problem` says why
// not.
struct ReadingFile {
  DataFile file;
  std::unique_ptr<FileLock> lock;
  std::string problem;

  ReadingFile(const std::string& path, std::chrono::milliseconds wait) {
    FileError error;
    if (!file.Open(path, false, &error)) {
      problem = error.description;
      return;
    }
    lock.reset(new FileLock(file.Lock(RecordFile::LockKind::Shared, wait, &error)));
    if (!*lock) {
      problem = error.number == kErrorInUse
                    ? "The data file " + path + " is in use by another program."
                    : error.description;
    }
  }
};

}  // namespace

void TeamCommands::SetCap(std::int64_t cap) {
  team_.cap = std::clamp<std::int64_t>(cap, 1, kMaxTeamCap);
}

bool TeamCommands::Add(const FigureRecord& figure, const std::optional<TeamSource>& source,
                       SourceState state) {
  const std::size_t before = team_.entries.size();
  if (std::string why; !AddToTeam(team_, figure, source, 1, &why)) {
    Say(why + " " + kTeamNotAdded);
    return false;
  }
  if (team_.entries.size() > before) states_.push_back(state);
  return true;
}

bool TeamCommands::AddScreenFigure(const FigureScreen& screen, const std::string& dataFile) {
  FigureRecord record;
  if (std::string refused; !StoreFigureInRecord(screen, record, &refused)) {
    Say(refused + kTeamNotAdded);
    return false;
  }
  const std::string name = ShownName(record);
  if (name.empty()) {
    Say(std::string("The figure on the screen has no name. ") + kTeamNotAdded);
    return false;
  }
  // From the data file in use when it is stored there under that name.
  std::optional<TeamSource> source;
  SourceState state = SourceState::None;
  if (!dataFile.empty()) {
    ReadingFile file(dataFile, lockWait_);
    FigureRecord stored;
    bool found = false;
    FileError error;
    if (file.problem.empty() && ReadStoredFigure(file.file, name, stored, found, &error) && found) {
      source = TeamSource{dataFile, name};
      stored.Deleted = 0;
      state =
          EncodeRecord(stored) == EncodeRecord(record) ? SourceState::Same : SourceState::Changed;
    }
  }
  return Add(record, source, state);
}

bool TeamCommands::AddListedFigure(const std::string& dataFile, const NameEntry& entry) {
  ReadingFile file(dataFile, lockWait_);
  FigureRecord record;
  bool listed = false;
  FileError error;
  if (file.problem.empty() && !file.file.ReadListed(entry, record, listed, &error))
    file.problem = error.description;
  if (!file.problem.empty()) {
    Say(file.problem + "\n" + kTeamNotAdded);
    return false;
  }
  if (!listed) {
    Say(Quoted(entry.shown) + " is no longer stored where the name list found it: open the " +
        "data file again. " + kTeamNotAdded);
    return false;
  }
  return Add(record, TeamSource{dataFile, ShownName(record)}, SourceState::Same);
}

void TeamCommands::Remove(std::size_t index) {
  if (index >= team_.entries.size()) return;
  team_.entries.erase(team_.entries.begin() + static_cast<std::ptrdiff_t>(index));
  states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TeamCommands::SetCount(std::size_t index, int count) {
  if (index < team_.entries.size())
    team_.entries[index].count = std::clamp(count, 1, kMaxEntryCount);
}

void TeamCommands::Move(std::size_t index, int step) {
  const std::size_t to = index + static_cast<std::size_t>(step);
  if (index >= team_.entries.size() || to >= team_.entries.size()) return;
  std::swap(team_.entries[index], team_.entries[to]);
  std::swap(states_[index], states_[to]);
}

bool TeamCommands::AskBefore(Moment moment) {
  if (!HasUnsavedChanges()) return true;
  const std::string question =
      (team_.name.empty() ? std::string("The team") : "The team " + Quoted(team_.name)) +
      " has changes that are not saved. " +
      (moment == Moment::Closing ? "Save them before closing?" : "Save them first?");
  switch (desktop_.AskToSave(question, kAppTitle)) {
    case SaveChoice::Save:
      return Save();
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      break;
  }
  return false;
}

void TeamCommands::New() {
  if (!AskBefore(Moment::Replacing)) return;
  team_ = Team{};
  saved_ = team_;
  path_.clear();
  states_.clear();
}

void TeamCommands::Open() {
  if (!AskBefore(Moment::Replacing)) return;
  const std::optional<std::string> path =
      desktop_.ChooseExistingFile({kTeamFilterLabel, kTeamPattern, lastPath_});
  if (path) OpenFile(*path);
}

bool TeamCommands::OpenFile(const std::string& path) {
  lastPath_ = path;
  TeamText text;
  FileError error;
  if (!ReadTeamFile(path, text, &error)) {
    Say("The team file cannot be read: " + error.description + "\n" + kTeamAsItWas);
    return false;
  }
  if (!text.problems.empty()) {
    Say(path + " is no team file that can be opened:\n" +
        ProblemLines(text.problems, text.unlisted, kProblemsShown) + kTeamAsItWas);
    return false;
  }
  team_ = std::move(text.team);
  saved_ = team_;
  path_ = path;
  CheckSources(lockWait_);
  return true;
}

bool TeamCommands::Save() {
  return path_.empty() ? SaveAs() : Write(path_);
}

bool TeamCommands::SaveAs() {
  const ExportDialogRequest request{{std::string(kTeamFilterLabel) + " (" + kTeamPattern + ")"},
                                    lastPath_.empty() ? path_ : lastPath_};
  const std::optional<ExportChoice> choice = desktop_.ChooseExportFile(request);
  if (!choice || choice->path.empty()) return false;
  std::string path = choice->path;
  if (std::filesystem::path(path).extension().empty()) path += ".json";
  lastPath_ = path;
  if (path != path_ && std::filesystem::exists(path) &&
      !desktop_.AskYesNo(path + " already exists.\nDo you want to replace it?", kAppTitle)) {
    return false;
  }
  return Write(path);
}

bool TeamCommands::Write(const std::string& path) {
  if (FileError error; !WriteTeamFile(path, team_, true, &error)) {
    Say("The team was not saved: " + error.description);
    return false;
  }
  path_ = path;
  saved_ = team_;
  return true;
}

bool TeamCommands::MayClose() {
  return AskBefore(Moment::Closing);
}

void TeamCommands::CheckSources(std::chrono::milliseconds wait) {
  states_.clear();
  for (const SourceCheck& check : zandorik::CheckSources(team_, path_, wait))
    states_.push_back(check.state);
}

void TeamCommands::Refresh() {
  const std::vector<SourceCheck> checks = zandorik::CheckSources(team_, path_, lockWait_);
  const std::vector<std::string> refreshed = TakeStoredFigures(team_, checks);
  std::string said;
  if (!refreshed.empty()) {
    said = "Taken from the data file again:";
    for (const std::string& name : refreshed)
      said += " " + Quoted(name);
    said += ".\n";
  }
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const TeamFigure& entry = team_.entries[i];
    if (checks[i].state == SourceState::NotStored) {
      said += Quoted(ShownName(entry.figure)) + " is no longer stored in " +
              FileName(entry.source->file) + "; it stays as it is.\n";
    } else if (checks[i].state == SourceState::Unreadable) {
      said += Quoted(ShownName(entry.figure)) + " stays as it is: " + checks[i].why + "\n";
    }
  }
  states_.clear();
  for (const SourceCheck& check : checks)
    states_.push_back(check.state == SourceState::Changed ? SourceState::Same : check.state);
  if (said.empty()) said = kTeamsUpToDate;
  if (said.back() == '\n') said.pop_back();
  Say(said);
}

}  // namespace zandorik
