// zandorik export: the stored figures of a data file as a figures document
// (docs/figure-format.md), to standard output or a file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "program/output.h"
#include "store/figure_text.h"
#include "store/output_file.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik export FILE.QMV [NAME...] [-o OUT.json | -o -]

Writes the figures stored in FILE.QMV as one JSON document, every figure in
record order, or only the figures named (exact stored names, in the order
given). Whatever a record holds is kept, damage included, so that
`zandorik import` brings every figure back byte for byte. The format is
described in docs/figure-format.md (installed in
/usr/share/doc/zandorik-dial/). Exporting twice gives identical files.

  -o, --output OUT.json  write to OUT.json instead of standard output ("-"):
                         a file is replaced only once the whole document
                         is written; a FIFO or a device is written to as
                         it is; a link, to the file it points to; never
                         the data file itself
  -h, --help             show this help
  --                     end of the options

The export waits up to 3 seconds for a window or another program that is
writing to the file, and keeps it from being written meanwhile.

Exit status:
  0  exported
  1  the data file cannot be read, is not a data file, or is in use by
     another program
  2  the command line is wrong, a name is not stored, or the output is the
     data file (nothing is written)
  3  the data file is damaged: its whole records were exported
  4  the output could not be written
)";

constexpr OptionSpec kOptions[] = {{"output", 'o', true}};
constexpr std::size_t kChunk = 1 << 20;  // bytes of text handed on at a time

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  const auto fail = [&](int status, const std::string& text) {
    std::fprintf(context.err, "zandorik export: %s\n", VisibleText(text).c_str());
    return status;
  };
  if (operands.empty()) return fail(kExitUsage, "name the data file to export");
  const std::string& path = operands.front();
  const std::string output = context.args.Value("output", "-");
  if (output.empty()) return fail(kExitUsage, "--output needs a file name");
  StoredFigures figures;
  if (const int opened = figures.Open(path, {operands.begin() + 1, operands.end()}, context.err,
                                      "zandorik export", context.calls);
      opened != kExitOk) {
    return opened;
  }

  FileError error;
  OutputFile destination(context.calls);
  if (!(output == "-" ? destination.OpenStandardOutput(context.out, {path}, &error)
                      : destination.Open(output, {path}, &error))) {
    if (IsRefusedOutput(error.number))
      return fail(kExitUsage, error.description + "; nothing was written");
    return fail(kExitWriteFailed, "cannot write " + output + ": " + error.description);
  }
  std::string text;
  text.reserve(kChunk + 8192);
  FigureTextWriter writer(text);
  writer.Begin();
  bool written = true;
  const auto write = [&](const FigureRecord& record) {
    writer.Figure(record, FigurePoints(record));
    if (text.size() >= kChunk) {
      written = destination.Write(text, &error);
      text.clear();
    }
    return written;
  };
  // A chunk of records at a time: memory stays flat.
  if (!figures.Each(write, &error) && written)
    return fail(kExitUnreadable, path + ": " + error.description);
  writer.End();
  if (!written || !destination.Write(text, &error) || !destination.Commit(&error)) {
    return fail(kExitWriteFailed,
                "cannot write the output: " + (output == "-" ? std::string() : output + ": ") +
                    error.description);
  }
  if (std::string damage; !figures.File().IsWhole(&damage)) {
    fail(kExitDamaged, damage);
    return kExitDamaged;
  }
  return kExitOk;
}

}  // namespace

extern const Subcommand kExportCommand = {"export", "write stored figures as a JSON document",
                                          kHelp, kOptions, Run};

}  // namespace zandorik
