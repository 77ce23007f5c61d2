#include "ui/Unit3.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>

#include "ui/Prompts.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"
#include "ui/Unit2.h"

namespace {

constexpr int kGridRowHeight = 24;
constexpr int kDesignWidth = 697;

// The captions of CheckBox1 .. CheckBox8.
const char16_t* const kSwitchCaptions[kOptSwitches + 1] = {
    nullptr,
    u"文字設定の線色番号も変更する　（※SXF対応線色指定時は変更しません）",
    u"寸法設定の線色番号も変更する　（※SXF対応線色指定時は変更しません）",
    u"線色指定のソリッド図形の線色番号を変更する",
    u"寸法図形の線色番号・線幅を変更する",
    u"ブロック図形の線色番号・線幅を変更する",
    u"寸法図形の線種番号を変更する",
    u"ブロック図形の線種番号を変更する",
    u"既に指定されている線幅を変更する",
};

const TFileBox kSaveBox{QStringLiteral("現在の設定を保存"), QStringLiteral("設定ファイル(*.set)"),
                        QStringLiteral("set"), true};
const TFileBox kOpenBox{QStringLiteral("保存した設定ファイルを開く"), QStringLiteral("設定ファイル(*.set)"),
                        QStringLiteral("set"), false};

QLabel* LabelAt(QWidget* Parent, const QString& Text, int Left, int Top) {
  auto* Label = new QLabel(Text, Parent);
  Label->move(Left, Top);
  Label->adjustSize();
  return Label;
}

// The design top of a control, or just below W where W's text needs more
// height in the font in use.
int Below(const QWidget* W, int DesignTop) { return std::max(DesignTop, W->geometry().bottom() + 1); }

// A grid of one fixed header row (the table's header) and one fixed name
// column; the other cells are edited in place, and a range of cells can be
// selected.
QTableWidget* StringGrid(QWidget* Parent, const QStringList& Headers, const QList<int>& Widths, int Rows,
                         std::u16string (*RowName)(int)) {
  auto* Grid = new QTableWidget(Rows, Headers.size(), Parent);
  Grid->setHorizontalHeaderLabels(Headers);
  Grid->verticalHeader()->hide();
  Grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Grid->horizontalHeader()->setFixedHeight(kGridRowHeight);
  Grid->horizontalHeader()->setSectionsClickable(false);
  for (int Column = 0; Column < Widths.size(); ++Column) Grid->setColumnWidth(Column, Widths[Column]);
  Grid->horizontalHeader()->setStretchLastSection(true);
  Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  Grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                        QAbstractItemView::EditKeyPressed);
  const QBrush Fixed = Grid->palette().button();
  for (int Row = 0; Row < Rows; ++Row) {
    auto* Name = new QTableWidgetItem(Q(RowName(Row + 1)));
    Name->setFlags(Qt::ItemIsEnabled);
    Name->setBackground(Fixed);
    Grid->setItem(Row, 0, Name);
    for (int Column = 1; Column < Headers.size(); ++Column) Grid->setItem(Row, Column, new QTableWidgetItem);
  }
  return Grid;
}

// A cell still being edited is written to the grid first: Enter on the
// default button, or a shortcut, does not take the focus from its editor.
void CommitEditing(QTableWidget* Grid) {
  if (QWidget* Editor = Grid->indexWidget(Grid->currentIndex())) emit Grid->itemDelegate()->commitData(Editor);
}

// Grid row r (1-based) of column Column.
QTableWidgetItem* Cell(QTableWidget* Grid, int Row, int Column) { return Grid->item(Row - 1, Column); }

template <std::size_t N>
void ShowCells(QTableWidget* Grid, int Column, const std::array<std::u16string, N>& Cells) {
  for (std::size_t Row = 1; Row < N; ++Row) Cell(Grid, static_cast<int>(Row), Column)->setText(Q(Cells[Row]));
}

template <std::size_t N>
void ReadCells(QTableWidget* Grid, int Column, std::array<std::u16string, N>& Cells) {
  for (std::size_t Row = 1; Row < N; ++Row) Cells[Row] = U(Cell(Grid, static_cast<int>(Row), Column)->text());
}

// The top and bottom grid rows (1-based) of the grid's selection, or the
// cursor's row when nothing is selected.
std::pair<int, int> SelectedRows(const QTableWidget* Grid) {
  const QList<QTableWidgetSelectionRange> Ranges = Grid->selectedRanges();
  if (!Ranges.isEmpty()) return {Ranges.front().topRow() + 1, Ranges.front().bottomRow() + 1};
  const int Row = std::max(Grid->currentRow(), 0) + 1;
  return {Row, Row};
}

}  // namespace

TForm3::TForm3(TConvSettings& Settings, QWidget* Parent) : QDialog(Parent), Settings_(Settings) {
  setWindowTitle(QStringLiteral("変換設定"));
  setFont(FormFont());
  PageControl1 = new QTabWidget(this);
  PageControl1->setGeometry(4, 4, 689, 348);
  Anchors_.Add(PageControl1, kStays, kRightEdge | kBottomEdge);
  BuildIndividualPage();
  BuildCombinationPage();
  BuildLowerPart();
  // The dialog can be enlarged from its design size, not made smaller.
  setMinimumSize(DesignSize_);
  resize(DesignSize_);
}

void TForm3::BuildIndividualPage() {
  TabSheet1 = new QWidget;
  PageControl1->addTab(TabSheet1, QStringLiteral("線色線種・個別変換(&1)"));
  const QLabel* Heading = LabelAt(TabSheet1, QStringLiteral("線色・線幅設定"), 8, 4);
  const int GridTop = Below(Heading, 22), GridBottom = 22 + 174;
  // The headers "変換後…番号" need 100 pixels in a Japanese face.
  StringGrid1 = StringGrid(TabSheet1, {"変換前", "変換後線色番号", "線幅"}, {160, 100, 145}, kColorRows, ColorRowName);
  StringGrid1->setGeometry(6, GridTop, 421, GridBottom - GridTop);
  Anchors_.Add(StringGrid1, kStays, kRightEdge | kBottomEdge);
  Anchors_.Add(LabelAt(TabSheet1, QStringLiteral("線種設定"), 434, 4), kRightEdge, kStays);
  StringGrid2 = StringGrid(TabSheet1, {"変換前", "変換後線種番号"}, {133, 100}, kLtypeRows, LtypeRowName);
  StringGrid2->setGeometry(434, GridTop, 249, GridBottom - GridTop);
  Anchors_.Add(StringGrid2, kRightEdge, kBottomEdge);

  // The three range-setting lines: label, field, button "設定", "にする";
  // they stay below the grids.
  auto RangeLine = [this](const QString& Caption, int Top, QLineEdit*& Edit, QPushButton*& Button) {
    Anchors_.Add(LabelAt(TabSheet1, Caption, 8, Top + 4), kBottomEdge, kStays);
    Edit = new QLineEdit(TabSheet1);
    Edit->setGeometry(144, Top, 56, 22);
    Button = new QPushButton(QStringLiteral("設定"), TabSheet1);
    Button->setGeometry(204, Top - 1, 44, 24);
    Anchors_.Add(Edit, kBottomEdge, kStays);
    Anchors_.Add(Button, kBottomEdge, kStays);
    Anchors_.Add(LabelAt(TabSheet1, QStringLiteral("にする"), 254, Top + 4), kBottomEdge, kStays);
  };
  RangeLine(QStringLiteral("◆範囲選択した線色を"), 202, Edit1, Button1);
  RangeLine(QStringLiteral("◆範囲選択した線幅を"), 226, Edit3, Button3);
  RangeLine(QStringLiteral("◆範囲選択した線種を"), 250, Edit2, Button2);
  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
  Anchors_.Add(LabelAt(TabSheet1,
                       QStringLiteral(
                           "※範囲選択は、[Shift]＋[↑][↓]で行う事が出来ます。[Shift]＋マウス選択は出来ませんので注意。"),
                       8, 278),
               kBottomEdge, kStays);
}

void TForm3::BuildCombinationPage() {
  TabSheet2 = new QWidget;
  PageControl1->addTab(TabSheet2, QStringLiteral("線色線種・組合せ変換(&2)"));
  const QFont Gothic = GothicFont(13);
  QLabel* Source = LabelAt(TabSheet2, QStringLiteral("変換元　　　　線色　　　　　　　　　　　　　　　　線種"), 8, 4);
  Source->setFont(Gothic);
  Source->adjustSize();
  QLabel* Target = LabelAt(TabSheet2, QStringLiteral("変換先　線色番号　線種番号　　線幅"), 404, 4);
  Target->setFont(Gothic);
  Target->adjustSize();
  const int RowsTop = std::max(Below(Source, 22), Below(Target, 22));
  for (int N = 1; N <= kCombRowCount; ++N) {
    Fram[N] = new TFram(TabSheet2);
    Fram[N]->move(8, RowsTop + (N - 1) * 25);
  }
  const QLabel* First = LabelAt(
      TabSheet2, QStringLiteral("指定した変換元の線色及び線種の線・円弧データを　変換先線色・線種・線幅に変更します。"),
      8, Below(Fram[kCombRowCount], 276));
  LabelAt(
      TabSheet2,
      QStringLiteral("設定、点・文字・寸法図形・ソリッド図形は変更しません。ブロック図形は下記チェックに依存します。"),
      8, Below(First, 294));
}

// The design placements from the top down, each line at least as far below
// the one before as its text needs in the font in use.
void TForm3::BuildLowerPart() {
  const char16_t* const Notes[] = {
      u"※線色番号は、0:無変換、1～9、101(SXF-1)～356(SXF-256)　で入力して下さい。",
      u"※線種番号は、0:無変換、1～9、11～19、31(SXF-1)～62(SXF-32)　で入力して下さい。",
      u"※線幅は、-1:無変換、0:基本幅、1～30000[1/100mm単位]の整数値　で入力して下さい。",
  };
  int Top = 356;
  for (const char16_t* Text : Notes) {
    QLabel* Note = new QLabel(Q(Text), this);
    Note->setFont(GothicFont(15));
    QPalette Blue = Note->palette();
    Blue.setColor(QPalette::WindowText, Qt::blue);
    Note->setPalette(Blue);
    Note->adjustSize();
    Note->move(8, Top);
    Top += std::max(18, Note->height());
    Anchors_.Add(Note, kBottomEdge, kStays);
  }
  // Switches 1 to 5 on the left; 8, 6 and 7 on the right beside the short
  // captions of 3 to 5. Created in that order so that the tab order
  // follows the columns.
  Top += 4;
  const int Order[kOptSwitches] = {1, 2, 3, 4, 5, 8, 6, 7};
  int Pitch = 20;
  for (int I = 0; I < kOptSwitches; ++I) {
    const int K = Order[I];
    CheckBox[K] = new QCheckBox(Q(kSwitchCaptions[K]), this);
    CheckBox[K]->adjustSize();
    Pitch = std::max(Pitch, CheckBox[K]->height());
  }
  for (int I = 0; I < kOptSwitches; ++I) {
    QCheckBox* Box = CheckBox[Order[I]];
    Box->move(I < 5 ? 8 : 462, Top + (I < 5 ? I : I - 3) * Pitch);
    Anchors_.Add(Box, kBottomEdge, kStays);
  }
  Top += 5 * Pitch + 4;

  Button4 = new QPushButton(QStringLiteral("現在の設定を保存(&S)"), this);
  Button4->setGeometry(8, Top, 160, 30);
  Button5 = new QPushButton(QStringLiteral("保存した設定を開く(O)"), this);
  Button5->setGeometry(176, Top, 170, 30);
  Button6 = new QPushButton(QStringLiteral("ＯＫ (&Y)"), this);
  Button6->setGeometry(462, Top, 110, 30);
  Button6->setDefault(true);
  Button7 = new QPushButton(QStringLiteral("キャンセル (&N)"), this);
  Button7->setGeometry(580, Top, 110, 30);
  Anchors_.Add(Button4, kBottomEdge, kStays);
  Anchors_.Add(Button5, kBottomEdge, kStays);
  Anchors_.Add(Button6, kRightEdge | kBottomEdge, kStays);
  Anchors_.Add(Button7, kRightEdge | kBottomEdge, kStays);
  Top += 30 + 6;

  LabelMessage = new QLabel(this);
  LabelMessage->setGeometry(8, Top, 681, std::max(18, LabelMessage->sizeHint().height()));
  QPalette Red = LabelMessage->palette();
  Red.setColor(QPalette::WindowText, QColor(200, 0, 0));
  LabelMessage->setPalette(Red);
  Anchors_.Add(LabelMessage, kBottomEdge, kRightEdge);
  DesignSize_ = QSize(kDesignWidth, LabelMessage->geometry().bottom() + 1 + 4);
  connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm3::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TForm3::Button7Click);
}

void TForm3::showEvent(QShowEvent* Event) {
  // A dialog restored from its minimised state is shown again by the
  // platform: that is no new showing, and the edits made in it stay.
  if (!Event->spontaneous()) FormShow();
  QDialog::showEvent(Event);
}

void TForm3::resizeEvent(QResizeEvent* Event) {
  QDialog::resizeEvent(Event);
  Anchors_.Apply((size() - DesignSize_).expandedTo(QSize(0, 0)));
}

void TForm3::FormShow() {
  OKflag = false;
  LabelMessage->clear();
  for (int N = 1; N <= kCombRowCount; ++N) Fram[N]->Init();
  Model_.FillFrom(Settings_);
  ModelToControls();
  StringGrid1->setCurrentCell(0, 1);
  StringGrid2->setCurrentCell(0, 1);
}

void TForm3::ModelToControls() {
  ShowCells(StringGrid1, 1, Model_.ColorCells);
  ShowCells(StringGrid1, 2, Model_.WidthCells);
  ShowCells(StringGrid2, 1, Model_.LtypeCells);
  for (int K = 1; K <= kOptSwitches; ++K) CheckBox[K]->setChecked(Model_.Checks[K]);
  PageControl1->setCurrentIndex(Model_.Page);
  for (int N = 1; N <= kCombRowCount; ++N) Fram[N]->Show(Model_.Rows[N]);
}

void TForm3::ControlsToModel() {
  CommitEditing(StringGrid1);
  CommitEditing(StringGrid2);
  ReadCells(StringGrid1, 1, Model_.ColorCells);
  ReadCells(StringGrid1, 2, Model_.WidthCells);
  ReadCells(StringGrid2, 1, Model_.LtypeCells);
  for (int K = 1; K <= kOptSwitches; ++K) Model_.Checks[K] = CheckBox[K]->isChecked();
  Model_.Page = PageControl1->currentIndex();
  for (int N = 1; N <= kCombRowCount; ++N) Model_.Rows[N] = Fram[N]->Read();
}

void TForm3::SetRange(TRangeColumn Column, QLineEdit* Edit, QTableWidget* Grid) {
  ControlsToModel();
  std::u16string Text = U(Edit->text());
  const auto [Top, Bottom] = SelectedRows(Grid);
  if (const std::optional<TInputFault> Fault = Model_.SetRange(Column, Text, Top, Bottom)) {
    ShowFault(*Fault);
    return;
  }
  Edit->setText(Q(Text));
  ModelToControls();
  LabelMessage->clear();
}

void TForm3::Button1Click() { SetRange(TRangeColumn::Color, Edit1, StringGrid1); }
void TForm3::Button2Click() { SetRange(TRangeColumn::Ltype, Edit2, StringGrid2); }
void TForm3::Button3Click() { SetRange(TRangeColumn::Width, Edit3, StringGrid1); }

QLineEdit* TForm3::RangeEdit(int Field) const {
  switch (Field) {
    case 1: return Edit1;
    case 2: return Edit2;
    default: return Edit3;
  }
}

void TForm3::ShowFault(const TInputFault& Fault) {
  Prompts().Beep();
  LabelMessage->setText(Q(Fault.Message()));
  PageControl1->setCurrentIndex(Fault.Page());
  switch (Fault.Place) {
    case TInputFault::ColorGrid:
    case TInputFault::LtypeGrid: {
      QTableWidget* Grid = Fault.Place == TInputFault::ColorGrid ? StringGrid1 : StringGrid2;
      Grid->setFocus();
      Grid->setCurrentCell(Fault.Row - 1, Fault.Column);
      break;
    }
    case TInputFault::CombRow: Fram[Fault.Row]->Edit(Fault.Column)->setFocus(); break;
    case TInputFault::RangeEdit: RangeEdit(Fault.Column)->setFocus(); break;
  }
}

bool TForm3::CheckInput() {
  ControlsToModel();
  const std::optional<TInputFault> Fault = Model_.CheckInput();
  ModelToControls();  // the cells passed on the way, rewritten as numbers
  if (Fault) ShowFault(*Fault);
  else LabelMessage->clear();
  return !Fault;
}

void TForm3::Button4Click() {
  if (!CheckInput()) return;
  const QString Name = Prompts().ChooseFile(this, kSaveBox, ProposedInExistingFolder(Q(Settings_.SetFileName)));
  if (Name.isEmpty()) return;
  Settings_.SetFileName = U(Name);
  Model_.SaveFile(Settings_.SetFileName);  // a file that cannot be written is not reported
}

void TForm3::Button5Click() {
  const QString Name = Prompts().ChooseFile(this, kOpenBox, ProposedInExistingFolder(Q(Settings_.SetFileName)));
  if (Name.isEmpty()) return;
  ControlsToModel();
  // One that cannot be read leaves the reset controls; one that is no
  // settings file leaves everything as it was.
  if (Model_.OpenFile(U(Name)) == TOpenResult::NoSettings) {
    Prompts().Message(this, TMessageIcon::Error,
                      QStringLiteral("このファイルは設定ファイルではありません。\r\nファイル名：%1").arg(Name));
    return;
  }
  Settings_.SetFileName = U(Name);
  ModelToControls();
  LabelMessage->clear();
}

void TForm3::Button6Click() {
  ControlsToModel();
  const TOkOutcome Outcome = Model_.Accept(Settings_);
  ModelToControls();
  if (Outcome.Fault) {
    ShowFault(*Outcome.Fault);
    return;
  }
  if (!Outcome.Notice.empty()) Prompts().Message(this, TMessageIcon::Information, Q(Outcome.Notice));
  OKflag = true;
  accept();
}

void TForm3::Button7Click() {
  OKflag = false;
  reject();
}
