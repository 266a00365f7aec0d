// The fixed pick lists of a figure. A record stores positions in these
// lists, so their order must never change.
#pragma once

#include <array>
#include <string_view>

namespace zandorik {

struct TeamEntry {
  std::string_view name;
  double factor;  // cost per live click; unused for "None"
};

inline constexpr std::array<TeamEntry, 22> kTeams = {{
    {"None", 0},
    {"Ironwood Guard", 0.8},
    {"Nightwarden Ally", 0.8},
    {"Nightwarden Enemy", 1.35},
    {"Cinder Pact", 0.75},
    {"Stonewall Order", 0.6},
    {"Prism Circle", 0.7},
    {"Ashen Coil", 0.5},
    {"Umbral Compact", 1.6},
    {"Radiant Compact", 0.75},
    {"Radiant Lodge", 0.6},
    {"Lords of Ruin", 1.35},
    {"Thralls of Dusk", 1.4},
    {"City Watch", 0.4},
    {"V.A.U.L.T.", 0.65},
    {"Grim Cartel", 1.35},
    {"Vesk Horde", 0.95},
    {"Alley-Runner", 0.65},
    {"Skyborn Ally", 2.6},
    {"Skyborn Enemy", 3.5},
    {"Cadet Squadron", 1.5},
    {"Q-Breed", 1},
}};

// Movement types; their costs are worked out from the Speed sum.
inline constexpr std::array<std::string_view, 3> kMovements = {"Normal", "Aquatic", "Flight"};

struct RankEntry {
  std::string_view caption;
  float factor;  // single precision: 0.99f is 0.9900000095367432
};

inline constexpr std::array<RankEntry, 5> kRanks = {{
    {"Rookie", 1.0f},
    {"Experienced", 0.99f},
    {"Veteran", 0.985f},
    {"Unique", 0.985f},
    {"LE", 0.985f},
}};

// Position of a text in a list, or -1.
int TeamPosition(std::string_view name);
int MovementPosition(std::string_view text);

}  // namespace zandorik
