// The one parser of every program's command line, by a table of command
// lines.
#include "program/arguments.h"

#include <gtest/gtest.h>

namespace zandorik {
namespace {

TEST(CommandLine, OptionsStandAnywhereAndDoubleDashEndsThem) {
  const OptionSpec options[] = {{"output", 'o', true},
                                {"dry-run", 0, false},
                                {"style", 0, true, true},
                                {"sync", 0, false, true}};
  struct Case {
    std::vector<std::string> args;
    std::string parsed;  // "operands|options|arguments each option took", or "!" and the error
  } cases[] = {
      {{"a", "-o", "x", "b"}, "a,b|output=x|1+2"},
      {{"--output=x", "a", "--dry-run"}, "a|dry-run=,output=x|0+1 2+1"},
      {{"-ox", "--", "-o", "--dry-run"}, "-o,--dry-run|output=x|0+1"},
      {{"-", "--output", "-"}, "-|output=-|1+2"},
      {{"a", "--help"}, "a|help|"},
      {{"-style", "x", "--style=y", "-style=z", "-sync"}, "|style=z,sync=|0+2 2+1 3+1 4+1"},
      {{"-s"}, "!unknown option -s"},
      {{"-sync=1"}, "!the option -sync takes no value"},
      {{"--colour"}, "!unknown option --colour"},
      {{"-q"}, "!unknown option -q"},
      {{"a", "-o"}, "!the option -o needs a value"},
      {{"--dry-run=yes"}, "!the option --dry-run takes no value"},
  };
  for (const Case& c : cases) {
    ParsedArgs parsed;
    std::string error;
    std::string got;
    if (!ParseArguments(c.args, options, parsed, &error)) {
      got = "!" + error;
    } else {
      for (const std::string& operand : parsed.operands)
        got += (got.empty() ? "" : ",") + operand;
      got += "|";
      std::string opts;
      for (const auto& [name, value] : parsed.options)
        opts += (opts.empty() ? "" : ",") + name + "=" + value;
      got += (parsed.help ? "help" : opts) + "|";
      for (const ParsedArgs::Given& given : parsed.given)
        got += (got.ends_with('|') ? "" : " ") + std::to_string(given.at) + "+" +
               std::to_string(given.count);
    }
    EXPECT_EQ(got, c.parsed) << ::testing::PrintToString(c.args);
  }
}

}  // namespace
}  // namespace zandorik
