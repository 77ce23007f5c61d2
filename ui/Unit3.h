// TForm3: the conversion settings dialog. It displays the toolkit-free
// TSettingsDialogModel: the controls are copied into the model before each
// operation and back out of it afterwards, so every rule lives in the model.
#pragma once

#include <QDialog>
#include <array>

#include "conversion/ConvSettings.h"
#include "conversion/SettingsDialogModel.h"
#include "ui/Anchors.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TFram;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  // Settings are the program's conversion settings: shown at every showing,
  // written back only by OK.
  TForm3(TConvSettings& Settings, QWidget* Parent);

  bool OKflag = false;  // true once OK has closed the dialog

  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QTableWidget* StringGrid1;  // colour rows: name, colour, width
  QTableWidget* StringGrid2;  // line type rows: name, line type
  QLineEdit* Edit1;           // range setting: colour
  QLineEdit* Edit2;           // range setting: line type
  QLineEdit* Edit3;           // range setting: width
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;
  QPushButton* Button4;                                 // save the current settings
  QPushButton* Button5;                                 // open saved settings
  QPushButton* Button6;                                 // OK
  QPushButton* Button7;                                 // Cancel
  QLabel* LabelMessage;                                 // what the last input fault was
  std::array<QCheckBox*, kOptSwitches + 1> CheckBox{};  // CheckBox[1] .. CheckBox[8]
  std::array<TFram*, kCombRowCount + 1> Fram{};         // Fram[1] .. Fram[10]

 protected:
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

 private:
  void BuildIndividualPage();
  void BuildCombinationPage();
  void BuildLowerPart();

  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();

  // The range setting of one column from its edit field.
  void SetRange(TRangeColumn Column, QLineEdit* Edit, QTableWidget* Grid);
  bool CheckInput();
  // Beep, page, focus, grid cursor and message line for an input fault.
  void ShowFault(const TInputFault& Fault);
  QLineEdit* RangeEdit(int Field) const;

  void ControlsToModel();
  void ModelToControls();

  TConvSettings& Settings_;
  TSettingsDialogModel Model_;
  TAnchors Anchors_;  // how the controls follow an enlarged dialog
  QSize DesignSize_;  // the client area as designed, message line included
};
