#include "store/record_screen.h"

#include "model/numbers.h"

namespace zandorik {
namespace {

std::string Where(StatRow row, int column) {
  return std::string(StatRowName(row)) + " square " + std::to_string(column + 1);
}

}  // namespace

std::vector<std::string> ShowRecordOnScreen(const FigureRecord& record, FigureScreen& screen) {
  std::vector<std::string> damage;
  const auto position = [&](int index, int size, const char* what) {
    if (index >= 0 && index < size) return true;
    damage.push_back(std::string(what) + " position " + std::to_string(index) +
                     " is outside the list (0 to " + std::to_string(size - 1) + ")");
    return false;
  };

  screen.moveText = position(record.MoveIndex, static_cast<int>(kMovements.size()), "movement")
                        ? std::string(kMovements[record.MoveIndex])
                        : std::string();
  screen.teamText = position(record.TeamIndex, static_cast<int>(kTeams.size()), "team")
                        ? std::string(kTeams[record.TeamIndex].name)
                        : std::string();
  screen.rangeText = std::to_string(record.Range);
  for (int k = 0; k < 3; ++k) {
    const std::int16_t state = record.Bolt[k];
    if (state != 0 && state != 1) {
      damage.push_back("bolt " + std::to_string(k + 1) + " has the state " + std::to_string(state) +
                       " (only 0 and 1 are known); shown clear");
    }
    screen.bolts[k] = state == 1;
  }
  const bool rankKnown = position(record.RankIndex, static_cast<int>(kRanks.size()), "rank");
  for (int i = 0; i < static_cast<int>(kRanks.size()); ++i) {
    screen.rankSelected[i] = rankKnown && i == record.RankIndex;
  }

  for (int column = 0; column < kColumnCount; ++column) {
    for (StatRow row : kStatRows) {
      DialSquare& square = screen.Square(row, column);
      const double colour = record.RowOf(row).Colour[column];
      square.caption = std::to_string(record.RowOf(row).Value[column]);
      if (colour == kKOCode) {
        square.caption.clear();
        square.ko = true;
        square.background = kWhiteCode;
        continue;
      }
      square.ko = false;
      square.background = colour;
      if (ColourNameFromCode(colour).empty()) {
        damage.push_back(Where(row, column) + " has the colour " + FormatGeneral(colour) +
                         ", which is no colour code");
      }
    }
  }
  return damage;
}

std::vector<std::string> StoreScreenInRecord(const FigureScreen& screen, FigureRecord& record) {
  std::vector<std::string> refused;
  const auto fit = [&](const std::string& text, const std::string& what) -> std::int16_t {
    const double value = ValueOfText(text);
    if (const auto v = ToInt16(value)) return *v;
    refused.push_back(what + " " + FormatGeneral(value) +
                      " does not fit in a record (values go from -32768 to 32767)");
    return 0;
  };

  record.Name = FitName(screen.name);
  record.MoveIndex = static_cast<std::int16_t>(MovementPosition(screen.moveText));
  record.TeamIndex = static_cast<std::int16_t>(TeamPosition(screen.teamText));
  record.Range = fit(screen.rangeText, "The range");
  record.RankIndex = -1;
  for (int i = 0; i < static_cast<int>(kRanks.size()); ++i) {
    if (screen.rankSelected[i]) record.RankIndex = static_cast<std::int16_t>(i);
  }
  for (int k = 0; k < 3; ++k)
    record.Bolt[k] = screen.bolts[k] ? 1 : 0;
  for (int column = 0; column < kColumnCount; ++column) {
    for (StatRow row : kStatRows) {
      const DialSquare& square = screen.Square(row, column);
      if (square.IsKO()) {  // stored as 0 whatever its caption says
        record.RowOf(row).Value[column] = 0;
        record.RowOf(row).Colour[column] = kKOCode;
        continue;
      }
      record.RowOf(row).Value[column] = fit(square.caption, "The value of " + Where(row, column));
      record.RowOf(row).Colour[column] = square.background;
    }
  }
  return refused;
}

}  // namespace zandorik
