#include "reach/worth.h"

#include "model/numbers.h"
#include "reach/draft_figure.h"

namespace zandorik {
namespace {

SquareWorth Worth(const FigureScreen& figure, const DraftFigure& base, StatRow row, int column) {
  SquareWorth worth;
  const DialSquare& square = figure.Square(row, column);
  if (square.IsKO()) return worth;
  for (int v = 0; v < kVariantCount; ++v) {
    const auto variant = static_cast<Variant>(v);
    DraftFigure draft = base;
    Change change;
    change.row = row;
    change.column = static_cast<std::int8_t>(column);
    switch (variant) {
      case Variant::OneLess:
      case Variant::OneMore:
        // As the caption would show it, and so read it.
        change.to = ValueOfText(FormatGeneral(figure.CaptionValue(row, column) +
                                              (variant == Variant::OneMore ? 1 : -1)));
        draft.Apply(change);
        break;
      case Variant::Plain:
        if (square.background == kWhiteCode) continue;
        change.kind = ChangeKind::Power;
        change.to = kWhiteCode;
        draft.Apply(change);
        break;
      case Variant::KO:
        draft.KnockOut(column);
        break;
    }
    LivePrice price = PriceFigure(draft);
    VariantWorth& out = worth.variants[v];
    out.possible = true;
    out.points = price.calculation.points;
    out.total = price.calculation.total;
    out.problems = std::move(price.problems);
  }
  return worth;
}

}  // namespace

SquareWorth WorthOfSquare(const FigureScreen& figure, StatRow row, int column) {
  return Worth(figure, DraftFigure(figure), row, column);
}

DialWorth WorthOfDial(const FigureScreen& figure) {
  DialWorth worth;
  const DraftFigure base(figure);
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column)
      worth[static_cast<int>(row)][column] = Worth(figure, base, row, column);
  }
  return worth;
}

const char* VariantName(Variant variant) {
  constexpr const char* kNames[] = {"One less", "One more", "Plain", "KO"};
  return kNames[static_cast<int>(variant)];
}

}  // namespace zandorik
