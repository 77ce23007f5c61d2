// The main window: start-up from the INI file, following the folder tree,
// the file list's filter, order and double-click, the settings and
// destination buttons, and closing.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <limits>

#include <signal.h>

#include "UiTestSupport.h"
#include "ui/FileListView.h"
#include "ui/QtText.h"
#include "ui/TerminationSignals.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/plExplorerFolderTree.h"

namespace {

const QString kLabel1Prefix = QStringLiteral("参照フォルダ：");

QStringList Captions(const TFileListView* List) {
  QStringList Out;
  for (int Row = 0; Row < List->rowCount(); ++Row) Out.append(List->Caption(Row));
  return Out;
}

QString CellText(const TFileListView* List, const QString& Caption, int Column) {
  for (int Row = 0; Row < List->rowCount(); ++Row)
    if (List->Caption(Row) == Caption) return List->item(Row, Column)->text();
  return QStringLiteral("<missing>");
}

void ClickHeader(TFileListView* List, int Column) {
  QHeaderView* Header = List->horizontalHeader();
  QTest::mouseClick(Header->viewport(), Qt::LeftButton, {},
                    QPoint(Header->sectionViewportPosition(Column) + 5, Header->height() / 2));
}

// A user's click on a folder of the tree.
void ClickFolder(TplExplorerFolderTree* Tree, const QString& Folder) {
  QTreeView* View = Tree->View();
  const QModelIndex Index = Tree->Model()->index(Folder);
  QVERIFY(Index.isValid());
  View->scrollTo(Index);
  QTest::mouseClick(View->viewport(), Qt::LeftButton, {}, View->visualRect(Index).center());
}

void DoubleClickList(TFileListView* List, QPoint At) { QTest::mouseDClick(List->viewport(), Qt::LeftButton, {}, At); }

// A stand-in for the desktop's xdg-open, first on the PATH while it lives:
// a shell script of the given body.
class TFakeXdgOpen {
 public:
  TFakeXdgOpen(const QString& Bin, const QByteArray& Body) : SavedPath_(qgetenv("PATH")) {
    QFile Script(MakeFolder(Bin) + "/xdg-open");
    if (!Script.open(QIODevice::WriteOnly)) qWarning("cannot write %s", qPrintable(Script.fileName()));
    Script.write("#!/bin/sh\n" + Body + "\n");
    Script.close();
    Script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", Bin.toUtf8() + ":" + SavedPath_);
  }
  ~TFakeXdgOpen() { qputenv("PATH", SavedPath_); }

 private:
  QByteArray SavedPath_;
};

// The window as wide as the test screen, so that the tree has room for the
// deep folders of the tests.
TIniState IniShowing(const QString& Folder) {
  TIniState Ini;
  Ini.preFolder = U(Folder);
  Ini.Form1Width = 800;
  return Ini;
}

// Every control and note of the command area lies wholly inside it, none
// overlapping another, and nothing covers or clips any of them. (A
// container's visible region leaves out its opaque children: only its
// bounds are compared.)
void ExpectCommandAreaShown(const TForm1& Form1) {
  QCOMPARE(Form1.Panel3->visibleRegion().boundingRect(), Form1.Panel3->rect());
  const QList<QWidget*> Controls = Form1.Panel3->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  QCOMPARE(Controls.size(), 12);
  for (const QWidget* C : Controls) {
    QVERIFY2(Form1.Panel3->rect().contains(C->geometry()), qPrintable(C->objectName() + C->metaObject()->className()));
    QCOMPARE(C->visibleRegion(), QRegion(C->rect()));
    for (const QWidget* Other : Controls)
      if (Other != C) QVERIFY2(!C->geometry().intersects(Other->geometry()), qPrintable(C->metaObject()->className()));
  }
  // A label's text fits it in the font it is drawn with.
  for (const QLabel* L : {Form1.Label2, Form1.Label3, Form1.Label4, Form1.LabelMode})
    QVERIFY(L->fontMetrics().horizontalAdvance(L->text()) <= L->width());
  for (const QPushButton* B :
       {Form1.Button1, Form1.Button2, Form1.ButtonPens, Form1.ButtonDryRun, Form1.ButtonT, Form1.ButtonX})
    QVERIFY(B->sizeHint().width() <= B->width());
  QCOMPARE(Form1.StatusBar1->visibleRegion().boundingRect(), Form1.StatusBar1->rect());
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartWithoutIniFile() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->windowTitle(), QStringLiteral("Lintorra Ver.1.10"));
    QCOMPARE(Form1->pos(), QPoint(64, 64));
    // Large enough for every control and note, within the screen.
    ExpectCommandAreaShown(*Form1);
    if (QTest::currentTestFailed()) return;
    QVERIFY(Form1->width() <= Form1->screen()->availableVirtualSize().width());
    QCOMPARE(Form1->height(), 520);
    QVERIFY(Form1->Panel1->width() >= 100 && Form1->Panel1->width() <= 200);
    // The columns show their headers with the sort indicator, and a typical
    // entry, in the fonts of the list.
    TFileListView* List = Form1->ListView1;
    const QStringList Typical{"平面図-001.jww", ".jww", "平面図1階倉庫", "2024/12/31 23:59:59", "12345678", "DOS"};
    for (int Column = 0; Column < kFileListColumns; ++Column) {
      const QString Header = List->horizontalHeaderItem(Column)->text();
      QVERIFY2(List->horizontalHeader()->fontMetrics().horizontalAdvance(Header) + 16 <= List->columnWidth(Column),
               qPrintable(Header));
      QVERIFY2(List->fontMetrics().horizontalAdvance(Typical[Column]) + 8 <= List->columnWidth(Column),
               qPrintable(Typical[Column]));
    }
    QCOMPARE(Form1->Label1->text(), kLabel1Prefix);
    QCOMPARE(Form1->ListView1->rowCount(), 0);
    // No folder is being searched.
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("参照フォルダを指定して下さい。"));
    QCOMPARE(Form1->LabelMode->text(), QStringLiteral("個別変換"));
    QCOMPARE(Form1->ComboBox1->currentIndex(), 0);
    QCOMPARE(Form1->ComboBox1->count(), 6);
    QVERIFY(Form1->Timer1->isActive());
    QCOMPARE(Form1->Timer1->interval(), 200);
    QVERIFY(QFileInfo(Home.WorkFolder()).isDir());
    QVERIFY(Form1->plExplorerFolderTree1->SelectFolder().isEmpty());
    QCOMPARE(Form1->Settings(), TConvSettings{});
    QVERIFY(Prompts.Messages.isEmpty());
  }

  void startFromIniFileAndCloseWritesIt_data() {
    QTest::addColumn<bool>("leaveFileInTemp");
    QTest::newRow("empty TEMP is removed") << false;
    QTest::newRow("TEMP holding a file stays") << true;
  }
  void startFromIniFileAndCloseWritesIt() {
    QFETCH(bool, leaveFileInTemp);
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Source = FolderWith(Home.Path("src"), {{"a.txt", 3}});
    TIniState Ini = IniShowing(Source);
    Ini.Form1Left = 30;
    Ini.Form1Top = 40;
    Ini.Form1Width = 780;
    Ini.Form1Height = 500;
    Ini.Form3Left = 90;
    Ini.Form3Top = 80;
    Ini.Panel1Width = 130;
    Ini.ColumnWidths = {100, 40, 120, 130, 60, 50};
    Ini.DestFolder = u"/somewhere/out";
    Ini.FileTypeIndex = 0;
    Ini.Settings.ColorMap[3] = 105;
    Ini.Settings.CombRows[2].Enabled = true;
    Home.WriteIni(Ini);

    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->pos(), QPoint(30, 40));
    QCOMPARE(Form1->size(), QSize(780, 500));
    QCOMPARE(Form1->Form3->pos(), QPoint(90, 80));
    QCOMPARE(Form1->Panel1->width(), 130);
    QCOMPARE(Form1->ListView1->columnWidth(2), 120);
    QCOMPARE(Form1->Edit1->text(), QStringLiteral("/somewhere/out"));
    QCOMPARE(Form1->Label1->text(), kLabel1Prefix + Source);
    QCOMPARE(Captions(Form1->ListView1), QStringList{"a.txt"});
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("ファイル検索しました（ファイル数：1）"));
    QCOMPARE(Form1->Settings().ColorMap[3], 105);
    QCOMPARE(Form1->Settings().VerRaise, 2);

    Form1->ListView1->setColumnWidth(2, 123);
    Form1->Splitter1->setSizes({140, Form1->Splitter1->width() - 140});
    if (leaveFileInTemp) WriteFile(Home.WorkFolder(), "left.png", 1);
    QVERIFY(Form1->close());

    const TIniState Saved = Home.ReadIni();
    QCOMPARE(Saved.Form1Left, 30);
    QCOMPARE(Saved.Form1Width, 780);
    QCOMPARE(Saved.Form3Left, 90);
    QCOMPARE(Saved.Panel1Width, 140);
    QCOMPARE(Saved.ColumnWidths[2], 123);
    QCOMPARE(Q(Saved.preFolder), Source);
    QCOMPARE(Q(Saved.DestFolder), QStringLiteral("/somewhere/out"));
    TConvSettings Expected = Ini.Settings;
    Expected.RecomputeVerRaise();
    QCOMPARE(Saved.Settings, Expected);
    QCOMPARE(QFileInfo::exists(Home.WorkFolder()), leaveFileInTemp);
  }

  // A logout or a kill closes the window as its close button does, so the
  // INI file keeps what the user set; the next such signal ends the process.
  void terminationSignalClosesAndWritesIni_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
  }
  void terminationSignalClosesAndWritesIni() {
    QFETCH(int, signalNumber);
    TProgramHome Home;
    TRecordingPrompts Prompts;
    TIniState Ini;
    Ini.DestFolder = u"/somewhere/out";
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    TTerminationSignals Signals(*Form1);
    QFile::remove(Home.IniFile());

    QCOMPARE(::raise(signalNumber), 0);
    QTRY_VERIFY(!Form1->isVisible());
    QCOMPARE(Q(Home.ReadIni().DestFolder), QStringLiteral("/somewhere/out"));
    QVERIFY(!QFileInfo::exists(Home.WorkFolder()));
    struct sigaction Now = {};
    QCOMPARE(::sigaction(signalNumber, nullptr, &Now), 0);
    QVERIFY(Now.sa_handler == SIG_DFL);
  }

  // Values of a hand-edited INI file that no window could take.
  void hostileIniValuesStayHarmless() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Folder = FolderWith(Home.Path("files"), {{"a.jww", 1}, {"b.txt", 1}});
    TIniState Ini = IniShowing(Folder);
    Ini.Form1Left = std::numeric_limits<std::int32_t>::min();
    Ini.Form1Width = std::numeric_limits<std::int32_t>::max();
    Ini.Form1Height = -5;
    Ini.Panel1Width = -100;
    Ini.ColumnWidths = {-1, 0, std::numeric_limits<std::int32_t>::max(), 80, 80, 80};
    Ini.FileTypeIndex = 9;  // no item: every file
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    QVERIFY(Form1->width() <= Form1->screen()->availableVirtualSize().width());
    QCOMPARE(Form1->ComboBox1->currentIndex(), -1);
    QCOMPARE(Form1->ListView1->rowCount(), 2);
    QVERIFY(Form1->close());
    QCOMPARE(Home.ReadIni().FileTypeIndex, -1);
  }

  // At its smallest, and from an INI size below that, the window keeps
  // every button inside; so it does during a run, with "中止" shown.
  void minimumSizeKeepsEveryButtonReachable() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    TIniState Ini = IniShowing(Home.Path("src"));
    WriteDrawings(Home.Path("src"), 30);
    Ini.DestFolder = U(MakeFolder(Home.Path("out")));
    Ini.Form1Width = 300;
    Ini.Form1Height = 150;
    Ini.Panel1Width = 400;
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->size(), Form1->minimumSize());
    ExpectCommandAreaShown(*Form1);
    if (QTest::currentTestFailed()) return;
    QVERIFY(Form1->ListView1->height() >= 60);
    Form1->resize(1, 1);
    QCOMPARE(Form1->size(), Form1->minimumSize());
    ExpectCommandAreaShown(*Form1);
    if (QTest::currentTestFailed()) return;

    Form1->ListView1->selectAll();
    bool StopShown = false;
    QObject::connect(Form1->ProgressBar1, &QProgressBar::valueChanged, Form1.get(), [&](int Value) {
      if (Value != 1) return;
      StopShown = Form1->ButtonStop->visibleRegion() == QRegion(Form1->ButtonStop->rect()) &&
                  Form1->ProgressBar1->visibleRegion() == QRegion(Form1->ProgressBar1->rect()) &&
                  Form1->LabelProgress->visibleRegion() == QRegion(Form1->LabelProgress->rect());
    });
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!Form1->IsRunning(), 60000);
    QVERIFY(StopShown);
  }

  void choosingFolderInTreeRelistsIt() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString A = FolderWith(Home.Path("A"), {{"in-a.jww", 5}});
    const QString B = FolderWith(Home.Path("B"), {{"in-b1.txt", 5}, {"in-b2.txt", 5}});
    Home.WriteIni(IniShowing(A));
    auto Form1 = StartForm1(Home);
    TplExplorerFolderTree* Tree = Form1->plExplorerFolderTree1;
    // The remembered folder shows selected, but the tree reports no choice.
    QCOMPARE(Tree->Model()->filePath(Tree->View()->currentIndex()), A);
    QVERIFY(Tree->SelectFolder().isEmpty());
    QCOMPARE(Captions(Form1->ListView1), QStringList{"in-a.jww"});

    ClickFolder(Tree, B);
    QCOMPARE(Tree->SelectFolder(), B);
    QTRY_COMPARE_WITH_TIMEOUT(Form1->Label1->text(), kLabel1Prefix + B, 2000);
    QCOMPARE(Q(Form1->preFolder()), B);
    QCOMPARE(Form1->ListView1->rowCount(), 2);

    // The same folder again does not rebuild the list: its order stays.
    ClickHeader(Form1->ListView1, 0);
    const QStringList Sorted = Captions(Form1->ListView1);
    QCOMPARE(Sorted, (QStringList{"in-b2.txt", "in-b1.txt"}));
    ClickFolder(Tree, B);
    QTest::qWait(500);
    QCOMPARE(Captions(Form1->ListView1), Sorted);
  }

  void filterListsMatchingFiles_data() {
    QTest::addColumn<int>("downKeys");
    QTest::addColumn<QStringList>("expected");
    const QStringList All{"a.jww", "b.JWW", "c.bak", "d.bk3", "e.txt", "f.jwc"};
    QTest::newRow("ALL Files") << 0 << All;
    QTest::newRow("Jw_cad files *.jw?") << 1 << QStringList{"a.jww", "b.JWW", "f.jwc"};
    QTest::newRow("drawings *.jww") << 2 << QStringList{"a.jww", "b.JWW"};
    QTest::newRow("figures *.jws") << 3 << QStringList{};
  }
  void filterListsMatchingFiles() {
    QFETCH(int, downKeys);
    QFETCH(QStringList, expected);
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Folder = FolderWith(
        Home.Path("files"), {{"a.jww", 4}, {"b.JWW", 4}, {"c.bak", 4}, {"d.bk3", 4}, {"e.txt", 4}, {"f.jwc", 4}});
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    for (int I = 0; I < downKeys; ++I) QTest::keyClick(Form1->ComboBox1, Qt::Key_Down);
    QCOMPARE(Form1->ComboBox1->currentIndex(), downKeys);

    QStringList Listed = Captions(Form1->ListView1);
    Listed.sort();
    QCOMPARE(Listed, expected);
    QCOMPARE(Form1->StatusBar1->currentMessage(),
             QStringLiteral("ファイル検索しました（ファイル数：%1）").arg(expected.size()));
    // The type column is the lower-case extension; files that are not what
    // their extension says show no version or memo.
    if (expected.contains("b.JWW")) {
      QCOMPARE(CellText(Form1->ListView1, "b.JWW", 1), QStringLiteral(".jww"));
      QCOMPARE(CellText(Form1->ListView1, "b.JWW", 5), QString());
      QCOMPARE(CellText(Form1->ListView1, "b.JWW", 4), QStringLiteral("4"));
    }
  }

  // A folder filled in shuffled order lists by name, letters compared
  // without their case; names that differ only in case by their code units.
  void rebuiltListIsInNameOrder() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    QStringList Names{"b.jww", "A.jww", "a.jww", "_x.jww", "a10.jww", "a2.jww", "図面.jww", "C.txt", "B2.JWW"};
    for (int I = 0; I < 40; ++I) Names.append(QStringLiteral("p%1.jww").arg(I * 7 % 40, 2, 10, QLatin1Char('0')));
    const QString Folder = MakeFolder(Home.Path("shuffled"));
    for (const QString& Name : Names) WriteFile(Folder, Name, 1);
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    QStringList Expected{"A.jww", "a.jww", "a10.jww", "a2.jww", "b.jww", "B2.JWW", "C.txt"};
    for (int I = 0; I < 40; ++I) Expected.append(QStringLiteral("p%1.jww").arg(I, 2, 10, QLatin1Char('0')));
    Expected << "_x.jww"
             << "図面.jww";
    QCOMPARE(Captions(Form1->ListView1), Expected);
    const QHeaderView* Header = Form1->ListView1->horizontalHeader();
    QVERIFY(Header->isSortIndicatorShown());
    QCOMPARE(Header->sortIndicatorSection(), 0);
    QCOMPARE(Header->sortIndicatorOrder(), Qt::AscendingOrder);
  }

  // The indicator shows the column and direction of every click, and a
  // rebuilt list shows name order again.
  void sortIndicatorFollowsClicks() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Folder = FolderWith(Home.Path("sizes"), {{"nine.txt", 9}, {"ten.txt", 10}});
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    TFileListView* List = Form1->ListView1;
    const QHeaderView* Header = List->horizontalHeader();
    const std::pair<int, Qt::SortOrder> Clicks[] = {
        {kSizeColumnIndex, Qt::DescendingOrder},
        {kSizeColumnIndex, Qt::AscendingOrder},
        {0, Qt::DescendingOrder},
        {3, Qt::AscendingOrder},
    };
    for (const auto& [Column, Order] : Clicks) {
      ClickHeader(List, Column);
      QCOMPARE(Header->sortIndicatorSection(), Column);
      QCOMPARE(Header->sortIndicatorOrder(), Order);
    }
    QTest::keyClick(Form1->ComboBox1, Qt::Key_Down);  // another filter rebuilds the list
    QCOMPARE(Header->sortIndicatorSection(), 0);
    QCOMPARE(Header->sortIndicatorOrder(), Qt::AscendingOrder);
  }

  void headerClicksSortAndFlipDirection() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Folder =
        FolderWith(Home.Path("sizes"), {{"nine.txt", 9}, {"ten.txt", 10}, {"hundred.txt", 100}, {"Apple.txt", 11}});
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    TFileListView* List = Form1->ListView1;

    // The first click sorts descending, every click flips, whatever the column.
    ClickHeader(List, kSizeColumnIndex);
    QCOMPARE(Captions(List), (QStringList{"hundred.txt", "Apple.txt", "ten.txt", "nine.txt"}));
    ClickHeader(List, kSizeColumnIndex);
    QCOMPARE(Captions(List), (QStringList{"nine.txt", "ten.txt", "Apple.txt", "hundred.txt"}));
    ClickHeader(List, 0);
    QCOMPARE(Captions(List), (QStringList{"ten.txt", "nine.txt", "hundred.txt", "Apple.txt"}));
    ClickHeader(List, 0);
    QCOMPARE(Captions(List), (QStringList{"Apple.txt", "hundred.txt", "nine.txt", "ten.txt"}));
  }

  void sortKeepsSelection() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Folder = FolderWith(Home.Path("sel"), {{"b.txt", 1}, {"a.txt", 1}, {"c.txt", 1}});
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    TFileListView* List = Form1->ListView1;
    for (int Row = 0; Row < List->rowCount(); ++Row)
      if (List->Caption(Row) == "a.txt") List->selectRow(Row);
    ClickHeader(List, 0);
    ClickHeader(List, 0);
    QCOMPARE(Captions(List), (QStringList{"a.txt", "b.txt", "c.txt"}));
    QCOMPARE(List->FirstSelectedRow(), 0);
    QVERIFY(!List->IsRowSelected(1) && !List->IsRowSelected(2));
  }

  void doubleClickMessages_data() {
    QTest::addColumn<QString>("folder");  // relative to the program home; "<blank>" for blanks
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("beeps");
    QTest::newRow("blank source folder") << "<blank>"
                                         << "参照フォルダを指定して下さい。" << int(TMessageIcon::Error) << 1;
    QTest::newRow("missing source folder") << "gone"
                                           << "参照フォルダが存在しません。" << int(TMessageIcon::None) << 0;
    QTest::newRow("nothing selected") << "empty"
                                      << "ファイルを指示して下さい。" << int(TMessageIcon::None) << 0;
  }
  void doubleClickMessages() {
    QFETCH(QString, folder);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(int, beeps);
    TProgramHome Home;
    TRecordingPrompts Prompts;
    MakeFolder(Home.Path("empty"));
    Home.WriteIni(IniShowing(folder == "<blank>" ? QStringLiteral("  　 ") : Home.Path(folder)));
    auto Form1 = StartForm1(Home);
    DoubleClickList(Form1->ListView1, QPoint(20, 20));
    QCOMPARE(Prompts.Messages.size(), 1);
    QCOMPARE(Prompts.Messages.front().Text, message);
    QCOMPARE(int(Prompts.Messages.front().Icon), icon);
    QCOMPARE(Prompts.Beeps, beeps);
    QCOMPARE(Form1->StatusBar1->currentMessage(), message);
  }

  // The first selected entry opens through the desktop's xdg-open, here a
  // stand-in script that writes down what it was given.
  void doubleClickOpensFirstSelectedFile() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Record = Home.Path("opened.txt");
    const TFakeXdgOpen XdgOpen(Home.Path("bin"), QStringLiteral("printf '%s' \"$1\" > '%1'").arg(Record).toUtf8());

    const QString Folder = FolderWith(Home.Path("drawings"), {{"図面.jww", 3}});
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    TFileListView* List = Form1->ListView1;
    DoubleClickList(List, List->visualItemRect(List->item(0, 0)).center());
    const QString Path = Folder + "/図面.jww";
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(Record).size() > 0, 5000);
    QFile Opened(Record);
    QVERIFY(Opened.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(Opened.readAll()), Path);
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("ファイル「%1」").arg(Path));
    QVERIFY(Prompts.Messages.isEmpty());
  }

  // A remembered folder that is gone: the status says so instead of
  // claiming a search.
  void missingSourceFolderIsNamedInTheStatus() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    Home.WriteIni(IniShowing(Home.Path("gone")));
    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("参照フォルダが存在しません。"));
    QVERIFY(Form1->Timer1->isActive());
    QVERIFY(Prompts.Messages.isEmpty());
  }

  // xdg-open finding no program for the file: the window says so.
  void doubleClickOnFileNoProgramOpens() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const TFakeXdgOpen XdgOpen(Home.Path("bin"), "exit 3");
    const QString Folder = FolderWith(Home.Path("drawings"), {{"a.xyz", 3}});
    Home.WriteIni(IniShowing(Folder));
    auto Form1 = StartForm1(Home);
    TFileListView* List = Form1->ListView1;
    DoubleClickList(List, List->visualItemRect(List->item(0, 0)).center());
    QTRY_COMPARE_WITH_TIMEOUT(Prompts.Messages.size(), 1, 5000);
    const QString Text = QStringLiteral("ファイル「%1/a.xyz」を開くプログラムが見つかりません。").arg(Folder);
    QCOMPARE(Prompts.Messages.front().Text, Text);
    QCOMPARE(int(Prompts.Messages.front().Icon), int(TMessageIcon::Error));
    QCOMPARE(Form1->StatusBar1->currentMessage(), Text);
  }

  // The mode beside "変換設定(S)" follows every OK of the dialog.
  void activeModeShownBesideSettingsButton() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    TIniState Ini;
    Ini.Settings.ConvMode = kModeCombination;
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->LabelMode->text(), QStringLiteral("組合せ変換"));
    const QRect Settings = Form1->Button2->geometry(), Mode = Form1->LabelMode->geometry();
    QVERIFY(Mode.left() > Settings.right() && Mode.left() - Settings.right() < 20);
    QVERIFY(Mode.top() < Settings.bottom() && Mode.bottom() > Settings.top());

    const std::pair<int, bool> Closings[] = {{0, true}, {1, false}, {1, true}};  // page, OK (else Cancel)
    const QString Expected[] = {QStringLiteral("個別変換"), QStringLiteral("個別変換"), QStringLiteral("組合せ変換")};
    for (int I = 0; I < 3; ++I) {
      const auto [Page, Ok] = Closings[I];
      QTimer::singleShot(0, Form1.get(), [&, Page = Page, Ok = Ok] {
        Form1->Form3->PageControl1->setCurrentIndex(Page);
        (Ok ? Form1->Form3->Button6 : Form1->Form3->Button7)->click();
      });
      QTest::mouseClick(Form1->Button2, Qt::LeftButton);
      QCOMPARE(Form1->LabelMode->text(), Expected[I]);
    }
  }

  void settingsButtonPausesPolling() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    auto Form1 = StartForm1(Home);
    bool TimerWasActive = true;
    bool DialogShown = false;
    QTimer::singleShot(0, Form1.get(), [&] {
      TimerWasActive = Form1->Timer1->isActive();
      DialogShown = Form1->Form3->isVisible();
      Form1->Form3->Button7->click();
    });
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    QVERIFY(DialogShown);
    QVERIFY(!TimerWasActive);
    QVERIFY(Form1->Timer1->isActive());
    QCOMPARE(Form1->Settings(), TConvSettings{});
  }

  // The chooser starts at the destination while it exists, otherwise at
  // the home folder.
  void destinationChooserSetsEdit1() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    TIniState Ini;
    const QString Start = MakeFolder(Home.Path("start"));
    Ini.DestFolder = U(Start);
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    Prompts.Answers = QStringList{"/chosen/one"};
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
    QCOMPARE(Form1->Edit1->text(), QStringLiteral("/chosen/one"));
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);  // cancelled: nothing changes
    QCOMPARE(Form1->Edit1->text(), QStringLiteral("/chosen/one"));
    QCOMPARE(Prompts.Asked.size(), 2);
    QCOMPARE(Prompts.Asked[0].Title, QStringLiteral("変換後のファイルを保存するフォルダを指定して下さい"));
    QCOMPARE(Prompts.Asked[0].Start, Start);
    QCOMPARE(Prompts.Asked[1].Start, QDir::homePath());  // "/chosen/one" does not exist
  }

 private:
  static constexpr int kSizeColumnIndex = 4;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
