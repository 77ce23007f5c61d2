#include "ui/FileTableWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "ui/CsvSave.h"
#include "ui/UiFonts.h"

namespace {

const QString kTotalEntry = QStringLiteral("（合計）");
constexpr int kWindowWidth = 1180;
constexpr int kWindowHeight = 640;
constexpr int kFilesWidth = 330;

}  // namespace

QString VersionText(std::int32_t V) {
  return QStringLiteral("Ver.%1.%2").arg(V / 100).arg(V % 100, 2, 10, QLatin1Char('0'));
}

TFileTableWindow::TFileTableWindow(const QString& Title, const QString& StatusHeader, QWidget* Parent)
    : QDialog(Parent) {
  setWindowTitle(Title);
  setFont(FormFont());
  setSizeGripEnabled(true);
  auto* Layout = new QVBoxLayout(this);

  Summary = new QLabel(this);
  Summary->setWordWrap(true);
  Layout->addWidget(Summary);

  auto* ProgressRow = new QHBoxLayout;
  ProgressText = new QLabel(this);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setTextVisible(false);
  StopButton = new QToolButton(this);
  StopButton->setText(QStringLiteral("中止"));
  connect(StopButton, &QToolButton::clicked, this, &TFileTableWindow::StopClicked);
  ProgressRow->addWidget(ProgressText);
  ProgressRow->addWidget(ProgressBar, 1);
  ProgressRow->addWidget(StopButton);
  Layout->addLayout(ProgressRow);

  auto* Split = new QSplitter(Qt::Horizontal, this);
  Split->setChildrenCollapsible(false);
  Files = new QTreeWidget(Split);
  Files->setRootIsDecorated(false);
  Files->setHeaderLabels({QStringLiteral("ファイル"), StatusHeader});
  Files->setSelectionMode(QAbstractItemView::SingleSelection);
  Files->setColumnWidth(0, kFilesWidth / 2);
  connect(Files, &QTreeWidget::itemSelectionChanged, this, &TFileTableWindow::SelectionChanged);
  auto* Right = new QWidget(Split);
  auto* RightLayout = new QVBoxLayout(Right);
  RightLayout->setContentsMargins(0, 0, 0, 0);
  Detail = new QLabel(Right);
  Detail->setWordWrap(true);
  Detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
  RightLayout->addWidget(Detail);
  Model_ = new TPenTableModel(this);
  Sorted_ = new QSortFilterProxyModel(this);
  Sorted_->setSourceModel(Model_);
  Sorted_->setSortRole(kSortRole);
  Table = new QTableView(Right);
  Table->setModel(Sorted_);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  Table->horizontalHeader()->setSortIndicatorShown(true);
  Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  Table->setSortingEnabled(true);
  RightLayout->addWidget(Table, 1);
  Split->setStretchFactor(0, 0);
  Split->setStretchFactor(1, 1);
  Split->setSizes({kFilesWidth, kWindowWidth - kFilesWidth});
  Layout->addWidget(Split, 1);

  auto* Buttons = new QHBoxLayout;
  SaveButton = new QPushButton(QStringLiteral("CSV保存(&C)..."), this);
  connect(SaveButton, &QPushButton::clicked, this, &TFileTableWindow::SaveCsv);
  CloseButton = new QPushButton(QStringLiteral("閉じる"), this);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
  Buttons->addWidget(SaveButton);
  Buttons->addStretch(1);
  Buttons->addWidget(CloseButton);
  Layout->addLayout(Buttons);
  resize(kWindowWidth, kWindowHeight);
}

TFileTableWindow::~TFileTableWindow() { delete std::exchange(Job_, nullptr); }

int TFileTableWindow::EntryCount() const { return Files->topLevelItemCount(); }

QString TFileTableWindow::EntryText(int Entry, int Column) const {
  const QTreeWidgetItem* Item = Files->topLevelItem(Entry);
  return Item ? Item->text(Column) : QString();
}

void TFileTableWindow::SelectEntry(int Entry) {
  if (QTreeWidgetItem* Item = Files->topLevelItem(Entry)) Files->setCurrentItem(Item);
}

void TFileTableWindow::StartWork(TFileJob::TWork Work) {
  delete std::exchange(Job_, nullptr);
  Files->clear();
  Files->addTopLevelItem(new QTreeWidgetItem({kTotalEntry, QString()}));
  Files->setCurrentItem(Files->topLevelItem(0));
  ProgressText->clear();
  ProgressBar->reset();
  for (QWidget* W :
       {static_cast<QWidget*>(ProgressText), static_cast<QWidget*>(ProgressBar), static_cast<QWidget*>(StopButton)})
    W->show();
  StopButton->setEnabled(true);
  SaveButton->setEnabled(false);
  Job_ = new TFileJob(std::move(Work), this);
  connect(Job_, &TFileJob::Finished, this, &TFileTableWindow::JobFinished);
  Job_->Start();
}

void TFileTableWindow::SetProgress(int Done, int Total) {
  ProgressText->setText(QStringLiteral("%1 / %2").arg(Done).arg(Total));
  ProgressBar->setRange(0, std::max(Total, 1));
  ProgressBar->setValue(Done);
}

void TFileTableWindow::AddEntry(const QString& Name, const QString& Status, bool Problem) {
  auto* Item = new QTreeWidgetItem({Name, Status});
  if (Problem)
    for (int Column = 0; Column < 2; ++Column) Item->setForeground(Column, palette().color(QPalette::PlaceholderText));
  Files->addTopLevelItem(Item);
  // The total grows with every file.
  if (Files->currentItem() == Files->topLevelItem(0)) ShowEntry(0);
}

void TFileTableWindow::SetEntryStatus(int Entry, const QString& Status) {
  if (QTreeWidgetItem* Item = Files->topLevelItem(Entry)) Item->setText(1, Status);
}

void TFileTableWindow::ShowTable(const QString& Details, QStringList Header, std::vector<TTableRow> Rows) {
  Detail->setText(Details);
  Model_->SetTable(std::move(Header), std::move(Rows));
  Table->resizeColumnsToContents();
}

void TFileTableWindow::SelectionChanged() {
  QTreeWidgetItem* Item = Files->currentItem();
  if (Item) ShowEntry(Files->indexOfTopLevelItem(Item));
}

void TFileTableWindow::StopClicked() {
  if (!Job_) return;
  Job_->RequestStop();
  StopButton->setEnabled(false);
}

void TFileTableWindow::JobFinished() {
  const bool Stopped = Job_ && Job_->StopRequested();
  Job_->deleteLater();
  Job_ = nullptr;
  for (QWidget* W : {static_cast<QWidget*>(ProgressBar), static_cast<QWidget*>(StopButton)}) W->hide();
  SaveButton->setEnabled(true);
  WorkEnded(Stopped);
  if (QTreeWidgetItem* Item = Files->currentItem()) ShowEntry(Files->indexOfTopLevelItem(Item));
  emit WorkFinished();
}

void TFileTableWindow::SaveCsv() {
  const QString Proposed = CsvPath_.isEmpty() ? QDir::home().filePath(CsvName()) : CsvPath_;
  if (const QString Path = AskAndSaveCsv(this, Proposed, CsvRows()); !Path.isEmpty()) CsvPath_ = Path;
}

void TFileTableWindow::closeEvent(QCloseEvent* Event) {
  if (Job_) Job_->RequestStop();
  QDialog::closeEvent(Event);
}
