// zandorik team sheet: the team's roster and a dial for each figure it
// fields, drawn with Qt; a build without Qt has a stand-in that says so.
#pragma once

#include <functional>
#include <string>

#include "cli/subcommand.h"
#include "team/team.h"

namespace zandorik {

// Writes the sheet of the team file `teamPath` (the operand after
// "sheet"), read by `read`, which says what is wrong itself and returns
// the status to end with, kExitOk once `team` is read.
int RunTeamSheet(const CommandContext& context, const std::string& teamPath,
                 const std::function<int(Team& team)>& read);

}  // namespace zandorik
