// Finds the QR codes of an image with zbar: the texts of every code that
// can be read, in reading order (rows of codes from the top, each row from
// the left), whatever order zbar finds them in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zandorik {

// `grey` holds one byte a pixel, row after row, `width` bytes a row.
std::vector<std::string> FindQrTexts(std::span<const std::uint8_t> grey, int width, int height);

}  // namespace zandorik
