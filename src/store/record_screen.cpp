#include "store/record_screen.h"

#include "model/numbers.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

std::string Where(StatRow row, int column) {
  return std::string(StatRowName(row)) + " square " + std::to_string(column + 1);
}

}  // namespace

bool ShowRecordOnScreen(const FigureRecord& record, FigureScreen& screen,
                        std::vector<std::string>* damageFound) {
  std::vector<std::string> damage;
  DescribeRecordDamage(record, damage);
  // The record's own reading of its fields, so that a figure on the screen
  // and the record it came from are priced alike.
  const RecordFigure stored(record);
  screen.moveText = stored.MoveName();
  screen.teamText = stored.TeamName();
  screen.rangeText = std::to_string(record.Range);
  for (int k = 0; k < 3; ++k)
    screen.bolts[k] = stored.BoltChecked(k);
  for (int i = 0; i < static_cast<int>(kRanks.size()); ++i)
    screen.rankSelected[i] = stored.RankChosen(i);

  for (int column = 0; column < kColumnCount; ++column) {
    for (StatRow row : kStatRows) {
      DialSquare& square = screen.Square(row, column);
      square.ko = stored.ShowsKO(row, column);
      if (square.ko) {
        square.caption.clear();
        square.background = kWhiteCode;
      } else {
        square.caption = std::to_string(record.RowOf(row).Value[column]);
        square.background = record.RowOf(row).Colour[column];
      }
    }
  }
  const bool sound = damage.empty();
  if (damageFound) *damageFound = std::move(damage);
  return sound;
}

bool StoreScreenInRecord(const FigureScreen& screen, FigureRecord& record,
                         std::vector<std::string>* refusedFound) {
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
  const bool stored = refused.empty();
  if (refusedFound) *refusedFound = std::move(refused);
  return stored;
}

}  // namespace zandorik
