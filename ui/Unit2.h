// TFram: one combination row of the settings dialog: the row's check box,
// its source colour and line type lists and its three destination fields.
#pragma once

#include <QFrame>

#include "conversion/SettingsDialogModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class TFram : public QFrame {
  Q_OBJECT

 public:
  explicit TFram(QWidget* Parent);

  // Fills the two lists and resets the row: unticked, both lists at their
  // first item, the fields "0", "0", "-1".
  void Init();

  void Show(const TCombRowModel& Row);
  TCombRowModel Read() const;
  // Edit1, Edit2, Edit3 for Field 1, 2, 3.
  QLineEdit* Edit(int Field) const;

  QCheckBox* CheckBox1;
  QComboBox* CB1;  // the 265 colour names
  QComboBox* CB2;  // the 49 line type names
  QLabel* Label1;  // "→"
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
};
