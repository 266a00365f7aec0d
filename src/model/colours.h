// The dial's vocabulary: stat rows, colours and their codes, and the power
// each colour stands for on each row.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zandorik {

enum class StatRow : std::uint8_t { Speed = 0, Attack = 1, Defense = 2, Damage = 3 };

inline constexpr int kStatRowCount = 4;
inline constexpr int kColumnCount = 11;  // columns 0 to 10
inline constexpr std::array<StatRow, kStatRowCount> kStatRows = {StatRow::Speed, StatRow::Attack,
                                                                 StatRow::Defense, StatRow::Damage};

// "Speed", "Attack", "Defense", "Damage".
std::string_view StatRowName(StatRow row);
// The row of a name, or nothing for any other text (including "").
bool StatRowFromName(std::string_view name, StatRow& row);

// Colour codes: Red + 256 * Green + 65536 * Blue; KO is -1.
inline constexpr double kKOCode = -1;
inline constexpr double kWhiteCode = 16777215;
inline constexpr double kBlackCode = 0;

struct ColourInfo {
  std::string_view name;
  double code;
  std::uint8_t red, green, blue;
  int swatch;  // index of its picture in the palette store
};

inline constexpr int kColourCount = 12;
// In list order: the order of the swatch list and of every power list.
inline constexpr std::array<ColourInfo, kColourCount> kColours = {{
    {"KO", -1, 255, 255, 255, 6},
    {"White", 16777215, 255, 255, 255, 0},
    {"Black", 0, 0, 0, 0, 1},
    {"Cyan", 16776960, 0, 255, 255, 3},
    {"Red", 255, 255, 0, 0, 5},
    {"Yellow", 65535, 255, 255, 0, 7},
    {"Grey", 8421504, 128, 128, 128, 4},
    {"Orange", 33023, 255, 128, 0, 8},
    {"Blue", 16711680, 0, 0, 255, 2},
    {"Green", 65280, 0, 255, 0, 9},
    {"Magenta", 16711935, 255, 0, 255, 10},
    {"Brown", 343719, 167, 62, 5, 11},
}};

// The power of the colour at list position `colour` (0 to 11) on `row`.
std::string_view PowerName(StatRow row, int colour);

// The name of the colour whose code equals `code` exactly, or "".
std::string_view ColourNameFromCode(double code);
// The code of the colour whose name equals `name` exactly (letter case
// counts); 0, the code of "Black", for any other name.
double ColourCodeFromName(std::string_view name);
// List position of a colour name, or -1.
int ColourPosition(std::string_view name);

}  // namespace zandorik
