// The face every text of a dial sheet is measured and drawn in.
#pragma once

#include <QFont>
#include <QString>

#include "sheet/sheet_layout.h"

namespace zandorik {

// At `pixels` pixels, unhinted, so that measures scale exactly.
inline QFont SheetFont(bool bold, int pixels) {
  QFont font(QString::fromUtf8(kSheetFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace zandorik
