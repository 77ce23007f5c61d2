#include "ui/AppPaths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include "support/Func_2.h"
#include "ui/QtText.h"

namespace {

std::u16string WithSeparator(const QString& Folder) {
  std::u16string S = U(Folder);
  if (S.empty() || S.back() != PathDelimChar()) S += PathDelimChar();
  return S;
}

}  // namespace

TAppPaths AppPathsFor(const QString& ExePath, const QString& FallbackFolder) {
  const QFileInfo Exe(ExePath);
  TAppPaths Paths;
  Paths.ExeFolder = WithSeparator(Exe.absolutePath());
  const QFileInfo ExeFolder(Exe.absolutePath());
  if (ExeFolder.isDir() && ExeFolder.isWritable()) {
    Paths.IniFileName = FileExtChange(U(Exe.absoluteFilePath()), u".ini");
    Paths.WorkFolder = Paths.ExeFolder + u"TEMP" + PathDelimChar();
  } else {
    const std::u16string Folder = WithSeparator(FallbackFolder);
    Paths.IniFileName = FileExtChange(Folder + U(Exe.fileName()), u".ini");
    Paths.WorkFolder = Folder + u"TEMP" + PathDelimChar();
  }
  return Paths;
}

TAppPaths RunningAppPaths() {
  return AppPathsFor(QCoreApplication::applicationFilePath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
