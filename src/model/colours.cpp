#include "model/colours.h"

namespace zandorik {
namespace {

constexpr std::array<std::string_view, kStatRowCount> kRowNames = {"Speed", "Attack", "Defense",
                                                                   "Damage"};

// Rows in colour list order; columns Speed, Attack, Defense, Damage.
constexpr std::array<std::array<std::string_view, kStatRowCount>, kColourCount> kPowerPalette = {{
    {"Knocked Out", "Knocked Out", "Knocked Out", "Knocked Out"},
    {"None", "None", "None", "None"},
    {"Stealth", "Steal Energy", "Regeneration", "Outwit"},
    {"Mind Control", "Incapacitate", "Barrier", "Probability Control"},
    {"Flurry", "Blades/Claws/Fangs", "Super Senses", "Ranged Combat Expert"},
    {"Phasing", "Pulse Wave", "Defend", "Support"},
    {"Running Shot", "Telekinesis", "Invulnerability", "Leadership"},
    {"Leap/Climb", "Energy Explosion", "Toughness", "Battle Fury"},
    {"Plasticity", "Psychic Blast", "Mastermind", "Shape Change"},
    {"Charge", "Super Strength", "Energy Shield/Deflection", "Enhancement"},
    {"Force Blast", "Smoke Cloud", "Willpower", "Close Combat Expert"},
    {"Hypersonic Speed", "Poison", "Impervious", "Perplex"},
}};

}  // namespace

std::string_view StatRowName(StatRow row) {
  return kRowNames[static_cast<int>(row)];
}

bool StatRowFromName(std::string_view name, StatRow& row) {
  for (StatRow r : kStatRows) {
    if (StatRowName(r) == name) {
      row = r;
      return true;
    }
  }
  return false;
}

std::string_view PowerName(StatRow row, int colour) {
  return kPowerPalette[colour][static_cast<int>(row)];
}

namespace {

// Each colour has a slot of its own in these tables, so a lookup is one
// hash and one exact comparison: (code + 1) mod 38 for codes, and a sum of
// the first and last letters and the length, mod 17, for names.
constexpr int kCodeSlots = 38;
constexpr int kNameSlots = 17;

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

constexpr auto kByCode = SlotTable<kCodeSlots>([](const ColourInfo& c) {
  return static_cast<int>(static_cast<long long>(c.code) + 1) % kCodeSlots;
});
constexpr auto kByName =
    SlotTable<kNameSlots>([](const ColourInfo& c) { return NameSlot(c.name); });

}  // namespace

std::string_view ColourNameFromCode(double code) {
  // Every colour code is a whole number from -1 to 16777215; the test
  // below also turns away NaN.
  if (!(code >= kKOCode && code <= kWhiteCode)) return {};
  const auto whole = static_cast<long long>(code);
  if (static_cast<double>(whole) != code) return {};
  const int colour = kByCode[static_cast<std::size_t>((whole + 1) % kCodeSlots)];
  return colour >= 0 && kColours[colour].code == code ? kColours[colour].name : std::string_view();
}

double ColourCodeFromName(std::string_view name) {
  const int pos = ColourPosition(name);
  return pos < 0 ? kBlackCode : kColours[pos].code;
}

int ColourPosition(std::string_view name) {
  if (name.empty()) return -1;
  const int colour = kByName[static_cast<std::size_t>(NameSlot(name))];
  return colour >= 0 && kColours[colour].name == name ? colour : -1;
}

}  // namespace zandorik
