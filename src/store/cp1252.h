// Names are stored one byte per character in the Windows-1252 code page.
#pragma once

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

}  // namespace zandorik
