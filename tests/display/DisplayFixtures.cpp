#include "display/DisplayFixtures.h"

#include <QPainter>

namespace displayfix {

namespace {

constexpr std::uint32_t kPens[10] = {0xFFFFFF, 0xC0C000, 0x000000, 0x00C000, 0x00C0C0,
                                     0xC000C0, 0xFF0000, 0x808000, 0x8000FF, 0xC0C0C0};

}  // namespace

void InitA4(TJwwData& D) {
  D.SizeHeaderTables();
  D.Enthd.jwVer = 700;
  D.Enthd.nZumen = 4;
  D.Enthd.nPrtDpi = 1;
  for (TEntJwwLayerGroup& G : D.EntLgrp) G.anGLay = 2;
  for (TEntJwwLayer& L : D.EntLay) L.aanLay = 2;
  for (int K = 0; K < 10; ++K) {
    TEntJwwColorNo& C = D.EntCol[static_cast<std::size_t>(K)];
    C.aPenColor = C.aPrtPenColor = static_cast<std::int32_t>(kPens[K]);
    C.anPenWidth = 1;
    C.anPrtPenWidth = 1;
    C.adPrtTenHankei = 0.5;
  }
}

TEntJwwAttr LayerPen(int Color, int Ltype, int Layer, int Group) {
  TEntJwwAttr A = convfixtures::Pen(Color, Ltype);
  A.nLayer = static_cast<std::uint16_t>(Layer);
  A.nGLayer = static_cast<std::uint16_t>(Group);
  return A;
}

TRenderOptions NoSmoothing() {
  TRenderOptions O;
  O.Antialias = false;
  return O;
}

QImage Render(const TJwwData& D, TRenderOptions O) {
  const TDrawingRenderer R(D, O);
  QImage I(kSheetW, kSheetH, QImage::Format_RGB32);
  QPainter P(&I);
  R.Draw(P, QRectF(0, 0, kSheetW, kSheetH), SheetRect(4));
  return I;
}

bool InkNear(const QImage& I, QPointF P, QColor C, int Radius) {
  const int X = static_cast<int>(P.x()), Y = static_cast<int>(P.y());
  for (int Dy = -Radius; Dy <= Radius; ++Dy)
    for (int Dx = -Radius; Dx <= Radius; ++Dx)
      if (I.valid(X + Dx, Y + Dy) && I.pixelColor(X + Dx, Y + Dy).rgb() == C.rgb()) return true;
  return false;
}

QRect InkBounds(const QImage& I, QColor Background) {
  QRect R;
  for (int Y = 0; Y < I.height(); ++Y) {
    const QRgb* Row = reinterpret_cast<const QRgb*>(I.constScanLine(Y));
    for (int X = 0; X < I.width(); ++X)
      if ((Row[X] & 0xFFFFFF) != (Background.rgb() & 0xFFFFFF)) R |= QRect(X, Y, 1, 1);
  }
  return R;
}

TEntJwwLine& AddLine(TJwBody& D, const TEntJwwAttr& A, double X0, double Y0, double X1, double Y1) {
  TEntJwwLine& L = convfixtures::AddRecord(D.EntNo, D.EntLine, kLine, A);
  L.start_x = X0, L.start_y = Y0, L.end_x = X1, L.end_y = Y1;
  return L;
}

}  // namespace displayfix
