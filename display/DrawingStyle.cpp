#include "display/DrawingStyle.h"

#include <algorithm>
#include <cmath>

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace {

constexpr int kSxfBase = 10;  // table index of SXF colour 0 (colour number 100)

// The usual pens of a white sheet: background, pens 1..8, auxiliary colour.
constexpr std::uint32_t kUsualPens[10] = {0xFFFFFF, 0xC0C000, 0x000000, 0x00C000, 0x00C0C0,
                                          0xC000C0, 0xFF0000, 0x808000, 0x8000FF, 0xC0C0C0};
// Their widths in printer dots.
constexpr int kUsualPrinterDots[10] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 1};
// The SXF standard colours 1..16, for files that carry no SXF table.
constexpr std::uint32_t kSxfStandard[17] = {0,        0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                            0xFF00FF, 0xFFFF00, 0xFFFFFF, 0x8000C0, 0x4080C0, 0x0080FF,
                                            0x80C080, 0xFF8000, 0xFF4080, 0xC0C0C0, 0x808080};
constexpr std::uint32_t kSxfUnused = 0xC0C0C0;
constexpr double kSxfStandardWidthMm = 0.18;

// The usual standard line types 2..9 and 16..19: pattern, bits, printer pitch.
struct TBitType {
  std::uint32_t Pattern;
  int Bits, Pitch;
};
constexpr TBitType kUsualTypes[12] = {{0x99999999, 4, 10},  {0xC3C3C3C3, 8, 10},  {0xE7E7E7E7, 8, 10},
                                      {0xF99FF99F, 16, 10}, {0xFFF99FFF, 32, 10}, {0xF24FF24F, 16, 10},
                                      {0xFFF24FFF, 32, 10}, {0x22222222, 4, 10},  {0xFFF99FFF, 32, 20},
                                      {0xFFF24FFF, 32, 20}, {0xFFFE7FFF, 32, 20}, {0xFFFE7FFF, 32, 40}};
// The SXF standard line types 1..15 as dash and gap lengths in mm, for files
// that carry no SXF table (values of real drawings' tables).
const QVector<double> kSxfStandardDash[16] = {{},
                                              {},
                                              {6, 1.5},
                                              {6, 6},
                                              {12, 1.5, 0.25, 1.5},
                                              {12, 1.5, 0.25, 1.5, 0.25, 1.5},
                                              {12, 1.5, 0.25, 1.5, 0.25, 1.5, 0.25, 1.5},
                                              {0.25, 1.5},
                                              {12, 1.5, 3.5, 1.5},
                                              {12, 1.5, 3.5, 1.5, 3.5, 1.5},
                                              {6, 1.5, 0.25, 1.5},
                                              {6, 1.5, 6, 1.5, 0.25, 1.5},
                                              {6, 1.5, 0.25, 1.5, 0.25, 1.5},
                                              {6, 1.5, 6, 1.5, 0.25, 1.5, 0.25, 1.5},
                                              {6, 1.5, 0.25, 1.5, 0.25, 1.5, 0.25, 1.5},
                                              {6, 1.5, 6, 1.5, 0.25, 1.5, 0.25, 1.5, 0.25, 1.5}};

// One bit of a pattern on paper: the printer pitch / 32 mm.
QVector<double> BitsToMm(QVector<double> Dash, std::int32_t Pitch) {
  const double Bit = std::clamp(Pitch > 0 ? Pitch : 10, 1, 1000) / 32.0;
  for (double& D : Dash) D *= Bit;
  return Dash;
}

bool IsFiniteNonNegative(double V) { return std::isfinite(V) && V >= 0; }

// A printer dot in mm at the print resolution the file records.
double PrinterDotMm(const TEntJwwHeader& H) { return 25.4 / (H.nPrtDpi == 2 ? 600.0 : 300.0); }

std::uint32_t Word(std::int32_t W) { return static_cast<std::uint32_t>(W) & 0xFFFFFF; }

}  // namespace

QSizeF PaperSize(std::int32_t Zumen) {
  switch (Zumen) {
    case 0: return {1189, 841};
    case 1: return {841, 594};
    case 2: return {594, 420};
    case 4: return {297, 210};
    case 8: return {1682, 1189};
    case 9: return {2378, 1682};
    case 10: return {3364, 2378};
    case 11: return {4756, 3364};
    case 12: return {10000, 7071};
    case 13: return {50000, 35355};
    case 14: return {100000, 70711};
    default: return {420, 297};
  }
}

QRectF SheetRect(std::int32_t Zumen) {
  const QSizeF S = PaperSize(Zumen);
  return {-S.width() / 2, -S.height() / 2, S.width(), S.height()};
}

QColor ColorOfWord(std::int32_t W) {
  const std::uint32_t V = Word(W);
  return QColor(static_cast<int>(V & 0xFF), static_cast<int>((V >> 8) & 0xFF), static_cast<int>((V >> 16) & 0xFF));
}

QVector<double> DashOfBits(std::uint32_t Pattern, std::int32_t Bits) {
  if (Bits <= 1 || Bits > 32) return {};
  std::vector<bool> Ink(static_cast<std::size_t>(Bits));
  for (int I = 0; I < Bits; ++I) Ink[static_cast<std::size_t>(I)] = (Pattern >> (31 - I)) & 1u;
  const auto InkCount = std::count(Ink.begin(), Ink.end(), true);
  if (InkCount == 0 || InkCount == Bits) return {};
  // Start at the beginning of a dash so that every line begins with ink.
  int Start = 0;
  while (!(Ink[static_cast<std::size_t>(Start)] && !Ink[static_cast<std::size_t>((Start + Bits - 1) % Bits)])) ++Start;
  QVector<double> Dash;
  bool Current = true;
  double Run = 0;
  for (int I = 0; I < Bits; ++I) {
    const bool B = Ink[static_cast<std::size_t>((Start + I) % Bits)];
    if (B != Current) {
      Dash.append(Run);
      Run = 0;
      Current = B;
    }
    ++Run;
  }
  Dash.append(Run);
  return Dash;
}

QVector<double> DashOfSegments(std::int32_t Count, const std::array<double, 10>& Pitches) {
  if (Count < 2 || Count > 10) return {};
  QVector<double> Dash;
  double Ink = 0, Total = 0;
  for (int I = 0; I < Count; ++I) {
    const double P = Pitches[static_cast<std::size_t>(I)];
    if (!IsFiniteNonNegative(P) || P > 1000) return {};
    Dash.append(P);
    Total += P;
    if (I % 2 == 0) Ink += P;
  }
  if (Count % 2 == 1) Dash.append(0);  // a pattern ends with a gap
  if (Ink <= 0 || Ink >= Total) return {};
  return Dash;
}

TDrawingStyle::TDrawingStyle() {
  LayerShown_.fill(true);
  SetUsualTables();
}

void TDrawingStyle::SetUsualTables() {
  for (int K = 0; K < 10; ++K) {
    Screen_[K] = Printer_[K] = ColorOfWord(static_cast<std::int32_t>(kUsualPens[K]));
    ScreenWidthPx_[K] = 1;
    PrinterWidthMm_[K] = kUsualPrinterDots[K] * 25.4 / 300.0;
    PointRadius_[K] = 0.5;
  }
  for (int K = 0; K <= 256; ++K) {
    const QColor C = ColorOfWord(static_cast<std::int32_t>(K >= 1 && K <= 16 ? kSxfStandard[K] : kSxfUnused));
    Screen_[kSxfBase + K] = Printer_[kSxfBase + K] = C;
    ScreenWidthPx_[kSxfBase + K] = 1;
    PrinterWidthMm_[kSxfBase + K] = kSxfStandardWidthMm;
    PointRadius_[kSxfBase + K] = 0.5;
  }
  for (int T = 2; T <= 9; ++T)
    Dash_[T] = BitsToMm(DashOfBits(kUsualTypes[T - 2].Pattern, kUsualTypes[T - 2].Bits), kUsualTypes[T - 2].Pitch);
  for (int T = 16; T <= 19; ++T)
    Dash_[T] = BitsToMm(DashOfBits(kUsualTypes[T - 8].Pattern, kUsualTypes[T - 8].Bits), kUsualTypes[T - 8].Pitch);
  for (int T = 31; T <= 45; ++T) Dash_[T] = kSxfStandardDash[T - 30];
}

TDrawingStyle::TDrawingStyle(const TJwsData&) : TDrawingStyle() {}

TDrawingStyle::TDrawingStyle(const TJwwData& Doc) : TDrawingStyle() {
  const TEntJwwHeader& H = Doc.Enthd;
  Sheet_ = SheetRect(H.nZumen);
  if (Doc.EntLgrp.size() == 16 && Doc.EntLay.size() == 256) {
    for (int G = 0; G < 16; ++G) {
      const TEntJwwLayerGroup& Group = Doc.EntLgrp[static_cast<std::size_t>(G)];
      const bool GroupShown = Group.anGLay != 0 || G == H.nWriteGLay;
      for (int L = 0; L < 16; ++L) {
        const bool LayerShown = Doc.EntLay[static_cast<std::size_t>(G * 16 + L)].aanLay != 0 || L == Group.anWriteLay;
        LayerShown_[static_cast<std::size_t>(G * 16 + L)] = GroupShown && LayerShown;
      }
    }
  }
  // In the line-width mode the printer widths are in 1/100 mm.
  WidthsInMm_ = H.bSenHaba100;
  const double Dot = WidthsInMm_ ? 0.01 : PrinterDotMm(H);
  if (Doc.EntCol.size() == 10) {
    for (int K = 0; K < 10; ++K) {
      const TEntJwwColorNo& C = Doc.EntCol[static_cast<std::size_t>(K)];
      Screen_[K] = ColorOfWord(C.aPenColor);
      Printer_[K] = ColorOfWord(K == 0 ? 0xFFFFFF : C.aPrtPenColor);
      ScreenWidthPx_[K] = std::clamp(C.anPenWidth, 1, 16);
      PrinterWidthMm_[K] = std::clamp(C.anPrtPenWidth, 1, 500) * Dot;
      PointRadius_[K] = std::isfinite(C.adPrtTenHankei) ? std::clamp(C.adPrtTenHankei, 0.1, 10.0) : 0.5;
    }
  }
  // A file below 4.20 has no SXF table: the standard values stay.
  const bool HasSxfColors =
      Doc.EntColS.size() == 257 && std::any_of(Doc.EntColS.begin(), Doc.EntColS.end(), [](const TEntJwwColorExNo& C) {
        return C.aPenColor != 0 || C.anPenWidth != 0 || !C.astrUDColorName.empty();
      });
  if (HasSxfColors) {
    for (int K = 0; K <= 256; ++K) {
      const TEntJwwColorExNo& C = Doc.EntColS[static_cast<std::size_t>(K)];
      Screen_[kSxfBase + K] = ColorOfWord(C.aPenColor);
      Printer_[kSxfBase + K] = ColorOfWord(K <= 16 ? C.aPrtPenColor : C.aPenColor);
      // SXF widths are 1/100 mm (0.18 mm is an SXF standard width).
      const double Mm = std::clamp(C.anPrtPenWidth > 0 ? C.anPrtPenWidth : C.anPenWidth, 1, 30000) * 0.01;
      ScreenWidthPx_[kSxfBase + K] = 1;
      PrinterWidthMm_[kSxfBase + K] = Mm;
      PointRadius_[kSxfBase + K] = std::isfinite(C.adPrtTenHankei) ? std::clamp(C.adPrtTenHankei, 0.1, 10.0) : 0.5;
    }
  }
  SetLineTypes(Doc);
  DrawGamenTen_ = H.nDrawGamenTen != 0;
  DrawPrtTen_ = H.nDrawPrtTen != 0;
  ImagesFirst_ = H.nBitMapFirstDraw != 0;
  // The stored value carries other settings in its tens (1 and 11 are both
  // seen on plain drawings).
  const int Bg = H.nMojiBG % 10;
  TextBackground_ = Bg == 2 || Bg == 3 ? Bg : 0;
}

void TDrawingStyle::SetLineTypes(const TJwwData& Doc) {
  auto FromTable = [](const TEntJwwLineTypeNo& T) {
    return BitsToMm(DashOfBits(static_cast<std::uint32_t>(T.alLType), T.anTokushuSenUintDot), T.anPrtTokushuSenPich);
  };
  if (Doc.EntLtp1.size() == 8)
    for (int T = 2; T <= 9; ++T) Dash_[T] = FromTable(Doc.EntLtp1[static_cast<std::size_t>(T - 2)]);
  if (Doc.EntLtp3.size() == 4)
    for (int T = 16; T <= 19; ++T) Dash_[T] = FromTable(Doc.EntLtp3[static_cast<std::size_t>(T - 16)]);
  const bool HasSxf =
      Doc.EntLtpS.size() == 33 && std::any_of(Doc.EntLtpS.begin(), Doc.EntLtpS.end(), [](const TEntJwwLineTypeExNo& T) {
        return T.anUDLTypeSegment != 0 || !T.astrUDLTypeName.empty();
      });
  if (!HasSxf) return;
  for (int T = 31; T <= 62; ++T) {
    const TEntJwwLineTypeExNo& E = Doc.EntLtpS[static_cast<std::size_t>(T - 30)];
    Dash_[T] = DashOfSegments(E.anUDLTypeSegment, E.aadUDLTypePitch);
  }
}

QColor TDrawingStyle::Background(TColorScheme Scheme) const {
  return Scheme == TColorScheme::Screen ? Screen_[0] : QColor(Qt::white);
}

bool TDrawingStyle::Visible(const TEntJwwAttr& A) const {
  // Layers beyond 15 are saved as 0: show them as the save would.
  const int G = A.nGLayer > 15 ? 0 : A.nGLayer;
  const int L = A.nLayer > 15 ? 0 : A.nLayer;
  return LayerShown_[static_cast<std::size_t>(G * 16 + L)];
}

int TDrawingStyle::ColorIndex(std::int32_t Color) const {
  if (Color >= 1 && Color <= 9) return Color;
  if (Color >= 101 && Color <= 356) return kSxfBase + Color - 100;
  return SxfFallbackColor >= 1 && SxfFallbackColor <= 9 ? SxfFallbackColor : 1;
}

QColor TDrawingStyle::PenColor(std::int32_t Color, TColorScheme Scheme) const {
  if (Scheme == TColorScheme::Black) return Qt::black;
  const int I = ColorIndex(Color);
  return Scheme == TColorScheme::Screen ? Screen_[static_cast<std::size_t>(I)] : Printer_[static_cast<std::size_t>(I)];
}

TPenLook TDrawingStyle::Pen(const TEntJwwAttr& A, TColorScheme Scheme, bool PrinterWidths) const {
  TPenLook P;
  P.Color = PenColor(A.nPenColor, Scheme);
  const int I = ColorIndex(A.nPenColor);
  if (A.nPenWidth > 0 && A.nPenWidth <= 30000) {
    P.Width = A.nPenWidth * 0.01;
    P.Pixels = false;
  } else if (PrinterWidths || WidthsInMm_) {
    P.Width = PrinterWidthMm_[static_cast<std::size_t>(I)];
    P.Pixels = false;
  } else {
    P.Width = ScreenWidthPx_[static_cast<std::size_t>(I)];
  }
  P.DashMm = &Dash(A.nPenStyle);
  return P;
}

const QVector<double>& TDrawingStyle::Dash(std::int32_t Ltype) const {
  static const QVector<double> kSolid;
  if (Ltype < 0 || Ltype >= static_cast<std::int32_t>(Dash_.size())) return kSolid;
  return Dash_[static_cast<std::size_t>(Ltype)];
}

double TDrawingStyle::PointRadiusMm(std::int32_t Color) const {
  return PointRadius_[static_cast<std::size_t>(ColorIndex(Color))];
}
