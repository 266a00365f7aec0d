#include "app/dial_sheet_commands.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <algorithm>

#include "sheet/painter_renderer.h"
#include "sheet/sheet_output.h"
#include "sheet/team_sheet.h"

namespace zandorik {
namespace {

constexpr const char* kExtensions[] = {".pdf", ".svg", ".png"};
constexpr const char* kNoTeamToPrint = "The team has no figures: there is nothing to print.";

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

SheetOptions OptionsOf(const SheetSettings& settings, const std::string& fileName) {
  return {settings.letter ? Paper::Letter : Paper::A4, settings.diameter, fileName,
          settings.registration, settings.codes};
}

// The team sheet's footer: the team file's name, or the team's for a team
// never saved.
std::string TeamFooter(const Team& team, const std::string& teamPath) {
  return teamPath.empty() ? team.name : BaseName(teamPath);
}

}  // namespace

void DialSheetCommands::Export(const FigureScreen& figure, const std::string& fileName) {
  std::vector<std::string> inputs;
  if (!fileName.empty()) inputs.push_back(fileName);
  Export(
      [&figure](const SheetOptions& options) {
        std::vector<std::string> messages;
        return LayOutSheet({SheetFigureFromScreen(figure, messages)}, options);
      },
      "Dial sheet: " + figure.name, BaseName(fileName), inputs, "dial sheet");
}

void DialSheetCommands::ExportTeam(const Team& team, const std::string& teamPath) {
  if (team.entries.empty()) {
    desktop_.ShowMessage(kNoTeamToPrint, kAppTitle);
    return;
  }
  Export(
      [&team](const SheetOptions& options) {
        std::vector<std::string> messages;
        return LayOutTeamSheet(team, TeamSheetFigures(team, messages), options);
      },
      "Team sheet: " + team.name, TeamFooter(team, teamPath), TeamFiles(team, teamPath),
      "team sheet");
}

void DialSheetCommands::Export(const std::function<Sheet(const SheetOptions&)>& layOut,
                               const std::string& title, const std::string& fileName,
                               const std::vector<std::string>& inputs, const std::string& what) {
  const std::optional<SheetSettings> settings = desktop_.ChooseSheetSettings(settings_);
  if (!settings) return;
  settings_ = *settings;
  settings_.diameter = std::clamp(settings_.diameter, kMinDiameter, kMaxDiameter);

  ExportDialogRequest request{{std::begin(kSheetExportFilters), std::end(kSheetExportFilters)},
                              lastPath_};
  const std::optional<ExportChoice> choice = desktop_.ChooseExportFile(request);
  if (!choice || choice->path.empty()) return;
  std::string path = choice->path;
  if (!SheetFormatOf(path)) path += kExtensions[std::clamp(choice->filter, 0, 2)];
  lastPath_ = path;

  const Sheet sheet = layOut(OptionsOf(settings_, fileName));
  for (const std::string& target :
       SheetFilePaths(path, *SheetFormatOf(path), static_cast<int>(sheet.pages.size()))) {
    struct stat there {};
    if (::stat(target.c_str(), &there) == 0 &&
        !desktop_.AskYesNo(target + " already exists.\nDo you want to replace it?", kAppTitle)) {
      return;
    }
  }
  std::vector<std::string> written;
  FileError error;
  if (!WriteSheet(sheet, path, kDefaultDpi, title, inputs, written, &error)) {
    desktop_.ShowMessage("The " + what + " was not written: " + error.description + ".", kAppTitle);
  }
}

void DialSheetCommands::Print(const FigureScreen& figure) {
  if (std::string failure; !desktop_.PrintDialSheet(figure, settings_, &failure))
    desktop_.ShowMessage(failure, kAppTitle);
}

void DialSheetCommands::PrintTeam(const Team& team, const std::string& teamPath) {
  if (team.entries.empty()) {
    desktop_.ShowMessage(kNoTeamToPrint, kAppTitle);
    return;
  }
  if (std::string failure;
      !desktop_.PrintTeamSheet(team, TeamFooter(team, teamPath), settings_, &failure))
    desktop_.ShowMessage(failure, kAppTitle);
}

static_assert(SheetSettings{}.diameter == kDefaultDiameter);

std::optional<SheetSettings> RunSheetDialog(QWidget* owner, const SheetSettings& current) {
  QDialog dialog(owner);
  dialog.setWindowTitle(QStringLiteral("Dial Sheet"));
  auto* form = new QFormLayout(&dialog);
  auto* paper = new QComboBox(&dialog);
  paper->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
  paper->setCurrentIndex(current.letter ? 1 : 0);
  form->addRow(QStringLiteral("&Paper:"), paper);
  auto* diameter = new QDoubleSpinBox(&dialog);
  diameter->setRange(kMinDiameter, kMaxDiameter);
  diameter->setDecimals(1);
  diameter->setSuffix(QStringLiteral(" mm"));
  diameter->setValue(current.diameter);
  form->addRow(QStringLiteral("&Diameter:"), diameter);
  auto* registration = new QCheckBox(QStringLiteral("&Registration marks"), &dialog);
  registration->setToolTip(
      QStringLiteral("Marks in three corners for a cutting machine that cuts a printed sheet"));
  registration->setChecked(current.registration);
  form->addRow(registration);
  auto* codes = new QCheckBox(QStringLiteral("&Share codes"), &dialog);
  codes->setToolTip(QStringLiteral(
      "A QR code of the figure's share code in its legend, which zandorik scan reads back"));
  codes->setChecked(current.codes);
  form->addRow(codes);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return SheetSettings{paper->currentIndex() == 1, diameter->value(), registration->isChecked(),
                       codes->isChecked()};
}

std::optional<std::string> PrintSheet(PrintSheetFunction print, const FigureScreen& figure,
                                      const SheetSettings& settings) {
  std::vector<std::string> messages;
  const std::vector<SheetFigure> figures = {SheetFigureFromScreen(figure, messages)};
  Sheet sheet;
  SheetPrintJob job;
  job.title = "Dial sheet: " + figure.name;
  job.layOut = [&](bool letter) {
    sheet = LayOutSheet(figures, {letter ? Paper::Letter : Paper::A4, settings.diameter,
                                  figure.name, settings.registration, settings.codes});
    return static_cast<int>(sheet.pages.size());
  };
  job.draw = [&](QPainter& painter, int page) {
    DrawSheetPage(painter, sheet.pages[static_cast<std::size_t>(page)]);
  };
  return print(job);
}

std::optional<std::string> PrintTeamSheet(PrintSheetFunction print, const Team& team,
                                          const std::string& fileName,
                                          const SheetSettings& settings) {
  std::vector<std::string> messages;
  const std::vector<SheetFigure> figures = TeamSheetFigures(team, messages);
  Sheet sheet;
  SheetPrintJob job;
  job.title = "Team sheet: " + team.name;
  job.what = "team sheet";
  job.layOut = [&](bool letter) {
    SheetSettings on = settings;
    on.letter = letter;
    sheet = LayOutTeamSheet(team, figures, OptionsOf(on, fileName));
    return static_cast<int>(sheet.pages.size());
  };
  job.draw = [&](QPainter& painter, int page) {
    DrawSheetPage(painter, sheet.pages[static_cast<std::size_t>(page)]);
  };
  return print(job);
}

}  // namespace zandorik
