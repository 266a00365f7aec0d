// The print module: the main window's image on the default printer. It is
// loaded with the first print, so that the program does not load the print
// libraries (Qt's print support, CUPS and theirs) at start.
#include "app/print_window.h"

#include <cups/cups.h>

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <type_traits>

extern "C" std::optional<std::string> zandorik_print_window(QWidget* window) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    return std::string(
        "No default printer is set up on this computer, so the window was not printed.");
  }
  const QString name = info.description().isEmpty() ? info.printerName() : info.description();
  const std::string failed =
      "The printer \"" + name.toStdString() + "\" could not start the job; nothing was printed.";

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
  if (!painter.end() || printer.printerState() == QPrinter::Error) return failed;
  // Qt hands the finished page to CUPS on this thread and ignores the
  // answer; a spooler that refused the job would otherwise go unnoticed.
  if (cupsLastError() >= IPP_STATUS_ERROR_BAD_REQUEST) return failed + "\n" + cupsLastErrorString();
  return std::nullopt;
}

// The program calls it through this type.
static_assert(std::is_same_v<decltype(&zandorik_print_window), zandorik::PrintWindowFunction>);
