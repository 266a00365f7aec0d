#include "store/figure_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "store/cp1252.h"

namespace zandorik {
namespace {

std::vector<std::uint8_t> Slice(const RecordBytes& bytes, std::size_t offset, std::size_t size) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
          bytes.begin() + static_cast<std::ptrdiff_t>(offset + size)};
}

FigureRecord Sample() {
  FigureRecord r;
  r.Name = "Abe";
  r.MoveIndex = 2;
  r.TeamIndex = 18;
  r.Range = -2;
  r.Bolt = {1, 0, 1};
  r.RankIndex = 4;
  for (auto& row : r.Rows)
    row.Colour.fill(kWhiteCode);
  r.RowOf(StatRow::Speed).Value[0] = 3;
  r.RowOf(StatRow::Speed).Colour[0] = kKOCode;
  r.RowOf(StatRow::Speed).Colour[1] = kBlackCode;
  r.RowOf(StatRow::Damage).Value[10] = 0x1234;
  r.RowOf(StatRow::Damage).Colour[10] = 343719;
  return r;
}

TEST(FigureRecord, FieldsSitAtTheirOffsets) {
  const RecordBytes b = EncodeRecord(Sample());
  using V = std::vector<std::uint8_t>;
  EXPECT_EQ(Slice(b, 0, 2), (V{0, 0}));
  EXPECT_EQ(Slice(b, 2, 3), (V{'A', 'b', 'e'}));
  EXPECT_EQ(Slice(b, 5, 27), V(27, ' '));
  EXPECT_EQ(Slice(b, 32, 14), (V{2, 0, 18, 0, 0xFE, 0xFF, 1, 0, 0, 0, 1, 0, 4, 0}));
  EXPECT_EQ(Slice(b, 46, 2), (V{3, 0}));
  // The first colour is not aligned: it starts at byte 68.
  EXPECT_EQ(Slice(b, 68, 8), (V{0, 0, 0, 0, 0, 0, 0xF0, 0xBF}));           // -1
  EXPECT_EQ(Slice(b, 76, 8), V(8, 0));                                     // black
  EXPECT_EQ(Slice(b, 84, 8), (V{0, 0, 0, 0xE0, 0xFF, 0xFF, 0x6F, 0x41}));  // white
  EXPECT_EQ(Slice(b, 376 + 20, 2), (V{0x34, 0x12}));
  const double brown = 343719;
  std::uint8_t expected[8];
  std::memcpy(expected, &brown, 8);
  EXPECT_EQ(Slice(b, 398 + 80, 8), V(expected, expected + 8));
}

TEST(FigureRecord, NamesAreCutOrPaddedToThirty) {
  FigureRecord r;
  r.Name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789";  // 35 characters
  RecordBytes b = EncodeRecord(r);
  EXPECT_EQ(std::string(b.begin() + 2, b.begin() + 32), "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
  EXPECT_EQ(DecodeRecord(b.data()).Name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");

  r.Name = "Caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9";  // "Café € Ω": Ω has no byte
  b = EncodeRecord(r);
  EXPECT_EQ(std::string(b.begin() + 2, b.begin() + 10), "Caf\xE9 \x80 ?");
  EXPECT_EQ(b[10], ' ');
  EXPECT_EQ(DecodeRecord(b.data()).Name, "Caf\xC3\xA9 \xE2\x82\xAC ?" + std::string(22, ' '));

  // Thirty characters of two bytes each still fill exactly thirty bytes.
  std::string accents;
  for (int i = 0; i < 31; ++i)
    accents += "\xC3\xA9";
  r.Name = accents;
  b = EncodeRecord(r);
  EXPECT_EQ(std::string(b.begin() + 2, b.begin() + 32), std::string(30, '\xE9'));
  EXPECT_EQ(b[32], 0);
}

TEST(FigureRecord, DeletedRecordIsMinusOneThenZeros) {
  const RecordBytes b = EncodeRecord(DeletedRecord());
  EXPECT_EQ(b[0], 0xFF);
  EXPECT_EQ(b[1], 0xFF);
  for (std::size_t i = 2; i < kRecordLength; ++i)
    ASSERT_EQ(b[i], 0) << i;
  EXPECT_TRUE(DecodeRecord(b.data()).IsDeleted());
}

TEST(FigureRecord, AnyBytesReadBackUnchanged) {
  std::mt19937_64 random(20261207);
  for (int round = 0; round < 2000; ++round) {
    RecordBytes bytes;
    for (auto& byte : bytes)
      byte = static_cast<std::uint8_t>(random());
    const RecordBytes again = EncodeRecord(DecodeRecord(bytes.data()));
    ASSERT_EQ(again, bytes) << "round " << round;
  }
}

TEST(Cp1252, EveryByteHasOneCharacter) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  const std::string text = DecodeCp1252(all);
  const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  });
  EXPECT_EQ(characters, 256);
  EXPECT_EQ(EncodeCp1252(text), all);
  EXPECT_EQ(EncodeCp1252("\xFF\xC3"), "??");  // malformed UTF-8
}

}  // namespace
}  // namespace zandorik
