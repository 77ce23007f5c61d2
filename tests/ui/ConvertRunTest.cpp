// The convert button: the refusals before a run, and a run on real drawings
// with its backups, status texts and final count.
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "common/TestSupport.h"
#include "conversion/BatchRun.h"
#include "documents/JwwUnit.h"
#include "ui/FileListView.h"
#include "ui/QtText.h"
#include "ui/Unit1.h"

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

    // The text file is refused with its name and extension, and not counted.
    QCOMPARE(Prompts.MessageTexts(), QStringList{Q(UnsupportedExtensionMessage(u"notes.txt", u".txt"))});
    QStringList Expected;
    for (int Row = 0; Row < Form1->ListView1->rowCount(); ++Row) {
      const QString Name = Form1->ListView1->Caption(Row);
      if (!Name.endsWith(".jww")) continue;
      Expected << Q(ConvertingStatus(U(Source + "/" + Name), U(Dest + "/" + Name))) << QString();
    }
    Expected << QStringLiteral("%1個のファイルを変換しました。").arg(Names.size());
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
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
