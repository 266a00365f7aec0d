// The point-cost formula. The routines read the figure through a view (the
// main window's controls, or a stored record), keep no state and change
// nothing; every failed check goes to the message sink and costs the error
// penalty.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cost/message_sink.h"
#include "model/figure.h"
#include "model/figure_view.h"

namespace zandorik {

inline constexpr double kErrorPenalty = -999;

// Team cost: 0 for "None", dialLength times the team's factor, or the
// penalty (with "No value for team: " + team) for a name in no entry.
double CostTeam(std::int16_t dialLength, std::string_view team, MessageSink& sink);

// Power cost of one square at click 1 to 11 (column + 1), with its value
// and colour name. Single precision, as the figure's total relies on.
// Unknown colours cost the penalty after "Unknown ability: " + name.
float CostSpeedPowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                      const FigureView& figure, MessageSink& sink);
float CostAttackPowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                       const FigureView& figure, MessageSink& sink);
float CostDefensePowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                        const FigureView& figure, MessageSink& sink);
float CostDamagePowers(std::int16_t click, std::int16_t value, std::string_view colourName,
                       const FigureView& figure, MessageSink& sink);

// The partial costs shown in the breakdown window, in its field order.
struct Breakdown {
  double speed = 0;    // Speed sum / 12
  double attack = 0;   // Attack sum / 15
  double defense = 0;  // Defense sum / 11
  double damage = 0;   // damage table
  double speedPower = 0;
  double attackPower = 0;
  double defensePower = 0;
  double damagePower = 0;
  double range = 0;
  double bolts = 0;
  double team = 0;
};

struct Calculation {
  Breakdown breakdown;
  double movement = 0;  // not shown in the breakdown window
  double total = 0;     // after the rank factor, before rounding
  // The points; empty when the total is not a number or leaves the 32-bit
  // range (a message says so).
  std::optional<std::int32_t> points;
};

// The Calculate command: prices the figure. The sink hears of each step
// whose breakdown fields (or points) are done, before the next message.
Calculation CalculateFigure(const FigureView& figure, MessageSink& sink);

// What the points field shows for a calculation ("" if it has no points).
std::string PointsText(const Calculation& calc);

// The eleven breakdown values as the breakdown window shows them.
std::array<std::string, 11> BreakdownTexts(const Breakdown& breakdown);

}  // namespace zandorik
