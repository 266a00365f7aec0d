// zandorik sheet in a build without Qt (ZANDORIK_GUI=OFF): the command is
// listed, and says why it cannot run.
#include "cli/subcommand.h"
#include "cli/team_sheet_command.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp =
    "Usage: zandorik sheet ...\n\n"
    "This zandorik was built without Qt (ZANDORIK_GUI=OFF): it cannot draw dial\n"
    "sheets.\n";

int Run(const CommandContext& context) {
  std::fputs("zandorik sheet: this zandorik was built without Qt and cannot draw dial sheets\n",
             context.err);
  return kExitUsage;
}

}  // namespace

extern const Subcommand kSheetCommand = {
    "sheet", "make dial sheets (not in this build)", kHelp, {}, Run};

int RunTeamSheet(const CommandContext& context, const std::string&,
                 const std::function<int(Team& team)>&) {
  std::fputs("zandorik team sheet: this zandorik was built without Qt and cannot draw sheets\n",
             context.err);
  return kExitUsage;
}

}  // namespace zandorik
