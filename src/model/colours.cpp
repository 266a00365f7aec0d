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

using colour_slots::kByName;
using colour_slots::NameSlot;

}  // namespace

std::string_view ColourNameFromCode(double code) {
  const int colour = ColourPositionFromCode(code);
  return colour < 0 ? std::string_view() : kColours[colour].name;
}

double ColourCodeFromName(std::string_view name) {
  const int pos = ColourPosition(name);
  return pos < 0 ? kBlackCode : kColours[pos].code;
}

int ColourPosition(std::string_view name) {
  if (name.empty()) return -1;
  const int colour = kByName[static_cast<std::size_t>(NameSlot(name))];
  if (colour < 0) return -1;
  const std::string_view known = kColours[colour].name;
  // Names mostly come from this table, and then share its characters.
  if (name.data() == known.data() && name.size() == known.size()) return colour;
  return known == name ? colour : -1;
}

}  // namespace zandorik
