#include "UiTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "documents/JwwUnit.h"
#include "ui/QtText.h"
#include "ui/Unit1.h"

QString TRecordingPrompts::ChooseFolder(QWidget*, const QString& Prompt, const QString& Start) {
  Asked.append({Prompt, QString(), Start, false});
  return Answers.isEmpty() ? QString() : Answers.takeFirst();
}

QString TRecordingPrompts::ChooseFile(QWidget*, const TFileBox& Box, const QString& Proposed) {
  Asked.append({Box.Title, Box.Filter, Proposed, Box.Save});
  return Answers.isEmpty() ? QString() : Answers.takeFirst();
}

QStringList TRecordingPrompts::MessageTexts() const {
  QStringList Texts;
  for (const TShown& M : Messages) Texts.append(M.Text);
  return Texts;
}

TProgramHome::TProgramHome() : Paths_(AppPathsFor(Dir_.filePath(QStringLiteral("lintorra")), QString())) {}

QString TProgramHome::IniFile() const { return Q(Paths_.IniFileName); }
QString TProgramHome::WorkFolder() const { return Q(Paths_.WorkFolder); }
void TProgramHome::WriteIni(const TIniState& State) const { QVERIFY(SaveIni(Paths_.IniFileName, State)); }
TIniState TProgramHome::ReadIni() const { return LoadIni(Paths_.IniFileName); }

std::unique_ptr<TForm1> StartForm1(const TProgramHome& Home) {
  auto Form1 = std::make_unique<TForm1>(Home.Paths());
  Form1->show();
  if (!QTest::qWaitForWindowExposed(Form1.get())) qWarning("main window not exposed");
  return Form1;
}

void WriteFile(const QString& Folder, const QString& Name, int Size) {
  QDir().mkpath(Folder);
  QFile File(QDir(Folder).filePath(Name));
  QVERIFY(File.open(QIODevice::WriteOnly));
  File.write(QByteArray(Size, 'x'));
}

QString MakeFolder(const QString& Path) {
  QDir().mkpath(Path);
  return Path;
}

QString FolderWith(const QString& Path, std::initializer_list<std::pair<QString, int>> Files) {
  MakeFolder(Path);
  for (const auto& [Name, Size] : Files) WriteFile(Path, Name, Size);
  return Path;
}

QStringList WriteDrawings(const QString& Folder, int Count) {
  MakeFolder(Folder);
  TJwwData Drawing;
  Drawing.DataInit();
  Drawing.SizeHeaderTables();
  Drawing.Enthd.jwVer = 600;
  Drawing.EntNo.push_back({kLine, 0});
  TEntJwwLine& Line = Drawing.EntLine.emplace_back();
  Line.att.nPenColor = 2;
  Line.att.nPenStyle = 1;
  Line.end_x = 100;
  const QString First = QDir(Folder).filePath(QStringLiteral("d000.jww"));
  if (!Drawing.FileOut(U(First), 600)) qWarning("cannot write %s", qPrintable(First));
  QStringList Names;
  for (int I = 0; I < Count; ++I) {
    const QString Name = QStringLiteral("d%1.jww").arg(I, 3, 10, QLatin1Char('0'));
    if (I > 0) QFile::copy(First, QDir(Folder).filePath(Name));
    Names.append(Name);
  }
  return Names;
}

TRunFolders PrepareRun(const TProgramHome& Home, int Count) {
  TRunFolders F{MakeFolder(Home.Path("src")), MakeFolder(Home.Path("out")), {}};
  if (Count > 0) F.Names = WriteDrawings(F.Source, Count);
  TIniState Ini;
  Ini.preFolder = U(F.Source);
  Ini.DestFolder = U(F.Dest);
  Ini.Settings.ColorMap[2] = 3;
  Home.WriteIni(Ini);
  return F;
}

bool RunEnds(const TForm1& Form1) {
  QEventLoop Loop;
  QElapsedTimer Clock;
  Clock.start();
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, &Loop, [&] {
    if (!Form1.IsRunning() || Clock.elapsed() > 60000) Loop.quit();
  });
  Poll.start(5);
  Loop.exec();
  return !Form1.IsRunning();
}
