// zandorik team: a team of stored figures to a points cap, kept in a team
// file (docs/team-format.md): start one, add figures to it, show it.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "cli/subcommand.h"
#include "cli/team_sheet_command.h"
#include "program/output.h"
#include "store/figure_text.h"
#include "store/output_file.h"
#include "team/team_file.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik team new TEAM.json --cap N [--name NAME]
       zandorik team add TEAM.json FILE.QMV NAME [--count K]
       zandorik team show TEAM.json [--json]
       zandorik team sheet TEAM.json -o OUT.pdf|OUT.svg|OUT.png
                           [--paper a4|letter] [--diameter MM] [--dpi N]
                           [--registration] [--no-codes]

Builds a team of stored figures to the points cap agreed for a game. The
team file holds every figure whole, with the data file and the name it
came from and how many of it are fielded, so that it can be shared alone.
Its format is described in docs/team-format.md (installed in
/usr/share/doc/zandorik-dial/).

  new   starts an empty team in TEAM.json, never over an existing file,
        with the cap N (1 to 1000000 points) and the name NAME (without
        --name, the file's name without its extension)
  add   adds K of the figure stored as NAME in FILE.QMV (matched exactly,
        trailing blanks aside); the same figure from the same data file
        counts once more instead
  show  the team: each figure with its count, points and subtotal, then
        the total against the cap ("287 / 300 points")
  sheet the team's document to print: a roster page (the name, the cap,
        the total, and each figure with its points, team, movement, range,
        rank and a box to tick for each one fielded), then the dial sheets
        of its figures, one dial for each one fielded, as `zandorik sheet`
        makes them; written as `zandorik sheet` writes, never over the team
        file or a data file its figures came from

  --cap N      of new: the points cap
  --name NAME  of new: the team's name
  --count K    of add: how many, 1 to 99 (default 1)
  --json       of show: a JSON document instead of text
  -o, --output OUT, --paper P, --diameter MM, --dpi N, --registration,
  --no-codes   of sheet: as `zandorik sheet --help` describes them
  -h, --help   show this help
  --           end of the options

The team file is written to a temporary file beside it, flushed to the
disk and then renamed: it is never left half written. The data file is
read under its shared lock, waiting up to 3 seconds for a writer.

Exit status:
  0  done; of show: the team is within its cap
  1  the team file or the data file cannot be read, or the data file is
     in use by another program
  2  the command line or the team file is wrong, or of sheet the team has
     no figure or the output is one of its files: nothing was written
  3  of show: the team is over its cap, or a figure is priced with
     problems (named on standard error); of add: the data file is
     damaged (the figure was added from its whole records)
  4  the team file or the sheet could not be written, or TEAM.json of new
     exists
)";

constexpr std::array<OptionSpec, 10> kOptions = {{
    {"cap", 0, true},
    {"name", 0, true},
    {"count", 0, true},
    {"json", 0, false},
    // of sheet, as `zandorik sheet` takes them
    {"output", 'o', true},
    {"paper", 0, true},
    {"diameter", 0, true},
    {"dpi", 0, true},
    {"registration", 0, false},
    {"no-codes", 0, false},
}};

struct Verb {
  std::string_view name;
  std::size_t operands;  // after the verb
  std::string_view operandsText;
  std::array<std::string_view, 6> options;
};
constexpr Verb kVerbs[] = {
    {"new", 1, "TEAM.json", {"cap", "name"}},
    {"add", 3, "TEAM.json FILE.QMV NAME", {"count"}},
    {"show", 1, "TEAM.json", {"json"}},
    {"sheet",
     1,
     "TEAM.json -o OUT.pdf|OUT.svg|OUT.png",
     {"output", "paper", "diameter", "dpi", "registration", "no-codes"}},
};

class TeamRun {
 public:
  TeamRun(const CommandContext& context, std::string_view verb)
      : context_(context), me_("zandorik team " + std::string(verb)) {}

  int Fail(int status, const std::string& text) const {
    Say(text);
    return status;
  }
  void Say(const std::string& text) const {
    std::fprintf(context_.err, "%s: %s\n", me_.c_str(), VisibleText(text).c_str());
  }
  int Finish(int status, std::string_view done = {}) const {
    return FinishOutput(context_.out, context_.err, me_, status, done);
  }
  // A whole number from `low` to `high` for an option; false (said) else.
  bool Number(std::string_view option, std::int64_t low, std::int64_t high,
              std::int64_t& value) const {
    const std::string text = context_.args.Value(option);
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, value);
    if (read.ec == std::errc() && read.ptr == end && value >= low && value <= high) return true;
    Say("--" + std::string(option) + " must be a whole number from " + std::to_string(low) +
        " to " + std::to_string(high) + ", not \"" + text + "\"");
    return false;
  }
  // Reads the team file; the status to end with when it cannot be read.
  int Read(const std::string& path, Team& team) const {
    TeamText text;
    if (FileError error; !ReadTeamFile(path, text, &error))
      return Fail(kExitUnreadable, error.description);
    if (text.problems.empty()) {
      team = std::move(text.team);
      return kExitOk;
    }
    for (const std::string& problem : text.problems)
      Say(path + ": " + problem);
    if (text.unlisted > 0) Say("... and " + std::to_string(text.unlisted) + " more problems");
    return Fail(kExitUsage, path + " is no team file that can be read; nothing was written");
  }
  std::FILE* Out() const { return context_.out; }

 private:
  const CommandContext& context_;
  std::string me_;
};

int New(const CommandContext& context, const TeamRun& command) {
  const std::string& path = context.args.operands[1];
  Team team;
  if (!context.args.Has("cap")) return command.Fail(kExitUsage, "give the team's cap: --cap N");
  if (!command.Number("cap", 1, kMaxTeamCap, team.cap)) return kExitUsage;
  team.name = context.args.Has("name") ? context.args.Value("name")
                                       : std::filesystem::path(path).stem().string();
  if (FileError error; !WriteTeamFile(path, team, false, &error)) {
    if (error.number == kErrorOutputIsDataFile)
      return command.Fail(kExitUsage, error.description + "; nothing was written");
    return command.Fail(kExitWriteFailed, error.number == EEXIST
                                              ? path + " exists already; nothing was written"
                                              : error.description);
  }
  std::fprintf(command.Out(), "%s: an empty team, %s\n", VisibleText(path).c_str(),
               TotalText(TotalOf(team)).c_str());
  return command.Finish(kExitOk, "the team file was written");
}

int Add(const CommandContext& context, const TeamRun& command) {
  const std::string& teamPath = context.args.operands[1];
  const std::string& dataPath = context.args.operands[2];
  const std::string& name = context.args.operands[3];
  std::int64_t count = 1;
  if (context.args.Has("count") && !command.Number("count", 1, kMaxEntryCount, count))
    return kExitUsage;
  Team team;
  if (const int status = command.Read(teamPath, team); status != kExitOk) return status;

  struct stat there {};
  if (::stat(dataPath.c_str(), &there) != 0)
    return command.Fail(kExitUnreadable, dataPath + ": " + std::strerror(errno));
  if (!S_ISREG(there.st_mode)) return command.Fail(kExitUnreadable, dataPath + " is no data file");
  DataFile file;
  FileError error;
  if (!file.Open(dataPath, false, &error)) return command.Fail(kExitUnreadable, error.description);
  FigureRecord figure;
  bool found = false;
  std::string damage;
  {
    FileLock lock = file.Lock(RecordFile::LockKind::Shared, kLockWait, &error);
    if (!lock) {
      return command.Fail(kExitUnreadable,
                          error.number == kErrorInUse
                              ? "the data file " + dataPath + " is in use by another program"
                              : error.description);
    }
    if (!ReadStoredFigure(file, name, figure, found, &error))
      return command.Fail(kExitUnreadable, error.description);
    file.IsWhole(&damage);
  }
  if (!found) {
    return command.Fail(kExitUsage, "no figure named \"" + name + "\" is stored in " + dataPath +
                                        "; nothing was written");
  }
  const TeamSource source{std::filesystem::absolute(dataPath).lexically_normal().string(),
                          ShownName(figure)};
  if (std::string why; !AddToTeam(team, figure, source, static_cast<int>(count), &why))
    return command.Fail(kExitUsage, why + " Nothing was written.");
  if (!WriteTeamFile(teamPath, team, true, &error)) {
    return command.Fail(error.number == kErrorOutputIsDataFile ? kExitUsage : kExitWriteFailed,
                        error.description);
  }

  const TeamTotal total = TotalOf(team);
  std::fprintf(command.Out(), "%lld of \"%s\" added: %s%s\n", static_cast<long long>(count),
               VisibleText(source.name).c_str(), TotalText(total).c_str(),
               total.Over() ? ", over the cap" : "");
  if (!damage.empty()) command.Say(damage);
  return command.Finish(damage.empty() ? kExitOk : kExitDamaged, "the figure was added");
}

std::string Json(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

int Show(const CommandContext& context, const TeamRun& command) {
  const std::string& path = context.args.operands[1];
  Team team;
  if (const int status = command.Read(path, team); status != kExitOk) return status;
  const TeamTotal total = TotalOf(team);
  // A number, or what stands for none: "-" in text, null in JSON.
  const auto number = [](const auto& n, const char* none) {
    return n ? std::to_string(*n) : std::string(none);
  };
  std::string text;
  if (context.args.Has("json")) {
    text = "{\n  \"name\": " + Json(team.name) + ",\n  \"cap\": " + std::to_string(team.cap) +
           ",\n  \"total\": " + std::to_string(total.points) +
           ",\n  \"over_cap\": " + (total.Over() ? "true" : "false") +
           ",\n  \"within_cap\": " + (total.WithinCap() ? "true" : "false") + ",\n  \"figures\": [";
    for (std::size_t i = 0; i < team.entries.size(); ++i) {
      const TeamFigure& entry = team.entries[i];
      text += std::string(i == 0 ? "\n" : ",\n") +
              "    {\"name\": " + Json(ShownName(entry.figure)) +
              ", \"count\": " + std::to_string(entry.count) +
              ", \"points\": " + number(entry.price.points, "null") +
              ", \"subtotal\": " + number(entry.Subtotal(), "null") + ", \"problems\": [";
      for (std::size_t p = 0; p < entry.price.problems.size(); ++p)
        text += (p == 0 ? "" : ", ") + Json(entry.price.problems[p]);
      text += "]}";
    }
    text += team.entries.empty() ? "]\n}\n" : "\n  ]\n}\n";
  } else {
    text = "Team \"" + VisibleText(team.name) + "\", cap " + std::to_string(team.cap) + " points\n";
    char line[128];
    std::snprintf(line, sizeof line, "%7s %7s %9s  %s\n", "Count", "Points", "Subtotal", "Figure");
    text += line;
    for (const TeamFigure& entry : team.entries) {
      std::snprintf(line, sizeof line, "%7d %7s %9s  ", entry.count,
                    number(entry.price.points, "-").c_str(), number(entry.Subtotal(), "-").c_str());
      text += line + VisibleText(ShownName(entry.figure)) + "\n";
    }
    text += "Total: " + TotalText(total);
    if (total.Over())
      text += ", over the cap by " + std::to_string(total.points - total.cap) + " points";
    text += "\n";
  }
  std::fwrite(text.data(), 1, text.size(), command.Out());
  for (const TeamFigure& entry : team.entries) {
    for (const std::string& problem : entry.price.problems)
      command.Say("\"" + ShownName(entry.figure) + "\": " + problem);
    if (!entry.price.points)
      command.Say("\"" + ShownName(entry.figure) + "\" has no points: it is left out of the total");
  }
  if (!total.complete) command.Say("the team is not within its cap until every figure is priced");
  return command.Finish(total.WithinCap() ? kExitOk : kExitDamaged);
}

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  if (operands.empty()) {
    std::fputs("zandorik team: name what to do: new, add, show or sheet\n", context.err);
    return kExitUsage;
  }
  const Verb* verb = nullptr;
  for (const Verb& v : kVerbs)
    if (v.name == operands[0]) verb = &v;
  if (!verb) {
    std::fprintf(context.err,
                 "zandorik team: unknown verb \"%s\"; `zandorik team --help` lists them\n",
                 VisibleText(operands[0]).c_str());
    return kExitUsage;
  }
  const TeamRun command(context, verb->name);
  for (const auto& [option, value] : context.args.options) {
    if (std::find(verb->options.begin(), verb->options.end(), option) == verb->options.end())
      return command.Fail(kExitUsage, "takes no --" + option);
  }
  if (operands.size() != verb->operands + 1) {
    return command.Fail(kExitUsage, "takes " + std::string(verb->operandsText) +
                                        "; `zandorik team --help` says more");
  }
  if (verb->name == "new") return New(context, command);
  if (verb->name == "add") return Add(context, command);
  if (verb->name == "sheet") {
    return RunTeamSheet(context, operands[1],
                        [&](Team& team) { return command.Read(operands[1], team); });
  }
  return Show(context, command);
}

}  // namespace

extern const Subcommand kTeamCommand = {"team", "build a team of stored figures to a points cap",
                                        kHelp, kOptions, Run};

}  // namespace zandorik
