// zandorik scan in a build without Qt (ZANDORIK_GUI=OFF): the command is
// listed, and says why it cannot run.
#include "cli/subcommand.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp =
    "Usage: zandorik scan ...\n\n"
    "This zandorik was built without Qt (ZANDORIK_GUI=OFF): it cannot read images.\n";

int Run(const CommandContext& context) {
  std::fputs("zandorik scan: this zandorik was built without Qt and cannot read images\n",
             context.err);
  return kExitUsage;
}

}  // namespace

extern const Subcommand kScanCommand = {
    "scan", "read figure codes from images (not in this build)", kHelp, {}, Run};

}  // namespace zandorik
