// Writing a dial sheet to files: the format chosen by the extension, each
// file written to a temporary file and renamed into place once whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sheet/sheet_layout.h"

namespace zandorik {

enum class SheetFormat { Pdf, Svg, Png };

inline constexpr int kDefaultDpi = 300;

// The format of an output path by its extension (.pdf, .svg, .png, in any
// letter case), or nothing.
std::optional<SheetFormat> SheetFormatOf(const std::string& path);

// The files a sheet of `pages` pages is written to: the path itself for a
// PDF or a single page, else OUT-1.svg, OUT-2.svg ... (likewise .png).
std::vector<std::string> SheetFilePaths(const std::string& path, SheetFormat format, int pages);

// Writes the sheet; `written` receives the files. On failure nothing is
// left in place of any of them (files already there stay as they were),
// and `error` says what failed.
bool WriteSheet(const Sheet& sheet, const std::string& path, int dpi, const std::string& title,
                std::vector<std::string>& written, std::string& error);

}  // namespace zandorik
