// The main window's habits of a desktop program: the recovery file of a
// changed figure, the recent files, and files and texts dropped on it.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <filesystem>

#include "app/form_main.h"
#include "recovery/recovery_commands.h"

namespace zandorik {
namespace {

constexpr const char* kRefusedDrop =
    "Only a data file (.QMV), a figures document or a share code can be dropped here. The "
    "screen is as it was.";
// A figures document or a code dropped as a file is read up to this size.
constexpr qint64 kLargestDroppedText = 16 * 1024 * 1024;

}  // namespace

bool FormMain::StartRecovery(const std::string& folder) {
  recovery_ = std::make_unique<RecoveryKeeper>(folder);
  if (!recoveryTimer_) {
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    connect(recoveryTimer_, &QTimer::timeout, this, &FormMain::WriteRecovery);
  }
  const bool recovered = OfferRecovery(desktop_, editor_, files_, *recovery_);
  Sync();
  return recovered;
}

void FormMain::SyncHabits() {
  if (files_.DataFileName() != recentShown_) {
    recentShown_ = files_.DataFileName();
    if (!recentShown_.empty()) menuFileRecent_->Add(recentShown_);
  }
  if (!recovery_) return;
  if (!editor_.HasUnsavedChanges()) {
    recoveryTimer_->stop();
    recovery_->Drop();
  } else if (!recoveryTimer_->isActive()) {
    recoveryTimer_->start(recovery_->Delay());
  }
}

// The figure as "&Save Record" would store it, with its data file's whole
// path; a screen that no record can hold leaves the last one kept.
void FormMain::WriteRecovery() {
  if (!recovery_ || !editor_.HasUnsavedChanges()) return;
  FigureRecord record;
  if (StoreFigureInRecord(editor_.Screen(), record, nullptr)) {
    std::string dataFile = files_.DataFileName();
    std::error_code error;
    if (!dataFile.empty()) dataFile = std::filesystem::absolute(dataFile, error).string();
    recovery_->Keep({dataFile, EncodeRecord(record)});
  }
  if (const std::string problem = recovery_->TakeProblem(); !problem.empty())
    desktop_.ShowMessage(problem + " The figure is not kept for recovery.", kAppTitle);
}

void FormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() || event->mimeData()->hasText()) event->acceptProposedAction();
}

void FormMain::dropEvent(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  event->acceptProposedAction();
  if (data->hasUrls()) {
    const QList<QUrl> urls = data->urls();
    const QString file = urls.size() == 1 ? urls.front().toLocalFile() : QString();
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("qmv")) {
      OpenDataFile(QFile::encodeName(file).toStdString());
      return;
    }
    if (suffix == QLatin1String("json") || suffix == QLatin1String("txt")) {
      QFile text(file);
      if (!text.open(QIODevice::ReadOnly) || text.size() > kLargestDroppedText) {
        desktop_.ShowMessage(
            "The dropped file " + file.toStdString() + " cannot be read. The screen is as it was.",
            kAppTitle);
        return;
      }
      clipboard_.PasteFigureText(text.readAll().toStdString(), "The dropped file");
      Sync();
      return;
    }
    desktop_.ShowMessage(kRefusedDrop, kAppTitle);
    return;
  }
  if (data->hasText()) {
    clipboard_.PasteFigureText(data->text().toStdString(), "The dropped text");
    Sync();
    return;
  }
  desktop_.ShowMessage(kRefusedDrop, kAppTitle);
}

}  // namespace zandorik
