// The one way text of the core (UTF-8 in std::string) becomes Qt's.
#pragma once

#include <QString>
#include <string_view>

namespace zandorik {

inline QString QText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace zandorik
