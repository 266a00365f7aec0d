// "Recent Files" in the "&File" menu: the data files opened or created
// last (RecentFiles), kept in the program's settings file so that every
// window and every later start sees them. The list is read again each time
// the menu opens; a missing file is shown greyed, and "Remove Missing
// Files" takes such entries off the list.
#pragma once

#include <QMenu>
#include <QString>
#include <functional>
#include <string>

#include "recent/recent_files.h"

namespace zandorik {

class RecentFilesMenu : public QMenu {
  Q_OBJECT
 public:
  // `open` is called with the path of the entry chosen.
  RecentFilesMenu(std::function<void(const std::string&)> open, QWidget* parent);

  // The settings file: $XDG_CONFIG_HOME (else ~/.config) /zandorik-dial/zandorik-dial.conf.
  static QString DefaultSettingsPath();
  // Keeps the list in `settingsPath` from now on; without one it lives as
  // long as the window.
  void UseSettings(const QString& settingsPath);

  // A data file was opened or created.
  void Add(const std::string& path);
  // The list as it is kept now.
  RecentFiles Load() const;
  // Fills the menu from the list (done as it opens).
  void Rebuild();

  QAction* ActionClear() const { return clear_; }
  QAction* ActionRemoveMissing() const { return removeMissing_; }

 private:
  void Save(const RecentFiles& files);

  std::function<void(const std::string&)> open_;
  QString settingsPath_;
  RecentFiles memory_;  // without a settings file
  QAction* separator_;
  QAction* removeMissing_;
  QAction* clear_;
};

}  // namespace zandorik
