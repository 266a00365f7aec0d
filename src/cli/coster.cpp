#include "cli/coster.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cost/calculations.h"
#include "model/numbers.h"
#include "store/record_file.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

constexpr const char* kHelp = R"(Usage: zandorik-cost [--breakdown | --json] FILE.QMV

Prices every figure stored in a Zandorik Dial Generator data file, the way
the main window prices a figure after it is picked from the name list.
Deleted records are skipped; the others are listed in record order.

Output, one figure a line:  RECORD  POINTS  NAME
(POINTS is "?" when the total leaves the range of whole numbers.)

  --breakdown  also print under each figure the eleven partial costs of the
               breakdown window, the movement cost and every message that
               the window would show while pricing it
  --json       print one JSON array with an object per figure:
               {"record": 1, "name": "...", "points": 46,
                "breakdown": {"speed": "3.5", "attack": ..., "defense": ...,
                              "damage": ..., "speedPower": ...,
                              "attackPower": ..., "defensePower": ...,
                              "damagePower": ..., "range": ..., "bolts": ...,
                              "team": ...},
                "movement": "4.66666666666667", "messages": [...]}
               values are the texts the breakdown window shows; "points" is
               null when the total leaves the range of whole numbers
  -h, --help   show this help

Exit status:
  0  the file was read (whatever the figures cost)
  1  the file is missing or cannot be read
  2  the command line is wrong
  3  the file is damaged: what could be read was priced, and each piece of
     damage is named on standard error with its record number
)";

constexpr std::array<const char*, 11> kBreakdownKeys = {
    "speed",        "attack",      "defense", "damage", "speedPower", "attackPower",
    "defensePower", "damagePower", "range",   "bolts",  "team"};

std::string TrimmedName(const std::string& name) {
  const std::size_t end = name.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

// Output goes through one buffer, flushed in large pieces.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) { buffer_.reserve(kFlushAt + 4096); }
  ~Output() { Flush(); }
  void Add(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::FILE* file_;
  std::string buffer_;
};

enum class Format { Plain, Breakdown, Json };

void PrintFigure(Format format, std::int64_t number, const std::string& name,
                 const Calculation& calc, const std::vector<std::string>& messages, bool first,
                 Output& out) {
  const std::string points = PointsText(calc);
  if (format == Format::Json) {
    nlohmann::ordered_json figure;
    figure["record"] = number;
    figure["name"] = name;
    if (calc.points) {
      figure["points"] = *calc.points;
    } else {
      figure["points"] = nullptr;
    }
    const std::array<std::string, 11> texts = BreakdownTexts(calc.breakdown);
    nlohmann::ordered_json breakdown;
    for (std::size_t i = 0; i < texts.size(); ++i)
      breakdown[kBreakdownKeys[i]] = texts[i];
    figure["breakdown"] = std::move(breakdown);
    figure["movement"] = FormatGeneral(calc.movement);
    figure["messages"] = messages;
    out.Add(first ? "\n" : ",\n");
    out.Add(figure.dump());
    return;
  }

  char line[64];
  std::snprintf(line, sizeof line, "%6lld  %6s  ", static_cast<long long>(number),
                points.empty() ? "?" : points.c_str());
  out.Add(line);
  out.Add(name);
  out.Add("\n");
  if (format != Format::Breakdown) return;
  const std::array<std::string, 11> t = BreakdownTexts(calc.breakdown);
  out.Add("        Statistics: speed " + t[0] + ", attack " + t[1] + ", defense " + t[2] +
          ", damage " + t[3] + "\n");
  out.Add("        Powers: speed " + t[4] + ", attack " + t[5] + ", defense " + t[6] + ", damage " +
          t[7] + "\n");
  out.Add("        Range " + t[8] + ", bolts " + t[9] + ", team " + t[10] + ", movement " +
          FormatGeneral(calc.movement) + "\n");
  for (const std::string& message : messages)
    out.Add("        Message: " + message + "\n");
}

}  // namespace

int RunCoster(const std::vector<std::string>& args, std::FILE* outFile, std::FILE* err) {
  Format format = Format::Plain;
  std::string path;
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      std::fputs(kHelp, outFile);
      return kCostOk;
    }
    if (arg == "--json") {
      format = Format::Json;
    } else if (arg == "--breakdown") {
      if (format != Format::Json) format = Format::Breakdown;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(err, "zandorik-cost: unknown option %s (try --help)\n", arg.c_str());
      return kCostUsage;
    } else if (!path.empty()) {
      std::fprintf(err, "zandorik-cost: give one data file only (try --help)\n");
      return kCostUsage;
    } else {
      path = arg;
    }
  }
  if (path.empty()) {
    std::fprintf(err, "zandorik-cost: no data file given (try --help)\n");
    return kCostUsage;
  }

  RecordFile file;
  FileError error;
  std::int64_t size = 0;
  if (!file.Open(path, RecordFile::Mode::ReadOnly, &error) || !file.Size(size, &error)) {
    std::fprintf(err, "zandorik-cost: cannot read %s: %s\n", path.c_str(),
                 error.description.c_str());
    return kCostUnreadable;
  }

  bool damaged = false;
  const auto reportDamage = [&](const std::string& text) {
    std::fflush(outFile);
    std::fprintf(err, "zandorik-cost: %s: %s\n", path.c_str(), text.c_str());
    damaged = true;
  };

  Output out(outFile);
  if (format == Format::Json) out.Add("[");
  constexpr std::int64_t kChunk = 1024;
  auto buffer = std::make_unique<std::uint8_t[]>(kChunk * kRecordLength);
  FigureScreen screen;
  CollectingSink sink;
  bool first = true;
  bool failed = false;
  for (std::int64_t n = 1;;) {
    const std::int64_t got = file.ReadRaw(n, buffer.get(), kChunk, &error);
    if (got < 0) {
      out.Flush();
      std::fprintf(err, "zandorik-cost: cannot read %s: %s\n", path.c_str(),
                   error.description.c_str());
      failed = true;
      break;
    }
    for (std::int64_t i = 0; i < got; ++i, ++n) {
      const FigureRecord record = DecodeRecord(buffer.get() + i * kRecordLength);
      if (record.IsDeleted()) continue;
      for (const std::string& damage : ShowRecordOnScreen(record, screen)) {
        out.Flush();
        reportDamage("record " + std::to_string(n) + ": " + damage);
      }
      sink.messages.clear();
      const Calculation calc = CalculateFigure(screen, sink);
      PrintFigure(format, n, TrimmedName(record.Name), calc, sink.messages, first, out);
      first = false;
    }
    if (got < kChunk) break;
  }
  if (format == Format::Json) out.Add(first ? "]\n" : "\n]\n");
  out.Flush();

  if (const std::int64_t extra = size % static_cast<std::int64_t>(kRecordLength); extra != 0) {
    reportDamage("the file is " + std::to_string(size) + " bytes long, not a whole number of " +
                 std::to_string(kRecordLength) + "-byte records; the last " +
                 std::to_string(extra) + " bytes were ignored");
  }
  if (failed) return kCostUnreadable;
  return damaged ? kCostDamaged : kCostOk;
}

}  // namespace zandorik
