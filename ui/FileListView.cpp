#include "ui/FileListView.h"

#include <QHeaderView>

#include "ui/FileListOrder.h"

// A cell whose order is the owner's compare function.
class TFileListCell final : public QTableWidgetItem {
 public:
  using QTableWidgetItem::QTableWidgetItem;
  bool operator<(const QTableWidgetItem& Other) const override {
    const auto* View = static_cast<const TFileListView*>(tableWidget());
    return View && View->Compare_ ? View->Compare_(*this, Other) < 0 : QTableWidgetItem::operator<(Other);
  }
};

TFileListView::TFileListView(QWidget* Parent) : QTableWidget(Parent) {
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(18);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TFileListView::SortBy(int Column) { sortItems(Column, Qt::AscendingOrder); }

void TFileListView::AddRow(const QStringList& Texts) {
  const int Row = rowCount();
  insertRow(Row);
  for (int Column = 0; Column < Texts.size() && Column < columnCount(); ++Column) {
    auto* Cell = new TFileListCell(Texts[Column]);
    if (Column == kSizeColumn) Cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setItem(Row, Column, Cell);
  }
}

QString TFileListView::Caption(int Row) const {
  const QTableWidgetItem* Cell = item(Row, 0);
  return Cell ? Cell->text() : QString();
}

bool TFileListView::IsRowSelected(int Row) const { return selectionModel()->isRowSelected(Row, QModelIndex()); }

int TFileListView::FirstSelectedRow() const {
  for (int Row = 0; Row < rowCount(); ++Row)
    if (IsRowSelected(Row)) return Row;
  return -1;
}

void TFileListView::mouseDoubleClickEvent(QMouseEvent* Event) {
  QTableWidget::mouseDoubleClickEvent(Event);
  emit DoubleClicked();
}
