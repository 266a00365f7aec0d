// Draws a dial sheet with QPainter: the PDF file, the PNG pages and the
// printer.
#pragma once

#include <QIODevice>
#include <QImage>
#include <QPainter>
#include <string>

#include "sheet/sheet_layout.h"

namespace zandorik {

// Draws a page; the painter's transform maps millimetres to the device.
void DrawSheetPage(QPainter& painter, const SheetPage& page);

// The whole sheet as a PDF document of vector pages and embedded fonts,
// the page exactly the sheet's paper. False when the device failed.
bool WriteSheetPdf(const Sheet& sheet, QIODevice& device, const std::string& title);

// One page as an image of `dpi` dots per inch, white behind, with that
// resolution recorded (a PNG file keeps it in its pHYs chunk).
QImage RenderSheetPage(const Sheet& sheet, int page, int dpi);

}  // namespace zandorik
