// The team window ("&Team..." of the main window's "&File" menu, modeless):
// a team of figures to a points cap, its total always in view. It shows
// the team commands' state and forwards what the person does to them.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QWidget>

#include "app/dial_sheet_commands.h"
#include "editor/dial_editor.h"
#include "editor/file_commands.h"
#include "team/team_commands.h"

namespace zandorik {

class FormTeam : public QWidget {
  Q_OBJECT
 public:
  // The columns of the list of entries.
  enum Column { kNameColumn, kPointsColumn, kCountColumn, kSubtotalColumn, kSourceColumn };

  // `editor` holds the figure on the screen, `files` the data file in use;
  // `sheets` prints and exports with the dial sheets' settings.
  FormTeam(Desktop& desktop, const DialEditor& editor, const FileCommands& files,
           DialSheetCommands& sheets, QWidget* owner);

  const TeamCommands& Commands() const { return commands_; }
  TeamCommands& Commands() { return commands_; }
  // Whether the team may be let go (the question before unsaved changes
  // are lost); once true, closing the window asks no more.
  bool MayClose();
  // Shows the team as the commands hold it now.
  void ShowTeam();
  // Adds figures listed in the data file in use, one each, and shows the
  // team: what "&Add" does with the name chosen, and what a list of stored
  // figures hands over.
  void AddListedFigures(const std::vector<NameEntry>& entries);

  QLineEdit* TextName() const { return textName_; }
  QSpinBox* SpinCap() const { return spinCap_; }
  QTableWidget* TableEntries() const { return tableEntries_; }
  // The count of entry `row`.
  QSpinBox* SpinCount(int row) const;
  QLabel* LabelTotal() const { return labelTotal_; }
  QLabel* LabelWarning() const { return labelWarning_; }
  QPushButton* CommandAddScreen() const { return commandAddScreen_; }
  QComboBox* ComboNames() const { return comboNames_; }
  QPushButton* CommandAddName() const { return commandAddName_; }
  QPushButton* CommandRemove() const { return commandRemove_; }
  QPushButton* CommandMoveUp() const { return commandMoveUp_; }
  QPushButton* CommandMoveDown() const { return commandMoveDown_; }
  QPushButton* CommandRefresh() const { return commandRefresh_; }
  QAction* MenuTeamNew() const { return menuTeamNew_; }
  QAction* MenuTeamOpen() const { return menuTeamOpen_; }
  QAction* MenuTeamSave() const { return menuTeamSave_; }
  QAction* MenuTeamSaveAs() const { return menuTeamSaveAs_; }
  QAction* MenuTeamPrint() const { return menuTeamPrint_; }
  QAction* MenuTeamExportSheet() const { return menuTeamExportSheet_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Coming to the front: the data file's names and the entries' marks are
  // brought up to date.
  void changeEvent(QEvent* event) override;

 private:
  void CommandAddScreen_Click();
  void CommandAddName_Click();
  void CommandRemove_Click();
  void CommandMove_Click(int step);
  void SpinCount_Change(int row, int count);
  void ShowTotal();
  void ShowTitle();
  void ShowNameList();
  void ShowButtons();
  int CurrentRow() const;

  TeamCommands commands_;
  const DialEditor& editor_;
  const FileCommands& files_;
  DialSheetCommands& sheets_;
  bool letGo_ = false;  // MayClose said yes: closing asks no more

  QLineEdit* textName_ = nullptr;
  QSpinBox* spinCap_ = nullptr;
  QTableWidget* tableEntries_ = nullptr;
  QLabel* labelTotal_ = nullptr;
  QLabel* labelWarning_ = nullptr;
  QPushButton* commandAddScreen_ = nullptr;
  QComboBox* comboNames_ = nullptr;
  QPushButton* commandAddName_ = nullptr;
  QPushButton* commandRemove_ = nullptr;
  QPushButton* commandMoveUp_ = nullptr;
  QPushButton* commandMoveDown_ = nullptr;
  QPushButton* commandRefresh_ = nullptr;
  QAction* menuTeamNew_ = nullptr;
  QAction* menuTeamOpen_ = nullptr;
  QAction* menuTeamSave_ = nullptr;
  QAction* menuTeamSaveAs_ = nullptr;
  QAction* menuTeamPrint_ = nullptr;        // "&Print Team"
  QAction* menuTeamExportSheet_ = nullptr;  // "&Export Team Sheet..."
  QAction* menuTeamRefresh_ = nullptr;
  QAction* menuTeamClose_ = nullptr;
};

}  // namespace zandorik
