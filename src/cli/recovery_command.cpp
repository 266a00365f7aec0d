// zandorik recovery: the figures left in the recovery folder by windows
// that did not end normally (docs/desktop-habits.md), listed or written as
// a figures document.
#include "cli/subcommand.h"
#include "cost/calculations.h"
#include "recovery/recovery_file.h"
#include "store/figure_text.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik recovery [--figures]

Lists the figures that zandorik-dial keeps for recovery and that no
running window owns: each one left by a window that did not end normally,
which the next window offers back. One line each: the recovery file, the
figure's name and the data file it was being edited for. The folder is
$XDG_STATE_HOME/zandorik-dial, else ~/.local/state/zandorik-dial. Nothing
is changed or removed.

  --figures   write the figures instead, as one figures document (JSON),
              for zandorik import or Paste Figure
  -h, --help  show this help
  --          end of the options

Exit status:
  0  done
  2  the command line is wrong
  3  a recovery file cannot be read (the others are listed)
  4  the output could not be written
)";

constexpr OptionSpec kOptions[] = {{"figures", 0, false}};
constexpr const char* kMe = "zandorik recovery";

int Run(const CommandContext& context) {
  if (!context.args.operands.empty()) {
    std::fprintf(context.err, "%s: no operand is taken (try --help)\n", kMe);
    return kExitUsage;
  }
  const bool figures = context.args.Has("figures");
  int status = kExitOk;
  std::string document;
  FigureTextWriter writer(document);
  if (figures) writer.Begin();
  for (const std::string& path : RecoveryFilesIn(DefaultRecoveryFolder())) {
    const std::unique_ptr<RecoverySlot> slot = RecoverySlot::Claim(path);
    if (!slot) continue;  // a running window's
    RecoveredFigure figure;
    std::string why;
    if (!slot->Read(figure, &why)) {
      std::fprintf(context.err, "%s: %s cannot be read: %s\n", kMe, path.c_str(), why.c_str());
      status = kExitDamaged;
    } else if (figures) {
      const FigureRecord record = DecodeRecord(figure.record.data());
      CollectingSink sink;
      writer.Figure(record, CalculateFigure(RecordFigure(record), sink).points);
    } else {
      std::fprintf(context.out, "%s: \"%s\", data file %s\n", path.c_str(), figure.Name().c_str(),
                   figure.dataFile.empty() ? "(none)" : figure.dataFile.c_str());
    }
    slot->Release();  // left as it was, for the next window
  }
  if (figures) {
    writer.End();
    std::fputs(document.c_str(), context.out);
  }
  return FinishOutput(context.out, context.err, kMe, status);
}

}  // namespace

extern const Subcommand kRecoveryCommand{
    "recovery", "list the figures left for recovery by the window", kHelp, kOptions, Run};

}  // namespace zandorik
