#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "documents/FileInfo.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "documents/jwctype.h"
#include "documents/jwwtype.h"
#include "packaging/Version.h"
#include "support/Func_2.h"
#include "support/fOpen.h"
#include "ui/ConvertRun.h"
#include "ui/DryRunWindow.h"
#include "ui/FileListOrder.h"
#include "ui/FileListView.h"
#include "ui/PenCensusWindow.h"
#include "ui/PreviewPane.h"
#include "ui/Prompts.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"
#include "ui/Unit3.h"
#include "ui/plExplorerFolderTree.h"

namespace {

constexpr int kTimerInterval = 200;
const QString kLabel1Prefix = QStringLiteral("参照フォルダ：");
const QString kStatusSearching = QStringLiteral("ファイル検索中です");
const QString kMsgNoSource = QStringLiteral("参照フォルダを指定して下さい。");
const QString kMsgSourceMissing = QStringLiteral("参照フォルダが存在しません。");
const QString kModeIndividualText = QStringLiteral("個別変換");
const QString kModeCombinationText = QStringLiteral("組合せ変換");

// Room the window keeps for the folder tree at its smallest.
constexpr int kPanel1MinWidth = 100;
// The list keeps its header and a few rows at the window's smallest.
constexpr int kListMinHeight = 84;
constexpr int kFirstStartPanel1Width = 200;
constexpr int kFirstStartHeight = 520;

struct TFileFilter {
  const char16_t* Text;
  const char16_t* Pattern;
};
const TFileFilter kFileFilters[] = {
    {u"ALL Files (*.*)", u"*"},
    {u"Jw_cad ファイル (*.jw?)", u"*.jw?"},
    {u"Jw_cad 図面ファイル (*.jww)", u"*.jww"},
    {u"Jw_cad 図形ファイル (*.jws)", u"*.jws"},
    {u"JW_CAD 図面ファイル (*.jwc)", u"*.jwc"},
    {u"JW_CAD 図形ファイル (*.jwk)", u"*.jwk"},
};

// The search pattern of a filter item; "*" when none is selected.
std::u16string PatternOf(int ItemIndex) {
  const int Count = static_cast<int>(std::size(kFileFilters));
  return (ItemIndex >= 0 && ItemIndex < Count) ? kFileFilters[ItemIndex].Pattern : u"*";
}

const char16_t* const kColumnHeaders[kFileListColumns] = {u"ファイル名", u"種類",   u"図面メモ",
                                                          u"更新日時",   u"サイズ", u"Ver."};
// Typical entries the columns are first made wide enough for.
const char16_t* const kTypicalCells[kFileListColumns] = {u"平面図-A01-1F.jww",   u".jww",     u"平面図1階倉庫改修計画",
                                                         u"2024/12/31 23:59:59", u"12345678", u"DOS"};

// Positions and widths read from the INI file, kept where the toolkit's
// geometry arithmetic cannot overflow.
constexpr int kMaxCoordinate = 1 << 16;
int Coordinate(std::int32_t V) { return std::clamp(V, -kMaxCoordinate, kMaxCoordinate); }
int Extent(std::int32_t V) { return std::clamp(V, 0, kMaxCoordinate); }

// A button of at least the design width, wider when its caption needs it in
// the font in use.
QPushButton* ButtonAt(QWidget* Parent, const QString& Caption, int Left, int Top, int Width, int Height) {
  auto* Button = new QPushButton(Caption, Parent);
  Button->setGeometry(Left, Top, std::max(Width, Button->sizeHint().width()), Height);
  return Button;
}

int RightEdge(std::initializer_list<const QWidget*> Widgets) {
  int Right = 0;
  for (const QWidget* W : Widgets) Right = std::max(Right, W->geometry().x() + W->geometry().width());
  return Right;
}

QLabel* LabelAt(QWidget* Parent, const QString& Caption, int Left, int Top) {
  auto* Label = new QLabel(Caption, Parent);
  Label->move(Left, Top);
  Label->adjustSize();
  return Label;
}

}  // namespace

TForm1::TForm1(const TAppPaths& Paths, QWidget* Parent) : QMainWindow(Parent), Paths_(Paths) {
  setWindowTitle(QStringLiteral("Lintorra Ver.") + QLatin1String(kLintorraVersion));
  setFont(FormFont());
  resize(773, 375);
  BuildControls();
  FormCreate();
  Form3 = new TForm3(Settings_, this);
}

TForm1::~TForm1() {
  if (TConvertRun* Run = std::exchange(Run_, nullptr)) {
    disconnect(Run, nullptr, this, nullptr);
    delete Run;  // stops the run and waits for it
  }
  FormDestroy();
}

void TForm1::BuildControls() {
  auto* Client = new QWidget(this);
  auto* Layout = new QVBoxLayout(Client);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  setCentralWidget(Client);

  Label1 = new QLabel(kLabel1Prefix, Client);
  Label1->setFixedHeight(16);
  Label1->setAutoFillBackground(true);
  QPalette White = Label1->palette();
  White.setColor(QPalette::Window, Qt::white);
  Label1->setPalette(White);
  Layout->addWidget(Label1);

  Splitter1 = new QSplitter(Qt::Horizontal, Client);
  Splitter1->setChildrenCollapsible(false);
  Panel1 = new QWidget(Splitter1);
  auto* Panel1Layout = new QVBoxLayout(Panel1);
  Panel1Layout->setContentsMargins(0, 0, 0, 0);
  Panel2 = new QWidget(Splitter1);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({233, 540});
  Layout->addWidget(Splitter1, 1);

  auto* Panel2Layout = new QVBoxLayout(Panel2);
  Panel2Layout->setContentsMargins(0, 0, 0, 0);
  Panel2Layout->setSpacing(0);
  Panel3 = new QWidget(Panel2);
  Panel3->setFixedHeight(80);
  Panel2Layout->addWidget(Panel3);
  BuildCommandArea();
  // The splitter never squeezes the command area, so every button stays
  // inside the window.
  Panel1->setMinimumWidth(kPanel1MinWidth);
  Panel2->setMinimumWidth(Panel3->minimumWidth());

  ListView1 = new TFileListView(Panel2);
  ListView1->setColumnCount(kFileListColumns);
  for (int Column = 0; Column < kFileListColumns; ++Column) {
    auto* Header = new QTableWidgetItem(Q(kColumnHeaders[Column]));
    const Qt::Alignment Side = Column == kSizeColumn ? Qt::AlignRight : Qt::AlignLeft;
    Header->setTextAlignment(Side | Qt::AlignVCenter);
    ListView1->setHorizontalHeaderItem(Column, Header);
    ListView1->setColumnWidth(Column, 80);
  }
  ListView1->horizontalHeader()->setSortIndicatorShown(true);
  ListView1->setMinimumHeight(kListMinHeight);
  ListView1->SetCompare(
      [this](const QTableWidgetItem& A, const QTableWidgetItem& B) { return ListView1Compare(A, B); });
  connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm1::ListView1ColumnClick);
  connect(ListView1, &TFileListView::DoubleClicked, this, &TForm1::ListView1DblClick);
  Splitter2 = new QSplitter(Qt::Horizontal, Panel2);
  Splitter2->setChildrenCollapsible(false);
  Splitter2->addWidget(ListView1);
  PreviewPane1 = new TPreviewPane([this] { return Settings_; }, Paths_.WorkFolder, Splitter2);
  PreviewPane1->FollowSelection(ListView1, [this] { return Q(PreFolder_); });
  Splitter2->addWidget(PreviewPane1);
  Splitter2->setStretchFactor(0, 1);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setSizes({1000, 1000});  // halves, whatever the width
  Panel2Layout->addWidget(Splitter2, 1);

  StatusBar1 = new QStatusBar(this);
  setStatusBar(StatusBar1);
  BuildProgressArea();

  Timer1 = new QTimer(this);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  setMinimumSize(minimumSizeHint());
}

// Beside the status text while a run goes on: the count, the bar and the
// button that stops the run.
void TForm1::BuildProgressArea() {
  LabelProgress = new QLabel(StatusBar1);
  ProgressBar1 = new QProgressBar(StatusBar1);
  ProgressBar1->setFixedWidth(160);
  ProgressBar1->setTextVisible(false);
  ButtonStop = new QToolButton(StatusBar1);
  ButtonStop->setText(QStringLiteral("中止"));
  ButtonStop->setToolButtonStyle(Qt::ToolButtonTextOnly);
  connect(ButtonStop, &QToolButton::clicked, this, &TForm1::ButtonStopClick);
  for (QWidget* W :
       {static_cast<QWidget*>(LabelProgress), static_cast<QWidget*>(ProgressBar1), static_cast<QWidget*>(ButtonStop)}) {
    StatusBar1->addPermanentWidget(W);
    W->hide();
  }
  // The design height, or what the stop button needs in the font in use.
  StatusBar1->setFixedHeight(std::max(19, ButtonStop->sizeHint().height() + 2));
}

// The design placements, moved right where a text needs more room in the
// font in use, so that nothing overlaps.
void TForm1::BuildCommandArea() {
  Label2 = LabelAt(Panel3, QStringLiteral("ファイルの種類："), 5, 5);
  ComboBox1 = new QComboBox(Panel3);
  const int FilterLeft = std::max(107, RightEdge({Label2}) + 2);
  ComboBox1->setGeometry(FilterLeft, 2, std::max(305 - FilterLeft, 150), 24);
  for (const TFileFilter& Filter : kFileFilters) ComboBox1->addItem(Q(Filter.Text));
  connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Select);

  Button1 = ButtonAt(Panel3, QStringLiteral("保存先フォルダ"), 2, 27, 105, 25);
  connect(Button1, &QPushButton::clicked, this, &TForm1::BrowseForFolder1Execute);
  Edit1 = new QLineEdit(Panel3);
  Edit1->setGeometry(2, 52, RightEdge({ComboBox1}) - 2, 24);
  Edit1->setReadOnly(true);
  Edit1->setFocusPolicy(Qt::ClickFocus);

  const int SettingsLeft = RightEdge({ComboBox1, Edit1}) + 6;
  Button2 = ButtonAt(Panel3, QStringLiteral("変換設定(&S)"), SettingsLeft, 2, 106, 36);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  Label3 = LabelAt(Panel3, QStringLiteral("※変換対象は"), SettingsLeft + 1, 40);
  Label4 = LabelAt(Panel3, QStringLiteral("JWW/JWSのみ"), SettingsLeft + 17, 60);

  // Drawn like the read-only field: a value to read, not a button.
  LabelMode = new QLabel(Panel3);
  LabelMode->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  LabelMode->setAlignment(Qt::AlignCenter);
  LabelMode->setAutoFillBackground(true);
  QPalette Field = LabelMode->palette();
  Field.setColor(QPalette::Window, Field.color(QPalette::Base));
  LabelMode->setPalette(Field);
  LabelMode->setToolTip(QStringLiteral("変換設定で選ばれている変換"));
  const int ModeLeft = RightEdge({Button2, Label3, Label4}) + 6;
  // Below the mode, the looks before converting: the pens in use and what a
  // run would change. The column is as wide as its widest caption needs.
  ButtonPens = ButtonAt(Panel3, QStringLiteral("使用ペン一覧"), ModeLeft, 27, 0, 24);
  connect(ButtonPens, &QPushButton::clicked, this, &TForm1::ButtonPensClick);
  ButtonDryRun = ButtonAt(Panel3, QStringLiteral("変換内容の確認"), ModeLeft, 52, 0, 24);
  connect(ButtonDryRun, &QPushButton::clicked, this, &TForm1::ButtonDryRunClick);
  const QFontMetrics Metrics(LabelMode->font());
  const int ModeWidth =
      std::max({Metrics.horizontalAdvance(kModeIndividualText) + 16,
                Metrics.horizontalAdvance(kModeCombinationText) + 16, ButtonPens->width(), ButtonDryRun->width()});
  LabelMode->setGeometry(ModeLeft, 2, ModeWidth, 23);
  for (QPushButton* B : {ButtonPens, ButtonDryRun}) B->resize(ModeWidth, 24);

  const int RunLeft = RightEdge({LabelMode}) + 6;
  ButtonT = ButtonAt(Panel3, QStringLiteral("変換 (&T)"), RunLeft, 2, 106, 46);
  connect(ButtonT, &QPushButton::clicked, this, &TForm1::ButtonTClick);
  ButtonX = ButtonAt(Panel3, QStringLiteral("終了 (&X)"), RunLeft, 51, ButtonT->width(), 25);
  connect(ButtonX, &QPushButton::clicked, this, &TForm1::ButtonXClick);
  Panel3->setMinimumWidth(RightEdge({ButtonT, ButtonX}) + 2);
}

// ---- Start-up and shutdown ----

void TForm1::FormCreate() {
  if (!plExplorerFolderTree1) {
    plExplorerFolderTree1 = new TplExplorerFolderTree(Panel1);
    Panel1->layout()->addWidget(plExplorerFolderTree1);
  }
  plExplorerFolderTree1->SetRootFolder(QString());
  plExplorerFolderTree1->SetSelectFolder(QString());

  // The tree belongs to Panel1, which comes before Panel2.
  setTabOrder(plExplorerFolderTree1->View(), ComboBox1);
  setTabOrder(ComboBox1, Button1);
  setTabOrder(Button1, ButtonPens);
  setTabOrder(ButtonPens, ButtonDryRun);
  setTabOrder(ButtonDryRun, ButtonT);
  setTabOrder(ButtonT, ButtonX);
  setTabOrder(ButtonX, Button2);
  setTabOrder(Button2, ListView1);
}

void TForm1::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  if (Shown_) return;
  Shown_ = true;
  FormShow();
}

void TForm1::FormShow() {
  FolderCreate(Paths_.WorkFolder);  // a failure only keeps bound images from being extracted
  const bool FirstStart = !IsFile(Paths_.IniFileName);
  ApplyIni(LoadIni(Paths_.IniFileName));
  if (FirstStart) FirstStartLayout();
  ShowMode();
  BrowseStart_ = Edit1->text();
  DocumentsCreate();
  plExplorerFolderTree1->SetSelectFolder(Q(PreFolder_));
  Sort1_ = -1;
  Sort2_ = 0;
  Label1->setText(kLabel1Prefix + Q(PreFolder_));
  FileListMake(PreFolder_);
  StartTimer();
}

void TForm1::ApplyIni(const TIniState& Ini) {
  // A hand-edited file cannot ask for a window larger than the desktop or
  // for coordinates that overflow the toolkit's arithmetic.
  // Nor one too small for its buttons.
  const QSize Desktop = screen()->availableVirtualSize();
  const QSize Least = minimumSize();
  move(Coordinate(Ini.Form1Left), Coordinate(Ini.Form1Top));
  resize(std::clamp(Ini.Form1Width, Least.width(), std::max(Desktop.width(), Least.width())),
         std::clamp(Ini.Form1Height, Least.height(), std::max(Desktop.height(), Least.height())));
  Form3->move(Coordinate(Ini.Form3Left), Coordinate(Ini.Form3Top));
  Splitter1->setSizes({Extent(Ini.Panel1Width), std::max(width() - Extent(Ini.Panel1Width), 1)});
  for (int Column = 0; Column < kFileListColumns; ++Column)
    ListView1->setColumnWidth(Column, Extent(Ini.ColumnWidths[Column]));
  PreFolder_ = Ini.preFolder;
  Edit1->setText(Q(Ini.DestFolder));
  ComboBox1->setCurrentIndex(Ini.FileTypeIndex);
  Settings_ = Ini.Settings;
}

void TForm1::FirstStartLayout() {
  const QFontMetrics Cells(ListView1->font());
  const QHeaderView* Header = ListView1->horizontalHeader();
  const QFontMetrics Headers(Header->font());
  // A header keeps room for its sort indicator.
  const int Indicator = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, Header) +
                        style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, Header);
  int ColumnsWidth = 0;
  for (int Column = 0; Column < kFileListColumns; ++Column) {
    const int Width = std::max(Headers.horizontalAdvance(Q(kColumnHeaders[Column])) + Indicator,
                               Cells.horizontalAdvance(Q(kTypicalCells[Column]))) +
                      12;
    ListView1->setColumnWidth(Column, Width);
    ColumnsWidth += Width;
  }
  const int ListWidth =
      ColumnsWidth + 2 * ListView1->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListView1);
  // The preview beside the list starts as wide as the list.
  const int Panel2Width = std::max(Panel2->minimumWidth(), 2 * ListWidth + Splitter2->handleWidth());
  const QSize Desktop = screen()->availableVirtualSize();
  const int Width = kFirstStartPanel1Width + Splitter1->handleWidth() + Panel2Width;
  resize(std::clamp(Width, minimumWidth(), std::max(Desktop.width(), minimumWidth())),
         std::clamp(kFirstStartHeight, minimumHeight(), std::max(Desktop.height(), minimumHeight())));
  Splitter1->setSizes({kFirstStartPanel1Width, std::max(width() - kFirstStartPanel1Width, 1)});
  Splitter2->setSizes({ListWidth, ListWidth});
}

void TForm1::ShowMode() {
  LabelMode->setText(Settings_.IsCombinationMode() ? kModeCombinationText : kModeIndividualText);
}

TIniState TForm1::CaptureIni() const {
  TIniState Ini;
  Ini.Form1Left = pos().x();
  Ini.Form1Top = pos().y();
  Ini.Form1Width = width();
  Ini.Form1Height = height();
  Ini.Form3Left = Form3->pos().x();
  Ini.Form3Top = Form3->pos().y();
  Ini.Panel1Width = Splitter1->sizes().value(0);
  for (int Column = 0; Column < kFileListColumns; ++Column) Ini.ColumnWidths[Column] = ListView1->columnWidth(Column);
  Ini.preFolder = PreFolder_;
  Ini.DestFolder = U(Edit1->text());
  Ini.FileTypeIndex = ComboBox1->currentIndex();
  Ini.Settings = Settings_;
  return Ini;
}

void TForm1::DocumentsCreate() {
  JwcTypeInit();
  JwwTypeInit();
  Jww_ = std::make_unique<TJwwData>();
  Jws_ = std::make_unique<TJwsData>();
  Jwc_ = std::make_unique<TJwcData>();
  Jwk_ = std::make_unique<TJwkData>();
  Jww_->BindImageExp = true;
  Jww_->BindImageExr = true;
  Jww_->BindImageFolder = Paths_.WorkFolder;
  Jws_->BindImageFolder = Paths_.WorkFolder;
  Jws_->BindImageExp = false;
  Jws_->BindImageExr = false;
}

void TForm1::DocumentsFree() {
  Jws_->DataFree();
  JwwDataFree(*Jww_);
  Jwk_.reset();
  Jwc_.reset();
  Jws_.reset();
  Jww_.reset();
}

void TForm1::closeEvent(QCloseEvent* Event) {
  // During a run the window closes only once the run has stopped.
  if (Run_) {
    Event->ignore();
    if (CloseAfterRun_) return;
    if (Prompts().Ask(this, QStringLiteral("ファイルを変換中です。変換を中止して終了しますか？"))) {
      CloseAfterRun_ = true;
      Run_->RequestStop();
    }
    return;
  }
  if (!Closed_) {
    Closed_ = true;
    FormClose();
  }
  QMainWindow::closeEvent(Event);
}

void TForm1::FormClose() {
  StopTimer();
  if (Jww_) DocumentsFree();
  FolderRemove(Paths_.WorkFolder);  // only an empty folder goes
  SaveIni(Paths_.IniFileName, CaptureIni());
}

void TForm1::FormDestroy() {
  delete plExplorerFolderTree1;
  plExplorerFolderTree1 = nullptr;
}

// ---- Timer, dialogs, buttons ----

void TForm1::StartTimer() {
  Timer1->setInterval(kTimerInterval);
  Timer1->start();
}

void TForm1::StopTimer() { Timer1->stop(); }

void TForm1::Timer1Timer() {
  StopTimer();
  const std::u16string Folder = U(plExplorerFolderTree1->SelectFolder());
  if (Folder != PreFolder_ && !Folder.empty()) {
    Label1->setText(kLabel1Prefix + Q(Folder));
    FileListMake(Folder);
    PreFolder_ = Folder;
  }
  StartTimer();
}

void TForm1::Button2Click() {
  StopTimer();
  plExplorerFolderTree1->IdleStop();
  Form3->exec();
  ShowMode();
  PreviewPane1->SettingsChanged();
  plExplorerFolderTree1->IdleRestart();
  StartTimer();
}

void TForm1::ButtonXClick() { close(); }

void TForm1::BrowseForFolder1Execute() {
  const QString Folder = Prompts().ChooseFolder(
      this, QStringLiteral("変換後のファイルを保存するフォルダを指定して下さい"), ExistingFolderOrHome(BrowseStart_));
  if (!Folder.isEmpty()) BrowseForFolder1Accept(Folder);
}

void TForm1::BrowseForFolder1Accept(const QString& Folder) {
  Edit1->setText(Folder);
  BrowseStart_ = Folder;
}

TRunInputs TForm1::RunInputs() const {
  TRunInputs Inputs{Settings_, PreFolder_, U(Edit1->text()), {}};
  Inputs.Entries.reserve(static_cast<std::size_t>(ListView1->rowCount()));
  for (int Row = 0; Row < ListView1->rowCount(); ++Row)
    Inputs.Entries.push_back({U(ListView1->Caption(Row)), ListView1->IsRowSelected(Row)});
  return Inputs;
}

void TForm1::ButtonTClick() {
  if (Run_) return;
  TRunInputs Inputs = RunInputs();
  StopTimer();
  Run_ = new TConvertRun(std::move(Inputs), *Jww_, *Jws_, *this, this);
  connect(Run_, &TConvertRun::Finished, this, &TForm1::RunFinished, Qt::QueuedConnection);
  SetRunning(true);
  Run_->Start();
}

// Both windows work on documents of their own, so they may look while a run
// converts.
void TForm1::ButtonPensClick() {
  std::vector<std::u16string> Paths;
  for (const TBatchEntry& E : RunInputs().Entries)
    if (E.Selected) Paths.push_back(PathJoin(PreFolder_, E.Caption));
  if (!PensWindow_) PensWindow_ = new TPenCensusWindow(this);
  PensWindow_->Start(std::move(Paths));
  PensWindow_->show();
  PensWindow_->raise();
}

void TForm1::ButtonDryRunClick() {
  if (!DryRunWindow_) DryRunWindow_ = new TDryRunWindow(this);
  DryRunWindow_->Start(RunInputs());
  DryRunWindow_->show();
  DryRunWindow_->raise();
}

void TForm1::ButtonStopClick() {
  if (!Run_) return;
  Run_->RequestStop();
  ButtonStop->setEnabled(false);
}

void TForm1::RunFinished() {
  TConvertRun* Run = std::exchange(Run_, nullptr);
  if (!Run) return;
  const TBatchOutcome Outcome = Run->Outcome();
  if (Run->Stopped())
    SetStatus(Q(ConvertedCountStatus(Outcome.Converted(), Outcome.NotConverted())) +
              QStringLiteral("（中止しました）"));
  delete Run;
  SetRunning(false);
  ShowRunResults(Outcome.Files);
  (std::exchange(FocusAfterRun_, false) ? Button1 : ButtonT)->setFocus();
  if (CloseAfterRun_) {
    close();
    return;
  }
  StartTimer();
}

void TForm1::ShowRunResults(const std::vector<TFileOutcome>& Files) {
  if (const std::u16string Message = LoneExtensionMessage(Files); !Message.empty()) {
    Prompts().Message(this, TMessageIcon::None, Q(Message));
    return;
  }
  const std::vector<TResultRow> Rows = ResultRows(Files);
  if (Rows.empty()) return;
  Prompts().Results(this, Rows, QDir(Edit1->text()).filePath(QStringLiteral("変換結果.csv")));
}

void TForm1::SetRunning(bool Running) {
  for (QWidget* Input :
       {Panel1, static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
        static_cast<QWidget*>(ButtonT), static_cast<QWidget*>(ListView1)})
    Input->setEnabled(!Running);
  LabelProgress->setVisible(Running);
  ProgressBar1->setVisible(Running);
  ButtonStop->setVisible(Running);
  ButtonStop->setEnabled(Running);
  if (Running) {
    LabelProgress->clear();
    ProgressBar1->reset();
    ButtonStop->setFocus();
  }
}

// ---- The batch run's host ----

void TForm1::ShowMessage(std::u16string_view Text) { Prompts().Message(this, TMessageIcon::None, Q(Text)); }

void TForm1::ShowConfirmation(std::u16string_view Text) {
  Prompts().Message(this, TMessageIcon::Confirmation, Q(Text));
}

void TForm1::Beep() { Prompts().Beep(); }

void TForm1::FocusDestinationButton() {
  // Button1 is disabled while the run goes on: it gets the focus at the end.
  if (Run_) FocusAfterRun_ = true;
  else Button1->setFocus();
}

void TForm1::SetStatusText(std::u16string_view Text) { SetStatus(Q(Text)); }

void TForm1::Progress(int Done, int Total) {
  LabelProgress->setText(QStringLiteral("%1 / %2").arg(Done).arg(Total));
  ProgressBar1->setRange(0, std::max(Total, 1));
  ProgressBar1->setValue(Done);
}

void TForm1::SetStatus(const QString& Text) {
  if (Text.isEmpty()) StatusBar1->clearMessage();
  else StatusBar1->showMessage(Text);
  StatusBar1->repaint();
}

// ---- The file list ----

void TForm1::FileListMake(const std::u16string& Folder) {
  StopTimer();
  SetStatus(kStatusSearching);
  ListView1->setRowCount(0);
  ListView1->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  if (!IsFolder(Folder)) {
    // Nothing is searched until a folder is chosen.
    SetStatus(StripBlanks(Folder).empty() ? kMsgNoSource : kMsgSourceMissing);
    StartTimer();
    return;
  }
  FileListSearch(WithTrailingDelim(Folder), PatternOf(ComboBox1->currentIndex()));
  SortByName(FileList);
  ListView1->setUpdatesEnabled(false);
  for (int I = 0; I < FileListN; ++I) {
    const TFileField& F = FileList[static_cast<std::size_t>(I)];
    std::u16string Version, Memo;
    FileInfoGet(PathJoin(Folder, F.name), *Jww_, *Jws_, *Jwc_, *Jwk_, Version, Memo);
    ListView1->AddRow(
        {Q(F.name), Q(FileExtLower(F.name)), Q(Memo), Q(F.date + u" " + F.time), Q(IntToText(F.size)), Q(Version)});
  }
  ListView1->setUpdatesEnabled(true);
  SetStatus(QStringLiteral("ファイル検索しました（ファイル数：%1）").arg(FileListN));
  FileListClear();
  StartTimer();
}

void TForm1::ComboBox1Select() { FileListMake(PreFolder_); }

void TForm1::ListView1ColumnClick(int Column) {
  Sort1_ = Column;
  Sort2_ = 1 - Sort2_;
  ListView1->SortBy(Sort1_);
  ListView1->horizontalHeader()->setSortIndicator(Sort1_, Sort2_ == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

int TForm1::ListView1Compare(const QTableWidgetItem& Item1, const QTableWidgetItem& Item2) const {
  return ListTextCompare(Sort1_, Sort2_, U(Item1.text()), U(Item2.text()));
}

void TForm1::ListView1DblClick() {
  const QString NoFile = QStringLiteral("ファイルを指示して下さい。");
  if (StripBlanks(PreFolder_).empty()) {
    Prompts().Beep();
    Prompts().Message(this, TMessageIcon::Error, kMsgNoSource);
    SetStatus(kMsgNoSource);
    return;
  }
  if (!IsFolder(PreFolder_)) {
    Prompts().Message(this, TMessageIcon::None, kMsgSourceMissing);
    SetStatus(kMsgSourceMissing);
    return;
  }
  const int Row = ListView1->FirstSelectedRow();
  if (Row < 0) {
    Prompts().Message(this, TMessageIcon::None, NoFile);
    SetStatus(NoFile);
    return;
  }
  const std::u16string Caption = U(ListView1->Caption(Row));
  if (Caption.empty()) {
    SetStatus(NoFile);
    return;
  }
  const std::u16string Path = PathJoin(PreFolder_, Caption);
  SetStatus(QStringLiteral("ファイル「%1」").arg(Q(Path)));
  try {
    // The answer comes from another thread, possibly after the window is gone.
    TMisc::Open(Path, [Window = QPointer<TForm1>(this), File = Q(Path)](bool Opened) {
      if (Opened) return;
      if (QCoreApplication* App = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            App,
            [Window, File] {
              if (Window) Window->OpenFailed(File);
            },
            Qt::QueuedConnection);
    });
  } catch (...) {
    // No memory to ask the desktop: nothing was opened, nothing is reported.
  }
}

void TForm1::OpenFailed(const QString& Path) {
  const QString Text = QStringLiteral("ファイル「%1」を開くプログラムが見つかりません。").arg(Path);
  SetStatus(Text);
  Prompts().Message(this, TMessageIcon::Error, Text);
}
