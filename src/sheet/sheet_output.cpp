#include "sheet/sheet_output.h"

#include <QBuffer>
#include <QImageWriter>

#include "sheet/painter_renderer.h"
#include "sheet/svg_writer.h"
#include "store/output_file.h"

namespace zandorik {
namespace {

// Qt's PNG writer maps quality q to zlib's level (100 - q) * 9 / 91.
constexpr int kPngQuality = 80;

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::optional<SheetFormat> SheetFormatOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
  const std::string extension = Lower(path.substr(dot));
  if (extension == ".pdf") return SheetFormat::Pdf;
  if (extension == ".svg") return SheetFormat::Svg;
  if (extension == ".png") return SheetFormat::Png;
  return std::nullopt;
}

std::vector<std::string> SheetFilePaths(const std::string& path, SheetFormat format, int pages) {
  if (format == SheetFormat::Pdf || pages <= 1) return {path};
  const std::size_t dot = path.rfind('.');
  std::vector<std::string> paths;
  for (int p = 1; p <= pages; ++p)
    paths.push_back(path.substr(0, dot) + "-" + std::to_string(p) + path.substr(dot));
  return paths;
}

bool WriteSheet(const Sheet& sheet, const std::string& path, int dpi, const std::string& title,
                const std::vector<std::string>& inputs, std::vector<std::string>& written,
                FileError* error, SystemCalls* calls) {
  const auto fail = [&](const FileError& why, const std::string& what) {
    if (error) {
      *error = IsRefusedOutput(why.number)
                   ? why
                   : FileError{why.number, "cannot write " + what + ": " + why.description};
    }
    return false;
  };
  const std::optional<SheetFormat> format = SheetFormatOf(path);
  if (!format) {
    if (error) *error = FileError{EINVAL, "the output's name must end in .pdf, .svg or .png"};
    return false;
  }
  const std::vector<std::string> paths =
      SheetFilePaths(path, *format, static_cast<int>(sheet.pages.size()));
  // Every output is opened first, so that a refused one stops everything
  // before a byte is written.
  std::vector<OutputFile> files;
  FileError why;
  for (const std::string& target : paths) {
    if (!files.emplace_back(calls).Open(target, inputs, &why)) return fail(why, target);
  }
  // Every file is written whole first; only then are they put in place.
  for (std::size_t i = 0; i < paths.size(); ++i) {
    QByteArray bytes;
    switch (*format) {
      case SheetFormat::Pdf: {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!WriteSheetPdf(sheet, buffer, title)) return fail(ErrorOf(ENOMEM), paths[i]);
        break;
      }
      case SheetFormat::Svg: {
        const std::string svg = SheetPageSvg(sheet, static_cast<int>(i), title);
        bytes = QByteArray(svg.data(), static_cast<qsizetype>(svg.size()));
        break;
      }
      case SheetFormat::Png: {
        const QImage image = RenderSheetPage(sheet, static_cast<int>(i), dpi);
        if (image.isNull()) {
          if (error) {
            *error = FileError{EFBIG, "cannot make a page of " + std::to_string(dpi) +
                                          " dots per inch: too large"};
          }
          return false;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // zlib's fastest level: a page is mostly white, and the default
        // level takes longer than drawing it for little gain.
        writer.setQuality(kPngQuality);
        if (!writer.write(image)) return fail(ErrorOf(ENOMEM), paths[i]);
        break;
      }
    }
    if (!files[i].Write({bytes.constData(), static_cast<std::size_t>(bytes.size())}, &why))
      return fail(why, paths[i]);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const bool stream = files[i].IsStream();
    if (!files[i].Commit(&why)) return fail(why, paths[i]);
    if (!stream) written.push_back(paths[i]);
  }
  return true;
}

}  // namespace zandorik
