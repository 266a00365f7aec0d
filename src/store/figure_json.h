// The figure reader's piece for documents that hold figures among members
// of their own (a team file), each figure handed over as a RapidJSON value.
// For the core's own sources: it needs RapidJSON's headers.
#pragma once

#include <rapidjson/document.h>

#include <span>
#include <string_view>

#include "store/figure_text.h"

namespace zandorik {

// Reads the figure standing at figures[index] of a larger document and
// adds it to `into.figures`; else adds its problems, each named by its
// place ("figures[2].dial.speed[4]: ..."), to `into.problems`. Members
// whose keys are in `otherKeys` belong to the larger document and are
// passed over. True when the figure was added.
bool ReadFigureValue(const rapidjson::Value& value, std::size_t index,
                     std::span<const std::string_view> otherKeys, FigureText& into);

// What kind of value it is, as the reader's problems name it ("a text",
// "a list", ...).
const char* JsonKindText(const rapidjson::Value& value);

}  // namespace zandorik
