// Figures as text: a JSON document that holds stored figures losslessly
// and reads well in a diff (docs/figure-format.md describes it).
//
//   {"format": "zandorik-figures", "version": 1, "figures": [ ... ]}
//
// The writer lays every document out the same way (fixed key order, two
// spaces of indentation, one click per line), so that exporting twice
// gives identical bytes and changing one click changes one line. Whatever
// a record holds comes back byte for byte: a value outside the tables is
// written as a raw number, a colour code that is not exactly a table code
// as its 64 bits, a name that is not printable as its 30 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/figure_record.h"

namespace zandorik {

inline constexpr std::string_view kFigureFormat = "zandorik-figures";
inline constexpr int kFigureFormatVersion = 1;

// A member that a document holding figures adds to its own or to each
// figure's: the key and the value as JSON text.
struct JsonMember {
  std::string_view key;
  std::string value;
};

// Appends a document to a string, one figure at a time, so that a caller
// can hand the text on in pieces and hold no more than one figure's worth.
class FigureTextWriter {
 public:
  explicit FigureTextWriter(std::string& out) : out_(out) {}
  void Begin();
  // Another document of figures (a team file): its format and version,
  // then `members` before the list of figures.
  void Begin(std::string_view format, int version, std::span<const JsonMember> members);
  // `points` as Calculate gives them; nothing is written as null.
  // `members` follow the figure's own, laid out as they are.
  void Figure(const FigureRecord& record, std::optional<std::int32_t> points,
              std::span<const JsonMember> members = {});
  void End();

 private:
  std::string& out_;
  bool first_ = true;
};

// What reading a document found.
struct FigureText {
  std::vector<FigureRecord> figures;  // Deleted 0, in document order
  // Each problem with where it is: "figures[3].dial.attack[5] (Attack,
  // click 6): unknown colour \"Purple\"", or "line 4, column 9: ..." for a
  // syntax error or a document nested too deeply. Values are quoted cut to
  // 60 characters. Empty when every figure can be stored.
  std::vector<std::string> problems;
  std::int64_t unlisted = 0;  // problems past the first kMaxProblems, counted only
};

inline constexpr std::size_t kMaxProblems = 100;

// Reads and checks a whole document (UTF-8; a byte order mark is skipped).
// Every figure is checked as a record must hold it: 16-bit numbers, names
// of at most 30 Windows-1252 characters, no name given twice. Reading goes
// on after a problem so that all of them are listed, up to a syntax error.
FigureText ReadFigureText(std::string_view text);

// The first `shown` problems for a message box, a line each, then "... and
// N more." for the rest, the unlisted ones included.
std::string ProblemLines(const std::vector<std::string>& problems, std::int64_t unlisted,
                         std::size_t shown);

// The line and column (from 1, columns in characters) of a byte offset.
std::pair<std::int64_t, std::int64_t> LineAndColumn(std::string_view text, std::size_t offset);

// Appends `utf8` as a JSON string, quoted and escaped as the writer does.
void AppendJsonString(std::string& out, std::string_view utf8);

// The name as the text names it: stored bytes without the padding spaces,
// as UTF-8.
std::string ShownName(const FigureRecord& record);

}  // namespace zandorik
