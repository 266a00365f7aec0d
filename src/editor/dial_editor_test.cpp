#include "editor/dial_editor.h"

#include <gtest/gtest.h>

#include "testing/scripted_desktop.h"

namespace zandorik {
namespace {

class DialEditorTest : public ::testing::Test {
 protected:
  const DialSquare& At(StatRow row, int column) { return editor.Screen().Square(row, column); }
  void ChooseColour(const char* name) { editor.ChooseColour(ColourPosition(name)); }
  void MarkKOFrom(StatRow row, int column, bool answer = true) {
    editor.ClickSquare(row, column);
    desktop.answers.push_back(answer);
    ChooseColour("KO");
  }
  bool ColumnIsKO(int column) {
    for (StatRow row : kStatRows) {
      const DialSquare& s = At(row, column);
      if (!s.IsKO() || !s.caption.empty() || s.background != kWhiteCode) return false;
    }
    return true;
  }

  ScriptedDesktop desktop;
  DialEditor editor{desktop};
};

TEST_F(DialEditorTest, SelectingASquareOffersItsRowAndValue) {
  editor.ClickSquare(StatRow::Attack, 4);
  editor.TypeValue("9");
  ChooseColour("Grey");
  editor.ClickSquare(StatRow::Speed, 0);
  editor.TakeChanges();
  editor.ClickSquare(StatRow::Attack, 4);
  EXPECT_EQ(editor.CurrentRow(), StatRow::Attack);
  EXPECT_EQ(editor.CurrentColumn(), 4);
  EXPECT_EQ(editor.PickerRow(), StatRow::Attack);
  EXPECT_EQ(editor.PickerSelection(), ColourPosition("Grey"));
  EXPECT_EQ(editor.PickerEntries()[6].text, "Telekinesis");
  EXPECT_EQ(editor.PickerEntries()[6].key, "Grey");
  EXPECT_EQ(editor.ValueText(), "9");
  EXPECT_TRUE(editor.ValueEnabled());
  const EditorChanges changes = editor.TakeChanges();
  EXPECT_TRUE(changes.focusValueBox && changes.picker && changes.valueBox);
  EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(DialEditorTest, TypingWritesTheCurrentSquareAsTyped) {
  editor.TypeValue("12");  // no square selected yet: nothing changes
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column)
      EXPECT_EQ(At(row, column).caption, "1");
  }
  editor.ClickSquare(StatRow::Damage, 0);
  for (const char* text : {"12", "x", "", " 3 "}) {
    editor.TypeValue(text);
    EXPECT_EQ(At(StatRow::Damage, 0).caption, text);
  }
  EXPECT_TRUE(editor.TakeChanges().Square(StatRow::Damage, 0));
}

TEST_F(DialEditorTest, ChoosingAColourColoursOnlyTheCurrentSquare) {
  editor.ClickSquare(StatRow::Defense, 2);
  ChooseColour("Black");
  EXPECT_EQ(At(StatRow::Defense, 2).background, kBlackCode);
  EXPECT_TRUE(At(StatRow::Defense, 2).HasWhiteCaption());
  ChooseColour("Green");
  EXPECT_EQ(At(StatRow::Defense, 2).background, 65280);
  EXPECT_FALSE(At(StatRow::Defense, 2).HasWhiteCaption());
  EXPECT_EQ(editor.CurrentColour(), 65280);
  EXPECT_EQ(At(StatRow::Defense, 3).background, kWhiteCode);

  editor.TypeValue("");
  ChooseColour("Red");
  EXPECT_EQ(editor.ValueText(), "0");
  EXPECT_EQ(At(StatRow::Defense, 2).caption, "0");
}

TEST_F(DialEditorTest, KOMarkingAsksThenMarksEveryRowToTheRight) {
  const std::pair<int, int> cases[] = {{0, 44}, {5, 24}, {10, 4}};
  for (const auto& [column, squares] : cases) {
    editor.ResetScreen();
    desktop.boxes.clear();
    MarkKOFrom(StatRow::Attack, column);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0],
              (ScriptedDesktop::Box{ScriptedDesktop::Box::Question, kKOQuestion, "Please verify"}));
    int ko = 0;
    for (StatRow row : kStatRows) {
      for (int c = 0; c < kColumnCount; ++c)
        ko += At(row, c).IsKO() ? 1 : 0;
    }
    EXPECT_EQ(ko, squares) << "from column " << column;
    for (int c = column; c < kColumnCount; ++c)
      EXPECT_TRUE(ColumnIsKO(c));
    if (column > 0) {
      EXPECT_EQ(At(StatRow::Damage, column - 1).caption, "1");
    }
    EXPECT_EQ(editor.ValueText(), "");
    EXPECT_FALSE(editor.ValueEnabled());
    editor.TypeValue("5");  // a disabled box takes no typing
    EXPECT_EQ(At(StatRow::Attack, column).caption, "");
  }
  EXPECT_EQ(desktop.unexpected, 0);
}

TEST_F(DialEditorTest, AnsweringNoChangesNothing) {
  editor.ClickSquare(StatRow::Speed, 3);
  editor.TypeValue("7");
  editor.TakeChanges();
  MarkKOFrom(StatRow::Speed, 3, false);
  EXPECT_FALSE(At(StatRow::Speed, 3).IsKO());
  EXPECT_EQ(At(StatRow::Speed, 3).caption, "7");
  EXPECT_EQ(editor.ValueText(), "7");
  EXPECT_TRUE(editor.ValueEnabled());
  EXPECT_EQ(editor.PickerSelection(), 0);  // the picker still shows "Knocked Out"
  EXPECT_TRUE(editor.TakeChanges().squares.none());
}

TEST_F(DialEditorTest, SpeedClickRestoresItsColumnOnly) {
  editor.ClickSquare(StatRow::Damage, 4);
  ChooseColour("Black");
  MarkKOFrom(StatRow::Damage, 4);
  editor.ClickSquare(StatRow::Speed, 6);
  for (StatRow row : kStatRows) {
    const DialSquare& s = At(row, 6);
    EXPECT_FALSE(s.IsKO());
    EXPECT_EQ(s.caption, "0");
    EXPECT_EQ(s.background, kWhiteCode);
  }
  EXPECT_TRUE(ColumnIsKO(7));
  EXPECT_TRUE(ColumnIsKO(4));
  EXPECT_FALSE(At(StatRow::Damage, 4).HasWhiteCaption());  // was black before the marking
  EXPECT_EQ(editor.ValueText(), "0");
  EXPECT_TRUE(editor.ValueEnabled());
  EXPECT_EQ(editor.PickerSelection(), ColourPosition("White"));

  // In a live column only empty captions change.
  editor.ClickSquare(StatRow::Attack, 1);
  editor.TypeValue("");
  editor.ClickSquare(StatRow::Speed, 1);
  EXPECT_EQ(At(StatRow::Attack, 1).caption, "0");
  EXPECT_EQ(At(StatRow::Defense, 1).caption, "1");
}

TEST_F(DialEditorTest, OtherRowsLeaveAKOColumnMarked) {
  MarkKOFrom(StatRow::Speed, 8);
  editor.ClickSquare(StatRow::Defense, 9);
  EXPECT_TRUE(ColumnIsKO(9));
  EXPECT_EQ(editor.PickerSelection(), ColourPosition("White"));
  EXPECT_EQ(editor.ValueText(), "");
  EXPECT_TRUE(editor.ValueEnabled());
  editor.TypeValue("4");
  EXPECT_EQ(At(StatRow::Defense, 9).caption, "4");
  EXPECT_TRUE(At(StatRow::Defense, 9).IsKO());

  // A real colour makes that one square ordinary again.
  editor.ClickSquare(StatRow::Damage, 9);
  ChooseColour("Blue");
  EXPECT_FALSE(At(StatRow::Damage, 9).IsKO());
  EXPECT_EQ(At(StatRow::Damage, 9).caption, "0");
  EXPECT_EQ(At(StatRow::Damage, 9).background, ColourCodeFromName("Blue"));
  EXPECT_TRUE(At(StatRow::Attack, 9).IsKO());
}

TEST_F(DialEditorTest, ResetRestoresTheBlankFigureAndCalculates) {
  editor.SetName("Someone");
  editor.SetMove(2);
  editor.SetTeam(5);
  editor.SetRange("6");
  editor.SetBolt(1, true);
  editor.SetRank(3);
  editor.ClickSquare(StatRow::Attack, 2);
  ChooseColour("Black");
  MarkKOFrom(StatRow::Attack, 5);
  desktop.boxes.clear();
  editor.ResetScreen();

  const FigureScreen& s = editor.Screen();
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.moveText, "Normal");
  EXPECT_EQ(s.teamText, "None");
  EXPECT_EQ(s.rangeText, "0");
  EXPECT_EQ(s.bolts, (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(s.rankSelected, (std::array<bool, 5>{true, false, false, false, false}));
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      EXPECT_EQ(At(row, column).caption, "1");
      EXPECT_FALSE(At(row, column).IsKO());
      EXPECT_EQ(At(row, column).background, kWhiteCode);
    }
  }
  EXPECT_EQ(editor.PointsText(), "5");
  EXPECT_TRUE(desktop.boxes.empty());
  // The current square stays (the window's tests show how it is shown).
  EXPECT_EQ(editor.CurrentRow(), StatRow::Attack);
  EXPECT_EQ(editor.CurrentColumn(), 5);
  const EditorChanges changes = editor.TakeChanges();
  EXPECT_TRUE(changes.fields && changes.calculation && changes.squares.all());
}

TEST_F(DialEditorTest, CalculateShowsEachMessageBeforeThePoints) {
  editor.SetRange("3");
  editor.SetTeam(-1);
  editor.Calculate();
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[0],
            (ScriptedDesktop::Box{ScriptedDesktop::Box::Message, "Error in range: 3", "QMVR"}));
  EXPECT_EQ(desktop.boxes[1].text, "No value for team: ");
  EXPECT_EQ(editor.PointsText(), "-1993");  // 5.4 - 999 - 999
}

}  // namespace
}  // namespace zandorik
