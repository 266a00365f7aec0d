// Comparisons: the differences of random pairs found exactly, square by
// square and line by line, and the plain text of a comparison.
#include "library/comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "store/record_screen.h"
#include "testing/random_record.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

ComparedFigure Screen(const FigureRecord& record, const std::string& label) {
  ComparedFigure f{label, {}};
  ShowRecordOnScreen(record, f.figure);
  return f;
}

TEST(Comparison, DifferencesOfRandomFiguresFoundExactly) {
  std::mt19937 random(23);
  for (int round = 0; round < 300; ++round) {
    FigureRecord a = RandomRecord(random), b = RandomRecord(random), c = RandomRecord(random);
    // Some pairs differ in a few squares only.
    if (round % 2) {
      b = a;
      b.Rows[random() % 4].Value[random() % 11] += 1;
      b.Rows[random() % 4].Colour[random() % 11] = kColours[random() % 12].code;
    }
    const std::vector<FigureRecord> records = {a, b, c};
    const Comparison compared = CompareFigures({Screen(a, "A"), Screen(b, "B"), Screen(c, "C")});
    ASSERT_EQ(compared.differs.size(), 3u);
    for (int row = 0; row < kStatRowCount; ++row) {
      for (int column = 0; column < kColumnCount; ++column) {
        // As the records hold them: a KO square by its mark alone, any
        // other by its value and its colour's place in the list.
        const auto seen = [&](const FigureRecord& r) {
          const double code = r.Rows[row].Colour[column];
          return code == kKOCode
                     ? std::pair(-1000000, -1)
                     : std::pair(int{r.Rows[row].Value[column]}, ColourPositionFromCode(code));
        };
        const bool bDiffers = seen(a) != seen(b), cDiffers = seen(a) != seen(c);
        EXPECT_EQ(compared.differs[1][row][column], bDiffers) << round << " " << row << column;
        EXPECT_EQ(compared.differs[2][row][column], cDiffers);
        EXPECT_EQ(compared.differs[0][row][column], bDiffers || cDiffers);
      }
    }
    for (const BreakdownLine& line : compared.breakdown) {
      EXPECT_EQ(line.marks[0], "");
      for (std::size_t i = 1; i < 3; ++i) {
        const double difference = line.values[i] - line.values[0];
        if (difference == 0 || std::isnan(difference)) {
          EXPECT_EQ(line.marks[i], "");
          continue;
        }
        ASSERT_TRUE(line.marks[i].starts_with(line.field + " ")) << line.marks[i];
        const std::string number = line.marks[i].substr(line.field.size() + 1);
        EXPECT_EQ(number[0], difference > 0 ? '+' : '-') << line.marks[i];
        EXPECT_NEAR(std::stod(number), difference, std::max(0.005, std::fabs(difference) * 0.06))
            << line.marks[i];
      }
    }
    for (const FieldLine& field : compared.fields) {
      EXPECT_EQ(field.differs,
                field.values[0] != field.values[1] || field.values[0] != field.values[2]);
    }
  }
  EXPECT_EQ(DifferenceText(1.2749), "+1.27");
  EXPECT_EQ(DifferenceText(-0.5), "-0.50");
  EXPECT_EQ(DifferenceText(0.0004), "+0.0004");
  EXPECT_EQ(DifferenceText(0), "");
}

TEST(Comparison, PlainTextHoldsFieldsMarkedBreakdownAndStarredSquares) {
  TestDataFile data;
  std::vector<NameEntry> entries;
  std::vector<ComparedFigure> figures;
  {
    DataFile file;
    FileError error;
    ASSERT_TRUE(file.Open(ZANDORIK_EXAMPLES_DIR "/figures.QMV", false, &error));
    std::vector<NameEntry> listed;
    ASSERT_TRUE(file.ListNames(listed, &error));
    for (const NameEntry& entry : listed) {
      if (entry.shown == "Alley Cat" || entry.shown == "Ember Sprite") entries.push_back(entry);
    }
  }
  std::string why;
  ASSERT_TRUE(ReadComparedFigures(ZANDORIK_EXAMPLES_DIR "/figures.QMV", entries, figures, &why))
      << why;
  const std::string text = ComparisonText(CompareFigures(figures));
  for (const char* line : {
           "Compared: \"Ember Sprite\", \"Alley Cat\"\n",
           "\nPoints          53             74 *\n",
           "\nBolts           1              1\n",
           "\nDamage          5.25           15.75 (Damage +10.50)\n",
           "\nTotal           52.57          74.27 (Total +21.70)\n",
           "\n\"Alley Cat\", * where it differs from \"Ember Sprite\"\n",
           "\nSpeed   9*    9*    9*    8*    8     8     KO*   KO    KO    KO    KO\n",
           "\nPowers: Flurry (Speed 4); Charge (Speed 1, 2);",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
  // A record changed since it was listed is not read as that figure.
  entries[0].record = entries[1].record;
  EXPECT_FALSE(ReadComparedFigures(ZANDORIK_EXAMPLES_DIR "/figures.QMV", entries, figures, &why));
  EXPECT_NE(why.find("no longer where the list found it"), std::string::npos) << why;
}

}  // namespace
}  // namespace zandorik
