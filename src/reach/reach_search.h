// The points helper's search: the smallest sets of changes (change.h) that
// bring a figure to a target price, or, when none within the number of
// changes allowed does, the sets that come closest on each side.
#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "model/figure.h"
#include "reach/change.h"

namespace zandorik {

struct ReachRequest {
  std::int64_t target = 0;
  std::int64_t tolerance = 0;  // points either side of the target
  ChangeKinds kinds = ChangeKinds::Default();
  int maxChanges = 3;  // 1 to 3
  ValueCeilings ceilings = kValueCeilings;
};

// Targets and tolerances the search takes: whole numbers of points.
inline constexpr std::int64_t kTargetLimit = 1000000;

enum class Side : std::uint8_t { Reaches, Below, Above };

struct Suggestion {
  std::vector<Change> changes;
  std::int32_t points = 0;  // as Calculate gives them for the changed figure
  double total = 0;         // before rounding
  double size = 0;          // how far it moves the figure: the changes' sizes added
  Side side = Side::Reaches;
  std::string Text() const { return ChangesText(changes); }
};

enum class ReachOutcome {
  AtTarget,   // the figure reaches the target as it is: nothing to change
  Reached,    // suggestions that reach it
  Closest,    // nothing within maxChanges reaches it: the closest on each side
  Nothing,    // no change of the kinds allowed gives a figure Calculate accepts
  Cancelled,  // stopped before the end
};

struct ReachReport {
  ReachOutcome outcome = ReachOutcome::Nothing;
  std::vector<Suggestion> suggestions;  // in the order to show them
  int searched = 0;                     // the most changes a set was given
  // Values too large to add up exactly, or no number at all: only single
  // changes were tried.
  bool singlesOnly = false;
};

// Every single change that reaches the target is listed; pairs are tried
// when fewer than kEnoughSuggestions singles reach it, triples when fewer
// singles and pairs do; at most kListedSets pairs and as many triples are
// listed, those that come first in the order. The order: fewer changes
// first, then the smaller size, then the total nearer the target.
inline constexpr int kEnoughSuggestions = 10;
inline constexpr std::size_t kListedSets = 100;

// Called with each batch of suggestions once it is final (the singles,
// then the pairs, the triples, the closest), in the report's order.
using FoundSuggestions = std::function<void(const std::vector<Suggestion>&)>;

ReachReport FindReach(const FigureScreen& figure, const ReachRequest& request,
                      std::stop_token stop = {}, const FoundSuggestions& found = {});

}  // namespace zandorik
