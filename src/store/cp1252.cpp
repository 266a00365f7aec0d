#include "store/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zandorik {
namespace {

// Characters of bytes 0x80 to 0x9F; the other bytes are their own code
// point. Bytes without a character keep their own number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CharOfByte(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : static_cast<char32_t>(b);
}

int ByteOfChar(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Reads one code point at text[pos]; returns false for a malformed one,
// consuming one byte.
bool NextChar(std::string_view text, std::size_t& pos, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  int extra = 0;
  if (b0 < 0x80) {
    c = b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    c = b0 & 0x1F;
    extra = 1;
  } else if ((b0 & 0xF0) == 0xE0) {
    c = b0 & 0x0F;
    extra = 2;
  } else if ((b0 & 0xF8) == 0xF0) {
    c = b0 & 0x07;
    extra = 3;
  } else {
    ++pos;
    return false;
  }
  if (pos + extra >= text.size()) {
    ++pos;
    return false;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    c = (c << 6) | (b & 0x3F);
  }
  pos += 1 + extra;
  return true;
}

}  // namespace

std::string DecodeCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendCp1252(bytes, out);
  return out;
}

void AppendCp1252(std::string_view bytes, std::string& out) {
  // Bytes below 0x80 are the same characters in both: a run of them is
  // copied whole (most names are nothing else).
  while (!bytes.empty()) {
    const auto plain = std::find_if(bytes.begin(), bytes.end(),
                                    [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
    out.append(bytes.begin(), plain);
    bytes.remove_prefix(static_cast<std::size_t>(plain - bytes.begin()));
    if (bytes.empty()) break;
    AppendUtf8(out, CharOfByte(static_cast<unsigned char>(bytes.front())));
    bytes.remove_prefix(1);
  }
}

std::string EncodeCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c = 0;
    const int byte = NextChar(utf8, pos, c) ? ByteOfChar(c) : -1;
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string FirstMisfitCp1252(std::string_view utf8) {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    char32_t c = 0;
    if (!NextChar(utf8, pos, c) || ByteOfChar(c) < 0)
      return std::string(utf8.substr(start, pos - start));
  }
  return {};
}

std::optional<std::string> EncodeCp1252Exactly(std::string_view utf8) {
  if (!FirstMisfitCp1252(utf8).empty()) return std::nullopt;
  return EncodeCp1252(utf8);
}

}  // namespace zandorik
