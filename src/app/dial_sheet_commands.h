// "Export Dial Sheet..." and "Print Dial Sheet" of the main window: the
// figure on the screen as a dial sheet, through the Desktop seam.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/print_window.h"
#include "app/window_desktop.h"
#include "model/figure.h"
#include "sheet/sheet_layout.h"
#include "team/team.h"

namespace zandorik {

// The filters of the export dialog, in the order of their extensions.
inline constexpr const char* kSheetExportFilters[] = {"PDF (*.pdf)", "SVG (*.svg)",
                                                      "PNG image (*.png)"};

class DialSheetCommands {
 public:
  explicit DialSheetCommands(WindowDesktop& desktop) : desktop_(desktop) {}

  // Paper, diameter, marks and codes first, then the file; the figure priced as
  // Calculate prices it. `fileName` is the data file's, for the footer.
  void Export(const FigureScreen& figure, const std::string& fileName);
  // The sheet on the default printer, with the settings last chosen.
  void Print(const FigureScreen& figure);
  // "Export Team Sheet..." and "Print Team" of the team window: the team's
  // roster and a dial for each figure fielded, with the same settings.
  // `teamPath` is the team file's, "" for a team never saved.
  void ExportTeam(const Team& team, const std::string& teamPath);
  void PrintTeam(const Team& team, const std::string& teamPath);
  // Kept for the rest of the run, never stored.
  const SheetSettings& Settings() const { return settings_; }

 private:
  // The settings, then the file; asks before a file is replaced and writes
  // the sheet `layOut` makes. `what` names it in a failure ("dial sheet").
  void Export(const std::function<Sheet(const SheetOptions&)>& layOut, const std::string& title,
              const std::string& fileName, const std::vector<std::string>& inputs,
              const std::string& what);
  WindowDesktop& desktop_;
  SheetSettings settings_;
  std::string lastPath_;
};

// The small dialog of paper, diameter, registration marks and share
// codes; nothing when cancelled.
std::optional<SheetSettings> RunSheetDialog(QWidget* owner, const SheetSettings& current);

// Prints the figure's sheet through the print module's function.
std::optional<std::string> PrintSheet(PrintSheetFunction print, const FigureScreen& figure,
                                      const SheetSettings& settings);
// Prints the team's document through the print module's function.
std::optional<std::string> PrintTeamSheet(PrintSheetFunction print, const Team& team,
                                          const std::string& fileName,
                                          const SheetSettings& settings);

}  // namespace zandorik
