// The Desktop of the window's tests: the scripted desktop of the core, and
// the window's own calls (links, printing, the sheet dialog) recorded and
// answered from a script too.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/window_desktop.h"
#include "team/team.h"
#include "testing/scripted_desktop.h"

namespace zandorik {

class ScriptedWindowDesktop : public ScriptedDesktop, public WindowDesktop {
 public:
  void OpenLink(const std::string& target) override { links.push_back(target); }
  // Fails with `printFailure` when it is set.
  bool PrintMainWindow(std::string* failure) override {
    ++prints;
    return Printed(failure);
  }
  // Answers from `sheetSettings` (nothing for cancel); unscripted,
  // cancelled and counted in `unexpected`.
  std::optional<SheetSettings> ChooseSheetSettings(const SheetSettings& current) override {
    settingsOffered.push_back(current);
    return Next(sheetSettings, std::optional<SheetSettings>());
  }
  // Records the settings; fails with `printFailure` when it is set.
  bool PrintDialSheet(const FigureScreen&, const SheetSettings& settings,
                      std::string* failure) override {
    sheetPrints.push_back(settings);
    return Printed(failure);
  }
  // Records the team's name and the settings; fails as PrintDialSheet.
  bool PrintTeamSheet(const Team& team, const std::string&, const SheetSettings& settings,
                      std::string* failure) override {
    teamPrints.push_back(team.name);
    sheetPrints.push_back(settings);
    return Printed(failure);
  }

  std::vector<std::string> links;
  int prints = 0;
  std::optional<std::string> printFailure;
  std::vector<SheetSettings> settingsOffered;
  std::deque<std::optional<SheetSettings>> sheetSettings;
  std::vector<SheetSettings> sheetPrints;  // each sheet printed
  std::vector<std::string> teamPrints;     // the name of each team printed

 private:
  bool Printed(std::string* failure) const {
    if (printFailure && failure) *failure = *printFailure;
    return !printFailure;
  }
};

}  // namespace zandorik
