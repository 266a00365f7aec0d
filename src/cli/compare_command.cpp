// zandorik compare: two or three stored figures side by side, as the
// Compare window shows and copies them.
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <cmath>

#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "library/comparison.h"
#include "program/output.h"
#include "store/figure_text.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik compare FILE.QMV NAME NAME [NAME] [--json]

Shows two or three figures of FILE.QMV (exact stored names) side by side,
as the Figures window's Compare does and copies them: their points and
fields, the breakdown lines of each with its differences from the first
figure ("Attack +1.27"), and each dial with the squares that differ from
the first figure's starred.

  --json      one JSON object: "figures", each with its name, points
              (null when Calculate refuses it), problems, fields,
              breakdown values and dial (value, power and KO of each
              square by row), and "differences": for each figure after
              the first, its breakdown marks and the squares that differ
  -h, --help  show this help
  --          end of the options

Exit status:
  0  done
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong, or a name is not stored
  3  the data file is damaged: the figures were read as the window loads
     them
  4  the output could not be written
)";

constexpr OptionSpec kOptions[] = {{"json", 0, false}};
constexpr const char* kMe = "zandorik compare";

// The text with the control characters of its lines written visibly.
std::string VisibleLines(const std::string& text) {
  std::string visible;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    visible += VisibleText(std::string_view(text).substr(at, end - at));
    if (end < text.size()) visible += '\n';
    at = end + 1;
  }
  return visible;
}

std::string Json(const Comparison& c) {
  rapidjson::StringBuffer buffer;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> json(buffer);
  json.SetIndent(' ', 2);
  const auto text = [&](std::string_view s) {
    json.String(s.data(), static_cast<rapidjson::SizeType>(s.size()));
  };
  const auto number = [&](double v) { std::isfinite(v) ? json.Double(v) : json.Null(); };
  json.StartObject();
  json.Key("figures");
  json.StartArray();
  for (std::size_t i = 0; i < c.figures.size(); ++i) {
    const FigureScreen& figure = c.figures[i].figure;
    json.StartObject();
    json.Key("name");
    text(c.figures[i].label);
    json.Key("points");
    c.problems[i] == 0 && c.prices[i].points ? json.Int(*c.prices[i].points) : json.Null();
    json.Key("problems");
    json.Int(c.problems[i]);
    json.Key("fields");
    json.StartObject();
    for (const FieldLine& line : c.fields) {
      json.Key(line.field.c_str());
      text(line.values[i]);
    }
    json.EndObject();
    json.Key("breakdown");
    json.StartObject();
    for (const BreakdownLine& line : c.breakdown) {
      json.Key(line.field.c_str());
      number(line.values[i]);
    }
    json.EndObject();
    json.Key("dial");
    json.StartObject();
    for (StatRow row : kStatRows) {
      json.Key(std::string(StatRowName(row)).c_str());
      json.StartArray();
      for (int column = 0; column < kColumnCount; ++column) {
        json.StartObject();
        json.Key("ko");
        json.Bool(figure.ShowsKO(row, column));
        json.Key("value");
        number(figure.CaptionValue(row, column));
        json.Key("power");
        const int colour = figure.ColourOf(row, column);
        if (colour >= 0) {
          text(PowerName(row, colour));
        } else {
          json.Null();
        }
        json.EndObject();
      }
      json.EndArray();
    }
    json.EndObject();
    json.EndObject();
  }
  json.EndArray();
  json.Key("differences");
  json.StartArray();
  for (std::size_t i = 1; i < c.figures.size(); ++i) {
    json.StartObject();
    json.Key("name");
    text(c.figures[i].label);
    json.Key("breakdown");
    json.StartArray();
    for (const BreakdownLine& line : c.breakdown) {
      if (!line.marks[i].empty()) text(line.marks[i]);
    }
    json.EndArray();
    json.Key("squares");
    json.StartArray();
    for (StatRow row : kStatRows) {
      for (int column = 0; column < kColumnCount; ++column) {
        if (!c.differs[i][static_cast<int>(row)][column]) continue;
        json.StartObject();
        json.Key("row");
        text(StatRowName(row));
        json.Key("click");
        json.Int(column + 1);
        json.EndObject();
      }
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
  if (operands.size() < 3 || operands.size() > 4) {
    std::fprintf(context.err, "%s: %s; `zandorik compare --help` says what it takes\n", kMe,
                 operands.size() < 3 ? "name the data file and two or three figures"
                                     : "compares at most three figures");
    return kExitUsage;
  }
  const std::vector<std::string> names(operands.begin() + 1, operands.end());
  StoredFigures stored;
  if (const int opened = stored.Open(operands.front(), names, context.err, kMe);
      opened != kExitOk) {
    return opened;
  }
  std::vector<ComparedFigure> figures;
  bool damaged = false;
  FileError error;
  const bool read = stored.Each(
      [&](const FigureRecord& record) {
        ComparedFigure& f = figures.emplace_back();
        f.label = ShownName(record);
        std::vector<std::string> damage;
        if (!ShowRecordOnScreen(record, f.figure, &damage)) {
          damaged = true;
          for (const std::string& d : damage)
            std::fprintf(context.err, "%s: \"%s\": %s\n", kMe, VisibleText(f.label).c_str(),
                         d.c_str());
        }
        f.figure.name = f.label;
        return true;
      },
      &error);
  if (!read) {
    std::fprintf(context.err, "%s: %s: %s\n", kMe, VisibleText(operands.front()).c_str(),
                 error.description.c_str());
    return kExitUnreadable;
  }
  if (figures.size() < 2) {
    std::fprintf(context.err, "%s: the names are one figure; name two or three figures\n", kMe);
    return kExitUsage;
  }
  const Comparison comparison = CompareFigures(std::move(figures));
  const std::string text =
      context.args.Has("json") ? Json(comparison) : VisibleLines(ComparisonText(comparison));
  std::fwrite(text.data(), 1, text.size(), context.out);
  std::string damage;
  if (!stored.File().IsWhole(&damage)) {
    damaged = true;
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(damage).c_str());
  }
  return FinishOutput(context.out, context.err, kMe, damaged ? kExitDamaged : kExitOk);
}

}  // namespace

extern const Subcommand kCompareCommand = {"compare", "show two or three figures side by side",
                                           kHelp, kOptions, Run};

}  // namespace zandorik
