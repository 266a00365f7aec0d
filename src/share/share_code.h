// Share codes: a stored figure as one short line of text, "ZD1:" followed by
// the record in a compact binary form and a CRC-32, written in base45 so
// that it fits a small QR code (docs/share-code.md describes the layout).
//
// A code keeps the whole record: decoding gives the 486 bytes that encoding
// read, raw forms included (colour codes outside the table, any name bytes,
// list positions out of range, a deleted record's marker).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "editor/figure_clipboard.h"
#include "store/figure_record.h"
#include "store/figure_text.h"

namespace zandorik {

inline constexpr std::string_view kShareCodePrefix = "ZD1:";
// Why a text is refused.
inline constexpr const char* kNotAFigureCode = "not a figure code";
inline constexpr const char* kCodeDamaged = "the code is damaged (checksum)";

// The code of a record (its name as the record stores it: cut or padded
// to 30 bytes of Windows-1252).
std::string ShareCode(const FigureRecord& record);

// The record a code was made from. Blanks around the code are skipped, and
// a line as `zandorik code` prints it (the name, a tab, the code) is taken
// too. False, with kNotAFigureCode or kCodeDamaged in `why`, for any other
// text: a code never reads as a record it was not made from.
bool ReadShareCode(std::string_view text, FigureRecord& record, std::string* why);

// Whether `text` is meant as a code: it begins (after blanks, or after the
// tab of a `zandorik code` line) with "ZD1:".
bool LooksLikeShareCode(std::string_view text);

// The figures of several codes, checked as import checks a document: each
// problem as "code N: ..." (N from 1), a code of a deleted record refused
// as no figure, and no name given twice.
FigureText ReadFigureCodes(std::span<const std::string> codes);

// Share codes for the window's clipboard.
const FigureCodes& ShareCodes();

}  // namespace zandorik
