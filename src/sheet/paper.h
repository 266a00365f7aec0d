// The papers a dial sheet is laid out for, portrait.
#pragma once

#include <string_view>

namespace zandorik {

enum class Paper { A4, Letter };

struct PaperSize {
  double width, height;  // millimetres
};

constexpr PaperSize SizeOf(Paper paper) {
  return paper == Paper::A4 ? PaperSize{210, 297} : PaperSize{215.9, 279.4};
}

constexpr std::string_view PaperName(Paper paper) {
  return paper == Paper::A4 ? "A4" : "Letter";
}

}  // namespace zandorik
