// Writing a dial sheet to files: the format chosen by the extension, each
// file written through OutputFile (store/output_file.h), put in place only
// once every file is whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sheet/sheet_layout.h"
#include "store/system_calls.h"

namespace zandorik {

enum class SheetFormat { Pdf, Svg, Png };

inline constexpr int kDefaultDpi = 300;

// The format of an output path by its extension (.pdf, .svg, .png, in any
// letter case), or nothing.
std::optional<SheetFormat> SheetFormatOf(const std::string& path);

// The files a sheet of `pages` pages is written to: the path itself for a
// PDF or a single page, else OUT-1.svg, OUT-2.svg ... (likewise .png).
std::vector<std::string> SheetFilePaths(const std::string& path, SheetFormat format, int pages);

// Writes the sheet; `written` receives the files put in place (not a
// stream, such as a FIFO or /dev/stdout). Every page is rendered in memory
// and each write checked. When a file cannot be written whole, none is
// put in place (files already there stay as they were), and `error` says what
// failed: IsRefusedOutput when an output is one of `inputs` or a data file (nothing
// is written then), else the system's error; its description is the whole
// message ("cannot write out.pdf: No space left on device").
bool WriteSheet(const Sheet& sheet, const std::string& path, int dpi, const std::string& title,
                const std::vector<std::string>& inputs, std::vector<std::string>& written,
                FileError* error, SystemCalls* calls = nullptr);

}  // namespace zandorik
