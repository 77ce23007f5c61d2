// lintorra: the desktop program.
#include <QApplication>

#include "ui/AppPaths.h"
#include "ui/TerminationSignals.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  QApplication Application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lintorra"));
  TForm1 Form1(RunningAppPaths());
  TTerminationSignals Signals(Form1);
  Form1.show();
  return QApplication::exec();
}
