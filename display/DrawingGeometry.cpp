#include "display/DrawingGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kMaxArcSegments = 4096;
constexpr double kTwoPi = 2 * std::numbers::pi;

}  // namespace

TAffine TAffine::operator*(const TAffine& I) const {
  return {A * I.A + B * I.C, A * I.B + B * I.D,     C * I.A + D * I.C,
          C * I.B + D * I.D, A * I.E + B * I.F + E, C * I.E + D * I.F + F};
}

double TAffine::Stretch() const { return std::max(std::hypot(A, C), std::hypot(B, D)); }

bool TAffine::Finite() const {
  return std::isfinite(A) && std::isfinite(B) && std::isfinite(C) && std::isfinite(D) && std::isfinite(E) &&
         std::isfinite(F);
}

TAffine FitMap(const QRectF& World, const QRectF& Target) {
  const double W = std::max(World.width(), 1e-9), H = std::max(World.height(), 1e-9);
  const double S = std::min(Target.width() / W, Target.height() / H);
  const QPointF C = World.center(), T = Target.center();
  return {S, 0, 0, -S, T.x() - S * C.x(), T.y() + S * C.y()};
}

TAffine Placement(double X, double Y, double Angle, double ScaleX, double ScaleY) {
  const double Cos = std::cos(Angle), Sin = std::sin(Angle);
  return {Cos * ScaleX, -Sin * ScaleY, Sin * ScaleX, Cos * ScaleY, X, Y};
}

std::optional<QLineF> ClipLineSlow(QPointF P, QPointF Q, const QRectF& R) {
  // Liang-Barsky.
  double T0 = 0, T1 = 1;
  const double Dx = Q.x() - P.x(), Dy = Q.y() - P.y();
  const double Pk[4] = {-Dx, Dx, -Dy, Dy};
  const double Qk[4] = {P.x() - R.left(), R.right() - P.x(), P.y() - R.top(), R.bottom() - P.y()};
  for (int K = 0; K < 4; ++K) {
    if (Pk[K] == 0) {
      if (Qk[K] < 0) return std::nullopt;
      continue;
    }
    const double T = Qk[K] / Pk[K];
    if (Pk[K] < 0) T0 = std::max(T0, T);
    else T1 = std::min(T1, T);
    if (T0 > T1) return std::nullopt;
  }
  return QLineF(P.x() + T0 * Dx, P.y() + T0 * Dy, P.x() + T1 * Dx, P.y() + T1 * Dy);
}

std::vector<QPolygonF> ClipPolyline(const QPolygonF& Points, const QRectF& Rect) {
  std::vector<QPolygonF> Runs;
  QPolygonF Run;
  for (qsizetype I = 1; I < Points.size(); ++I) {
    const std::optional<QLineF> L = ClipLine(Points[I - 1], Points[I], Rect);
    if (!L) {
      if (Run.size() > 1) Runs.push_back(Run);
      Run.clear();
      continue;
    }
    if (Run.isEmpty() || Run.back() != L->p1()) {
      if (Run.size() > 1) Runs.push_back(Run);
      Run.clear();
      Run.append(L->p1());
    }
    Run.append(L->p2());
  }
  if (Run.size() > 1) Runs.push_back(Run);
  return Runs;
}

QRectF MappedBounds(const TAffine& M, const QRectF& R) {
  const QPointF P[4] = {M(R.topLeft()), M(R.topRight()), M(R.bottomLeft()), M(R.bottomRight())};
  double X0 = P[0].x(), X1 = X0, Y0 = P[0].y(), Y1 = Y0;
  for (const QPointF& Q : P) {
    X0 = std::min(X0, Q.x());
    X1 = std::max(X1, Q.x());
    Y0 = std::min(Y0, Q.y());
    Y1 = std::max(Y1, Q.y());
  }
  return {X0, Y0, X1 - X0, Y1 - Y0};
}

QPointF TArc::At(double Theta) const {
  const double X = R * std::cos(Theta), Y = R * Flat * std::sin(Theta);
  const double Cos = std::cos(Tilt), Sin = std::sin(Tilt);
  return {Cx + Cos * X - Sin * Y, Cy + Sin * X + Cos * Y};
}

QRectF TArc::EllipseBounds() const {
  const double Reach = std::abs(R) * std::max(1.0, std::abs(Flat));
  return {Cx - Reach, Cy - Reach, 2 * Reach, 2 * Reach};
}

std::vector<QPointF> ArcExtremes(const TArc& A) {
  double Start = A.Start, Sweep = std::clamp(A.Sweep, -kTwoPi, kTwoPi);
  if (Sweep < 0) {
    Start += Sweep;
    Sweep = -Sweep;
  }
  std::vector<QPointF> Points{A.At(Start), A.At(Start + Sweep)};
  // x turns where -r cos(t) sin(th) - r f sin(t) cos(th) = 0, y where
  // -r sin(t) sin(th) + r f cos(t) cos(th) = 0 (t the tilt), and half a turn on.
  const double Ct = std::cos(A.Tilt), St = std::sin(A.Tilt);
  for (const double Base : {std::atan2(-A.Flat * St, Ct), std::atan2(A.Flat * Ct, St)}) {
    for (const double Turn : {Base, Base + kTwoPi / 2}) {
      const double Into = std::fmod(std::fmod(Turn - Start, kTwoPi) + kTwoPi, kTwoPi);
      if (Into <= Sweep) Points.push_back(A.At(Start + Into));
    }
  }
  return Points;
}

namespace {

// The range of parameter angles under which the clip rectangle is seen from
// the centre, in the ellipse's own unflattened coordinates; nullopt when the
// centre lies inside it (every angle can be visible) or the ellipse cannot
// reach it.
std::optional<std::pair<double, double>> VisibleAngles(const TArc& Arc, const TAffine& Map, const QRectF& Clip) {
  // Device -> the ellipse's circle coordinates.
  const TAffine Local = Map * Placement(Arc.Cx, Arc.Cy, Arc.Tilt, 1, Arc.Flat);
  const double Det = Local.A * Local.D - Local.B * Local.C;
  if (!std::isfinite(Det) || std::abs(Det) < 1e-300) return std::nullopt;
  const TAffine Inv{Local.D / Det,
                    -Local.B / Det,
                    -Local.C / Det,
                    Local.A / Det,
                    (Local.B * Local.F - Local.D * Local.E) / Det,
                    (Local.C * Local.E - Local.A * Local.F) / Det};
  const QPointF Corner[4] = {Inv(Clip.topLeft()), Inv(Clip.topRight()), Inv(Clip.bottomRight()),
                             Inv(Clip.bottomLeft())};
  const QPointF Mid = Inv(Clip.center());
  double Near = std::hypot(Mid.x(), Mid.y()), Far = 0;
  for (const QPointF& C : Corner) Far = std::max(Far, std::hypot(C.x(), C.y()));
  // The rectangle spans at most this much around its middle: beyond, no
  // angle can meet it.
  const double Half = std::max(std::hypot(Corner[0].x() - Corner[2].x(), Corner[0].y() - Corner[2].y()),
                               std::hypot(Corner[1].x() - Corner[3].x(), Corner[1].y() - Corner[3].y())) /
                      2;
  if (Near <= Half * 1.5) return std::nullopt;
  const double R = std::abs(Arc.R);
  if (R < Near - Half || R > Far) return std::pair{0.0, -1.0};
  const double Base = std::atan2(Mid.y(), Mid.x());
  double Lo = 0, Hi = 0;
  for (const QPointF& C : Corner) {
    double A = std::atan2(C.y(), C.x()) - Base;
    A = std::remainder(A, kTwoPi);
    Lo = std::min(Lo, A);
    Hi = std::max(Hi, A);
  }
  return std::pair{Base + Lo, Base + Hi};
}

}  // namespace

QPolygonF ArcPoints(const TArc& Arc, const TAffine& Map, const QRectF& Clip) {
  double Start = Arc.Start, Sweep = std::clamp(Arc.Sweep, -kTwoPi, kTwoPi);
  if (Sweep < 0) {
    Start += Sweep;
    Sweep = -Sweep;
  }
  const double DeviceR = std::abs(Arc.R) * std::max(1.0, std::abs(Arc.Flat)) * Map.Stretch();
  if (!std::isfinite(DeviceR) || Sweep == 0) return {};
  if (const auto Seen = Clip.isEmpty() ? std::nullopt : VisibleAngles(Arc, Map, Clip)) {
    if (Seen->second < Seen->first) return {};
    // Keep the part of [Start, Start + Sweep] that falls in the seen range
    // (taken modulo a full turn).
    const double Shift = std::floor((Seen->first - Start) / kTwoPi) * kTwoPi;
    double Lo = Seen->first - Shift, Hi = Seen->second - Shift;
    if (Lo > Start + Sweep) {
      Lo -= kTwoPi;
      Hi -= kTwoPi;
    }
    const double From = std::max(Start, Lo), To = std::min(Start + Sweep, Hi);
    if (To <= From) {
      if (Hi + kTwoPi < Start || Lo + kTwoPi > Start + Sweep) return {};
      const double F2 = std::max(Start, Lo + kTwoPi), T2 = std::min(Start + Sweep, Hi + kTwoPi);
      if (T2 <= F2) return {};
      Start = F2;
      Sweep = T2 - F2;
    } else {
      Start = From;
      Sweep = To - From;
    }
  }
  // Chords within a quarter pixel of the curve.
  const double Step = DeviceR > 1 ? 2 * std::acos(std::max(0.0, 1 - 0.25 / DeviceR)) : kTwoPi / 8;
  const int N = std::clamp(static_cast<int>(std::ceil(Sweep / std::max(Step, 1e-9))), 2, kMaxArcSegments);
  QPolygonF Points;
  Points.reserve(N + 1);
  for (int I = 0; I <= N; ++I) Points.append(Map(Arc.At(Start + Sweep * I / N)));
  return Points;
}
