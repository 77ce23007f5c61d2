// lintorra-screenshots OUTDIR FOLDER: renders the main window listing the
// drawings of FOLDER, and the settings dialog on both pages, to PNG files in
// OUTDIR (main-window.png, settings-individual.png,
// settings-combination.png). Runs on the offscreen platform unless another
// is chosen; the program's own INI file is not touched.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "conversion/IniFile.h"
#include "ui/AppPaths.h"
#include "ui/FileListView.h"
#include "ui/QtText.h"
#include "ui/PreviewPane.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"

namespace {

// Lets the folder tree and the windows settle.
void Settle(int Milliseconds) {
  QElapsedTimer Clock;
  Clock.start();
  while (Clock.elapsed() < Milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget* Window, const QDir& OutDir, const QString& Name) {
  const QString Path = OutDir.filePath(Name);
  const bool Saved = Window->grab().save(Path);
  std::fprintf(Saved ? stdout : stderr, "%s %s\n", Saved ? "wrote" : "cannot write", qPrintable(Path));
  return Saved;
}

// The list showing FOLDER with columns wide enough for its texts.
TIniState ScreenshotState(const QString& Folder) {
  TIniState Ini;
  Ini.ColumnWidths = {150, 50, 250, 130, 70, 50};
  Ini.preFolder = U(QDir(Folder).absolutePath());
  Ini.DestFolder = U(QDir::cleanPath(QDir(Folder).absoluteFilePath(QStringLiteral("../変換後"))));
  Ini.FileTypeIndex = 1;
  return Ini;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication Application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lintorra"));
  const QStringList Args = QApplication::arguments();
  if (Args.size() != 3) {
    QTextStream(stderr) << "usage: lintorra-screenshots OUTDIR FOLDER\n";
    return 2;
  }
  const QDir OutDir(Args[1]);
  QTemporaryDir Home;
  if (!OutDir.mkpath(QStringLiteral(".")) || !Home.isValid()) return 1;

  const TAppPaths Paths = AppPathsFor(Home.filePath(QStringLiteral("lintorra")), Home.path());
  if (!SaveIni(Paths.IniFileName, ScreenshotState(Args[2]))) return 1;
  TForm1 Form1(Paths);
  Form1.show();
  // Wider than the offscreen screen, which the window's INI values may not exceed.
  Form1.resize(1000, 560);
  Form1.Splitter1->setSizes({230, 770});
  Settle(1500);
  Form1.ListView1->selectRow(0);
  Form1.ListView1->setSelectionMode(QAbstractItemView::MultiSelection);
  Form1.ListView1->selectRow(2);
  // The preview pane draws the selected drawing on its worker thread.
  for (int Waited = 0; Form1.PreviewPane1->Busy() && Waited < 10000; Waited += 100) Settle(100);
  Settle(200);
  bool Ok = Save(&Form1, OutDir, QStringLiteral("main-window.png"));

  Form1.Form3->show();
  Settle(300);
  Ok = Save(Form1.Form3, OutDir, QStringLiteral("settings-individual.png")) && Ok;
  Form1.Form3->PageControl1->setCurrentIndex(1);
  Settle(200);
  Ok = Save(Form1.Form3, OutDir, QStringLiteral("settings-combination.png")) && Ok;
  Form1.Form3->hide();
  return Ok ? 0 : 1;
}
