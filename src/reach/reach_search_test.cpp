// The points helper's search against the formula itself: drafts priced as
// the screen prices them, suggestions that give what they claim, and a
// brute force over every set that finds nothing the search missed.
#include "reach/reach_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <set>

#include "reach/draft_figure.h"
#include "testing/random_figure.h"

namespace zandorik {
namespace {

ChangeKinds AllKinds() {
  ChangeKinds kinds;
  for (int k = 0; k < kChangeKindCount; ++k)
    kinds.Allow(static_cast<ChangeKind>(k));
  return kinds;
}

LivePrice PriceAfter(const FigureScreen& figure, const std::vector<Change>& changes) {
  FigureScreen changed = figure;
  for (const Change& change : changes)
    ApplyChange(changed, change);
  return PriceFigure(changed);
}

TEST(DraftFigure, PricesEveryChangeBitForBitAsTheScreenDoes) {
  std::mt19937 random(7);
  int sets = 0;
  while (sets < 20000) {
    const FigureScreen figure = RandomFigure(random);
    const std::vector<Change> offered = OfferedChanges(figure, AllKinds());
    for (int k = 0; k < 50; ++k, ++sets) {
      std::vector<Change> set;
      const std::size_t size = 1 + random() % 3;
      for (int tries = 0; tries < 20 && set.size() < size; ++tries) {
        const Change& c = offered[random() % offered.size()];
        if (std::all_of(set.begin(), set.end(), [&](const Change& d) { return MayCombine(c, d); }))
          set.push_back(c);
      }
      DraftFigure draft(figure);
      for (const Change& change : set)
        draft.Apply(change);
      const DraftPrice quick = PriceDraft(draft);
      const LivePrice full = PriceAfter(figure, set);
      ASSERT_EQ(std::bit_cast<std::uint64_t>(quick.total),
                std::bit_cast<std::uint64_t>(full.calculation.total))
          << ChangesText(set);
      ASSERT_EQ(quick.points, full.calculation.points);
      ASSERT_EQ(quick.problems, static_cast<int>(full.problems.size()));
    }
  }
}

// Every set of up to three changes priced one by one.
struct BruteForce {
  struct Priced {
    std::vector<int> at;
    double total;
    std::int32_t points;
    bool reaches;
  };
  // Minimal sets that reach, and every set Calculate accepts, by size.
  std::array<std::vector<Priced>, 4> reaching, accepted;

  BruteForce(const FigureScreen& figure, const ReachRequest& request) {
    const std::vector<Change> offered = OfferedChanges(figure, request.kinds, request.ceilings);
    const int n = static_cast<int>(offered.size());
    std::map<std::vector<int>, bool> reaches;
    const auto price = [&](const std::vector<int>& at) {
      DraftFigure draft(figure);
      for (int i : at)
        draft.Apply(offered[static_cast<std::size_t>(i)]);
      const DraftPrice p = PriceDraft(draft);
      const bool ok = p.problems == 0 && p.points;
      const bool in = ok && *p.points >= request.target - request.tolerance &&
                      *p.points <= request.target + request.tolerance;
      reaches[at] = in;
      if (ok) accepted[at.size()].push_back({at, p.total, *p.points, in});
    };
    const auto fits = [&](int a, int b) {
      return MayCombine(offered[static_cast<std::size_t>(a)], offered[static_cast<std::size_t>(b)]);
    };
    for (int a = 0; a < n; ++a) {
      price({a});
      if (request.maxChanges < 2) continue;
      for (int b = a + 1; b < n; ++b) {
        if (!fits(a, b)) continue;
        price({a, b});
        if (request.maxChanges < 3) continue;
        for (int c = b + 1; c < n; ++c) {
          if (fits(a, c) && fits(b, c)) price({a, b, c});
        }
      }
    }
    for (std::size_t size = 1; size <= 3; ++size) {
      for (const Priced& p : accepted[size]) {
        bool minimal = p.reaches;
        for (std::size_t drop = 0; minimal && size > 1 && drop < size; ++drop) {
          std::vector<int> sub = p.at;
          sub.erase(sub.begin() + static_cast<long>(drop));
          minimal = !reaches[sub];
          if (size == 3) {
            for (int keep : sub)
              minimal = minimal && !reaches[{keep}];
          }
        }
        if (minimal) reaching[size].push_back(p);
      }
    }
  }
};

std::map<std::size_t, std::vector<const Suggestion*>> BySize(const ReachReport& report) {
  std::map<std::size_t, std::vector<const Suggestion*>> sizes;
  for (const Suggestion& s : report.suggestions)
    sizes[s.changes.size()].push_back(&s);
  return sizes;
}

// Random figures and targets near their price: what the search lists is
// exactly what trying every set of up to three changes finds, and each
// suggestion, made on the figure, gives the points it claims.
TEST(FindReach, FindsWhatTryingEverySetFinds) {
  std::mt19937 random(11);
  int reached = 0, closest = 0, triples = 0;
  for (int round = 0; round < 40; ++round) {
    const FigureScreen figure = RandomFigure(random, 2 + round % 2);
    ReachRequest request;
    request.ceilings = {4, 4, 6, 5};
    request.kinds = ChangeKinds();
    for (int k = 0; k < kChangeKindCount; ++k)
      request.kinds.Allow(static_cast<ChangeKind>(k), k == 0 || random() % 2 == 0);
    const std::optional<std::int32_t> now = PriceFigure(figure).calculation.points;
    request.target = now.value_or(0) + static_cast<int>(random() % 41) - 20;
    request.tolerance = random() % 3;
    request.maxChanges = 1 + static_cast<int>(random() % 3);
    const ReachReport report = FindReach(figure, request);
    const BruteForce brute(figure, request);
    SCOPED_TRACE(::testing::Message() << "round " << round);

    for (const Suggestion& s : report.suggestions) {
      const LivePrice price = PriceAfter(figure, s.changes);
      EXPECT_TRUE(price.problems.empty()) << s.Text();
      EXPECT_EQ(price.calculation.points, s.points) << s.Text();
      EXPECT_EQ(price.calculation.total, s.total) << s.Text();
    }
    if (report.outcome == ReachOutcome::AtTarget) continue;
    const auto sizes = BySize(report);
    std::size_t found = 0;
    if (report.outcome == ReachOutcome::Reached) {
      ++reached;
      for (std::size_t size = 1; size <= static_cast<std::size_t>(report.searched); ++size) {
        const auto& want = brute.reaching[size];
        const auto it = sizes.find(size);
        const std::size_t listed = it == sizes.end() ? 0 : it->second.size();
        EXPECT_EQ(listed, size == 1 ? want.size() : std::min(want.size(), kListedSets))
            << size << " changes";
        std::set<double> wantTotals;
        for (const auto& p : want)
          wantTotals.insert(p.total);
        for (std::size_t i = 0; i < listed; ++i) {
          EXPECT_EQ(it->second[i]->side, Side::Reaches);
          EXPECT_TRUE(wantTotals.count(it->second[i]->total)) << it->second[i]->Text();
        }
        found += want.size();
        triples += size == 3 ? static_cast<int>(listed) : 0;
      }
      // Further sets are tried only while fewer than ten were found.
      if (report.searched < request.maxChanges) {
        EXPECT_GE(found, static_cast<std::size_t>(kEnoughSuggestions));
      }
      continue;
    }
    for (std::size_t size = 1; size <= 3; ++size)
      EXPECT_TRUE(brute.reaching[size].empty());
    if (report.outcome == ReachOutcome::Nothing) {
      for (std::size_t size = 1; size <= 3; ++size)
        EXPECT_TRUE(brute.accepted[size].empty());
      continue;
    }
    ++closest;
    // On each side, the nearest of each size that beats the smaller sizes.
    for (const Side side : {Side::Below, Side::Above}) {
      std::vector<std::pair<std::int32_t, double>> want, got;
      const auto nearer = [&](const BruteForce::Priced& a, const BruteForce::Priced& b) {
        const auto da = std::abs(a.points - request.target),
                   db = std::abs(b.points - request.target);
        if (da != db) return da < db;
        return std::fabs(a.total - request.target) < std::fabs(b.total - request.target);
      };
      std::optional<BruteForce::Priced> best;
      for (std::size_t size = 1; size <= static_cast<std::size_t>(request.maxChanges); ++size) {
        std::optional<BruteForce::Priced> level;
        for (const auto& p : brute.accepted[size]) {
          if ((p.points < request.target) == (side == Side::Below) && (!level || nearer(p, *level)))
            level = p;
        }
        if (level && (!best || nearer(*level, *best))) {
          best = level;
          want.emplace_back(level->points, level->total);
        }
      }
      for (const Suggestion& s : report.suggestions) {
        if (s.side == side) got.emplace_back(s.points, s.total);
      }
      EXPECT_EQ(got, want) << (side == Side::Below ? "below" : "above");
    }
  }
  // The rounds cover each outcome.
  EXPECT_GT(reached, 5);
  EXPECT_GT(closest, 2);
  EXPECT_GT(triples, 0);
}

}  // namespace
}  // namespace zandorik
