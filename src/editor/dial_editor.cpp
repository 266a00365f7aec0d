#include "editor/dial_editor.h"

#include "model/numbers.h"
#include "store/record_screen.h"

namespace zandorik {

std::array<PickerEntry, kColourCount> DialEditor::PickerEntries() const {
  std::array<PickerEntry, kColourCount> entries{};
  if (!pickerRow_) return entries;
  for (int i = 0; i < kColourCount; ++i)
    entries[i] = {kColours[i].name, PowerName(*pickerRow_, i)};
  return entries;
}

void DialEditor::ClickSquare(StatRow row, int column) {
  if (row == StatRow::Speed) RestoreColumn(column);
  currentStat_ = std::string(StatRowName(row));
  currentColumn_ = static_cast<std::int16_t>(column);
  FillPicker(row, ColourNameFromCode(At(row, column).background));
  valueEnabled_ = true;
  SetValueText(At(row, column).caption);
  changes_.focusValueBox = true;
}

void DialEditor::RestoreColumn(int column) {
  for (StatRow row : kStatRows) {
    DialSquare& square = At(row, column);
    if (!square.ko && !square.caption.empty()) continue;
    square.ko = false;
    if (square.caption.empty()) square.caption = "0";
    Touch(row, column);
  }
}

void DialEditor::FillPicker(StatRow row, std::string_view colourName) {
  pickerRow_ = row;
  pickerSelection_ = ColourPosition(colourName);
  changes_.picker = true;
}

void DialEditor::SetValueText(const std::string& text) {
  valueText_ = text;
  changes_.valueBox = true;
  ValueChanged();
}

void DialEditor::TypeValue(const std::string& text) {
  if (!valueEnabled_) return;
  SetValueText(text);
}

void DialEditor::ValueChanged() {
  StatRow row;
  if (!HasCurrentSquare(row)) return;
  DialSquare& square = At(row, currentColumn_);
  if (square.caption == valueText_) return;
  square.caption = valueText_;
  Touch(row, currentColumn_);
}

void DialEditor::ChooseColour(int index) {
  if (!pickerRow_ || index < 0 || index >= kColourCount) return;
  pickerSelection_ = index;
  changes_.picker = true;
  currentColour_ = ColourCodeFromName(kColours[index].name);
  if (currentColour_ == kKOCode) {
    MarkKO();
    return;
  }
  valueEnabled_ = true;
  changes_.valueBox = true;
  if (valueText_.empty()) SetValueText("0");
  StatRow row;
  if (!HasCurrentSquare(row)) return;
  DialSquare& square = At(row, currentColumn_);
  square.ko = false;
  square.background = currentColour_;
  Touch(row, currentColumn_);
}

void DialEditor::MarkKO() {
  if (!desktop_.AskYesNo(kKOQuestion, kKOQuestionTitle)) return;
  for (int column = currentColumn_; column < kColumnCount; ++column) {
    for (StatRow row : kStatRows) {
      DialSquare& square = At(row, column);
      square.ko = true;
      square.caption.clear();
      square.background = kWhiteCode;
      Touch(row, column);
    }
  }
  SetValueText("");
  valueEnabled_ = false;
}

void DialEditor::ResetScreen() {
  screen_.name.clear();
  screen_.moveText = kMovements[0];
  screen_.teamText = kTeams[0].name;
  screen_.rangeText = "0";
  screen_.bolts = {true, false, false};
  screen_.rankSelected = {true, false, false, false, false};
  changes_.fields = true;
  for (int column = 0; column < kColumnCount; ++column) {
    for (StatRow row : kStatRows) {
      At(row, column) = DialSquare{};
      Touch(row, column);
    }
  }
  Calculate();
}

void DialEditor::Calculate() {
  // Each message is shown, and waited for, as the formula reaches it; the
  // fields are written as the formula finishes them.
  class BoxSink : public MessageSink {
   public:
    explicit BoxSink(DialEditor& editor) : editor_(editor) {}
    void Message(const std::string& text) override {
      if (editor_.beforeMessage_) editor_.beforeMessage_();
      editor_.desktop_.ShowMessage(text, kAppTitle);
    }
    void Reached(CalculationStep step, const Calculation& sofar) override {
      const Breakdown& b = sofar.breakdown;
      switch (step) {
        case CalculationStep::Statistics:
          Write(0, {b.speed, b.attack, b.defense, b.damage});
          break;
        case CalculationStep::Powers:
          Write(4, {b.speedPower, b.attackPower, b.defensePower, b.damagePower});
          break;
        case CalculationStep::RangeAndBolts:
          Write(8, {b.range, b.bolts});
          break;
        case CalculationStep::Team:
          Write(10, {b.team});
          break;
        case CalculationStep::Points:
          editor_.pointsText_ = zandorik::PointsText(sofar);
          editor_.changes_.calculation = true;
          break;
      }
    }

   private:
    void Write(std::size_t first, std::initializer_list<double> values) {
      for (double value : values) {
        editor_.breakdownFields_[first] = FormatGeneral(value);
        editor_.changes_.breakdown.set(first++);
      }
    }
    DialEditor& editor_;
  } sink(*this);
  CalculateFigure(screen_, sink);
}

void DialEditor::ShowRecord(const FigureRecord& record) {
  ShowRecordOnScreen(record, screen_);
  changes_.fields = true;
  changes_.squares.set();
}

void DialEditor::LoadFigure(const FigureRecord& record) {
  ShowRecord(record);
  std::string name = record.Name;
  name.erase(name.find_last_not_of(' ') + 1);
  SetName(name);
  Calculate();
}

void DialEditor::SetName(const std::string& text) {
  screen_.name = text;
}

void DialEditor::SetMove(int index) {
  screen_.moveText =
      index >= 0 && index < static_cast<int>(kMovements.size()) ? kMovements[index] : "";
}

void DialEditor::SetTeam(int index) {
  screen_.teamText =
      index >= 0 && index < static_cast<int>(kTeams.size()) ? kTeams[index].name : "";
}

void DialEditor::SetRange(const std::string& text) {
  screen_.rangeText = text;
}

void DialEditor::SetBolt(int box, bool checked) {
  if (box >= 0 && box < 3) screen_.bolts[box] = checked;
}

void DialEditor::SetRank(int index) {
  for (int i = 0; i < static_cast<int>(kRanks.size()); ++i)
    screen_.rankSelected[i] = i == index;
}

EditorChanges DialEditor::TakeChanges() {
  EditorChanges taken = changes_;
  changes_ = EditorChanges{};
  return taken;
}

}  // namespace zandorik
