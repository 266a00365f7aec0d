#include "app/form_check.h"

#include <QLabel>

#include "app/qt_text.h"
#include "app/twips.h"

namespace zandorik {

FormCheck::FormCheck(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("FormCheck"));
  setWindowTitle(QStringLiteral("Point-costing doublecheck"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setFixedSize(Twips(3930), Twips(2565));

  auto label = [this](const char* name, const char* text, int left, int top, int width,
                      int height) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(TwipsRect(left, top, width, height));
  };
  label("Label7", "Statistics", 1380, 60, 735, 195);
  label("Label8", "Powers", 2700, 60, 615, 195);
  const char* rows[] = {"Speed", "Attack", "Defense", "Damage", "Range", "Team"};
  for (int i = 0; i < 6; ++i) {
    const std::string name = "Label" + std::to_string(i + 1);
    label(name.c_str(), rows[i], 240, 420 + 360 * i, i == 0 ? 735 : 795, 255);
  }

  const char* names[kFieldCount] = {"TextSpeed",        "TextAttack",      "TextDefense",
                                    "TextDamage",       "TextSpeedPower",  "TextAttackPower",
                                    "TextDefensePower", "TextDamagePower", "TextRange",
                                    "TextRangeBolts",   "TextTeam"};
  // Statistics column: Speed .. Damage, Range, Team; Powers: Speed .. Range.
  const int statisticsRow[] = {0, 1, 2, 3, -1, -1, -1, -1, 4, -1, 5};
  const int powersRow[] = {-1, -1, -1, -1, 0, 1, 2, 3, -1, 4, -1};
  for (int i = 0; i < kFieldCount; ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromUtf8(names[i]));
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setFocusPolicy(Qt::ClickFocus);
    const bool statistics = statisticsRow[i] >= 0;
    const int row = statistics ? statisticsRow[i] : powersRow[i];
    field->setGeometry(TwipsRect(statistics ? 1080 : 2340, 360 + 360 * row, 1215, 315));
    fields_[i] = field;
  }
}

void FormCheck::SetValues(const std::array<std::string, kFieldCount>& texts,
                          std::bitset<kFieldCount> which) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (!which[i]) continue;
    const QString text = QText(texts[i]);
    fields_[i]->setText(text);
    fields_[i]->setCursorPosition(0);
    fields_[i]->setToolTip(text);  // the whole value, where the field is too narrow
  }
}

}  // namespace zandorik
