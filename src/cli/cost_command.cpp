// zandorik cost, and zandorik-cost, its older name: prices every figure of
// a data file at once.
#include <rapidjson/writer.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>

#include "cli/subcommand.h"
#include "cost/calculations.h"
#include "model/numbers.h"
#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

constexpr const char* kHelp = R"(Usage: zandorik cost [--breakdown | --json] [--] FILE.QMV
       zandorik-cost [--breakdown | --json] [--] FILE.QMV

Prices every figure stored in a Zandorik Dial Generator data file, the way
the main window prices a figure after it is picked from the name list.
Deleted records are skipped; the others are listed in record order.
zandorik-cost is the same command under its older name: the same options,
output and exit statuses.

Output, one figure a line:  RECORD  POINTS  NAME
(POINTS is "?" when the total leaves the range of whole numbers; control
characters in a name are written as \n, \t, \u001b and the like.)

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
  --version    print the program's name and version
  --           end of the options: the next argument is the file, even if
               it begins with "-"

Exit status:
  0  the file was read (whatever the figures cost)
  1  the file is missing, cannot be read, is not a regular file or is not
     a data file (a JSON, PDF, SVG or PNG file)
  2  the command line is wrong (FILE.QMV "-" too: a data file is never
     standard input)
  3  the file is damaged: what could be read was priced, and each piece of
     damage is named on standard error with its record number
  4  the output could not be written (a full disk, a closed pipe ...);
     the coster stops at the first failed write and says why
)";

// Keys with their quotes, as they are written.
constexpr std::array<std::string_view, 11> kBreakdownKeys = {
    R"("speed")",      R"("attack")",      R"("defense")",      R"("damage")",
    R"("speedPower")", R"("attackPower")", R"("defensePower")", R"("damagePower")",
    R"("range")",      R"("bolts")",       R"("team")"};

// Output goes through one buffer, written in large pieces. The first
// failed write is kept, and nothing is written after it.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file), buffer_(std::make_unique<char[]>(kSize)) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void Put(char c) {
    if (used_ == kSize) Flush();
    buffer_[used_++] = c;
  }
  void Add(std::string_view text) {
    if (text.size() <= 32 && kSize - used_ >= text.size()) {  // most pieces: short
      char* to = buffer_.get() + used_;
      for (char c : text)
        *to++ = c;
      used_ += text.size();
      return;
    }
    while (!text.empty()) {
      if (used_ == kSize) Flush();
      const std::size_t n = std::min(text.size(), kSize - used_);
      std::memcpy(buffer_.get() + used_, text.data(), n);
      used_ += n;
      text.remove_prefix(n);
    }
  }
  void Add(const char* begin, const char* end) { Add(std::string_view(begin, end - begin)); }
  // Text with its control characters escaped (see VisibleText).
  void AddVisible(std::string_view text) {
    for (char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || u == 0x7F || u == 0xC2) {
        Add(VisibleText(text));
        return;
      }
    }
    Add(text);
  }
  // Hands the buffer to the file and the file's own buffer to the system.
  bool Flush() {
    if (error_ != 0) {
      used_ = 0;
      return false;
    }
    errno = 0;
    if ((used_ > 0 && std::fwrite(buffer_.get(), 1, used_, file_) != used_) ||
        std::fflush(file_) != 0 || std::ferror(file_)) {
      error_ = errno != 0 ? errno : EIO;
    }
    used_ = 0;
    return error_ == 0;
  }
  bool Failed() const { return error_ != 0; }
  int Error() const { return error_; }

 private:
  static constexpr std::size_t kSize = 1 << 16;
  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  int error_ = 0;
};

// RapidJSON's writer straight into the output. The writer flushes its
// stream after each figure, a whole value to it; the output is flushed
// in large pieces instead.
struct JsonStream {
  using Ch = char;
  Output& out;
  void Put(char c) { out.Put(c); }
  void Flush() {}
};

// RapidJSON's writer with one addition: a key or value whose JSON text is
// ready (a constant key, a number's text, an escaped string) goes into the
// output in one piece instead of character by character.
class FigureWriter : public rapidjson::Writer<JsonStream> {
 public:
  using Writer::Writer;
  void Ready(std::string_view json) {
    Prefix(rapidjson::kStringType);
    os_->out.Add(json);
    EndValue(true);
  }
};

enum class Format { Plain, Breakdown, Json };

// Prints the figures in the chosen format. Nothing here allocates per
// figure unless the figure has messages.
class Printer {
 public:
  Printer(Format format, Output& out) : format_(format), out_(out), stream_{out}, json_(stream_) {}

  void Start() {
    if (format_ == Format::Json) out_.Add("[");
  }
  void Finish() {
    if (format_ == Format::Json) out_.Add(first_ ? "]\n" : "\n]\n");
  }

  void Figure(std::int64_t number, std::string_view name, const Calculation& calc,
              const std::vector<std::string>& messages) {
    if (format_ == Format::Json) {
      Json(number, name, calc, messages);
    } else {
      Lines(number, name, calc, messages);
    }
    first_ = false;
  }

 private:
  // A whole number right-aligned in 6 columns, then two blanks.
  void Column(std::int64_t value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Padded(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  void Padded(std::string_view text) {
    for (std::size_t n = text.size(); n < 6; ++n)
      out_.Put(' ');
    out_.Add(text);
    out_.Add("  ");
  }
  void General(double value) {
    char text[kGeneralLength];
    out_.Add(text, FormatGeneralTo(value, text));
  }

  void Lines(std::int64_t number, std::string_view name, const Calculation& calc,
             const std::vector<std::string>& messages) {
    Column(number);
    if (calc.points) {
      Column(*calc.points);
    } else {
      Padded("?");
    }
    out_.AddVisible(name);
    out_.Put('\n');
    if (format_ != Format::Breakdown) return;
    const Breakdown& b = calc.breakdown;
    const auto field = [this](std::string_view label, double value) {
      out_.Add(label);
      General(value);
    };
    field("        Statistics: speed ", b.speed);
    field(", attack ", b.attack);
    field(", defense ", b.defense);
    field(", damage ", b.damage);
    field("\n        Powers: speed ", b.speedPower);
    field(", attack ", b.attackPower);
    field(", defense ", b.defensePower);
    field(", damage ", b.damagePower);
    field("\n        Range ", b.range);
    field(", bolts ", b.bolts);
    field(", team ", b.team);
    field(", movement ", calc.movement);
    out_.Put('\n');
    for (const std::string& message : messages) {
      out_.Add("        Message: ");
      out_.AddVisible(message);
      out_.Put('\n');
    }
  }

  // A JSON string, escaped here: RapidJSON writes the six-character
  // escapes with capital hex digits, and the output has always had small
  // ones (\u001f). Everything else is escaped as RapidJSON does: the
  // quote, the backslash, and \b \t \n \f \r for those controls.
  void JsonString(std::string_view text) {
    escaped_.assign(1, '"');
    const auto special = [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
    };
    if (std::none_of(text.begin(), text.end(), special)) {
      escaped_.append(text);
    } else {
      char escape[8];
      for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
          escaped_.append(escape, EscapeControl(static_cast<unsigned char>(c), escape));
        } else {
          if (c == '"' || c == '\\') escaped_ += '\\';
          escaped_ += c;
        }
      }
    }
    escaped_ += '"';
    json_.Ready(escaped_);
  }
  // A number's text needs no escapes: it goes in as it stands.
  void JsonGeneral(double value) {
    char text[kGeneralLength + 2];
    text[0] = '"';
    char* end = FormatGeneralTo(value, text + 1);
    *end++ = '"';
    json_.Ready(std::string_view(text, static_cast<std::size_t>(end - text)));
  }

  void Json(std::int64_t number, std::string_view name, const Calculation& calc,
            const std::vector<std::string>& messages) {
    out_.Add(first_ ? "\n" : ",\n");
    json_.Reset(stream_);
    json_.StartObject();
    json_.Ready(R"("record")");
    json_.Int64(number);
    json_.Ready(R"("name")");
    JsonString(name);
    json_.Ready(R"("points")");
    if (calc.points) {
      json_.Int(*calc.points);
    } else {
      json_.Null();
    }
    json_.Ready(R"("breakdown")");
    json_.StartObject();
    const Breakdown& b = calc.breakdown;
    const double values[] = {b.speed,      b.attack,      b.defense,      b.damage,
                             b.speedPower, b.attackPower, b.defensePower, b.damagePower,
                             b.range,      b.bolts,       b.team};
    for (std::size_t i = 0; i < kBreakdownKeys.size(); ++i) {
      json_.Ready(kBreakdownKeys[i]);
      JsonGeneral(values[i]);
    }
    json_.EndObject();
    json_.Ready(R"("movement")");
    JsonGeneral(calc.movement);
    json_.Ready(R"("messages")");
    json_.StartArray();
    for (const std::string& message : messages)
      JsonString(message);
    json_.EndArray();
    json_.EndObject();
  }

  Format format_;
  Output& out_;
  JsonStream stream_;
  FigureWriter json_;
  std::string escaped_;
  bool first_ = true;
};

// Prices every record of the open file, read under its shared lock, so
// that no window writes while the coster reads.
int PriceDataFile(const DataFile& file, Format format, std::string_view who,
                  const std::string& path, std::FILE* outFile, std::FILE* err) {
  const std::string shownPath = VisibleText(path);
  const auto say = [&](const std::string& text) {
    std::fprintf(err, "%.*s: %s\n", static_cast<int>(who.size()), who.data(), text.c_str());
  };
  Output out(outFile);
  bool damaged = false;
  const auto reportDamage = [&](const std::string& text) {
    if (!out.Flush()) return;  // keeps the two streams in order on one terminal
    say(shownPath + ": " + text);
    damaged = true;
  };

  Printer printer(format, out);
  printer.Start();
  FigureRecord record;
  std::string name;
  std::vector<std::string> damage;
  CollectingSink sink;
  FileError error;
  std::int64_t records = 0;
  std::int64_t tail = 0;
  const bool read = file.Scan(
      [&](std::int64_t number, const std::uint8_t* bytes) {
        records = number;
        DecodeRecordNumbers(bytes, record);
        if (record.IsDeleted()) return true;
        const RecordFigure figure(record);
        if (!figure.Sound()) {
          damage.clear();
          DescribeRecordDamage(record, damage);
          for (const std::string& d : damage)
            reportDamage("record " + std::to_string(number) + ": " + d);
        }
        sink.messages.clear();
        const Calculation calc = CalculateFigure(figure, sink);
        // Names are padded with blanks; byte 0x20 is the blank in the code page.
        std::string_view stored(reinterpret_cast<const char*>(bytes + record_offset::kName),
                                kNameLength);
        stored = stored.substr(0, stored.find_last_not_of(' ') + 1);
        name.clear();
        AppendCp1252(stored, name);
        printer.Figure(number, name, calc, sink.messages);
        return !out.Failed();
      },
      &error, &tail);
  if (!read) {
    out.Flush();
    say("cannot read " + shownPath + ": " + error.description);
    return kExitUnreadable;
  }
  printer.Finish();
  out.Flush();
  if (out.Failed()) {
    say(std::string("cannot write the output: ") + std::strerror(out.Error()));
    return kExitWriteFailed;
  }
  if (tail != 0) {
    reportDamage("the file is " + std::to_string(records * kRecordLength + tail) +
                 " bytes long, not a whole number of " + std::to_string(kRecordLength) +
                 "-byte records; the last " + std::to_string(tail) +
                 " bytes were ignored. To repair it, run: zandorik repair " + shownPath);
  }
  return damaged ? kExitDamaged : kExitOk;
}

int RunCost(const CommandContext& context) {
  const std::string_view who = context.who.empty() ? "zandorik cost" : context.who;
  const auto say = [&](const std::string& text) {
    std::fprintf(context.err, "%.*s: %s\n", static_cast<int>(who.size()), who.data(), text.c_str());
  };
  const ParsedArgs& args = context.args;
  if (args.Has("version")) {
    const std::string_view program = who.substr(0, who.find(' '));
    std::fprintf(context.out, "%.*s " ZANDORIK_VERSION "\n", static_cast<int>(program.size()),
                 program.data());
    return FinishOutput(context.out, context.err, who, kExitOk);
  }
  if (args.operands.size() > 1) {
    say("give one data file only (try --help)");
    return kExitUsage;
  }
  if (args.operands.empty() || args.operands.front().empty()) {
    say("no data file given (try --help)");
    return kExitUsage;
  }
  const std::string& path = args.operands.front();
  const Format format = args.Has("json")        ? Format::Json
                        : args.Has("breakdown") ? Format::Breakdown
                                                : Format::Plain;
  if (std::string why; !MayNameDataFile(path, false, &why)) {
    say(why);
    return kExitUsage;
  }
  // Anything but a regular file is refused before a byte is read.
  DataFile file;
  file.SetSystemCalls(context.calls);
  FileError error;
  if (!file.OpenToRead(path, &error)) {
    say(error.number == kErrorNotDataFile
            ? VisibleText(error.description)
            : "cannot read " + VisibleText(path) + ": " + error.description);
    return kExitUnreadable;
  }
  const FileLock lock = file.Lock(RecordFile::LockKind::Shared, kLockWait, &error);
  if (!lock) {
    say("cannot read " + VisibleText(path) + ": " + error.description);
    return kExitUnreadable;
  }
  return PriceDataFile(file, format, who, path, context.out, context.err);
}

constexpr OptionSpec kOptions[] = {{"breakdown"}, {"json"}, {"version"}};

}  // namespace

extern const Subcommand kCostCommand = {"cost", "price every figure of a data file", kHelp,
                                        kOptions, RunCost};

}  // namespace zandorik
