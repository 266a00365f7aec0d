#include "app/form_team.h"

#include <QCloseEvent>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QVBoxLayout>
#include <filesystem>

#include "app/qt_text.h"
#include "store/figure_text.h"

namespace zandorik {
namespace {

constexpr const char* kCaption = "Team";
// How long coming to the front waits for a data file in use.
constexpr std::chrono::milliseconds kQuickLockWait{100};

const char* SourceText(SourceState state) {
  switch (state) {
    case SourceState::Changed:
      return "changed";
    case SourceState::NotStored:
      return "not stored";
    case SourceState::Unreadable:
      return "cannot be read";
    case SourceState::None:
    case SourceState::Same:
      break;
  }
  return "";
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  return item;
}

QString Number(const auto& n) {
  return n ? QString::number(*n) : QStringLiteral("-");
}

}  // namespace

FormTeam::FormTeam(Desktop& desktop, const DialEditor& editor, const FileCommands& files,
                   DialSheetCommands& sheets, QWidget* owner)
    : QWidget(owner, Qt::Window),
      commands_(desktop),
      editor_(editor),
      files_(files),
      sheets_(sheets) {
  setObjectName(QStringLiteral("FormTeam"));
  auto* layout = new QVBoxLayout(this);

  auto action = [this](const char* text, QKeySequence shortcut = {}) {
    auto* a = new QAction(QString::fromUtf8(text), this);
    a->setShortcut(shortcut);
    return a;
  };
  menuTeamNew_ = action("&New", QKeySequence(Qt::CTRL | Qt::Key_N));
  menuTeamOpen_ = action("&Open...", QKeySequence(Qt::CTRL | Qt::Key_O));
  menuTeamSave_ = action("&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
  menuTeamSaveAs_ = action("Save &As...");
  menuTeamPrint_ = action("&Print Team", QKeySequence(Qt::CTRL | Qt::Key_P));
  menuTeamExportSheet_ = action("&Export Team Sheet...");
  menuTeamRefresh_ = action("&Refresh from data file");
  menuTeamClose_ = action("&Close", QKeySequence(Qt::CTRL | Qt::Key_W));
  auto* menuBar = new QMenuBar(this);
  QMenu* menu = menuBar->addMenu(QStringLiteral("&Team"));
  menu->addActions({menuTeamNew_, menuTeamOpen_, menuTeamSave_, menuTeamSaveAs_});
  menu->addSeparator();
  menu->addActions({menuTeamPrint_, menuTeamExportSheet_});
  menu->addSeparator();
  menu->addAction(menuTeamRefresh_);
  menu->addSeparator();
  menu->addAction(menuTeamClose_);
  layout->setMenuBar(menuBar);
  const auto run = [this](QAction* a, auto command) {
    connect(a, &QAction::triggered, this, [this, command] {
      command();
      ShowTeam();
    });
  };
  run(menuTeamNew_, [this] { commands_.New(); });
  run(menuTeamOpen_, [this] { commands_.Open(); });
  run(menuTeamSave_, [this] { commands_.Save(); });
  run(menuTeamSaveAs_, [this] { commands_.SaveAs(); });
  run(menuTeamRefresh_, [this] { commands_.Refresh(); });
  connect(menuTeamPrint_, &QAction::triggered, this,
          [this] { sheets_.PrintTeam(commands_.Current(), commands_.Path()); });
  connect(menuTeamExportSheet_, &QAction::triggered, this,
          [this] { sheets_.ExportTeam(commands_.Current(), commands_.Path()); });
  connect(menuTeamClose_, &QAction::triggered, this, &QWidget::close);

  auto* head = new QFormLayout;
  textName_ = new QLineEdit(this);
  textName_->setAccessibleName(QStringLiteral("Team name"));
  head->addRow(QStringLiteral("&Name:"), textName_);
  spinCap_ = new QSpinBox(this);
  spinCap_->setRange(1, static_cast<int>(kMaxTeamCap));
  spinCap_->setSuffix(QStringLiteral(" points"));
  spinCap_->setAccessibleName(QStringLiteral("Cap"));
  head->addRow(QStringLiteral("&Cap:"), spinCap_);
  layout->addLayout(head);
  connect(textName_, &QLineEdit::textEdited, this, [this](const QString& text) {
    commands_.SetName(text.toStdString());
    ShowTitle();
  });
  connect(spinCap_, &QSpinBox::valueChanged, this, [this](int cap) {
    commands_.SetCap(cap);
    ShowTotal();
  });

  tableEntries_ = new QTableWidget(0, 5, this);
  tableEntries_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Points"),
                                            QStringLiteral("Count"), QStringLiteral("Subtotal"),
                                            QStringLiteral("Data file")});
  tableEntries_->setAccessibleName(QStringLiteral("Figures of the team"));
  tableEntries_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tableEntries_->setSelectionMode(QAbstractItemView::SingleSelection);
  tableEntries_->verticalHeader()->hide();
  tableEntries_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tableEntries_->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
  connect(tableEntries_, &QTableWidget::currentCellChanged, this, [this] { ShowButtons(); });
  layout->addWidget(tableEntries_, 1);

  auto* adding = new QHBoxLayout;
  commandAddScreen_ = new QPushButton(QStringLiteral("Add Figure on &Screen"), this);
  adding->addWidget(commandAddScreen_);
  adding->addSpacing(12);
  auto* namesLabel = new QLabel(QStringLiteral("&From data file:"), this);
  comboNames_ = new QComboBox(this);
  comboNames_->setMinimumContentsLength(16);
  comboNames_->setAccessibleName(QStringLiteral("Figures of the data file"));
  namesLabel->setBuddy(comboNames_);
  adding->addWidget(namesLabel);
  adding->addWidget(comboNames_, 1);
  commandAddName_ = new QPushButton(QStringLiteral("&Add"), this);
  adding->addWidget(commandAddName_);
  layout->addLayout(adding);
  connect(commandAddScreen_, &QPushButton::clicked, this, &FormTeam::CommandAddScreen_Click);
  connect(commandAddName_, &QPushButton::clicked, this, &FormTeam::CommandAddName_Click);

  auto* arranging = new QHBoxLayout;
  commandRemove_ = new QPushButton(QStringLiteral("&Remove"), this);
  commandMoveUp_ = new QPushButton(QStringLiteral("Move &Up"), this);
  commandMoveDown_ = new QPushButton(QStringLiteral("Move &Down"), this);
  commandRefresh_ = new QPushButton(QStringLiteral("Refresh from data file"), this);
  for (QPushButton* button : {commandRemove_, commandMoveUp_, commandMoveDown_})
    arranging->addWidget(button);
  arranging->addStretch(1);
  arranging->addWidget(commandRefresh_);
  layout->addLayout(arranging);
  connect(commandRemove_, &QPushButton::clicked, this, &FormTeam::CommandRemove_Click);
  connect(commandMoveUp_, &QPushButton::clicked, this, [this] { CommandMove_Click(-1); });
  connect(commandMoveDown_, &QPushButton::clicked, this, [this] { CommandMove_Click(1); });
  connect(commandRefresh_, &QPushButton::clicked, menuTeamRefresh_, &QAction::trigger);

  // The total against the cap, below the list so that it never scrolls away.
  labelTotal_ = new QLabel(this);
  labelTotal_->setAccessibleName(QStringLiteral("Total"));
  QFont big = labelTotal_->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  labelTotal_->setFont(big);
  labelWarning_ = new QLabel(this);
  labelWarning_->setWordWrap(true);
  auto* totals = new QHBoxLayout;
  totals->addWidget(labelWarning_, 1);
  totals->addWidget(labelTotal_, 0, Qt::AlignRight);
  layout->addLayout(totals);

  resize(620, 420);
  ShowTeam();
}

QSpinBox* FormTeam::SpinCount(int row) const {
  return qobject_cast<QSpinBox*>(tableEntries_->cellWidget(row, kCountColumn));
}

int FormTeam::CurrentRow() const {
  const int row = tableEntries_->currentRow();
  return row >= 0 && row < tableEntries_->rowCount() ? row : -1;
}

void FormTeam::ShowTeam() {
  const Team& team = commands_.Current();
  if (textName_->text() != QText(team.name)) textName_->setText(QText(team.name));
  {
    const QSignalBlocker block(spinCap_);
    spinCap_->setValue(static_cast<int>(team.cap));
  }
  const int current = CurrentRow();
  const QSignalBlocker block(tableEntries_);
  tableEntries_->setRowCount(static_cast<int>(team.entries.size()));
  const std::vector<SourceState>& states = commands_.SourceStates();
  for (int row = 0; row < tableEntries_->rowCount(); ++row) {
    const TeamFigure& entry = team.entries[static_cast<std::size_t>(row)];
    tableEntries_->setItem(row, kNameColumn, Cell(QText(ShownName(entry.figure)), Qt::AlignLeft));
    QTableWidgetItem* points = Cell(Number(entry.price.points));
    if (!entry.price.problems.empty()) {
      QString problems;
      for (const std::string& problem : entry.price.problems)
        problems += QText(problem) + QLatin1Char('\n');
      points->setToolTip(problems.trimmed());
      points->setText(points->text() + QStringLiteral(" !"));
    }
    tableEntries_->setItem(row, kPointsColumn, points);
    auto* count = SpinCount(row);
    if (!count) {
      count = new QSpinBox;
      count->setRange(1, kMaxEntryCount);
      count->setFrame(false);
      count->setAlignment(Qt::AlignRight);
      count->setAccessibleName(QStringLiteral("Count"));
      connect(count, &QSpinBox::valueChanged, this, [this, count](int value) {
        for (int r = 0; r < tableEntries_->rowCount(); ++r) {
          if (SpinCount(r) == count) SpinCount_Change(r, value);
        }
      });
      tableEntries_->setCellWidget(row, kCountColumn, count);
    }
    {
      const QSignalBlocker blockCount(count);
      count->setValue(entry.count);
    }
    tableEntries_->setItem(row, kSubtotalColumn, Cell(Number(entry.Subtotal())));
    const std::size_t r = static_cast<std::size_t>(row);
    QTableWidgetItem* source =
        Cell(QText(r < states.size() ? SourceText(states[r]) : ""), Qt::AlignLeft);
    if (entry.source) source->setToolTip(QFile::decodeName(entry.source->file.c_str()));
    if (r < states.size() && states[r] == SourceState::Changed) {
      QFont bold = source->font();
      bold.setBold(true);
      source->setFont(bold);
    }
    tableEntries_->setItem(row, kSourceColumn, source);
  }
  if (current >= 0 && tableEntries_->rowCount() > 0)
    tableEntries_->setCurrentCell(std::min(current, tableEntries_->rowCount() - 1), kNameColumn);
  ShowTotal();
  ShowNameList();
}

void FormTeam::ShowTotal() {
  const Team& team = commands_.Current();
  for (int row = 0; row < tableEntries_->rowCount(); ++row) {
    QTableWidgetItem* subtotal = tableEntries_->item(row, kSubtotalColumn);
    const QString text = Number(team.entries[static_cast<std::size_t>(row)].Subtotal());
    if (subtotal && subtotal->text() != text) subtotal->setText(text);
  }
  const TeamTotal total = TotalOf(team);
  labelTotal_->setText(QText(TotalText(total)));
  QString warning;
  if (total.Over()) {
    warning = QStringLiteral("Over the cap by %1 points.").arg(total.points - total.cap);
  }
  if (!total.complete) {
    if (!warning.isEmpty()) warning += QLatin1Char(' ');
    warning += QStringLiteral("A figure marked ! is priced with problems.");
  }
  labelWarning_->setText(warning);
  // Over the cap is a warning in red, not a refusal.
  const auto colour = [this](QLabel* label, bool red) {
    QPalette palette = this->palette();
    if (red) palette.setColor(QPalette::WindowText, QColor(0xC0, 0, 0));
    label->setPalette(palette);
  };
  colour(labelTotal_, total.Over());
  colour(labelWarning_, true);
  ShowTitle();
  ShowButtons();
}

void FormTeam::ShowTitle() {
  const QString changed = commands_.HasUnsavedChanges() ? QStringLiteral("*") : QString();
  QString title = QString::fromUtf8(kCaption) + changed;
  if (!commands_.Path().empty()) {
    const std::string file = std::filesystem::path(commands_.Path()).filename().string();
    title = QFile::decodeName(file.c_str()) + changed + QStringLiteral(" - ") +
            QString::fromUtf8(kCaption);
  }
  if (windowTitle() != title) setWindowTitle(title);
}

void FormTeam::ShowNameList() {
  QStringList names;
  for (const NameEntry& entry : files_.NameList())
    names.append(QText(entry.shown));
  QStringList shown;
  for (int i = 0; i < comboNames_->count(); ++i)
    shown.append(comboNames_->itemText(i));
  if (names != shown) {
    const int current = comboNames_->currentIndex();
    comboNames_->clear();
    comboNames_->addItems(names);
    comboNames_->setCurrentIndex(std::min(current, static_cast<int>(names.size()) - 1));
    if (comboNames_->currentIndex() < 0 && !names.isEmpty()) comboNames_->setCurrentIndex(0);
  }
  ShowButtons();
}

void FormTeam::ShowButtons() {
  const int row = CurrentRow();
  commandRemove_->setEnabled(row >= 0);
  commandMoveUp_->setEnabled(row > 0);
  commandMoveDown_->setEnabled(row >= 0 && row + 1 < tableEntries_->rowCount());
  commandAddName_->setEnabled(comboNames_->currentIndex() >= 0);
}

void FormTeam::CommandAddScreen_Click() {
  if (commands_.AddScreenFigure(editor_.Screen(), files_.DataFileName())) ShowTeam();
}

void FormTeam::CommandAddName_Click() {
  const int index = comboNames_->currentIndex();
  if (index < 0 || index >= static_cast<int>(files_.NameList().size())) return;
  AddListedFigures({files_.NameList()[static_cast<std::size_t>(index)]});
}

void FormTeam::AddListedFigures(const std::vector<NameEntry>& entries) {
  bool added = false;
  for (const NameEntry& entry : entries)
    added = commands_.AddListedFigure(files_.DataFileName(), entry) || added;
  if (added) ShowTeam();
}

void FormTeam::CommandRemove_Click() {
  const int row = CurrentRow();
  if (row < 0) return;
  commands_.Remove(static_cast<std::size_t>(row));
  tableEntries_->removeRow(row);
  ShowTeam();
}

void FormTeam::CommandMove_Click(int step) {
  const int row = CurrentRow();
  if (row < 0) return;
  commands_.Move(static_cast<std::size_t>(row), step);
  const int to = std::clamp(row + step, 0, tableEntries_->rowCount() - 1);
  ShowTeam();
  tableEntries_->setCurrentCell(to, kNameColumn);
}

void FormTeam::SpinCount_Change(int row, int count) {
  commands_.SetCount(static_cast<std::size_t>(row), count);
  ShowTotal();
}

bool FormTeam::MayClose() {
  letGo_ = commands_.MayClose();
  ShowTeam();
  return letGo_;
}

void FormTeam::closeEvent(QCloseEvent* event) {
  if (!std::exchange(letGo_, false) && !commands_.MayClose()) {
    ShowTeam();
    event->ignore();
    return;
  }
  event->accept();
}

void FormTeam::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    commands_.CheckSources(kQuickLockWait);
    ShowTeam();
  }
}

}  // namespace zandorik
