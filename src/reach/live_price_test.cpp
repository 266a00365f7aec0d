// The points helper's live price and worth against the editor itself: the
// price after every kind of edit is what Calculate gives, with the messages
// Calculate would show; each worth is the price after doing that edit; a
// suggestion applied is one undo step.
#include <gtest/gtest.h>

#include <random>

#include "editor/dial_editor.h"
#include "model/numbers.h"
#include "reach/draft_figure.h"
#include "reach/worth.h"
#include "store/record_screen.h"
#include "testing/random_figure.h"
#include "testing/scripted_desktop.h"
#include "testing/worked_figure.h"

namespace zandorik {
namespace {

class LivePriceTest : public ::testing::Test {
 protected:
  // The helper's price of the screen, then Calculate: the same points, and
  // its problems are the texts of the boxes Calculate shows.
  void ExpectCalculateAgrees(const std::string& after) {
    desktop.boxes.clear();
    const LivePrice live = PriceFigure(editor.Screen());
    ASSERT_TRUE(desktop.boxes.empty()) << after;
    editor.Calculate();
    EXPECT_EQ(PointsText(live.calculation), editor.PointsText()) << after;
    EXPECT_EQ(live.problems, desktop.TakeTexts()) << after;
  }

  ScriptedDesktop desktop;
  DialEditor editor{desktop};
};

TEST_F(LivePriceTest, AgreesWithCalculateAfterEveryKindOfEdit) {
  FigureRecord worked;
  ASSERT_TRUE(StoreScreenInRecord(WorkedFigure(), worked));
  const auto type = [&](StatRow row, int column, const char* text) {
    editor.ClickSquare(row, column);
    editor.TypeValue(text);
  };
  const auto colour = [&](StatRow row, int column, const char* name) {
    editor.ClickSquare(row, column);
    desktop.answers.push_back(true);
    editor.ChooseColour(ColourPosition(name));
  };
  const struct {
    const char* name;
    std::function<void()> edit;
  } edits[] = {
      {"a figure loaded", [&] { editor.LoadFigure(worked); }},
      {"a value typed", [&] { type(StatRow::Attack, 2, "12"); }},
      {"a value that is no number", [&] { type(StatRow::Speed, 1, "x7"); }},
      {"a damage off the table", [&] { type(StatRow::Damage, 0, "7"); }},
      {"a value too large for 16 bits", [&] { type(StatRow::Defense, 3, "40000"); }},
      {"a power", [&] { colour(StatRow::Attack, 0, "Green"); }},
      {"a Ranged Combat Expert of 4 damage",
       [&] {
         type(StatRow::Damage, 1, "4");
         colour(StatRow::Damage, 1, "Red");
       }},
      {"a KO marking", [&] { colour(StatRow::Speed, 4, "KO"); }},
      {"a KO column brought back", [&] { editor.ClickSquare(StatRow::Speed, 6); }},
      {"a range off the list", [&] { editor.SetRange("5"); }},
      {"a range", [&] { editor.SetRange("8"); }},
      {"bolts", [&] { editor.SetBolt(2, true); }},
      {"a team", [&] { editor.SetTeam(19); }},
      {"no team", [&] { editor.SetTeam(-1); }},
      {"no movement", [&] { editor.SetMove(-1); }},
      {"a movement", [&] { editor.SetMove(1); }},
      {"a rank", [&] { editor.SetRank(3); }},
      {"undo", [&] { editor.Undo(); }},
      {"redo", [&] { editor.Redo(); }},
      {"a figure applied", [&] { editor.ApplyFigure(WorkedFigure()); }},
      {"reset", [&] { editor.ResetScreen(); }},
  };
  for (const auto& e : edits) {
    e.edit();
    ExpectCalculateAgrees(e.name);
  }
}

TEST_F(LivePriceTest, AgreesWithCalculateAfterRandomEditSequences) {
  std::mt19937 random(5);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* values[] = {"0", "3", "7", "12", "20", "", "2.5", "-1", "6", "1e400", "&H10"};
  for (int sequence = 0; sequence < 1000; ++sequence) {
    for (int step = 0, steps = 1 + pick(8); step < steps; ++step) {
      const auto row = static_cast<StatRow>(pick(kStatRowCount));
      switch (pick(10)) {
        case 0:
          editor.ClickSquare(row, pick(kColumnCount));
          editor.TypeValue(values[pick(11)]);
          break;
        case 1:
          editor.ClickSquare(row, pick(kColumnCount));
          desktop.answers.push_back(pick(2) == 0);
          editor.ChooseColour(pick(kColourCount));
          break;
        case 2:
          editor.SetRange(values[pick(11)]);
          break;
        case 3:
          editor.SetBolt(pick(3), pick(2) == 0);
          break;
        case 4:
          editor.SetTeam(pick(23) - 1);
          break;
        case 5:
          editor.SetMove(pick(4) - 1);
          break;
        case 6:
          editor.SetRank(pick(5));
          break;
        case 7:
          editor.Undo();
          break;
        case 8:
          editor.Redo();
          break;
        default:
          if (pick(4) == 0) editor.ResetScreen();
          break;
      }
    }
    ExpectCalculateAgrees("sequence " + std::to_string(sequence));
    if (HasFailure()) return;
  }
}

// Each worth is the price after the person makes that edit: the value one
// less or one more typed, "None" chosen, "Knocked Out" chosen.
TEST_F(LivePriceTest, EachWorthIsThePriceAfterThatEdit) {
  std::mt19937 random(3);
  for (int round = 0; round < 40; ++round) {
    const FigureScreen figure = RandomFigure(random);
    const auto row = static_cast<StatRow>(random() % kStatRowCount);
    const int column = static_cast<int>(random() % kColumnCount);
    const SquareWorth worth = WorthOfSquare(figure, row, column);
    for (int v = 0; v < kVariantCount; ++v) {
      editor.ApplyFigure(figure);
      const DialSquare& square = editor.Screen().Square(row, column);
      const bool possible = !square.IsKO() && (v != 2 || square.background != kWhiteCode);
      EXPECT_EQ(worth.variants[v].possible, possible);
      if (!possible) continue;
      editor.ClickSquare(row, column);
      if (v < 2) {
        editor.TypeValue(FormatGeneral(figure.CaptionValue(row, column) + (v == 0 ? -1 : 1)));
      } else {
        desktop.answers.push_back(true);
        editor.ChooseColour(v == 2 ? 1 : 0);
      }
      desktop.boxes.clear();
      editor.Calculate();
      const VariantWorth& w = worth.variants[v];
      EXPECT_EQ(w.points ? std::to_string(*w.points) : "", editor.PointsText());
      EXPECT_EQ(w.problems, desktop.TakeTexts());
    }
  }
}

TEST_F(LivePriceTest, AnAppliedFigureIsOneUndoStep) {
  editor.ApplyFigure(WorkedFigure());
  editor.ClickSquare(StatRow::Attack, 1);
  const FigureScreen before = editor.Screen();
  const std::size_t steps = editor.UndoCount();
  FigureScreen changed = before;
  changed.Square(StatRow::Attack, 1).caption = "14";
  changed.rangeText = "10";
  editor.ApplyFigure(changed);
  EXPECT_EQ(editor.UndoCount(), steps + 1);
  EXPECT_TRUE(SameFigure(editor.Screen(), changed));
  EXPECT_EQ(editor.ValueText(), "14");  // the current square's new value
  EXPECT_EQ(editor.PointsText(), PointsText(PriceFigure(changed).calculation));
  ASSERT_TRUE(editor.Undo());
  EXPECT_TRUE(SameFigure(editor.Screen(), before));
  EXPECT_EQ(editor.PointsText(), "46");
  ASSERT_TRUE(editor.Redo());
  EXPECT_TRUE(SameFigure(editor.Screen(), changed));
}

}  // namespace
}  // namespace zandorik
