// The frame of the census and dry-run windows: what the window is about, the
// progress of its work with "中止", the files on the left (the total first),
// and for the one selected its details and its table, sortable by any
// column, with "CSV保存" and "閉じる" below. The work runs on a worker thread
// (TFileJob); the windows fill the list as files come in.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/FileJob.h"
#include "ui/PenTableModel.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QToolButton;
class QTreeWidget;

// A format version as the messages name it: "Ver.3.51".
QString VersionText(std::int32_t Version);

class TFileTableWindow : public QDialog {
  Q_OBJECT

 public:
  ~TFileTableWindow() override;

  bool Busy() const { return Job_ != nullptr; }
  // The entries of the file list (the total first) and the table shown.
  int EntryCount() const;
  QString EntryText(int Entry, int Column) const;
  void SelectEntry(int Entry);
  const TPenTableModel& TableModel() const { return *Model_; }

  QLabel* Summary;
  QLabel* ProgressText;
  QProgressBar* ProgressBar;
  QToolButton* StopButton;
  QTreeWidget* Files;
  QLabel* Detail;
  QTableView* Table;
  QPushButton* SaveButton;
  QPushButton* CloseButton;

 signals:
  void WorkFinished();

 protected:
  // StatusHeader names the second column of the file list.
  TFileTableWindow(const QString& Title, const QString& StatusHeader, QWidget* Parent);

  // Empties the list (the total stays as its first entry) and starts Work,
  // stopping any earlier work first.
  void StartWork(TFileJob::TWork Work);
  void SetProgress(int Done, int Total);
  // Appends an entry; a file with a problem is shown greyed.
  void AddEntry(const QString& Name, const QString& Status, bool Problem);
  void SetEntryStatus(int Entry, const QString& Status);
  // Shows the table of the selected entry.
  void ShowTable(const QString& Details, QStringList Header, std::vector<TTableRow> Rows);

  // Entry 0 is the total, 1 ... the files in the order added.
  virtual void ShowEntry(int Entry) = 0;
  // Everything the window found, as the rows of a CSV file.
  virtual std::vector<std::vector<std::u16string>> CsvRows() const = 0;
  virtual QString CsvName() const = 0;
  // The work has ended (or was stopped).
  virtual void WorkEnded(bool Stopped) = 0;

  void closeEvent(QCloseEvent* Event) override;

 private:
  void StopClicked();
  void JobFinished();
  void SaveCsv();
  void SelectionChanged();

  TPenTableModel* Model_;
  QSortFilterProxyModel* Sorted_;
  TFileJob* Job_ = nullptr;
  QString CsvPath_;  // the file last saved, proposed again
};
