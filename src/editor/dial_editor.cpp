#include "editor/dial_editor.h"

#include <cstring>

#include "model/numbers.h"
#include "store/cp1252.h"
#include "store/record_screen.h"

namespace zandorik {
namespace {

// Keys of the actions whose repeats make one step.
constexpr int kNameKey = kStatRowCount * kColumnCount;
constexpr int kRangeKey = kNameKey + 1;

// A part's image: numbers as their bytes, texts after their length.
class ImageWriter {
 public:
  explicit ImageWriter(std::string& out) : out_(out) { out_.clear(); }
  template <typename T>
  ImageWriter& operator<<(const T& value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out_.append(bytes, sizeof(T));
    return *this;
  }
  ImageWriter& operator<<(const std::string& text) {
    *this << static_cast<std::uint32_t>(text.size());
    out_ += text;
    return *this;
  }

 private:
  std::string& out_;
};

class ImageReader {
 public:
  explicit ImageReader(const std::string& in) : in_(in) {}
  template <typename T>
  ImageReader& operator>>(T& value) {
    std::memcpy(&value, in_.data() + at_, sizeof(T));
    at_ += sizeof(T);
    return *this;
  }
  ImageReader& operator>>(std::string& text) {
    std::uint32_t size = 0;
    *this >> size;
    text.assign(in_, at_, size);
    at_ += size;
    return *this;
  }

 private:
  const std::string& in_;
  std::size_t at_ = 0;
};

// The record that "&Save Record" would store from the screen; nothing
// when it would refuse.
std::optional<RecordBytes> StorableRecord(const FigureScreen& screen) {
  if (!FirstMisfitCp1252(FitName(screen.name)).empty()) return std::nullopt;
  FigureRecord record;
  if (!StoreScreenInRecord(screen, record)) return std::nullopt;
  record.Deleted = 0;
  return EncodeRecord(record);
}

}  // namespace

std::string SpokenSquare(StatRow row, int column, const DialSquare& square) {
  std::string text = std::string(StatRowName(row)) + ", click " + std::to_string(column + 1) + ": ";
  if (square.IsKO()) return text + "knocked out";
  text += square.caption.empty() ? "no value" : square.caption;
  const int colour = ColourPositionFromCode(square.background);
  if (colour < 0) return text + ", colour code " + FormatGeneral(square.background);
  return text + ", " + std::string(kColours[colour].name) + ", " +
         std::string(PowerName(row, colour));
}

DialEditor::DialEditor(Desktop& desktop, std::size_t undoLimit)
    : desktop_(desktop),
      stored_(StorableRecord(screen_)),
      images_(kPartCount),
      history_((WriteImages(images_), images_), kFieldsPart + 1, undoLimit) {}

DialEditor::StepGroup::StepGroup(DialEditor& editor, int key) : editor_(editor) {
  if (editor_.groupDepth_++ == 0) editor_.groupKey_ = key;
}

DialEditor::StepGroup::~StepGroup() {
  if (--editor_.groupDepth_ == 0) editor_.RecordStep(editor_.groupKey_);
}

void DialEditor::RecordStep(int key) {
  WriteImages(images_);
  history_.Record(images_, key);
}

void DialEditor::WriteImages(EditHistory::Images& images) const {
  for (StatRow row : kStatRows) {
    for (int column = 0; column < kColumnCount; ++column) {
      const DialSquare& square = screen_.Square(row, column);
      ImageWriter(images[static_cast<int>(row) * kColumnCount + column])
          << square.caption << square.background << square.ko;
    }
  }
  ImageWriter fields(images[kFieldsPart]);
  fields << screen_.name << screen_.moveText << screen_.teamText << screen_.rangeText
         << screen_.bolts << screen_.rankSelected;
  ImageWriter(images[kCursorPart])
      << currentRow_.has_value() << currentRow_.value_or(StatRow::Speed) << currentColumn_
      << currentColour_ << valueText_ << valueEnabled_ << pickerRow_.has_value()
      << pickerRow_.value_or(StatRow::Speed) << pickerSelection_;
  ImageWriter(images[kPointsPart]) << pointsText_;
  ImageWriter breakdown(images[kBreakdownPart]);
  for (const std::string& field : breakdownFields_)
    breakdown << field;
}

void DialEditor::PutImage(std::size_t part, const std::string& image) {
  ImageReader in(image);
  if (part < kFieldsPart) {
    const auto row = static_cast<StatRow>(part / kColumnCount);
    const int column = static_cast<int>(part % kColumnCount);
    DialSquare& square = At(row, column);
    in >> square.caption >> square.background >> square.ko;
    Touch(row, column);
    return;
  }
  switch (part) {
    case kFieldsPart:
      in >> screen_.name >> screen_.moveText >> screen_.teamText >> screen_.rangeText >>
          screen_.bolts >> screen_.rankSelected;
      changes_.fields = true;
      break;
    case kCursorPart: {
      bool hasCurrent = false, hasPicker = false;
      StatRow currentRow = StatRow::Speed, pickerRow = StatRow::Speed;
      in >> hasCurrent >> currentRow >> currentColumn_ >> currentColour_ >> valueText_ >>
          valueEnabled_ >> hasPicker >> pickerRow >> pickerSelection_;
      currentRow_ = hasCurrent ? std::optional<StatRow>(currentRow) : std::nullopt;
      pickerRow_ = hasPicker ? std::optional<StatRow>(pickerRow) : std::nullopt;
    }
      changes_.valueBox = true;
      changes_.picker = true;
      break;
    case kPointsPart:
      in >> pointsText_;
      changes_.calculation = true;
      break;
    default:
      for (std::string& field : breakdownFields_)
        in >> field;
      changes_.breakdown.set();
      break;
  }
}

bool DialEditor::Undo() {
  if (groupDepth_ != 0) return false;
  RecordStep(EditHistory::kNoKey);
  return history_.Undo(
      [this](std::size_t part, const std::string& image) { PutImage(part, image); });
}

bool DialEditor::Redo() {
  if (groupDepth_ != 0) return false;
  RecordStep(EditHistory::kNoKey);
  return history_.Redo(
      [this](std::size_t part, const std::string& image) { PutImage(part, image); });
}

bool DialEditor::HasUnsavedChanges() const {
  static const std::optional<RecordBytes> blank = StorableRecord(FigureScreen{});
  const std::optional<RecordBytes> now = StorableRecord(screen_);
  if (!now) return true;
  return now != blank && now != stored_;
}

void DialEditor::MarkStored() {
  stored_ = StorableRecord(screen_);
}

std::array<PickerEntry, kColourCount> DialEditor::PickerEntries() const {
  std::array<PickerEntry, kColourCount> entries{};
  if (!pickerRow_) return entries;
  for (int i = 0; i < kColourCount; ++i)
    entries[i] = {kColours[i].name, PowerName(*pickerRow_, i)};
  return entries;
}

void DialEditor::ClickSquare(StatRow row, int column) {
  const StepGroup step(*this);
  if (row == StatRow::Speed) RestoreColumn(column);
  Select(row, column);
  changes_.focusValueBox = true;
}

void DialEditor::MoveToSquare(StatRow row, int column) {
  const StepGroup step(*this);
  Select(row, column);
}

void DialEditor::Select(StatRow row, int column) {
  currentRow_ = row;
  currentColumn_ = static_cast<std::int16_t>(column);
  FillPicker(row, ColourNameFromCode(At(row, column).background));
  valueEnabled_ = true;
  SetValueText(At(row, column).caption);
}

void DialEditor::ShowCurrentSquare() {
  StatRow row;
  if (HasCurrentSquare(row)) {
    Select(row, currentColumn_);
    return;
  }
  valueText_.clear();
  changes_.valueBox = true;
  pickerRow_.reset();
  pickerSelection_ = -1;
  changes_.picker = true;
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
  StatRow row;
  const int key = HasCurrentSquare(row) ? static_cast<int>(row) * kColumnCount + currentColumn_
                                        : EditHistory::kNoKey;
  const StepGroup step(*this, key);
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
  const StepGroup step(*this);
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
  const StepGroup step(*this);
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
  ShowCurrentSquare();
  Calculate();
}

void DialEditor::Calculate() {
  const StepGroup step(*this);
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
  const StepGroup step(*this);
  ShowRecordOnScreen(record, screen_);
  changes_.fields = true;
  changes_.squares.set();
  ShowCurrentSquare();
}

void DialEditor::LoadFigure(const FigureRecord& record) {
  const StepGroup step(*this);
  ShowRecord(record);
  std::string name = record.Name;
  name.erase(name.find_last_not_of(' ') + 1);
  SetName(name);
  Calculate();
}

void DialEditor::ApplyFigure(const FigureScreen& figure) {
  const StepGroup step(*this);
  screen_ = figure;
  changes_.fields = true;
  changes_.squares.set();
  StatRow row;
  if (HasCurrentSquare(row)) Select(row, currentColumn_);  // the value box shows the new value
  Calculate();
}

void DialEditor::SetName(const std::string& text) {
  const StepGroup step(*this, kNameKey);
  screen_.name = text;
}

void DialEditor::SetMove(int index) {
  const StepGroup step(*this);
  screen_.moveText =
      index >= 0 && index < static_cast<int>(kMovements.size()) ? kMovements[index] : "";
}

void DialEditor::SetTeam(int index) {
  const StepGroup step(*this);
  screen_.teamText =
      index >= 0 && index < static_cast<int>(kTeams.size()) ? kTeams[index].name : "";
}

void DialEditor::SetRange(const std::string& text) {
  const StepGroup step(*this, kRangeKey);
  screen_.rangeText = text;
}

void DialEditor::SetBolt(int box, bool checked) {
  const StepGroup step(*this);
  if (box >= 0 && box < 3) screen_.bolts[box] = checked;
}

void DialEditor::SetRank(int index) {
  const StepGroup step(*this);
  for (int i = 0; i < static_cast<int>(kRanks.size()); ++i)
    screen_.rankSelected[i] = i == index;
}

EditorChanges DialEditor::TakeChanges() {
  EditorChanges taken = changes_;
  changes_ = EditorChanges{};
  return taken;
}

}  // namespace zandorik
