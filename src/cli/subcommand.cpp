#include "cli/subcommand.h"

namespace zandorik {

extern const Subcommand kCostCommand;

int RunSubcommand(const Subcommand& command, const std::vector<std::string>& args, std::FILE* out,
                  std::FILE* err, std::FILE* in, SystemCalls* calls, const std::string& who) {
  ParsedArgs parsed;
  if (command.runsElsewhere) return command.run({parsed, out, err, in, calls, who, args});
  std::string why;
  if (!ParseArguments(args, command.options, parsed, &why)) {
    std::fprintf(err, "%s: %s; `%s --help` says what it takes\n", who.c_str(), why.c_str(),
                 who.c_str());
    return kExitUsage;
  }
  if (parsed.help) {
    std::fwrite(command.help.data(), 1, command.help.size(), out);
    return FinishOutput(out, err, who, kExitOk);
  }
  return command.run({parsed, out, err, in, calls, who, args});
}

int RunCoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  return RunSubcommand(kCostCommand, args, out, err, stdin, nullptr, "zandorik-cost");
}

}  // namespace zandorik
