// Names in the data file: the cut that the name list shows, and the hint
// for a name not found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

// Returns the part of `text` before the first `delimiter` and leaves the
// part after it in `text`; without a delimiter, returns the whole text and
// leaves "".
std::string Unstring(std::string& text, std::string_view delimiter);

// The first of `stored` that differs from `wanted` only in letter case or
// spaces ("Alley cat", "AlleyCat" for "Alley Cat"), or "".
std::string SimilarName(std::string_view wanted, const std::vector<std::string>& stored);

}  // namespace zandorik
