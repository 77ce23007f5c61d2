// The list "変換結果" a run ends with when it did not convert every selected
// file: one window for the whole run, each such file with its result and
// reason, and the list saved as a CSV file (a failed save reported). A run
// that converts everything shows nothing more; a single file skipped for its
// extension keeps the message it has always had.
#include <QDirIterator>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include "UiTestSupport.h"
#include "conversion/BatchRun.h"
#include "conversion/ConversionFixtures.h"
#include "ui/FileListView.h"
#include "ui/QtText.h"
#include "ui/ResultWindow.h"
#include "ui/Unit1.h"

namespace {

using namespace convfixtures;

QByteArray Contents(const QString& Path) {
  QFile File(Path);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void WriteBytes(const QString& Path, const QByteArray& Bytes) {
  QFile File(Path);
  QVERIFY(File.open(QIODevice::WriteOnly));
  File.write(Bytes);
}

// Every file below Dir with its contents.
QMap<QString, QByteArray> Snapshot(const QString& Dir) {
  QMap<QString, QByteArray> Files;
  QDirIterator It(Dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (It.hasNext()) {
    const QString Path = It.next();
    Files.insert(Path, Contents(Path));
  }
  return Files;
}

QStringList RowTexts(const std::vector<TResultRow>& Rows) {
  QStringList Texts;
  for (const TResultRow& R : Rows) Texts.append(Q(R.Name) + "|" + Q(R.Result) + "|" + Q(R.Reason));
  return Texts;
}

QStringList TableTexts(const QTableWidget& Table) {
  QStringList Texts;
  for (int Row = 0; Row < Table.rowCount(); ++Row) {
    QStringList Cells;
    for (int Col = 0; Col < Table.columnCount(); ++Col) Cells.append(Table.item(Row, Col)->text());
    Texts.append(Cells.join('|'));
  }
  return Texts;
}

void SelectAll(TFileListView* List) {
  List->setFocus();
  List->selectAll();
}

void WriteDrawing(const QString& Path) {
  TJwwData D;
  InitJww(D, 600);
  AddContent(D, Pen(2, 1));
  QVERIFY(D.FileOut(U(Path), 600));
}

void WriteFigure(const QString& Path) {
  TJwsData D;
  InitJws(D, 600);
  AddContent(D, Pen(2, 1));
  QVERIFY(D.FileOut(U(Path), 600));
}

}  // namespace

class ResultWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Good files, a cut drawing, a text named as a drawing and a text file;
  // a.jww and a.jws both already in the destination.
  void runListsEveryFileItDidNotConvert() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const TRunFolders F = PrepareRun(Home, 0);
    WriteDrawing(QDir(F.Source).filePath("a.jww"));
    WriteFigure(QDir(F.Source).filePath("a.jws"));
    const QByteArray Whole = Contents(QDir(F.Source).filePath("a.jww"));
    const int Cut = 1000;  // inside the header
    WriteBytes(QDir(F.Source).filePath("cut.jww"), Whole.left(Cut));
    WriteBytes(QDir(F.Source).filePath("text.jww"), "not a drawing");
    WriteBytes(QDir(F.Source).filePath("notes.txt"), "notes");
    WriteBytes(QDir(F.Dest).filePath("a.jww"), "w");
    WriteBytes(QDir(F.Dest).filePath("a.jws"), "s");
    const auto Sources = Snapshot(F.Source);

    auto Form1 = StartForm1(Home);
    SelectAll(Form1->ListView1);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));

    QCOMPARE(Form1->StatusBar1->currentMessage(),
             QStringLiteral("2個のファイルを変換しました。（3個のファイルは変換できませんでした）"));
    QVERIFY2(Prompts.Messages.isEmpty(), "no message box of its own for any file");
    QCOMPARE(Prompts.ResultLists.size(), 1);
    QCOMPARE(Prompts.ResultLists[0].CsvProposed, QDir(F.Dest).filePath("変換結果.csv"));
    // In list order; the one of a.jww and a.jws converted second kept the
    // earlier backup and took a name of its own.
    QString Second;
    const QMap<QString, QString> Expected = {
        {"cut.jww",
         QStringLiteral("cut.jww|変換できませんでした|ヘッダーが途中で終わっています（オフセット %1）").arg(Cut)},
        {"text.jww", QStringLiteral("text.jww|変換できませんでした|JWWファイルではありません")},
        {"notes.txt",
         QStringLiteral(
             "notes.txt|スキップしました|このファイル拡張子（種類）の変換には対応していません（拡張子：.txt）")},
    };
    QStringList ExpectedRows;
    for (int Row = 0; Row < Form1->ListView1->rowCount(); ++Row) {
      const QString Name = Form1->ListView1->Caption(Row);
      if (Name.startsWith("a.") && Second.isNull()) {
        Second = Name == "a.jww" ? "a.jws" : "a.jww";
      } else if (Name.startsWith("a.")) {
        ExpectedRows << QStringLiteral("%1|変換しました|既存のファイルを「%1.BAK」にバックアップしました").arg(Name);
      } else {
        ExpectedRows << Expected.value(Name);
      }
    }
    QCOMPARE(RowTexts(Prompts.ResultLists[0].Rows), ExpectedRows);

    // Both earlier contents are kept; the failed files leave no output; the
    // sources are untouched.
    const QString First = Second == "a.jws" ? "w" : "s";
    QCOMPARE(Contents(QDir(F.Dest).filePath("a.BAK")), First.toLatin1());
    QCOMPARE(Contents(QDir(F.Dest).filePath(Second + ".BAK")), QByteArray(First == "w" ? "s" : "w"));
    QCOMPARE(QDir(F.Dest).entryList(QDir::Files, QDir::Name),
             (QStringList{"a.BAK", "a.jws", "a.jww", Second + ".BAK"}));
    QCOMPARE(Snapshot(F.Source), Sources);
  }

  void aRunThatConvertsEverythingShowsNoList() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const TRunFolders F = PrepareRun(Home, 0);
    WriteDrawing(QDir(F.Source).filePath("a.jww"));
    auto Form1 = StartForm1(Home);
    SelectAll(Form1->ListView1);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("1個のファイルを変換しました。"));
    QVERIFY(Prompts.ResultLists.isEmpty());
    QVERIFY(Prompts.Messages.isEmpty());
  }

  // One entry skipped for its extension and nothing else to report: the
  // message such an entry has always had, once, and no list.
  void aLoneSkippedExtensionKeepsItsMessage() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const TRunFolders F = PrepareRun(Home, 0);
    WriteDrawing(QDir(F.Source).filePath("a.jww"));
    WriteBytes(QDir(F.Source).filePath("b.txt"), "b");
    auto Form1 = StartForm1(Home);
    SelectAll(Form1->ListView1);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));
    QCOMPARE(Prompts.MessageTexts(), QStringList{Q(UnsupportedExtensionMessage(u"b.txt", u".txt"))});
    QVERIFY(Prompts.ResultLists.isEmpty());
  }

  void windowListsTheRowsAndSavesThemAsCsv() {
    TRecordingPrompts Prompts;
    QTemporaryDir Dir;
    const std::vector<TResultRow> Rows = {{u"a,b.jww", u"変換できませんでした", u"JWWファイルではありません"},
                                          {u"c.txt", u"スキップしました", u"拡張子が \"txt\""}};
    const QString Proposed = Dir.filePath("変換結果.csv");
    TResultWindow Window(Rows, Proposed, nullptr);
    Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window));
    QCOMPARE(Window.windowTitle(), QStringLiteral("変換結果"));
    QStringList Header;
    for (int Col = 0; Col < Window.Table->columnCount(); ++Col)
      Header.append(Window.Table->horizontalHeaderItem(Col)->text());
    QCOMPARE(Header, (QStringList{"ファイル名", "結果", "理由"}));
    QCOMPARE(TableTexts(*Window.Table), RowTexts(Rows));

    Prompts.Answers << Proposed;
    QTest::mouseClick(Window.ButtonCsv, Qt::LeftButton);
    QCOMPARE(Prompts.Asked.size(), 1);
    QCOMPARE(Prompts.Asked[0].Start, Proposed);
    QVERIFY(Prompts.Asked[0].Save);
    QVERIFY(Prompts.Messages.isEmpty());
    QCOMPARE(Contents(Proposed), QByteArray("\xEF\xBB\xBF") + QStringLiteral("ファイル名,結果,理由\r\n"
                                                                             "\"a,b.jww\",変換できませんでした,"
                                                                             "JWWファイルではありません\r\n"
                                                                             "c.txt,スキップしました,"
                                                                             "\"拡張子が \"\"txt\"\"\"\r\n")
                                                                  .toUtf8());

    // A file that cannot be written is reported; the one saved before stays.
    const QByteArray Saved = Contents(Proposed);
    Prompts.Answers << Dir.filePath("none/list.csv");
    QTest::mouseClick(Window.ButtonCsv, Qt::LeftButton);
    QCOMPARE(Prompts.Messages.size(), 1);
    QCOMPARE(Prompts.Messages[0].Icon, TMessageIcon::Error);
    QVERIFY(Prompts.Messages[0].Text.startsWith(QStringLiteral("CSVファイルを保存できませんでした。")));
    QCOMPARE(Contents(Proposed), Saved);

    QTest::mouseClick(Window.ButtonClose, Qt::LeftButton);
    QVERIFY(!Window.isVisible());
  }
};

QTEST_MAIN(ResultWindowTest)
#include "ResultWindowTest.moc"
