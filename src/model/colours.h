// The dial's vocabulary: stat rows, colours and their codes, and the power
// each colour stands for on each row.
#pragma once

#include <array>
#include <bit>
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

namespace colour_slots {

// Each colour has a slot of its own in these tables, so a lookup is one
// hash and one exact comparison. A code's slot is the top four bits of its
// bit pattern times an odd constant (one that gives the twelve codes twelve
// slots); a name's slot is a sum of its first and last letters and its
// length, mod 17.
inline constexpr int kCodeSlots = 16;
inline constexpr int kNameSlots = 17;

constexpr int CodeSlot(double code) {
  return static_cast<int>((std::bit_cast<std::uint64_t>(code) * 0x1a2b8f1ff1fd42a3u) >> 60);
}

constexpr int NameSlot(std::string_view name) {
  return (static_cast<unsigned char>(name.front()) * 6 + static_cast<unsigned char>(name.back()) +
          static_cast<int>(name.size())) %
         kNameSlots;
}

template <int Slots, typename SlotOf>
constexpr std::array<std::int8_t, Slots> SlotTable(SlotOf slotOf) {
  std::array<std::int8_t, Slots> table{};
  for (auto& entry : table)
    entry = -1;
  for (int i = 0; i < kColourCount; ++i) {
    const int slot = slotOf(kColours[i]);
    if (table[slot] >= 0) throw "two colours share a slot";  // stops the compilation
    table[slot] = static_cast<std::int8_t>(i);
  }
  return table;
}

inline constexpr auto kByCode =
    SlotTable<kCodeSlots>([](const ColourInfo& c) { return CodeSlot(c.code); });
inline constexpr auto kByName =
    SlotTable<kNameSlots>([](const ColourInfo& c) { return NameSlot(c.name); });

}  // namespace colour_slots

// List position of the colour whose code equals `code` exactly, or -1.
// Inline: it runs for every square of every stored figure priced.
inline int ColourPositionFromCode(double code) {
  code += 0.0;  // -0 becomes +0: it is black's code too
  const int colour = colour_slots::kByCode[static_cast<std::size_t>(colour_slots::CodeSlot(code))];
  return colour >= 0 && kColours[colour].code == code ? colour : -1;
}

}  // namespace zandorik
