#include "share/qr_scanner.h"

#include <zbar.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace zandorik {

using namespace zbar;  // its C interface, which C++ finds in a namespace

namespace {

struct Found {
  std::string text;
  double x = 0, y = 0;  // the centre
  double size = 0;      // the height
};

Found Place(const zbar_symbol_t* symbol) {
  Found found{std::string(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol))};
  const unsigned corners = zbar_symbol_get_loc_size(symbol);
  double top = 1e9, bottom = -1e9;
  for (unsigned i = 0; i < corners; ++i) {
    const double y = zbar_symbol_get_loc_y(symbol, i);
    found.x += zbar_symbol_get_loc_x(symbol, i) / static_cast<double>(corners);
    found.y += y / static_cast<double>(corners);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  found.size = corners > 0 ? bottom - top : 0;
  return found;
}

// Adds the codes zbar finds in the image that `found` does not hold yet.
void Scan(std::span<const std::uint8_t> grey, int width, int height, std::vector<Found>& found) {
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  // QR codes only: the bar codes' decoders would only cost time.
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_t* image = zbar_image_create();
  zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image, static_cast<unsigned>(width), static_cast<unsigned>(height));
  zbar_image_set_data(image, grey.data(), grey.size(), nullptr);
  if (zbar_scan_image(scanner, image) > 0) {
    for (const zbar_symbol_t* symbol = zbar_image_first_symbol(image); symbol;
         symbol = zbar_symbol_next(symbol)) {
      Found f = Place(symbol);
      if (std::none_of(found.begin(), found.end(),
                       [&](const Found& o) { return o.text == f.text; }))
        found.push_back(std::move(f));
    }
  }
  zbar_image_destroy(image);
  zbar_image_scanner_destroy(scanner);
}

// The image in black and white, cut at the grey that best parts dark from
// light (Otsu's threshold). zbar finds its codes by the edges along lines
// of pixels, which blur and JPEG's ringing smear; cut sharp, they are back.
std::vector<std::uint8_t> BlackAndWhite(std::span<const std::uint8_t> grey) {
  std::array<double, 256> count{};
  for (const std::uint8_t g : grey)
    ++count[g];
  double sum = 0;
  for (int g = 0; g < 256; ++g)
    sum += g * count[g];
  double dark = 0, darkSum = 0, best = -1;
  int cut = 128;
  for (int g = 0; g < 256; ++g) {
    dark += count[g];
    darkSum += g * count[g];
    const double light = static_cast<double>(grey.size()) - dark;
    if (dark == 0 || light == 0) continue;
    const double between = dark * light * std::pow(darkSum / dark - (sum - darkSum) / light, 2);
    if (between > best) best = between, cut = g;
  }
  std::vector<std::uint8_t> out(grey.size());
  std::transform(grey.begin(), grey.end(), out.begin(),
                 [cut](std::uint8_t g) { return g <= cut ? 0 : 255; });
  return out;
}

}  // namespace

std::vector<std::string> FindQrTexts(std::span<const std::uint8_t> grey, int width, int height) {
  std::vector<Found> found;
  Scan(grey, width, height, found);
  Scan(BlackAndWhite(grey), width, height, found);

  // Rows: a code whose centre lies within half a code's height of the
  // row's first centre belongs to that row (a page scanned a little askew
  // keeps its rows).
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.y < b.y; });
  for (auto row = found.begin(); row != found.end();) {
    const auto end = std::find_if(row, found.end(), [&](const Found& f) {
      return f.y - row->y > std::max(row->size, f.size) / 2;
    });
    std::sort(row, end, [](const Found& a, const Found& b) { return a.x < b.x; });
    row = end;
  }
  std::vector<std::string> texts;
  for (Found& f : found)
    texts.push_back(std::move(f.text));
  return texts;
}

}  // namespace zandorik
