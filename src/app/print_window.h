// Printing a window lives in a module of its own (zandorik_print), loaded
// on the first print: this is its one function.
#pragma once

#include <QPainter>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

namespace zandorik {

// Prints an image of `window`, as it is shown now, scaled to fit one page
// of the default printer, without a dialog. Returns what went wrong, or
// nothing when the job was handed to the printer.
using PrintWindowFunction = std::optional<std::string> (*)(QWidget* window);
inline constexpr const char* kPrintWindowSymbol = "zandorik_print_window";

// A dial sheet to print: laid out once the printer's paper is known, then
// drawn page by page in millimetres.
struct SheetPrintJob {
  std::string title;
  std::string what = "dial sheet";  // in the message when no printer is set up
  // Lays the sheet out on Letter (true) or A4 paper; returns its pages.
  std::function<int(bool letter)> layOut;
  // Draws page `page`; the painter's transform maps millimetres to the
  // paper from its top left corner.
  std::function<void(QPainter& painter, int page)> draw;
};

// Prints a dial sheet on the default printer at actual size: on its paper
// when that is Letter, else on A4, never fitted to the page. Returns what
// went wrong, or nothing when the job was handed to the printer.
using PrintSheetFunction = std::optional<std::string> (*)(const SheetPrintJob& job);
inline constexpr const char* kPrintSheetSymbol = "zandorik_print_sheet";

}  // namespace zandorik
