// zandorik list: the stored figures of a data file as the Figures window
// lists them, sorted and filtered.
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <cmath>

#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "library/figure_library.h"
#include "program/output.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp =
    R"(Usage: zandorik list FILE.QMV [--sort COLUMN] [--filter TEXT] [--json]

Lists the figures stored in FILE.QMV as the window's Figures window does,
one a line under a line of titles: name, points (as Calculate prices the
figure; "N problems" for a figure Calculate refuses, with the number of
messages it would show), team, movement, range, bolts, rank, clicks (the
dial's length), the powers used and the record number.

  --sort COLUMN    sort by a column: name, points, team, movement, range,
                   bolts, rank, clicks, powers (by how many) or record (the
                   default); "-points" sorts falling. Refused figures come
                   after every price; equal rows keep record order
  --filter TEXT    only figures whose name, team or a power's name holds
                   TEXT, letter case aside
  --json           one JSON array of an object per figure: "record",
                   "name", "points" (null for a refused figure),
                   "problems", "total", "team", "movement", "range",
                   "bolts", "rank", "clicks" and "powers" (an array)
  -h, --help       show this help
  --               end of the options

The command waits up to 3 seconds for a window or another program that is
writing to the file, and keeps it from being written meanwhile.

Exit status:
  0  done
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong
  3  the data file is damaged: its whole records were listed
  4  the output could not be written
)";

constexpr OptionSpec kOptions[] = {{"sort", 0, true}, {"filter", 0, true}, {"json", 0, false}};
constexpr const char* kMe = "zandorik list";

void Json(const LibraryFigure& f, std::string& out) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
  const auto text = [&](const std::string& s) {
    json.String(s.data(), static_cast<rapidjson::SizeType>(s.size()));
  };
  json.StartObject();
  json.Key("record");
  json.Int64(f.record);
  json.Key("name");
  text(f.name);
  json.Key("points");
  f.points && !f.Refused() ? json.Int(*f.points) : json.Null();
  json.Key("problems");
  json.Int(f.problems);
  json.Key("total");
  std::isfinite(f.total) ? json.Double(f.total) : json.Null();
  json.Key("team");
  text(CellText(f, LibraryColumn::Team));
  json.Key("movement");
  text(CellText(f, LibraryColumn::Movement));
  json.Key("range");
  json.Int(f.range);
  json.Key("bolts");
  json.Int(f.bolts);
  json.Key("rank");
  text(CellText(f, LibraryColumn::Rank));
  json.Key("clicks");
  json.Int(f.clicks);
  json.Key("powers");
  json.StartArray();
  const std::string powers = PowersText(f.powers);
  for (std::size_t at = 0; at < powers.size();) {
    std::size_t end = powers.find(", ", at);
    if (end == std::string::npos) end = powers.size();
    text(powers.substr(at, end - at));
    at = end + 2;
  }
  json.EndArray();
  json.EndObject();
  out.append(buffer.GetString(), buffer.GetSize());
}

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  const auto fail = [&](int status, const std::string& text) {
    std::fprintf(context.err, "%s: %s\n", kMe, VisibleText(text).c_str());
    return status;
  };
  if (operands.size() != 1) {
    return fail(kExitUsage, operands.empty() ? "name the data file: FILE.QMV"
                                             : "lists one data file: FILE.QMV");
  }
  std::string key = context.args.Value("sort", "record");
  const bool descending = key.starts_with('-');
  if (descending) key.erase(0, 1);
  const std::optional<LibraryColumn> column = ColumnFromKey(key);
  if (!column) {
    return fail(kExitUsage, "no column \"" + key +
                                "\" to sort by; the columns are name, points, team, movement, "
                                "range, bolts, rank, clicks, powers and record");
  }
  const std::string& path = operands.front();
  StoredFigures stored;
  if (const int opened = stored.Open(path, {}, context.err, kMe); opened != kExitOk) return opened;
  std::vector<LibraryFigure> figures;
  FileError error;
  if (!ReadLibrary(stored.File(), figures, &error))
    return fail(kExitUnreadable, path + ": " + error.description);
  const FilterMatcher matches(LibraryFilter{context.args.Value("filter"), -1, -1, {}, {}});
  std::vector<std::size_t> order;
  for (std::size_t i : SortedOrder(figures, *column, descending)) {
    if (matches(figures[i])) order.push_back(i);
  }

  std::string text;
  bool written = true;
  const auto flush = [&](bool always) {
    if (!always && text.size() < (1 << 16)) return;
    written = written && std::fwrite(text.data(), 1, text.size(), context.out) == text.size();
    text.clear();
  };
  if (context.args.Has("json")) {
    text += "[";
    for (std::size_t k = 0; k < order.size() && written; ++k) {
      text += k ? ",\n" : "\n";
      Json(figures[order[k]], text);
      flush(false);
    }
    text += order.empty() ? "]\n" : "\n]\n";
  } else {
    // Columns as wide as their widest cell, the last one unpadded.
    std::array<std::size_t, kLibraryColumnCount> widths{};
    const auto width = [](const std::string& s) {
      std::size_t w = 0;
      for (char c : s)
        w += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      return w;
    };
    for (LibraryColumn c : kLibraryColumns)
      widths[static_cast<std::size_t>(c)] = ColumnTitle(c).size();
    // Each cell made once: the widths are known before the first line.
    using Cells = std::array<std::string, kLibraryColumnCount>;
    std::vector<Cells> rows(order.size() + 1);
    for (LibraryColumn c : kLibraryColumns)
      rows[0][static_cast<std::size_t>(c)] = std::string(ColumnTitle(c));
    for (std::size_t k = 0; k < order.size(); ++k) {
      for (LibraryColumn c : kLibraryColumns) {
        std::string& cell = rows[k + 1][static_cast<std::size_t>(c)];
        cell = VisibleText(CellText(figures[order[k]], c));
        widths[static_cast<std::size_t>(c)] =
            std::max(widths[static_cast<std::size_t>(c)], width(cell));
      }
    }
    for (std::size_t k = 0; k < rows.size() && written; ++k) {
      const Cells& cells = rows[k];
      for (std::size_t c = 0; c < cells.size(); ++c) {
        text += cells[c];
        if (c + 1 < cells.size()) text.append(widths[c] + 2 - width(cells[c]), ' ');
      }
      text += '\n';
      flush(false);
    }
  }
  flush(true);
  std::string damage;
  const bool whole = stored.File().IsWhole(&damage);
  const int status = FinishOutput(context.out, context.err, kMe,
                                  written ? (whole ? kExitOk : kExitDamaged) : kExitWriteFailed);
  if (status == kExitDamaged) fail(status, damage);
  return status;
}

}  // namespace

extern const Subcommand kListCommand = {"list", "list, sort and filter the stored figures", kHelp,
                                        kOptions, Run};

}  // namespace zandorik
