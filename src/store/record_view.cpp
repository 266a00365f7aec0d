#include "store/record_view.h"

#include "model/lists.h"
#include "model/numbers.h"

namespace zandorik {
namespace {

template <typename List>
bool InList(std::int16_t index, const List& list) {
  return index >= 0 && index < static_cast<int>(list.size());
}

}  // namespace

RecordFigure::RecordFigure(const FigureRecord& record) : record_(record) {
  bool coloursKnown = true;
  // Column by column, so that the priced squares are listed in the
  // formula's order.
  for (int column = 0; column < kColumnCount; ++column) {
    for (int r = 0; r < kStatRowCount; ++r) {
      const FigureRecord::Row& row = record.Rows[r];
      const bool ko = row.Colour[column] == kKOCode;
      const int colour = ColourPositionFromCode(row.Colour[column]);
      coloursKnown &= colour >= 0;
      // A KO square shows an empty caption on white (KO, -1, is position 0).
      dial_.value[r][column] = ko ? 0.0 : row.Value[column];
      dial_.colour[r][column] = static_cast<std::int8_t>(colour == 0 ? 1 : colour);
      // KO and White (positions 0 and 1) cost nothing; an unknown colour
      // (-1) is priced, and named as unknown. Written whether or not it
      // is counted: a branch here would be guessed wrong half the time.
      dial_.priced[dial_.pricedCount] = static_cast<std::uint8_t>(column * kStatRowCount + r);
      dial_.pricedCount += colour < 0 || colour > 1 ? 1 : 0;
    }
    dial_.speedKO[column] = record.RowOf(StatRow::Speed).Colour[column] == kKOCode;
  }
  dial_.whole = true;
  const auto boltKnown = [](std::int16_t state) { return state == 0 || state == 1; };
  sound_ = coloursKnown && InList(record.MoveIndex, kMovements) &&
           InList(record.TeamIndex, kTeams) && InList(record.RankIndex, kRanks) &&
           boltKnown(record.Bolt[0]) && boltKnown(record.Bolt[1]) && boltKnown(record.Bolt[2]);
}

std::string_view RecordFigure::MoveName() const {
  return InList(record_.MoveIndex, kMovements) ? kMovements[record_.MoveIndex] : std::string_view();
}

std::string_view RecordFigure::TeamName() const {
  return InList(record_.TeamIndex, kTeams) ? kTeams[record_.TeamIndex].name : std::string_view();
}

int RecordFigure::TeamShown() const {
  return InList(record_.TeamIndex, kTeams) ? record_.TeamIndex : -1;
}

int RecordFigure::MovementShown() const {
  return InList(record_.MoveIndex, kMovements) ? record_.MoveIndex : -1;
}

int RecordFigure::RankShown() const {
  return InList(record_.RankIndex, kRanks) ? record_.RankIndex : -1;
}

void DescribeRecordDamage(const FigureRecord& record, std::vector<std::string>& damage) {
  const auto position = [&](std::int16_t index, const auto& list, const char* what) {
    if (InList(index, list)) return;
    damage.push_back(std::string(what) + " position " + std::to_string(index) +
                     " is outside the list (0 to " + std::to_string(list.size() - 1) + ")");
  };
  position(record.MoveIndex, kMovements, "movement");
  position(record.TeamIndex, kTeams, "team");
  for (int k = 0; k < 3; ++k) {
    const std::int16_t state = record.Bolt[k];
    if (state != 0 && state != 1) {
      damage.push_back("bolt " + std::to_string(k + 1) + " has the state " + std::to_string(state) +
                       " (only 0 and 1 are known); shown clear");
    }
  }
  position(record.RankIndex, kRanks, "rank");
  for (int column = 0; column < kColumnCount; ++column) {
    for (StatRow row : kStatRows) {
      const double colour = record.RowOf(row).Colour[column];
      if (ColourPositionFromCode(colour) < 0) {  // KO, -1, is a colour code
        damage.push_back(std::string(StatRowName(row)) + " square " + std::to_string(column + 1) +
                         " has the colour " + FormatGeneral(colour) + ", which is no colour code");
      }
    }
  }
}

}  // namespace zandorik
