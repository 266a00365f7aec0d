// zandorik cost, and zandorik-cost, its older name: prices every figure of
// a data file at once.
#include <algorithm>
#include <array>
#include <bit>
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

// What stands before each breakdown value: the punctuation and the key
// with its quotes, as they are written.
constexpr std::array<std::string_view, 11> kBreakdownKeys = {
    R"({"speed":)",      R"(,"attack":)",      R"(,"defense":)",      R"(,"damage":)",
    R"(,"speedPower":)", R"(,"attackPower":)", R"(,"defensePower":)", R"(,"damagePower":)",
    R"(,"range":)",      R"(,"bolts":)",       R"(,"team":)"};

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

// The texts of the numbers written lately, found by their bits. Most parts
// of a breakdown come back figure after figure (a sum of whole values over
// twelve, fifteen or eleven, a bolts or damage cost), and finding a text
// costs a fraction of writing it again.
class GeneralTexts {
 public:
  GeneralTexts() : entries_(std::make_unique<Entry[]>(kEntries)) {}
  std::string_view Text(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Entry& entry = entries_[(bits * 0x9E3779B97F4A7C15u) >> (64 - kBits)];
    if (entry.length == 0 || entry.bits != bits) {
      entry.bits = bits;
      entry.length = static_cast<std::uint8_t>(FormatGeneralTo(value, entry.text) - entry.text);
    }
    return {entry.text, entry.length};
  }

 private:
  static constexpr int kBits = 12;
  static constexpr std::size_t kEntries = std::size_t{1} << kBits;
  struct Entry {
    std::uint64_t bits = 0;
    std::uint8_t length = 0;  // 0: empty
    char text[kGeneralLength];
  };
  std::unique_ptr<Entry[]> entries_;
};

enum class Format { Plain, Breakdown, Json };

// Prints the figures in the chosen format. Nothing here allocates per
// figure unless the figure has messages.
class Printer {
 public:
  Printer(Format format, Output& out) : format_(format), out_(out) {}

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
  void General(double value) { out_.Add(texts_.Text(value)); }

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

  // A JSON string, escaped as the output has always been: the quote, the
  // backslash, \b \t \n \f \r, and the other controls as \u001f with
  // small hex digits.
  void JsonString(std::string_view text) {
    out_.Put('"');
    const auto special = [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
    };
    if (std::none_of(text.begin(), text.end(), special)) {
      out_.Add(text);
    } else {
      char escape[8];
      for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
          out_.Add(escape, EscapeControl(static_cast<unsigned char>(c), escape));
        } else {
          if (c == '"' || c == '\\') out_.Put('\\');
          out_.Put(c);
        }
      }
    }
    out_.Put('"');
  }
  // A number's text needs no escapes: it goes in as it stands.
  void JsonGeneral(double value) {
    out_.Put('"');
    out_.Add(texts_.Text(value));
    out_.Put('"');
  }

  void Json(std::int64_t number, std::string_view name, const Calculation& calc,
            const std::vector<std::string>& messages) {
    out_.Add(first_ ? "\n" : ",\n");
    out_.Add(R"({"record":)");
    char digits[24];
    out_.Add(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    out_.Add(R"(,"name":)");
    JsonString(name);
    out_.Add(R"(,"points":)");
    if (calc.points) {
      out_.Add(digits, std::to_chars(digits, digits + sizeof digits, *calc.points).ptr);
    } else {
      out_.Add("null");
    }
    out_.Add(R"(,"breakdown":)");
    const Breakdown& b = calc.breakdown;
    const double values[] = {b.speed,      b.attack,      b.defense,      b.damage,
                             b.speedPower, b.attackPower, b.defensePower, b.damagePower,
                             b.range,      b.bolts,       b.team};
    for (std::size_t i = 0; i < kBreakdownKeys.size(); ++i) {
      out_.Add(kBreakdownKeys[i]);
      JsonGeneral(values[i]);
    }
    out_.Add(R"(},"movement":)");
    JsonGeneral(calc.movement);
    out_.Add(R"(,"messages":[)");
    for (std::size_t i = 0; i < messages.size(); ++i) {
      if (i > 0) out_.Put(',');
      JsonString(messages[i]);
    }
    out_.Add("]}");
  }

  Format format_;
  Output& out_;
  GeneralTexts texts_;
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
