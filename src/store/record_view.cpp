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

void RecordFigure::ReadDial(Dial& dial) const {
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const int r = static_cast<int>(row);
      dial.value[r][column] = RecordFigure::CaptionValue(row, column);
      dial.colour[r][column] = static_cast<std::int8_t>(RecordFigure::ColourOf(row, column));
    }
  }
  for (int column = 0; column < kColumnCount; ++column)
    dial.speedKO[column] = RecordFigure::ShowsKO(StatRow::Speed, column);
}

std::string_view RecordFigure::MoveName() const {
  return InList(record_.MoveIndex, kMovements) ? kMovements[record_.MoveIndex] : std::string_view();
}

std::string_view RecordFigure::TeamName() const {
  return InList(record_.TeamIndex, kTeams) ? kTeams[record_.TeamIndex].name : std::string_view();
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
