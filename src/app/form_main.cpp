#include "app/form_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIconEngine>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <algorithm>

#include "app/twips.h"

namespace zandorik {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QLabel* AddLabel(QWidget* parent, const char* text, QRect geometry,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(geometry);
  label->setAlignment(alignment);
  return label;
}

}  // namespace

QFont DialFont() {
  static const QStringList kFaces = {
      QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
      QStringLiteral("Nimbus Sans"),     QStringLiteral("Helvetica")};
  // The first face installed, found once: matching a whole list of faces
  // that are missing asks the font configuration for substitutes of each,
  // which costs more at start-up than the rest of the window's text.
  static const QStringList faces = [] {
    const QStringList installed = QFontDatabase::families();
    for (const QString& face : kFaces) {
      if (installed.contains(face)) return QStringList{face};
    }
    return kFaces;
  }();
  QFont font;
  font.setFamilies(faces);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  // Glyphs snapped to whole pixels: crisp like the classic bitmap face, and
  // no wider than the boxes were drawn for.
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

namespace {

// A standard icon of a style, asked for only when first drawn.
class DeferredIconEngine : public QIconEngine {
 public:
  DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

 private:
  const QIcon& Icon() {
    if (!loaded_ && style_) icon_ = style_->standardIcon(which_);
    loaded_ = true;
    return icon_;
  }

  QPointer<QStyle> style_;
  QStyle::StandardPixmap which_;
  bool loaded_ = false;
  QIcon icon_;
};

class DialStyle : public QProxyStyle {
 public:
  DialStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_RadioButtonLabelSpacing || metric == PM_CheckBoxLabelSpacing) return 4;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_GroupBox_TextLabelVerticalAlignment) return Qt::AlignVCenter;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }

  // The classic group box: an etched frame whose top line runs through the
  // middle of the caption, the caption 8 pixels in from the left with the
  // line broken under it. Fusion puts the whole frame below the caption,
  // where it runs into the controls placed for the classic frame.
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    if (control == CC_GroupBox) return QCommonStyle::subControlRect(control, option, sub, widget);
    if (control == CC_ComboBox && sub == SC_ComboBoxEditField) {
      // Room for the picker's swatches at their own size: inside the
      // one-pixel border, not Fusion's two.
      const QRect field = QProxyStyle::subControlRect(control, option, sub, widget);
      const auto* combo = qobject_cast<const QComboBox*>(widget);
      if (combo && combo->iconSize().height() > field.height()) return field.adjusted(-1, -1, 0, 1);
      return field;
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    if (control == CC_GroupBox)
      return QCommonStyle::drawComplexControl(control, option, painter, widget);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_FrameGroupBox)
      return QCommonStyle::drawPrimitive(element, option, painter, widget);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override {
    // Every menu bar makes an overflow button with this icon, which a menu
    // bar as wide as the window never shows; reading its image files
    // (through the image plug-ins) is a good part of the start-up time.
    if (which == SP_ToolBarHorizontalExtensionButton && option == nullptr)
      return QIcon(new DeferredIconEngine(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
  }
};

}  // namespace

QStyle* MakeDialStyle() {
  return new DialStyle;
}

void ApplyDialLook() {
  QApplication::setStyle(MakeDialStyle());
  QApplication::setFont(DialFont());
}

FormMain::FormMain(Desktop& desktop, QWidget* parent)
    : QMainWindow(parent),
      desktop_(desktop),
      editor_(desktop),
      files_(desktop, editor_),
      clipboard_(desktop, editor_) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowTitle(QStringLiteral("Zandorik Dial Generator"));
  setFont(DialFont());
  createActions();
  createMenus();
  createControls();
  Form_Load();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // A message box of Calculate shows over what the calculation wrote so far.
  editor_.OnBeforeMessage([this] { Sync(); });
  files_.OnBeforeMessage([this] { Sync(); });
}

FormMain::~FormMain() = default;

void FormMain::createActions() {
  auto action = [this](const char* text, QKeySequence shortcut = {}) {
    auto* a = new QAction(QString::fromUtf8(text), this);
    a->setShortcut(shortcut);
    return a;
  };
  menuFileNew_ = action("&New File", QKeySequence(Qt::CTRL | Qt::Key_N));
  menuFileOpen_ = action("&Open File", QKeySequence(Qt::CTRL | Qt::Key_O));
  menuFileSave_ = action("&Save Record", QKeySequence(Qt::CTRL | Qt::Key_S));
  menuDeleteRecord_ = action("&Delete Record", QKeySequence(Qt::CTRL | Qt::Key_D));
  menuFilePrint_ = action("&Print", QKeySequence(Qt::CTRL | Qt::Key_P));
  menuFileExit_ = action("E&xit");
  menuOptionsDisplayBreakdown_ = action("&Display Breakdown", QKeySequence(Qt::Key_F1));
  menuOptionsResetScreen_ = action("&Reset Screen", QKeySequence(Qt::Key_F5));
  menuHelpAbout_ = action("&About");
  menuCopyFigure_ = action("&Copy Figure", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  menuPasteFigure_ = action("&Paste Figure", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
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
  connect(menuOptionsDisplayBreakdown_, &QAction::triggered, this,
          &FormMain::MenuOptionsDisplayBreakdown_Click);
  connect(menuOptionsResetScreen_, &QAction::triggered, this,
          &FormMain::MenuOptionsResetScreen_Click);
}

void FormMain::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(menuFileNew_);
  file->addAction(menuFileOpen_);
  file->addSeparator();
  file->addAction(menuFileSave_);
  file->addAction(menuDeleteRecord_);
  file->addSeparator();
  file->addAction(menuFilePrint_);
  file->addSeparator();
  file->addAction(menuFileExit_);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addSeparator();
  edit->addAction(menuCopyFigure_);
  edit->addAction(menuPasteFigure_);
  QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
  options->addAction(menuOptionsDisplayBreakdown_);
  options->addAction(menuOptionsResetScreen_);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(menuHelpAbout_);
}

void FormMain::createControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(Twips(6345), Twips(3555));
  setCentralWidget(client);

  AddLabel(client, "Name", TwipsRect(120, 120, 615, 195));
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
  connect(comboName_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { editor_.SetName(text.toStdString()); });
  connect(comboName_, &QComboBox::activated, this, &FormMain::ComboName_Click);

  AddLabel(client, "Move", TwipsRect(120, 480, 615, 255));
  comboMove_ = new QComboBox(client);
  comboMove_->setGeometry(TwipsRect(840, 420, 1035, 315));
  AddLabel(client, "Team", TwipsRect(2160, 480, 615, 255));
  comboTeam_ = new QComboBox(client);
  comboTeam_->setGeometry(TwipsRect(2820, 420, 1935, 315));
  connect(comboMove_, &QComboBox::currentIndexChanged, this,
          [this](int index) { editor_.SetMove(index); });
  connect(comboTeam_, &QComboBox::currentIndexChanged, this,
          [this](int index) { editor_.SetTeam(index); });

  AddLabel(client, "Range:", TwipsRect(4920, 480, 555, 255), Qt::AlignRight | Qt::AlignTop);
  textRange_ = new QLineEdit(QStringLiteral("0"), client);
  textRange_->setGeometry(TwipsRect(5520, 480, 675, 315));
  connect(textRange_, &QLineEdit::textEdited, this,
          [this](const QString& text) { editor_.SetRange(text.toStdString()); });

  AddLabel(client, "Bolts:", TwipsRect(4920, 840, 555, 255), Qt::AlignRight | Qt::AlignTop);
  for (int k = 0; k < 3; ++k) {
    auto* box = new QCheckBox(client);
    box->setGeometry(TwipsRect(5520 + 240 * k, 840, 195, 255));
    box->setChecked(editor_.Screen().bolts[k]);
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) { editor_.SetBolt(k, on); });
    checkBolt_[k] = box;
  }

  auto* rank = new QGroupBox(QStringLiteral("Rank"), client);
  rank->setGeometry(TwipsRect(4860, 1200, 1395, 1635));
  const int rankTops[] = {240, 480, 720, 1020, 1260};
  for (int i = 0; i < 5; ++i) {
    auto* option = new QRadioButton(Text(kRanks[i].caption), rank);
    option->setGeometry(TwipsRect(120, rankTops[i], 1215, 315));
    option->setChecked(editor_.Screen().rankSelected[i]);
    connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) editor_.SetRank(i);
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
      squares_[r][column] = square;
    }
  }

  auto* current = new QGroupBox(QStringLiteral("Current Square"), client);
  current->setGeometry(TwipsRect(480, 2340, 4275, 675));
  AddLabel(current, "Value:", TwipsRect(120, 300, 495, 255));
  textValue_ = new QLineEdit(current);
  textValue_->setAlignment(Qt::AlignRight);
  textValue_->setGeometry(TwipsRect(600, 240, 495, 315));
  connect(textValue_, &QLineEdit::textEdited, this, &FormMain::TextValue_Change);
  imageComboColors_ = new QComboBox(current);
  // Its swatches are shown at their own size, and 330 twips leave one row
  // too few for them inside the border: the picker is that row taller.
  QRect picker = TwipsRect(1200, 240, 3015, 330);
  picker.setHeight(std::max(picker.height(), PaletteStore::kSwatchSize + 2));
  imageComboColors_->setGeometry(picker);
  connect(imageComboColors_, &QComboBox::activated, this, &FormMain::ImageComboColors_Click);

  commandCalculate_ = new QPushButton(QStringLiteral("Calculate"), client);
  commandCalculate_->setGeometry(TwipsRect(180, 3060, 1035, 315));
  connect(commandCalculate_, &QPushButton::clicked, this, &FormMain::CommandCalculate_Click);
  textPoints_ = new QLineEdit(client);
  textPoints_->setReadOnly(true);
  textPoints_->setAlignment(Qt::AlignRight);
  textPoints_->setGeometry(TwipsRect(1260, 3060, 1155, 315));
  AddLabel(client, "Points", TwipsRect(2460, 3120, 735, 255));
}

void FormMain::Form_Load() {
  BuildColourImages();
  const QSignalBlocker blockMove(comboMove_);
  const QSignalBlocker blockTeam(comboTeam_);
  for (std::string_view move : kMovements)
    comboMove_->addItem(Text(move));
  comboMove_->setCurrentIndex(0);
  for (const TeamEntry& team : kTeams)
    comboTeam_->addItem(Text(team.name));
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

bool FormMain::OpenDataFile(const std::string& path) {
  const bool opened = files_.OpenDataFile(path);
  Sync();
  return opened;
}

void FormMain::MenuFileSave_Click() {
  files_.MenuFileSave_Click();
  Sync();
}

void FormMain::MenuDeleteRecord_Click() {
  files_.MenuDeleteRecord_Click();
  Sync();
}

void FormMain::ComboName_Click(int index) {
  files_.ComboName_Click(index);
  Sync();
}

void FormMain::MenuOptionsResetScreen_Click() {
  editor_.ResetScreen();
  Sync();
}

void FormMain::MenuOptionsDisplayBreakdown_Click() {
  if (!formCheck_) formCheck_ = new FormCheck(this);
  formCheck_->show();
  formCheck_->raise();
  formCheck_->activateWindow();
}

// Printing a window takes no more than handing it to the printer; what
// went wrong is said in a box, and the figure on screen stays as it is.
void FormMain::MenuFilePrint_Click() {
  if (const std::optional<std::string> failure = desktop_.PrintMainWindow())
    desktop_.ShowMessage(*failure, kAppTitle);
}

// One about box at most: chosen again, it comes to the front.
void FormMain::MenuHelpAbout_Click() {
  if (!formAbout_) formAbout_ = new FormAbout(desktop_, this);
  formAbout_->show();
  formAbout_->raise();
  formAbout_->activateWindow();
}

void FormMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void FormMain::Form_Unload() {
  files_.Close();
  // Every other window goes with the main window.
  if (formCheck_) formCheck_->close();
  if (formAbout_) formAbout_->close();
}

void FormMain::Sync() {
  const EditorChanges changes = editor_.TakeChanges();
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      if (changes.Square(row, column)) ShowSquare(row, column);
    }
  }
  if (files_.TakeNameListChanged()) ShowNameList();
  if (changes.fields) ShowFields();
  if (changes.picker) ShowPicker();
  if (changes.valueBox) {
    const QString text = QString::fromStdString(editor_.ValueText());
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
  if (changes.calculation) textPoints_->setText(QString::fromStdString(editor_.PointsText()));
}

void FormMain::ShowSquare(StatRow row, int column) {
  const DialSquare& square = editor_.Screen().Square(row, column);
  DialSquareButton* button = Square(row, column);
  button->setText(QString::fromStdString(square.caption));
  button->SetBackground(square.background);
  button->SetCaptionColour(square.HasWhiteCaption() ? Qt::white : Qt::black);
  button->SetPicture(square.IsKO() ? &palette_->KOSwatch() : nullptr);
}

void FormMain::ShowNameList() {
  // The list is rebuilt; the box keeps its text.
  const QSignalBlocker block(comboName_);
  QStringList names;
  names.reserve(static_cast<qsizetype>(files_.NameList().size()));
  for (const NameEntry& entry : files_.NameList())
    names.append(QString::fromStdString(entry.shown));
  nameList_->setStringList(names);
  // Long lists are laid out at once (the list is made on first use).
  if (auto* view = qobject_cast<QListView*>(comboName_->view())) view->setUniformItemSizes(true);
  comboName_->setCurrentIndex(-1);
  comboName_->setEditText(QString::fromStdString(editor_.Screen().name));
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
    for (const PickerEntry& entry : editor_.PickerEntries()) {
      const QString key = Text(entry.key);
      QIcon image;
      for (const ImageListEntry& swatch : imageListColors_) {
        if (swatch.key == key) image = swatch.image;
      }
      imageComboColors_->addItem(image, Text(entry.text), key);
    }
    pickerRowShown_ = editor_.PickerRow();
  }
  imageComboColors_->setCurrentIndex(editor_.PickerSelection());
}

void FormMain::ShowFields() {
  const FigureScreen& screen = editor_.Screen();
  const QSignalBlocker b1(comboName_), b2(comboMove_), b3(comboTeam_), b4(textRange_);
  comboName_->setEditText(QString::fromStdString(screen.name));
  comboMove_->setCurrentIndex(MovementPosition(screen.moveText));
  comboTeam_->setCurrentIndex(TeamPosition(screen.teamText));
  textRange_->setText(QString::fromStdString(screen.rangeText));
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
