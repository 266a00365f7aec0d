// Printing a window lives in a module of its own (zandorik_print), loaded
// on the first print: this is its one function.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

namespace zandorik {

// Prints an image of `window`, as it is shown now, scaled to fit one page
// of the default printer, without a dialog. Returns what went wrong, or
// nothing when the job was handed to the printer.
using PrintWindowFunction = std::optional<std::string> (*)(QWidget* window);
inline constexpr const char* kPrintWindowSymbol = "zandorik_print_window";

}  // namespace zandorik
