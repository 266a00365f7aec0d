// The figure record of the data file: 486 bytes, little-endian, no padding
// between fields.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/colours.h"

namespace zandorik {

inline constexpr std::size_t kRecordLength = 486;
inline constexpr std::size_t kNameLength = 30;
using RecordBytes = std::array<std::uint8_t, kRecordLength>;

struct FigureRecord {
  struct Row {
    std::array<std::int16_t, kColumnCount> Value{};
    std::array<double, kColumnCount> Colour{};
  };

  std::int16_t Deleted = 0;  // 0: holds a figure; any other value: a free slot
  std::string Name;          // UTF-8 in memory; 30 Windows-1252 bytes on disk
  std::int16_t MoveIndex = 0;
  std::int16_t TeamIndex = 0;
  std::int16_t Range = 0;
  std::array<std::int16_t, 3> Bolt{};
  std::int16_t RankIndex = 0;
  std::array<Row, kStatRowCount> Rows{};  // Speed, Attack, Defense, Damage

  Row& RowOf(StatRow row) { return Rows[static_cast<int>(row)]; }
  const Row& RowOf(StatRow row) const { return Rows[static_cast<int>(row)]; }
  bool IsDeleted() const { return Deleted != 0; }
};

// Byte offsets of the fields inside a record.
namespace record_offset {
inline constexpr std::size_t kDeleted = 0;
inline constexpr std::size_t kName = 2;
inline constexpr std::size_t kMoveIndex = 32;
inline constexpr std::size_t kTeamIndex = 34;
inline constexpr std::size_t kRange = 36;
inline constexpr std::size_t kBolt = 38;
inline constexpr std::size_t kRankIndex = 44;
inline constexpr std::size_t kFirstRow = 46;
inline constexpr std::size_t kRowLength = kColumnCount * 2 + kColumnCount * 8;  // 110
}  // namespace record_offset

// The name cut to 30 characters or padded with spaces to 30.
std::string FitName(const std::string& name);

void EncodeRecord(const FigureRecord& record, std::uint8_t* out);
RecordBytes EncodeRecord(const FigureRecord& record);
FigureRecord DecodeRecord(const std::uint8_t* in);
// Every field but the name, into `record`; for reading many records
// without an allocation each.
void DecodeRecordNumbers(const std::uint8_t* in, FigureRecord& record);

// A retired record: Deleted -1 and every other byte 0.
FigureRecord DeletedRecord();

}  // namespace zandorik
