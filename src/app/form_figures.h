// The Figures window ("&Figures..." of the main window's "&File" menu,
// modeless): every stored figure of the data file in use, in a table that
// sorts by any column and filters as the person types; a figure is loaded
// onto the main window as a pick from the name list does, compared with
// others ("Compare"), and the figure on the screen is set among the file's
// ("Where It Sits"). The logic is the library's (src/library).
#pragma once

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "editor/desktop.h"
#include "editor/dial_editor.h"
#include "library/comparison.h"
#include "library/figure_library.h"
#include "library/standing.h"

namespace zandorik {

// The rows of the library as a table. It sorts itself: each column's order
// is worked out once and reused, so that a sort, or a filter over a sorted
// table, never compares rows again.
class FigureTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit FigureTableModel(QObject* parent) : QAbstractTableModel(parent) {}
  void SetFigures(std::vector<LibraryFigure> figures);
  // The library's figures, in record order.
  const std::vector<LibraryFigure>& Figures() const { return figures_; }
  // The figure shown in `row`, and the row of figure `index`.
  const LibraryFigure& FigureAt(int row) const {
    return figures_[static_cast<std::size_t>(order_[static_cast<std::size_t>(row)])];
  }
  int RowOf(std::size_t index) const { return rows_[index]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  void Order();

  std::vector<LibraryFigure> figures_;
  std::vector<int> order_;                                            // row -> figure
  std::vector<int> rows_;                                             // figure -> row
  std::array<std::vector<std::size_t>, kLibraryColumnCount> sorted_;  // rising, by column
  int sortColumn_ = static_cast<int>(LibraryColumn::Record);
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// The filter of the table; the order is the table's own (sort is handed
// on to it).
class FigureFilterModel : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  FigureFilterModel(FigureTableModel* figures, QObject* parent);
  void SetFilter(const LibraryFilter& filter);
  const LibraryFilter& Filter() const { return filter_; }
  void sort(int column, Qt::SortOrder order) override;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

 private:
  FigureTableModel* figures_;
  LibraryFilter filter_;
  FilterMatcher matches_{LibraryFilter{}};
};

// A dial as a grid of coloured squares; squares marked are outlined.
class DialGrid : public QWidget {
 public:
  explicit DialGrid(QWidget* parent);
  void SetFigure(const FigureScreen& figure, const SquareMarks& marks);
  QRect CellRect(StatRow row, int column) const;
  bool Marked(StatRow row, int column) const { return marks_[static_cast<int>(row)][column]; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  FigureScreen figure_;
  SquareMarks marks_{};
};

// "Compare": two or three figures side by side.
class FormCompare : public QDialog {
  Q_OBJECT
 public:
  FormCompare(Desktop& desktop, Comparison comparison, QWidget* owner);
  const Comparison& Compared() const { return comparison_; }
  DialGrid* Grid(int figure) const { return grids_[static_cast<std::size_t>(figure)]; }
  QTableWidget* TableFields() const { return tableFields_; }
  QPushButton* CommandCopy() const { return commandCopy_; }

 private:
  Desktop& desktop_;
  Comparison comparison_;
  std::vector<DialGrid*> grids_;
  QTableWidget* tableFields_ = nullptr;
  QPushButton* commandCopy_ = nullptr;
};

// The four stats of a figure across its clicks beside the file's median
// for a dial of the same length.
class StatChart : public QWidget {
 public:
  explicit StatChart(QWidget* parent);
  void SetCurves(int clicks, const StatCurves& figure, const std::optional<StatCurves>& median);
  QSize sizeHint() const override { return {460, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int clicks_ = 0;
  StatCurves figure_{};
  std::optional<StatCurves> median_;
};

class FormFigures : public QWidget {
  Q_OBJECT
 public:
  // Loads a listed figure onto the main window as a pick does (asking
  // first about a changed figure); false when it was not loaded.
  using LoadFigure = std::function<bool(const NameEntry&)>;
  // `editor` holds the figure on the screen; `dataFile` says which data
  // file is in use ("" for none).
  FormFigures(Desktop& desktop, const DialEditor& editor, std::function<std::string()> dataFile,
              LoadFigure load, QWidget* owner);
  ~FormFigures() override;

  // The figures selected, in the table's order. For other windows (a team
  // adds them): each carries its record number and stored name.
  std::vector<LibraryFigure> SelectedFigures() const;
  // The table is read again if the data file in use, or its size or time,
  // changed since it was read; the selection is kept.
  void Refresh(bool always = false);
  // The figure on the screen may have changed (Where It Sits follows it).
  void FigureChanged();

  QTableView* TableFigures() const { return tableFigures_; }
  FigureTableModel* Figures() const { return model_; }
  FigureFilterModel* Filtered() const { return filtered_; }
  QLineEdit* TextFilter() const { return textFilter_; }
  QComboBox* ComboTeam() const { return comboTeam_; }
  QComboBox* ComboRank() const { return comboRank_; }
  QLineEdit* TextPointsFrom() const { return textPointsFrom_; }
  QLineEdit* TextPointsTo() const { return textPointsTo_; }
  QLabel* LabelStatus() const { return labelStatus_; }
  QPushButton* CommandLoad() const { return commandLoad_; }
  QPushButton* CommandCompare() const { return commandCompare_; }
  QPushButton* CommandRefresh() const { return commandRefresh_; }
  QTabWidget* Tabs() const { return tabs_; }
  // The comparison shown last, while it is open.
  FormCompare* Comparing() const { return formCompare_; }
  // Where It Sits, once its tab has been shown.
  QLabel* LabelStanding() const { return labelStanding_; }
  QTableWidget* TableNearest() const { return tableNearest_; }
  StatChart* Chart() const { return chart_; }
  QPushButton* CommandReference() const { return commandReference_; }
  QPushButton* CommandDataFileInUse() const { return commandDataFileInUse_; }

 signals:
  // The figures selected changed (SelectedFigures).
  void SelectionChanged();

 protected:
  // Coming to the front: the table follows the file.
  void changeEvent(QEvent* event) override;

 private:
  void ShowFilter();
  void ShowStatus();
  void TableFigures_Activated(const QModelIndex& index);
  void CommandCompare_Click();
  void BuildStanding();
  void ShowStanding();
  void CommandReference_Click();

  Desktop& desktop_;
  const DialEditor& editor_;
  std::function<std::string()> dataFile_;
  LoadFigure load_;
  std::string path_;  // the file the table was read from
  FileStamp stamp_;
  std::string notice_;

  FigureTableModel* model_ = nullptr;
  FigureFilterModel* filtered_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTableView* tableFigures_ = nullptr;
  QLineEdit* textFilter_ = nullptr;
  QComboBox* comboTeam_ = nullptr;
  QComboBox* comboRank_ = nullptr;
  QLineEdit* textPointsFrom_ = nullptr;
  QLineEdit* textPointsTo_ = nullptr;
  QLabel* labelStatus_ = nullptr;
  QPushButton* commandLoad_ = nullptr;
  QPushButton* commandCompare_ = nullptr;
  QPushButton* commandRefresh_ = nullptr;
  QPointer<FormCompare> formCompare_;

  // Where It Sits: made when its tab is first shown.
  QWidget* standingPage_ = nullptr;
  QLabel* labelStanding_ = nullptr;
  QTableWidget* tableNearest_ = nullptr;
  StatChart* chart_ = nullptr;
  QPushButton* commandReference_ = nullptr;
  QPushButton* commandDataFileInUse_ = nullptr;
  QTimer standingDue_;
  // The reference file's figures, when one was chosen.
  std::optional<std::vector<LibraryFigure>> reference_;
  std::string referencePath_;
  // Worked out once for the figures compared with.
  std::string standingSkip_;
  std::vector<std::int32_t> standingPoints_;
  const std::vector<LibraryFigure>* standingOf_ = nullptr;
  std::map<int, std::optional<StatCurves>> medians_;
};

}  // namespace zandorik
