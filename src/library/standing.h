// Where a figure sits among the figures of a file: the share of them that
// cost fewer points (its percentile), the figures nearest to it by their
// stats, and the file's median stats for a dial of its length.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "library/figure_library.h"

namespace zandorik {

// The points of the figures that Calculate accepts, rising; figures named
// `skip` (the figure itself, stored) are left out.
std::vector<std::int32_t> AcceptedPoints(const std::vector<LibraryFigure>& figures,
                                         const std::string& skip = {});
// The percentile of `points` among `sorted` (AcceptedPoints): the share,
// in percent, of them below it, ties counted half. Nothing when empty.
std::optional<double> PointsPercentile(std::int32_t points,
                                       const std::vector<std::int32_t>& sorted);

struct Neighbour {
  std::size_t index = 0;  // into the figures
  double distance = 0;    // between the 44 stats, KO squares 0
  bool operator==(const Neighbour&) const = default;
};
// The `count` figures nearest to `stats`, nearest first, equal distances
// in record order; figures named `skip` are left out.
std::vector<Neighbour> NearestFigures(const DialStats& stats,
                                      const std::vector<LibraryFigure>& figures, std::size_t count,
                                      const std::string& skip = {});
double StatsDistance(const DialStats& a, const DialStats& b);

// The median of each stat at each click over the figures with `clicks`
// live clicks (their dial length); nothing when there are none. Clicks
// past the dial length are KO on those figures and read 0.
using StatCurves = std::array<std::array<double, kColumnCount>, kStatRowCount>;
std::optional<StatCurves> MedianStats(const std::vector<LibraryFigure>& figures, int clicks);
StatCurves CurvesOf(const DialStats& stats);

}  // namespace zandorik
