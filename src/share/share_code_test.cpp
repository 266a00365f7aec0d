// Share codes: every record back byte for byte, every mistyped character
// caught, the example figures short, and the layout of docs/share-code.md.
#include "share/share_code.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "share/base45.h"
#include "testing/random_record.h"

namespace zandorik {
namespace {

std::vector<FigureRecord> ExampleFigures() {
  std::ifstream in(ZANDORIK_EXAMPLES_DIR "/figures.QMV", std::ios::binary);
  std::vector<FigureRecord> figures;
  RecordBytes bytes;
  while (in.read(reinterpret_cast<char*>(bytes.data()), bytes.size()))
    if (FigureRecord r = DecodeRecord(bytes.data()); !r.IsDeleted()) figures.push_back(r);
  return figures;
}

// The longest code there is: a record of random bytes, stored as it is.
constexpr std::size_t kWorstCase = 741;

TEST(ShareCode, EveryRecordComesBackByteForByte) {
  std::vector<FigureRecord> records = RandomNamedRecords(10000, 26);
  std::mt19937 random(9285);
  for (std::size_t i = 0; i < records.size(); i += 10) {  // any 486 bytes
    RecordBytes bytes;
    for (std::uint8_t& byte : bytes)
      byte = static_cast<std::uint8_t>(random());
    records[i] = DecodeRecord(bytes.data());
  }
  std::size_t longest = 0;
  for (const FigureRecord& record : records) {
    const std::string code = ShareCode(record);
    FigureRecord back;
    std::string why;
    ASSERT_TRUE(ReadShareCode(code, back, &why)) << code << ": " << why;
    ASSERT_EQ(EncodeRecord(back), EncodeRecord(record)) << code;
    // Only the alphabet, and never a blank at the end.
    ASSERT_EQ(code.find_first_not_of(kBase45Alphabet, kShareCodePrefix.size()), std::string::npos);
    ASSERT_NE(code.back(), ' ');
    longest = std::max(longest, code.size());
  }
  EXPECT_EQ(longest, kWorstCase);
}

TEST(ShareCode, EveryMistypedCharacterIsCaught) {
  std::mt19937 random(45);
  RecordBytes noise;
  for (std::uint8_t& byte : noise)
    byte = static_cast<std::uint8_t>(random());
  // A short code of the model, a long one of stored bytes.
  for (const FigureRecord& record : {ExampleFigures().front(), DecodeRecord(noise.data())}) {
    const std::string code = ShareCode(record);
    FigureRecord back;
    for (std::size_t i = 0; i < code.size(); ++i) {
      std::string changed = code;
      for (int c = 0; c < 256; ++c) {
        changed[i] = static_cast<char>(c);
        if (changed == code) continue;
        ASSERT_FALSE(ReadShareCode(changed, back, nullptr)) << changed;
      }
      if (i + 1 < code.size() && code[i] != code[i + 1]) {
        changed = code;
        std::swap(changed[i], changed[i + 1]);
        ASSERT_FALSE(ReadShareCode(changed, back, nullptr)) << changed;
      }
    }
  }
}

TEST(ShareCode, ExampleFiguresAreShortAndTheLayoutIsAsDocumented) {
  const std::vector<FigureRecord> figures = ExampleFigures();
  ASSERT_EQ(figures.size(), 6u);
  for (const FigureRecord& figure : figures)
    EXPECT_LE(ShareCode(figure).size(), 60u) << figure.Name;
  // The worked example of docs/share-code.md.
  EXPECT_EQ(ShareCode(figures.front()), "ZD1:0W10LTY556 9XB0.01XB0*01R00KCN/3");
}

TEST(ShareCode, TextsThatAreNoFigureAreRefused) {
  const std::vector<FigureRecord> figures = ExampleFigures();
  const std::string worked = ShareCode(figures[0]);
  const std::string damaged =
      worked.substr(0, 10) + (worked[10] == 'A' ? 'B' : 'A') + worked.substr(11);
  const std::vector<std::string> codes = {
      "\t " + worked + "\r\n",               // blanks around it
      "Worked\t" + worked,                   // a line of `zandorik code`
      ShareCode(figures[1]),                 //
      "zd1:" + worked.substr(4),             // letter case is the code's
      worked.substr(0, worked.size() - 1),   // cut short
      damaged,                               //
      "ZD1:",                                //
      worked + "\n" + worked,                // two codes are none
      "{\"format\": \"zandorik-figures\"}",  //
      ShareCode(DeletedRecord()),            // a free slot, not a figure
      ShareCode(figures[0]),                 // the same name again
  };
  const FigureText read = ReadFigureCodes(codes);
  ASSERT_EQ(read.figures.size(), 2u);
  EXPECT_EQ(EncodeRecord(read.figures[0]), EncodeRecord(figures[0]));
  EXPECT_EQ(EncodeRecord(read.figures[1]), EncodeRecord(figures[1]));
  EXPECT_EQ(read.problems, (std::vector<std::string>{
                               "code 2: the name \"Worked\" is given twice (also code 1)",
                               "code 4: not a figure code",
                               "code 5: the code is damaged (checksum)",
                               "code 6: the code is damaged (checksum)",
                               "code 7: the code is damaged (checksum)",
                               "code 8: not a figure code",
                               "code 9: not a figure code",
                               "code 10: not a figure code",
                               "code 11: the name \"Worked\" is given twice (also code 1)",
                           }));
  EXPECT_TRUE(LooksLikeShareCode(" Worked\t" + worked));
  EXPECT_FALSE(LooksLikeShareCode("Worked"));
  EXPECT_FALSE(LooksLikeShareCode("A\t" + worked + "\nB\t" + worked));
}

}  // namespace
}  // namespace zandorik
