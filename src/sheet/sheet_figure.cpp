#include "sheet/sheet_figure.h"

#include "cost/calculations.h"
#include "editor/file_commands.h"
#include "model/lists.h"
#include "share/share_code.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

void SetColour(SheetSquare& square, double code) {
  square.colour = ColourPositionFromCode(code);
  // The screen gives a square its code as background, whatever it is.
  const std::uint32_t bits =
      code >= 0 && code <= 0xFFFFFF ? static_cast<std::uint32_t>(code) : 0xFFFFFF;
  square.red = static_cast<std::uint8_t>(bits & 0xFF);
  square.green = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
  square.blue = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
  if (square.colour >= 0) {
    square.red = kColours[square.colour].red;
    square.green = kColours[square.colour].green;
    square.blue = kColours[square.colour].blue;
  }
}

void Price(const FigureView& view, SheetFigure& figure, std::vector<std::string>& messages) {
  CollectingSink sink;
  figure.points = PointsText(CalculateFigure(view, sink));
  messages.insert(messages.end(), sink.messages.begin(), sink.messages.end());
}

}  // namespace

bool SheetFigure::ColumnKO(int column) const {
  for (StatRow row : kStatRows)
    if (!Square(row, column).ko) return false;
  return true;
}

std::vector<LegendEntry> FigureLegend(const SheetFigure& figure) {
  std::vector<LegendEntry> legend;
  for (StatRow row : kStatRows) {
    for (int colour = 2; colour < kColourCount; ++colour) {  // past KO and White
      for (int column = 0; column < kColumnCount; ++column) {
        const SheetSquare& square = figure.Square(row, column);
        if (square.ko || square.colour != colour) continue;
        legend.push_back({row, colour,
                          std::string(StatRowName(row)) + ", " +
                              std::string(kColours[colour].name) + ": " +
                              std::string(PowerName(row, colour))});
        break;
      }
    }
  }
  return legend;
}

SheetFigure SheetFigureFromRecord(const FigureRecord& record, std::vector<std::string>& messages) {
  SheetFigure figure;
  figure.name = record.Name.substr(0, record.Name.find_last_not_of(' ') + 1);
  figure.code = ShareCode(record);
  const RecordFigure view(record);
  Price(view, figure, messages);
  figure.team = std::string(view.TeamName());
  figure.movement = std::string(view.MoveName());
  figure.range = std::to_string(record.Range);
  for (int k = 0; k < 3; ++k)
    figure.bolts += view.BoltChecked(k);
  if (record.RankIndex >= 0 && record.RankIndex < static_cast<int>(kRanks.size()))
    figure.rank = std::string(kRanks[record.RankIndex].caption);
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      SheetSquare& square = figure.dial[static_cast<int>(row)][column];
      const double code = record.RowOf(row).Colour[column];
      square.ko = code == kKOCode;
      if (square.ko) continue;
      square.value = std::to_string(record.RowOf(row).Value[column]);
      SetColour(square, code);
    }
  }
  return figure;
}

SheetFigure SheetFigureFromScreen(const FigureScreen& screen, std::vector<std::string>& messages) {
  SheetFigure figure;
  figure.name = screen.name.substr(0, screen.name.find_last_not_of(' ') + 1);
  // The code of the record "Save Record" would store.
  if (FigureRecord record; StoreFigureInRecord(screen, record, nullptr))
    figure.code = ShareCode(record);
  Price(screen, figure, messages);
  figure.team = screen.teamText;
  figure.movement = screen.moveText;
  figure.range = screen.rangeText;
  for (bool bolt : screen.bolts)
    figure.bolts += bolt;
  for (std::size_t i = 0; i < screen.rankSelected.size(); ++i) {
    if (screen.rankSelected[i]) {
      figure.rank = std::string(kRanks[i].caption);
      break;
    }
  }
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const DialSquare& from = screen.Square(row, column);
      SheetSquare& square = figure.dial[static_cast<int>(row)][column];
      square.ko = from.IsKO();
      if (square.ko) continue;
      square.value = from.caption;
      SetColour(square, from.background);
    }
  }
  return figure;
}

}  // namespace zandorik
