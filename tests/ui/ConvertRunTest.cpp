// The convert button: the refusals before a run, a run on real drawings
// with its backups, status texts and final count, and a run on a worker
// thread while the window goes on answering: its progress, its stop button,
// the controls it disables and closing the window during it.
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "UiTestSupport.h"
#include "common/TestSupport.h"
#include "conversion/BatchRun.h"
#include "documents/JwwUnit.h"
#include "ui/FileListView.h"
#include "ui/QtText.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/plExplorerFolderTree.h"

namespace {

QByteArray Contents(const QString& Path) {
  QFile File(Path);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void SelectAll(TFileListView* List) {
  List->setFocus();
  List->selectAll();
}

// The status texts in the order shown, repeats of the same text merged.
class TStatusLog {
 public:
  explicit TStatusLog(QStatusBar* Bar) {
    QObject::connect(Bar, &QStatusBar::messageChanged, Bar, [this](const QString& Text) {
      if (Texts.isEmpty() || Texts.back() != Text) Texts.append(Text);
    });
  }
  QStringList Texts;
};

// Every control that could change a run's inputs, and whether it is enabled.
QList<bool> InputsEnabled(const TForm1& Form1) {
  return {Form1.Panel1->isEnabled(),  Form1.ComboBox1->isEnabled(), Form1.Button1->isEnabled(),
          Form1.Button2->isEnabled(), Form1.ButtonT->isEnabled(),   Form1.ListView1->isEnabled()};
}

// The files in the destination, in name order; each must load whole.
QStringList CompleteDrawings(const QString& Folder) {
  QStringList Names = QDir(Folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  TJwwData Check;
  for (const QString& Name : Names)
    if (!Check.FileIn(U(QDir(Folder).filePath(Name)))) qWarning("incomplete: %s", qPrintable(Name));
  Check.DataFree();
  return Names;
}

// Calls Act once, from within the progress report of the Count-th file: the
// worker waits meanwhile, so the run is then exactly Count files in.
void AtProgress(TForm1& Form1, int Count, std::function<void()> Act) {
  QObject::connect(Form1.ProgressBar1, &QProgressBar::valueChanged, Form1.ProgressBar1,
                   [Count, Act = std::move(Act), Done = false](int Value) mutable {
                     if (Value != Count || Done) return;
                     Done = true;
                     Act();
                   });
}

}  // namespace

class ConvertRunTest : public QObject {
  Q_OBJECT

 private slots:
  void refusals_data() {
    QTest::addColumn<QString>("destination");  // "<src>" and "<SRC>" name the source folder
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<bool>("focusOnButton1");
    QTest::newRow("no destination") << "" << 0 << Q(kMsgNoDestination) << int(TMessageIcon::None) << 0 << true;
    QTest::newRow("missing destination") << "/no/such/folder" << 0 << Q(kMsgDestinationMissing)
                                         << int(TMessageIcon::None) << 0 << true;
    QTest::newRow("destination is the source in other letters")
        << "<SRC>" << 0 << Q(kMsgSameFolder) << int(TMessageIcon::None) << 0 << true;
    QTest::newRow("combination mode without a row")
        << "<out>" << 1 << Q(kMsgNoCombination) << int(TMessageIcon::Confirmation) << 1 << false;
  }
  void refusals() {
    QFETCH(QString, destination);
    QFETCH(int, mode);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(int, beeps);
    QFETCH(bool, focusOnButton1);
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Source = FolderWith(Home.Path("src"), {{"a.jww", 3}});
    MakeFolder(Home.Path("SRC"));
    TIniState Ini;
    Ini.preFolder = U(Source);
    Ini.DestFolder = U(destination == "<SRC>"   ? Home.Path("SRC")
                       : destination == "<out>" ? MakeFolder(Home.Path("out"))
                                                : destination);
    Ini.Settings.ConvMode = mode;
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    SelectAll(Form1->ListView1);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));
    QCOMPARE(Prompts.MessageTexts(), QStringList{message});
    QCOMPARE(int(Prompts.Messages.front().Icon), icon);
    QCOMPARE(Prompts.Beeps, beeps);
    if (focusOnButton1) QCOMPARE(Form1->focusWidget(), Form1->Button1);
    QVERIFY(QDir(Home.Path("out")).isEmpty());
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("ファイル検索しました（ファイル数：1）"));
  }

  void noSelectionCountsZero() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Source = FolderWith(Home.Path("src"), {{"a.jww", 3}});
    TIniState Ini;
    Ini.preFolder = U(Source);
    Ini.DestFolder = U(MakeFolder(Home.Path("out")));
    Home.WriteIni(Ini);
    auto Form1 = StartForm1(Home);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("0個のファイルを変換しました。"));
    QVERIFY(QDir(Home.Path("out")).isEmpty());
  }

  void runConvertsSelectedDrawings() {
    const auto Drawings = testsupport::CorpusFiles("jww", ".jww");
    if (Drawings.empty()) QSKIP("real drawings not available");
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const QString Source = MakeFolder(Home.Path("src"));
    const QString Dest = MakeFolder(Home.Path("out"));
    QStringList Names;
    for (std::size_t I = 0; I < Drawings.size() && I < 3; ++I) {
      const QString Name = QFileInfo(Q(testsupport::U16(Drawings[I]))).fileName();
      QVERIFY(QFile::copy(Q(testsupport::U16(Drawings[I])), QDir(Source).filePath(Name)));
      Names.append(Name);
    }
    WriteFile(Source, "notes.txt", 5);
    // An older result already in the destination goes to a backup first.
    WriteFile(Dest, Names.front(), 7);
    const QString OldResult = QDir(Dest).filePath(Names.front());
    const QDateTime OldTime = QDateTime::currentDateTime().addDays(-3);
    {
      QFile Old(OldResult);
      QVERIFY(Old.open(QIODevice::ReadWrite));
      QVERIFY(Old.setFileTime(OldTime, QFileDevice::FileModificationTime));
    }
    TIniState Ini;
    Ini.preFolder = U(Source);
    Ini.DestFolder = U(Dest);
    Ini.Settings.ColorMap[1] = 2;
    Ini.Settings.WidthMap[2] = 25;
    Home.WriteIni(Ini);

    auto Form1 = StartForm1(Home);
    SelectAll(Form1->ListView1);
    TStatusLog Log(Form1->StatusBar1);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));

    // The text file, the only one not converted, is refused with its name
    // and extension, and not counted; no list is shown for it alone.
    QVERIFY(Prompts.ResultLists.isEmpty());
    QCOMPARE(Prompts.MessageTexts(), QStringList{Q(UnsupportedExtensionMessage(u"notes.txt", u".txt"))});
    QStringList Expected;
    for (int Row = 0; Row < Form1->ListView1->rowCount(); ++Row) {
      const QString Name = Form1->ListView1->Caption(Row);
      if (!Name.endsWith(".jww")) continue;
      Expected << Q(ConvertingStatus(U(Source + "/" + Name), U(Dest + "/" + Name))) << QString();
    }
    // The text file was not converted: the count says so.
    Expected
        << QStringLiteral("%1個のファイルを変換しました。（1個のファイルは変換できませんでした）").arg(Names.size());
    QCOMPARE(Log.Texts, Expected);
    QVERIFY(Form1->Timer1->isActive());

    TJwwData Check;
    for (const QString& Name : Names) {
      const QString Converted = QDir(Dest).filePath(Name);
      QVERIFY2(Check.FileCheck(U(Converted)), qPrintable(Name));
      QVERIFY(Contents(Converted) != Contents(QDir(Source).filePath(Name)));
    }
    const QString Backup = QDir(Dest).filePath(QFileInfo(Names.front()).completeBaseName() + ".BAK");
    QCOMPARE(Contents(Backup), QByteArray(7, 'x'));
    QCOMPARE(QFileInfo(Backup).lastModified().toSecsSinceEpoch(), OldTime.toSecsSinceEpoch());
    QVERIFY(!QFileInfo::exists(QDir(Dest).filePath("notes.txt")));
  }

  // While a few hundred files convert, the event loop turns: a timer fires,
  // the count grows, the inputs are disabled and a click on one of them is
  // dropped rather than replayed after the run.
  void runKeepsTheWindowAnswering() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const TRunFolders F = PrepareRun(Home, 300);
    auto Form1 = StartForm1(Home);
    QCOMPARE(Form1->ListView1->rowCount(), 300);
    const QList<bool> AllEnabled(6, true);
    QCOMPARE(InputsEnabled(*Form1), AllEnabled);
    QVERIFY(!Form1->ButtonStop->isVisible());
    SelectAll(Form1->ListView1);

    int Ticks = 0;
    bool DuringRunAsExpected = true;
    QSet<QString> Counts;
    QTimer Sampler;
    connect(&Sampler, &QTimer::timeout, [&] {
      if (!Form1->IsRunning()) return;
      ++Ticks;
      if (!Form1->LabelProgress->text().isEmpty()) Counts.insert(Form1->LabelProgress->text());
      DuringRunAsExpected = DuringRunAsExpected && InputsEnabled(*Form1) == QList<bool>(6, false) &&
                            Form1->ButtonStop->isVisible() && Form1->ButtonStop->isEnabled() &&
                            Form1->ProgressBar1->isVisible() && !Form1->Timer1->isActive();
      if (Ticks == 2) QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    });
    Sampler.start(1);
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(Form1->IsRunning());
    QVERIFY(RunEnds(*Form1));

    QVERIFY2(Ticks >= 2, qPrintable(QString::number(Ticks)));
    QVERIFY(DuringRunAsExpected);
    const QRegularExpression Count(QStringLiteral("^([0-9]+) / 300$"));
    for (const QString& Text : Counts) QVERIFY2(Count.match(Text).hasMatch(), qPrintable(Text));
    QVERIFY(Counts.size() >= 2);
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("300個のファイルを変換しました。"));
    QCOMPARE(InputsEnabled(*Form1), AllEnabled);
    QVERIFY(!Form1->ButtonStop->isVisible() && !Form1->ProgressBar1->isVisible());
    QVERIFY(Form1->Timer1->isActive());
    QCOMPARE(CompleteDrawings(F.Dest), F.Names);

    // The click on the settings button made during the run opens nothing now.
    bool DialogShown = false;
    QTimer Watch;
    connect(&Watch, &QTimer::timeout, [&] {
      if (!Form1->Form3->isVisible()) return;
      DialogShown = true;
      Form1->Form3->reject();
    });
    Watch.start(10);
    QTest::qWait(300);
    QVERIFY(!DialogShown);
    QVERIFY(Prompts.Messages.isEmpty());
  }

  // "中止" ends the run after the file being converted: the count is what was
  // done, and every file written is whole.
  void stopEndsTheRunAfterTheCurrentFile() {
    TProgramHome Home;
    TRecordingPrompts Prompts;
    const TRunFolders F = PrepareRun(Home, 200);
    auto Form1 = StartForm1(Home);
    SelectAll(Form1->ListView1);
    AtProgress(*Form1, 5, [&] {
      QCOMPARE(Form1->LabelProgress->text(), QStringLiteral("5 / 200"));
      QTest::mouseClick(Form1->ButtonStop, Qt::LeftButton);
    });
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));
    QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("5個のファイルを変換しました。（中止しました）"));
    QCOMPARE(CompleteDrawings(F.Dest), F.Names.mid(0, 5));
    QCOMPARE(InputsEnabled(*Form1), QList<bool>(6, true));
    QVERIFY(Form1->Timer1->isActive());
    QCOMPARE(Form1->focusWidget(), Form1->ButtonT);
  }

  // Closing the window during a run asks whether to stop it: No lets it
  // finish with the window open, Yes stops it and then closes the window.
  void closingDuringARunAsks_data() {
    QTest::addColumn<bool>("stop");
    QTest::newRow("go on") << false;
    QTest::newRow("stop and close") << true;
  }
  void closingDuringARunAsks() {
    QFETCH(bool, stop);
    TProgramHome Home;
    TRecordingPrompts Prompts;
    Prompts.YesNo = {stop};
    const TRunFolders F = PrepareRun(Home, 100);
    auto Form1 = StartForm1(Home);
    QVERIFY(QFile::remove(Home.IniFile()));  // read at the start, written at the close
    SelectAll(Form1->ListView1);
    AtProgress(*Form1, 3, [&] { QVERIFY(!Form1->close()); });
    QTest::mouseClick(Form1->ButtonT, Qt::LeftButton);
    QVERIFY(RunEnds(*Form1));
    QCOMPARE(Prompts.Questions, QStringList{QStringLiteral("ファイルを変換中です。変換を中止して終了しますか？")});
    QCOMPARE(CompleteDrawings(F.Dest).size(), stop ? 3 : 100);
    QTRY_COMPARE(Form1->isVisible(), !stop);
    // The INI file is written when the window really closes.
    QCOMPARE(QFileInfo::exists(Home.IniFile()), stop);
  }
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
