#include "program/arguments.h"

#include <algorithm>
#include <optional>

namespace zandorik {

std::string ParsedArgs::Value(std::string_view name, std::string fallback) const {
  const auto it = options.find(name);
  return it == options.end() ? std::move(fallback) : it->second;
}

bool ParseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> options,
                    ParsedArgs& parsed, std::string* error) {
  const auto fail = [&](std::string why) {
    if (error) *error = std::move(why);
    return false;
  };
  parsed = ParsedArgs{};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      parsed.operands.insert(parsed.operands.end(), args.begin() + static_cast<long>(i) + 1,
                             args.end());
      break;
    }
    if (arg == "-h" || arg == "--help") {
      parsed.help = true;
      continue;
    }
    // "-" alone is an operand: standard input or output.
    if (arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
      continue;
    }
    const OptionSpec* match = nullptr;
    std::string_view given = arg;
    std::optional<std::string> inlineValue;
    // "-name" is a long option when an option of that name takes one dash.
    const std::string_view oneDash = std::string_view(arg).substr(1, arg.find('=') - 1);
    const auto takesOneDash = [oneDash](const OptionSpec& o) {
      return o.oneDash && o.name == oneDash;
    };
    if (arg[1] == '-' || std::any_of(options.begin(), options.end(), takesOneDash)) {
      const std::size_t dashes = arg[1] == '-' ? 2 : 1;
      std::string_view name = std::string_view(arg).substr(dashes);
      if (const std::size_t eq = name.find('='); eq != std::string_view::npos) {
        inlineValue = std::string(name.substr(eq + 1));
        name = name.substr(0, eq);
        given = std::string_view(arg).substr(0, eq + dashes);
      }
      for (const OptionSpec& o : options)
        if (o.name == name) match = &o;
    } else {
      if (arg.size() > 2) inlineValue = arg.substr(2);  // -oFILE
      given = std::string_view(arg).substr(0, 2);
      for (const OptionSpec& o : options)
        if (o.shortName != 0 && o.shortName == arg[1]) match = &o;
    }
    if (!match) return fail("unknown option " + std::string(given));
    parsed.given.push_back({match->name, i, 1});
    std::string value;
    if (match->takesValue) {
      if (inlineValue) {
        value = std::move(*inlineValue);
      } else if (i + 1 < args.size()) {
        value = args[++i];
        parsed.given.back().count = 2;
      } else {
        return fail("the option " + std::string(given) + " needs a value");
      }
    } else if (inlineValue) {
      return fail("the option " + std::string(given) + " takes no value");
    }
    parsed.options[std::string(match->name)] = std::move(value);
  }
  return true;
}

}  // namespace zandorik
