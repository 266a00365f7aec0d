// The one command-line parser of every program: zandorik and its
// subcommands, zandorik-cost and zandorik-dial (which hands Qt's own
// options on to Qt).
#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

// An option a program accepts: "--name", "-s" when `shortName` is set,
// followed by a value when `takesValue` ("--name VALUE" or "--name=VALUE").
// With `oneDash` it is taken with one dash too ("-name", "-name=VALUE"), as
// Qt takes its own options.
struct OptionSpec {
  std::string_view name;
  char shortName = 0;
  bool takesValue = false;
  bool oneDash = false;
};

// A parsed command line. Options may stand anywhere among the operands;
// "--" ends them; "-" alone is an operand. "-h" and "--help" are known to
// every program.
struct ParsedArgs {
  std::map<std::string, std::string, std::less<>> options;  // by long name; "" for flags
  std::vector<std::string> operands;
  bool help = false;
  // Each option given, in order: its long name, and the arguments it took
  // (`count` of them, the first at index `at`).
  struct Given {
    std::string_view name;
    std::size_t at = 0;
    std::size_t count = 1;
  };
  std::vector<Given> given;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  // The value of an option, or `fallback` when it was not given.
  std::string Value(std::string_view name, std::string fallback = {}) const;
};

// False, with the reason in `error`, for an unknown option, an option
// without its value or a flag given a value.
bool ParseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> options,
                    ParsedArgs& parsed, std::string* error);

}  // namespace zandorik
