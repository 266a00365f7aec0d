// The editing rules of the main window: selecting a square, typing its
// value, choosing its power, KO marking, reset and Calculate. The window
// shows this state and forwards the person's actions here; after each
// action it takes the changes and redraws what they name.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cost/calculations.h"
#include "editor/desktop.h"
#include "editor/edit_history.h"
#include "model/figure.h"
#include "store/figure_record.h"

namespace zandorik {

inline constexpr const char* kKOQuestion = "Mark this column and all columns to the right as 'KO'?";
inline constexpr const char* kKOQuestionTitle = "Please verify";

// What an action changed, for the window to redraw.
struct EditorChanges {
  std::bitset<kStatRowCount * kColumnCount> squares;  // row * 11 + column
  bool valueBox = false;                              // TextValue's text or enabled state
  bool focusValueBox = false;                         // give TextValue the focus, its text selected
  bool picker = false;                                // ImageComboColors' entries or selection
  bool fields = false;                                // name, move, team, range, bolts, rank
  bool calculation = false;                           // TextPoints
  std::bitset<11> breakdown;                          // breakdown fields written, in field order

  bool Square(StatRow row, int column) const {
    return squares[static_cast<int>(row) * kColumnCount + column];
  }
};

// One entry of the colour picker.
struct PickerEntry {
  std::string_view key;   // colour name; also the key of its swatch image
  std::string_view text;  // power of the current row
};

// What a screen reader says for a square: "Attack, click 3: 10, Red,
// Blades/Claws/Fangs", or "Speed, click 8: knocked out".
std::string SpokenSquare(StatRow row, int column, const DialSquare& square);

class DialEditor {
 public:
  // Steps kept for undo; the oldest goes when one more is made.
  static constexpr std::size_t kUndoLimit = 1000;

  explicit DialEditor(Desktop& desktop, std::size_t undoLimit = kUndoLimit);

  // Everything done to the editor while a group lives is one undo step
  // (groups may nest; the outermost one counts). Each action below is a
  // step of its own without one.
  class StepGroup {
   public:
    explicit StepGroup(DialEditor& editor) : StepGroup(editor, EditHistory::kNoKey) {}
    ~StepGroup();
    StepGroup(const StepGroup&) = delete;
    StepGroup& operator=(const StepGroup&) = delete;

   private:
    friend class DialEditor;
    StepGroup(DialEditor& editor, int key);
    DialEditor& editor_;
  };

  const FigureScreen& Screen() const { return screen_; }

  // The current square's row: none until the first square is selected.
  std::optional<StatRow> CurrentRow() const { return currentRow_; }
  std::int16_t CurrentColumn() const { return currentColumn_; }
  double CurrentColour() const { return currentColour_; }

  const std::string& ValueText() const { return valueText_; }
  bool ValueEnabled() const { return valueEnabled_; }

  // The picker's row (nothing before the first selection), its 12 entries
  // in colour list order, and the selected entry (-1 for none).
  std::optional<StatRow> PickerRow() const { return pickerRow_; }
  std::array<PickerEntry, kColourCount> PickerEntries() const;
  int PickerSelection() const { return pickerSelection_; }

  const std::string& PointsText() const { return pointsText_; }
  // The eleven breakdown fields in field order. A calculation writes them
  // step by step: while one of its messages is shown, the fields of the
  // steps before it hold the new values and the others the previous ones.
  const std::array<std::string, 11>& BreakdownFields() const { return breakdownFields_; }
  // Called before each message box of a calculation, so that the window
  // can show what the calculation has written so far (TakeChanges).
  void OnBeforeMessage(std::function<void()> callback) { beforeMessage_ = std::move(callback); }

  // A click on a square of the dial.
  void ClickSquare(StatRow row, int column);
  // An arrow key on the dial: the square becomes the current one as after
  // a click, without a click's other effects: no column is restored from
  // the Speed row and the focus stays where it is.
  void MoveToSquare(StatRow row, int column);
  // The person changed TextValue's text.
  void TypeValue(const std::string& text);
  // The person chose entry `index` (0 to 11) of the picker.
  void ChooseColour(int index);
  // "&Reset Screen": a blank figure, then Calculate. The current square
  // stays, and the value box and the picker show it as it now is.
  void ResetScreen();
  // The "Calculate" button. Every message is shown before the points.
  void Calculate();

  // A record loaded from the data file: every control but the name box
  // shows it, the value box and the picker the current square as it now
  // is. The points are left to Calculate.
  void ShowRecord(const FigureRecord& record);
  // A whole figure put on the screen, as picking it from the name list or
  // pasting it does: the record, its name without the padding, then
  // Calculate, all one undo step.
  void LoadFigure(const FigureRecord& record);
  // A figure worked out from the one on the screen (a suggestion of the
  // points helper) put on it, then Calculate, all one undo step.
  void ApplyFigure(const FigureScreen& figure);

  // The other figure controls, as the person changes them.
  void SetName(const std::string& text);
  void SetMove(int index);
  void SetTeam(int index);
  void SetRange(const std::string& text);
  void SetBolt(int box, bool checked);
  void SetRank(int index);

  EditorChanges TakeChanges();

  // Undo puts the screen back as it was before the last step: the figure,
  // the current square, the value box, the picker, the points and the
  // breakdown. Redo does the reverse; a new change of the figure clears
  // what could be redone. Neither touches the data file. False when there
  // was nothing to undo or redo.
  bool Undo();
  bool Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  std::size_t UndoCount() const { return history_.UndoCount(); }
  const EditHistory& History() const { return history_; }

  // Whether the record that "&Save Record" would store from the screen
  // differs from the one last loaded or saved (the blank figure at start).
  // A blank figure with an empty name never counts as changed, nor does a
  // figure that a record cannot hold count as stored.
  bool HasUnsavedChanges() const;
  // The figure on the screen is the one in the data file now: called once
  // a record is loaded or saved.
  void MarkStored();

 private:
  // The parts of the state that undo keeps: the 44 squares, the fields,
  // then what is not the figure.
  enum Part : std::size_t {
    kFieldsPart = kStatRowCount * kColumnCount,
    kCursorPart,  // current square and colour, value box, picker
    kPointsPart,
    kBreakdownPart,
    kPartCount
  };
  void WriteImages(EditHistory::Images& images) const;
  void PutImage(std::size_t part, const std::string& image);
  void RecordStep(int key);
  void Select(StatRow row, int column);
  // The value box and the picker as the current square now is, as moving
  // onto it shows them; empty when no square was selected yet.
  void ShowCurrentSquare();

  DialSquare& At(StatRow row, int column) { return screen_.Square(row, column); }
  void Touch(StatRow row, int column) {
    changes_.squares.set(static_cast<int>(row) * kColumnCount + column);
  }
  bool HasCurrentSquare(StatRow& row) const {
    if (currentRow_) row = *currentRow_;
    return currentRow_.has_value();
  }

  void RestoreColumn(int column);
  void FillPicker(StatRow row, std::string_view colourName);
  // Setting TextValue from the program raises its change event too.
  void SetValueText(const std::string& text);
  void ValueChanged();
  void MarkKO();

  Desktop& desktop_;
  FigureScreen screen_;
  std::optional<StatRow> currentRow_;
  std::int16_t currentColumn_ = 0;
  double currentColour_ = 0;
  std::string valueText_;
  bool valueEnabled_ = true;
  std::optional<StatRow> pickerRow_;
  int pickerSelection_ = -1;
  std::string pointsText_;
  std::array<std::string, 11> breakdownFields_;
  std::function<void()> beforeMessage_;
  EditorChanges changes_;
  std::optional<RecordBytes> stored_;  // the record last loaded or saved
  EditHistory::Images images_;         // scratch: the parts as of now
  EditHistory history_;
  int groupDepth_ = 0;
  int groupKey_ = EditHistory::kNoKey;
};

}  // namespace zandorik
