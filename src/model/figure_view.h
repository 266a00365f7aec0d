// What the cost formula reads of a figure. The main window's controls are
// one source (FigureScreen), a stored record read straight from its numbers
// another; the formula sees nothing else, so both are priced alike.
#pragma once

#include <string_view>

#include "model/colours.h"

namespace zandorik {

class FigureView {
 public:
  // The numeric value of a square's caption; a KO square reads 0.
  virtual double CaptionValue(StatRow row, int column) const = 0;
  // The name of a square's background colour ("White" for a KO square, ""
  // for a code that is no colour).
  virtual std::string_view ColourName(StatRow row, int column) const = 0;
  // The square carries the KO swatch.
  virtual bool ShowsKO(StatRow row, int column) const = 0;
  // The numeric value of the range field.
  virtual double RangeValue() const = 0;
  // The movement and team texts as their pick lists show them.
  virtual std::string_view MoveName() const = 0;
  virtual std::string_view TeamName() const = 0;
  // Bolt box k (0 to 2) and rank button i (0 to 4).
  virtual bool BoltChecked(int k) const = 0;
  virtual bool RankChosen(int i) const = 0;

 protected:
  FigureView() = default;
  FigureView(const FigureView&) = default;
  FigureView& operator=(const FigureView&) = default;
  ~FigureView() = default;
};

}  // namespace zandorik
