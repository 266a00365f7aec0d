// A stored figure priced straight from the numbers of its record, without
// putting it on a screen first. It reads exactly what loading the record
// would show: list positions outside their lists select nothing, only a
// bolt state of 1 is a checked box, colour -1 is a KO square with an empty
// caption and a white background.
#pragma once

#include <string>
#include <vector>

#include "model/figure_view.h"
#include "store/figure_record.h"

namespace zandorik {

class RecordFigure final : public FigureView {
 public:
  // Reads the dial's values and colours once, for every question after.
  explicit RecordFigure(const FigureRecord& record);

  double CaptionValue(StatRow row, int column) const override {
    return dial_.value[static_cast<int>(row)][column];
  }
  int ColourOf(StatRow row, int column) const override {
    return dial_.colour[static_cast<int>(row)][column];
  }
  bool ShowsKO(StatRow row, int column) const override {
    return record_.RowOf(row).Colour[column] == kKOCode;
  }
  double RangeValue() const override { return record_.Range; }
  std::string_view MoveName() const override;
  std::string_view TeamName() const override;
  bool BoltChecked(int k) const override { return record_.Bolt[k] == 1; }
  bool RankChosen(int i) const override { return record_.RankIndex == i; }
  int TeamShown() const override;
  int MovementShown() const override;
  int RankShown() const override;
  void ReadDial(Dial& dial) const override { dial = dial_; }
  const Dial& DialOf(Dial&) const override { return dial_; }

  // No damage for DescribeRecordDamage to name.
  bool Sound() const { return sound_; }

 private:
  const FigureRecord& record_;
  Dial dial_;
  bool sound_ = true;
};

// Appends to `damage` a description of each field that loading the record
// would have to pass over (a list position outside its list, a bolt state
// other than 0 or 1, a colour that is no colour code), in field order.
void DescribeRecordDamage(const FigureRecord& record, std::vector<std::string>& damage);

}  // namespace zandorik
