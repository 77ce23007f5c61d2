// The preview tests paint with fonts, which need a GUI application; no
// display is needed.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "documents/jwwtype.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication App(argc, argv);
  JwwTypeInit();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
