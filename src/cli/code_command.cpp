// zandorik code: the share code of each stored figure, one line each.
#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "program/output.h"
#include "share/share_code.h"
#include "store/figure_text.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik code FILE.QMV [NAME...]

Prints the share code of every figure stored in FILE.QMV, in record order,
or of the figures named (exact stored names, in the order given): one line
each, the name, a tab and the code. A code is one line of text such as
  ZD1:0W10LTY556 9XB0.01XB0*01R00KCN/3
that holds the whole record; `zandorik import DATA.QMV --code CODE` or
Edit > Paste Figure in the window brings the figure back byte for byte.
A code may hold spaces: quote it on a command line. The code's layout is
described in docs/share-code.md (installed in /usr/share/doc/zandorik-dial/).

  -h, --help  show this help
  --          end of the options

The command waits up to 3 seconds for a window or another program that is
writing to the file, and keeps it from being written meanwhile.

Exit status:
  0  done
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong, or a name is not stored (nothing is written)
  3  the data file is damaged: its whole records were coded
  4  the output could not be written
)";

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  const auto fail = [&](int status, const std::string& text) {
    std::fprintf(context.err, "zandorik code: %s\n", VisibleText(text).c_str());
    return status;
  };
  if (operands.empty()) return fail(kExitUsage, "name the data file");
  const std::string& path = operands.front();
  StoredFigures figures;
  if (const int opened =
          figures.Open(path, {operands.begin() + 1, operands.end()}, context.err, "zandorik code");
      opened != kExitOk) {
    return opened;
  }
  std::string line;
  FileError error;
  const bool read = figures.Each(
      [&](const FigureRecord& record) {
        line = VisibleText(ShownName(record));
        line += '\t';
        line += ShareCode(record);
        line += '\n';
        return std::fwrite(line.data(), 1, line.size(), context.out) == line.size();
      },
      &error);
  if (!read) return fail(kExitUnreadable, path + ": " + error.description);
  std::string damage;
  const bool whole = figures.File().IsWhole(&damage);
  const int status =
      FinishOutput(context.out, context.err, "zandorik code", whole ? kExitOk : kExitDamaged);
  if (status == kExitDamaged) fail(status, damage);
  return status;
}

}  // namespace

extern const Subcommand kCodeCommand = {
    "code", "print the share code of stored figures", kHelp, {}, Run};

}  // namespace zandorik
