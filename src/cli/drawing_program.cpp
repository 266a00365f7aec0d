// zandorik's stand-ins for the commands that need Qt: each runs
// zandorik-draw in zandorik's place (exec: the same process, standard
// streams and exit status) with the command line as it was given.
// zandorik-draw sits beside zandorik in the build and in the private
// folder of the installed programs.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "cli/drawing_commands.h"
#include "cli/subcommand.h"
#include "cli/team_sheet_command.h"
#include "program/output.h"

namespace zandorik {
namespace {

// zandorik's own folder, from the running program's path.
std::string OwnFolder() {
  std::vector<char> path(4096);
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return ".";
  const std::string self(path.data(), static_cast<std::size_t>(n));
  return self.substr(0, self.find_last_of('/'));
}

// Runs zandorik-draw with `command` and its arguments; returns only if
// it cannot be run.
int RunDrawingProgram(const CommandContext& context, const char* command) {
  const std::string folder = OwnFolder();
  std::string tried;
  int error = ENOENT;
  for (const std::string& program :
       {folder + "/" ZANDORIK_DRAW, folder + "/" ZANDORIK_DRAW_INSTALLED}) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    argv.push_back(const_cast<char*>(command));
    for (const std::string& arg : context.line)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::fflush(context.out);
    std::fflush(context.err);
    execv(program.c_str(), argv.data());
    error = errno;
    tried = program;
  }
  std::fprintf(context.err, "%.*s: cannot run %s, which draws for zandorik: %s\n",
               static_cast<int>(context.who.size()), context.who.data(), VisibleText(tried).c_str(),
               std::strerror(error));
  return kExitUsage;
}

int RunSheet(const CommandContext& context) {
  return RunDrawingProgram(context, "sheet");
}
int RunScan(const CommandContext& context) {
  return RunDrawingProgram(context, "scan");
}

}  // namespace

extern const Subcommand kSheetCommand = {"sheet", kSheetSummary, {}, {}, RunSheet, true};
extern const Subcommand kScanCommand = {"scan", kScanSummary, {}, {}, RunScan, true};

int RunTeamSheet(const CommandContext& context, const std::string&,
                 const std::function<int(Team& team)>&) {
  return RunDrawingProgram(context, "team");
}

}  // namespace zandorik
