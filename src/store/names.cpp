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

namespace {

std::string Folded(std::string_view name) {
  std::string folded;
  for (char c : name) {
    if (c == ' ') continue;
    folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return folded;
}

}  // namespace

std::string SimilarName(std::string_view wanted, const std::vector<std::string>& stored) {
  const std::string folded = Folded(wanted);
  for (const std::string& name : stored)
    if (Folded(name) == folded) return name;
  return {};
}

}  // namespace zandorik
