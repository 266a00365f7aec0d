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

std::string_view ColourNameFromCode(double code) {
  for (const ColourInfo& c : kColours) {
    if (c.code == code) return c.name;
  }
  return {};
}

double ColourCodeFromName(std::string_view name) {
  const int pos = ColourPosition(name);
  return pos < 0 ? kBlackCode : kColours[pos].code;
}

int ColourPosition(std::string_view name) {
  for (int i = 0; i < kColourCount; ++i) {
    if (kColours[i].name == name) return i;
  }
  return -1;
}

}  // namespace zandorik
