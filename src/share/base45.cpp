#include "share/base45.h"

#include <array>

namespace zandorik {
namespace {

// The value of each character, or -1.
constexpr std::array<std::int8_t, 256> kValues = [] {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (std::size_t i = 0; i < kBase45Alphabet.size(); ++i)
    values[static_cast<unsigned char>(kBase45Alphabet[i])] = static_cast<std::int8_t>(i);
  return values;
}();

}  // namespace

void AppendBase45(std::span<const std::uint8_t> bytes, std::string& out) {
  out.reserve(out.size() + bytes.size() / 2 * 3 + 2);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    unsigned n = bytes[i] * 256u + bytes[i + 1];
    out += kBase45Alphabet[n % 45];
    n /= 45;
    out += kBase45Alphabet[n % 45];
    out += kBase45Alphabet[n / 45];
  }
  if (i < bytes.size()) {
    out += kBase45Alphabet[bytes[i] % 45];
    out += kBase45Alphabet[bytes[i] / 45];
  }
}

bool ReadBase45(std::string_view text, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (text.size() % 3 == 1) return false;
  bytes.reserve(text.size() / 3 * 2 + 1);
  for (std::size_t i = 0; i < text.size(); i += 3) {
    const std::size_t group = std::min<std::size_t>(3, text.size() - i);
    unsigned n = 0;
    for (std::size_t k = group; k-- > 0;) {
      const int value = kValues[static_cast<unsigned char>(text[i + k])];
      if (value < 0) return false;
      n = n * 45 + static_cast<unsigned>(value);
    }
    if (group == 3) {
      if (n > 0xFFFF) return false;
      bytes.push_back(static_cast<std::uint8_t>(n >> 8));
    } else if (n > 0xFF) {
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(n & 0xFF));
  }
  return true;
}

}  // namespace zandorik
