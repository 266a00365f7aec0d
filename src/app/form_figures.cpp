#include "app/form_figures.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/qt_text.h"
#include "cost/calculations.h"
#include "model/lists.h"

namespace zandorik {
namespace {

// How long coming to the front waits for a data file in use.
constexpr std::chrono::milliseconds kQuickLockWait{100};
constexpr int kNearestCount = 3;
constexpr const char* kOnTheScreen = "On the screen";

// The colours of the four stats in the chart.
const QColor kStatColours[kStatRowCount] = {QColor(0, 114, 178), QColor(213, 94, 0),
                                            QColor(0, 158, 115), QColor(204, 121, 167)};

bool Numeric(LibraryColumn column) {
  return column == LibraryColumn::Points || column == LibraryColumn::Range ||
         column == LibraryColumn::Bolts || column == LibraryColumn::Clicks ||
         column == LibraryColumn::Record;
}

QString FileName(const std::string& path) {
  return QFile::decodeName(
      QByteArray::fromStdString(std::filesystem::path(path).filename().string()));
}

std::optional<std::int32_t> PointsBound(const QLineEdit* box) {
  bool ok = false;
  const int value = box->text().trimmed().toInt(&ok);
  return ok ? std::optional<std::int32_t>(value) : std::nullopt;
}

}  // namespace

void FigureTableModel::SetFigures(std::vector<LibraryFigure> figures) {
  beginResetModel();
  figures_ = std::move(figures);
  for (auto& sorted : sorted_)
    sorted.clear();
  Order();
  endResetModel();
}

void FigureTableModel::Order() {
  std::vector<std::size_t>& sorted = sorted_[static_cast<std::size_t>(sortColumn_)];
  if (sorted.size() != figures_.size())
    sorted = SortedOrder(figures_, static_cast<LibraryColumn>(sortColumn_), false);
  order_.assign(sorted.begin(), sorted.end());
  if (sortOrder_ == Qt::DescendingOrder) std::reverse(order_.begin(), order_.end());
  rows_.resize(order_.size());
  for (std::size_t row = 0; row < order_.size(); ++row)
    rows_[static_cast<std::size_t>(order_[row])] = static_cast<int>(row);
}

void FigureTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= kLibraryColumnCount) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // The rows kept by the views (selection, current row) follow their figures.
  const QModelIndexList before = persistentIndexList();
  std::vector<int> figures;
  for (const QModelIndex& index : before)
    figures.push_back(order_[static_cast<std::size_t>(index.row())]);
  sortColumn_ = column;
  sortOrder_ = order;
  Order();
  QModelIndexList after;
  for (qsizetype i = 0; i < before.size(); ++i)
    after.append(this->index(rows_[static_cast<std::size_t>(figures[static_cast<std::size_t>(i)])],
                             before[i].column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FigureTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(figures_.size());
}

int FigureTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kLibraryColumnCount;
}

QVariant FigureTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const LibraryFigure& figure = FigureAt(index.row());
  const auto column = static_cast<LibraryColumn>(index.column());
  switch (role) {
    case Qt::DisplayRole:
      return QText(CellText(figure, column));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (Numeric(column) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::ForegroundRole:
      if (column == LibraryColumn::Points && figure.Refused()) return QColor(170, 0, 0);
      return {};
    default:
      return {};
  }
}

QVariant FigureTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kLibraryColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QText(ColumnTitle(static_cast<LibraryColumn>(section)));
}

FigureFilterModel::FigureFilterModel(FigureTableModel* figures, QObject* parent)
    : QSortFilterProxyModel(parent), figures_(figures) {
  setSourceModel(figures);
}

void FigureFilterModel::SetFilter(const LibraryFilter& filter) {
  if (filter == filter_) return;
  filter_ = filter;
  matches_ = FilterMatcher(filter);
  // Read again whole: far quicker than taking rows in and out one by one
  // when a keystroke changes thousands of them.
  invalidate();
}

void FigureFilterModel::sort(int column, Qt::SortOrder order) {
  figures_->sort(column, order);
}

bool FigureFilterModel::filterAcceptsRow(int row, const QModelIndex&) const {
  return matches_(figures_->FigureAt(row));
}

DialGrid::DialGrid(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DialGrid"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

namespace {
constexpr int kCell = 26, kGridLabel = 56, kGridHeader = 16;
}  // namespace

QSize DialGrid::sizeHint() const {
  return {kGridLabel + kColumnCount * kCell + 2, kGridHeader + kStatRowCount * kCell + 2};
}

QRect DialGrid::CellRect(StatRow row, int column) const {
  return {kGridLabel + column * kCell, kGridHeader + static_cast<int>(row) * kCell, kCell, kCell};
}

void DialGrid::SetFigure(const FigureScreen& figure, const SquareMarks& marks) {
  figure_ = figure;
  marks_ = marks;
  update();
}

void DialGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.setPen(palette().windowText().color());
  for (int column = 0; column < kColumnCount; ++column) {
    painter.drawText(QRect(kGridLabel + column * kCell, 0, kCell, kGridHeader), Qt::AlignCenter,
                     QString::number(column + 1));
  }
  for (StatRow row : kStatRows) {
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(0, CellRect(row, 0).top(), kGridLabel - 4, kCell),
                     Qt::AlignRight | Qt::AlignVCenter, QText(StatRowName(row)));
    for (int column = 0; column < kColumnCount; ++column) {
      const QRect cell = CellRect(row, column);
      const DialSquare& square = figure_.Square(row, column);
      QColor fill(200, 200, 200);
      QString text = QStringLiteral("KO");
      QColor ink = Qt::black;
      if (!square.IsKO()) {
        const int colour = figure_.ColourOf(row, column);
        const ColourInfo& info = kColours[static_cast<std::size_t>(std::max(colour, 1))];
        fill = QColor(info.red, info.green, info.blue);
        text = QText(square.caption);
        if (square.HasWhiteCaption()) ink = Qt::white;
      }
      painter.fillRect(cell, fill);
      painter.setPen(QColor(120, 120, 120));
      painter.drawRect(cell);
      painter.setPen(ink);
      painter.drawText(cell, Qt::AlignCenter, text);
      // Outlined black and white, so that it shows on every colour.
      if (marks_[static_cast<int>(row)][column]) {
        painter.setPen(QPen(Qt::black, 3));
        painter.drawRect(cell.adjusted(2, 2, -2, -2));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(cell.adjusted(4, 4, -4, -4));
      }
    }
  }
}

FormCompare::FormCompare(Desktop& desktop, Comparison comparison, QWidget* owner)
    : QDialog(owner), desktop_(desktop), comparison_(std::move(comparison)) {
  setObjectName(QStringLiteral("FormCompare"));
  setWindowTitle(QStringLiteral("Compare"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  const std::size_t n = comparison_.figures.size();

  auto* dials = new QGridLayout;
  for (std::size_t i = 0; i < n; ++i) {
    const Calculation& price = comparison_.prices[i];
    QString title = QText(comparison_.figures[i].label);
    title += comparison_.problems[i] > 0 || !price.points
                 ? QStringLiteral(": ") + QText(ProblemsText(comparison_.problems[i]))
                 : QStringLiteral(": %1 points").arg(*price.points);
    auto* label = new QLabel(title, this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    dials->addWidget(label, 0, static_cast<int>(i));
    auto* grid = new DialGrid(this);
    grid->SetFigure(comparison_.figures[i].figure, comparison_.differs[i]);
    grid->setAccessibleName(title);
    dials->addWidget(grid, 1, static_cast<int>(i));
    grids_.push_back(grid);
  }
  layout->addLayout(dials);
  layout->addWidget(new QLabel(
      QStringLiteral("Squares outlined differ from the same square of %1.")
          .arg(n == 2 ? QStringLiteral("the other figure")
                      : QStringLiteral("the first figure (on the first dial: of another)")),
      this));

  // Every field, then the breakdown lines with the differences marked.
  tableFields_ = new QTableWidget(this);
  tableFields_->setObjectName(QStringLiteral("TableFields"));
  tableFields_->setColumnCount(static_cast<int>(n));
  QStringList headers;
  for (const ComparedFigure& f : comparison_.figures)
    headers << QText(f.label);
  tableFields_->setHorizontalHeaderLabels(headers);
  const int rows = static_cast<int>(comparison_.fields.size() + comparison_.breakdown.size());
  tableFields_->setRowCount(rows);
  tableFields_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QStringList rowNames;
  int r = 0;
  for (const FieldLine& line : comparison_.fields) {
    rowNames << QText(line.field);
    for (std::size_t i = 0; i < n; ++i) {
      auto* item = new QTableWidgetItem(QText(line.values[i]));
      if (i > 0 && line.values[i] != line.values[0]) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
      }
      tableFields_->setItem(r, static_cast<int>(i), item);
    }
    ++r;
  }
  for (const BreakdownLine& line : comparison_.breakdown) {
    rowNames << QText(line.field);
    for (std::size_t i = 0; i < n; ++i) {
      QString text = QString::number(line.values[i], 'f', 2);
      if (!line.marks[i].empty()) text += QStringLiteral("  (") + QText(line.marks[i]) + ")";
      auto* item = new QTableWidgetItem(text);
      if (!line.marks[i].empty()) item->setForeground(QColor(170, 0, 0));
      tableFields_->setItem(r, static_cast<int>(i), item);
    }
    ++r;
  }
  tableFields_->setVerticalHeaderLabels(rowNames);
  tableFields_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  tableFields_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  tableFields_->setMinimumHeight((fontMetrics().height() + 6) * (rows + 1) + 8);
  tableFields_->setWordWrap(false);
  tableFields_->setSelectionMode(QAbstractItemView::NoSelection);
  tableFields_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(tableFields_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  commandCopy_ = new QPushButton(QStringLiteral("&Copy as Text"), this);
  connect(commandCopy_, &QPushButton::clicked, this,
          [this] { desktop_.SetClipboardText(ComparisonText(comparison_)); });
  buttons->addWidget(commandCopy_);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(close);
  layout->addLayout(buttons);
}

StatChart::StatChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StatChart"));
  setMinimumSize(360, 200);
}

void StatChart::SetCurves(int clicks, const StatCurves& figure,
                          const std::optional<StatCurves>& median) {
  clicks_ = clicks;
  figure_ = figure;
  median_ = median;
  update();
}

void StatChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  const QFontMetrics metrics = fontMetrics();
  const int left = metrics.horizontalAdvance(QStringLiteral("000")) + 10;
  const int legend = metrics.height() + 8;
  const QRect plot = rect().adjusted(left, legend + 6, -12, -metrics.height() - 10);
  painter.setPen(Qt::black);
  if (clicks_ <= 0) {
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("The figure has no live clicks."));
    return;
  }
  double top = 1, bottom = 0;
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < clicks_; ++column) {
      top = std::max({top, figure_[row][column], median_ ? (*median_)[row][column] : 0.0});
      bottom = std::min({bottom, figure_[row][column], median_ ? (*median_)[row][column] : 0.0});
    }
  }
  top = std::ceil(top);
  const auto x = [&](int column) {
    return plot.left() +
           (clicks_ == 1 ? plot.width() / 2.0 : plot.width() * column / double(clicks_ - 1));
  };
  const auto y = [&](double value) {
    return plot.bottom() - plot.height() * (value - bottom) / (top - bottom);
  };
  painter.setPen(QColor(210, 210, 210));
  const double step = std::max(1.0, std::ceil((top - bottom) / 5));
  for (double v = std::ceil(bottom); v <= top; v += step) {
    painter.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, y(v) - metrics.height() / 2.0, left - 4, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    painter.setPen(QColor(210, 210, 210));
  }
  painter.setPen(Qt::black);
  for (int column = 0; column < clicks_; ++column) {
    painter.drawText(QRectF(x(column) - 20, plot.bottom() + 4, 40, metrics.height()),
                     Qt::AlignCenter, QString::number(column + 1));
  }
  painter.drawRect(plot);
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int dashed = 0; dashed < 2; ++dashed) {
      const StatCurves* curves = dashed ? (median_ ? &*median_ : nullptr) : &figure_;
      if (!curves) continue;
      QPainterPath path;
      for (int column = 0; column < clicks_; ++column) {
        const QPointF at(x(column), y((*curves)[row][column]));
        column == 0 ? path.moveTo(at) : path.lineTo(at);
      }
      painter.setPen(
          QPen(kStatColours[row], dashed ? 1.5 : 2.5, dashed ? Qt::DashLine : Qt::SolidLine));
      painter.drawPath(path);
    }
  }
  // The legend: the four stats, and what the dashes are.
  int at = left;
  for (StatRow row : kStatRows) {
    painter.setPen(QPen(kStatColours[static_cast<int>(row)], 2.5));
    painter.drawLine(at, legend / 2 + 2, at + 16, legend / 2 + 2);
    painter.setPen(Qt::black);
    const QString name = QText(StatRowName(row));
    painter.drawText(at + 20, legend / 2 + 2 + metrics.ascent() / 2, name);
    at += 28 + metrics.horizontalAdvance(name);
  }
  painter.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
  painter.drawLine(at, legend / 2 + 2, at + 16, legend / 2 + 2);
  painter.setPen(Qt::black);
  painter.drawText(at + 20, legend / 2 + 2 + metrics.ascent() / 2,
                   median_ ? QStringLiteral("median of the same dial length")
                           : QStringLiteral("no other figure of this dial length"));
}

FormFigures::FormFigures(Desktop& desktop, const DialEditor& editor,
                         std::function<std::string()> dataFile, LoadFigure load, QWidget* owner)
    : QWidget(owner, Qt::Window),
      desktop_(desktop),
      editor_(editor),
      dataFile_(std::move(dataFile)),
      load_(std::move(load)) {
  setObjectName(QStringLiteral("FormFigures"));
  setWindowTitle(QStringLiteral("Figures"));
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_);

  auto* page = new QWidget(tabs_);
  auto* pageLayout = new QVBoxLayout(page);
  auto* filters = new QHBoxLayout;
  textFilter_ = new QLineEdit(page);
  textFilter_->setPlaceholderText(QStringLiteral("Name, team or power"));
  textFilter_->setClearButtonEnabled(true);
  textFilter_->setAccessibleName(QStringLiteral("Filter"));
  auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"), page);
  filterLabel->setBuddy(textFilter_);
  filters->addWidget(filterLabel);
  filters->addWidget(textFilter_, 1);
  comboTeam_ = new QComboBox(page);
  comboTeam_->setAccessibleName(QStringLiteral("Team"));
  comboTeam_->addItem(QStringLiteral("All teams"));
  for (const TeamEntry& team : kTeams)
    comboTeam_->addItem(QText(team.name));
  filters->addWidget(comboTeam_);
  comboRank_ = new QComboBox(page);
  comboRank_->setAccessibleName(QStringLiteral("Rank"));
  comboRank_->addItem(QStringLiteral("All ranks"));
  for (const RankEntry& rank : kRanks)
    comboRank_->addItem(QText(rank.caption));
  filters->addWidget(comboRank_);
  const auto pointsBox = [&](const char* name) {
    auto* box = new QLineEdit(page);
    box->setValidator(new QIntValidator(box));
    box->setAccessibleName(QString::fromUtf8(name));
    box->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    return box;
  };
  textPointsFrom_ = pointsBox("Points from");
  textPointsTo_ = pointsBox("Points to");
  filters->addWidget(new QLabel(QStringLiteral("Points"), page));
  filters->addWidget(textPointsFrom_);
  filters->addWidget(new QLabel(QStringLiteral("to"), page));
  filters->addWidget(textPointsTo_);
  pageLayout->addLayout(filters);

  model_ = new FigureTableModel(this);
  filtered_ = new FigureFilterModel(model_, this);
  tableFigures_ = new QTableView(page);
  tableFigures_->setObjectName(QStringLiteral("TableFigures"));
  tableFigures_->setAccessibleName(QStringLiteral("Figures"));
  tableFigures_->setModel(filtered_);
  tableFigures_->setSortingEnabled(true);
  tableFigures_->sortByColumn(static_cast<int>(LibraryColumn::Record), Qt::AscendingOrder);
  tableFigures_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tableFigures_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tableFigures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tableFigures_->setWordWrap(false);
  tableFigures_->verticalHeader()->hide();
  // Fixed heights and widths: nothing is measured over a long list.
  tableFigures_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tableFigures_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
  const int widths[kLibraryColumnCount] = {14, 6, 11, 7, 5, 4, 8, 5, 26, 5};
  for (int c = 0; c < kLibraryColumnCount; ++c)
    tableFigures_->setColumnWidth(c, widths[c] * em);
  tableFigures_->horizontalHeader()->setSectionResizeMode(static_cast<int>(LibraryColumn::Powers),
                                                          QHeaderView::Stretch);
  pageLayout->addWidget(tableFigures_, 1);

  auto* buttons = new QHBoxLayout;
  labelStatus_ = new QLabel(page);
  labelStatus_->setObjectName(QStringLiteral("LabelStatus"));
  buttons->addWidget(labelStatus_, 1);
  commandLoad_ = new QPushButton(QStringLiteral("&Load"), page);
  commandCompare_ = new QPushButton(QStringLiteral("&Compare"), page);
  commandRefresh_ = new QPushButton(QStringLiteral("&Refresh"), page);
  for (QPushButton* button : {commandLoad_, commandCompare_, commandRefresh_})
    buttons->addWidget(button);
  pageLayout->addLayout(buttons);
  tabs_->addTab(page, QStringLiteral("&Figures"));
  // Where It Sits is made when first shown: its chart costs nothing before.
  standingPage_ = new QWidget(tabs_);
  tabs_->addTab(standingPage_, QStringLiteral("&Where It Sits"));

  connect(textFilter_, &QLineEdit::textChanged, this, &FormFigures::ShowFilter);
  connect(comboTeam_, &QComboBox::currentIndexChanged, this, &FormFigures::ShowFilter);
  connect(comboRank_, &QComboBox::currentIndexChanged, this, &FormFigures::ShowFilter);
  connect(textPointsFrom_, &QLineEdit::textChanged, this, &FormFigures::ShowFilter);
  connect(textPointsTo_, &QLineEdit::textChanged, this, &FormFigures::ShowFilter);
  connect(tableFigures_, &QAbstractItemView::activated, this, &FormFigures::TableFigures_Activated);
  connect(tableFigures_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    ShowStatus();
    emit SelectionChanged();
  });
  connect(commandLoad_, &QPushButton::clicked, this,
          [this] { TableFigures_Activated(tableFigures_->currentIndex()); });
  connect(commandCompare_, &QPushButton::clicked, this, &FormFigures::CommandCompare_Click);
  connect(commandRefresh_, &QPushButton::clicked, this, [this] { Refresh(true); });
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab != 1) return;
    BuildStanding();
    ShowStanding();
  });
  standingDue_.setSingleShot(true);
  standingDue_.setInterval(100);
  connect(&standingDue_, &QTimer::timeout, this, &FormFigures::ShowStanding);
  resize(900, 520);
  Refresh(true);
}

// The table's parts go before the window: none of them may call back.
FormFigures::~FormFigures() {
  disconnect(tableFigures_->selectionModel(), nullptr, this, nullptr);
}

std::vector<LibraryFigure> FormFigures::SelectedFigures() const {
  std::vector<LibraryFigure> selected;
  QModelIndexList rows = tableFigures_->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& row : rows) {
    selected.push_back(model_->FigureAt(filtered_->mapToSource(row).row()));
  }
  return selected;
}

void FormFigures::Refresh(bool always) {
  const std::string path = dataFile_();
  if (!always && path == path_ && StampOf(path) == stamp_) return;
  // The selection and the current row are found again by record and name.
  std::vector<std::pair<std::int64_t, std::array<char, kNameLength>>> kept;
  for (const LibraryFigure& f : SelectedFigures())
    kept.emplace_back(f.record, f.stored);
  std::optional<std::pair<std::int64_t, std::array<char, kNameLength>>> current;
  if (const QModelIndex at = tableFigures_->currentIndex(); at.isValid()) {
    const LibraryFigure& f = model_->FigureAt(filtered_->mapToSource(at).row());
    current.emplace(f.record, f.stored);
  }
  std::vector<LibraryFigure> figures;
  notice_.clear();
  if (path.empty()) {
    notice_ = "Open or create a data file first.";
    stamp_ = {};
  } else if (std::string why; !LoadLibrary(path, kQuickLockWait, figures, stamp_, &why, &notice_)) {
    // The rows read before stay; a later refresh tries again.
    notice_ = why;
    stamp_ = {};
    ShowStatus();
    return;
  }
  path_ = path;
  setWindowTitle(path.empty() ? QStringLiteral("Figures")
                              : FileName(path) + QStringLiteral(" - Figures"));
  {
    const QSignalBlocker block(tableFigures_->selectionModel());
    model_->SetFigures(std::move(figures));
    const std::vector<LibraryFigure>& rows = model_->Figures();
    QItemSelection selection;
    for (std::size_t i = 0; i < rows.size() && !kept.empty(); ++i) {
      const auto at =
          std::find(kept.begin(), kept.end(), std::pair(rows[i].record, rows[i].stored));
      if (at == kept.end()) continue;
      const QModelIndex index = filtered_->mapFromSource(model_->index(model_->RowOf(i), 0));
      if (index.isValid()) selection.select(index, index);
    }
    for (std::size_t i = 0; i < rows.size() && current; ++i) {
      if (std::pair(rows[i].record, rows[i].stored) != *current) continue;
      const QModelIndex index = filtered_->mapFromSource(model_->index(model_->RowOf(i), 0));
      tableFigures_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    tableFigures_->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  standingOf_ = nullptr;
  medians_.clear();
  ShowStatus();
  emit SelectionChanged();
  if (labelStanding_) ShowStanding();
}

void FormFigures::ShowFilter() {
  LibraryFilter filter;
  filter.text = textFilter_->text().toStdString();
  filter.team = comboTeam_->currentIndex() - 1;
  filter.rank = comboRank_->currentIndex() - 1;
  filter.minPoints = PointsBound(textPointsFrom_);
  filter.maxPoints = PointsBound(textPointsTo_);
  filtered_->SetFilter(filter);
  ShowStatus();
}

void FormFigures::ShowStatus() {
  const int shown = filtered_->rowCount();
  const int all = model_->rowCount();
  const int selected = static_cast<int>(tableFigures_->selectionModel()->selectedRows().size());
  QString text = shown == all ? QStringLiteral("%1 figures").arg(all)
                              : QStringLiteral("%1 of %2 figures").arg(shown).arg(all);
  if (selected > 0) text += QStringLiteral(", %1 selected").arg(selected);
  if (!notice_.empty()) text += QStringLiteral(". ") + QText(notice_);
  labelStatus_->setText(text);
  labelStatus_->setToolTip(QText(notice_));
  commandLoad_->setEnabled(tableFigures_->currentIndex().isValid());
  commandCompare_->setEnabled(selected >= 1 && selected <= 3);
}

void FormFigures::TableFigures_Activated(const QModelIndex& index) {
  if (!index.isValid()) return;
  const LibraryFigure figure = model_->FigureAt(filtered_->mapToSource(index).row());
  load_(figure.Entry());
  // A save asked for on the way, or a file changed meanwhile, shows here.
  Refresh();
}

void FormFigures::CommandCompare_Click() {
  const std::vector<LibraryFigure> selected = SelectedFigures();
  if (selected.empty() || selected.size() > 3) return;
  std::vector<NameEntry> entries;
  for (const LibraryFigure& f : selected)
    entries.push_back(f.Entry());
  std::vector<ComparedFigure> figures;
  if (std::string why; !ReadComparedFigures(path_, entries, figures, &why)) {
    desktop_.ShowMessage(why + " The list has been read again.", kAppTitle);
    Refresh(true);
    return;
  }
  // One figure is compared with the figure on the screen.
  if (figures.size() == 1) figures.push_back({kOnTheScreen, editor_.Screen()});
  if (formCompare_) formCompare_->close();
  formCompare_ = new FormCompare(desktop_, CompareFigures(std::move(figures)), this);
  formCompare_->show();
  formCompare_->raise();
  formCompare_->activateWindow();
}

void FormFigures::FigureChanged() {
  if (labelStanding_ && standingPage_->isVisible()) standingDue_.start();
}

void FormFigures::BuildStanding() {
  if (labelStanding_) return;
  auto* layout = new QVBoxLayout(standingPage_);
  auto* source = new QHBoxLayout;
  commandReference_ = new QPushButton(QStringLiteral("Reference &File..."), standingPage_);
  commandDataFileInUse_ = new QPushButton(QStringLiteral("&Data File in Use"), standingPage_);
  source->addWidget(commandReference_);
  source->addWidget(commandDataFileInUse_);
  source->addStretch();
  layout->addLayout(source);
  labelStanding_ = new QLabel(standingPage_);
  labelStanding_->setObjectName(QStringLiteral("LabelStanding"));
  labelStanding_->setWordWrap(true);
  layout->addWidget(labelStanding_);
  tableNearest_ = new QTableWidget(kNearestCount, 3, standingPage_);
  tableNearest_->setObjectName(QStringLiteral("TableNearest"));
  tableNearest_->setHorizontalHeaderLabels(
      {QStringLiteral("Nearest by stats"), QStringLiteral("Points"), QStringLiteral("Distance")});
  tableNearest_->verticalHeader()->hide();
  tableNearest_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tableNearest_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  tableNearest_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  tableNearest_->setFixedHeight((fontMetrics().height() + 6) * (kNearestCount + 1) + 6);
  layout->addWidget(tableNearest_);
  chart_ = new StatChart(standingPage_);
  layout->addWidget(chart_, 1);
  connect(commandReference_, &QPushButton::clicked, this, &FormFigures::CommandReference_Click);
  connect(commandDataFileInUse_, &QPushButton::clicked, this, [this] {
    reference_.reset();
    referencePath_.clear();
    standingOf_ = nullptr;
    medians_.clear();
    ShowStanding();
  });
}

void FormFigures::CommandReference_Click() {
  const std::optional<std::string> path =
      desktop_.ChooseExistingFile({"QMVR data file", "*.QMV", referencePath_});
  if (!path) return;
  std::vector<LibraryFigure> figures;
  FileStamp stamp;
  std::string why, notice;
  if (!LoadLibrary(*path, kLockWait, figures, stamp, &why, &notice)) {
    desktop_.ShowMessage(why, kAppTitle);
    return;
  }
  if (!notice.empty()) desktop_.ShowMessage(notice, kAppTitle);
  reference_ = std::move(figures);
  referencePath_ = *path;
  standingOf_ = nullptr;
  medians_.clear();
  ShowStanding();
}

void FormFigures::ShowStanding() {
  if (!labelStanding_) return;
  const std::vector<LibraryFigure>& figures = reference_ ? *reference_ : model_->Figures();
  const std::string& from = reference_ ? referencePath_ : path_;
  const FigureScreen& screen = editor_.Screen();
  if (standingOf_ != &figures || standingSkip_ != screen.name) {
    standingOf_ = &figures;
    standingSkip_ = screen.name;
    standingPoints_ = AcceptedPoints(figures, screen.name);
  }
  class Counting : public MessageSink {
   public:
    void Message(const std::string&) override { ++count; }
    int count = 0;
  } sink;
  const Calculation price = CalculateFigure(screen, sink);
  const QString name = screen.name.empty() ? QStringLiteral("The figure on the screen")
                                           : QStringLiteral("\"%1\"").arg(QText(screen.name));
  const QString file = from.empty() ? QStringLiteral("no data file") : FileName(from);
  QString text;
  if (sink.count > 0 || !price.points) {
    text = name + QStringLiteral(
                      " is refused by Calculate (%1), so it has no place among the "
                      "figures of %2.")
                      .arg(QText(ProblemsText(sink.count)), file);
  } else if (const std::optional<double> percentile =
                 PointsPercentile(*price.points, standingPoints_)) {
    text = name + QStringLiteral(
                      ": %1 points, dearer than %2% of the %3 other figures of %4 "
                      "that Calculate accepts.")
                      .arg(*price.points)
                      .arg(QString::number(*percentile, 'f', 0))
                      .arg(standingPoints_.size())
                      .arg(file);
  } else {
    text = name + QStringLiteral(": %1 points; %2 holds no other figure that Calculate accepts.")
                      .arg(*price.points)
                      .arg(file);
  }
  labelStanding_->setText(text);
  const DialStats stats = StatsOf(screen);
  const std::vector<Neighbour> nearest = NearestFigures(stats, figures, kNearestCount, screen.name);
  for (int r = 0; r < kNearestCount; ++r) {
    const bool there = r < static_cast<int>(nearest.size());
    const LibraryFigure* f = there ? &figures[nearest[static_cast<std::size_t>(r)].index] : nullptr;
    const QString cells[3] = {
        f ? QText(f->name) : QString(), f ? QText(CellText(*f, LibraryColumn::Points)) : QString(),
        f ? QString::number(nearest[static_cast<std::size_t>(r)].distance, 'f', 2) : QString()};
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tableNearest_->setItem(r, c, item);
    }
  }
  int clicks = 0;
  for (int column = 0; column < kColumnCount; ++column)
    clicks += screen.ShowsKO(StatRow::Speed, column) ? 0 : 1;
  auto median = medians_.find(clicks);
  if (median == medians_.end())
    median = medians_.emplace(clicks, MedianStats(figures, clicks)).first;
  chart_->SetCurves(clicks, CurvesOf(stats), median->second);
}

void FormFigures::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Refresh();
}

}  // namespace zandorik
