// Writes examples/figures.QMV, the sample data file: a handful of figures
// designed for this program, and one deleted slot.
//   zandorik-make-examples PATH
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "store/record_file.h"

using namespace zandorik;

namespace {

struct RowSpec {
  std::vector<int> values;           // live clicks; the rest are KO
  std::vector<const char*> colours;  // per live click; missing means "White"
};

FigureRecord Figure(const std::string& name, int move, int team, int range, int bolts, int rank,
                    const RowSpec& speed, const RowSpec& attack, const RowSpec& defense,
                    const RowSpec& damage) {
  FigureRecord r;
  r.Name = name;
  r.MoveIndex = static_cast<std::int16_t>(move);
  r.TeamIndex = static_cast<std::int16_t>(team);
  r.Range = static_cast<std::int16_t>(range);
  for (int k = 0; k < 3; ++k)
    r.Bolt[k] = k < bolts ? 1 : 0;
  r.RankIndex = static_cast<std::int16_t>(rank);
  const RowSpec* rows[] = {&speed, &attack, &defense, &damage};
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      const RowSpec& wanted = *rows[row];
      if (column >= static_cast<int>(wanted.values.size())) {
        r.Rows[row].Value[column] = 0;
        r.Rows[row].Colour[column] = kKOCode;
        continue;
      }
      const char* colour =
          column < static_cast<int>(wanted.colours.size()) ? wanted.colours[column] : "White";
      r.Rows[row].Value[column] = static_cast<std::int16_t>(wanted.values[column]);
      r.Rows[row].Colour[column] = ColourCodeFromName(colour);
    }
  }
  return r;
}

std::vector<FigureRecord> Figures() {
  std::vector<FigureRecord> figures;
  // Plain stats, no powers: the reference figure of the README.
  figures.push_back(Figure("Worked", 2, 1, 6, 2, 1,  //
                           {{8, 8, 7, 7, 6, 6}, {}}, {{10, 10, 9, 9, 9, 8}, {}},
                           {{17, 17, 16, 16, 15, 15}, {}}, {{3, 3, 2, 2, 2, 1}, {}}));
  figures.push_back(Figure("Ember Sprite", 2, 4, 6, 1, 0,
                           {{10, 10, 9, 9, 8, 8, 7}, {"Green", "Green", "White", "Red"}},
                           {{9, 9, 9, 8, 8, 7, 7}, {"Orange", "Orange", "Orange"}},
                           {{15, 15, 14, 14, 14, 13, 13}, {"Magenta", "Magenta"}},
                           {{2, 2, 2, 2, 1, 1, 1}, {"White", "White", "Cyan", "Cyan"}}));
  figures.push_back(Figure("Tidewalker", 1, 9, 4, 2, 0,
                           {{7, 7, 7, 6, 6, 6, 5, 5}, {"Blue", "Blue"}},
                           {{9, 9, 8, 8, 8, 7, 7, 7}, {"Cyan", "White", "White", "Yellow"}},
                           {{16, 16, 16, 15, 15, 14, 14, 13}, {"Cyan", "Cyan", "Cyan"}},
                           {{2, 2, 2, 2, 1, 1, 1, 1}, {"Grey"}}));
  figures.push_back(
      Figure("Retired Prototype", 0, 0, 0, 1, 0, {{5}, {}}, {{5}, {}}, {{5}, {}}, {{1}, {}}));
  figures.push_back(Figure("Granite Warden", 0, 5, 0, 1, 2,
                           {{6, 6, 5, 5, 5, 4, 4, 4, 3}, {"White", "White", "Orange"}},
                           {{11, 11, 10, 10, 10, 9, 9, 9, 8}, {"Green", "Green", "Green"}},
                           {{18, 18, 17, 17, 17, 16, 16, 15, 15}, {"Grey", "Grey", "Grey", "Grey"}},
                           {{3, 3, 3, 3, 2, 2, 2, 1, 1}, {"Red", "White", "White", "Orange"}}));
  figures.push_back(Figure("Nightglass Seer", 0, 8, 8, 3, 3,
                           {{8, 8, 8, 7, 7}, {"Black", "Black", "Black"}},
                           {{10, 10, 10, 9, 9}, {"Blue", "Blue", "Blue", "Blue"}},
                           {{16, 16, 15, 15, 14}, {"Blue", "Black"}},
                           {{2, 2, 2, 1, 1}, {"Brown", "Brown", "White", "Black"}}));
  figures.push_back(Figure("Alley Cat", 0, 17, 0, 1, 4,
                           {{9, 9, 9, 8, 8, 8}, {"Yellow", "Yellow", "Brown"}},
                           {{10, 10, 10, 9, 9, 9}, {"Red", "Red", "Red", "Black"}},
                           {{16, 16, 16, 15, 15, 15}, {"Red", "Red", "Yellow"}},
                           {{3, 3, 2, 2, 2, 2}, {"Magenta", "Magenta", "Green", "Green"}}));
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zandorik-make-examples PATH\n");
    return 2;
  }
  ::unlink(argv[1]);
  RecordFile file;
  FileError error;
  if (!file.Open(argv[1], RecordFile::Mode::ReadWrite, &error)) {
    std::fprintf(stderr, "zandorik-make-examples: %s: %s\n", argv[1], error.description.c_str());
    return 1;
  }
  std::int64_t n = 1;
  for (const FigureRecord& figure : Figures()) {
    const bool retired = figure.Name == "Retired Prototype";
    if (!file.Write(n++, retired ? DeletedRecord() : figure, &error)) {
      std::fprintf(stderr, "zandorik-make-examples: %s: %s\n", argv[1], error.description.c_str());
      return 1;
    }
  }
  return 0;
}
