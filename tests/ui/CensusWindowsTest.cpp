// The windows "使用ペン一覧" and "変換内容の確認": their work on a worker
// thread with progress and stop, their tables (the total, each file on
// selection, sortable, colour cells in the drawing's own colours), CSV saving,
// and the main window's buttons that open them. The dry run writes nothing.
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "UiTestSupport.h"
#include "conversion/ConversionFixtures.h"
#include "conversion/DrawingLoad.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "ui/DryRunWindow.h"
#include "ui/FileListView.h"
#include "ui/PenCensusWindow.h"
#include "ui/PreviewPane.h"
#include "ui/QtText.h"
#include "ui/Unit1.h"

namespace {

using namespace convfixtures;

// A drawing of version 6.00 holding every kind of record with pen colour
// Color, on a white background with pen 2 red and pen 3 green.
void WriteDrawing(const QString& Path, int Color) {
  TJwwData D;
  InitJww(D, 600);
  D.EntCol[0].aPenColor = 0xFFFFFF;
  D.EntCol[2].aPenColor = 0x0000FF;
  D.EntCol[3].aPenColor = 0x00FF00;
  AddContent(D, Pen(Color, 1));
  QVERIFY(D.FileOut(U(Path), 600));
}

void WriteCut(const QString& From, const QString& To) {
  QFile In(From);
  QVERIFY(In.open(QIODevice::ReadOnly));
  const QByteArray Bytes = In.readAll();
  QFile Out(To);
  QVERIFY(Out.open(QIODevice::WriteOnly));
  Out.write(Bytes.left(Bytes.size() / 2));
}

// Every file and folder below Dir with its size and time.
QStringList Listing(const QString& Dir) {
  QStringList L;
  QDirIterator It(Dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
  while (It.hasNext()) {
    const QFileInfo F(It.next());
    L.append(F.filePath() + QLatin1Char(' ') + QString::number(F.size()) + QLatin1Char(' ') +
             QString::number(F.lastModified().toMSecsSinceEpoch()));
  }
  L.sort();
  return L;
}

bool Finishes(TFileTableWindow& W) {
  if (!W.Busy()) return true;
  QSignalSpy Spy(&W, &TFileTableWindow::WorkFinished);
  return Spy.wait(60000);
}

// The shown table's rows (in the order shown) as texts joined by "|".
QStringList Shown(const TFileTableWindow& W) {
  QStringList Rows;
  const QAbstractItemModel* M = W.Table->model();
  for (int R = 0; R < M->rowCount(); ++R) {
    QStringList Cells;
    for (int C = 0; C < M->columnCount(); ++C) Cells.append(M->index(R, C).data().toString());
    Rows.append(Cells.join(QLatin1Char('|')));
  }
  return Rows;
}

int RowOf(const TFileTableWindow& W, const QString& Start) {
  const QStringList Rows = Shown(W);
  for (int R = 0; R < Rows.size(); ++R)
    if (Rows[R].startsWith(Start)) return R;
  return -1;
}

}  // namespace

class CensusWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    Dir_ = std::make_unique<QTemporaryDir>();
    WriteDrawing(Path("a.jww"), 2);
    WriteDrawing(Path("b.jww"), 3);
    WriteCut(Path("a.jww"), Path("cut.jww"));
    TJwsData Figure;
    InitJws(Figure, 600);
    AddContent(Figure, Pen(2, 1));
    QVERIFY(Figure.FileOut(U(Path("c.jws")), 600));
  }

  void countsEachFileAndTheTotal() {
    TPenCensusWindow W;
    W.show();
    W.Start({U(Path("a.jww")), U(Path("b.jww")), U(Path("cut.jww")), U(Path("c.jws"))});
    QVERIFY(Finishes(W));
    QCOMPARE(W.EntryCount(), 5);
    QCOMPARE(W.EntryText(0, 0), QStringLiteral("（合計）"));
    QCOMPARE(W.EntryText(1, 1), QStringLiteral("JWW Ver.6.00"));
    QCOMPARE(W.EntryText(3, 1), Q(FileProblemCaption(TFileProblem::Incomplete)));
    QCOMPARE(W.EntryText(4, 1), QStringLiteral("JWS Ver.6.00"));
    QVERIFY(W.Summary->text().contains(QStringLiteral("4 個")));

    // The total: the lines of a.jww and c.jws have pen 2, b.jww's pen 3.
    W.SelectEntry(0);
    const int Red = RowOf(W, QStringLiteral("図形|線|線色 2|"));
    QVERIFY(Red >= 0);
    QCOMPARE(Shown(W)[Red], QStringLiteral("図形|線|線色 2|線種1:実線|基本幅|2"));
    QVERIFY(Shown(W).contains(QStringLiteral("図形|線|線色 3|線種1:実線|基本幅|1")));
    QVERIFY(Shown(W).contains(QStringLiteral("ブロック内|線|線色 3|線種1:実線|基本幅|1")));
    QVERIFY(Shown(W).contains(QStringLiteral("設定|文字種 1|線色 1|||2")));  // a.jww's and b.jww's
    // Drawn in the drawing's own colours: the first file with pen 2 shows it red on white.
    const QModelIndex Color = W.Table->model()->index(Red, 2);
    QCOMPARE(Color.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    QCOMPARE(Color.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 255));
    QVERIFY(!W.Table->model()->index(Red, 3).data(Qt::ForegroundRole).isValid());

    // Each file on selection.
    W.SelectEntry(2);
    QVERIFY(W.Detail->text().startsWith(QStringLiteral("b.jww：JWW Ver.6.00")));
    QCOMPARE(RowOf(W, QStringLiteral("図形|線|線色 2|")), -1);
    QVERIFY(RowOf(W, QStringLiteral("図形|線|線色 3|")) >= 0);
    QCOMPARE(W.Table->model()
                 ->index(RowOf(W, QStringLiteral("図形|線|線色 3|")), 2)
                 .data(Qt::ForegroundRole)
                 .value<QBrush>()
                 .color(),
             QColor(0, 255, 0));
    W.SelectEntry(3);
    QCOMPARE(W.Table->model()->rowCount(), 0);
    QVERIFY(W.Detail->text().contains(Q(FileProblemCaption(TFileProblem::Incomplete))));
  }

  void sortsByAnyColumn() {
    TPenCensusWindow W;
    W.Start({U(Path("a.jww")), U(Path("b.jww")), U(Path("c.jws"))});
    QVERIFY(Finishes(W));
    W.SelectEntry(0);
    auto Column = [&](int C) {
      QList<qlonglong> V;
      const QAbstractItemModel* M = W.Table->model();
      for (int R = 0; R < M->rowCount(); ++R) V.append(M->index(R, C).data(kSortRole).toLongLong());
      return V;
    };
    W.Table->sortByColumn(5, Qt::DescendingOrder);
    QList<qlonglong> Counts = Column(5);
    QVERIFY(Counts.size() > 3);
    QVERIFY(std::is_sorted(Counts.rbegin(), Counts.rend()));
    QVERIFY(Counts.front() > Counts.back());
    W.Table->sortByColumn(2, Qt::AscendingOrder);
    const QList<qlonglong> Colors = Column(2);
    QVERIFY(std::is_sorted(Colors.begin(), Colors.end()));
    QVERIFY(Colors.front() < Colors.back());
  }

  void savesCsvInUtf8WithBomAndReportsAFailedWrite() {
    TRecordingPrompts Prompts;
    TPenCensusWindow W;
    W.Start({U(Path("a.jww")), U(Path("cut.jww"))});
    QVERIFY(Finishes(W));
    Prompts.Answers = {Path("pens.csv")};
    QTest::mouseClick(W.SaveButton, Qt::LeftButton);
    QFile F(Path("pens.csv"));
    QVERIFY(F.open(QIODevice::ReadOnly));
    const QByteArray Bytes = F.readAll();
    QVERIFY(Bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList Lines = QString::fromUtf8(Bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(Lines[0], QStringLiteral("ファイル,区分,種類,線色,線種,線幅,数,備考"));
    QVERIFY(Lines.contains(QStringLiteral("a.jww,図形,線,線色 2,線種1:実線,基本幅,1,")));
    QVERIFY(Lines.contains(QStringLiteral("cut.jww,,,,,,,") + Q(FileProblemCaption(TFileProblem::Incomplete))));
    QVERIFY(Lines.contains(QStringLiteral("（合計）,図形,線,線色 2,線種1:実線,基本幅,1,")));
    QVERIFY(Prompts.Messages.isEmpty());

    Prompts.Answers = {Path("missing/pens.csv")};
    QTest::mouseClick(W.SaveButton, Qt::LeftButton);
    QCOMPARE(Prompts.Messages.size(), 1);
    QCOMPARE(Prompts.Messages[0].Icon, TMessageIcon::Error);
    QVERIFY(Prompts.Messages[0].Text.startsWith(QStringLiteral("CSVファイルを保存できませんでした。")));
  }

  void stopEndsTheWorkEarly() {
    const QStringList Names = WriteDrawings(Path("many"), 1500);
    std::vector<std::u16string> Paths;
    for (const QString& N : Names) Paths.push_back(U(Path("many/" + N)));
    TPenCensusWindow W;
    W.show();
    W.Start(Paths);
    QVERIFY(W.StopButton->isVisible());
    QTest::mouseClick(W.StopButton, Qt::LeftButton);
    QVERIFY(Finishes(W));
    QVERIFY(W.EntryCount() - 1 < static_cast<int>(Paths.size()));
    QVERIFY(W.Summary->text().contains(QStringLiteral("中止しました")));
    QVERIFY(!W.StopButton->isVisible());
  }

  // From the main window, with the settings and folders it holds: the run's
  // handling of each entry, the changes, and nothing written anywhere.
  void dryRunOfTheSelectedFilesWritesNothing() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Src = MakeFolder(Home.Path("src")), Out = MakeFolder(Home.Path("out"));
    WriteDrawing(Src + "/a.jww", 2);
    WriteCut(Src + "/a.jww", Src + "/cut.jww");
    WriteFile(Src, QStringLiteral("notes.txt"), 3);
    WriteFile(Out, QStringLiteral("a.jww"), 3);
    TIniState Ini;
    Ini.preFolder = U(Src);
    Ini.DestFolder = U(Out);
    Ini.Settings.ColorMap[2] = 5;
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    Form1->ListView1->selectAll();
    // The preview of the current file keeps a folder of its own in TEMP.
    QTRY_VERIFY(!Form1->PreviewPane1->Busy());
    const QStringList Before = Listing(Home.Path(QString()));
    QTest::mouseClick(Form1->ButtonDryRun, Qt::LeftButton);
    auto* W = Form1->findChild<TDryRunWindow*>();
    QVERIFY(W);
    QVERIFY(W->isVisible());
    QVERIFY(Finishes(*W));
    QCOMPARE(Listing(Home.Path(QString())), Before);
    QVERIFY2(Prompts.Messages.isEmpty(), "the run's messages are listed, not shown");

    QCOMPARE(W->EntryCount(), 4);
    QCOMPARE(W->EntryText(1, 0), QStringLiteral("a.jww"));
    QVERIFY(W->EntryText(1, 1).startsWith(QStringLiteral("変換（")));
    QCOMPARE(W->EntryText(2, 1), Q(FileProblemCaption(TFileProblem::Incomplete)));
    QCOMPARE(W->EntryText(3, 1), QStringLiteral("対象外"));
    W->SelectEntry(3);
    QVERIFY(W->Detail->text().startsWith(QStringLiteral("このファイル拡張子（種類）の変換には対応していません。")));
    W->SelectEntry(1);
    QVERIFY(W->Detail->text().contains(QStringLiteral("a.BAK に控えてから置き換えます")));
    QVERIFY(W->Detail->text().contains(QStringLiteral("保存形式：Ver.6.00")));
    // Lines, arcs, points and texts of the drawing take colour 5.
    QVERIFY(Shown(*W).contains(QStringLiteral("図形|線|線色 2|線種1:実線|基本幅|線色 5|線種1:実線|基本幅|1")));
    const int Row = RowOf(*W, QStringLiteral("図形|線|"));
    QCOMPARE(W->Table->model()->index(Row, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    W->SelectEntry(0);
    QVERIFY(
        W->Detail->text().contains(QStringLiteral("変換されるファイル 1 個、変換できないファイル 1 個、対象外 1 個")));
    QVERIFY(W->Summary->text().contains(QStringLiteral("ファイルは何も書き込まれていません")));

    Prompts.Answers = {Home.Path("dry.csv")};
    QTest::mouseClick(W->SaveButton, Qt::LeftButton);
    QFile F(Home.Path("dry.csv"));
    QVERIFY(F.open(QIODevice::ReadOnly));
    const QStringList Lines = QString::fromUtf8(F.readAll().mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(Lines[0],
             QStringLiteral("ファイル,区分,種類,変換前の線色,変換前の線種,変換前の線幅,変換後の線色,変換後の線種,"
                            "変換後の線幅,数,備考"));
    QVERIFY(Lines.contains(QStringLiteral("a.jww,図形,線,線色 2,線種1:実線,基本幅,線色 5,線種1:実線,基本幅,1,")));
    QVERIFY(Lines.contains(QStringLiteral("（合計）,図形,線,線色 2,線種1:実線,基本幅,線色 5,線種1:実線,基本幅,1,")));
    QVERIFY(Lines.contains(
        QStringLiteral("notes.txt,,,,,,,,,,対象外：このファイル拡張子（種類）の変換には対応していません。 "
                       "ファイル名：notes.txt 　　拡張子：.txt")));
  }

  void dryRunShowsTheRunsRefusal() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Src = MakeFolder(Home.Path("src"));
    WriteDrawing(Src + "/a.jww", 2);
    TIniState Ini;
    Ini.preFolder = U(Src);
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    Form1->ListView1->selectAll();
    QTest::mouseClick(Form1->ButtonDryRun, Qt::LeftButton);
    auto* W = Form1->findChild<TDryRunWindow*>();
    QVERIFY(W && Finishes(*W));
    QCOMPARE(W->Summary->text(), QStringLiteral("変換は開始されません：保存先フォルダを指示して下さい。"));
    QCOMPARE(W->EntryCount(), 1);
    QVERIFY(Prompts.Messages.isEmpty());
  }

  void pensOfTheSelectedFiles() {
    TProgramHome Home;
    const QString Src = MakeFolder(Home.Path("src"));
    WriteDrawing(Src + "/a.jww", 2);
    WriteDrawing(Src + "/b.jww", 3);
    TIniState Ini;
    Ini.preFolder = U(Src);
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    Form1->ListView1->selectRow(1);
    QTest::mouseClick(Form1->ButtonPens, Qt::LeftButton);
    auto* W = Form1->findChild<TPenCensusWindow*>();
    QVERIFY(W && Finishes(*W));
    QCOMPARE(W->EntryCount(), 2);
    QCOMPARE(W->EntryText(1, 0), QStringLiteral("b.jww"));
    // Asked again, the same window counts the new selection.
    Form1->ListView1->selectAll();
    QTest::mouseClick(Form1->ButtonPens, Qt::LeftButton);
    QCOMPARE(Form1->findChildren<TPenCensusWindow*>().size(), 1);
    QVERIFY(Finishes(*W));
    QCOMPARE(W->EntryCount(), 3);
  }

 private:
  QString Path(const QString& Name) const { return Dir_->filePath(Name); }
  std::unique_ptr<QTemporaryDir> Dir_;
};

QTEST_MAIN(CensusWindowsTest)
#include "CensusWindowsTest.moc"
