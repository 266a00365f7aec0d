// zandorik worth: what each square of a stored figure is worth, as the
// window's points helper shows it.
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "model/numbers.h"
#include "program/output.h"
#include "reach/draft_figure.h"
#include "reach/worth.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik worth FILE.QMV NAME [--json]

Shows what each square of the figure NAME of FILE.QMV is worth: how its
total, priced as Calculate prices it, would change if the square were one
less, one more, plain (no power), or KO ("Knocked Out" on that square,
which makes its column and every column to its right KO). Four tables of
the four stat rows by the eleven clicks, one for each of those changes,
each square giving the change of the total to two decimals: "KO" for a KO
square, "-" where the change does not apply (plain for a plain square),
"!" where Calculate would refuse the changed figure.

  --json      one JSON object: the figure's name, points and total, and
              for each row its eleven squares with their value, power and
              the four changes (points, total, their changes and what
              Calculate would say), null where a change does not apply
  -h, --help  show this help
  --          end of the options

Exit status:
  0  done
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong, or the file holds no figure of that name
  3  the data file is damaged: the figure was read as the window loads it
  4  the output could not be written
)";

constexpr OptionSpec kOptions[] = {{"json", 0, false}};
constexpr const char* kMe = "zandorik worth";
constexpr const char* kVariantKeys[kVariantCount] = {"oneLess", "oneMore", "plain", "ko"};

std::string Table(const FigureScreen& figure, const DialWorth& worth, double total) {
  std::string text;
  char cell[32];
  for (int v = 0; v < kVariantCount; ++v) {
    text +=
        "\n" + std::string(VariantName(static_cast<Variant>(v))) + ": change of the total\n       ";
    for (int column = 0; column < kColumnCount; ++column) {
      std::snprintf(cell, sizeof cell, "%7d", column + 1);
      text += cell;
    }
    text += "\n";
    for (StatRow row : kStatRows) {
      std::snprintf(cell, sizeof cell, "%-7s", std::string(StatRowName(row)).c_str());
      text += cell;
      for (int column = 0; column < kColumnCount; ++column) {
        const VariantWorth& w = worth[static_cast<int>(row)][column].variants[v];
        if (figure.Square(row, column).IsKO()) {
          std::snprintf(cell, sizeof cell, "%7s", "KO");
        } else if (!w.possible) {
          std::snprintf(cell, sizeof cell, "%7s", "-");
        } else if (!w.problems.empty() || !w.points) {
          std::snprintf(cell, sizeof cell, "%7s", "!");
        } else {
          std::snprintf(cell, sizeof cell, "%+7.2f", w.total - total);
        }
        text += cell;
      }
      text += "\n";
    }
  }
  return text;
}

std::string Json(const FigureScreen& figure, const DialWorth& worth, const LivePrice& now) {
  rapidjson::StringBuffer buffer;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> json(buffer);
  json.SetIndent(' ', 2);
  const auto text = [&](std::string_view s) {
    json.String(s.data(), static_cast<rapidjson::SizeType>(s.size()));
  };
  const auto points = [&](std::optional<std::int32_t> p) { p ? json.Int(*p) : json.Null(); };
  const std::optional<std::int32_t> pointsNow = now.calculation.points;
  json.StartObject();
  json.Key("name");
  text(figure.name);
  json.Key("points");
  points(pointsNow);
  json.Key("total");
  json.Double(now.calculation.total);
  json.Key("rows");
  json.StartArray();
  for (StatRow row : kStatRows) {
    json.StartObject();
    json.Key("row");
    text(StatRowName(row));
    json.Key("clicks");
    json.StartArray();
    for (int column = 0; column < kColumnCount; ++column) {
      const DialSquare& square = figure.Square(row, column);
      json.StartObject();
      json.Key("click");
      json.Int(column + 1);
      json.Key("ko");
      json.Bool(square.IsKO());
      json.Key("value");
      json.Double(figure.CaptionValue(row, column));
      json.Key("power");
      if (const int colour = figure.ColourOf(row, column); colour >= 0) {
        text(PowerName(row, colour));
      } else {
        json.Null();
      }
      for (int v = 0; v < kVariantCount; ++v) {
        const VariantWorth& w = worth[static_cast<int>(row)][column].variants[v];
        json.Key(kVariantKeys[v]);
        if (!w.possible) {
          json.Null();
          continue;
        }
        json.StartObject();
        json.Key("points");
        points(w.points);
        json.Key("total");
        json.Double(w.total);
        json.Key("pointsChange");
        w.points&& pointsNow ? json.Int(*w.points - *pointsNow) : json.Null();
        json.Key("totalChange");
        json.Double(w.total - now.calculation.total);
        json.Key("problems");
        json.StartArray();
        for (const std::string& problem : w.problems)
          text(problem);
        json.EndArray();
        json.EndObject();
      }
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  if (operands.size() != 2) {
    std::fprintf(context.err, "%s: %s; `zandorik worth --help` says what it takes\n", kMe,
                 operands.size() < 2 ? "name the data file and the figure: FILE.QMV NAME"
                                     : "shows one figure at a time: FILE.QMV NAME");
    return kExitUsage;
  }
  StoredFigure figure;
  int status = kExitOk;
  std::string why;
  if (!ReadStoredFigure(operands[0], operands[1], figure, status, &why)) {
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(why).c_str());
    return status;
  }
  for (const std::string& damage : figure.damage)
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(damage).c_str());
  const LivePrice now = PriceFigure(figure.screen);
  const DialWorth worth = WorthOfDial(figure.screen);
  std::string text;
  if (context.args.Has("json")) {
    text = Json(figure.screen, worth, now);
  } else {
    text = "\"" + VisibleText(figure.screen.name) +
           "\": " + PointsAndTotal(now.calculation.points, now.calculation.total) + "\n";
    for (const std::string& problem : now.problems)
      text += "Calculate would say: " + problem + "\n";
    text += Table(figure.screen, worth, now.calculation.total);
  }
  std::fwrite(text.data(), 1, text.size(), context.out);
  return FinishOutput(context.out, context.err, kMe,
                      figure.damage.empty() ? kExitOk : kExitDamaged);
}

}  // namespace

extern const Subcommand kWorthCommand = {"worth", "show what each square of a figure is worth",
                                         kHelp, kOptions, Run};

}  // namespace zandorik
