// The figures document: records come back byte for byte, and what a hand
// may write instead of the writer's form reads as the same record.
#include "store/figure_text.h"

#include <gtest/gtest.h>

#include <random>

#include "testing/random_record.h"

namespace zandorik {
namespace {

std::string Document(const std::vector<FigureRecord>& records) {
  std::string text;
  FigureTextWriter writer(text);
  writer.Begin();
  for (const FigureRecord& r : records)
    writer.Figure(r, 7);
  writer.End();
  return text;
}

TEST(FigureText, RandomRecordsComeBackByteForByte) {
  std::vector<FigureRecord> records = RandomNamedRecords(10000, 14);
  for (FigureRecord& r : records)
    r.Deleted = 0;
  const std::string text = Document(records);
  const FigureText read = ReadFigureText(text);
  ASSERT_EQ(read.problems, std::vector<std::string>{});
  ASSERT_EQ(read.figures.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i)
    ASSERT_EQ(EncodeRecord(read.figures[i]), EncodeRecord(records[i])) << "figure " << i;
  EXPECT_EQ(Document(read.figures), text);
}

TEST(FigureText, HandWrittenFormsReadAsTheWritersForm) {
  FigureRecord r;
  r.Name = "Hand";
  r.MoveIndex = 1;
  r.TeamIndex = 21;
  r.Bolt = {1, 0, 1};
  r.RankIndex = 4;
  for (auto& row : r.Rows) {
    row.Value.fill(3);
    row.Colour.fill(kKOCode);
  }
  r.RowOf(StatRow::Attack).Colour[0] = 255;  // Red: "Blades/Claws/Fangs"
  r.RowOf(StatRow::Speed).Value[1] = 0;
  const std::string written = Document({r});
  struct Case {
    std::string from, to;
  } cases[] = {
      {R"("colour": "Red", "power": "Blades/Claws/Fangs")", R"("power": "Blades/Claws/Fangs")"},
      {R"("colour": "Red", "power": "Blades/Claws/Fangs")", R"("colour": "Red")"},
      {R"("move": "Aquatic")", R"("move": 1)"},
      {R"("bolts": [true, false, true])", R"("bolts": [1, 0, true])"},
      {"\"KO\",\n", "{\"value\": 0, \"power\": \"Knocked Out\"},\n"},
      {"\"points\": 7", "\"points\": 12.5"},
      {R"("name": "Hand")",
       R"("name": {"bytes": "48 61 6E 64 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20"})"},
      {"{\n", "\xEF\xBB\xBF{\n"},
  };
  for (const Case& c : cases) {
    std::string text = written;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);
    const FigureText read = ReadFigureText(text);
    ASSERT_EQ(read.problems, std::vector<std::string>{}) << c.to;
    ASSERT_EQ(read.figures.size(), 1u);
    EXPECT_EQ(EncodeRecord(read.figures[0]), EncodeRecord(r)) << c.to;
  }
}

TEST(FigureText, OddColoursAndPositionsAreWrittenRaw) {
  FigureRecord r;
  r.Name = "Odd\tname";
  r.TeamIndex = 22;
  r.Bolt[2] = 7;
  r.Rows[0].Colour = {-0.0, 0, -1, 1.5};
  r.Rows[0].Value[2] = 4;
  const std::string text = Document({r});
  for (const char* line : {
           R"("name": {"bytes": "4F 64 64 09 6E 61 6D 65 20)",
           R"("team": 22,)",
           R"("bolts": [false, false, 7],)",
           R"({"value": 0, "colour": {"bits": "8000000000000000"}, "power": "Stealth"},)",
           R"({"value": 0, "colour": "Black", "power": "Stealth"},)",
           R"({"value": 4, "colour": "KO", "power": "Knocked Out"},)",
           R"({"value": 0, "colour": {"bits": "3FF8000000000000"}},)",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST(FigureText, LineAndColumnCountCharacters) {
  EXPECT_EQ(LineAndColumn("ab\n\xC3\xA9x", 5), std::make_pair(std::int64_t{2}, std::int64_t{2}));
  EXPECT_EQ(LineAndColumn("", 0), std::make_pair(std::int64_t{1}, std::int64_t{1}));
}

}  // namespace
}  // namespace zandorik
