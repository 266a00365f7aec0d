// Names in the data file: the cut that the name list shows.
#pragma once

#include <string>
#include <string_view>

namespace zandorik {

// Returns the part of `text` before the first `delimiter` and leaves the
// part after it in `text`; without a delimiter, returns the whole text and
// leaves "".
std::string Unstring(std::string& text, std::string_view delimiter);

}  // namespace zandorik
