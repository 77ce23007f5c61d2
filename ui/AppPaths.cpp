#include "ui/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "packaging/InstallLayout.h"
#include "support/Func_2.h"
#include "ui/QtText.h"

namespace {

// An install puts the desktop entry at a fixed place beside the executables;
// a build folder or a copied executable has none there.
bool RunsFromInstall(const QFileInfo& Exe) {
  return QFileInfo(QDir(Exe.absolutePath()).filePath(QString::fromUtf8(kInstalledDesktopEntry))).isFile();
}

}  // namespace

TAppPaths AppPathsFor(const QString& ExePath, const QString& FallbackFolder) {
  const QFileInfo Exe(ExePath);
  TAppPaths Paths;
  Paths.ExeFolder = WithTrailingDelim(U(Exe.absolutePath()));
  const QFileInfo ExeFolder(Exe.absolutePath());
  if (!RunsFromInstall(Exe) && ExeFolder.isDir() && ExeFolder.isWritable()) {
    Paths.IniFileName = FileExtChange(U(Exe.absoluteFilePath()), u".ini");
    Paths.WorkFolder = WithTrailingDelim(PathJoin(Paths.ExeFolder, u"TEMP"));
  } else {
    const std::u16string Folder = U(FallbackFolder);
    Paths.IniFileName = FileExtChange(PathJoin(Folder, U(Exe.fileName())), u".ini");
    Paths.WorkFolder = WithTrailingDelim(PathJoin(Folder, u"TEMP"));
  }
  return Paths;
}

TAppPaths RunningAppPaths() {
  return AppPathsFor(QCoreApplication::applicationFilePath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
