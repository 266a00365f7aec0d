// The command line of zandorik-dial, read before Qt sees it, by the parser
// of every program: the program's own options, Qt's options (handed on to
// QApplication) and the data file, taken as the very bytes it was given,
// whatever their encoding.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zandorik {

struct DialCommandLine {
  enum class Action { Run, Help, Version };
  Action action = Action::Run;
  // argv[0] and Qt's own options with their values, in their order, ended
  // by a null pointer: what QApplication is to be given.
  std::vector<char*> qtArguments;
  // The platform named with -platform, if any.
  std::optional<std::string> platform;
  // Whether -display names an X display.
  bool display = false;
  // The data file to open at start, if one is named.
  std::optional<std::string> file;
};

// Reads the command line; false, with what is wrong in `error`, for a
// wrong one. Qt's options are taken as Qt takes them, with one dash or
// two; "--" ends the options.
bool ParseDialCommandLine(int argc, char** argv, DialCommandLine& commandLine, std::string* error);

// The text of --help.
extern const char* const kDialHelp;

// Whether the window has nowhere to go: no platform named (by -platform or
// QT_QPA_PLATFORM), so that Qt picks the desktop's, and neither an X nor a
// Wayland display is set.
bool NoDisplayFor(const DialCommandLine& commandLine);

}  // namespace zandorik
