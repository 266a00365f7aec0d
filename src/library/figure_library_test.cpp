// The library's rows against the file they are read from: every column of
// random files (the points as `zandorik-cost` gives them), sorting and
// filtering, refused figures, a damaged file and one changed meanwhile;
// and where a figure sits, against brute force.
#include "library/figure_library.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <random>

#include "cli/subcommand.h"
#include "library/standing.h"
#include "model/lists.h"
#include "program/output.h"
#include "testing/random_record.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

// `zandorik-cost --json` of a file, parsed.
rapidjson::Document CosterJson(const std::string& path) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  std::FILE* err = std::tmpfile();
  RunCoster({"--json", path}, out, err);
  std::fclose(out);
  std::fclose(err);
  rapidjson::Document json;
  json.Parse(std::string(text, size).c_str());
  std::free(text);
  return json;
}

// A figure as a test wants it: a name, a team, a rank and a value on
// Speed click 1 (the rest of the dial white 1s, range 0).
FigureRecord Made(const char* name, int team, int rank, int speed, double colour = kWhiteCode) {
  FigureRecord r;
  r.Name = name;
  r.TeamIndex = static_cast<std::int16_t>(team);
  r.RankIndex = static_cast<std::int16_t>(rank);
  r.Bolt = {1, 0, 0};
  for (auto& row : r.Rows) {
    row.Value.fill(1);
    row.Colour.fill(kWhiteCode);
  }
  r.Rows[0].Value[0] = static_cast<std::int16_t>(speed);
  r.Rows[0].Colour[0] = colour;
  return r;
}

LibraryFilter Filter(const char* text, int team = -1, int rank = -1,
                     std::optional<std::int32_t> min = {}, std::optional<std::int32_t> max = {}) {
  LibraryFilter filter;
  filter.text = text;
  filter.team = team;
  filter.rank = rank;
  filter.minPoints = min;
  filter.maxPoints = max;
  return filter;
}

std::vector<LibraryFigure> Rows(const std::vector<FigureRecord>& records) {
  std::vector<LibraryFigure> rows;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!records[i].IsDeleted())
      rows.push_back(MakeLibraryFigure(static_cast<std::int64_t>(i + 1), records[i]));
  }
  return rows;
}

TEST(FigureLibrary, EveryColumnOfRandomFilesAsTheRecordsAndTheCosterSay) {
  TestDataFile data;
  for (unsigned seed : {3u, 17u}) {
    const std::vector<FigureRecord> records = RandomNamedRecords(400, seed);
    data.Write(records);
    std::vector<LibraryFigure> figures;
    FileStamp stamp;
    std::string why, notice;
    ASSERT_TRUE(LoadLibrary(data.path, kLockWait, figures, stamp, &why, &notice)) << why;
    EXPECT_EQ(notice, "");
    const rapidjson::Document costed = CosterJson(data.path);
    ASSERT_TRUE(costed.IsArray());
    ASSERT_EQ(figures.size(), costed.Size());
    for (std::size_t i = 0; i < figures.size(); ++i) {
      const LibraryFigure& f = figures[i];
      const auto& c = costed[static_cast<rapidjson::SizeType>(i)];
      const FigureRecord& r = records[static_cast<std::size_t>(f.record - 1)];
      SCOPED_TRACE(f.record);
      ASSERT_EQ(c["record"].GetInt64(), f.record);
      EXPECT_EQ(f.name, std::string(c["name"].GetString(), c["name"].GetStringLength()));
      EXPECT_EQ(f.problems, static_cast<int>(c["messages"].Size()));
      if (f.Refused()) {
        EXPECT_EQ(CellText(f, LibraryColumn::Points), ProblemsText(f.problems));
      } else {
        EXPECT_EQ(CellText(f, LibraryColumn::Points), std::to_string(c["points"].GetInt()));
      }
      const auto listed = [](int index, const auto& list, auto text) {
        return index >= 0 && index < static_cast<int>(list.size())
                   ? std::string(text(list[static_cast<std::size_t>(index)]))
                   : std::string();
      };
      EXPECT_EQ(CellText(f, LibraryColumn::Team),
                listed(r.TeamIndex, kTeams, [](const TeamEntry& t) { return t.name; }));
      EXPECT_EQ(CellText(f, LibraryColumn::Movement),
                listed(r.MoveIndex, kMovements, [](std::string_view m) { return m; }));
      EXPECT_EQ(CellText(f, LibraryColumn::Rank),
                listed(r.RankIndex, kRanks, [](const RankEntry& k) { return k.caption; }));
      EXPECT_EQ(CellText(f, LibraryColumn::Range), std::to_string(r.Range));
      EXPECT_EQ(CellText(f, LibraryColumn::Bolts),
                std::to_string(std::count(r.Bolt.begin(), r.Bolt.end(), 1)));
      EXPECT_EQ(CellText(f, LibraryColumn::Clicks),
                std::to_string(std::count_if(r.Rows[0].Colour.begin(), r.Rows[0].Colour.end(),
                                             [](double code) { return code != kKOCode; })));
      EXPECT_EQ(CellText(f, LibraryColumn::Record), std::to_string(f.record));
      // Every power square's power is named, and nothing else.
      const std::string powers = CellText(f, LibraryColumn::Powers);
      int named = 0;
      for (StatRow row : kStatRows) {
        for (int colour = 2; colour < kColourCount; ++colour) {
          const bool on = std::any_of(r.RowOf(row).Colour.begin(), r.RowOf(row).Colour.end(),
                                      [&](double code) { return code == kColours[colour].code; });
          named += on;
          EXPECT_EQ(on, (f.powers >> (static_cast<int>(row) * kColourCount + colour)) & 1);
        }
      }
      EXPECT_EQ(powers.empty() ? 0 : std::count(powers.begin(), powers.end(), ',') + 1, named);
      EXPECT_EQ(f.Entry().record, f.record);
    }
  }
}

TEST(FigureLibrary, SortsByEveryColumnAndFilters) {
  const std::vector<LibraryFigure> rows =
      Rows({Made("beta", 5, 2, 9), Made("Alpha", 13, 0, 3, kColours[9].code),  // Charge
            Made("gamma", 1, 4, 12, 12345), Made("Delta", 13, 1, 3)});
  const auto names = [&](const std::vector<std::size_t>& order) {
    std::string text;
    for (std::size_t i : order)
      text += rows[i].name + " ";
    return text;
  };
  const struct {
    LibraryColumn column;
    bool descending;
    const char* order;
  } sorts[] = {
      {LibraryColumn::Name, false, "Alpha beta Delta gamma "},
      {LibraryColumn::Name, true, "gamma Delta beta Alpha "},
      // gamma's unknown colour makes Calculate refuse it: after every price.
      {LibraryColumn::Points, false, "Delta Alpha beta gamma "},
      {LibraryColumn::Points, true, "gamma beta Alpha Delta "},
      {LibraryColumn::Team, false, "Alpha Delta gamma beta "},  // City Watch, Ironwood, Stonewall
      {LibraryColumn::Rank, false, "Alpha Delta beta gamma "},
      {LibraryColumn::Powers, true, "Alpha beta gamma Delta "},  // equal rows by record
      {LibraryColumn::Record, true, "Delta gamma Alpha beta "},
      {LibraryColumn::Clicks, true, "beta Alpha gamma Delta "},  // all 11: record order
  };
  for (const auto& s : sorts) {
    EXPECT_EQ(names(SortedOrder(rows, s.column, s.descending)), s.order)
        << ColumnTitle(s.column) << s.descending;
  }
  const struct {
    LibraryFilter filter;
    const char* shown;
  } filters[] = {
      {Filter(""), "beta Alpha gamma Delta "},
      {Filter("ALP"), "Alpha "},
      {Filter("charge"), "Alpha "},       // a power's name
      {Filter("watch"), "Alpha Delta "},  // the team's name
      {Filter("", 13), "Alpha Delta "},   // City Watch
      {Filter("", -1, 4), "gamma "},      // LE
      // 12, 11, refused, 10 points: refused gamma is out of every range.
      {Filter("", -1, -1, 11), "beta Alpha "},
      {Filter("", -1, -1, {}, 10), "Delta "},
      {Filter("e", 13, 1), "Delta "},
      {Filter("nothing"), ""},
  };
  for (const auto& f : filters) {
    const FilterMatcher matches(f.filter);
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (matches(rows[i])) shown.push_back(i);
    }
    EXPECT_EQ(names(shown), f.shown) << f.filter.text;
  }
  EXPECT_EQ(ColumnFromKey("POWERS"), LibraryColumn::Powers);
  EXPECT_EQ(ColumnFromKey("used"), std::nullopt);
}

TEST(FigureLibrary, RefusedFigureShowsItsProblemCount) {
  FigureRecord refused = Made("Broken", 40, 0, 3, 777);  // unknown team and colour
  refused.Range = 5;                                     // and a range the formula refuses
  const LibraryFigure row = MakeLibraryFigure(1, refused);
  EXPECT_TRUE(row.Refused());
  EXPECT_EQ(CellText(row, LibraryColumn::Points), "3 problems");
  EXPECT_EQ(CellText(row, LibraryColumn::Team), "");
  EXPECT_EQ(ProblemsText(1), "1 problem");
}

TEST(FigureLibrary, DamagedFileIsListedAsFarAsItIsWholeAndAChangeIsSeen) {
  TestDataFile data;
  data.Write({Made("One", 0, 0, 3), Made("Two", 0, 0, 4)});
  const FileStamp before = StampOf(data.path);
  {
    std::ofstream out(data.path, std::ios::binary | std::ios::app);
    out << "half a record";
  }
  std::vector<LibraryFigure> figures;
  FileStamp stamp;
  std::string why, notice;
  ASSERT_TRUE(LoadLibrary(data.path, kLockWait, figures, stamp, &why, &notice)) << why;
  EXPECT_EQ(figures.size(), 2u);
  EXPECT_NE(notice, "");
  EXPECT_NE(stamp, before);
  EXPECT_EQ(stamp, StampOf(data.path));
  // Another program writes the same length anew: still seen.
  ::usleep(20000);  // past the file system's clock tick
  data.Write({Made("One", 0, 0, 3), Made("Six", 0, 0, 4)});
  ASSERT_EQ(::truncate(data.path.c_str(), 2 * kRecordLength + 13), 0);
  EXPECT_NE(StampOf(data.path), stamp);

  const std::string json = (data.dir / "figures.json").string();
  std::ofstream(json) << "{\"figures\": []}";
  EXPECT_FALSE(LoadLibrary(json, kLockWait, figures, stamp, &why, &notice));
  EXPECT_NE(why.find("not a data file"), std::string::npos) << why;
  EXPECT_FALSE(
      LoadLibrary((data.dir / "none.QMV").string(), kLockWait, figures, stamp, &why, &notice));
  EXPECT_EQ(StampOf((data.dir / "none.QMV").string()).size, -1);
}

TEST(Standing, PercentileNearestAndMediansAgainstBruteForce) {
  const std::vector<LibraryFigure> figures = Rows(RandomNamedRecords(600, 5));
  std::mt19937 random(9);
  for (int round = 0; round < 40; ++round) {
    const LibraryFigure& query = figures[random() % figures.size()];
    const std::string skip = round % 2 ? query.name : std::string();
    // Percentile: the accepted others below, ties half.
    const std::int32_t points = static_cast<std::int32_t>(random() % 200) - 20;
    double below = 0, all = 0;
    for (const LibraryFigure& f : figures) {
      if (f.Refused() || !f.points || (!skip.empty() && f.name == skip)) continue;
      ++all;
      below += *f.points < points ? 1 : (*f.points == points ? 0.5 : 0);
    }
    EXPECT_DOUBLE_EQ(*PointsPercentile(points, AcceptedPoints(figures, skip)), 100 * below / all);
    // Nearest: every figure sorted by distance, then record.
    std::vector<std::size_t> order(figures.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::erase_if(order, [&](std::size_t i) { return !skip.empty() && figures[i].name == skip; });
    const auto distance = [&](std::size_t i) {
      double sum = 0;
      for (std::size_t k = 0; k < query.stats.size(); ++k)
        sum += std::pow(double(query.stats[k]) - figures[i].stats[k], 2);
      return std::sqrt(sum);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return distance(a) < distance(b); });
    const std::vector<Neighbour> nearest = NearestFigures(query.stats, figures, 3, skip);
    ASSERT_EQ(nearest.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(nearest[k].index, order[k]);
      EXPECT_DOUBLE_EQ(nearest[k].distance, distance(order[k]));
    }
  }
  EXPECT_EQ(PointsPercentile(5, {}), std::nullopt);
  // Medians: the middle value (the mean of the two middle ones) of each
  // square over the figures of one dial length.
  for (int clicks : {0, 4, 11}) {
    const std::optional<StatCurves> medians = MedianStats(figures, clicks);
    ASSERT_TRUE(medians);
    for (std::size_t s = 0; s < DialStats().size(); s += 7) {
      std::vector<double> values;
      for (const LibraryFigure& f : figures) {
        if (f.clicks == clicks) values.push_back(f.stats[s]);
      }
      std::sort(values.begin(), values.end());
      const std::size_t n = values.size();
      EXPECT_DOUBLE_EQ((*medians)[s / kColumnCount][s % kColumnCount],
                       n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
    }
  }
  EXPECT_EQ(MedianStats({}, 5), std::nullopt);
}

}  // namespace
}  // namespace zandorik
