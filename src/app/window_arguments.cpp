#include "app/window_arguments.h"

#include <cstdlib>
#include <string_view>

#include "program/arguments.h"
#include "store/data_file.h"

namespace zandorik {
namespace {

// Qt's own options (QGuiApplication, QApplication and the X11 platform),
// taken with one dash or two, and the program's own.
constexpr OptionSpec kOptions[] = {
    {"platform", 0, true, true},
    {"platformpluginpath", 0, true, true},
    {"platformtheme", 0, true, true},
    {"plugin", 0, true, true},
    {"qwindowgeometry", 0, true, true},
    {"geometry", 0, true, true},
    {"qwindowtitle", 0, true, true},
    {"title", 0, true, true},
    {"qwindowicon", 0, true, true},
    {"icon", 0, true, true},
    {"session", 0, true, true},
    {"display", 0, true, true},
    {"name", 0, true, true},
    {"style", 0, true, true},
    {"stylesheet", 0, true, true},
    {"qmljsdebugger", 0, true, true},
    {"reverse", 0, false, true},
    {"widgetcount", 0, false, true},
    {"nograb", 0, false, true},
    {"dograb", 0, false, true},
    {"sync", 0, false, true},
    {"testability", 0, false, true},
    {"version"},
};

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

}  // namespace

const char* const kDialHelp =
    "Usage: zandorik-dial [OPTION]... [--] [FILE.QMV]\n"
    "Starts the Zandorik Dial Generator. With a data file, opens it as\n"
    "File > Open File does, so that its figures are in the name list.\n"
    "\n"
    "  -h, --help       show this help\n"
    "      --version    print the program's name and version\n"
    "      --           end of the options: the next argument is the file,\n"
    "                   even if it begins with \"-\"\n"
    "\n"
    "Qt's own options are taken too, such as -platform NAME, -style NAME,\n"
    "-reverse and -display DISPLAY (see the manual page).\n"
    "\n"
    "Exit status: 0 once the window is closed, 1 when no display can be\n"
    "reached, 2 for a wrong command line.";

bool ParseDialCommandLine(int argc, char** argv, DialCommandLine& commandLine, std::string* error) {
  commandLine = DialCommandLine{};
  const std::vector<std::string> args(argv + 1, argv + argc);
  ParsedArgs parsed;
  if (!ParseArguments(args, kOptions, parsed, error)) return false;
  if (parsed.help) {
    commandLine.action = DialCommandLine::Action::Help;
    return true;
  }
  if (parsed.Has("version")) {
    commandLine.action = DialCommandLine::Action::Version;
    return true;
  }
  commandLine.qtArguments.push_back(argv[0]);
  for (const ParsedArgs::Given& given : parsed.given) {
    if (given.name == "version") continue;
    for (std::size_t i = 0; i < given.count; ++i)
      commandLine.qtArguments.push_back(argv[1 + given.at + i]);
  }
  commandLine.qtArguments.push_back(nullptr);
  if (parsed.Has("platform")) commandLine.platform = parsed.Value("platform");
  commandLine.display = parsed.Has("display");
  if (parsed.operands.empty()) return true;
  commandLine.file = parsed.operands.front();
  if (parsed.operands.size() > 1) {
    if (error) *error = "give one data file only";
    return false;
  }
  return MayNameDataFile(*commandLine.file, false, error);
}

bool NoDisplayFor(const DialCommandLine& commandLine) {
  if (commandLine.platform || IsSet("QT_QPA_PLATFORM") || commandLine.display) return false;
  return !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
}

}  // namespace zandorik
