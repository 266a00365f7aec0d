// The team file: a JSON document laid out as the figures document, each
// figure followed by its count and its source (docs/team-format.md).
//
//   {"format": "zandorik-team", "version": 1, "name": ..., "cap": N,
//    "figures": [ ... ]}
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_file.h"
#include "team/team.h"

namespace zandorik {

inline constexpr std::string_view kTeamFormat = "zandorik-team";
inline constexpr int kTeamFormatVersion = 1;

// The team as its document; writing the same team twice gives the same
// bytes.
std::string TeamDocument(const Team& team);

// What reading a team document found.
struct TeamText {
  Team team;  // no entries when there are problems
  // Each problem with where it is, as the figures document's reader names
  // them: "cap: must be a whole number from 1 to 1000000, not 0",
  // "figures[2].dial.speed[4]: unknown colour \"Purple\"".
  std::vector<std::string> problems;
  std::int64_t unlisted = 0;  // problems past the first kMaxProblems, counted only
};

// Reads and checks a whole document (UTF-8; a byte order mark is skipped);
// every problem is listed, up to a syntax error.
TeamText ReadTeamText(std::string_view text);

// Reads a team file. False when the file cannot be read; the document's
// own problems are in `text.problems`.
bool ReadTeamFile(const std::string& path, TeamText& text, FileError* error);

// Writes the team to `path` through a temporary file beside it, flushed to
// the disk before it takes the name (and the folder flushed after). An
// existing file is replaced, keeping its permissions, only with `replace`;
// without, it stays as it is and the write fails with EEXIST. A data file
// is never replaced (kErrorOutputIsDataFile, store/output_file.h). On a failure
// nothing is left behind and the file at `path` is as it was.
bool WriteTeamFile(const std::string& path, const Team& team, bool replace, FileError* error);

}  // namespace zandorik
