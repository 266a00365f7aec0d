#include "app/qt_desktop.h"

#include <cups/cups.h>

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QUrl>

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

void QtDesktop::ShowMessage(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Ok, owner_);
  box.exec();
}

bool QtDesktop::AskYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                  owner_);
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
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    return std::string(
        "No default printer is set up on this computer, so the window was not printed.");
  }
  const QString name = info.description().isEmpty() ? info.printerName() : info.description();
  const std::string failed =
      "The printer \"" + name.toStdString() + "\" could not start the job; nothing was printed.";

  // The window as it is shown now, drawn at four times its screen resolution
  // so that captions stay sharp on paper.
  constexpr qreal kSharpness = 4;
  QPixmap image(owner_->size() * kSharpness);
  image.setDevicePixelRatio(kSharpness);
  image.fill(Qt::white);
  owner_->render(&image);

  QPrinter printer(info, QPrinter::HighResolution);
  printer.setDocName(owner_->windowTitle());
  printer.setCopyCount(1);
  QPainter painter;
  if (!painter.begin(&printer)) return failed;
  // As large as fits the printable area of one page, centred across it.
  const QRect page = painter.viewport();
  QSize size = owner_->size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  const QRect target(QPoint(page.x() + (page.width() - size.width()) / 2, page.y()), size);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(target, image);
  if (!painter.end() || printer.printerState() == QPrinter::Error) return failed;
  // Qt hands the finished page to CUPS on this thread and ignores the
  // answer; a spooler that refused the job would otherwise go unnoticed.
  if (cupsLastError() >= IPP_STATUS_ERROR_BAD_REQUEST) return failed + "\n" + cupsLastErrorString();
  return std::nullopt;
}

}  // namespace zandorik
