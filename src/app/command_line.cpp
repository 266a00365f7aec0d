#include "app/command_line.h"

#include <cstdlib>
#include <string_view>

#include "store/data_file.h"

namespace zandorik {
namespace {

// Qt's own options (QGuiApplication, QApplication and the X11 platform),
// without their leading dash.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowtitle",
    "title",
    "qwindowicon",
    "icon",
    "session",
    "display",
    "name",
    "style",
    "stylesheet",
};
constexpr std::string_view kQtFlags[] = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "testability",
};
constexpr std::string_view kQtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

template <typename Table>
bool InTable(const Table& table, std::string_view name) {
  for (std::string_view entry : table)
    if (entry == name) return true;
  return false;
}

bool HasPrefixIn(std::string_view name) {
  for (std::string_view prefix : kQtOptionsWithEquals)
    if (name.substr(0, prefix.size()) == prefix) return true;
  return false;
}

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

DialCommandLine ParseDialCommandLine(int argc, char** argv) {
  DialCommandLine result;
  result.qtArguments.push_back(argv[0]);
  auto refuse = [&result](std::string error) {
    result.action = DialCommandLine::Action::Usage;
    result.error = std::move(error);
    return result;
  };
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (options && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options = false;
        continue;
      }
      if (arg == "-h" || arg == "--help") {
        result.action = DialCommandLine::Action::Help;
        return result;
      }
      if (arg == "--version") {
        result.action = DialCommandLine::Action::Version;
        return result;
      }
      // Qt reads "--platform" as "-platform".
      const std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
      if (InTable(kQtOptionsWithValue, name)) {
        if (i + 1 >= argc) return refuse("option " + std::string(arg) + " needs a value");
        result.qtArguments.push_back(argv[i]);
        result.qtArguments.push_back(argv[++i]);
        if (name == "platform") result.platform = argv[i];
        if (name == "display") result.display = true;
      } else if (InTable(kQtFlags, name) || HasPrefixIn(name)) {
        result.qtArguments.push_back(argv[i]);
      } else {
        return refuse("unknown option " + std::string(arg));
      }
    } else if (result.file) {
      return refuse("give one data file only");
    } else if (std::string why; !MayNameDataFile(std::string(arg), false, &why)) {
      return refuse(why);
    } else {
      result.file = std::string(arg);
    }
  }
  result.qtArguments.push_back(nullptr);
  return result;
}

bool NoDisplayFor(const DialCommandLine& commandLine) {
  if (commandLine.platform || IsSet("QT_QPA_PLATFORM") || commandLine.display) return false;
  return !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
}

}  // namespace zandorik
