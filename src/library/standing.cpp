#include "library/standing.h"

#include <algorithm>
#include <cmath>

namespace zandorik {

std::vector<std::int32_t> AcceptedPoints(const std::vector<LibraryFigure>& figures,
                                         const std::string& skip) {
  std::vector<std::int32_t> all;
  all.reserve(figures.size());
  for (const LibraryFigure& f : figures) {
    if (!f.Refused() && f.points && (skip.empty() || f.name != skip)) all.push_back(*f.points);
  }
  std::sort(all.begin(), all.end());
  return all;
}

std::optional<double> PointsPercentile(std::int32_t points,
                                       const std::vector<std::int32_t>& sorted) {
  if (sorted.empty()) return std::nullopt;
  const auto [low, high] = std::equal_range(sorted.begin(), sorted.end(), points);
  const double below = static_cast<double>(low - sorted.begin());
  const double equal = static_cast<double>(high - low);
  return 100.0 * (below + equal / 2) / static_cast<double>(sorted.size());
}

double StatsDistance(const DialStats& a, const DialStats& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const double d = static_cast<double>(a[i]) - b[i];
    sum += d * d;
  }
  return std::sqrt(sum);
}

std::vector<Neighbour> NearestFigures(const DialStats& stats,
                                      const std::vector<LibraryFigure>& figures, std::size_t count,
                                      const std::string& skip) {
  // The best so far, kept sorted: the list is short.
  std::vector<Neighbour> best;
  const auto before = [&](const Neighbour& a, const Neighbour& b) {
    return a.distance != b.distance ? a.distance < b.distance
                                    : figures[a.index].record < figures[b.index].record;
  };
  for (std::size_t i = 0; i < figures.size(); ++i) {
    if (!skip.empty() && figures[i].name == skip) continue;
    const Neighbour candidate{i, StatsDistance(stats, figures[i].stats)};
    if (best.size() == count && !before(candidate, best.back())) continue;
    best.insert(std::upper_bound(best.begin(), best.end(), candidate, before), candidate);
    if (best.size() > count) best.pop_back();
  }
  return best;
}

StatCurves CurvesOf(const DialStats& stats) {
  StatCurves curves{};
  for (int row = 0; row < kStatRowCount; ++row) {
    for (int column = 0; column < kColumnCount; ++column)
      curves[row][column] = stats[static_cast<std::size_t>(row * kColumnCount + column)];
  }
  return curves;
}

std::optional<StatCurves> MedianStats(const std::vector<LibraryFigure>& figures, int clicks) {
  std::vector<const LibraryFigure*> same;
  for (const LibraryFigure& f : figures) {
    if (f.clicks == clicks) same.push_back(&f);
  }
  if (same.empty()) return std::nullopt;
  StatCurves medians{};
  std::vector<double> values(same.size());
  for (std::size_t s = 0; s < std::tuple_size_v<DialStats>; ++s) {
    for (std::size_t i = 0; i < same.size(); ++i)
      values[i] = same[i]->stats[s];
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle),
                     values.end());
    double median = values[middle];
    if (values.size() % 2 == 0) {
      median = (median + *std::max_element(values.begin(),
                                           values.begin() + static_cast<std::ptrdiff_t>(middle))) /
               2;
    }
    medians[s / kColumnCount][s % kColumnCount] = median;
  }
  return medians;
}

}  // namespace zandorik
