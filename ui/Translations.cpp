#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallQtTranslations(QCoreApplication& App) {
  auto* Translator = new QTranslator(&App);
  const QString Folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!Translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        Folder) ||
      !QCoreApplication::installTranslator(Translator)) {
    delete Translator;
    return false;
  }
  return true;
}
