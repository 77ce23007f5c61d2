// The report list of the main window (ListView1): whole-row multi-selection
// with grid lines, sorted only on request with the owner's compare function,
// and a double-click signal for any double-click on it.
#pragma once

#include <QTableWidget>
#include <functional>

class TFileListView : public QTableWidget {
  Q_OBJECT

 public:
  // The order of two cells of the column being sorted; its sign decides.
  using TCompare = std::function<int(const QTableWidgetItem&, const QTableWidgetItem&)>;

  explicit TFileListView(QWidget* Parent);

  void SetCompare(TCompare Compare) { Compare_ = std::move(Compare); }
  // Sorts the rows now by the cells of Column, in the order Compare gives.
  void SortBy(int Column);

  // Appends a row of texts; adding never sorts.
  void AddRow(const QStringList& Texts);
  // The caption (first column) of a row.
  QString Caption(int Row) const;
  bool IsRowSelected(int Row) const;
  // The first selected row in list order; -1 when none is selected.
  int FirstSelectedRow() const;

 signals:
  void DoubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* Event) override;

 private:
  friend class TFileListCell;
  TCompare Compare_;
};
