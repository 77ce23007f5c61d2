// Drawings built in memory for the preview tests, and what to look for in
// the pictures: an A4 sheet drawn at exactly 4 pixels per millimetre, so
// that a paper point has a known pixel.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include "display/DrawingRenderer.h"
#include "documents/JwwUnit.h"
#include "tests/conversion/ConversionFixtures.h"

namespace displayfix {

inline constexpr int kPxPerMm = 4;
inline constexpr int kSheetW = 297 * kPxPerMm, kSheetH = 210 * kPxPerMm;

// Makes D an A4 drawing of version 700 with the usual tables of a white
// sheet, every layer shown.
void InitA4(TJwwData& D);

// A pen on a layer of a group.
TEntJwwAttr LayerPen(int Color, int Ltype, int Layer, int Group);

// The pixel of a paper point on the A4 picture.
inline QPointF Px(double X, double Y) { return {(X + 148.5) * kPxPerMm, (105 - Y) * kPxPerMm}; }

// The drawing rendered onto the A4 picture, without antialiasing unless the
// options say so.
TRenderOptions NoSmoothing();
QImage Render(const TJwwData& D, TRenderOptions O = NoSmoothing());

// Whether a pixel within Radius of the point has exactly the colour.
bool InkNear(const QImage& I, QPointF P, QColor C, int Radius = 1);
// The bounding box of the pixels that differ from the background; empty
// when there are none.
QRect InkBounds(const QImage& I, QColor Background);

TEntJwwLine& AddLine(TJwBody& D, const TEntJwwAttr& A, double X0, double Y0, double X1, double Y1);

}  // namespace displayfix
