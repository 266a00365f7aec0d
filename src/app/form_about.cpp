#include "app/form_about.h"

#include <QMouseEvent>

#include "app/form_main.h"
#include "app/twips.h"

namespace zandorik {
namespace {

QPlainTextEdit* AddCredits(QWidget* parent, const char* name, const QString& text, QRect place) {
  auto* box = new QPlainTextEdit(text, parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(place);
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->document()->setDocumentMargin(1);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  box->setPalette(palette);
  return box;
}

QLabel* AddLabel(QWidget* parent, const char* name, const char* text, QRect place) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setGeometry(place);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setTextFormat(Qt::PlainText);
  QFont font = DialFont();
  font.setPointSizeF(8.25);
  font.setUnderline(true);
  setFont(font);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The desktop's active title colour; Qt names it the highlight.
  QPalette look = palette();
  look.setColor(QPalette::WindowText, look.color(QPalette::Active, QPalette::Highlight));
  setPalette(look);
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

// A click is a press and a release over the label, as on a button.
void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) emit clicked();
}

FormAbout::FormAbout(WindowDesktop& desktop, QWidget* owner) : QDialog(owner), desktop_(desktop) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("About QMVR"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setFixedSize(Twips(5730), Twips(2580));

  text1_ = AddCredits(this, "Text1",
                      QStringLiteral("Formula concept & generation:\n\nthe Zandorik Dial "
                                     "Generator project"),
                      TwipsRect(180, 60, 4335, 615));
  AddLabel(this, "Label1", "email:", TwipsRect(300, 720, 435, 255));
  // The four addresses are set when the program is built (CMakeLists.txt).
  labelFormulaEmail_ = new LinkLabel(QStringLiteral(ZANDORIK_FORMULA_EMAIL), this);
  labelFormulaEmail_->setGeometry(TwipsRect(780, 720, 1695, 255));
  AddLabel(this, "Label3", "website:", TwipsRect(60, 960, 675, 255));
  labelFormulaWebsite_ = new LinkLabel(QStringLiteral(ZANDORIK_FORMULA_WEBSITE), this);
  labelFormulaWebsite_->setGeometry(TwipsRect(780, 960, 3615, 195));

  text2_ = AddCredits(this, "Text2",
                      QStringLiteral("Program concept & coding:\n\nthe Zandorik Dial "
                                     "Generator contributors"),
                      TwipsRect(180, 1260, 4335, 615));
  AddLabel(this, "Label6", "email:", TwipsRect(300, 1920, 435, 255));
  labelProgramEmail_ = new LinkLabel(QStringLiteral(ZANDORIK_PROGRAM_EMAIL), this);
  labelProgramEmail_->setGeometry(TwipsRect(780, 1920, 1695, 255));
  AddLabel(this, "Label4", "website:", TwipsRect(60, 2160, 675, 255));
  labelProgramWebsite_ = new LinkLabel(QStringLiteral(ZANDORIK_PROGRAM_WEBSITE), this);
  labelProgramWebsite_->setGeometry(TwipsRect(780, 2160, 4695, 195));

  labelFormulaEmail_->setObjectName(QStringLiteral("LabelFormulaEmail"));
  labelFormulaWebsite_->setObjectName(QStringLiteral("LabelFormulaWebsite"));
  labelProgramEmail_->setObjectName(QStringLiteral("LabelProgramEmail"));
  labelProgramWebsite_->setObjectName(QStringLiteral("LabelProgramWebsite"));
  connect(labelFormulaEmail_, &LinkLabel::clicked, this, &FormAbout::LabelFormulaEmail_Click);
  connect(labelFormulaWebsite_, &LinkLabel::clicked, this, &FormAbout::LabelFormulaWebsite_Click);
  connect(labelProgramEmail_, &LinkLabel::clicked, this, &FormAbout::LabelProgramEmail_Click);
  connect(labelProgramWebsite_, &LinkLabel::clicked, this, &FormAbout::LabelProgramWebsite_Click);
}

// Each link hands the caption it shows at the moment of the click; whether
// the desktop could open it is not reported, and the box stays open.
void FormAbout::LabelFormulaEmail_Click() {
  desktop_.OpenLink("mailto:" + labelFormulaEmail_->text().toStdString());
}

void FormAbout::LabelFormulaWebsite_Click() {
  desktop_.OpenLink(labelFormulaWebsite_->text().toStdString());
}

void FormAbout::LabelProgramEmail_Click() {
  desktop_.OpenLink("mailto:" + labelProgramEmail_->text().toStdString());
}

void FormAbout::LabelProgramWebsite_Click() {
  desktop_.OpenLink(labelProgramWebsite_->text().toStdString());
}

}  // namespace zandorik
