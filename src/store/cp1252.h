// Names are stored one byte per character in the Windows-1252 code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zandorik {

// Decodes bytes to UTF-8. Every byte has a character (the five bytes that
// the code page leaves open map to the control characters of the same
// number), so decoding and encoding back gives the same bytes.
std::string DecodeCp1252(std::string_view bytes);
// The same, appended to `out`.
void AppendCp1252(std::string_view bytes, std::string& out);

// Encodes UTF-8 text: one byte per character, "?" for a character the code
// page cannot hold (and for each byte of malformed UTF-8).
std::string EncodeCp1252(std::string_view utf8);

// Encodes UTF-8 text only if the code page holds every character of it.
std::optional<std::string> EncodeCp1252Exactly(std::string_view utf8);
// The first character of UTF-8 text that the code page cannot hold (as
// UTF-8), or "" when it holds them all.
std::string FirstMisfitCp1252(std::string_view utf8);

}  // namespace zandorik
