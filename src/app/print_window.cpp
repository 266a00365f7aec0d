// The print module: the main window's image on the default printer. It is
// loaded with the first print, so that the program does not load the print
// libraries (Qt's print support, CUPS and theirs) at start.
#include "app/print_window.h"

#include <cups/cups.h>

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <type_traits>

namespace {

// The default printer, or why there is none to print `what` on.
std::optional<std::string> NoPrinter(const QPrinterInfo& info, const std::string& what) {
  if (!info.isNull()) return std::nullopt;
  return "No default printer is set up on this computer, so the " + what + " was not printed.";
}

std::string JobFailed(const QPrinterInfo& info) {
  const QString name = info.description().isEmpty() ? info.printerName() : info.description();
  return "The printer \"" + name.toStdString() + "\" could not start the job; nothing was printed.";
}

// Qt hands the finished pages to CUPS on this thread and ignores the
// answer; a spooler that refused the job would otherwise go unnoticed.
std::optional<std::string> Finish(QPainter& painter, QPrinter& printer, const std::string& failed) {
  if (!painter.end() || printer.printerState() == QPrinter::Error) return failed;
  if (cupsLastError() >= IPP_STATUS_ERROR_BAD_REQUEST) return failed + "\n" + cupsLastErrorString();
  return std::nullopt;
}

}  // namespace

extern "C" std::optional<std::string> zandorik_print_window(QWidget* window) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (auto none = NoPrinter(info, "window")) return none;
  const std::string failed = JobFailed(info);

  // The window as it is shown now, drawn at four times its screen resolution
  // so that captions stay sharp on paper.
  constexpr qreal kSharpness = 4;
  QPixmap image(window->size() * kSharpness);
  image.setDevicePixelRatio(kSharpness);
  image.fill(Qt::white);
  window->render(&image);

  QPrinter printer(info, QPrinter::HighResolution);
  printer.setDocName(window->windowTitle());
  printer.setCopyCount(1);
  QPainter painter;
  if (!painter.begin(&printer)) return failed;
  // As large as fits the printable area of one page, centred across it.
  const QRect page = painter.viewport();
  QSize size = window->size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  const QRect target(QPoint(page.x() + (page.width() - size.width()) / 2, page.y()), size);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(target, image);
  return Finish(painter, printer, failed);
}

extern "C" std::optional<std::string> zandorik_print_sheet(const zandorik::SheetPrintJob& job) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (auto none = NoPrinter(info, job.what)) return none;
  const std::string failed = JobFailed(info);
  const bool letter = info.defaultPageSize().id() == QPageSize::Letter;
  const int pages = job.layOut(letter);

  QPrinter printer(info, QPrinter::HighResolution);
  printer.setDocName(QString::fromStdString(job.title));
  printer.setCopyCount(1);
  // The whole paper, from its corner, at its own size: actual size.
  printer.setFullPage(true);
  printer.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  QPainter painter;
  if (!painter.begin(&printer)) return failed;
  const qreal dotsPerMm = printer.resolution() / 25.4;
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !printer.newPage()) return failed;
    painter.resetTransform();
    painter.scale(dotsPerMm, dotsPerMm);
    job.draw(painter, page);
  }
  return Finish(painter, printer, failed);
}

// The program calls them through these types.
static_assert(std::is_same_v<decltype(&zandorik_print_window), zandorik::PrintWindowFunction>);
static_assert(std::is_same_v<decltype(&zandorik_print_sheet), zandorik::PrintSheetFunction>);
