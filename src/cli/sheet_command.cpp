// zandorik sheet: the dial sheets of a data file's figures, true to size,
// as a PDF document, SVG pages or PNG pages. Needs no display: Qt draws on
// its offscreen platform.
#include <memory>

#include "cli/drawing_commands.h"
#include "cli/sheet_request.h"
#include "cli/subcommand.h"
#include "program/output.h"
#include "sheet/sheet_output.h"
#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/output_file.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp =
    R"help(Usage: zandorik sheet [--paper a4|letter] [--diameter MM] [--dpi N]
                      [--registration] [--no-codes]
                      -o OUT.pdf|OUT.svg|OUT.png FILE.QMV [NAME...]

Makes a sheet of dials to print, cut out, pin and play with: for each
figure a turning dial (clicks 1 to 11 with the four stats in their power
colours, each power box with its letter, KO clicks in red, the click
numbers on a grip ring), a smaller cover with a window onto one click, the
stat names, an index and a turning arrow beside it, and the figure's name,
points, team, movement, range, bolts and rank, and a legend of the powers
it uses with a QR code of the figure's share code (`zandorik scan` reads
it back from a scan or a photo of the sheet). Pieces are true to size;
every page has the three assembly steps, a 100 mm ruler each way and a 1
inch ruler to check the print ("Print at 100% (actual size)").

Without NAMEs, every stored figure in record order; with NAMEs, those
figures, each name matched exactly against the stored names (letter case
counts, trailing blanks aside).

  -o, --output OUT   the file to write; its extension chooses the format:
                       .pdf  one document, vector, fonts embedded
                       .svg  one file a page (OUT.svg, or OUT-1.svg,
                             OUT-2.svg ... for more pages); 1 unit = 1 mm,
                             the cut lines in a layer "Cut" of their own,
                             each figure's inner cuts before its circles
                       .png  one file a page, named as for SVG
                     Page files of an earlier run that this run does not
                     write (OUT-3.png after two pages, OUT-1.png after
                     one) are left as they were: remove them before
                     scanning the folder.
      --paper P      a4 (210 x 297 mm, the default) or letter
                     (215.9 x 279.4 mm), portrait
      --diameter MM  the dial's diameter, 40 to 80 millimetres (default 50)
      --dpi N        dots per inch of PNG pages, 30 to 600 (default 300)
      --registration print-then-cut marks in three corners, 10 mm in from
                     the edges, everything else inside them
      --no-codes     no QR codes of the figures' share codes
  -h, --help         show this help
  --                 end of the options

Each file is written to a temporary file and renamed into place once
every file is whole, and its name is printed on standard output; a link
is written through to its target, and a FIFO or a device is written to
as it is; its name must still end in the format's extension, so write to
/dev/stdout through a link (ln -s /dev/stdout out.pdf; -o out.pdf). No
data file is ever an output. The
messages that pricing a figure would show in the window are written to
standard error with the figure's name; the sheet shows the points as
computed.

Exit status:
  0  done
  1  the data file cannot be read, is not a data file, or is in use by
     another program
  2  the command line is wrong (an unknown option, a diameter outside 40
     to 80, an unknown paper, a name the file does not hold, a file with
     no figure, an output that is the data file ...); nothing is written
  3  the data file is damaged: sheets are made of what could be read and
     each damage is named on standard error
  4  the output cannot be written; no file is left half written
)help";

constexpr const char* kMe = "zandorik sheet";

std::string Trimmed(std::string_view name) {
  const std::size_t last = name.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view()
                                                    : name.substr(0, last + 1));
}

struct Request : SheetRequest {
  std::string path;
  std::vector<std::string> names;
};

// The request, or the complaint that makes the command line wrong.
bool ReadRequest(const ParsedArgs& args, Request& request, std::string& why) {
  if (!ReadSheetRequest(args, request, why)) return false;
  if (args.operands.empty()) {
    why = "name the data file (FILE.QMV)";
    return false;
  }
  request.path = args.operands.front();
  if (!MayNameDataFile(request.path, false, &why)) return false;
  request.names.assign(args.operands.begin() + 1, args.operands.end());
  return true;
}

int Run(const CommandContext& context) {
  Request request;
  std::string why;
  if (!ReadRequest(context.args, request, why)) {
    std::fprintf(context.err, "%s: %s; `zandorik sheet --help` says what it takes\n", kMe,
                 VisibleText(why).c_str());
    return kExitUsage;
  }
  // Names and paths on standard error with their control characters
  // written visibly, as export and import write them.
  const auto say = [&](const std::string& text) {
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(text).c_str());
  };

  // The figures, read under the shared lock.
  std::vector<SheetFigure> figures;
  bool damaged = false;
  {
    DataFile file;
    file.SetSystemCalls(context.calls);
    FileError error;
    const auto unreadable = [&] {
      say(error.number == kErrorNotDataFile
              ? error.description
              : "cannot read " + request.path + ": " + error.description);
      return kExitUnreadable;
    };
    if (!file.Open(request.path, false, &error)) return unreadable();
    const FileLock lock = file.Lock(RecordFile::LockKind::Shared, kLockWait, &error);
    if (!lock) return unreadable();
    std::vector<NameEntry> entries;
    if (!file.ListNames(entries, &error)) return unreadable();
    // The damage first: a figure looked for may be in the part cut off.
    if (std::string notice; !file.IsWhole(&notice)) {
      say(notice);
      damaged = true;
    }

    std::vector<std::int64_t> chosen;
    if (request.names.empty()) {
      for (const NameEntry& entry : entries)
        chosen.push_back(entry.record);
    } else {
      std::vector<std::string> stored;
      for (const NameEntry& entry : entries)
        stored.push_back(Trimmed(DecodeCp1252({entry.stored.data(), entry.stored.size()})));
      bool missing = false;
      for (const std::string& name : request.names) {
        const std::string wanted = Trimmed(name);
        bool found = false;
        for (std::size_t i = 0; i < entries.size(); ++i) {
          if (stored[i] != wanted) continue;
          chosen.push_back(entries[i].record);
          found = true;
        }
        if (!found) {
          say(request.path + " holds no figure named \"" + name + "\"" + NameHint(name, entries));
          missing = true;
        }
      }
      if (missing) {
        say("nothing was written");
        return kExitUsage;
      }
    }
    if (chosen.empty()) {
      say(request.path +
          " holds no figure: there is nothing to put on a sheet; nothing was "
          "written");
      return kExitUsage;
    }

    FigureRecord record;
    std::vector<std::string> messages;
    for (std::int64_t number : chosen) {
      if (!file.Read(number, record, &error)) return unreadable();
      std::vector<std::string> damage;
      DescribeRecordDamage(record, damage);
      for (const std::string& d : damage) {
        say(request.path + ": record " + std::to_string(number) + ": " + d);
        damaged = true;
      }
      messages.clear();
      figures.push_back(SheetFigureFromRecord(record, messages));
      for (const std::string& message : messages)
        say("\"" + figures.back().name + "\": " + message);
    }
  }

  const std::unique_ptr<QGuiApplication> qt = StartQt(kMe);
  const std::size_t slash = request.path.rfind('/');
  request.options.fileName =
      slash == std::string::npos ? request.path : request.path.substr(slash + 1);
  const Sheet sheet = LayOutSheet(figures, request.options);
  std::vector<std::string> written;
  FileError error;
  if (!WriteSheet(sheet, request.output, request.dpi, "Dial sheet: " + request.options.fileName,
                  {request.path}, written, &error, context.calls)) {
    if (IsRefusedOutput(error.number)) {
      say(error.description + "; nothing was written");
      return kExitUsage;
    }
    say(error.description);
    return kExitWriteFailed;
  }
  for (const std::string& path : written)
    std::fprintf(context.out, "%s\n", path.c_str());
  return FinishOutput(context.out, context.err, kMe, damaged ? kExitDamaged : kExitOk,
                      "the sheet was written all the same");
}

}  // namespace

extern const Subcommand kSheetCommand = {"sheet", kSheetSummary, kHelp, kSheetOptionSpecs, Run};

}  // namespace zandorik
