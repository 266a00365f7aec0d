#include "cli/zandorik.h"

#include <array>

#include "cli/subcommand.h"

namespace zandorik {

// Each subcommand lives in a file of its own (repair_command.cpp, ...).
extern const Subcommand kCostCommand;
extern const Subcommand kRepairCommand;
extern const Subcommand kSheetCommand;
extern const Subcommand kExportCommand;
extern const Subcommand kImportCommand;
extern const Subcommand kCodeCommand;
extern const Subcommand kScanCommand;
extern const Subcommand kTeamCommand;
extern const Subcommand kReachCommand;
extern const Subcommand kWorthCommand;
extern const Subcommand kRecoveryCommand;
extern const Subcommand kListCommand;
extern const Subcommand kCompareCommand;

namespace {

// In the order `zandorik --help` lists them.
const std::array kSubcommands = {
    &kCostCommand, &kRepairCommand,  &kSheetCommand,   &kExportCommand, &kImportCommand,
    &kCodeCommand, &kScanCommand,    &kTeamCommand,    &kReachCommand,  &kWorthCommand,
    &kListCommand, &kCompareCommand, &kRecoveryCommand};

void PrintUsage(std::FILE* to) {
  std::fputs(
      "Usage: zandorik COMMAND [OPTION...] [ARGUMENT...]\n"
      "Works on the figures of a Zandorik Dial Generator data file (.QMV).\n\n"
      "Commands:\n",
      to);
  for (const Subcommand* command : kSubcommands) {
    std::fprintf(to, "  %-10.*s %.*s\n", static_cast<int>(command->name.size()),
                 command->name.data(), static_cast<int>(command->summary.size()),
                 command->summary.data());
  }
  std::fputs(
      "\n`zandorik COMMAND --help` describes a command.\n"
      "  -h, --help     show this help\n"
      "      --version  show the program's version\n\n"
      "Exit status:\n"
      "  0  done\n"
      "  1  a data file cannot be read, or is in use by another program\n"
      "  2  the command line or the input is wrong\n"
      "  3  the data file is damaged\n"
      "  4  an output, or a write to the data file, failed\n",
      to);
}

}  // namespace

int RunZandorik(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, std::FILE* in,
                SystemCalls* calls) {
  if (args.empty()) {
    PrintUsage(err);
    return kExitUsage;
  }
  const std::string& first = args.front();
  if (first == "-h" || first == "--help" || first == "help") {
    PrintUsage(out);
    return FinishOutput(out, err, "zandorik", kExitOk);
  }
  if (first == "--version") {
    std::fputs("zandorik " ZANDORIK_VERSION "\n", out);
    return FinishOutput(out, err, "zandorik", kExitOk);
  }
  const Subcommand* command = nullptr;
  for (const Subcommand* c : kSubcommands)
    if (c->name == first) command = c;
  if (!command) {
    std::fprintf(err,
                 first.starts_with('-')
                     ? "zandorik: unknown option %s; `zandorik --help` lists the options and "
                       "commands\n"
                     : "zandorik: unknown command \"%s\"; `zandorik --help` lists them\n",
                 VisibleText(first).c_str());
    return kExitUsage;
  }
  return RunSubcommand(*command, {args.begin() + 1, args.end()}, out, err, in, calls,
                       "zandorik " + first);
}

}  // namespace zandorik
