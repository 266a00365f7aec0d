// A subcommand of `zandorik`: the table entry each one provides, and what
// its run function is handed.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "program/arguments.h"
#include "program/exit_status.h"
#include "program/output.h"

namespace zandorik {

class SystemCalls;

// What a subcommand's run function is handed.
struct CommandContext {
  const ParsedArgs& args;
  std::FILE* out;
  std::FILE* err;
  std::FILE* in;
  SystemCalls* calls = nullptr;  // of every file it opens; the real ones when null
  // The program as the person called it, for its messages: "zandorik cost",
  // or "zandorik-cost" for the older name of the same command.
  std::string_view who = {};
  // The command's arguments as they were given, after its name.
  std::span<const std::string> line = {};
};

struct Subcommand {
  std::string_view name;
  std::string_view summary;  // one line for `zandorik --help`
  std::string_view help;     // the whole text of `zandorik NAME --help`
  std::span<const OptionSpec> options;
  int (*run)(const CommandContext& context);
  // Run by another program (drawing_commands.h): handed its arguments as
  // they were given (`line`), unparsed, --help included.
  bool runsElsewhere = false;
};

// Runs one subcommand on its arguments (after its name); `who` names the
// program in its messages ("zandorik cost").
int RunSubcommand(const Subcommand& command, const std::vector<std::string>& args, std::FILE* out,
                  std::FILE* err, std::FILE* in, SystemCalls* calls, const std::string& who);

// zandorik-cost: `zandorik cost` under its older name, the same in every
// byte of its output and in its exit statuses; its messages begin
// "zandorik-cost:".
int RunCoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace zandorik
