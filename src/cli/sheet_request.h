// What `zandorik sheet` and `zandorik team sheet` share: the output and
// its options (paper, diameter, resolution, marks, codes), and Qt started
// on its offscreen platform to draw them.
#pragma once

#include <QGuiApplication>
#include <array>
#include <memory>
#include <string>

#include "cli/subcommand.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_output.h"

namespace zandorik {

inline constexpr std::array<OptionSpec, 6> kSheetOptionSpecs = {{
    {"output", 'o', true},
    {"paper", 0, true},
    {"diameter", 0, true},
    {"dpi", 0, true},
    {"registration", 0, false},
    {"no-codes", 0, false},
}};

struct SheetRequest {
  SheetOptions options;
  std::string output;
  int dpi = kDefaultDpi;
};

// The output and the sheet's options of the command line, or the
// complaint that makes it wrong.
bool ReadSheetRequest(const ParsedArgs& args, SheetRequest& request, std::string& why);

// Qt draws only inside an application object: one on the offscreen
// platform when the program has none, so that a command runs the same with
// or without a display. Qt's own notes are dropped, its errors written to
// standard error after `me`.
std::unique_ptr<QGuiApplication> StartQt(const char* me);

}  // namespace zandorik
