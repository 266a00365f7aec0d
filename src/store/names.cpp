#include "store/names.h"

namespace zandorik {

std::string Unstring(std::string& text, std::string_view delimiter) {
  const std::size_t at = text.find(delimiter);
  if (at == std::string::npos) {
    std::string whole = std::move(text);
    text.clear();
    return whole;
  }
  std::string head = text.substr(0, at);
  text.erase(0, at + delimiter.size());
  return head;
}

}  // namespace zandorik
