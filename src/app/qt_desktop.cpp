#include "app/qt_desktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include "app/print_window.h"

namespace zandorik {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// One dialog for both forms, starting at the path chosen last.
std::optional<QString> RunFileDialog(QWidget* owner, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(
      owner, QString(), Q(request.startPath),
      Q(request.filterLabel) + QStringLiteral(" (") + Q(request.pattern) + QStringLiteral(")"));
  dialog.setAcceptMode(mode);
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
  QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtDesktop::AskYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                  owner_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
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
  QDesktopServices::openUrl(QUrl(Q(target), QUrl::TolerantMode));
}

std::optional<std::string> QtDesktop::PrintMainWindow() {
  if (!owner_) return std::string("There is no window to print.");
  // The print libraries are loaded with the first print, not at start.
  static const PrintWindowFunction print = [] {
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& path : {dir + QStringLiteral("/" ZANDORIK_PRINT_MODULE),
                                dir + QStringLiteral("/" ZANDORIK_PRINT_MODULE_INSTALLED)}) {
      QLibrary module(path);
      if (auto found = reinterpret_cast<PrintWindowFunction>(module.resolve(kPrintWindowSymbol)))
        return found;
    }
    return PrintWindowFunction{};
  }();
  if (!print) {
    return std::string("Printing is not available: the print module " ZANDORIK_PRINT_MODULE
                       " was not found beside the program.");
  }
  return print(owner_);
}

void QtDesktop::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::optional<std::string> QtDesktop::ClipboardText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

}  // namespace zandorik
