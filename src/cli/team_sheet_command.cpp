#include "cli/team_sheet_command.h"

#include <filesystem>

#include "cli/sheet_request.h"
#include "program/output.h"
#include "sheet/team_sheet.h"
#include "store/output_file.h"

namespace zandorik {

int RunTeamSheet(const CommandContext& context, const std::string& teamPath,
                 const std::function<int(Team& team)>& read) {
  constexpr const char* kMe = "zandorik team sheet";
  const auto say = [&](const std::string& text) {
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(text).c_str());
  };
  SheetRequest request;
  if (std::string why; !ReadSheetRequest(context.args, request, why)) {
    say(why + "; `zandorik team --help` says what it takes");
    return kExitUsage;
  }
  Team team;
  if (const int status = read(team); status != kExitOk) return status;
  if (team.entries.empty()) {
    say(teamPath + " holds no figure: there is nothing to put on a sheet; nothing was written");
    return kExitUsage;
  }
  std::vector<std::string> messages;
  const std::vector<SheetFigure> figures = TeamSheetFigures(team, messages);
  for (const std::string& message : messages)
    say(message);

  const std::unique_ptr<QGuiApplication> qt = StartQt(kMe);
  request.options.fileName = std::filesystem::path(teamPath).filename().string();
  const Sheet sheet = LayOutTeamSheet(team, figures, request.options);
  std::vector<std::string> written;
  FileError error;
  if (!WriteSheet(sheet, request.output, request.dpi, "Team sheet: " + team.name,
                  TeamFiles(team, teamPath), written, &error, context.calls)) {
    if (error.number == kErrorOutputIsInput) {
      say(error.description + "; nothing was written");
      return kExitUsage;
    }
    say(error.description);
    return kExitWriteFailed;
  }
  for (const std::string& path : written)
    std::fprintf(context.out, "%s\n", path.c_str());
  // The roster says so too; the sheet is written all the same.
  if (const TeamTotal total = TotalOf(team); total.Over()) {
    say("the team is over its cap by " + std::to_string(total.points - total.cap) +
        " points: " + TotalText(total));
  }
  return FinishOutput(context.out, context.err, kMe, kExitOk);
}

}  // namespace zandorik
