// lintorra: the desktop program.
#include <QApplication>

#include "ui/AppPaths.h"
#include "ui/TerminationSignals.h"
#include "ui/Translations.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  QApplication Application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lintorra"));
  InstallQtTranslations(Application);  // without it the standard dialogs speak English
  TForm1 Form1(RunningAppPaths());
  TTerminationSignals Signals(Form1);
  Form1.show();
  return QApplication::exec();
}
