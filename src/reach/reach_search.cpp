#include "reach/reach_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "model/numbers.h"
#include "reach/draft_figure.h"

// How the search stays exact and still fast.
//
// Every price shown is computed by CalculateFigure on the changed figure
// (the screen's own copy, at the end). In between, the search prices
// drafts (DraftFigure) with the same code, and combines prices only where
// the formula itself adds them up:
//
// The figure's total is the rank factor times a sum of parts: the three
// row sums over 12, 15 and 11, the damage table, one power term per
// square, range, bolts, movement and team. A part reads a few fields (a
// power term its square's value and colour, Super Strength every green
// Attack square and the Damage values, a Damage power the Attack or
// Defense value of its column, Pulse Wave and Energy Shield the range,
// range the Attack sum, movement the Speed sum, team the live clicks).
// Each change is given the parts it can alter (TouchedParts below), as an
// owner, or as a feeder of a part that is linear in it for a fixed owner
// (the Attack sum for a fixed range, the Speed sum for a fixed movement,
// the live clicks for a fixed team, one power term's own square for a
// fixed Super Strength or range). Two changes interact when they share a
// part and one of them owns it. Changes that do not interact alter
// disjoint parts, so the sum of a set is the base sum plus each connected
// group's own difference, to within the rounding of the additions. The
// rank factor multiplies the whole sum, so ranks are searched as a factor
// on drafts priced at factor 1, not as changes.
//
// So every single change and every interacting pair is priced exactly
// (the pairs once, up front), every connected triple exactly, and the
// other pairs and triples are estimated from those prices. With the
// changes sorted by their difference, and bucketed by the number of
// messages they add or take away (messages add up like the parts that
// send them), the sets whose estimate falls within the target window are
// found by binary search instead of one by one: the pruning cuts only sets
// whose estimate lies outside the window by more than the error bound
// `slack_`, a billionth of a bound on every partial sum (at least 10,000
// times the rounding error of the additions). A set estimated within
// `slack_` of the window's edge is priced exactly before it is taken or
// left. Sets that reach are kept only when no smaller set among their
// changes reaches too, and are priced again on the screen's copy before
// they are shown. While nothing has reached the target, the same scans
// also keep, on each side of the window, every set whose estimate is
// within twice the error bound of the nearest one; those are priced
// exactly at the end, so the closest shown is the closest there is.

namespace zandorik {
namespace {

// The parts of the sum: one power term per square, then these.
constexpr int kPowerParts = kStatRowCount * kColumnCount;
enum : int { kDamageTable = kPowerParts, kSuperStrength, kRangePart, kMovePart, kTeamPart };

enum class Role : std::uint8_t { Owner, Feeder };
struct Touch {
  int part;
  Role role;
};

// Colour list positions that other parts read.
constexpr int kBlack = 2, kYellow = 5, kGrey = 6, kBlue = 8, kGreen = 9, kBrown = 11;
static_assert(kColours[kBlack].name == "Black" && kColours[kYellow].name == "Yellow" &&
              kColours[kGrey].name == "Grey" && kColours[kBlue].name == "Blue" &&
              kColours[kGreen].name == "Green" && kColours[kBrown].name == "Brown");

int PowerPart(StatRow row, int column) {
  return static_cast<int>(row) * kColumnCount + column;
}

// The parts of the formula a change can alter, given the figure it is made
// on and whether other changes of the set may change colours.
std::vector<Touch> TouchedParts(const Change& change, const FigureScreen& base,
                                bool coloursMayChange) {
  std::vector<Touch> parts;
  const auto add = [&](int part, Role role) { parts.push_back({part, role}); };
  const auto colourAt = [&](StatRow row, int column) {
    return ColourPositionFromCode(base.Square(row, column).background);
  };
  const int c = change.column;
  switch (change.kind) {
    case ChangeKind::Value:
      add(PowerPart(change.row, c), Role::Owner);
      switch (change.row) {
        case StatRow::Speed:
          add(kMovePart, Role::Feeder);
          break;
        case StatRow::Attack:
          add(kRangePart, Role::Feeder);
          if (colourAt(StatRow::Attack, c) == kGreen) add(kSuperStrength, Role::Feeder);
          // Enhancement reads the Attack value of its column.
          if (coloursMayChange || colourAt(StatRow::Damage, c) == kGreen)
            add(PowerPart(StatRow::Damage, c), Role::Feeder);
          break;
        case StatRow::Defense: {
          if (colourAt(StatRow::Defense, c) == kGreen) add(kRangePart, Role::Feeder);
          // Outwit, Leadership, Shape Change and Perplex read the Defense value.
          const int damage = colourAt(StatRow::Damage, c);
          if (coloursMayChange || damage == kBlack || damage == kGrey || damage == kBlue ||
              damage == kBrown)
            add(PowerPart(StatRow::Damage, c), Role::Feeder);
          break;
        }
        case StatRow::Damage:
          add(kDamageTable, Role::Owner);
          add(kSuperStrength, Role::Owner);
          break;
      }
      break;
    case ChangeKind::Power: {
      add(PowerPart(change.row, c), Role::Owner);
      const int from = ColourPositionFromCode(change.from);
      const int to = ColourPositionFromCode(change.to);
      const auto involves = [&](int colour) { return from == colour || to == colour; };
      if (change.row == StatRow::Attack && involves(kGreen)) add(kSuperStrength, Role::Owner);
      if ((change.row == StatRow::Attack && involves(kYellow)) ||
          (change.row == StatRow::Defense && involves(kGreen)))
        add(kRangePart, Role::Feeder);
      break;
    }
    case ChangeKind::Range:
      add(kRangePart, Role::Owner);
      break;
    case ChangeKind::Movement:
      add(kMovePart, Role::Owner);
      break;
    case ChangeKind::Team:
      add(kTeamPart, Role::Owner);
      break;
    case ChangeKind::Length:
      for (int column = 0; column < kColumnCount; ++column) {
        if (((change.columns >> column) & 1) == 0) continue;
        for (StatRow row : kStatRows)
          add(PowerPart(row, column), Role::Owner);
      }
      add(kDamageTable, Role::Owner);
      add(kSuperStrength, Role::Owner);
      add(kRangePart, Role::Feeder);
      add(kMovePart, Role::Feeder);
      add(kTeamPart, Role::Feeder);
      break;
    case ChangeKind::Bolts:
    case ChangeKind::Rank:
      break;
  }
  return parts;
}

// A square matrix of bits.
class BitMatrix {
 public:
  void Reset(std::size_t n) {
    n_ = n;
    words_ = (n + 63) / 64;
    bits_.assign(n * words_, 0);
  }
  void Set(std::size_t i, std::size_t j) {
    bits_[i * words_ + j / 64] |= std::uint64_t{1} << (j % 64);
    bits_[j * words_ + i / 64] |= std::uint64_t{1} << (i % 64);
  }
  bool Get(std::size_t i, std::size_t j) const {
    return (bits_[i * words_ + j / 64] >> (j % 64)) & 1;
  }

 private:
  std::size_t n_ = 0, words_ = 0;
  std::vector<std::uint64_t> bits_;
};

// A change other than of rank, priced alone at factor 1.
struct Candidate {
  Change change;
  double s = 0;  // the draft's total
  int problems = 0;
  double delta = 0;  // s less the figure's
  int moreProblems = 0;
  double size = 0;
};

// The candidates whose messages differ from the figure's by one number,
// in the candidates' order (by difference).
struct Bucket {
  std::vector<int> at;
  std::vector<double> delta;
};

// A set: up to three candidates (ascending) and a rank option (0: the
// figure's own rank).
struct Pick {
  std::array<int, 3> at{};
  int count = 0;
  int rank = 0;
};

struct Estimate {
  double s;
  int problems;
  bool exact;
};

struct Hit {
  double size;
  double closeness;
  Pick pick;
};

bool Before(const Hit& a, const Hit& b) {
  if (a.size != b.size) return a.size < b.size;
  if (a.closeness != b.closeness) return a.closeness < b.closeness;
  if (a.pick.rank != b.pick.rank) return a.pick.rank < b.pick.rank;
  return a.pick.at < b.pick.at;
}

// The sets nearest the target on one side, within twice the error bound of
// the nearest estimate: one of them is the nearest.
struct Nearest {
  static constexpr std::size_t kKept = 4096;
  double best = -std::numeric_limits<double>::infinity();  // higher is nearer
  std::vector<std::pair<Pick, double>> entries;            // with their scores

  void Add(const Pick& pick, double score, double band) {
    if (score < best - band) return;
    if (score > best) {
      best = score;
      std::erase_if(entries, [&](const auto& e) { return e.second < best - band; });
    }
    if (entries.size() < kKept) entries.emplace_back(pick, score);
  }
};

struct RankOption {
  double factor;
  std::optional<Change> change;
};

class Searcher {
 public:
  Searcher(const FigureScreen& figure, const ReachRequest& request, std::stop_token stop)
      : base_(figure), request_(request), stop_(std::move(stop)), real_(base_), rookie_(base_) {
    rookie_.ChooseRank(0);
    lo_ = static_cast<double>(request.target - request.tolerance) - 0.5;
    hi_ = static_cast<double>(request.target + request.tolerance) + 0.5;
  }

  ReachReport Run(const FoundSuggestions& found);

 private:
  bool InWindow(std::optional<std::int32_t> points) const {
    return points && *points >= request_.target - request_.tolerance &&
           *points <= request_.target + request_.tolerance;
  }
  void Prepare();
  void SearchLevel(int level);
  void Singles();
  void Pairs();
  void Triples();
  template <typename Valid, typename Visit>
  void Scan(int moreProblems, int after, double lo, double hi, Valid valid, Visit visit);

  bool Free(int i, int j) const { return !adjacent_.Get(i, j) && !conflict_.Get(i, j); }
  double Delta(int i) const { return candidates_[i].delta; }
  const Change& RankChange(int rank) const { return *ranks_[rank].change; }

  Estimate EstimateOf(const Pick& pick) const;
  DraftPrice PriceExactly(const Pick& pick, bool ownRank) const;
  // Whether the set reaches the target; `total` gets its total, or its
  // estimate when that decides.
  bool Reaches(const Pick& pick, const Estimate& estimate, double* total) const;
  bool Minimal(const Pick& pick) const;
  void Offer(Pick pick, const Estimate& estimate);

  std::vector<Change> ChangesOf(const Pick& pick) const;
  std::optional<Suggestion> Verify(const Pick& pick, Side side) const;
  std::vector<Suggestion> ClosestSuggestions();

  FigureScreen base_;
  ReachRequest request_;
  std::stop_token stop_;
  DraftFigure real_;    // the figure with its rank
  DraftFigure rookie_;  // at factor 1: its total is the sum before the rank factor
  double s0_ = 0;
  int p0_ = 0;
  double lo_ = 0, hi_ = 0;  // the target window of totals
  double slack_ = 0;        // the bound of an estimate's error
  bool singlesOnly_ = false;

  std::vector<Candidate> candidates_;
  std::vector<RankOption> ranks_;
  int bucketBase_ = 0;  // messages of the first bucket
  std::vector<Bucket> buckets_;
  BitMatrix adjacent_, conflict_;
  std::vector<std::vector<int>> neighbours_;
  struct Edge {
    int a, b;
    double s;
    int problems;
  };
  std::vector<Edge> edges_;
  std::unordered_map<std::uint64_t, int> edgeAt_;

  // The level being searched.
  int level_ = 0;
  int rank_ = 0;  // the rank option being searched
  double sLo_ = 0, sHi_ = 0;
  bool trackNearest_ = true;
  std::vector<Hit> hits_;
  long long reached_ = 0;
  // The nearest below and above, by number of changes.
  std::array<std::array<Nearest, 2>, 4> nearest_;
};

void Searcher::Prepare() {
  const DraftPrice own = PriceDraft(rookie_);
  s0_ = own.total;
  p0_ = own.problems;
  ranks_.push_back({0, std::nullopt});
  if (const int own = ChosenRank(base_); own >= 0) ranks_[0].factor = kRanks[own].factor;
  for (const Change& change : OfferedChanges(base_, request_.kinds, request_.ceilings)) {
    if (change.kind == ChangeKind::Rank) {
      ranks_.push_back({kRanks[static_cast<int>(change.to)].factor, change});
      continue;
    }
    DraftFigure draft = rookie_;
    draft.Apply(change);
    const DraftPrice price = PriceDraft(draft);
    candidates_.push_back({change, price.total, price.problems, price.total - s0_,
                           price.problems - p0_, change.Size()});
  }

  int ceiling = 0;
  for (int c : request_.ceilings)
    ceiling = std::max(ceiling, c);
  const double magnitude =
      10 * (rookie_.Magnitude() + kPowerParts * (ceiling + 14.0)) + 999.0 * (p0_ + 64) + 1000;
  slack_ = 1e-9 * magnitude;
  singlesOnly_ = !std::isfinite(s0_) || slack_ > 0.01;
  for (const Candidate& c : candidates_)
    singlesOnly_ = singlesOnly_ || !std::isfinite(c.s);
  if (singlesOnly_ || request_.maxChanges < 2) return;

  std::stable_sort(candidates_.begin(), candidates_.end(),
                   [](const Candidate& a, const Candidate& b) { return a.delta < b.delta; });
  const int n = static_cast<int>(candidates_.size());
  int low = 0, high = 0;
  for (const Candidate& c : candidates_) {
    low = std::min(low, c.moreProblems);
    high = std::max(high, c.moreProblems);
  }
  bucketBase_ = low;
  buckets_.assign(static_cast<std::size_t>(high - low + 1), {});
  for (int i = 0; i < n; ++i) {
    Bucket& bucket = buckets_[static_cast<std::size_t>(candidates_[i].moreProblems - low)];
    bucket.at.push_back(i);
    bucket.delta.push_back(candidates_[i].delta);
  }

  // Which pairs may not stand together, and which interact.
  conflict_.Reset(static_cast<std::size_t>(n));
  adjacent_.Reset(static_cast<std::size_t>(n));
  std::unordered_map<int, std::vector<int>> byField;
  std::vector<int> lengths;
  for (int i = 0; i < n; ++i) {
    byField[candidates_[i].change.Field()].push_back(i);
    if (candidates_[i].change.kind == ChangeKind::Length) lengths.push_back(i);
  }
  for (const auto& [field, members] : byField) {
    for (std::size_t a = 0; a < members.size(); ++a) {
      for (std::size_t b = a + 1; b < members.size(); ++b)
        conflict_.Set(static_cast<std::size_t>(members[a]), static_cast<std::size_t>(members[b]));
    }
  }
  for (int l : lengths) {
    for (int i = 0; i < n; ++i) {
      if (!MayCombine(candidates_[l].change, candidates_[i].change))
        conflict_.Set(static_cast<std::size_t>(l), static_cast<std::size_t>(i));
    }
  }
  const bool coloursMayChange = request_.kinds.Allows(ChangeKind::Power);
  std::vector<std::vector<int>> owners(kTeamPart + 1), feeders(kTeamPart + 1);
  for (int i = 0; i < n; ++i) {
    for (const Touch& t : TouchedParts(candidates_[i].change, base_, coloursMayChange))
      (t.role == Role::Owner ? owners : feeders)[static_cast<std::size_t>(t.part)].push_back(i);
  }
  for (std::size_t part = 0; part < owners.size(); ++part) {
    const std::vector<int>& o = owners[part];
    for (std::size_t a = 0; a < o.size(); ++a) {
      for (std::size_t b = a + 1; b < o.size(); ++b) {
        if (o[a] != o[b])
          adjacent_.Set(static_cast<std::size_t>(o[a]), static_cast<std::size_t>(o[b]));
      }
      for (int f : feeders[part]) {
        if (f != o[a]) adjacent_.Set(static_cast<std::size_t>(o[a]), static_cast<std::size_t>(f));
      }
    }
  }
  neighbours_.assign(static_cast<std::size_t>(n), {});
  for (int i = 0; i < n && !stop_.stop_requested(); ++i) {
    for (int j = i + 1; j < n; ++j) {
      const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
      if (!adjacent_.Get(a, b) || conflict_.Get(a, b)) continue;
      neighbours_[a].push_back(j);
      neighbours_[b].push_back(i);
      DraftFigure draft = rookie_;
      draft.Apply(candidates_[a].change);
      draft.Apply(candidates_[b].change);
      const DraftPrice price = PriceDraft(draft);
      edgeAt_.emplace(static_cast<std::uint64_t>(i) * static_cast<std::uint64_t>(n) + b,
                      static_cast<int>(edges_.size()));
      edges_.push_back({i, j, price.total, price.problems});
    }
  }
}

Estimate Searcher::EstimateOf(const Pick& pick) const {
  const auto& at = pick.at;
  const auto edge = [&](int a, int b) -> const Edge* {
    if (!adjacent_.Get(static_cast<std::size_t>(a), static_cast<std::size_t>(b))) return nullptr;
    const auto n = static_cast<std::uint64_t>(candidates_.size());
    return &edges_[static_cast<std::size_t>(
        edgeAt_.at(static_cast<std::uint64_t>(std::min(a, b)) * n +
                   static_cast<std::uint64_t>(std::max(a, b))))];
  };
  const auto alone = [&](int i) { return candidates_[static_cast<std::size_t>(i)]; };
  switch (pick.count) {
    case 0:
      return {s0_, p0_, true};
    case 1:
      return {alone(at[0]).s, alone(at[0]).problems, true};
    case 2:
      if (const Edge* e = edge(at[0], at[1])) return {e->s, e->problems, true};
      return {s0_ + alone(at[0]).delta + alone(at[1]).delta,
              p0_ + alone(at[0]).moreProblems + alone(at[1]).moreProblems, false};
    default: {
      const Edge* ab = edge(at[0], at[1]);
      const Edge* ac = edge(at[0], at[2]);
      const Edge* bc = edge(at[1], at[2]);
      const int edges = (ab ? 1 : 0) + (ac ? 1 : 0) + (bc ? 1 : 0);
      if (edges >= 2) {
        const DraftPrice price = PriceExactly(pick, false);
        return {price.total, price.problems, true};
      }
      if (edges == 1) {
        const Edge* e = ab ? ab : ac ? ac : bc;
        const int third = at[0] + at[1] + at[2] - e->a - e->b;
        return {e->s + alone(third).delta, e->problems + alone(third).moreProblems, false};
      }
      return {
          s0_ + alone(at[0]).delta + alone(at[1]).delta + alone(at[2]).delta,
          p0_ + alone(at[0]).moreProblems + alone(at[1]).moreProblems + alone(at[2]).moreProblems,
          false};
    }
  }
}

// At factor 1, or with the set's rank.
DraftPrice Searcher::PriceExactly(const Pick& pick, bool ownRank) const {
  DraftFigure draft = ownRank ? real_ : rookie_;
  for (int k = 0; k < pick.count; ++k)
    draft.Apply(candidates_[static_cast<std::size_t>(pick.at[k])].change);
  if (ownRank && pick.rank > 0) draft.Apply(RankChange(pick.rank));
  return PriceDraft(draft);
}

bool Searcher::Reaches(const Pick& pick, const Estimate& estimate, double* total) const {
  const double estimated = ranks_[pick.rank].factor * estimate.s;
  *total = estimated;
  if (estimate.problems != 0) return false;
  if (estimated < lo_ - slack_ || estimated > hi_ + slack_) return false;
  if (estimate.exact) return InWindow(ToInt32(estimated));
  if (estimated > lo_ + slack_ && estimated < hi_ - slack_) return true;
  const DraftPrice price = PriceExactly(pick, true);
  *total = price.total;
  return price.problems == 0 && InWindow(price.points);
}

// No smaller set among its changes reaches the target.
bool Searcher::Minimal(const Pick& pick) const {
  const int parts = pick.count + (pick.rank > 0 ? 1 : 0);
  for (int mask = 1; mask < (1 << parts) - 1; ++mask) {
    Pick sub;
    for (int k = 0; k < pick.count; ++k) {
      if ((mask >> k) & 1) sub.at[static_cast<std::size_t>(sub.count++)] = pick.at[k];
    }
    sub.rank = pick.rank > 0 && ((mask >> pick.count) & 1) ? pick.rank : 0;
    if (sub.rank == 0 && ranks_[0].factor == 0) continue;  // no rank: always 0 points
    double total;
    if (Reaches(sub, EstimateOf(sub), &total)) return false;
  }
  return true;
}

void Searcher::Offer(Pick pick, const Estimate& estimate) {
  for (int k = 1; k < pick.count; ++k) {  // ascending
    for (int j = k; j > 0 && pick.at[j - 1] > pick.at[j]; --j)
      std::swap(pick.at[j - 1], pick.at[j]);
  }
  double total;
  if (!std::isfinite(estimate.s)) return;
  if (Reaches(pick, estimate, &total)) {
    double size = pick.rank > 0 ? 1 : 0;
    for (int k = 0; k < pick.count; ++k)
      size += candidates_[static_cast<std::size_t>(pick.at[k])].size;
    const Hit hit{size, std::fabs(total - static_cast<double>(request_.target)), pick};
    // Once the count no longer decides whether to search further, a set
    // that would not be listed needs no more work.
    const bool counted = level_ < 3 && reached_ < kEnoughSuggestions;
    if (!counted && level_ > 1 && hits_.size() >= kListedSets && !Before(hit, hits_.front()))
      return;
    if (level_ > 1 && !Minimal(pick)) return;
    ++reached_;
    if (level_ == 1) {
      hits_.push_back(hit);
    } else if (hits_.size() < kListedSets) {
      hits_.push_back(hit);
      std::push_heap(hits_.begin(), hits_.end(), Before);
    } else if (Before(hit, hits_.front())) {
      std::pop_heap(hits_.begin(), hits_.end(), Before);
      hits_.back() = hit;
      std::push_heap(hits_.begin(), hits_.end(), Before);
    }
    return;
  }
  if (!trackNearest_ || estimate.problems != 0) return;
  const bool below = total < static_cast<double>(request_.target);
  nearest_[static_cast<std::size_t>(level_)][below ? 0 : 1].Add(pick, below ? total : -total,
                                                                2 * slack_);
}

// Visits the candidates j > `after` of a bucket whose difference lies in
// [lo, hi] and that `valid` takes; while nearest sets are wanted, also the
// valid ones nearest below and above that range.
template <typename Valid, typename Visit>
void Searcher::Scan(int moreProblems, int after, double lo, double hi, Valid valid, Visit visit) {
  const int b = moreProblems - bucketBase_;
  if (b < 0 || b >= static_cast<int>(buckets_.size())) return;
  const Bucket& bucket = buckets_[static_cast<std::size_t>(b)];
  const auto& delta = bucket.delta;
  const auto first = static_cast<std::size_t>(
      std::upper_bound(bucket.at.begin(), bucket.at.end(), after) - bucket.at.begin());
  const auto from = static_cast<std::size_t>(
      std::lower_bound(delta.begin() + static_cast<long>(first), delta.end(), lo) - delta.begin());
  const auto to = static_cast<std::size_t>(
      std::upper_bound(delta.begin() + static_cast<long>(from), delta.end(), hi) - delta.begin());
  for (std::size_t p = from; p < to; ++p) {
    if (valid(bucket.at[p])) visit(bucket.at[p]);
  }
  if (!trackNearest_) return;
  const double band = 2 * slack_ / ranks_[rank_].factor;
  double edge = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t p = from; p-- > first;) {
    if (!valid(bucket.at[p])) continue;
    if (std::isnan(edge)) edge = delta[p];
    if (delta[p] < edge - band) break;
    visit(bucket.at[p]);
  }
  edge = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t p = to; p < delta.size(); ++p) {
    if (!valid(bucket.at[p])) continue;
    if (std::isnan(edge)) edge = delta[p];
    if (delta[p] > edge + band) break;
    visit(bucket.at[p]);
  }
}

void Searcher::Singles() {
  for (int i = 0; i < static_cast<int>(candidates_.size()); ++i) {
    const Candidate& c = candidates_[static_cast<std::size_t>(i)];
    Pick pick;
    pick.at[0] = i;
    pick.count = 1;
    pick.rank = rank_;
    Offer(pick, {c.s, c.problems, true});
  }
}

void Searcher::Pairs() {
  for (const Edge& e : edges_) {
    if (e.problems == 0) Offer({{e.a, e.b, 0}, 2, rank_}, {e.s, 0, true});
  }
  for (int i = 0; i < static_cast<int>(candidates_.size()); ++i) {
    if (stop_.stop_requested()) return;
    const Candidate& x = candidates_[static_cast<std::size_t>(i)];
    const double base = s0_ + x.delta;
    Scan(
        -p0_ - x.moreProblems, i, sLo_ - base, sHi_ - base, [&](int j) { return Free(i, j); },
        [&](int j) {
          Offer({{i, j, 0}, 2, rank_}, {base + Delta(j), 0, false});
        });
  }
}

void Searcher::Triples() {
  const int n = static_cast<int>(candidates_.size());
  // Connected triples, each once: around the centre that meets both others
  // (the least of the three when each meets the others).
  for (int v = 0; v < n; ++v) {
    if (stop_.stop_requested()) return;
    const std::vector<int>& around = neighbours_[static_cast<std::size_t>(v)];
    for (std::size_t p = 0; p < around.size(); ++p) {
      if (stop_.stop_requested()) return;
      for (std::size_t q = p + 1; q < around.size(); ++q) {
        const int u = std::min(around[p], around[q]), w = std::max(around[p], around[q]);
        const auto su = static_cast<std::size_t>(u), sw = static_cast<std::size_t>(w);
        if (conflict_.Get(su, sw)) continue;
        if (adjacent_.Get(su, sw) && v > u) continue;
        const Pick pick{{u, v, w}, 3, rank_};
        const DraftPrice price = PriceExactly(pick, false);
        if (price.problems == 0) Offer(pick, {price.total, 0, true});
      }
    }
  }
  // One interacting pair and a change that meets neither.
  for (const Edge& e : edges_) {
    if (stop_.stop_requested()) return;
    Scan(
        -e.problems, -1, sLo_ - e.s, sHi_ - e.s,
        [&](int c) { return c != e.a && c != e.b && Free(e.a, c) && Free(e.b, c); },
        [&](int c) {
          Offer({{e.a, e.b, c}, 3, rank_}, {e.s + Delta(c), 0, false});
        });
  }
  // Three that meet none of the others.
  for (int x = 0; x < n; ++x) {
    if (stop_.stop_requested()) return;
    const Candidate& cx = candidates_[static_cast<std::size_t>(x)];
    for (int y = x + 1; y < n; ++y) {
      if (!Free(x, y)) continue;
      if ((y & 63) == 0 && stop_.stop_requested()) return;
      const Candidate& cy = candidates_[static_cast<std::size_t>(y)];
      const double base = s0_ + cx.delta + cy.delta;
      Scan(
          -p0_ - cx.moreProblems - cy.moreProblems, y, sLo_ - base, sHi_ - base,
          [&](int z) { return Free(x, z) && Free(y, z); },
          [&](int z) {
            Offer({{x, y, z}, 3, rank_}, {base + Delta(z), 0, false});
          });
    }
  }
}

void Searcher::SearchLevel(int level) {
  level_ = level;
  hits_.clear();
  for (rank_ = 0; rank_ < static_cast<int>(ranks_.size()); ++rank_) {
    const double factor = ranks_[static_cast<std::size_t>(rank_)].factor;
    if (!(factor > 0)) continue;  // without a rank every figure costs 0 points
    sLo_ = (lo_ - slack_) / factor;
    sHi_ = (hi_ + slack_) / factor;
    switch (level - (rank_ > 0 ? 1 : 0)) {
      case 0:
        if (p0_ == 0) Offer({{}, 0, rank_}, {s0_, 0, true});
        break;
      case 1:
        Singles();
        break;
      case 2:
        Pairs();
        break;
      case 3:
        Triples();
        break;
    }
  }
  std::sort(hits_.begin(), hits_.end(), Before);
}

std::vector<Change> Searcher::ChangesOf(const Pick& pick) const {
  std::vector<Change> changes;
  for (int k = 0; k < pick.count; ++k)
    changes.push_back(candidates_[static_cast<std::size_t>(pick.at[k])].change);
  if (pick.rank > 0) changes.push_back(RankChange(pick.rank));
  std::sort(changes.begin(), changes.end(),
            [](const Change& a, const Change& b) { return a.Field() < b.Field(); });
  return changes;
}

// The set made on the screen's own copy of the figure and priced there.
std::optional<Suggestion> Searcher::Verify(const Pick& pick, Side side) const {
  Suggestion suggestion;
  suggestion.changes = ChangesOf(pick);
  FigureScreen figure = base_;
  for (const Change& change : suggestion.changes) {
    ApplyChange(figure, change);
    suggestion.size += change.Size();
  }
  const LivePrice price = PriceFigure(figure);
  if (!price.problems.empty() || !price.calculation.points) return std::nullopt;
  suggestion.points = *price.calculation.points;
  suggestion.total = price.calculation.total;
  const std::int64_t points = suggestion.points;
  const Side found = points < request_.target - request_.tolerance   ? Side::Below
                     : points > request_.target + request_.tolerance ? Side::Above
                                                                     : Side::Reaches;
  if (found != side) return std::nullopt;
  suggestion.side = side;
  return suggestion;
}

// For each side, the nearest set of each number of changes that comes
// nearer than every smaller one.
std::vector<Suggestion> Searcher::ClosestSuggestions() {
  std::vector<Suggestion> closest;
  const double target = static_cast<double>(request_.target);
  for (const Side side : {Side::Below, Side::Above}) {
    std::optional<Suggestion> nearest;
    const auto nearer = [&](const Suggestion& a, const Suggestion& b) {
      const double da = std::fabs(a.points - target), db = std::fabs(b.points - target);
      if (da != db) return da < db;
      const double ta = std::fabs(a.total - target), tb = std::fabs(b.total - target);
      if (ta != tb) return ta < tb;
      return a.size < b.size;
    };
    for (int level = 1; level <= 3; ++level) {
      std::optional<Suggestion> best;
      for (const auto& [pick, score] :
           nearest_[static_cast<std::size_t>(level)][side == Side::Below ? 0 : 1].entries) {
        std::optional<Suggestion> s = Verify(pick, side);
        if (s && (!best || nearer(*s, *best) || (!nearer(*best, *s) && s->Text() < best->Text())))
          best = std::move(s);
      }
      if (best && (!nearest || nearer(*best, *nearest))) {
        nearest = best;
        closest.push_back(std::move(*best));
      }
    }
  }
  return closest;
}

ReachReport Searcher::Run(const FoundSuggestions& found) {
  ReachReport report;
  const DraftPrice now = PriceDraft(real_);
  if (now.problems == 0 && InWindow(now.points)) {
    report.outcome = ReachOutcome::AtTarget;
    return report;
  }
  Prepare();
  const int most = singlesOnly_ ? 1 : std::clamp(request_.maxChanges, 1, 3);
  report.singlesOnly = singlesOnly_ && request_.maxChanges > 1;
  for (int level = 1; level <= most; ++level) {
    trackNearest_ = reached_ == 0;
    report.searched = level;
    SearchLevel(level);
    if (stop_.stop_requested()) {
      report.outcome = ReachOutcome::Cancelled;
      return report;
    }
    std::vector<Suggestion> batch;
    for (const Hit& hit : hits_) {
      if (std::optional<Suggestion> s = Verify(hit.pick, Side::Reaches)) batch.push_back(*s);
    }
    std::stable_sort(batch.begin(), batch.end(), [&](const Suggestion& a, const Suggestion& b) {
      const double target = static_cast<double>(request_.target);
      if (a.size != b.size) return a.size < b.size;
      return std::fabs(a.total - target) < std::fabs(b.total - target);
    });
    report.suggestions.insert(report.suggestions.end(), batch.begin(), batch.end());
    if (found && !batch.empty()) found(batch);
    if (reached_ >= kEnoughSuggestions) break;
  }
  if (!report.suggestions.empty()) {
    report.outcome = ReachOutcome::Reached;
    return report;
  }
  std::vector<Suggestion> closest = ClosestSuggestions();
  report.outcome = closest.empty() ? ReachOutcome::Nothing : ReachOutcome::Closest;
  report.suggestions = closest;
  if (found && !closest.empty()) found(closest);
  return report;
}

}  // namespace

ReachReport FindReach(const FigureScreen& figure, const ReachRequest& request, std::stop_token stop,
                      const FoundSuggestions& found) {
  Searcher searcher(figure, request, std::move(stop));
  return searcher.Run(found);
}

}  // namespace zandorik
