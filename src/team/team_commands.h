// The commands of the team window: the team being built, the team file it
// is kept in, adding figures from the screen or the data file, and the
// question before unsaved changes are lost. Every box and dialog goes
// through the desktop; the window only shows the state kept here.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "editor/desktop.h"
#include "model/figure.h"
#include "store/data_file.h"
#include "team/team.h"

namespace zandorik {

inline constexpr const char* kTeamNotAdded = "The figure was not added to the team.";
inline constexpr const char* kTeamAsItWas = "The team is as it was.";
inline constexpr const char* kTeamsUpToDate = "Every figure is as stored in its data file.";
// The team file dialogs' filter.
inline constexpr const char* kTeamFilterLabel = "Zandorik team";
inline constexpr const char* kTeamPattern = "*.json";

class TeamCommands {
 public:
  explicit TeamCommands(Desktop& desktop) : desktop_(desktop) {}

  const Team& Current() const { return team_; }
  // The team file; "" for a team never saved.
  const std::string& Path() const { return path_; }
  // Whether the team differs from the one last opened or saved (an empty
  // team at first).
  bool HasUnsavedChanges() const { return !SameTeam(team_, saved_); }
  // How each entry stands against its data file, as last checked.
  const std::vector<SourceState>& SourceStates() const { return states_; }

  void SetName(const std::string& name) { team_.name = name; }
  void SetCap(std::int64_t cap);
  // The figure on the screen, as "&Save Record" would store it, from the
  // data file in use when it is stored there under its name. False, with
  // the reason shown, when it cannot be added.
  bool AddScreenFigure(const FigureScreen& screen, const std::string& dataFile);
  // The figure of a name list entry of the data file in use.
  bool AddListedFigure(const std::string& dataFile, const NameEntry& entry);
  void Remove(std::size_t index);
  // Clamped to 1 to kMaxEntryCount.
  void SetCount(std::size_t index, int count);
  // One place up (step -1) or down (+1); nothing at either end.
  void Move(std::size_t index, int step);

  // New, Open, Save, Save As of team files. New and Open ask first when
  // the team has unsaved changes; Save and Save As are true once the file
  // is written and flushed.
  void New();
  void Open();
  // Opens `path` without asking; false, with the problems shown, when it
  // cannot be read (the team stays as it was).
  bool OpenFile(const std::string& path);
  bool Save();
  bool SaveAs();
  // Whether the team may be let go: true unless the person keeps unsaved
  // changes (Cancel, or a save that did not happen).
  bool MayClose();

  // Compares every entry with its data file, waiting at most `wait` for a
  // file's lock, and keeps what it found for SourceStates.
  void CheckSources(std::chrono::milliseconds wait);
  // "Refresh from data file": checks, takes the stored version of every
  // changed entry and says what was done.
  void Refresh();

  // How long the commands wait for a data file's lock (tests shorten it).
  void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

 private:
  enum class Moment { Replacing, Closing };
  bool AskBefore(Moment moment);
  bool Add(const FigureRecord& figure, const std::optional<TeamSource>& source, SourceState state);
  bool Write(const std::string& path);
  void Say(const std::string& text) { desktop_.ShowMessage(text, kAppTitle); }

  Desktop& desktop_;
  Team team_;
  Team saved_;
  std::string path_;
  std::string lastPath_;  // filled into the next dialog
  std::vector<SourceState> states_;
  std::chrono::milliseconds lockWait_ = kLockWait;
};

}  // namespace zandorik
