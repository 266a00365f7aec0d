// FormMain, "Zandorik Dial Generator": shows the editor's figure and
// forwards what the person does to it. It holds no figure logic itself.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTimer>
#include <array>
#include <memory>
#include <vector>

#include "app/dial_sheet_commands.h"
#include "app/dial_square_button.h"
#include "app/dial_style.h"
#include "app/form_about.h"
#include "app/form_check.h"
#include "app/form_figures.h"
#include "app/form_points_helper.h"
#include "app/form_team.h"
#include "app/palette_store.h"
#include "app/recent_files_menu.h"
#include "app/window_desktop.h"
#include "editor/dial_editor.h"
#include "editor/figure_clipboard.h"
#include "editor/file_commands.h"
#include "recovery/recovery_keeper.h"

namespace zandorik {

class FormMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit FormMain(WindowDesktop& desktop, QWidget* parent = nullptr);
  ~FormMain() override;

  const DialEditor& Editor() const { return editor_; }
  const FileCommands& Files() const { return files_; }
  // Makes `path` the data file in use, as "&Open File" does once a file
  // is chosen; false (with the message shown) when it cannot be opened.
  bool OpenDataFile(const std::string& path);
  const PaletteStore& Palette() const { return *palette_; }
  const std::vector<ImageListEntry>& ImageListColors() const { return imageListColors_; }

  // The controls, by the names the rest of the program uses.
  DialSquareButton* Square(StatRow row, int column) const {
    return squares_[static_cast<int>(row)][column];
  }
  QComboBox* ComboName() const { return comboName_; }
  QComboBox* ComboMove() const { return comboMove_; }
  QComboBox* ComboTeam() const { return comboTeam_; }
  QLineEdit* TextRange() const { return textRange_; }
  QCheckBox* CheckBolt(int k) const { return checkBolt_[k]; }
  QRadioButton* OptionRank(int i) const { return optionRank_[i]; }
  QLineEdit* TextValue() const { return textValue_; }
  QComboBox* ImageComboColors() const { return imageComboColors_; }
  QPushButton* CommandCalculate() const { return commandCalculate_; }
  QLineEdit* TextPoints() const { return textPoints_; }
  QWidget* ClientArea() const { return centralWidget(); }
  // The breakdown window, while it exists.
  FormCheck* Breakdown() const { return formCheck_; }
  // The about box, while it exists.
  FormAbout* About() const { return formAbout_; }
  // The points helper, while it is open.
  FormPointsHelper* PointsHelper() const { return formPointsHelper_; }
  // Whether a square carries the KO swatch: the one test of KO on screen.
  bool ShowsKO(StatRow row, int column) const;

  QAction* MenuFileNew() const { return menuFileNew_; }
  QAction* MenuFileOpen() const { return menuFileOpen_; }
  QAction* MenuFileFigures() const { return menuFileFigures_; }
  // The Figures window, once "&Figures..." has made it.
  FormFigures* FiguresWindow() const { return formFigures_; }
  QAction* MenuFileSave() const { return menuFileSave_; }
  QAction* MenuDeleteRecord() const { return menuDeleteRecord_; }
  QAction* MenuFilePrint() const { return menuFilePrint_; }
  QAction* MenuEditUndo() const { return menuEditUndo_; }
  QAction* MenuEditRedo() const { return menuEditRedo_; }
  QAction* MenuFileExportSheet() const { return menuFileExportSheet_; }
  QAction* MenuFilePrintSheet() const { return menuFilePrintSheet_; }
  const DialSheetCommands& SheetCommands() const { return sheetCommands_; }
  QAction* MenuFileExit() const { return menuFileExit_; }
  QAction* MenuFileTeam() const { return menuFileTeam_; }
  // The team window, once "&Team..." has made it.
  FormTeam* TeamWindow() const { return formTeam_; }
  QAction* MenuOptionsDisplayBreakdown() const { return menuOptionsDisplayBreakdown_; }
  QAction* MenuOptionsResetScreen() const { return menuOptionsResetScreen_; }
  QAction* MenuOptionsPointsHelper() const { return menuOptionsPointsHelper_; }
  QAction* MenuHelpAbout() const { return menuHelpAbout_; }
  QAction* MenuCopyFigure() const { return menuCopyFigure_; }
  QAction* MenuPasteFigure() const { return menuPasteFigure_; }
  QAction* MenuCopyShareCode() const { return menuCopyShareCode_; }

  // The habits of a desktop program (form_main_habits.cpp).
  // Keeps the figure for recovery in `folder` from now on, and first offers
  // the figures left there by windows that did not end normally. True when
  // one was recovered.
  bool StartRecovery(const std::string& folder);
  // The keeper of the recovery file, once StartRecovery has made it.
  RecoveryKeeper* Recovery() const { return recovery_.get(); }
  // "Recent Files", kept in `settingsPath` (RecentFilesMenu).
  RecentFilesMenu* MenuFileRecent() const { return menuFileRecent_; }

 protected:
  // Asks before a changed figure is lost; the window stays on Cancel.
  void closeEvent(QCloseEvent* event) override;
  // Ctrl+Z and the redo keys act on the figure in the text boxes too.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A data file dropped opens; a figures document or a share code, as a
  // file or as text, is pasted; anything else is refused.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateControls();
  void Form_Load();
  void BuildColourImages();

  void CheckSquare_Click(StatRow row, int column);
  void CheckSquare_Arrow(StatRow row, int column, int rowStep, int columnStep);
  void TextValue_Change(const QString& text);
  void ImageComboColors_Click(int index);
  void CommandCalculate_Click();
  void MenuFileNew_Click();
  void MenuFileOpen_Click();
  void MenuFileFigures_Click();
  bool MenuFileSave_Click();
  void MenuDeleteRecord_Click();
  void ComboName_Click(int index);
  void MenuOptionsResetScreen_Click();
  void MenuEditUndo_Click();
  void MenuEditRedo_Click();
  void MenuOptionsDisplayBreakdown_Click();
  void MenuOptionsPointsHelper_Click();
  void MenuFilePrint_Click();
  void MenuHelpAbout_Click();
  void Form_Unload();
  // Whether the window may close: true unless the person keeps a changed
  // figure (Cancel, or a save that did not happen).
  bool MayClose();

  // Shows what the editor changed.
  void Sync();
  // After Sync: the recovery file follows the figure, the recent files the
  // data file in use.
  void SyncHabits();
  void WriteRecovery();
  void ShowSquare(StatRow row, int column);
  void ShowPicker();
  void ShowFields();
  void ShowNameList();
  void ShowTitle();
  // The dial is one Tab stop: the current square (Speed 1 before there is
  // one) takes the focus, and the focus follows it while the dial has it.
  // The current square is framed, with the focus or without.
  void ShowDialStop();

  WindowDesktop& desktop_;
  DialEditor editor_;
  FileCommands files_;
  FigureClipboard clipboard_;
  std::unique_ptr<PaletteStore> palette_;  // the swatch pictures, made at load
  std::vector<ImageListEntry> imageListColors_;

  std::array<std::array<DialSquareButton*, kColumnCount>, kStatRowCount> squares_{};
  QComboBox* comboName_ = nullptr;
  QStringListModel* nameList_ = nullptr;  // ComboName's entries
  QComboBox* comboMove_ = nullptr;
  QComboBox* comboTeam_ = nullptr;
  QLineEdit* textRange_ = nullptr;
  std::array<QCheckBox*, 3> checkBolt_{};
  std::array<QRadioButton*, 5> optionRank_{};
  QLineEdit* textValue_ = nullptr;
  QComboBox* imageComboColors_ = nullptr;
  QPushButton* commandCalculate_ = nullptr;
  QLineEdit* textPoints_ = nullptr;
  QPointer<FormCheck> formCheck_;
  QPointer<FormAbout> formAbout_;
  QPointer<FormTeam> formTeam_;
  QPointer<FormFigures> formFigures_;
  QPointer<FormPointsHelper> formPointsHelper_;
  std::optional<StatRow> pickerRowShown_;
  DialSquareButton* dialStop_ = nullptr;

  QAction* menuFileNew_ = nullptr;
  QAction* menuFileOpen_ = nullptr;
  QAction* menuFileFigures_ = nullptr;  // "&Figures..."
  QAction* menuFileSave_ = nullptr;
  QAction* menuDeleteRecord_ = nullptr;
  QAction* menuFilePrint_ = nullptr;
  QAction* menuEditUndo_ = nullptr;
  QAction* menuEditRedo_ = nullptr;
  QAction* menuFileExportSheet_ = nullptr;  // "Export Dia&l Sheet..."
  QAction* menuFilePrintSheet_ = nullptr;   // "Print Dial S&heet"
  DialSheetCommands sheetCommands_{desktop_};
  QAction* menuFileExit_ = nullptr;
  QAction* menuFileTeam_ = nullptr;  // "&Team..."
  QAction* menuOptionsDisplayBreakdown_ = nullptr;
  QAction* menuOptionsResetScreen_ = nullptr;
  QAction* menuOptionsPointsHelper_ = nullptr;  // "Points &Helper"
  QAction* menuHelpAbout_ = nullptr;
  QAction* menuCopyFigure_ = nullptr;
  QAction* menuPasteFigure_ = nullptr;
  QAction* menuCopyShareCode_ = nullptr;

  RecentFilesMenu* menuFileRecent_ = nullptr;
  std::string recentShown_;  // the data file last added to the list
  std::unique_ptr<RecoveryKeeper> recovery_;
  QTimer* recoveryTimer_ = nullptr;
};

}  // namespace zandorik
