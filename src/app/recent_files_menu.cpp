#include "app/recent_files_menu.h"

#include <QFile>
#include <QSettings>

namespace zandorik {
namespace {

constexpr const char* kKey = "RecentFiles";

}  // namespace

RecentFilesMenu::RecentFilesMenu(std::function<void(const std::string&)> open, QWidget* parent)
    : QMenu(QStringLiteral("Recent Files"), parent), open_(std::move(open)) {
  removeMissing_ = new QAction(QStringLiteral("Remove Missing Files"), this);
  clear_ = new QAction(QStringLiteral("Clear Recent Files"), this);
  connect(removeMissing_, &QAction::triggered, this, [this] {
    RecentFiles files = Load();
    files.RemoveMissing();
    Save(files);
  });
  connect(clear_, &QAction::triggered, this, [this] { Save(RecentFiles()); });
  connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::Rebuild);
  // The two commands stay at the end; the entries come and go before them.
  separator_ = addSeparator();
  addAction(removeMissing_);
  addAction(clear_);
  Rebuild();
}

QString RecentFilesMenu::DefaultSettingsPath() {
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!config.startsWith(QLatin1Char('/'))) config = qEnvironmentVariable("HOME") + "/.config";
  return config + QStringLiteral("/zandorik-dial/zandorik-dial.conf");
}

void RecentFilesMenu::UseSettings(const QString& settingsPath) {
  settingsPath_ = settingsPath;  // read when the menu opens
}

// Paths are kept as bytes, whatever their encoding.
RecentFiles RecentFilesMenu::Load() const {
  if (settingsPath_.isEmpty()) return memory_;
  const QSettings settings(settingsPath_, QSettings::IniFormat);
  std::vector<std::string> paths;
  for (const QVariant& path : settings.value(kKey).toList())
    paths.push_back(path.toByteArray().toStdString());
  return RecentFiles(paths);
}

void RecentFilesMenu::Save(const RecentFiles& files) {
  memory_ = files;
  if (!settingsPath_.isEmpty()) {
    QSettings settings(settingsPath_, QSettings::IniFormat);
    QVariantList paths;
    for (const std::string& path : files.Paths())
      paths.append(QByteArray::fromStdString(path));
    if (paths.isEmpty()) {
      settings.remove(kKey);
    } else {
      settings.setValue(kKey, paths);
    }
  }
  Rebuild();
}

void RecentFilesMenu::Add(const std::string& path) {
  RecentFiles files = Load();
  files.Add(path);
  Save(files);
}

void RecentFilesMenu::Rebuild() {
  // The entries go once their signal is over: an entry chosen may be what
  // rebuilds the menu.
  for (QAction* action : actions()) {
    if (action == separator_) break;
    removeAction(action);
    action->deleteLater();
  }
  const RecentFiles files = Load();
  bool missing = false;
  for (const std::string& path : files.Paths()) {
    // Shown in full, and an "&" in a name is not an access key.
    QString text = QFile::decodeName(QByteArray::fromStdString(path));
    auto* entry = new QAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")), this);
    insertAction(separator_, entry);
    entry->setData(QByteArray::fromStdString(path));
    const bool there = RecentFiles::Exists(path);
    entry->setEnabled(there);  // greyed
    missing = missing || !there;
    connect(entry, &QAction::triggered, this, [this, path] { open_(path); });
  }
  separator_->setVisible(!files.Paths().empty());
  removeMissing_->setEnabled(missing);
  clear_->setEnabled(!files.Paths().empty());
}

}  // namespace zandorik
