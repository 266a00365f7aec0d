#include "reach/draft_figure.h"

#include <cmath>

namespace zandorik {
namespace {

constexpr int kWhite = 1;  // list position of "White"

class CountingSink : public MessageSink {
 public:
  void Message(const std::string&) override { ++count; }
  int count = 0;
};

}  // namespace

DraftFigure::DraftFigure(const FigureScreen& screen)
    : range_(screen.RangeValue()),
      move_(screen.moveText),
      team_(screen.teamText),
      bolts_(screen.bolts),
      rank_(screen.rankSelected) {
  screen.ReadDial(dial_);
  dial_.whole = false;  // its squares change: no list of priced squares is kept
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column)
      ko_[static_cast<int>(row)][column] = screen.ShowsKO(row, column);
  }
}

void DraftFigure::Blank(int row, int column) {
  ko_[row][column] = true;
  dial_.value[row][column] = 0;
  dial_.colour[row][column] = kWhite;
  if (row == 0) dial_.speedKO[column] = true;
}

void DraftFigure::Apply(const Change& change) {
  const int r = static_cast<int>(change.row);
  const int to = static_cast<int>(change.to);
  switch (change.kind) {
    case ChangeKind::Value:
      dial_.value[r][change.column] = change.to;
      break;
    case ChangeKind::Power:
      dial_.colour[r][change.column] = static_cast<std::int8_t>(ColourPositionFromCode(change.to));
      break;
    case ChangeKind::Range:
      range_ = change.to;
      break;
    case ChangeKind::Bolts:
      SetTickedBolts(bolts_, to);
      break;
    case ChangeKind::Team:
      team_ = kTeams[to].name;
      break;
    case ChangeKind::Movement:
      move_ = kMovements[to];
      break;
    case ChangeKind::Rank:
      ChooseRank(to);
      break;
    case ChangeKind::Length:
      for (int column = 0; column < kColumnCount; ++column) {
        if (((change.columns >> column) & 1) == 0) continue;
        for (int row = 0; row < kStatRowCount; ++row) {
          if (column >= to) {
            Blank(row, column);
          } else if (ko_[row][column]) {
            ko_[row][column] = false;
            dial_.value[row][column] = change.fill[row];
            dial_.colour[row][column] = kWhite;
            if (row == 0) dial_.speedKO[column] = false;
          }
        }
      }
      break;
  }
}

void DraftFigure::KnockOut(int column) {
  for (int c = column; c < kColumnCount; ++c) {
    for (int row = 0; row < kStatRowCount; ++row)
      Blank(row, c);
  }
}

void DraftFigure::ChooseRank(int index) {
  for (int i = 0; i < static_cast<int>(rank_.size()); ++i)
    rank_[i] = i == index;
}

double DraftFigure::Magnitude() const {
  double sum = std::fabs(range_) * kStatRowCount * kColumnCount;
  for (const auto& row : dial_.value) {
    for (double value : row)
      sum += std::fabs(value);
  }
  return sum;
}

DraftPrice PriceDraft(const FigureView& figure) {
  CountingSink sink;
  const Calculation calc = CalculateFigure(figure, sink);
  return {calc.total, calc.points, sink.count};
}

LivePrice PriceFigure(const FigureView& figure) {
  CollectingSink sink;
  LivePrice price;
  price.calculation = CalculateFigure(figure, sink);
  price.problems = std::move(sink.messages);
  return price;
}

}  // namespace zandorik
