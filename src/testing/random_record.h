// Random figure records for tests: mostly sound figures, with every kind of
// damage a file can hold mixed in.
#pragma once

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "store/cp1252.h"
#include "store/figure_record.h"

namespace zandorik {

inline FigureRecord RandomRecord(std::mt19937& random) {
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const auto int16 = [&] { return static_cast<std::int16_t>(random()); };
  // A list position: usually in the list, sometimes anywhere.
  const auto position = [&](int size) {
    return static_cast<std::int16_t>(pick(10) == 0 ? int16() : pick(size));
  };
  // Codes that are no colour (and -0, which is black's).
  const double odd[] = {-2,
                        255.5,
                        16777216,
                        1e300,
                        -0.0,
                        2e-9,
                        std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()};
  FigureRecord r;
  r.Deleted = static_cast<std::int16_t>(pick(20) == 0 ? 1 + pick(3) : 0);
  r.Name = "Figure";
  r.MoveIndex = position(3);
  r.TeamIndex = position(22);
  r.Range = static_cast<std::int16_t>(pick(8) == 0 ? int16() % 20 : 2 * pick(8));
  for (auto& bolt : r.Bolt)
    bolt = static_cast<std::int16_t>(pick(15) == 0 ? int16() : pick(2));
  r.RankIndex = position(5);
  const int live = pick(12);
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      std::int16_t& value = r.Rows[row].Value[column];
      double& colour = r.Rows[row].Colour[column];
      if (column >= live && pick(8) != 0) {
        colour = kKOCode;
        value = static_cast<std::int16_t>(pick(3));
        continue;
      }
      value = static_cast<std::int16_t>(pick(12) == 0 ? int16() : pick(row == 3 ? 7 : 18));
      colour = pick(25) == 0  ? odd[pick(8)]
               : pick(2) == 0 ? kColours[1 + pick(11)].code
                              : kWhiteCode;
    }
  }
  return r;
}

// A sound figure named "Figure N": every field in its list, 4 to 11 live
// clicks, a third of the squares coloured (the benchmarks' figures).
inline FigureRecord SoundRandomRecord(std::mt19937& random, int n) {
  FigureRecord r;
  r.Name = "Figure " + std::to_string(n);
  r.MoveIndex = static_cast<std::int16_t>(random() % 3);
  r.TeamIndex = static_cast<std::int16_t>(random() % 22);
  r.Range = static_cast<std::int16_t>(2 * (random() % 8));
  for (auto& bolt : r.Bolt)
    bolt = static_cast<std::int16_t>(random() % 2);
  r.RankIndex = static_cast<std::int16_t>(random() % 5);
  const int live = 4 + static_cast<int>(random() % 8);
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      if (column >= live) {
        r.Rows[row].Colour[column] = kKOCode;
        continue;
      }
      r.Rows[row].Value[column] =
          static_cast<std::int16_t>(row == 3 ? random() % 4 : random() % 18);
      r.Rows[row].Colour[column] =
          random() % 3 == 0 ? kColours[1 + random() % 11].code : kWhiteCode;
    }
  }
  return r;
}

// Random records (deleted ones among them, as RandomRecord makes them),
// each with a name of its own: printable names with quotes, backslashes
// and accents, and every seventh any 30 bytes.
inline std::vector<FigureRecord> RandomNamedRecords(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<FigureRecord> records;
  for (int i = 0; i < count; ++i) {
    FigureRecord r = RandomRecord(random);
    std::string bytes = std::to_string(i) + (i % 3 == 0 ? " \"Q\\\xE9" : " Fig");
    if (i % 7 == 0) {
      bytes.clear();
      for (std::size_t k = 0; k < kNameLength; ++k)
        bytes += static_cast<char>(random() % 256);
      for (int k = 0; k < 3; ++k)  // the number makes it a name of its own
        bytes[static_cast<std::size_t>(k)] = static_cast<char>((i >> (8 * k)) & 0xFF);
    }
    r.Name = DecodeCp1252(bytes);
    records.push_back(r);
  }
  return records;
}

}  // namespace zandorik
