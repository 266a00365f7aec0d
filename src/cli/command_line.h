// The command line of the `zandorik` program: one parser for every
// subcommand, the exit statuses they share, and the table entry each
// subcommand provides.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

class SystemCalls;

// Exit statuses of every `zandorik` subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;   // a data file cannot be read, or is in use
inline constexpr int kExitUsage = 2;        // the command line or the input is wrong
inline constexpr int kExitDamaged = 3;      // the data file is damaged
inline constexpr int kExitWriteFailed = 4;  // an output or a write to the data file failed

// An option a subcommand accepts: "--name", "-s" when `shortName` is set,
// followed by a value when `takesValue` ("--name VALUE" or "--name=VALUE").
struct OptionSpec {
  std::string_view name;
  char shortName = 0;
  bool takesValue = false;
};

// A parsed command line. Options may stand anywhere among the operands;
// "--" ends them. "-h" and "--help" are known to every subcommand.
struct ParsedArgs {
  std::map<std::string, std::string, std::less<>> options;  // by long name; "" for flags
  std::vector<std::string> operands;
  bool help = false;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  // The value of an option, or `fallback` when it was not given.
  std::string Value(std::string_view name, std::string fallback = {}) const;
};

// False, with the reason in `error`, for an unknown option, an option
// without its value or a flag given a value.
bool ParseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> options,
                    ParsedArgs& parsed, std::string* error);

// What a subcommand's run function is handed.
struct CommandContext {
  const ParsedArgs& args;
  std::FILE* out;
  std::FILE* err;
  std::FILE* in;
  SystemCalls* calls = nullptr;  // of every file it opens; the real ones when null
};

// Flushes the program's output. Done: `status`. Else the failure is said on
// `err` (after `who`, with `done`, what was already done and stays done)
// and the status is kExitWriteFailed.
int FinishOutput(std::FILE* out, std::FILE* err, std::string_view who, int status,
                 std::string_view done = {});

struct Subcommand {
  std::string_view name;
  std::string_view summary;  // one line for `zandorik --help`
  std::string_view help;     // the whole text of `zandorik NAME --help`
  std::span<const OptionSpec> options;
  int (*run)(const CommandContext& context);
};

}  // namespace zandorik
