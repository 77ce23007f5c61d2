#include "ui/Unit2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "conversion/ConvSettings.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"

namespace {

QLineEdit* NumberField(QWidget* Parent, int Left) {
  auto* Edit = new QLineEdit(Parent);
  Edit->setGeometry(Left, 2, 60, 22);
  Edit->setMaxLength(6);
  Edit->setAttribute(Qt::WA_InputMethodEnabled, false);
  return Edit;
}

}  // namespace

TFram::TFram(QWidget* Parent)
    : QFrame(Parent),
      CheckBox1(new QCheckBox(this)),
      CB1(new QComboBox(this)),
      CB2(new QComboBox(this)),
      Label1(new QLabel(QStringLiteral("→"), this)),
      Edit1(NumberField(this, 448)),
      Edit2(NumberField(this, 514)),
      Edit3(NumberField(this, 580)) {
  setFont(GothicFont(13));
  resize(650, 25);
  CheckBox1->setGeometry(6, 4, 18, 18);
  CB1->setGeometry(28, 2, 170, 22);
  CB2->setGeometry(206, 2, 200, 22);
  Label1->setGeometry(418, 4, 20, 18);
  CB1->setMaxVisibleItems(20);
  CB2->setMaxVisibleItems(20);
  setTabOrder(CheckBox1, CB1);
  setTabOrder(CB1, CB2);
  setTabOrder(CB2, Edit1);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, Edit3);
}

void TFram::Init() {
  CB1->clear();
  CB2->clear();
  for (int Row = 1; Row <= kColorRows; ++Row) CB1->addItem(Q(ColorRowName(Row)));
  for (int Row = 1; Row <= kLtypeRows; ++Row) CB2->addItem(Q(LtypeRowName(Row)));
  Show(TCombRowModel{});
}

void TFram::Show(const TCombRowModel& Row) {
  CheckBox1->setChecked(Row.Checked);
  CB1->setCurrentIndex(Row.ColorIndex);
  CB2->setCurrentIndex(Row.LtypeIndex);
  for (int Field = 1; Field <= 3; ++Field) Edit(Field)->setText(Q(Row.Edits[Field - 1]));
}

TCombRowModel TFram::Read() const {
  TCombRowModel Row;
  Row.Checked = CheckBox1->isChecked();
  Row.ColorIndex = CB1->currentIndex();
  Row.LtypeIndex = CB2->currentIndex();
  for (int Field = 1; Field <= 3; ++Field) Row.Edits[Field - 1] = U(Edit(Field)->text());
  return Row;
}

QLineEdit* TFram::Edit(int Field) const {
  switch (Field) {
    case 1: return Edit1;
    case 2: return Edit2;
    default: return Edit3;
  }
}
