// "Points Helper": the figure on the screen priced as it is now, what each
// square is worth, and the smallest sets of changes that bring it to the
// points wanted, searched on a worker thread. It shows no message box and
// changes the figure only when a suggestion is applied, through the editor.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "editor/dial_editor.h"
#include "reach/draft_figure.h"
#include "reach/reach_search.h"
#include "reach/worth.h"

namespace zandorik {

struct SquareAt {
  StatRow row;
  int column;
  bool operator==(const SquareAt&) const = default;
};

// The dial in small, each square shaded by what one more on it would add
// to the total (red) or take from it (blue), with that change written in.
class HeatGrid : public QWidget {
 public:
  explicit HeatGrid(QWidget* parent);
  void SetWorth(const FigureScreen& figure, const DialWorth& worth, double total);
  // Called with the square under the mouse, or nothing once it leaves.
  void OnHover(std::function<void(std::optional<SquareAt>)> callback) {
    onHover_ = std::move(callback);
  }
  QRect CellRect(StatRow row, int column) const;
  // The change written in a square ("+0.08", "KO", "!").
  QString CellText(StatRow row, int column) const { return text_[Index(row, column)]; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  static int Index(StatRow row, int column) {
    return static_cast<int>(row) * kColumnCount + column;
  }
  std::array<QString, kStatRowCount * kColumnCount> text_;
  std::array<QColor, kStatRowCount * kColumnCount> shade_;
  std::optional<SquareAt> hovered_;
  std::function<void(std::optional<SquareAt>)> onHover_;
};

class FormPointsHelper : public QDialog {
  Q_OBJECT
 public:
  // `apply` puts a changed figure on the screen as one undo step.
  using ApplyFigure = std::function<void(const FigureScreen&)>;
  FormPointsHelper(const DialEditor& editor, ApplyFigure apply, QWidget* owner);
  ~FormPointsHelper() override;

  // The main window may have changed the figure or the current square.
  void FigureChanged();
  // While the mouse is over `square`, its worth is shown.
  void WatchSquare(QWidget* square, StatRow row, int column);

  QLineEdit* TextPoints() const { return textPoints_; }
  QLineEdit* TextTotal() const { return textTotal_; }
  QPlainTextEdit* TextProblems() const { return textProblems_; }
  QLabel* LabelSquare() const { return labelSquare_; }
  QLabel* LabelWorth(Variant variant) const { return labelWorth_[static_cast<int>(variant)]; }
  HeatGrid* Heat() const { return heat_; }
  QLineEdit* TextTarget() const { return textTarget_; }
  QSpinBox* SpinTolerance() const { return spinTolerance_; }
  // "values", "powers", "range and bolts", "team", "movement", "rank",
  // "dial length".
  QCheckBox* CheckChange(int index) const { return checkChange_[static_cast<std::size_t>(index)]; }
  static constexpr int kChangeChecks = 7;
  QLabel* LabelStatus() const { return labelStatus_; }
  QTreeWidget* ListSuggestions() const { return listSuggestions_; }
  QPushButton* CommandApply() const { return commandApply_; }
  // A search is running.
  bool Searching() const { return searching_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowPrice();
  void ShowWorth();
  void StartSearch();
  void StopSearch();
  void AddSuggestions(std::uint64_t generation, const std::vector<Suggestion>& batch);
  void SearchDone(std::uint64_t generation, const ReachReport& report);
  void ListSuggestions_DoubleClick(QTreeWidgetItem* item);
  void CommandApply_Click();

  const DialEditor& editor_;
  ApplyFigure apply_;
  FigureScreen shown_;  // the figure priced last
  LivePrice price_;
  DialWorth worth_;
  std::optional<SquareAt> hovered_;

  QLineEdit* textPoints_ = nullptr;
  QLineEdit* textTotal_ = nullptr;
  QPlainTextEdit* textProblems_ = nullptr;
  QLabel* labelSquare_ = nullptr;
  std::array<QLabel*, kVariantCount> labelWorth_{};
  HeatGrid* heat_ = nullptr;
  QLineEdit* textTarget_ = nullptr;
  QSpinBox* spinTolerance_ = nullptr;
  std::array<QCheckBox*, kChangeChecks> checkChange_{};
  QLabel* labelStatus_ = nullptr;
  QTreeWidget* listSuggestions_ = nullptr;
  QPushButton* commandApply_ = nullptr;

  // The search: the figure it started from, what it found so far, and the
  // threads of searches stopped but not yet ended.
  struct Worker {
    std::jthread thread;
    std::shared_ptr<std::atomic<bool>> ended;
  };
  Worker worker_;
  std::vector<Worker> stopping_;
  std::uint64_t generation_ = 0;
  bool searching_ = false;
  FigureScreen searched_;
  std::vector<Suggestion> suggestions_;
};

}  // namespace zandorik
