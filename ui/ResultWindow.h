// "変換結果": the window a run ends with when it did not convert every
// selected file. It lists each such file with its result and reason, and
// saves the list as a CSV file for spreadsheet programs.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "conversion/RunResults.h"

class QPushButton;
class QTableWidget;

class TResultWindow final : public QDialog {
  Q_OBJECT

 public:
  // CsvProposed is the path the CSV file box proposes.
  TResultWindow(std::vector<TResultRow> Rows, QString CsvProposed, QWidget* Parent);

  QTableWidget* Table;
  QPushButton* ButtonCsv;    // "CSV保存(&C)..."
  QPushButton* ButtonClose;  // "閉じる"

 private:
  // Asks for the file and writes the list; a failed write is reported.
  void ButtonCsvClick();
  // Wide enough for every reason, as far as the screen allows.
  void FitToTable();

  std::vector<TResultRow> Rows_;
  QString CsvProposed_;
};
