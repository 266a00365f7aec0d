#include "app/form_points_helper.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

#include "app/qt_text.h"
#include "model/numbers.h"

namespace zandorik {
namespace {

constexpr int kCellWidth = 40, kCellHeight = 20, kLabelWidth = 52, kHeaderHeight = 16;

// The change kinds of each box, in box order.
constexpr std::array<std::initializer_list<ChangeKind>, FormPointsHelper::kChangeChecks>
    kCheckKinds = {{{ChangeKind::Value},
                    {ChangeKind::Power},
                    {ChangeKind::Range, ChangeKind::Bolts},
                    {ChangeKind::Team},
                    {ChangeKind::Movement},
                    {ChangeKind::Rank},
                    {ChangeKind::Length}}};

QString Signed(double value, int decimals) {
  const QString text = QString::number(value, 'f', decimals);
  return value > 0 || (value == 0 && !std::signbit(value)) ? QStringLiteral("+") + text : text;
}

}  // namespace

HeatGrid::HeatGrid(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("HeatGrid"));
  setAccessibleName(QStringLiteral("What one more on each square adds"));
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize HeatGrid::sizeHint() const {
  return {kLabelWidth + kColumnCount * kCellWidth + 1,
          kHeaderHeight + kStatRowCount * kCellHeight + 1};
}

QRect HeatGrid::CellRect(StatRow row, int column) const {
  return {kLabelWidth + column * kCellWidth, kHeaderHeight + static_cast<int>(row) * kCellHeight,
          kCellWidth, kCellHeight};
}

void HeatGrid::SetWorth(const FigureScreen& figure, const DialWorth& worth, double total) {
  double most = 0;
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const VariantWorth& more =
          worth[static_cast<int>(row)][column].variants[static_cast<int>(Variant::OneMore)];
      if (more.possible && more.points && more.problems.empty())
        most = std::max(most, std::fabs(more.total - total));
    }
  }
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const VariantWorth& more =
          worth[static_cast<int>(row)][column].variants[static_cast<int>(Variant::OneMore)];
      const int i = Index(row, column);
      if (figure.Square(row, column).IsKO()) {
        text_[i] = QStringLiteral("KO");
        shade_[i] = QColor(200, 200, 200);
      } else if (!more.points || !more.problems.empty()) {
        text_[i] = QStringLiteral("!");
        shade_[i] = QColor(255, 236, 160);
      } else {
        const double change = more.total - total;
        const double share = most > 0 ? std::min(1.0, std::fabs(change) / most) : 0;
        const int fade = static_cast<int>(std::lround(255 - 200 * share));
        text_[i] = Signed(change, 2);
        shade_[i] = change >= 0 ? QColor(255, fade, fade) : QColor(fade, fade, 255);
      }
    }
  }
  update();
}

void HeatGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  QFont small = font();
  small.setPointSizeF(font().pointSizeF() * 0.8);
  painter.setFont(small);
  painter.setPen(palette().windowText().color());
  for (int column = 0; column < kColumnCount; ++column) {
    painter.drawText(QRect(kLabelWidth + column * kCellWidth, 0, kCellWidth, kHeaderHeight),
                     Qt::AlignCenter, QString::number(column + 1));
  }
  for (StatRow row : kStatRows) {
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(0, CellRect(row, 0).top(), kLabelWidth - 4, kCellHeight),
                     Qt::AlignRight | Qt::AlignVCenter, QText(StatRowName(row)));
    for (int column = 0; column < kColumnCount; ++column) {
      const QRect cell = CellRect(row, column);
      painter.fillRect(cell, shade_[Index(row, column)]);
      painter.setPen(QColor(120, 120, 120));
      painter.drawRect(cell);
      painter.setPen(Qt::black);
      painter.drawText(cell, Qt::AlignCenter, text_[Index(row, column)]);
    }
  }
  if (hovered_) {
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(CellRect(hovered_->row, hovered_->column).adjusted(1, 1, -1, -1));
  }
}

void HeatGrid::mouseMoveEvent(QMouseEvent* event) {
  std::optional<SquareAt> at;
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      if (CellRect(row, column).contains(event->position().toPoint())) at = SquareAt{row, column};
    }
  }
  if (at == hovered_) return;
  hovered_ = at;
  update();
  if (onHover_) onHover_(at);
}

void HeatGrid::leaveEvent(QEvent*) {
  if (!hovered_) return;
  hovered_.reset();
  update();
  if (onHover_) onHover_(std::nullopt);
}

FormPointsHelper::FormPointsHelper(const DialEditor& editor, ApplyFigure apply, QWidget* owner)
    : QDialog(owner), editor_(editor), apply_(std::move(apply)) {
  setObjectName(QStringLiteral("FormPointsHelper"));
  setWindowTitle(QStringLiteral("Points Helper"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  auto* price = new QGroupBox(QStringLiteral("Price now"), this);
  auto* priceLayout = new QGridLayout(price);
  const auto readOnly = [&](const char* name) {
    auto* box = new QLineEdit(price);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setAccessibleName(QString::fromUtf8(name));
    return box;
  };
  textPoints_ = readOnly("Points");
  textTotal_ = readOnly("Total");
  priceLayout->addWidget(new QLabel(QStringLiteral("Points"), price), 0, 0);
  priceLayout->addWidget(textPoints_, 0, 1);
  priceLayout->addWidget(new QLabel(QStringLiteral("Total"), price), 0, 2);
  priceLayout->addWidget(textTotal_, 0, 3);
  textProblems_ = new QPlainTextEdit(price);
  textProblems_->setReadOnly(true);
  textProblems_->setPlaceholderText(QStringLiteral("Calculate accepts the figure."));
  textProblems_->setAccessibleName(QStringLiteral("Problems"));
  textProblems_->setFixedHeight(3 * fontMetrics().lineSpacing() + 10);
  priceLayout->addWidget(textProblems_, 1, 0, 1, 4);
  layout->addWidget(price);

  auto* worth = new QGroupBox(QStringLiteral("What a square is worth"), this);
  auto* worthLayout = new QGridLayout(worth);
  labelSquare_ = new QLabel(worth);
  labelSquare_->setObjectName(QStringLiteral("LabelSquare"));
  worthLayout->addWidget(labelSquare_, 0, 0, 1, 2);
  for (int v = 0; v < kVariantCount; ++v) {
    worthLayout->addWidget(
        new QLabel(QString::fromUtf8(VariantName(static_cast<Variant>(v))) + QStringLiteral(":"),
                   worth),
        v + 1, 0);
    labelWorth_[static_cast<std::size_t>(v)] = new QLabel(worth);
    worthLayout->addWidget(labelWorth_[static_cast<std::size_t>(v)], v + 1, 1);
  }
  worthLayout->setColumnStretch(1, 1);
  heat_ = new HeatGrid(worth);
  heat_->OnHover([this](std::optional<SquareAt> at) {
    hovered_ = at;
    ShowWorth();
  });
  worthLayout->addWidget(heat_, kVariantCount + 1, 0, 1, 2, Qt::AlignHCenter);
  layout->addWidget(worth);

  auto* target = new QGroupBox(QStringLiteral("Target"), this);
  auto* targetLayout = new QGridLayout(target);
  textTarget_ = new QLineEdit(target);
  textTarget_->setValidator(new QIntValidator(static_cast<int>(-kTargetLimit),
                                              static_cast<int>(kTargetLimit), textTarget_));
  textTarget_->setAccessibleName(QStringLiteral("Target"));
  spinTolerance_ = new QSpinBox(target);
  spinTolerance_->setRange(0, static_cast<int>(kTargetLimit));
  spinTolerance_->setAccessibleName(QStringLiteral("Tolerance"));
  auto* targetLabel = new QLabel(QStringLiteral("&Target:"), target);
  targetLabel->setBuddy(textTarget_);
  auto* toleranceLabel = new QLabel(QStringLiteral("T&olerance:"), target);
  toleranceLabel->setBuddy(spinTolerance_);
  targetLayout->addWidget(targetLabel, 0, 0);
  targetLayout->addWidget(textTarget_, 0, 1);
  targetLayout->addWidget(toleranceLabel, 0, 2);
  targetLayout->addWidget(spinTolerance_, 0, 3);
  targetLayout->addWidget(new QLabel(QStringLiteral("May change:"), target), 1, 0, 1, 4);
  auto* checkLayout = new QGridLayout;
  const char* checks[kChangeChecks] = {"&values",   "&powers", "range and &bolts", "t&eam",
                                       "&movement", "ran&k",   "&dial length"};
  for (int i = 0; i < kChangeChecks; ++i) {
    auto* box = new QCheckBox(QString::fromUtf8(checks[i]), target);
    box->setChecked(i == 0 || i == 2);
    connect(box, &QCheckBox::toggled, this, &FormPointsHelper::StartSearch);
    checkChange_[static_cast<std::size_t>(i)] = box;
    checkLayout->addWidget(box, i / 4, i % 4);
  }
  targetLayout->addLayout(checkLayout, 2, 0, 1, 4);
  labelStatus_ = new QLabel(target);
  labelStatus_->setObjectName(QStringLiteral("LabelStatus"));
  labelStatus_->setWordWrap(true);
  targetLayout->addWidget(labelStatus_, 3, 0, 1, 4);
  listSuggestions_ = new QTreeWidget(target);
  listSuggestions_->setAccessibleName(QStringLiteral("Suggestions"));
  listSuggestions_->setHeaderLabels(
      {QStringLiteral("Changes"), QStringLiteral("Points"), QStringLiteral("Total")});
  listSuggestions_->setRootIsDecorated(false);
  listSuggestions_->setUniformRowHeights(true);
  listSuggestions_->setWordWrap(false);
  listSuggestions_->header()->setStretchLastSection(false);
  listSuggestions_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  listSuggestions_->setMinimumHeight(8 * fontMetrics().lineSpacing());
  targetLayout->addWidget(listSuggestions_, 4, 0, 1, 4);
  commandApply_ = new QPushButton(QStringLiteral("Appl&y"), target);
  commandApply_->setEnabled(false);
  targetLayout->addWidget(commandApply_, 5, 3);
  layout->addWidget(target, 1);

  connect(textTarget_, &QLineEdit::textChanged, this, &FormPointsHelper::StartSearch);
  connect(spinTolerance_, &QSpinBox::valueChanged, this, &FormPointsHelper::StartSearch);
  connect(listSuggestions_, &QTreeWidget::itemDoubleClicked, this,
          &FormPointsHelper::ListSuggestions_DoubleClick);
  connect(listSuggestions_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { commandApply_->setEnabled(item != nullptr); });
  connect(commandApply_, &QPushButton::clicked, this, &FormPointsHelper::CommandApply_Click);

  shown_ = editor_.Screen();
  ShowPrice();
  StartSearch();
  resize(sizeHint().width() + 40, sizeHint().height());
  textTarget_->setFocus(Qt::OtherFocusReason);
}

FormPointsHelper::~FormPointsHelper() {
  StopSearch();
  for (Worker& worker : stopping_) {
    if (worker.thread.joinable()) worker.thread.join();
  }
}

void FormPointsHelper::WatchSquare(QWidget* square, StatRow row, int column) {
  square->setProperty("reachRow", static_cast<int>(row));
  square->setProperty("reachColumn", column);
  square->installEventFilter(this);
}

bool FormPointsHelper::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    const QVariant row = watched->property("reachRow");
    if (row.isValid()) {
      hovered_.reset();
      if (event->type() == QEvent::Enter)
        hovered_ =
            SquareAt{static_cast<StatRow>(row.toInt()), watched->property("reachColumn").toInt()};
      ShowWorth();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FormPointsHelper::closeEvent(QCloseEvent* event) {
  StopSearch();
  QDialog::closeEvent(event);
}

void FormPointsHelper::FigureChanged() {
  if (SameFigure(editor_.Screen(), shown_)) {
    ShowWorth();  // the current square may have moved
    return;
  }
  shown_ = editor_.Screen();
  ShowPrice();
  StartSearch();
}

// The price as Calculate would give it, every message listed instead of
// shown in a box.
void FormPointsHelper::ShowPrice() {
  price_ = PriceFigure(shown_);
  textPoints_->setText(QText(PointsText(price_.calculation)));
  textTotal_->setText(QText(FormatGeneral(price_.calculation.total)));
  textTotal_->setCursorPosition(0);
  QStringList problems;
  for (const std::string& problem : price_.problems)
    problems << QText(problem);
  textProblems_->setPlainText(problems.join(QLatin1Char('\n')));
  worth_ = WorthOfDial(shown_);
  heat_->SetWorth(shown_, worth_, price_.calculation.total);
  ShowWorth();
}

void FormPointsHelper::ShowWorth() {
  std::optional<SquareAt> at = hovered_;
  if (!at && editor_.CurrentRow()) at = SquareAt{*editor_.CurrentRow(), editor_.CurrentColumn()};
  if (!at) {
    labelSquare_->setText(QStringLiteral("Point at a square of the dial, or click one."));
    for (QLabel* label : labelWorth_)
      label->clear();
    return;
  }
  labelSquare_->setText(
      QText(SpokenSquare(at->row, at->column, shown_.Square(at->row, at->column))));
  const SquareWorth& worth = worth_[static_cast<int>(at->row)][at->column];
  const std::optional<std::int32_t> now = price_.calculation.points;
  for (int v = 0; v < kVariantCount; ++v) {
    const VariantWorth& w = worth.variants[static_cast<std::size_t>(v)];
    QString text;
    if (!w.possible) {
      text = QStringLiteral("-");
    } else if (!w.problems.empty()) {
      text = QStringLiteral("refused: ") + QText(w.problems.front());
    } else if (!w.points) {
      text = QStringLiteral("no points (total %1)").arg(QText(FormatGeneral(w.total)));
    } else {
      text = QStringLiteral("%1 points").arg(*w.points);
      if (now) text += QStringLiteral(" (%1)").arg(Signed(*w.points - *now, 0));
      text += QStringLiteral(", total %1").arg(Signed(w.total - price_.calculation.total, 4));
    }
    labelWorth_[static_cast<std::size_t>(v)]->setText(text);
  }
}

void FormPointsHelper::StopSearch() {
  if (worker_.thread.joinable()) {
    worker_.thread.request_stop();
    stopping_.push_back(std::move(worker_));
    worker_ = Worker{};
  }
  // Threads that have ended are joined at once; the others end soon.
  std::erase_if(stopping_, [](Worker& w) { return w.ended->load(); });
  searching_ = false;
}

void FormPointsHelper::StartSearch() {
  StopSearch();
  ++generation_;
  listSuggestions_->clear();
  suggestions_.clear();
  commandApply_->setEnabled(false);
  bool isNumber = false;
  const int target = textTarget_->text().toInt(&isNumber);
  ReachRequest request;
  request.kinds = ChangeKinds();
  for (int i = 0; i < kChangeChecks; ++i) {
    for (ChangeKind kind : kCheckKinds[static_cast<std::size_t>(i)])
      request.kinds.Allow(kind, checkChange_[static_cast<std::size_t>(i)]->isChecked());
  }
  if (!isNumber) {
    labelStatus_->setText(QStringLiteral("Type the points you want."));
    return;
  }
  if (request.kinds.None()) {
    labelStatus_->setText(QStringLiteral("Tick what may change."));
    return;
  }
  request.target = target;
  request.tolerance = spinTolerance_->value();
  searched_ = shown_;
  searching_ = true;
  labelStatus_->setText(QStringLiteral("Searching..."));
  const std::uint64_t generation = generation_;
  auto ended = std::make_shared<std::atomic<bool>>(false);
  worker_.ended = ended;
  worker_.thread = std::jthread([this, figure = searched_, request, generation,
                                 ended](std::stop_token stop) {
    const ReachReport report =
        FindReach(figure, request, stop, [&](const std::vector<Suggestion>& batch) {
          QMetaObject::invokeMethod(
              this, [this, batch, generation] { AddSuggestions(generation, batch); },
              Qt::QueuedConnection);
        });
    QMetaObject::invokeMethod(
        this, [this, report, generation] { SearchDone(generation, report); }, Qt::QueuedConnection);
    ended->store(true);
  });
}

void FormPointsHelper::AddSuggestions(std::uint64_t generation,
                                      const std::vector<Suggestion>& batch) {
  if (generation != generation_) return;
  for (const Suggestion& s : batch) {
    QString text = QText(s.Text());
    if (s.side == Side::Below) text = QStringLiteral("Closest below: ") + text;
    if (s.side == Side::Above) text = QStringLiteral("Closest above: ") + text;
    auto* item = new QTreeWidgetItem(
        listSuggestions_, {text, QString::number(s.points), QText(FormatGeneral(s.total))});
    item->setToolTip(0, text);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    suggestions_.push_back(s);
  }
  labelStatus_->setText(QStringLiteral("Searching... %1 found so far.").arg(suggestions_.size()));
}

void FormPointsHelper::SearchDone(std::uint64_t generation, const ReachReport& report) {
  if (generation != generation_) return;
  searching_ = false;
  std::erase_if(stopping_, [](Worker& w) { return w.ended->load(); });
  const QString target = textTarget_->text();
  QString status;
  switch (report.outcome) {
    case ReachOutcome::AtTarget:
      status = QStringLiteral("The figure costs %1 points: on target, nothing to change.")
                   .arg(QText(PointsText(price_.calculation)));
      break;
    case ReachOutcome::Reached:
      status = QStringLiteral("%1 suggestion%2. Double-click one to apply it.")
                   .arg(report.suggestions.size())
                   .arg(report.suggestions.size() == 1 ? "" : "s");
      break;
    case ReachOutcome::Closest:
      status = QStringLiteral(
                   "Nothing within %1 change%2 reaches %3 points; the closest on each side "
                   "are shown.")
                   .arg(report.searched)
                   .arg(report.searched == 1 ? "" : "s")
                   .arg(target);
      break;
    case ReachOutcome::Nothing:
      status =
          QStringLiteral("No change of the kinds ticked gives a figure that Calculate accepts.");
      break;
    case ReachOutcome::Cancelled:
      return;
  }
  if (report.singlesOnly)
    status += QStringLiteral(" Single changes only: its values are too large to add up exactly.");
  labelStatus_->setText(status);
}

void FormPointsHelper::ListSuggestions_DoubleClick(QTreeWidgetItem* item) {
  const int index = listSuggestions_->indexOfTopLevelItem(item);
  if (index < 0 || index >= static_cast<int>(suggestions_.size())) return;
  // Suggestions are for the figure they were searched on; any edit since
  // cleared them, so this is the figure on the screen.
  if (!SameFigure(editor_.Screen(), searched_)) return;
  FigureScreen figure = editor_.Screen();
  for (const Change& change : suggestions_[static_cast<std::size_t>(index)].changes)
    ApplyChange(figure, change);
  apply_(figure);
}

void FormPointsHelper::CommandApply_Click() {
  if (QTreeWidgetItem* item = listSuggestions_->currentItem()) ListSuggestions_DoubleClick(item);
}

}  // namespace zandorik
