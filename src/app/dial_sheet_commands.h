// "Export Dial Sheet..." and "Print Dial Sheet" of the main window: the
// figure on the screen as a dial sheet, through the Desktop seam.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "app/print_window.h"
#include "editor/desktop.h"
#include "model/figure.h"

namespace zandorik {

// The filters of the export dialog, in the order of their extensions.
inline constexpr const char* kSheetExportFilters[] = {"PDF (*.pdf)", "SVG (*.svg)",
                                                      "PNG image (*.png)"};

class DialSheetCommands {
 public:
  explicit DialSheetCommands(Desktop& desktop) : desktop_(desktop) {}

  // Paper, diameter, marks and codes first, then the file; the figure priced as
  // Calculate prices it. `fileName` is the data file's, for the footer.
  void Export(const FigureScreen& figure, const std::string& fileName);
  // The sheet on the default printer, with the settings last chosen.
  void Print(const FigureScreen& figure);
  // Kept for the rest of the run, never stored.
  const SheetSettings& Settings() const { return settings_; }

 private:
  Desktop& desktop_;
  SheetSettings settings_;
  std::string lastPath_;
};

// The small dialog of paper, diameter, registration marks and share
// codes; nothing when cancelled.
std::optional<SheetSettings> RunSheetDialog(QWidget* owner, const SheetSettings& current);

// Prints the figure's sheet through the print module's function.
std::optional<std::string> PrintSheet(PrintSheetFunction print, const FigureScreen& figure,
                                      const SheetSettings& settings);

}  // namespace zandorik
