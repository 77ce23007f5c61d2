#include "ui/ResultWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "ui/CsvSave.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"

namespace {

const QString kTitle = QStringLiteral("変換結果");

QTableWidgetItem* Cell(const std::u16string& Text) {
  auto* Item = new QTableWidgetItem(Q(Text));
  Item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return Item;
}

}  // namespace

TResultWindow::TResultWindow(std::vector<TResultRow> Rows, QString CsvProposed, QWidget* Parent)
    : QDialog(Parent), Rows_(std::move(Rows)), CsvProposed_(std::move(CsvProposed)) {
  setWindowTitle(kTitle);
  setFont(FormFont());
  Table = new QTableWidget(static_cast<int>(Rows_.size()), 3, this);
  Table->setHorizontalHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("結果"), QStringLiteral("理由")});
  Table->verticalHeader()->hide();
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setWordWrap(false);
  for (int Row = 0; Row < Table->rowCount(); ++Row) {
    const TResultRow& R = Rows_[static_cast<std::size_t>(Row)];
    Table->setItem(Row, 0, Cell(R.Name));
    Table->setItem(Row, 1, Cell(R.Result));
    Table->setItem(Row, 2, Cell(R.Reason));
  }
  Table->resizeColumnsToContents();
  Table->horizontalHeader()->setStretchLastSection(true);

  ButtonCsv = new QPushButton(QStringLiteral("CSV保存(&C)..."), this);
  ButtonClose = new QPushButton(QStringLiteral("閉じる"), this);
  ButtonClose->setDefault(true);
  connect(ButtonCsv, &QPushButton::clicked, this, &TResultWindow::ButtonCsvClick);
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* Buttons = new QHBoxLayout;
  Buttons->addWidget(ButtonCsv);
  Buttons->addStretch();
  Buttons->addWidget(ButtonClose);
  auto* Layout = new QVBoxLayout(this);
  Layout->addWidget(Table);
  Layout->addLayout(Buttons);

  FitToTable();
}

void TResultWindow::FitToTable() {
  const QFontMetrics M(font());
  const int Margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
  const int Wanted = Table->horizontalHeader()->length() + 2 * Table->frameWidth() +
                     Table->verticalScrollBar()->sizeHint().width() + Margins;
  const int Widest = screen()->availableGeometry().width() * 9 / 10;
  resize(std::clamp(Wanted, M.horizontalAdvance(QLatin1Char('x')) * 80, std::max(Widest, 1)), M.height() * 24);
}

void TResultWindow::ButtonCsvClick() { AskAndSaveCsv(this, CsvProposed_, ResultCsvRows(Rows_)); }
