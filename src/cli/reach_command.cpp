// zandorik reach: the smallest sets of changes that bring a stored figure
// to the points wanted, as the window's points helper finds them.
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <charconv>

#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "program/output.h"
#include "reach/draft_figure.h"
#include "reach/reach_search.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp =
    R"help(Usage: zandorik reach FILE.QMV NAME --target N [--tolerance T]
                      [--change KIND,...] [--max-changes M] [--json]

Finds the smallest sets of changes that bring the figure NAME of FILE.QMV
to N points, priced as Calculate prices them: every single change that
does, then, while fewer than ten are found, pairs, then triples (at most
100 pairs and 100 triples, the first in the order). Sets are listed by
number of changes, then by how far they move the figure (the sizes of
their changes added up), then by how near their total comes to N. When
nothing within the changes allowed gets there, the sets closest on each
side are listed instead: for each number of changes, the closest below
and above that beats every smaller set. The name, the KO columns and the
number of clicks change only with "length".

  -t, --target N       the points wanted, a whole number
      --tolerance T    accept N-T to N+T points (default 0)
      --change KINDS   what may change, a list of these joined by commas
                       (default values,range,bolts), and what one change
                       of each kind is:
         values    a live square's value to another whole number from 0
                   to 20 (Speed, Attack), 30 (Defense) or 5 (Damage);
                   size: the difference
         powers    a live square's colour to plain or another power of
                   its row; size 1
         range     the range to another of 0, 2, 4 ... 14; size: the
                   steps of 2 between them
         bolts     the bolts ticked to another count from 0 to 3 (ticked
                   from the left, cleared from the right); size: the
                   difference
         team, movement, rank
                   the field to another entry of its list; size 1
         length    the live clicks to another count from 1 to 11: the
                   first N columns live, the rest KO; a column brought
                   back repeats each row's last live value, plain; size:
                   the difference
      --max-changes M  at most M changes in a set, 1 to 3 (default 3)
      --json           a JSON array of the sets: their changes (each with
                       its kind, as --change names it), points, total,
                       size and side ("reaches", "below", "above")
  -h, --help           show this help
  --                   end of the options

Output: a line with the figure's price now, then one set a line: its
changes joined by "; ", then " = P points (total X)"; the closest sets
begin with "closest below: " or "closest above: ".

Exit status:
  0  done, whether or not a set reaches N
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong: no target, a target or tolerance that is
     not a whole number up to 1000000, an unknown kind of change, or a
     name the file does not hold
  3  the data file is damaged: the figure was read as the window loads it
  4  the output could not be written
)help";

constexpr OptionSpec kOptions[] = {{"target", 't', true},
                                   {"tolerance", 0, true},
                                   {"change", 0, true},
                                   {"max-changes", 0, true},
                                   {"json", 0, false}};
constexpr const char* kMe = "zandorik reach";

bool WholeNumber(const std::string& text, std::int64_t low, std::int64_t high,
                 std::int64_t& value) {
  const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(begin, end, value);
  return begin != end && result.ec == std::errc() && result.ptr == end && value >= low &&
         value <= high;
}

// The request, or the complaint that makes the command line wrong.
bool ReadRequest(const ParsedArgs& args, ReachRequest& request, std::string& why) {
  if (args.operands.size() != 2) {
    why = args.operands.size() < 2 ? "name the data file and the figure: FILE.QMV NAME"
                                   : "reaches one figure at a time: FILE.QMV NAME";
    return false;
  }
  if (!args.Has("target")) {
    why = "give the points wanted with --target N";
    return false;
  }
  const std::string target = args.Value("target"), tolerance = args.Value("tolerance", "0");
  if (!WholeNumber(target, -kTargetLimit, kTargetLimit, request.target)) {
    why = "the target \"" + target + "\" is not a whole number of points from -1000000 to 1000000";
    return false;
  }
  if (!WholeNumber(tolerance, 0, kTargetLimit, request.tolerance)) {
    why = "the tolerance \"" + tolerance + "\" is not a whole number of points from 0 to 1000000";
    return false;
  }
  if (args.Has("change") && !ParseChangeKinds(args.Value("change"), request.kinds, &why))
    return false;
  std::int64_t most = 3;
  const std::string maxChanges = args.Value("max-changes", "3");
  if (!WholeNumber(maxChanges, 1, 3, most)) {
    why = "--max-changes takes 1, 2 or 3, not \"" + maxChanges + "\"";
    return false;
  }
  request.maxChanges = static_cast<int>(most);
  return true;
}

const char* SideWord(Side side) {
  switch (side) {
    case Side::Below:
      return "below";
    case Side::Above:
      return "above";
    default:
      return "reaches";
  }
}

std::string Json(const ReachReport& report) {
  rapidjson::StringBuffer buffer;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> json(buffer);
  json.SetIndent(' ', 2);
  const auto text = [&](const std::string& s) {
    json.String(s.c_str(), static_cast<rapidjson::SizeType>(s.size()));
  };
  json.StartArray();
  for (const Suggestion& s : report.suggestions) {
    json.StartObject();
    json.Key("changes");
    json.StartArray();
    for (const Change& c : s.changes) {
      json.StartObject();
      json.Key("kind");
      text(std::string(ChangeKindWord(c.kind)));
      if (c.kind == ChangeKind::Value || c.kind == ChangeKind::Power) {
        json.Key("row");
        text(std::string(StatRowName(c.row)));
        json.Key("click");
        json.Int(c.column + 1);
      }
      const bool named = c.kind == ChangeKind::Power || c.kind == ChangeKind::Team ||
                         c.kind == ChangeKind::Movement || c.kind == ChangeKind::Rank;
      json.Key("from");
      named ? text(c.FromText()) : static_cast<void>(json.Double(c.from));
      json.Key("to");
      named ? text(c.ToText()) : static_cast<void>(json.Double(c.to));
      json.Key("text");
      text(c.Text());
      json.EndObject();
    }
    json.EndArray();
    json.Key("text");
    text(s.Text());
    json.Key("points");
    json.Int(s.points);
    json.Key("total");
    json.Double(s.total);
    json.Key("size");
    json.Double(s.size);
    json.Key("side");
    json.String(SideWord(s.side));
    json.EndObject();
  }
  json.EndArray();
  return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

int Run(const CommandContext& context) {
  ReachRequest request;
  std::string why;
  if (!ReadRequest(context.args, request, why)) {
    std::fprintf(context.err, "%s: %s; `zandorik reach --help` says what it takes\n", kMe,
                 why.c_str());
    return kExitUsage;
  }
  StoredFigure figure;
  int status = kExitOk;
  if (!ReadStoredFigure(context.args.operands[0], context.args.operands[1], figure, status, &why)) {
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(why).c_str());
    return status;
  }
  for (const std::string& damage : figure.damage)
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(damage).c_str());
  const int done = figure.damage.empty() ? kExitOk : kExitDamaged;

  const ReachReport report = FindReach(figure.screen, request);
  if (context.args.Has("json")) {
    const std::string text = Json(report);
    std::fwrite(text.data(), 1, text.size(), context.out);
    return FinishOutput(context.out, context.err, kMe, done);
  }
  const LivePrice now = PriceFigure(figure.screen);
  std::string target = std::to_string(request.target);
  if (request.tolerance != 0) target += " +/- " + std::to_string(request.tolerance);
  std::fprintf(context.out, "\"%s\": %s, target %s\n", VisibleText(figure.screen.name).c_str(),
               PointsAndTotal(now.calculation.points, now.calculation.total).c_str(),
               target.c_str());
  for (const std::string& problem : now.problems)
    std::fprintf(context.out, "Calculate would say: %s\n", problem.c_str());
  if (report.singlesOnly)
    std::fputs("Its values are too large to add changes up exactly: single changes only.\n",
               context.out);
  switch (report.outcome) {
    case ReachOutcome::AtTarget:
      std::fputs("On target already: nothing to change.\n", context.out);
      break;
    case ReachOutcome::Nothing:
      std::fputs("No change of the kinds allowed gives a figure that Calculate accepts.\n",
                 context.out);
      break;
    case ReachOutcome::Closest:
      std::fprintf(context.out, "Nothing within %d change%s reaches %s; the closest:\n",
                   report.searched, report.searched == 1 ? "" : "s", target.c_str());
      break;
    default:
      break;
  }
  for (const Suggestion& s : report.suggestions) {
    const char* prefix = s.side == Side::Below   ? "closest below: "
                         : s.side == Side::Above ? "closest above: "
                                                 : "";
    std::fprintf(context.out, "%s%s = %s\n", prefix, s.Text().c_str(),
                 PointsAndTotal(s.points, s.total).c_str());
  }
  return FinishOutput(context.out, context.err, kMe, done);
}

}  // namespace

extern const Subcommand kReachCommand = {
    "reach", "find the smallest changes that bring a figure to a price", kHelp, kOptions, Run};

}  // namespace zandorik
