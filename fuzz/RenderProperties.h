// The property of the preview's fuzz targets, shared with the tests that
// replay their seeds and findings: whatever a load keeps is drawn, in every colour scheme, without a crash, a hang or
// unbounded memory. The drawing must fit the picture with finite numbers.
#pragma once

#include <QGuiApplication>
#include <cmath>
#include <memory>
#include <string>

#include "display/DrawingRenderer.h"
#include "fuzz/Properties.h"

namespace fuzzprops {

// Fonts need a GUI application; the fuzzers run without a display.
inline void EnsureGui() {
  static std::unique_ptr<QGuiApplication> App = [] {
    if (QGuiApplication::instance()) return std::unique_ptr<QGuiApplication>();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int Argc = 1;
    static char Name[] = "fuzz";
    static char* Argv[] = {Name, nullptr};
    return std::make_unique<QGuiApplication>(Argc, Argv);
  }();
}

template <class TDoc>
std::string Renders(Input Bytes) {
  EnsureGui();
  TDoc Doc;
  Load(Doc, Bytes);  // what a failed load keeps is drawn too
  const std::size_t Pick = Bytes.size();
  for (const TColorScheme Scheme : {TColorScheme::Screen, TColorScheme::Print, TColorScheme::Black}) {
    TRenderOptions O;
    O.Colors = Scheme;
    O.PrinterWidths = Pick & 1;
    O.ShowTemporaryPoints = O.ShowAuxiliaryLines = Pick & 2;
    O.Antialias = Pick & 4;
    const TDrawingRenderer R(Doc, O);
    const QRectF Fit = R.FitRect();
    if (!std::isfinite(Fit.x()) || !std::isfinite(Fit.y()) || !(Fit.width() > 0) || !(Fit.height() > 0) ||
        !std::isfinite(Fit.width()) || !std::isfinite(Fit.height()))
      return "the picture's rectangle is not a finite area";
    if (RenderImage(R, 160).isNull()) return "no picture was made";
  }
  return {};
}

inline std::string JwwRenders(Input Bytes) { return Renders<TJwwData>(Bytes); }
inline std::string JwsRenders(Input Bytes) { return Renders<TJwsData>(Bytes); }

}  // namespace fuzzprops
