#include "app/qt_desktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibrary>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "app/dial_sheet_commands.h"
#include "app/print_window.h"
#include "app/qt_text.h"

namespace zandorik {
namespace {

// One dialog for both forms, starting at the path chosen last.
std::optional<QString> RunFileDialog(QWidget* owner, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(owner, QString(), QText(request.startPath),
                     QText(request.filterLabel) + QStringLiteral(" (") + QText(request.pattern) +
                         QStringLiteral(")"));
  dialog.setAcceptMode(mode);
  // The filter shows its label alone, as written.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (mode == QFileDialog::AcceptSave) {
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

// Names and paths come from files other people send: a box shows them as
// they are, never as markup.
void QtDesktop::ShowMessage(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, QText(title), QText(text), QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtDesktop::AskYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, QText(title), QText(text),
                  QMessageBox::Yes | QMessageBox::No, owner_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

SaveChoice QtDesktop::AskToSave(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, QText(title), QText(text), QMessageBox::NoButton, owner_);
  box.setTextFormat(Qt::PlainText);  // the text holds the figure's name
  QPushButton* save = box.addButton(QStringLiteral("&Save"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return SaveChoice::Save;
  if (box.clickedButton() == discard) return SaveChoice::Discard;
  return SaveChoice::Cancel;
}

namespace {

// Ends a dialog without an answer when Escape reaches it.
class EscapeEnds : public QObject {
 public:
  explicit EscapeEnds(QDialog& dialog) : dialog_(dialog) { dialog.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
      return false;
    dialog_.done(-1);
    return true;
  }

 private:
  QDialog& dialog_;
};

}  // namespace

RecoverChoice QtDesktop::AskToRecover(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Question, QText(title), QText(text), QMessageBox::NoButton, owner_);
  box.setTextFormat(Qt::PlainText);
  QPushButton* recover = box.addButton(QStringLiteral("&Recover"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
  box.setDefaultButton(recover);
  // Neither button is a cancel: Escape leaves the figure for later.
  EscapeEnds later(box);
  box.exec();
  if (box.clickedButton() == recover) return RecoverChoice::Recover;
  if (box.clickedButton() == discard) return RecoverChoice::Discard;
  return RecoverChoice::Later;
}

std::optional<std::string> QtDesktop::ChooseNewFile(const FileDialogRequest& request) {
  FileDialogRequest next = request;
  for (;;) {
    const std::optional<QString> path = RunFileDialog(owner_, next, QFileDialog::AcceptSave);
    if (!path) return std::nullopt;
    if (QFileInfo::exists(*path)) return LocalPath(*path);
    // A file that does not exist yet is created only when the person agrees;
    // otherwise the dialog comes back with the name filled in.
    const QString ask = *path + QStringLiteral("\nThis file does not exist.\nCreate the file?");
    if (AskYesNo(ask.toStdString(), kAppTitle)) return LocalPath(*path);
    next.startPath = path->toStdString();
  }
}

std::optional<std::string> QtDesktop::ChooseExistingFile(const FileDialogRequest& request) {
  const std::optional<QString> path = RunFileDialog(owner_, request, QFileDialog::AcceptOpen);
  if (!path) return std::nullopt;
  return LocalPath(*path);
}

void QtDesktop::OpenLink(const std::string& target) {
  QDesktopServices::openUrl(QUrl(QText(target), QUrl::TolerantMode));
}

namespace {

// The print libraries are loaded with the first print, not at start.
template <typename Function>
Function PrintModuleFunction(const char* symbol) {
  const QString dir = QCoreApplication::applicationDirPath();
  for (const QString& path : {dir + QStringLiteral("/" ZANDORIK_PRINT_MODULE),
                              dir + QStringLiteral("/" ZANDORIK_PRINT_MODULE_INSTALLED)}) {
    QLibrary module(path);
    if (auto found = reinterpret_cast<Function>(module.resolve(symbol))) return found;
  }
  return Function{};
}

constexpr const char* kNoPrintModule =
    "Printing is not available: the print module " ZANDORIK_PRINT_MODULE
    " was not found beside the program.";

}  // namespace

namespace {

// The print module's answer in the program's error convention.
bool Printed(const std::optional<std::string>& problem, std::string* failure) {
  if (problem && failure) *failure = *problem;
  return !problem;
}

}  // namespace

bool QtDesktop::PrintMainWindow(std::string* failure) {
  if (!owner_) return Printed("There is no window to print.", failure);
  static const auto print = PrintModuleFunction<PrintWindowFunction>(kPrintWindowSymbol);
  if (!print) return Printed(kNoPrintModule, failure);
  return Printed(print(owner_), failure);
}

std::optional<SheetSettings> QtDesktop::ChooseSheetSettings(const SheetSettings& current) {
  return RunSheetDialog(owner_, current);
}

std::optional<ExportChoice> QtDesktop::ChooseExportFile(const ExportDialogRequest& request) {
  QStringList filters;
  for (const std::string& filter : request.filters)
    filters << QText(filter);
  QFileDialog dialog(owner_, QString(), QText(request.startPath));
  dialog.setNameFilters(filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The caller asks before replacing a file, once the extension is added.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ExportChoice{
      LocalPath(dialog.selectedFiles().constFirst()),
      static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))};
}

bool QtDesktop::PrintDialSheet(const FigureScreen& figure, const SheetSettings& settings,
                               std::string* failure) {
  static const auto print = PrintModuleFunction<PrintSheetFunction>(kPrintSheetSymbol);
  if (!print) return Printed(kNoPrintModule, failure);
  return Printed(PrintSheet(print, figure, settings), failure);
}

bool QtDesktop::PrintTeamSheet(const Team& team, const std::string& fileName,
                               const SheetSettings& settings, std::string* failure) {
  static const auto print = PrintModuleFunction<PrintSheetFunction>(kPrintSheetSymbol);
  if (!print) return Printed(kNoPrintModule, failure);
  return Printed(zandorik::PrintTeamSheet(print, team, fileName, settings), failure);
}

void QtDesktop::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QText(text));
}

std::optional<std::string> QtDesktop::ClipboardText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

}  // namespace zandorik
