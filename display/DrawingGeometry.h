// Plane geometry of the preview: the affine maps from paper millimetres to
// device pixels (through block placements), clipping to the device, and the
// points of arcs and ellipses.
#pragma once

#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>
#include <cmath>
#include <optional>
#include <vector>

// x' = A x + B y + E, y' = C x + D y + F.
struct TAffine {
  double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;

  QPointF operator()(double X, double Y) const { return {A * X + B * Y + E, C * X + D * Y + F}; }
  QPointF operator()(QPointF P) const { return (*this)(P.x(), P.y()); }
  // This map after Inner: p -> this(Inner(p)).
  TAffine operator*(const TAffine& Inner) const;
  // The largest factor by which the map stretches a length.
  double Stretch() const;
  QTransform ToTransform() const { return {A, C, B, D, E, F}; }
  bool Finite() const;
};

// Paper millimetres (y up) of World onto Target, one scale, centred.
TAffine FitMap(const QRectF& World, const QRectF& Target);
// Rectangle tests inline, for the loops that run once per entity.
inline bool Inside(const QRectF& R, QPointF P) {
  return P.x() >= R.left() && P.x() <= R.right() && P.y() >= R.top() && P.y() <= R.bottom();
}
inline bool Meets(const QRectF& R, const QRectF& S) {
  return S.right() >= R.left() && S.left() <= R.right() && S.bottom() >= R.top() && S.top() <= R.bottom();
}

// A block placement: translate, rotate, scale about the definition's origin.
TAffine Placement(double X, double Y, double Angle, double ScaleX, double ScaleY);

// The part of a segment inside Rect; nullopt when none.
std::optional<QLineF> ClipLineSlow(QPointF P, QPointF Q, const QRectF& Rect);
inline std::optional<QLineF> ClipLine(QPointF P, QPointF Q, const QRectF& Rect) {
  if (Inside(Rect, P) && Inside(Rect, Q)) return QLineF(P, Q);
  return ClipLineSlow(P, Q, Rect);
}
// The parts of a polyline inside Rect, each a polyline of its own.
std::vector<QPolygonF> ClipPolyline(const QPolygonF& Points, const QRectF& Rect);
// The bounding box of a rectangle's image under a map.
QRectF MappedBounds(const TAffine& M, const QRectF& R);

// An arc of an ellipse: centre, radius, flattening, tilt, start and sweep
// (radians; a negative sweep runs clockwise).
struct TArc {
  double Cx = 0, Cy = 0, R = 0, Flat = 1, Tilt = 0, Start = 0, Sweep = 0;
  QPointF At(double Theta) const;
  // A box that holds the whole ellipse.
  QRectF EllipseBounds() const;
};
// The ends of the arc and the points where it turns in x or y: its box.
std::vector<QPointF> ArcExtremes(const TArc& Arc);
// Device points of the arc under Map, dense enough for its size on the
// device and limited to the part that can meet Clip (the whole arc for an
// empty Clip); empty when none can.
QPolygonF ArcPoints(const TArc& Arc, const TAffine& Map, const QRectF& Clip);

// True when every value is a finite number within the range a drawing can
// hold (beyond it the device arithmetic loses all precision).
inline constexpr double kMaxCoordinate = 1e12;  // paper mm: far beyond any sheet
inline bool Sane(double V) { return std::isfinite(V) && std::abs(V) < kMaxCoordinate; }
template <class... T>
bool Sane(double V, T... More) {
  return Sane(V) && Sane(More...);
}
