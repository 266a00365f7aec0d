// Undo and redo of the editor, through its public actions: every kind of
// step, long random sequences, the history limit, and the changed-figure
// test behind the close question.
#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "editor/dial_editor.h"
#include "testing/scripted_desktop.h"

namespace zandorik {
namespace {

// Everything the window shows from the editor, as one text.
std::string State(const DialEditor& e) {
  std::ostringstream out;
  const FigureScreen& s = e.Screen();
  out << s.name << '|' << s.moveText << '|' << s.teamText << '|' << s.rangeText << '|';
  for (bool b : s.bolts)
    out << b;
  for (bool r : s.rankSelected)
    out << r;
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const DialSquare& q = s.Square(row, column);
      out << '[' << q.caption << ',' << q.background << ',' << q.ko << ']';
    }
  }
  out << '|' << (e.CurrentRow() ? int(*e.CurrentRow()) : -1) << e.CurrentColumn() << '|'
      << e.CurrentColour() << '|' << e.ValueText() << e.ValueEnabled() << '|'
      << (e.PickerRow() ? int(*e.PickerRow()) : -1) << e.PickerSelection() << '|' << e.PointsText();
  for (const std::string& field : e.BreakdownFields())
    out << ',' << field;
  return out.str();
}

FigureRecord StoredFigure() {
  FigureRecord r;
  r.Name = "Stored";
  r.Range = 6;
  r.TeamIndex = 3;
  r.RankIndex = 2;
  r.Bolt = {1, 1, 0};
  for (int k = 0; k < kColumnCount; ++k) {
    r.RowOf(StatRow::Attack).Value[k] = 9;
    r.RowOf(StatRow::Attack).Colour[k] = kBlackCode;
    r.RowOf(StatRow::Speed).Value[k] = 7;
    r.RowOf(StatRow::Speed).Colour[k] = kWhiteCode;
    r.RowOf(StatRow::Damage).Colour[k] = k >= 8 ? kKOCode : kWhiteCode;
  }
  return r;
}

class EditHistoryTest : public ::testing::Test {
 protected:
  void Choose(const char* colour) { editor.ChooseColour(ColourPosition(colour)); }
  void MarkKO(StatRow row, int column) {
    editor.ClickSquare(row, column);
    desktop.answers.push_back(true);
    Choose("KO");
  }

  ScriptedDesktop desktop;
  DialEditor editor{desktop};
};

struct StepCase {
  const char* what;
  std::function<void(DialEditor&, ScriptedDesktop&)> before;  // not measured
  std::function<void(DialEditor&, ScriptedDesktop&)> step;    // exactly one undo step
};

TEST_F(EditHistoryTest, EveryKindOfChangeIsOneStepThatUndoAndRedoReverse) {
  using D = DialEditor;
  using S = ScriptedDesktop;
  auto none = [](D&, S&) {};
  auto selectAttack3 = [](D& e, S&) { e.ClickSquare(StatRow::Attack, 2); };
  const StepCase cases[] = {
      {"a square's value, key by key", selectAttack3,
       [](D& e, S&) {
         for (const char* typed : {"1", "10", "1", "12"})
           e.TypeValue(typed);
       }},
      {"a power", selectAttack3, [](D& e, S&) { e.ChooseColour(ColourPosition("Red")); }},
      {"a power on an empty value",
       [](D& e, S&) { e.ClickSquare(StatRow::Damage, 4), e.TypeValue(""); },
       [](D& e, S&) { e.ChooseColour(ColourPosition("Black")); }},
      {"a KO marking, every column it marks",
       [](D& e, S& d) {
         e.ClickSquare(StatRow::Defense, 3);
         d.answers.push_back(true);
       },
       [](D& e, S&) { e.ChooseColour(ColourPosition("KO")); }},
      {"a KO column brought back",
       [](D& e, S& d) {
         e.ClickSquare(StatRow::Speed, 5);
         d.answers.push_back(true);
         e.ChooseColour(ColourPosition("KO"));
       },
       [](D& e, S&) { e.ClickSquare(StatRow::Speed, 7); }},
      {"the name, key by key", none,
       [](D& e, S&) {
         for (const char* typed : {"E", "Em", "Emb"})
           e.SetName(typed);
       }},
      {"the movement", none, [](D& e, S&) { e.SetMove(2); }},
      {"the team", none, [](D& e, S&) { e.SetTeam(5); }},
      {"the range, key by key", none,
       [](D& e, S&) {
         e.SetRange("");
         e.SetRange("1");
         e.SetRange("12");
       }},
      {"a bolt", none, [](D& e, S&) { e.SetBolt(2, true); }},
      {"the rank", none, [](D& e, S&) { e.SetRank(4); }},
      {"Reset Screen",
       [](D& e, S&) {
         e.SetName("Kept");
         e.ClickSquare(StatRow::Damage, 1);
         e.TypeValue("4");
       },
       [](D& e, S&) { e.ResetScreen(); }},
      {"a loaded figure", selectAttack3, [](D& e, S&) { e.LoadFigure(StoredFigure()); }},
      {"a name picked and its figure loaded", [](D& e, S&) { e.Calculate(); },
       [](D& e, S&) {
         const DialEditor::StepGroup group(e);
         e.SetName("Stored");
         e.LoadFigure(StoredFigure());
       }},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedDesktop d;
    DialEditor e(d);
    e.SetRank(1);  // something to undo before the step
    c.before(e, d);
    const std::string before = State(e);
    const std::size_t steps = e.UndoCount();
    c.step(e, d);
    const std::string after = State(e);
    ASSERT_NE(after, before);
    EXPECT_EQ(e.UndoCount(), steps + 1);
    EXPECT_FALSE(e.CanRedo());
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(State(e), before);
    const EditorChanges shown = e.TakeChanges();
    EXPECT_TRUE(shown.squares.any() || shown.fields);
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(State(e), after);
    EXPECT_FALSE(e.CanRedo());
    EXPECT_EQ(d.unexpected, 0);
  }
}

TEST_F(EditHistoryTest, AnsweringNoOrSelectingChangesNothingToUndo) {
  editor.ClickSquare(StatRow::Attack, 3);
  desktop.answers.push_back(false);
  Choose("KO");
  editor.Calculate();
  editor.MoveToSquare(StatRow::Speed, 0);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_FALSE(editor.Undo());
  EXPECT_FALSE(editor.Redo());
}

TEST_F(EditHistoryTest, OneStepPerSquareAndANewChangeClearsRedo) {
  editor.ClickSquare(StatRow::Attack, 0);
  editor.TypeValue("5");
  editor.TypeValue("55");
  editor.ClickSquare(StatRow::Attack, 1);
  editor.TypeValue("6");
  editor.ClickSquare(StatRow::Attack, 0);  // the same square again: a new edit
  editor.TypeValue("7");
  EXPECT_EQ(editor.UndoCount(), 3u);
  ASSERT_TRUE(editor.Undo());
  EXPECT_EQ(editor.Screen().Square(StatRow::Attack, 0).caption, "55");
  // The current square is the one of before the step, with its value shown.
  EXPECT_EQ(editor.CurrentColumn(), 0);
  EXPECT_EQ(editor.ValueText(), "55");
  ASSERT_TRUE(editor.Undo());
  EXPECT_EQ(editor.Screen().Square(StatRow::Attack, 1).caption, "1");
  EXPECT_EQ(editor.CurrentColumn(), 1);
  EXPECT_TRUE(editor.CanRedo());
  editor.SetTeam(2);
  EXPECT_FALSE(editor.CanRedo());
  EXPECT_EQ(editor.UndoCount(), 2u);
}

TEST_F(EditHistoryTest, UndoBringsBackThePointsOfBeforeTheStep) {
  editor.ClickSquare(StatRow::Damage, 0);
  editor.TypeValue("3");
  editor.Calculate();
  const std::string priced = editor.PointsText();
  editor.TypeValue("5");  // after Calculate: a step of its own
  editor.Calculate();
  ASSERT_NE(editor.PointsText(), priced);
  ASSERT_TRUE(editor.Undo());
  EXPECT_EQ(editor.Screen().Square(StatRow::Damage, 0).caption, "3");
  EXPECT_EQ(editor.PointsText(), priced);
  EXPECT_TRUE(editor.TakeChanges().calculation);
}

TEST_F(EditHistoryTest, RandomEditsUndoToTheBlankFigureAndRedoToTheEnd) {
  const std::string blank = State(editor);
  std::mt19937 random(15);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  editor.SetName("Random");  // a step first, so that every later change has one
  const char* values[] = {"", "0", "3", "12", "x", "-2"};
  for (int i = 0; i < 500; ++i) {
    const auto row = static_cast<StatRow>(pick(kStatRowCount));
    switch (pick(12)) {
      case 0:
      case 1:
      case 2:
        editor.ClickSquare(row, pick(kColumnCount));
        break;
      case 3:
      case 4:
        editor.TypeValue(values[pick(6)]);
        break;
      case 5:
        desktop.answers.push_back(pick(2) == 0);
        editor.ChooseColour(pick(kColourCount));
        break;
      case 6:
        editor.MoveToSquare(row, pick(kColumnCount));
        break;
      case 7:
        editor.SetTeam(pick(22)), editor.SetMove(pick(3));
        break;
      case 8:
        editor.SetRange(values[pick(6)]), editor.SetBolt(pick(3), pick(2));
        break;
      case 9:
        editor.SetRank(pick(5)), editor.Calculate();
        break;
      case 10:
        pick(4) == 0 ? editor.ResetScreen() : editor.SetName(values[pick(6)]);
        break;
      default:
        editor.LoadFigure(StoredFigure());
        break;
    }
  }
  const std::string edited = State(editor);
  const std::size_t steps = editor.UndoCount();
  ASSERT_GT(steps, 200u);
  ASSERT_LE(steps, DialEditor::kUndoLimit);
  while (editor.Undo()) {
  }
  EXPECT_EQ(State(editor), blank);
  std::size_t redone = 0;
  while (editor.Redo())
    ++redone;
  EXPECT_EQ(redone, steps);
  EXPECT_EQ(State(editor), edited);
}

TEST_F(EditHistoryTest, KeepsTheLastThousandSteps) {
  for (int i = 0; i <= static_cast<int>(DialEditor::kUndoLimit); ++i)
    editor.SetTeam(1 + i % 2);  // 1,001 steps
  EXPECT_EQ(editor.UndoCount(), DialEditor::kUndoLimit);
  while (editor.Undo()) {
  }
  // The first step is forgotten: its team stays.
  EXPECT_EQ(editor.Screen().teamText, kTeams[1].name);
}

TEST_F(EditHistoryTest, AFigureIsChangedWhenItsRecordDiffersFromTheOneLastLoadedOrSaved) {
  EXPECT_FALSE(editor.HasUnsavedChanges());
  editor.SetName("New");
  EXPECT_TRUE(editor.HasUnsavedChanges());
  editor.SetName("");
  EXPECT_FALSE(editor.HasUnsavedChanges()) << "a blank figure with an empty name";
  editor.SetName("Stored");
  editor.LoadFigure(StoredFigure());
  editor.MarkStored();
  EXPECT_FALSE(editor.HasUnsavedChanges());
  editor.ClickSquare(StatRow::Attack, 0);
  editor.TypeValue("9 ");  // stores as 9, as loaded
  EXPECT_FALSE(editor.HasUnsavedChanges());
  editor.TypeValue("8");
  EXPECT_TRUE(editor.HasUnsavedChanges());
  editor.Undo();
  EXPECT_FALSE(editor.HasUnsavedChanges());
  editor.SetRange("40000");  // a record cannot hold it
  EXPECT_TRUE(editor.HasUnsavedChanges());
  editor.ResetScreen();
  EXPECT_FALSE(editor.HasUnsavedChanges());
  editor.Undo();
  EXPECT_TRUE(editor.HasUnsavedChanges());
  editor.MarkStored();  // a save that the record could not hold leaves it changed
  EXPECT_TRUE(editor.HasUnsavedChanges());
}

TEST(SpokenSquareTest, SaysRowClickValueColourAndPower) {
  DialSquare red{"10", ColourCodeFromName("Red"), false};
  EXPECT_EQ(SpokenSquare(StatRow::Attack, 2, red), "Attack, click 3: 10, Red, Blades/Claws/Fangs");
  EXPECT_EQ(SpokenSquare(StatRow::Speed, 7, DialSquare{"", kWhiteCode, true}),
            "Speed, click 8: knocked out");
  EXPECT_EQ(SpokenSquare(StatRow::Damage, 0, DialSquare{"", kWhiteCode, false}),
            "Damage, click 1: no value, White, None");
  EXPECT_EQ(SpokenSquare(StatRow::Damage, 10, DialSquare{"2", 12.5, false}),
            "Damage, click 11: 2, colour code 12.5");
}

}  // namespace
}  // namespace zandorik
