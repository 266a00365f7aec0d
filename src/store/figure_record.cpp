#include "store/figure_record.h"

#include <bit>
#include <cstring>

#include "store/cp1252.h"

namespace zandorik {
namespace {

void PutInt16(std::uint8_t* p, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  p[0] = static_cast<std::uint8_t>(u & 0xFF);
  p[1] = static_cast<std::uint8_t>(u >> 8);
}

std::int16_t GetInt16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

void PutDouble(std::uint8_t* p, double v) {
  const auto u = std::bit_cast<std::uint64_t>(v);
  for (int i = 0; i < 8; ++i)
    p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

double GetDouble(const std::uint8_t* p) {
  std::uint64_t u = 0;
  for (int i = 7; i >= 0; --i)
    u = (u << 8) | p[i];
  return std::bit_cast<double>(u);
}

}  // namespace

std::string FitName(const std::string& name) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const bool startsCharacter = (static_cast<unsigned char>(name[i]) & 0xC0) != 0x80;
    if (startsCharacter && ++chars > kNameLength) break;
    out += name[i];
  }
  for (; chars < kNameLength; ++chars)
    out += ' ';
  return out;
}

void EncodeRecord(const FigureRecord& r, std::uint8_t* out) {
  namespace o = record_offset;
  PutInt16(out + o::kDeleted, r.Deleted);
  const std::string name = EncodeCp1252(FitName(r.Name));
  std::memcpy(out + o::kName, name.data(), kNameLength);
  PutInt16(out + o::kMoveIndex, r.MoveIndex);
  PutInt16(out + o::kTeamIndex, r.TeamIndex);
  PutInt16(out + o::kRange, r.Range);
  for (int k = 0; k < 3; ++k)
    PutInt16(out + o::kBolt + 2 * k, r.Bolt[k]);
  PutInt16(out + o::kRankIndex, r.RankIndex);
  std::uint8_t* p = out + o::kFirstRow;
  for (const FigureRecord::Row& row : r.Rows) {
    for (std::int16_t v : row.Value) {
      PutInt16(p, v);
      p += 2;
    }
    for (double c : row.Colour) {
      PutDouble(p, c);
      p += 8;
    }
  }
}

RecordBytes EncodeRecord(const FigureRecord& record) {
  RecordBytes bytes{};
  EncodeRecord(record, bytes.data());
  return bytes;
}

FigureRecord DecodeRecord(const std::uint8_t* in) {
  FigureRecord r;
  DecodeRecordNumbers(in, r);
  r.Name = DecodeCp1252(
      std::string_view(reinterpret_cast<const char*>(in + record_offset::kName), kNameLength));
  return r;
}

void DecodeRecordNumbers(const std::uint8_t* in, FigureRecord& r) {
  namespace o = record_offset;
  r.Deleted = GetInt16(in + o::kDeleted);
  r.MoveIndex = GetInt16(in + o::kMoveIndex);
  r.TeamIndex = GetInt16(in + o::kTeamIndex);
  r.Range = GetInt16(in + o::kRange);
  for (int k = 0; k < 3; ++k)
    r.Bolt[k] = GetInt16(in + o::kBolt + 2 * k);
  r.RankIndex = GetInt16(in + o::kRankIndex);
  const std::uint8_t* p = in + o::kFirstRow;
  for (FigureRecord::Row& row : r.Rows) {
    for (std::int16_t& v : row.Value) {
      v = GetInt16(p);
      p += 2;
    }
    for (double& c : row.Colour) {
      c = GetDouble(p);
      p += 8;
    }
  }
}

FigureRecord DeletedRecord() {
  FigureRecord r;
  r.Deleted = -1;
  r.Name.assign(kNameLength, '\0');
  return r;
}

}  // namespace zandorik
