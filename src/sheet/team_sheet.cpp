#include "sheet/team_sheet.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <array>

#include "sheet/sheet_font.h"
#include "store/figure_text.h"

namespace zandorik {
namespace {

constexpr double kTitleSize = 18 * kPointMm;
constexpr double kLineSize = 10 * kPointMm;
constexpr double kHeadSize = 8 * kPointMm;
constexpr double kCellSize = 9 * kPointMm;
constexpr double kFootSize = 7 * kPointMm;
constexpr double kRowLeast = 7;    // one line of a row of the roster
constexpr double kTick = 4;        // the side of a box to tick
constexpr double kTickStep = 5.2;  // from one box to the next, both ways
constexpr double kCellPad = 1.5;   // inside each column, either side
constexpr double kFootRoom = 8;    // the footer's strip above the bottom margin
constexpr Rgb kRule{150, 150, 150};

// The roster's columns after the figure's name, which takes what is left.
enum class Align { Left, Right };
struct Column {
  const char* head;
  double width;
  Align align;
};
constexpr std::array<Column, 8> kColumns = {{
    {"Count", 11, Align::Right},
    {"Points", 13, Align::Right},
    {"Subtotal", 15, Align::Right},
    {"Team", 30, Align::Left},
    {"Movement", 20, Align::Left},
    {"Range", 12, Align::Right},
    {"Rank", 22, Align::Left},
    {"In play", 32, Align::Left},
}};
constexpr std::size_t kInPlay = kColumns.size() - 1;

// Text measures from the fonts the renderers draw with.
class Fonts {
 public:
  Fonts() : regular_(SheetFont(false, kReference)), bold_(SheetFont(true, kReference)) {}
  // A text of `size` millimetres, made smaller until it is no wider than
  // `room`: shrunk to fit, never cut.
  Text Fit(double x, double y, const std::string& text, double size, double room, bool bold,
           Anchor anchor = Anchor::Start) const {
    double width = (bold ? bold_ : regular_).horizontalAdvance(QString::fromStdString(text)) *
                   size / kReference;
    if (width > room && width > 0) {
      size *= room / width;
      width = room;
    }
    return Text{x, y, text, size, width, anchor, bold};
  }

 private:
  static constexpr int kReference = 100;
  QFontMetricsF regular_, bold_;
};

std::string Number(const std::optional<std::int64_t>& n) {
  return n ? std::to_string(*n) : std::string("-");
}

// The texts of an entry's row, column by column, the figure's name first.
std::vector<std::string> RowTexts(const TeamFigure& entry) {
  std::vector<std::string> ignored;
  const SheetFigure figure = SheetFigureFromRecord(entry.figure, ignored);
  std::string points = Number(entry.price.points);
  if (!entry.price.problems.empty()) points += " !";
  const std::string name = ShownName(entry.figure);
  return {name.empty() ? "(no name)" : name,
          std::to_string(entry.count),
          points,
          Number(entry.Subtotal()),
          figure.team,
          figure.movement,
          figure.range,
          figure.rank,
          ""};
}

class RosterBuilder {
 public:
  RosterBuilder(const Team& team, const PaperSize& size)
      : team_(team), size_(size), left_(kSheetMargin), right_(size.width - kSheetMargin) {
    double fixed = 0;
    for (const Column& column : kColumns)
      fixed += column.width;
    nameWidth_ = right_ - left_ - fixed;
  }

  std::vector<SheetPage> Build() {
    NewPage(false);
    for (const TeamFigure& entry : team_.entries)
      AddRow(RowTexts(entry), entry.count, false);
    const TeamTotal total = TotalOf(team_);
    int fielded = 0;
    for (const TeamFigure& entry : team_.entries)
      fielded += entry.count;
    AddRow({"Total", std::to_string(fielded), "", std::to_string(total.points)}, 0, true);
    return std::move(pages_);
  }

 private:
  void Print(auto shape) {
    Item& item = pages_.back().items.emplace_back();
    item.shape.emplace<decltype(shape)>(std::move(shape));
  }
  double Bottom() const { return size_.height - kSheetMargin - kFootRoom; }

  // The team's name, cap and total at the top, and the columns' heads.
  void NewPage(bool continued) {
    pages_.emplace_back();
    const double width = right_ - left_;
    y_ = kSheetMargin + kTitleSize * 0.75;
    const std::string name = team_.name.empty() ? "(no name)" : team_.name;
    Print(fonts_.Fit(left_, y_, continued ? name + " (continued)" : name, kTitleSize, width, true));
    y_ += 7;
    const TeamTotal total = TotalOf(team_);
    const Text cap = fonts_.Fit(left_, y_, "Cap: " + std::to_string(team_.cap) + " points",
                                kLineSize, width / 3, false);
    Print(cap);
    Text sum = fonts_.Fit(left_ + cap.width + 8, y_, "Total: " + TotalText(total), kLineSize,
                          width / 3, true);
    if (total.Over()) sum.colour = kKORed;
    Print(sum);
    y_ += 5;
    std::string warning;
    if (total.Over())
      warning = "Over the cap by " + std::to_string(total.points - total.cap) + " points.";
    if (!total.complete)
      warning +=
          std::string(warning.empty() ? "" : " ") + "A figure marked ! is priced with problems.";
    if (!warning.empty()) {
      Text text = fonts_.Fit(left_, y_, warning, kLineSize, width, false);
      text.colour = kKORed;
      Print(text);
      y_ += 5;
    }
    y_ += 3;
    double x = left_;
    const auto head = [&](const char* text, double columnWidth, Align align) {
      const bool right = align == Align::Right;
      Print(fonts_.Fit(right ? x + columnWidth - kCellPad : x + kCellPad, y_, text, kHeadSize,
                       columnWidth - 2 * kCellPad, true, right ? Anchor::End : Anchor::Start));
      x += columnWidth;
    };
    head("Figure", nameWidth_, Align::Left);
    for (const Column& column : kColumns)
      head(column.head, column.width, column.align);
    y_ += 2;
    Print(Line{left_, y_, right_, y_, 0.3});
  }

  // A row of texts, and `boxes` boxes to tick in the last column; the
  // total's row stands in bold below a heavier rule.
  void AddRow(const std::vector<std::string>& texts, int boxes, bool totalRow) {
    const int perLine =
        static_cast<int>((kColumns[kInPlay].width - 2 * kCellPad + kTickStep - kTick) / kTickStep);
    const int lines = std::max(1, (boxes + perLine - 1) / perLine);
    const double height = std::max(kRowLeast, lines * kTickStep + 1.8);
    if (y_ + height > Bottom()) NewPage(true);
    if (totalRow) Print(Line{left_, y_, right_, y_, 0.3});
    const double baseline = y_ + kRowLeast / 2 + 0.345 * kCellSize;
    double x = left_;
    for (std::size_t i = 0; i < texts.size() && i <= kColumns.size(); ++i) {
      const double width = i == 0 ? nameWidth_ : kColumns[i - 1].width;
      const bool right = i > 0 && kColumns[i - 1].align == Align::Right;
      if (!texts[i].empty()) {
        Print(fonts_.Fit(right ? x + width - kCellPad : x + kCellPad, baseline, texts[i], kCellSize,
                         width - 2 * kCellPad, totalRow || i == 0,
                         right ? Anchor::End : Anchor::Start));
      }
      x += width;
    }
    const double boxesLeft = right_ - kColumns[kInPlay].width + kCellPad;
    for (int b = 0; b < boxes; ++b) {
      Print(Box{boxesLeft + (b % perLine) * kTickStep,
                y_ + (kRowLeast - kTick) / 2 + (b / perLine) * kTickStep, kTick, kTick, 0.25});
    }
    y_ += height;
    if (!totalRow) Print(Line{left_, y_, right_, y_, 0.1, kRule});
  }

  const Team& team_;
  PaperSize size_;
  double left_, right_, nameWidth_ = 0;
  double y_ = 0;
  Fonts fonts_;
  std::vector<SheetPage> pages_;
};

}  // namespace

std::vector<SheetFigure> TeamSheetFigures(const Team& team, std::vector<std::string>& messages) {
  std::vector<SheetFigure> figures;
  for (const TeamFigure& entry : team.entries) {
    std::vector<std::string> said;
    const SheetFigure figure = SheetFigureFromRecord(entry.figure, said);
    for (const std::string& message : said)
      messages.push_back("\"" + figure.name + "\": " + message);
    figures.insert(figures.end(), static_cast<std::size_t>(entry.count), figure);
  }
  return figures;
}

Sheet LayOutTeamSheet(const Team& team, const std::vector<SheetFigure>& figures,
                      const SheetOptions& options) {
  Sheet sheet;
  sheet.size = SizeOf(options.paper);
  sheet.pages = RosterBuilder(team, sheet.size).Build();
  const int roster = static_cast<int>(sheet.pages.size());
  if (!figures.empty()) {
    SheetOptions dialOptions = options;
    dialOptions.pagesBefore = roster;
    Sheet dials = LayOutSheet(figures, dialOptions);
    for (Sheet::Cell cell : dials.cells) {
      cell.page += roster;
      sheet.cells.push_back(cell);
    }
    std::move(dials.pages.begin(), dials.pages.end(), std::back_inserter(sheet.pages));
  }
  // The roster's footers, as the dial sheets': the file, and the page of
  // the whole document.
  const Fonts fonts;
  const double foot = sheet.size.height - kSheetMargin - 1;
  const double right = sheet.size.width - kSheetMargin;
  for (int p = 0; p < roster; ++p) {
    const std::string count =
        "page " + std::to_string(p + 1) + " of " + std::to_string(sheet.pages.size());
    const Text countText = fonts.Fit(right, foot, count, kFootSize, 40, false, Anchor::End);
    std::vector<Item>& items = sheet.pages[static_cast<std::size_t>(p)].items;
    items.push_back(Item{Layer::Print, countText});
    items.push_back(
        Item{Layer::Print, fonts.Fit(kSheetMargin, foot, options.fileName, kFootSize,
                                     right - kSheetMargin - countText.width - 5, false)});
  }
  return sheet;
}

}  // namespace zandorik
