// The calls to the desktop that only the window makes: links, printing and
// the sheet dialog. The core asks the rest through Desktop; QtDesktop
// answers both, a scripted window desktop the window's tests.
#pragma once

#include <optional>
#include <string>

#include "editor/desktop.h"

namespace zandorik {

struct FigureScreen;
struct Team;

// The paper, diameter and marks of a dial sheet, as the sheet dialog
// offers them.
struct SheetSettings {
  bool letter = false;        // Letter paper; A4 otherwise
  double diameter = 50;       // millimetres, 40 to 80
  bool registration = false;  // print-then-cut registration marks
  bool codes = true;          // a QR code of the figure's share code
  bool operator==(const SheetSettings&) const = default;
};

class WindowDesktop : public virtual Desktop {
 public:
  // Hands a web or "mailto:" address to the desktop's opener. Whether it
  // could be opened is not reported.
  virtual void OpenLink(const std::string& target) = 0;

  // Prints an image of the main window, as it is shown now, on the default
  // printer without a dialog. True once the job is handed to the printer;
  // else `failure` says what went wrong.
  virtual bool PrintMainWindow(std::string* failure) = 0;

  // The small dialog of a dial sheet: paper, diameter and registration
  // marks, starting from `current`. Nothing when the person cancels.
  virtual std::optional<SheetSettings> ChooseSheetSettings(const SheetSettings& current) = 0;
  // Prints the figure's dial sheet at the settings' diameter and marks on
  // the default printer's paper (Letter, or A4 for any other, whatever the
  // settings' paper) at actual size, without a dialog. True once the job
  // is handed to the printer; else `failure` says what went wrong.
  virtual bool PrintDialSheet(const FigureScreen& figure, const SheetSettings& settings,
                              std::string* failure) = 0;
  // Prints the team's document (its roster, then a dial for each figure
  // fielded) as PrintDialSheet prints a sheet; `fileName` stands in its
  // footers.
  virtual bool PrintTeamSheet(const Team& team, const std::string& fileName,
                              const SheetSettings& settings, std::string* failure) = 0;
};

}  // namespace zandorik
