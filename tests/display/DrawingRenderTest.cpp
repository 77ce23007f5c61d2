// The preview's pictures of small drawings: pens, layers, line types, arcs,
// blocks, texts and solids land on the pixels their fields say.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <numbers>

#include "display/DisplayFixtures.h"
#include "display/DrawingText.h"

namespace {

using namespace displayfix;
using convfixtures::AddRecord;
using convfixtures::Pen;

const QColor kWhite(255, 255, 255);

// ---- Pens and background ----

TEST(DrawingRender, EveryStandardPenDrawsInTheFilesColourOnTheFilesBackground) {
  TJwwData D;
  InitA4(D);
  // A table of the drawing's own: dark background, pens unlike the usual ones.
  D.EntCol[0].aPenColor = 0x402010;
  const std::int32_t Pens[9] = {0, 0x0000F0, 0x00F000, 0xF00000, 0x00F0F0, 0xF000F0, 0xF0F000, 0x808080, 0x4080C0};
  for (int K = 1; K <= 8; ++K) {
    D.EntCol[static_cast<std::size_t>(K)].aPenColor = Pens[K];
    AddLine(D, Pen(K, 1), -100, 80 - K * 10.0, 100, 80 - K * 10.0);
  }
  const QImage I = Render(D);
  const QColor Background = ColorOfWord(0x402010);
  EXPECT_EQ(I.pixelColor(5, 5), Background);
  for (int K = 1; K <= 8; ++K) {
    SCOPED_TRACE(K);
    for (const double X : {-90.0, 0.0, 90.0}) EXPECT_TRUE(InkNear(I, Px(X, 80 - K * 10.0), ColorOfWord(Pens[K])));
    EXPECT_EQ(I.pixelColor(Px(0, 75 - K * 10.0).toPoint()), Background) << "between the lines";
    EXPECT_EQ(I.pixelColor(Px(120, 80 - K * 10.0).toPoint()), Background) << "beyond the line's end";
  }
}

TEST(DrawingRender, ColourSchemes) {
  TJwwData D;
  InitA4(D);
  D.EntCol[0].aPenColor = 0x000000;  // a black screen
  D.EntCol[2].aPenColor = 0xFFFFFF;
  D.EntCol[2].aPrtPenColor = 0x0000FF;  // printed red
  D.Enthd.jwVer = 420;
  D.EntColS[3].aPenColor = D.EntColS[3].aPrtPenColor = 0x00FF00;  // SXF green
  D.EntColS[3].astrUDColorName = u"green";
  AddLine(D, Pen(2, 1), -100, 0, 100, 0);
  AddLine(D, Pen(103, 1), -100, 20, 100, 20);
  struct Case {
    TColorScheme Scheme;
    QColor Background, Pen2, Sxf;
  };
  const Case Cases[] = {{TColorScheme::Screen, Qt::black, Qt::white, QColor(0, 255, 0)},
                        {TColorScheme::Print, Qt::white, QColor(255, 0, 0), QColor(0, 255, 0)},
                        {TColorScheme::Black, Qt::white, Qt::black, Qt::black}};
  for (const Case& C : Cases) {
    TRenderOptions O = NoSmoothing();
    O.Colors = C.Scheme;
    const QImage I = Render(D, O);
    EXPECT_EQ(I.pixelColor(5, 5), C.Background);
    EXPECT_TRUE(InkNear(I, Px(0, 0), C.Pen2));
    EXPECT_TRUE(InkNear(I, Px(0, 20), C.Sxf));
  }
}

TEST(DrawingRender, WidthsOfPensAndEntities) {
  TJwwData D;
  InitA4(D);
  D.EntCol[2].anPenWidth = 5;      // screen pixels
  D.EntCol[2].anPrtPenWidth = 12;  // dots at 300 dpi: 1.02 mm, about 4 pixels here
  AddLine(D, Pen(2, 1), -100, 0, 100, 0);
  AddLine(D, Pen(2, 1, 200), -100, 50, 100, 50);  // 2 mm of its own: 8 pixels
  auto Thickness = [](const QImage& I, double Y) {
    int N = 0;
    for (int Dy = -20; Dy <= 20; ++Dy) N += I.pixelColor(Px(0, Y).toPoint() + QPoint(0, Dy)) == Qt::black;
    return N;
  };
  const QImage Screen = Render(D);
  EXPECT_NEAR(Thickness(Screen, 0), 5, 1);
  EXPECT_NEAR(Thickness(Screen, 50), 8, 1);
  TRenderOptions Print = NoSmoothing();
  Print.PrinterWidths = true;
  const QImage Printed = Render(D, Print);
  EXPECT_NEAR(Thickness(Printed, 0), 4, 1);
  EXPECT_NEAR(Thickness(Printed, 50), 8, 1);
  D.Enthd.bSenHaba100 = true;  // printer widths in 1/100 mm: 0.12 mm
  EXPECT_NEAR(Thickness(Render(D, Print), 0), 1, 0);
}

// ---- What is shown ----

TEST(DrawingRender, HiddenLayersAndGroupsDrawNothing) {
  struct Case {
    const char* What;
    int GroupState, LayerState;
    bool WriteGroup, WriteLayer;
    bool Shown;
  };
  const Case Cases[] = {{"shown layer", 2, 1, false, false, true},
                        {"hidden layer", 2, 0, false, false, false},
                        {"hidden group", 0, 2, false, false, false},
                        {"hidden write layer", 2, 0, false, true, true},
                        {"hidden write group", 0, 2, true, false, true}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    TJwwData D;
    InitA4(D);
    D.Enthd.nWriteGLay = C.WriteGroup ? 3 : 0;
    D.EntLgrp[3].anGLay = C.GroupState;
    D.EntLgrp[3].anWriteLay = C.WriteLayer ? 5 : 0;
    D.EntLay[3 * 16 + 5].aanLay = C.LayerState;
    AddLine(D, LayerPen(2, 1, 5, 3), -100, 0, 100, 0);
    TEntJwwMoji& M = AddRecord(D.EntNo, D.EntMoji, kMoji, LayerPen(2, 1, 5, 3));
    M.start_y = 20, M.dSizeX = M.dSizeY = 10, M.str = u"図";
    const QImage I = Render(D);
    EXPECT_EQ(InkNear(I, Px(0, 0), Qt::black), C.Shown);
    EXPECT_EQ(InkBounds(I, kWhite).isEmpty(), !C.Shown);
  }
}

TEST(DrawingRender, TemporaryPointsAndAuxiliaryLinesOnlyOnRequest) {
  TJwwData D;
  InitA4(D);
  AddLine(D, Pen(2, 9), -100, 0, 100, 0);
  TEntJwwTen& T = AddRecord(D.EntNo, D.EntTen, kTen, Pen(2, 1));
  T.start_x = 50, T.start_y = 50, T.bKariten = 1;
  EXPECT_TRUE(InkBounds(Render(D), kWhite).isEmpty());
  TRenderOptions O = NoSmoothing();
  O.ShowAuxiliaryLines = O.ShowTemporaryPoints = true;
  const QImage I = Render(D, O);
  EXPECT_TRUE(InkNear(I, Px(-100, 0), Qt::black) || InkNear(I, Px(-99.5, 0), Qt::black));
  EXPECT_TRUE(InkNear(I, Px(50, 50), Qt::black));
}

// ---- Line types ----

// Along the line y = 0 from x = 0: whether each millimetre's middle is inked.
std::vector<bool> InkAlong(const QImage& I, int Millimetres) {
  std::vector<bool> Ink;
  for (int Mm = 0; Mm < Millimetres; ++Mm) Ink.push_back(InkNear(I, Px(Mm + 0.5, 0), Qt::black, 0));
  return Ink;
}

std::vector<bool> Pattern(std::initializer_list<std::pair<int, bool>> Runs, int Millimetres) {
  std::vector<bool> P;
  while (static_cast<int>(P.size()) < Millimetres)
    for (const auto& [Length, Ink] : Runs) P.insert(P.end(), static_cast<std::size_t>(Length), Ink);
  P.resize(static_cast<std::size_t>(Millimetres));
  return P;
}

TEST(DrawingRender, StandardLineTypeLeavesGapsAtItsPatternsLengths) {
  TJwwData D;
  InitA4(D);
  // Line type 3: 12 bits of ink and 4 of gap, one bit 32/32 = 1 mm on paper.
  D.EntLtp1[1] = {static_cast<std::int32_t>(0xFFF00000u), 16, 1, 32};
  AddLine(D, Pen(2, 3), 0, 0, 100, 0);
  EXPECT_EQ(InkAlong(Render(D), 100), Pattern({{12, true}, {4, false}}, 100));
}

TEST(DrawingRender, SxfLineTypeLeavesGapsAtItsSegmentLengths) {
  TJwwData D;
  InitA4(D);
  D.EntLtpS[2].astrUDLTypeName = u"dashed";
  D.EntLtpS[2].anUDLTypeSegment = 4;
  D.EntLtpS[2].aadUDLTypePitch = {10, 3, 2, 5};
  AddLine(D, Pen(2, 32), 0, 0, 100, 0);
  EXPECT_EQ(InkAlong(Render(D), 100), Pattern({{10, true}, {3, false}, {2, true}, {5, false}}, 100));
}

TEST(DrawingRender, DashPatternsFromTheTables) {
  EXPECT_EQ(DashOfBits(0x99999999u, 4), QVector<double>({2, 2}));  // 1001: starts at the dash
  EXPECT_EQ(DashOfBits(0xF24FF24Fu, 16), QVector<double>({1, 2, 1, 2, 8, 2}));
  EXPECT_EQ(DashOfBits(0x22222222u, 4), QVector<double>({1, 3}));  // 0010: a dot, then the gap
  EXPECT_TRUE(DashOfBits(0xFFFFFFFFu, 32).isEmpty());
  EXPECT_TRUE(DashOfBits(0, 32).isEmpty());
  EXPECT_TRUE(DashOfBits(0x99999999u, 0).isEmpty());
  EXPECT_TRUE(DashOfSegments(0, {}).isEmpty());
  EXPECT_EQ(DashOfSegments(2, {6, 1.5}), QVector<double>({6, 1.5}));
}

// ---- Arcs ----

TEST(DrawingRender, TiltedFlattenedArcPassesThroughItsPoints) {
  TJwwData D;
  InitA4(D);
  TEntJwwEnko& E = AddRecord(D.EntNo, D.EntEnko, kEnko, Pen(2, 1));
  E.dHankei = 60, E.dHenpeiRitsu = 0.5, E.radKatamukiKaku = std::numbers::pi / 6;
  E.radKaishiKaku = 0.2, E.radEnkoKaku = 2.0;
  const QImage I = Render(D);
  auto At = [&](double T) {
    const double X = 60 * std::cos(T), Y = 30 * std::sin(T), C = std::cos(std::numbers::pi / 6),
                 S = std::sin(std::numbers::pi / 6);
    return Px(C * X - S * Y, S * X + C * Y);
  };
  for (const double T : {0.25, 0.7, 1.2, 1.7, 2.15}) EXPECT_TRUE(InkNear(I, At(T), Qt::black)) << T;
  for (const double T : {-0.3, 3.0, 4.5}) EXPECT_FALSE(InkNear(I, At(T), Qt::black, 3)) << "outside the sweep " << T;
  // Neither the untilted ellipse nor the unflattened circle.
  EXPECT_FALSE(InkNear(I, Px(60 * std::cos(1.2), 30 * std::sin(1.2)), Qt::black, 3));
  EXPECT_FALSE(InkNear(I, Px(60 * std::cos(1.2 + std::numbers::pi / 6), 60 * std::sin(1.2 + std::numbers::pi / 6)),
                       Qt::black, 3));
}

TEST(DrawingRender, NegativeSweepRunsClockwiseAndFullFlagDrawsTheWhole) {
  TJwwData D;
  InitA4(D);
  TEntJwwEnko& E = AddRecord(D.EntNo, D.EntEnko, kEnko, Pen(2, 1));
  E.dHankei = 40, E.dHenpeiRitsu = 1, E.radEnkoKaku = -std::numbers::pi / 2;
  TEntJwwEnko& F = AddRecord(D.EntNo, D.EntEnko, kEnko, Pen(2, 1));
  F.start_x = 100, F.dHankei = 20, F.dHenpeiRitsu = 1, F.radEnkoKaku = 0.1, F.bZenEnFlg = 1;
  const QImage I = Render(D);
  EXPECT_TRUE(InkNear(I, Px(40 * std::cos(-0.8), 40 * std::sin(-0.8)), Qt::black));
  EXPECT_FALSE(InkNear(I, Px(40 * std::cos(0.8), 40 * std::sin(0.8)), Qt::black, 3));
  EXPECT_TRUE(InkNear(I, Px(100 - 20, 0), Qt::black));
  EXPECT_TRUE(InkNear(I, Px(100, 20), Qt::black));
}

// ---- Blocks ----

TEST(DrawingRender, RotatedScaledNestedInsertPutsItsMemberWhereThePlacementSays) {
  TJwwData D;
  InitA4(D);
  // Definition 7: a line from (0, 0) to (10, 0). Definition 8: an insert of
  // 7 at (5, 0), turned a quarter, twice the size. The drawing inserts 8 at
  // (-40, 10), scaled 1.5 along x and 3 along y.
  TEntJwwBlockDef& Inner = D.EntBlockDef.emplace_back();
  Inner.nNumber = 7;
  TEntJwwLine& L = AddRecord(Inner.mNo, Inner.mLine, kLine, Pen(6, 1));
  L.end_x = 10;
  TEntJwwBlockDef& Outer = D.EntBlockDef.emplace_back();
  Outer.nNumber = 8;
  TEntJwwBlock& Nested = AddRecord(Outer.mNo, Outer.mBlock, kBlock, Pen(2, 1));
  Nested.nNumber = 7, Nested.DPKijunTen_x = 5, Nested.radKaitenKaku = std::numbers::pi / 2;
  Nested.dBairitsuX = Nested.dBairitsuY = 2;
  TEntJwwBlock& Top = AddRecord(D.EntNo, D.EntBlock, kBlock, Pen(2, 1));
  Top.nNumber = 8, Top.DPKijunTen_x = -40, Top.DPKijunTen_y = 10, Top.dBairitsuX = 1.5, Top.dBairitsuY = 3;
  D.MakeBlockTree();
  const QImage I = Render(D);
  // The member runs from (5, 0) up to (5, 20) in 8, so from (-32.5, 10) to
  // (-32.5, 70) on the sheet, in its own colour (pen 6, blue).
  const QColor Blue(0, 0, 255);
  for (const double Y : {12.0, 40.0, 68.0}) EXPECT_TRUE(InkNear(I, Px(-32.5, Y), Blue)) << Y;
  EXPECT_FALSE(InkNear(I, Px(-32.5, 75), Blue, 3));
  EXPECT_FALSE(InkNear(I, Px(5, 0), Blue, 3)) << "the definition's own place";
  EXPECT_TRUE(QRectF(Px(-32.5, 70), Px(-32.5, 10)).adjusted(-2, -2, 2, 2).contains(InkBounds(I, kWhite)))
      << "nothing else is drawn";
}

TEST(DrawingRender, BlockMembersFollowTheLayerOfTheOutermostInsert) {
  TJwwData D;
  InitA4(D);
  D.EntLay[7].aanLay = 0;  // group 0, layer 7 hidden
  TEntJwwBlockDef& Def = D.EntBlockDef.emplace_back();
  Def.nNumber = 1;
  AddRecord(Def.mNo, Def.mLine, kLine, LayerPen(2, 1, 7, 0)).end_x = 50;  // on the hidden layer itself
  TEntJwwBlock& Shown = AddRecord(D.EntNo, D.EntBlock, kBlock, LayerPen(2, 1, 1, 0));
  Shown.nNumber = 1, Shown.dBairitsuX = Shown.dBairitsuY = 1;
  TEntJwwBlock& Hidden = AddRecord(D.EntNo, D.EntBlock, kBlock, LayerPen(2, 1, 7, 0));
  Hidden.nNumber = 1, Hidden.DPKijunTen_y = 40, Hidden.dBairitsuX = Hidden.dBairitsuY = 1;
  const QImage I = Render(D);
  EXPECT_TRUE(InkNear(I, Px(25, 0), Qt::black));
  EXPECT_FALSE(InkNear(I, Px(25, 40), Qt::black, 3));
}

// ---- Texts ----

TEST(DrawingRender, TextInkStaysInsideItsBox) {
  for (const double Angle : {0.0, 90.0}) {
    SCOPED_TRACE(Angle);
    TJwwData D;
    InitA4(D);
    TEntJwwMoji& M = AddRecord(D.EntNo, D.EntMoji, kMoji, Pen(2, 1));
    M.start_x = -60, M.start_y = -40, M.dSizeX = 12, M.dSizeY = 15, M.dKankaku = 2, M.degKakudo = Angle;
    M.strFontName = u"ＭＳ ゴシック";
    M.str = u"平面図ABC";
    const double Length = 3 * 12 + 3 * 6 + 3 * 2 + 2 * 1;  // full and half cells, each gap but the last
    const double Up = Angle == 0 ? 0 : 1;
    M.end_x = M.start_x + Length * (1 - Up), M.end_y = M.start_y + Length * Up;
    EXPECT_DOUBLE_EQ(TextLength(LayoutText(M)), Length);
    TRenderOptions O;  // smoothed, as texts are shown
    const QImage I = Render(D, O);
    const QRect Ink = InkBounds(I, kWhite);
    ASSERT_FALSE(Ink.isEmpty());
    const QRectF Box =
        Angle == 0 ? QRectF(Px(-60, -25), Px(-60 + Length, -40)) : QRectF(Px(-75, -40 + Length), Px(-60, -40));
    EXPECT_TRUE(Box.adjusted(-1, -1, 1, 1).contains(Ink))
        << "ink " << Ink.x() << "," << Ink.y() << " " << Ink.width() << "x" << Ink.height();
    // The glyphs fill most of the box along the baseline and across it.
    const double Along = Angle == 0 ? Ink.width() : Ink.height(), Across = Angle == 0 ? Ink.height() : Ink.width();
    EXPECT_GT(Along, 0.85 * Length * kPxPerMm);
    EXPECT_GT(Across, 0.7 * 15 * kPxPerMm);
  }
}

TEST(DrawingRender, LayoutOfCellsAndCodes) {
  TEntJwwMoji M;
  M.dSizeX = 4, M.dSizeY = 4, M.dKankaku = 1;
  M.str = u"a^u2字";
  const std::vector<TGlyphCell> Cells = LayoutText(M);
  ASSERT_EQ(Cells.size(), 3u);
  EXPECT_EQ(Cells[0].Text, QStringLiteral("a"));
  EXPECT_DOUBLE_EQ(Cells[0].Width, 2);
  EXPECT_DOUBLE_EQ(Cells[1].X, 2.5);
  EXPECT_DOUBLE_EQ(Cells[1].Scale, 0.5);
  EXPECT_DOUBLE_EQ(Cells[1].Rise, 0.5);
  EXPECT_DOUBLE_EQ(Cells[2].X, 2.5 + 1 + 0.5);
  EXPECT_DOUBLE_EQ(Cells[2].Width, 4);
  M.str = u"^!太^#^wAB^z";
  const std::vector<TGlyphCell> Codes = LayoutText(M);
  ASSERT_EQ(Codes.size(), 4u);
  EXPECT_TRUE(Codes[0].Bold);
  EXPECT_EQ(Codes[1].Text, QStringLiteral("AB")) << "overlaid in one cell";
  EXPECT_FALSE(Codes[1].Bold);
  EXPECT_EQ(Codes[2].Text + Codes[3].Text, QStringLiteral("^z")) << "unknown codes shown as written";
}

TEST(DrawingRender, FontsOfTheDrawingsMapToTheDebianCjkFaces) {
  EXPECT_EQ(FontFamilyFor(u"ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"));
  EXPECT_EQ(FontFamilyFor(u"ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"));
  EXPECT_EQ(FontFamilyFor(u"ＭＳ 明朝"), QStringLiteral("Noto Serif CJK JP"));
  EXPECT_EQ(FontFamilyFor(u""), QStringLiteral("Noto Sans Mono CJK JP"));
}

TEST(DrawingRender, SettingsTextsAreNotDrawn) {
  TJwwData D;
  InitA4(D);
  D.Enthd.nZumen = 4;
  TEntJwwMoji& M = AddRecord(D.EntNo, D.EntMoji, kMoji, Pen(2, 1));
  M.start_y = M.end_y = -1000, M.dSizeX = M.dSizeY = 3, M.str = u"View_Direct2d = 1";
  const TDrawingRenderer R(D, NoSmoothing());
  EXPECT_FALSE(R.Extents());
  EXPECT_EQ(R.FitRect(), SheetRect(4));
}

// ---- Solids ----

TEST(DrawingRender, SolidOfItsOwnColourFillsItsQuadrilateral) {
  TJwwData D;
  InitA4(D);
  TEntJwwSolid& S = AddRecord(D.EntNo, D.EntSolid, kSolid, Pen(10, 1));
  S.start_x = -50, S.start_y = -20, S.end_x = 30, S.end_y = -20, S.DPoint2_x = 50, S.DPoint2_y = 40, S.DPoint3_x = -30,
  S.DPoint3_y = 40;
  S.Color = 0x0080FF;                                                   // 0x00BBGGRR: orange
  TEntJwwSolid& T = AddRecord(D.EntNo, D.EntSolid, kSolid, Pen(3, 1));  // a triangle: the last corner repeats the first
  T.start_x = 80, T.start_y = -60, T.end_x = 120, T.end_y = -60, T.DPoint2_x = 100, T.DPoint2_y = -20, T.DPoint3_x = 80,
  T.DPoint3_y = -60;
  const QImage I = Render(D);
  const QColor Orange(255, 128, 0), Green(0, 192, 0);
  for (const QPointF P : {Px(0, 10), Px(-40, -15), Px(45, 35), Px(-25, 35)})
    EXPECT_EQ(I.pixelColor(P.toPoint()), Orange);
  for (const QPointF P : {Px(-50, 30), Px(50, -15), Px(0, 45), Px(0, -25)})
    EXPECT_EQ(I.pixelColor(P.toPoint()), kWhite);
  EXPECT_EQ(I.pixelColor(Px(100, -40).toPoint()), Green);
  EXPECT_EQ(I.pixelColor(Px(85, -25).toPoint()), kWhite);
}

TEST(DrawingRender, ArcSolids) {
  TJwwData D;
  InitA4(D);
  auto ArcSolid = [&](int Style, double Cx, double R, double Sweep, double Kind) {
    TEntJwwSolid& S = AddRecord(D.EntNo, D.EntSolid, kSolid, Pen(2, Style));
    S.start_x = Cx, S.end_x = R, S.end_y = 1, S.DPoint3_x = Sweep, S.DPoint3_y = Kind;
  };
  ArcSolid(101, -100, 20, std::numbers::pi / 2, 0);  // a sector of the first quadrant
  ArcSolid(101, -40, 20, 1, 100);                    // a full disc
  ArcSolid(105, 30, 20, 2 * std::numbers::pi, 10);   // a ring of inner radius 10
  const QImage I = Render(D);
  EXPECT_EQ(I.pixelColor(Px(-90, 8).toPoint()), Qt::black);
  EXPECT_EQ(I.pixelColor(Px(-110, 8).toPoint()), kWhite);
  EXPECT_EQ(I.pixelColor(Px(-40, -12).toPoint()), Qt::black);
  EXPECT_EQ(I.pixelColor(Px(45, 0).toPoint()), Qt::black);
  EXPECT_EQ(I.pixelColor(Px(30, 0).toPoint()), kWhite) << "inside the ring";
}

// ---- Fitting ----

TEST(DrawingRender, FitsTheSheetOrTheExtentsOfWhatLeavesIt) {
  TJwwData D;
  InitA4(D);
  AddLine(D, Pen(2, 1), -100, 0, 100, 0);
  EXPECT_EQ(TDrawingRenderer(D, {}).FitRect(), SheetRect(4));
  AddLine(D, Pen(2, 1), 0, 0, 400, 300);
  const QRectF Fit = TDrawingRenderer(D, {}).FitRect();
  EXPECT_TRUE(Fit.contains(QRectF(-100, 0, 500, 300)));
  EXPECT_LE(Fit.width(), 520);
  TJwsData Figure;
  AddRecord(Figure.EntNo, Figure.EntLine, kLine, Pen(2, 1)) = {Pen(2, 1), 10, 10, 30, 20};
  const QRectF F = TDrawingRenderer(Figure, {}).FitRect();
  EXPECT_TRUE(F.contains(QRectF(10, 10, 20, 10)));
  EXPECT_LT(F.width(), 22);
}

}  // namespace
