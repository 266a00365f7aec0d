#include "app/form_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIconEngine>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <algorithm>
#include <filesystem>

#include "app/qt_text.h"
#include "app/twips.h"
#include "share/share_code.h"

namespace zandorik {
namespace {

constexpr const char* kCaption = "Zandorik Dial Generator";

QLabel* AddLabel(QWidget* parent, const char* text, QRect geometry,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(geometry);
  label->setAlignment(alignment);
  return label;
}

}  // namespace

FormMain::FormMain(WindowDesktop& desktop, QWidget* parent)
    : QMainWindow(parent),
      desktop_(desktop),
      editor_(desktop),
      files_(desktop, editor_),
      clipboard_(desktop, editor_, &ShareCodes()) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowTitle(QString::fromUtf8(kCaption));
  setFont(DialFont());
  CreateActions();
  CreateMenus();
  CreateControls();
  Form_Load();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setAcceptDrops(true);
  Sync();
  // A message box of Calculate shows over what the calculation wrote so far.
  editor_.OnBeforeMessage([this] { Sync(); });
  files_.OnBeforeMessage([this] { Sync(); });
}

// The helper goes first: it reads the editor, which goes with this window.
FormMain::~FormMain() {
  delete formPointsHelper_;
}

void FormMain::CreateActions() {
  auto action = [this](const char* text, QKeySequence shortcut = {}) {
    auto* a = new QAction(QString::fromUtf8(text), this);
    a->setShortcut(shortcut);
    return a;
  };
  menuFileNew_ = action("&New File", QKeySequence(Qt::CTRL | Qt::Key_N));
  menuFileOpen_ = action("&Open File", QKeySequence(Qt::CTRL | Qt::Key_O));
  menuFileFigures_ = action("&Figures...", QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(menuFileFigures_, &QAction::triggered, this, &FormMain::MenuFileFigures_Click);
  menuFileSave_ = action("&Save Record", QKeySequence(Qt::CTRL | Qt::Key_S));
  menuDeleteRecord_ = action("&Delete Record", QKeySequence(Qt::CTRL | Qt::Key_D));
  menuFilePrint_ = action("&Print", QKeySequence(Qt::CTRL | Qt::Key_P));
  menuEditUndo_ = action("&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z));
  menuEditRedo_ = action("&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  menuEditRedo_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  menuFileExit_ = action("E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q));
  menuFileExportSheet_ = action("Export Dia&l Sheet...");
  menuFilePrintSheet_ = action("Print Dial S&heet");
  menuFileTeam_ = action("&Team...");
  // One team window, kept (with its team) when closed and shown again.
  connect(menuFileTeam_, &QAction::triggered, this, [this] {
    if (!formTeam_) formTeam_ = new FormTeam(desktop_, editor_, files_, sheetCommands_, this);
    formTeam_->show();
    formTeam_->raise();
    formTeam_->activateWindow();
  });
  connect(menuFileExportSheet_, &QAction::triggered, this,
          [this] { sheetCommands_.Export(editor_.Screen(), files_.DataFileName()); });
  connect(menuFilePrintSheet_, &QAction::triggered, this,
          [this] { sheetCommands_.Print(editor_.Screen()); });
  menuOptionsDisplayBreakdown_ = action("&Display Breakdown", QKeySequence(Qt::Key_F1));
  menuOptionsResetScreen_ = action("&Reset Screen", QKeySequence(Qt::Key_F5));
  menuOptionsPointsHelper_ = action("Points &Helper", QKeySequence(Qt::CTRL | Qt::Key_H));
  menuHelpAbout_ = action("&About");
  menuCopyFigure_ = action("&Copy Figure", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  menuPasteFigure_ = action("&Paste Figure", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  menuCopyShareCode_ = action("Copy &Share Code");
  connect(menuCopyShareCode_, &QAction::triggered, this, [this] {
    clipboard_.MenuCopyShareCode_Click();
    Sync();
  });
  connect(menuCopyFigure_, &QAction::triggered, this, [this] {
    clipboard_.MenuCopyFigure_Click();
    Sync();
  });
  connect(menuPasteFigure_, &QAction::triggered, this, [this] {
    clipboard_.MenuPasteFigure_Click();
    Sync();
  });

  connect(menuFileNew_, &QAction::triggered, this, &FormMain::MenuFileNew_Click);
  connect(menuFileOpen_, &QAction::triggered, this, &FormMain::MenuFileOpen_Click);
  connect(menuFileSave_, &QAction::triggered, this, &FormMain::MenuFileSave_Click);
  connect(menuDeleteRecord_, &QAction::triggered, this, &FormMain::MenuDeleteRecord_Click);
  connect(menuFilePrint_, &QAction::triggered, this, &FormMain::MenuFilePrint_Click);
  connect(menuFileExit_, &QAction::triggered, this, &QWidget::close);
  connect(menuHelpAbout_, &QAction::triggered, this, &FormMain::MenuHelpAbout_Click);
  connect(menuEditUndo_, &QAction::triggered, this, &FormMain::MenuEditUndo_Click);
  connect(menuEditRedo_, &QAction::triggered, this, &FormMain::MenuEditRedo_Click);
  connect(menuOptionsDisplayBreakdown_, &QAction::triggered, this,
          &FormMain::MenuOptionsDisplayBreakdown_Click);
  connect(menuOptionsResetScreen_, &QAction::triggered, this,
          &FormMain::MenuOptionsResetScreen_Click);
  connect(menuOptionsPointsHelper_, &QAction::triggered, this,
          &FormMain::MenuOptionsPointsHelper_Click);
}

void FormMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(menuFileNew_);
  file->addAction(menuFileOpen_);
  menuFileRecent_ =
      new RecentFilesMenu([this](const std::string& path) { OpenDataFile(path); }, this);
  file->addAction(menuFileFigures_);
  file->addMenu(menuFileRecent_);
  file->addSeparator();
  file->addAction(menuFileSave_);
  file->addAction(menuDeleteRecord_);
  file->addSeparator();
  file->addAction(menuFilePrint_);
  file->addAction(menuFileExportSheet_);
  file->addAction(menuFilePrintSheet_);
  file->addSeparator();
  file->addAction(menuFileTeam_);
  file->addSeparator();
  file->addAction(menuFileExit_);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addAction(menuEditUndo_);
  edit->addAction(menuEditRedo_);
  edit->addSeparator();
  edit->addAction(menuCopyFigure_);
  edit->addAction(menuCopyShareCode_);
  edit->addAction(menuPasteFigure_);
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  options->addAction(menuOptionsDisplayBreakdown_);
  options->addAction(menuOptionsResetScreen_);
  options->addAction(menuOptionsPointsHelper_);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(menuHelpAbout_);
}

void FormMain::CreateControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(Twips(6345), Twips(3555));
  setCentralWidget(client);

  QLabel* nameLabel = AddLabel(client, "Name", TwipsRect(120, 120, 615, 195));
  comboName_ = new QComboBox(client);
  comboName_->setEditable(true);
  comboName_->setInsertPolicy(QComboBox::NoInsert);
  // The box holds exactly what was typed: no completion. Only a pick from
  // the list (or the arrow keys) loads a figure, not leaving the box with
  // a stored name typed in it.
  comboName_->setCompleter(nullptr);
  disconnect(comboName_->lineEdit(), &QLineEdit::editingFinished, comboName_, nullptr);
  nameList_ = new QStringListModel(comboName_);
  comboName_->setModel(nameList_);
  comboName_->setGeometry(TwipsRect(840, 60, 1995, 315));
  comboName_->setAccessibleName(QStringLiteral("Name"));
  // Typing only: a pick from the list sets the name with its load, as one
  // undo step (ComboName_Click).
  connect(comboName_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    editor_.SetName(text.toStdString());
    Sync();
  });
  connect(comboName_, &QComboBox::activated, this, &FormMain::ComboName_Click);

  QLabel* moveLabel = AddLabel(client, "Move", TwipsRect(120, 480, 615, 255));
  comboMove_ = new QComboBox(client);
  comboMove_->setGeometry(TwipsRect(840, 420, 1035, 315));
  comboMove_->setAccessibleName(QStringLiteral("Move"));
  QLabel* teamLabel = AddLabel(client, "Team", TwipsRect(2160, 480, 615, 255));
  comboTeam_ = new QComboBox(client);
  comboTeam_->setGeometry(TwipsRect(2820, 420, 1935, 315));
  comboTeam_->setAccessibleName(QStringLiteral("Team"));
  // Screen readers on Linux name a combo box by its label.
  nameLabel->setBuddy(comboName_);
  moveLabel->setBuddy(comboMove_);
  teamLabel->setBuddy(comboTeam_);
  connect(comboMove_, &QComboBox::currentIndexChanged, this, [this](int index) {
    editor_.SetMove(index);
    Sync();
  });
  connect(comboTeam_, &QComboBox::currentIndexChanged, this, [this](int index) {
    editor_.SetTeam(index);
    Sync();
  });

  AddLabel(client, "Range:", TwipsRect(4920, 480, 555, 255), Qt::AlignRight | Qt::AlignTop);
  textRange_ = new QLineEdit(QStringLiteral("0"), client);
  textRange_->setGeometry(TwipsRect(5520, 480, 675, 315));
  textRange_->setAccessibleName(QStringLiteral("Range"));
  connect(textRange_, &QLineEdit::textEdited, this, [this](const QString& text) {
    editor_.SetRange(text.toStdString());
    Sync();
  });

  AddLabel(client, "Bolts:", TwipsRect(4920, 840, 555, 255), Qt::AlignRight | Qt::AlignTop);
  for (int k = 0; k < 3; ++k) {
    auto* box = new QCheckBox(client);
    box->setGeometry(TwipsRect(5520 + 240 * k, 840, 195, 255));
    box->setChecked(editor_.Screen().bolts[k]);
    box->setAccessibleName(QStringLiteral("Bolt %1").arg(k + 1));
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) {
      editor_.SetBolt(k, on);
      Sync();
    });
    checkBolt_[k] = box;
  }

  auto* rank = new QGroupBox(QStringLiteral("Rank"), client);
  rank->setAccessibleName(QStringLiteral("Rank"));
  rank->setGeometry(TwipsRect(4860, 1200, 1395, 1635));
  const int rankTops[] = {240, 480, 720, 1020, 1260};
  for (int i = 0; i < 5; ++i) {
    auto* option = new QRadioButton(QText(kRanks[i].caption), rank);
    option->setGeometry(TwipsRect(120, rankTops[i], 1215, 315));
    option->setChecked(editor_.Screen().rankSelected[i]);
    connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
      if (!on) return;
      editor_.SetRank(i);
      Sync();
    });
    optionRank_[i] = option;
  }

  const int rowTops[] = {840, 1200, 1560, 1920};
  for (StatRow row : kStatRows) {
    const int r = static_cast<int>(row);
    AddLabel(client, StatRowName(row).data(), TwipsRect(120, rowTops[r] + 60, 615, 255));
    for (int column = 0; column < kColumnCount; ++column) {
      auto* square = new DialSquareButton(client);
      square->setGeometry(TwipsRect(840 + 360 * column, rowTops[r], 315, 315));
      connect(square, &QAbstractButton::clicked, this,
              [this, row, column] { CheckSquare_Click(row, column); });
      connect(square, &DialSquareButton::ArrowPressed, this,
              [this, row, column](int rowStep, int columnStep) {
                CheckSquare_Arrow(row, column, rowStep, columnStep);
              });
      squares_[r][column] = square;
    }
  }

  auto* current = new QGroupBox(QStringLiteral("Current Square"), client);
  current->setGeometry(TwipsRect(480, 2340, 4275, 675));
  AddLabel(current, "Value:", TwipsRect(120, 300, 495, 255));
  textValue_ = new QLineEdit(current);
  textValue_->setAlignment(Qt::AlignRight);
  textValue_->setGeometry(TwipsRect(600, 240, 495, 315));
  textValue_->setAccessibleName(QStringLiteral("Value"));
  connect(textValue_, &QLineEdit::textEdited, this, &FormMain::TextValue_Change);
  imageComboColors_ = new QComboBox(current);
  // Its swatches are shown at their own size, and 330 twips leave one row
  // too few for them inside the border: the picker is that row taller.
  QRect picker = TwipsRect(1200, 240, 3015, 330);
  picker.setHeight(std::max(picker.height(), PaletteStore::kSwatchSize + 2));
  imageComboColors_->setGeometry(picker);
  imageComboColors_->setAccessibleName(QStringLiteral("Power"));
  connect(imageComboColors_, &QComboBox::activated, this, &FormMain::ImageComboColors_Click);

  commandCalculate_ = new QPushButton(QStringLiteral("Calculate"), client);
  commandCalculate_->setGeometry(TwipsRect(180, 3060, 1035, 315));
  connect(commandCalculate_, &QPushButton::clicked, this, &FormMain::CommandCalculate_Click);
  textPoints_ = new QLineEdit(client);
  textPoints_->setReadOnly(true);
  textPoints_->setAlignment(Qt::AlignRight);
  textPoints_->setGeometry(TwipsRect(1260, 3060, 1155, 315));
  textPoints_->setAccessibleName(QStringLiteral("Points"));
  AddLabel(client, "Points", TwipsRect(2460, 3120, 735, 255));

  // The Tab order runs from top left to bottom right; the 44 squares sit
  // together in it, and only one of them takes the focus (ShowDialStop).
  std::vector<QWidget*> order = {comboName_, comboMove_, comboTeam_, textRange_};
  for (const auto& row : squares_)
    order.insert(order.end(), row.begin(), row.end());
  order.insert(order.end(), checkBolt_.begin(), checkBolt_.end());
  order.insert(order.end(), optionRank_.begin(), optionRank_.end());
  order.insert(order.end(), {textValue_, imageComboColors_, commandCalculate_, textPoints_});
  for (std::size_t i = 1; i < order.size(); ++i)
    setTabOrder(order[i - 1], order[i]);  // skips controls that take no focus
  for (const auto& row : squares_) {
    for (DialSquareButton* square : row)
      square->setFocusPolicy(Qt::NoFocus);
  }

  // The text boxes' own undo would take Ctrl+Z from the figure's.
  for (QObject* box :
       {static_cast<QObject*>(comboName_), static_cast<QObject*>(comboName_->lineEdit()),
        static_cast<QObject*>(textRange_), static_cast<QObject*>(textValue_),
        static_cast<QObject*>(textPoints_)})
    box->installEventFilter(this);
}

void FormMain::Form_Load() {
  BuildColourImages();
  const QSignalBlocker blockMove(comboMove_);
  const QSignalBlocker blockTeam(comboTeam_);
  for (std::string_view move : kMovements)
    comboMove_->addItem(QText(move));
  comboMove_->setCurrentIndex(0);
  for (const TeamEntry& team : kTeams)
    comboTeam_->addItem(QText(team.name));
  comboTeam_->setCurrentIndex(0);
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column)
      ShowSquare(row, column);
  }
}

void FormMain::BuildColourImages() {
  if (!palette_) palette_ = std::make_unique<PaletteStore>();
  imageListColors_ = zandorik::BuildColourImages(*palette_);
}

bool FormMain::ShowsKO(StatRow row, int column) const {
  return Square(row, column)->Picture() == &palette_->KOSwatch();
}

void FormMain::CheckSquare_Click(StatRow row, int column) {
  editor_.ClickSquare(row, column);
  Sync();
}

void FormMain::CheckSquare_Arrow(StatRow row, int column, int rowStep, int columnStep) {
  const int r = std::clamp(static_cast<int>(row) + rowStep, 0, kStatRowCount - 1);
  const int c = std::clamp(column + columnStep, 0, kColumnCount - 1);
  editor_.MoveToSquare(static_cast<StatRow>(r), c);
  Sync();
  Square(static_cast<StatRow>(r), c)->setFocus(Qt::OtherFocusReason);
}

void FormMain::TextValue_Change(const QString& text) {
  editor_.TypeValue(text.toStdString());
  Sync();
}

void FormMain::ImageComboColors_Click(int index) {
  editor_.ChooseColour(index);
  Sync();
}

void FormMain::CommandCalculate_Click() {
  editor_.Calculate();
  Sync();
}

void FormMain::MenuFileNew_Click() {
  files_.MenuFileNew_Click();
  Sync();
}

void FormMain::MenuFileOpen_Click() {
  files_.MenuFileOpen_Click();
  Sync();
}

// One Figures window, kept when closed; it loads a figure as a pick from
// the name list does.
void FormMain::MenuFileFigures_Click() {
  if (!formFigures_) {
    formFigures_ = new FormFigures(
        desktop_, editor_, [this] { return files_.DataFileName(); },
        [this](const NameEntry& entry) {
          const bool loaded = files_.LoadListedFigure(entry);
          Sync();
          return loaded;
        },
        this);
  }
  formFigures_->show();
  formFigures_->raise();
  formFigures_->activateWindow();
}

bool FormMain::OpenDataFile(const std::string& path) {
  const bool opened = files_.OpenDataFile(path);
  Sync();
  return opened;
}

bool FormMain::MenuFileSave_Click() {
  const bool saved = files_.MenuFileSave_Click();
  Sync();
  return saved;
}

void FormMain::MenuDeleteRecord_Click() {
  files_.MenuDeleteRecord_Click();
  Sync();
}

void FormMain::ComboName_Click(int index) {
  files_.ComboName_Click(index);
  Sync();
  // The box took the entry's text; a pick that loaded nothing (kept
  // changes, a failure) shows the figure's own name again.
  if (comboName_->currentText() != QText(editor_.Screen().name)) {
    const QSignalBlocker block(comboName_);
    comboName_->setCurrentIndex(-1);
    comboName_->setEditText(QText(editor_.Screen().name));
  }
}

void FormMain::MenuOptionsResetScreen_Click() {
  editor_.ResetScreen();
  Sync();
}

void FormMain::MenuEditUndo_Click() {
  editor_.Undo();
  Sync();
}

void FormMain::MenuEditRedo_Click() {
  editor_.Redo();
  Sync();
}

void FormMain::MenuOptionsDisplayBreakdown_Click() {
  if (!formCheck_) formCheck_ = new FormCheck(this);
  formCheck_->show();
  formCheck_->raise();
  formCheck_->activateWindow();
}

// One helper at most; it follows the figure on the screen (Sync) and
// applies a suggestion through the editor, as one undo step.
void FormMain::MenuOptionsPointsHelper_Click() {
  if (!formPointsHelper_) {
    formPointsHelper_ = new FormPointsHelper(
        editor_,
        [this](const FigureScreen& figure) {
          editor_.ApplyFigure(figure);
          Sync();
        },
        this);
    for (StatRow row : kStatRows) {
      for (int column = 0; column < kColumnCount; ++column)
        formPointsHelper_->WatchSquare(Square(row, column), row, column);
    }
    // A suggestion applied is undone from the helper as well.
    formPointsHelper_->addActions({menuEditUndo_, menuEditRedo_});
  }
  formPointsHelper_->show();
  formPointsHelper_->raise();
  formPointsHelper_->activateWindow();
}

// Printing a window takes no more than handing it to the printer; what
// went wrong is said in a box, and the figure on screen stays as it is.
void FormMain::MenuFilePrint_Click() {
  if (std::string failure; !desktop_.PrintMainWindow(&failure))
    desktop_.ShowMessage(failure, kAppTitle);
}

// One about box at most: chosen again, it comes to the front.
void FormMain::MenuHelpAbout_Click() {
  if (!formAbout_) formAbout_ = new FormAbout(desktop_, this);
  formAbout_->show();
  formAbout_->raise();
  formAbout_->activateWindow();
}

void FormMain::closeEvent(QCloseEvent* event) {
  if (!MayClose() || (formTeam_ && !formTeam_->MayClose())) {
    event->ignore();
    return;
  }
  Form_Unload();
  event->accept();
}

bool FormMain::MayClose() {
  const bool may = files_.MayReplaceFigure();
  Sync();
  return may;
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* action : {menuEditUndo_, menuEditRedo_}) {
      if (!action->shortcuts().contains(keys)) continue;
      // Not overridden, so the menu's shortcut runs; a key press that gets
      // here (nothing to undo) is dropped.
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void FormMain::Form_Unload() {
  files_.Close();
  recovery_.reset();  // a normal end: the recovery file goes
  // Every other window goes with the main window.
  if (formCheck_) formCheck_->close();
  if (formAbout_) formAbout_->close();
  if (formTeam_) formTeam_->close();
  if (formFigures_) formFigures_->close();
  if (formPointsHelper_) formPointsHelper_->close();
}

void FormMain::Sync() {
  const EditorChanges changes = editor_.TakeChanges();
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      if (changes.Square(row, column)) ShowSquare(row, column);
    }
  }
  if (files_.TakeNameListChanged()) {
    ShowNameList();
    // A save, a delete or another file: the Figures window follows.
    if (formFigures_) formFigures_->Refresh();
  }
  if (changes.fields) ShowFields();
  if (changes.picker) ShowPicker();
  if (changes.valueBox) {
    const QString text = QText(editor_.ValueText());
    if (textValue_->text() != text) textValue_->setText(text);
    textValue_->setEnabled(editor_.ValueEnabled());
  }
  if (changes.focusValueBox) {
    textValue_->setFocus(Qt::OtherFocusReason);
    textValue_->selectAll();
  }
  if (changes.breakdown.any()) {
    if (!formCheck_) formCheck_ = new FormCheck(this);  // made hidden on first use
    formCheck_->SetValues(editor_.BreakdownFields(), changes.breakdown);
  }
  if (changes.calculation) textPoints_->setText(QText(editor_.PointsText()));
  ShowDialStop();
  menuEditUndo_->setEnabled(editor_.CanUndo());
  menuEditRedo_->setEnabled(editor_.CanRedo());
  ShowTitle();
  if (formPointsHelper_) formPointsHelper_->FigureChanged();
  SyncHabits();
  if (formFigures_) formFigures_->FigureChanged();
}

void FormMain::ShowTitle() {
  const std::string& path = files_.DataFileName();
  QString title = QString::fromUtf8(kCaption);
  const QString changed = editor_.HasUnsavedChanges() ? QStringLiteral("*") : QString();
  if (path.empty()) {
    title += changed;
  } else {
    const std::string file = std::filesystem::path(path).filename().string();
    title = QFile::decodeName(QByteArray::fromStdString(file)) + changed + QStringLiteral(" - ") +
            title;
  }
  if (windowTitle() != title) setWindowTitle(title);
}

void FormMain::ShowDialStop() {
  StatRow row = StatRow::Speed;
  int column = 0;
  const bool chosen = editor_.CurrentRow().has_value();
  if (chosen) row = *editor_.CurrentRow();
  if (chosen) column = editor_.CurrentColumn();
  DialSquareButton* stop = Square(row, column);
  // The current square is framed however it was chosen.
  if (dialStop_) dialStop_->SetCurrent(false);
  stop->SetCurrent(chosen);
  if (stop == dialStop_) return;
  const bool focused = dialStop_ && dialStop_->hasFocus();
  if (dialStop_) dialStop_->setFocusPolicy(Qt::NoFocus);
  stop->setFocusPolicy(Qt::TabFocus);
  dialStop_ = stop;
  if (focused) stop->setFocus(Qt::OtherFocusReason);
}

void FormMain::ShowSquare(StatRow row, int column) {
  const DialSquare& square = editor_.Screen().Square(row, column);
  DialSquareButton* button = Square(row, column);
  button->setText(QText(square.caption));
  button->SetBackground(square.background);
  button->SetCaptionColour(square.HasWhiteCaption() ? Qt::white : Qt::black);
  button->SetPicture(square.IsKO() ? &palette_->KOSwatch() : nullptr);
  button->setAccessibleName(QText(SpokenSquare(row, column, square)));
}

void FormMain::ShowNameList() {
  // The list is rebuilt; the box keeps its text.
  const QSignalBlocker block(comboName_);
  QStringList names;
  names.reserve(static_cast<qsizetype>(files_.NameList().size()));
  for (const NameEntry& entry : files_.NameList())
    names.append(QText(entry.shown));
  nameList_->setStringList(names);
  // Long lists are laid out at once (the list is made on first use).
  if (auto* view = qobject_cast<QListView*>(comboName_->view())) view->setUniformItemSizes(true);
  comboName_->setCurrentIndex(-1);
  comboName_->setEditText(QText(editor_.Screen().name));
}

void FormMain::ShowPicker() {
  const QSignalBlocker block(imageComboColors_);
  if (!pickerRowShown_) {
    // The swatches at their own size. Set with the first entries, since
    // setting it makes the drop-down list, which start-up has no use for.
    const QSize swatch(PaletteStore::kSwatchSize, PaletteStore::kSwatchSize);
    imageComboColors_->setIconSize(swatch);
  }
  if (editor_.PickerRow() != pickerRowShown_) {
    imageComboColors_->clear();
    // No entries before the first square is selected (after undoing it).
    for (const PickerEntry& entry : editor_.PickerEntries()) {
      if (!editor_.PickerRow()) break;
      const QString key = QText(entry.key);
      QIcon image;
      for (const ImageListEntry& swatch : imageListColors_) {
        if (swatch.key == key) image = swatch.image;
      }
      imageComboColors_->addItem(image, QText(entry.text), key);
    }
    pickerRowShown_ = editor_.PickerRow();
  }
  imageComboColors_->setCurrentIndex(editor_.PickerSelection());
}

void FormMain::ShowFields() {
  const FigureScreen& screen = editor_.Screen();
  const QSignalBlocker b1(comboName_), b2(comboMove_), b3(comboTeam_), b4(textRange_);
  comboName_->setEditText(QText(screen.name));
  comboMove_->setCurrentIndex(MovementPosition(screen.moveText));
  comboTeam_->setCurrentIndex(TeamPosition(screen.teamText));
  textRange_->setText(QText(screen.rangeText));
  for (int k = 0; k < 3; ++k) {
    const QSignalBlocker block(checkBolt_[k]);
    checkBolt_[k]->setChecked(screen.bolts[k]);
  }
  // Exclusive buttons cannot all be cleared, and a figure may have no rank.
  for (int i = 0; i < 5; ++i) {
    const QSignalBlocker block(optionRank_[i]);
    optionRank_[i]->setAutoExclusive(false);
    optionRank_[i]->setChecked(screen.rankSelected[i]);
    optionRank_[i]->setAutoExclusive(true);
  }
}

}  // namespace zandorik
