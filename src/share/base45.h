// Base45 (RFC 9285): bytes as text in the 45 characters of a QR code's
// alphanumeric mode, "0" to "9", "A" to "Z", space and "$%*+-./:". Every two
// bytes become three characters, a last single byte two.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

inline constexpr std::string_view kBase45Alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// Appends the text of `bytes` to `out`.
void AppendBase45(std::span<const std::uint8_t> bytes, std::string& out);

// The bytes of a base45 text; false for a character outside the alphabet,
// a length that leaves one character over, or a group whose value does not
// fit its bytes.
bool ReadBase45(std::string_view text, std::vector<std::uint8_t>& bytes);

}  // namespace zandorik
