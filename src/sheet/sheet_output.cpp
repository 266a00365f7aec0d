#include "sheet/sheet_output.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
#include <memory>

#include "sheet/painter_renderer.h"
#include "sheet/svg_writer.h"

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
                std::vector<std::string>& written, std::string& error) {
  const std::optional<SheetFormat> format = SheetFormatOf(path);
  if (!format) {
    error = "the output's name must end in .pdf, .svg or .png";
    return false;
  }
  const std::vector<std::string> paths =
      SheetFilePaths(path, *format, static_cast<int>(sheet.pages.size()));
  // Every file is written whole to its temporary file first; only then are
  // they renamed into place.
  std::vector<std::unique_ptr<QSaveFile>> files;
  const auto fail = [&](const QSaveFile& file, const std::string& what) {
    error = "cannot write " + what + ": " + file.errorString().toStdString();
    for (auto& f : files)
      f->cancelWriting();
    return false;
  };
  for (std::size_t i = 0; i < paths.size(); ++i) {
    auto& file =
        files.emplace_back(std::make_unique<QSaveFile>(QFile::decodeName(paths[i].c_str())));
    if (!file->open(QIODevice::WriteOnly)) return fail(*file, paths[i]);
    bool ok = true;
    switch (*format) {
      case SheetFormat::Pdf:
        ok = WriteSheetPdf(sheet, *file, title);
        break;
      case SheetFormat::Svg: {
        const std::string svg = SheetPageSvg(sheet, static_cast<int>(i), title);
        ok = file->write(svg.data(), static_cast<qint64>(svg.size())) ==
             static_cast<qint64>(svg.size());
        break;
      }
      case SheetFormat::Png: {
        const QImage image = RenderSheetPage(sheet, static_cast<int>(i), dpi);
        if (image.isNull()) {
          error = "cannot make a page of " + std::to_string(dpi) + " dots per inch: too large";
          for (auto& f : files)
            f->cancelWriting();
          return false;
        }
        QImageWriter writer(file.get(), "png");
        // zlib's fastest level: a page is mostly white, and the default
        // level takes longer than drawing it for little gain.
        writer.setQuality(kPngQuality);
        ok = writer.write(image);
        break;
      }
    }
    if (!ok || file->error() != QFileDevice::NoError) return fail(*file, paths[i]);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i]->commit()) return fail(*files[i], paths[i]);
    written.push_back(paths[i]);
  }
  return true;
}

}  // namespace zandorik
