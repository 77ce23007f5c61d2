// The window-free parts of the program: the file list's order, where the
// INI file and the working folder go, and Qt's own Japanese texts.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "ui/AppPaths.h"
#include "ui/FileListOrder.h"
#include "ui/QtText.h"
#include "ui/Translations.h"

class UiUnitsTest : public QObject {
  Q_OBJECT

 private slots:
  void compareText_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("ASCII letters fold") << "abc"
                                        << "ABC" << 0;
    QTest::newRow("folded order") << "apple"
                                  << "Banana" << -1;
    QTest::newRow("prefix first") << "ab"
                                  << "abc" << -1;
    QTest::newRow("underscore after letters") << "_a"
                                              << "a" << 1;  // '_' 0x5F > 'A' 0x41
    QTest::newRow("full-width letters do not fold") << "ａ"
                                                    << "Ａ" << 1;
    QTest::newRow("Japanese by code unit") << "図面"
                                           << "平面" << -1;  // U+56F3 < U+5E73
    QTest::newRow("equal empty") << ""
                                 << "" << 0;
  }
  void compareText() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int R = CompareText(U(a), U(b));
    QCOMPARE((R > 0) - (R < 0), sign);
  }

  void listCompare_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("size by value") << 4 << 0 << "9"
                                   << "10" << -1;
    QTest::newRow("size by value, descending") << 4 << 1 << "9"
                                               << "10" << 1;
    QTest::newRow("size equal") << 4 << 0 << "10"
                                << "10" << 0;
    QTest::newRow("other columns by text") << 5 << 0 << "9"
                                           << "10" << 1;
    QTest::newRow("time text order") << 3 << 0 << "2024/01/02 10:00:00"
                                     << "2024/01/10 09:00:00" << -1;
  }
  void listCompare() {
    QFETCH(int, column);
    QFETCH(int, direction);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int R = ListTextCompare(column, direction, U(a), U(b));
    QCOMPARE((R > 0) - (R < 0), sign);
  }

  // Qt's own dialog (the one used without a desktop's platform dialogs):
  // its labels and buttons speak Japanese once the translation is in.
  void standardDialogsSpeakJapanese() {
    QVERIFY(InstallQtTranslations(*qApp));
    QFileDialog Chooser(nullptr, QStringLiteral("変換後のファイルを保存するフォルダを指定して下さい"));
    Chooser.setOption(QFileDialog::DontUseNativeDialog);
    Chooser.setFileMode(QFileDialog::Directory);
    const auto* LookIn = Chooser.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(LookIn);
    QVERIFY2(LookIn->text() != QStringLiteral("Look in:"), qPrintable(LookIn->text()));
    const auto* Buttons = Chooser.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(Buttons);
    for (const QAbstractButton* B : Buttons->buttons()) {
      const QString Text = B->text().remove(QLatin1Char('&'));
      QVERIFY2(Text != QStringLiteral("Choose") && Text != QStringLiteral("Cancel") && Text != QStringLiteral("Open"),
               qPrintable(Text));
    }
    QMessageBox Question(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(Question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).left(2), QStringLiteral("はい"));
  }

  void pathsBesideWritableExecutable() {
    QTemporaryDir Dir;
    const TAppPaths P = AppPathsFor(Dir.filePath("bin/lintorra"), "/fallback");
    QDir().mkpath(Dir.filePath("bin"));
    const TAppPaths Q2 = AppPathsFor(Dir.filePath("bin/lintorra"), "/fallback");
    QCOMPARE(Q(Q2.ExeFolder), Dir.filePath("bin/"));
    QCOMPARE(Q(Q2.IniFileName), Dir.filePath("bin/lintorra.ini"));
    QCOMPARE(Q(Q2.WorkFolder), Dir.filePath("bin/TEMP/"));
    // A folder that cannot be written (here: one that does not exist) sends
    // both to the fallback folder.
    QCOMPARE(Q(P.IniFileName), QStringLiteral("/fallback/lintorra.ini"));
    QCOMPARE(Q(P.WorkFolder), QStringLiteral("/fallback/TEMP/"));
  }

  // An installed program keeps its files in the fallback folder even where it
  // could write beside itself (root can write /usr/bin); it knows the install
  // by the desktop entry that the install puts in share/ beside bin/.
  void pathsOfAnInstall_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("desktopEntry");  // made before the paths are asked; empty for none
    QTest::addColumn<bool>("beside");
    const QString Entry = QStringLiteral("usr/share/applications/" LINTORRA_APP_ID ".desktop");
    QTest::newRow("build folder") << "build/lintorra"
                                  << "" << true;
    QTest::newRow("installed, folder writable") << "usr/bin/lintorra" << Entry << false;
    QTest::newRow("bin beside other programs' entries") << "usr/bin/lintorra"
                                                        << "usr/share/applications/other.desktop" << true;
    QTest::newRow("entry a folder, not a file") << "usr/bin/lintorra" << Entry + "/" << true;
    QTest::newRow("entry of another prefix") << "usr/local/bin/lintorra" << Entry << true;
  }
  void pathsOfAnInstall() {
    QFETCH(QString, executable);
    QFETCH(QString, desktopEntry);
    QFETCH(bool, beside);
    QTemporaryDir Dir;
    QDir().mkpath(QFileInfo(Dir.filePath(executable)).path());
    if (desktopEntry.endsWith('/')) QDir().mkpath(Dir.filePath(desktopEntry));
    else if (!desktopEntry.isEmpty()) {
      QDir().mkpath(QFileInfo(Dir.filePath(desktopEntry)).path());
      QFile File(Dir.filePath(desktopEntry));
      QVERIFY(File.open(QIODevice::WriteOnly));
    }
    const TAppPaths P = AppPathsFor(Dir.filePath(executable), "/home/u/.config/Lintorra");
    const QString Folder = beside ? QFileInfo(Dir.filePath(executable)).path() : "/home/u/.config/Lintorra";
    QCOMPARE(Q(P.IniFileName), Folder + "/lintorra.ini");
    QCOMPARE(Q(P.WorkFolder), Folder + "/TEMP/");
    QCOMPARE(Q(P.ExeFolder), QFileInfo(Dir.filePath(executable)).path() + "/");
  }
};

QTEST_MAIN(UiUnitsTest)
#include "UiUnitsTest.moc"
