#include "display/DrawingRenderer.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <unordered_map>

#include "display/DrawingGeometry.h"
#include "display/DrawingImages.h"
#include "display/DrawingText.h"
#include "documents/JwBody.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

constexpr int kAuxiliaryLtype = 9;
constexpr int kMaxBlockDepth = 32;
// Members drawn through block inserts in one picture: beyond, a drawing whose
// blocks multiply out without end stops being expanded.
constexpr std::size_t kMaxBlockMembers = 2'000'000;
// Strokes kept for one pen before they are drawn: bounds the memory a
// picture of millions of entities takes.
constexpr qsizetype kBatchLimit = 1 << 16;
// Coordinates beyond this (millimetres) count for no extents.
constexpr double kExtentLimit = 1e7;
constexpr double kFitMargin = 0.02;
// Dash patterns shorter than this on the device are drawn solid.
constexpr double kMinDashPeriodPx = 3;
constexpr double kPointPx = 2;
constexpr std::uint16_t kOwnSolidColor = 10;
constexpr std::uint8_t kArcSolid = 101;

// Grows a rectangle to hold points, ignoring values beyond the limit.
class TBounds {
 public:
  void Add(double X, double Y) {
    if (!std::isfinite(X) || !std::isfinite(Y) || std::abs(X) > kExtentLimit || std::abs(Y) > kExtentLimit) return;
    X0_ = std::min(X0_, X), X1_ = std::max(X1_, X), Y0_ = std::min(Y0_, Y), Y1_ = std::max(Y1_, Y);
  }
  void Add(QPointF P) { Add(P.x(), P.y()); }
  void Add(const QRectF& R) { Add(R.topLeft()), Add(R.bottomRight()); }
  // Whether the square of half-side Reach about the point adds nothing: a
  // cheap test that spares working out the exact box of most entities.
  bool Holds(double X, double Y, double Reach) const {
    return X - Reach >= X0_ && X + Reach <= X1_ && Y - Reach >= Y0_ && Y + Reach <= Y1_;
  }
  std::optional<QRectF> Rect() const {
    if (X0_ > X1_) return std::nullopt;
    return QRectF(X0_, Y0_, X1_ - X0_, Y1_ - Y0_);
  }

 private:
  double X0_ = INFINITY, X1_ = -INFINITY, Y0_ = INFINITY, Y1_ = -INFINITY;
};

TArc ArcOf(const TEntJwwEnko& E) {
  const double Sweep = E.bZenEnFlg ? 2 * M_PI : E.radEnkoKaku;
  return {E.start_x, E.start_y, E.dHankei, E.dHenpeiRitsu, E.radKatamukiKaku, E.radKaishiKaku, Sweep};
}

// Arc solids keep their arc in the corner fields.
TArc ArcOf(const TEntJwwSolid& S) {
  return {S.start_x, S.start_y, S.end_x, S.end_y, S.DPoint2_x, S.DPoint2_y, S.DPoint3_x};
}

bool IsArcSolid(const TEntJwwSolid& S) { return S.att.nPenStyle >= kArcSolid; }

bool SaneArc(const TArc& A) { return Sane(A.Cx, A.Cy, A.R, A.Flat, A.Tilt, A.Start, A.Sweep); }

// The rectangle a text takes (or the image it places) in its own
// coordinates (TextPaperFrame): along the baseline by the stored end point,
// upwards by its height.
QRectF TextRect(const TEntJwwMoji& M) {
  if (M.str.starts_with(u"^@BM"))
    if (const auto Ref = ParseImageReference(M.str); Ref && Ref->Width > 0)
      return {0, -Ref->Height, Ref->Width, Ref->Height};
  const double H = std::abs(M.dSizeY);
  return {0, -H, std::hypot(M.end_x - M.start_x, M.end_y - M.start_y), H};
}

bool SaneText(const TEntJwwMoji& M) {
  return !IsSettingsText(M) && Sane(M.start_x, M.start_y, M.end_x, M.end_y, M.degKakudo, M.dSizeY);
}

}  // namespace

// ---- Strokes of one pen, drawn together ----

namespace {

struct TPenKey {
  QRgb Color;
  int Width64;  // width in 1/64 device pixels
  const QVector<double>* Dash;
  bool Point;
  bool operator==(const TPenKey&) const = default;
};

struct TPenKeyHash {
  std::size_t operator()(const TPenKey& K) const {
    return std::hash<std::uint64_t>()((std::uint64_t{K.Color} << 32) ^ static_cast<std::uint64_t>(K.Width64)) ^
           std::hash<const void*>()(K.Dash) ^ (K.Point ? 1 : 0);
  }
};

struct TStrokeBatch {
  QPen Pen;
  QVector<QLineF> Lines;
  std::vector<QPolygonF> Polylines;
  QVector<QPointF> Dots;
  std::vector<std::pair<QPointF, double>> Discs;
  QPoint LastDot;
  bool Empty() const { return Lines.isEmpty() && Polylines.empty() && Dots.isEmpty() && Discs.empty(); }
  void Clear() {
    Lines.clear();
    Polylines.clear();
    Dots.clear();
    Discs.clear();
  }
};

struct TQueuedText {
  const TEntJwwMoji* Text;
  TAffine ToDevice;
  QColor Color;
};

enum class TPass { Fills, Strokes, All };

}  // namespace

class TSheetPainter {
 public:
  TSheetPainter(const TDrawingRenderer& R, QPainter& P, const TAffine& View, const QRectF& Clip)
      : R_(R), S_(R.Style_), O_(R.Options_), P_(P), View_(View), Clip_(Clip), Scale_(View.Stretch()) {}

  void Run() {
    const ConstEntityLists L = R_.Body_.Entities();
    if (S_.ImagesFirst()) {
      DrawList(L, View_, true, 0, TPass::Fills);
      DrawList(L, View_, true, 0, TPass::Strokes);
    } else {
      DrawList(L, View_, true, 0, TPass::All);
    }
    Flush();
    for (const TQueuedText& T : Texts_) DrawText(P_, *T.Text, T.ToDevice, TextLook(T.Color));
  }

 private:
  // Top: entities of the drawing itself, whose own layers decide; members
  // of blocks follow their outermost insert.
  void DrawList(const ConstEntityLists& L, const TAffine& M, bool Top, int Depth, TPass Pass) {
    const double Stretch = M.Stretch();
    for (const TEntJwwNo& No : L.no) {
      if (!L.Valid(No)) continue;
      const auto I = static_cast<std::size_t>(No.EntNo);
      switch (No.EntType) {
        case kLine:
          if (Pass != TPass::Fills && Shown(L.line[I].att, Top)) Line(L.line[I], M);
          break;
        case kEnko:
          if (Pass != TPass::Fills && Shown(L.enko[I].att, Top)) Arc(L.enko[I], M);
          break;
        case kTen:
          if (Pass != TPass::Fills && Shown(L.ten[I].att, Top)) Point(L.ten[I], M);
          break;
        case kMoji:
          if (Shown(L.moji[I].att, Top)) Text(L.moji[I], M, Stretch, Pass);
          break;
        case kSunpo:
          if (Pass != TPass::Fills && Shown(L.sunpo[I].att, Top)) Dimension(L.sunpo[I], M);
          break;
        case kSolid:
          if (Pass != TPass::Strokes && Shown(L.solid[I].att, Top)) Solid(L.solid[I], M, Pass);
          break;
        case kBlock:
          if (Shown(L.block[I].att, Top)) Block(L.block[I], M, Stretch, Depth, Pass);
          break;
        default: break;
      }
    }
  }

  bool Shown(const TEntJwwAttr& A, bool Top) const { return !Top || S_.Visible(A); }

  // ---- Pens ----

  double WidthPx(const TPenLook& Look) const {
    const double W = Look.Pixels ? Look.Width : Look.Width * Scale_;
    return std::max(std::isfinite(W) ? W : 1.0, O_.MinWidthPx);
  }

  // Points are drawn as squares of a solid pen.
  TStrokeBatch& Batch(const TPenLook& Look, bool Point = false) {
    const double W = WidthPx(Look);
    const QVector<double>* Dash = Point || !Look.DashMm || Look.DashMm->isEmpty() ? nullptr : Look.DashMm;
    if (Dash) {
      double Period = 0;
      for (double D : *Dash) Period += D;
      if (Period * Scale_ < kMinDashPeriodPx) Dash = nullptr;
    }
    const TPenKey Key{Look.Color.rgba(), static_cast<int>(std::lround(std::min(W, 1e6) * 64)), Dash, Point};
    auto [It, New] = Batches_.try_emplace(Key);
    if (New) It->second.Pen = MakePen(Look.Color, W, Dash, Point);
    return It->second;
  }

  // The batch of an entity's pen, looked up once per pen in a picture: by
  // colour and line type when the pen's own width (or one too thin to show)
  // applies, otherwise through a cache.
  TStrokeBatch& BatchOf(const TEntJwwAttr& A) {
    const bool OwnWidth = A.nPenWidth > 0 && A.nPenWidth <= 30000;
    if (!OwnWidth || A.nPenWidth * 0.01 * Scale_ <= O_.MinWidthPx) {
      const std::size_t I =
          (static_cast<std::size_t>(S_.ColorIndex(A.nPenColor)) * 64 + (A.nPenStyle & 63)) * 2 + OwnWidth;
      if (!ByPen_[I]) ByPen_[I] = &Batch(Look(A));
      return Ready(*ByPen_[I]);
    }
    const std::uint64_t Key = A.nPenColor | std::uint64_t{A.nPenStyle} << 16 | std::uint64_t{A.nPenWidth} << 24;
    TPenSlot& Slot = PenCache_[(Key * 0x9E3779B97F4A7C15ull) >> (64 - kPenCacheBits)];
    if (!Slot.Batch || Slot.Key != Key) Slot = {Key, &Batch(Look(A))};
    return Ready(*Slot.Batch);
  }

  // Texts drawn as strokes and points: the solid batch of their colour.
  enum TColorUse { Texts, Points };
  TStrokeBatch& ColorBatch(std::int32_t Color, TColorUse Use) {
    TStrokeBatch*& B = ByColor_[static_cast<std::size_t>(S_.ColorIndex(Color)) * 2 + Use];
    if (!B) {
      const TPenLook Look{S_.PenColor(Color, O_.Colors), Use == Points ? kPointPx : 1, true, nullptr};
      B = &Batch(Look, Use == Points);
    }
    return Ready(*B);
  }

  // Something smaller than a pixel; a dot on the pixel the batch's last dot
  // took adds nothing.
  static void Dot(TStrokeBatch& B, QPointF P) {
    const QPoint Pixel(static_cast<int>(P.x()), static_cast<int>(P.y()));  // the clip keeps it in range
    if (!B.Dots.isEmpty() && B.LastDot == Pixel) return;
    B.LastDot = Pixel;
    B.Dots.append(P);
  }

  // A batch grown to its limit is drawn first.
  TStrokeBatch& Ready(TStrokeBatch& B) {
    if (B.Lines.size() + B.Dots.size() + static_cast<qsizetype>(B.Polylines.size() + B.Discs.size()) >= kBatchLimit)
      DrawBatch(B);
    return B;
  }

  QPen MakePen(const QColor& Color, double W, const QVector<double>* Dash, bool Point) const {
    QPen Pen(Color, W <= 1 ? 0 : W);
    Pen.setJoinStyle(Qt::RoundJoin);
    Pen.setCapStyle(Point ? Qt::SquareCap : Dash ? Qt::FlatCap : Qt::RoundCap);
    if (Dash) {
      QList<qreal> Pattern;
      const double Unit = std::max(W, 1.0);
      for (double D : *Dash) Pattern.append(std::max(D * Scale_ / Unit, 0.01));
      if (Pattern.size() % 2) Pattern.append(0.01);
      Pen.setDashPattern(Pattern);
    }
    return Pen;
  }

  TPenLook Look(const TEntJwwAttr& A) const { return S_.Pen(A, O_.Colors, O_.PrinterWidths); }

  void Flush() {
    for (auto& [Key, B] : Batches_) DrawBatch(B);
  }

  void DrawBatch(TStrokeBatch& B) {
    if (B.Empty()) return;
    P_.setPen(B.Pen);
    P_.setBrush(Qt::NoBrush);
    if (!B.Lines.isEmpty()) P_.drawLines(B.Lines);
    for (const QPolygonF& Poly : B.Polylines) P_.drawPolyline(Poly);
    if (!B.Dots.isEmpty()) P_.drawPoints(B.Dots);
    if (!B.Discs.empty()) {
      P_.setPen(Qt::NoPen);
      P_.setBrush(B.Pen.color());
      for (const auto& [C, Radius] : B.Discs) P_.drawEllipse(C, Radius, Radius);
    }
    B.Clear();
  }

  // ---- Entities ----

  bool Hidden(const TEntJwwAttr& A) const { return A.nPenStyle == kAuxiliaryLtype && !O_.ShowAuxiliaryLines; }

  void Segment(const TEntJwwAttr& A, QPointF P, QPointF Q) {
    if (!std::isfinite(P.x()) || !std::isfinite(P.y()) || !std::isfinite(Q.x()) || !std::isfinite(Q.y())) return;
    const std::optional<QLineF> L = ClipLine(P, Q, Clip_);
    if (!L) return;
    TStrokeBatch& B = BatchOf(A);
    if (std::abs(L->dx()) < 0.5 && std::abs(L->dy()) < 0.5) Dot(B, L->center());
    else B.Lines.append(*L);
  }

  void Line(const TEntJwwLine& L, const TAffine& M) {
    if (Hidden(L.att) || !Sane(L.start_x, L.start_y, L.end_x, L.end_y)) return;
    Segment(L.att, M(L.start_x, L.start_y), M(L.end_x, L.end_y));
  }

  void Arc(const TEntJwwEnko& E, const TAffine& M) {
    const TArc A = ArcOf(E);
    if (Hidden(E.att) || !SaneArc(A)) return;
    const QRectF Reach = MappedBounds(M, A.EllipseBounds());
    if (!Meets(Clip_, Reach)) return;
    if (Reach.width() < 0.5 && Reach.height() < 0.5) {
      Dot(BatchOf(E.att), Reach.center());
      return;
    }
    const QPolygonF Points = ArcPoints(A, M, Clip_);
    if (Points.size() < 2) return;
    TStrokeBatch& B = BatchOf(E.att);
    const QRectF Box = Points.boundingRect();
    if (Clip_.contains(Box)) {
      B.Polylines.push_back(Points);
    } else {
      for (QPolygonF& Run : ClipPolyline(Points, Clip_)) B.Polylines.push_back(std::move(Run));
    }
  }

  void Point(const TEntJwwTen& T, const TAffine& M) {
    if ((T.bKariten != 0 && !O_.ShowTemporaryPoints) || !Sane(T.start_x, T.start_y)) return;
    const QPointF C = M(T.start_x, T.start_y);
    if (!Inside(Clip_, C)) return;
    TStrokeBatch& B = ColorBatch(T.att.nPenColor, Points);
    if (S_.BigPoints(O_.PrinterWidths))
      B.Discs.emplace_back(C, std::max(S_.PointRadiusMm(T.att.nPenColor) * Scale_, 1.0));
    else Dot(B, C);
  }

  void Text(const TEntJwwMoji& T, const TAffine& M, double Stretch, TPass Pass) {
    if (!SaneText(T) || T.str.empty()) return;
    if (T.str.starts_with(u"^@BM")) {
      if (Pass != TPass::Strokes) Image(T, *ParseImageReference(T.str), M, Pass);
      return;
    }
    if (Pass == TPass::Fills) return;
    // A text that stays within half a pixel of its start is a dot there.
    const double Reach = (std::abs(T.end_x - T.start_x) + std::abs(T.end_y - T.start_y) + std::abs(T.dSizeY)) * Stretch;
    if (Reach < 0.5) {
      if (T.dSizeY == 0) return;
      const QPointF At = M(T.start_x, T.start_y);
      if (Inside(Clip_, At)) Dot(ColorBatch(T.att.nPenColor, Texts), At);
      return;
    }
    const TAffine Frame = M * TextPaperFrame(T);
    const QRectF Rect = TextRect(T);
    if (!Meets(Clip_, MappedBounds(Frame, Rect))) return;
    const double Height = std::hypot(Frame.B, Frame.D) * Rect.height();
    if (!(Height > 0 && Height <= kMaxTextPx)) return;
    const QColor Color = S_.PenColor(T.att.nPenColor, O_.Colors);
    if (Height >= kGreekPx) {
      Texts_.push_back({&T, M, Color});
      return;
    }
    const double Middle = -0.4 * Rect.height();
    const QPointF P = Frame(0, Middle), Q = Frame(Rect.width(), Middle);
    TStrokeBatch& B = ColorBatch(T.att.nPenColor, Texts);
    if (std::abs(P.x() - Q.x()) < 0.5 && std::abs(P.y() - Q.y()) < 0.5) Dot(B, P);
    else if (const auto L = ClipLine(P, Q, Clip_)) B.Lines.append(*L);
  }

  TTextLook TextLook(const QColor& Color) const {
    return {Color, R_.Background(),
            O_.Colors == TColorScheme::Screen || S_.TextBackground() == 3 ? S_.TextBackground() : 0};
  }

  void Image(const TEntJwwMoji& T, const TImageReference& Ref, const TAffine& M, TPass Pass) {
    if (Ref.Width <= 0) return;
    if (Pass == TPass::All) Flush();
    const QTransform Frame = TextFrame(T, M) * P_.transform();
    const QRectF Rect(0, -Ref.Height, Ref.Width, Ref.Height);
    if (!Frame.mapRect(Rect).intersects(Clip_)) return;
    const QImage Picture = R_.BoundImage(T.str);
    const QTransform Saved = P_.transform();
    P_.setTransform(Frame);
    if (Picture.isNull()) {
      // A picture this system cannot reach: its frame shows where it sits.
      QPen Pen(S_.PenColor(T.att.nPenColor, O_.Colors), 0);
      P_.setPen(Pen);
      P_.setBrush(Qt::NoBrush);
      P_.drawRect(Rect);
    } else {
      P_.drawImage(Rect, Picture);
    }
    P_.setTransform(Saved);
  }

  void Dimension(const TEntJwwSunpo& D, const TAffine& M) {
    Line(D.Sen, M);
    if (D.bSxfMode != 0) {
      Line(D.Ho1, M);
      Line(D.Ho2, M);
      Point(D.Te1, M);
      Point(D.Te2, M);
      // The reference points are temporary points (saved so for old versions).
      if (O_.ShowTemporaryPoints) {
        Point(D.Kt1, M);
        Point(D.Kt2, M);
      }
    }
    Text(D.Moji, M, M.Stretch(), TPass::Strokes);
  }

  QColor SolidColor(const TEntJwwSolid& S) const {
    if (S.att.nPenColor == kOwnSolidColor && O_.Colors != TColorScheme::Black)
      return ColorOfWord(static_cast<std::int32_t>(S.Color));
    return S_.PenColor(S.att.nPenColor == kOwnSolidColor ? 1 : S.att.nPenColor, O_.Colors);
  }

  void Solid(const TEntJwwSolid& S, const TAffine& M, TPass Pass) {
    QPolygonF Device;
    if (IsArcSolid(S)) {
      Device = ArcSolidOutline(S, M);
    } else {
      if (!Sane(S.start_x, S.start_y, S.end_x, S.end_y, S.DPoint2_x, S.DPoint2_y, S.DPoint3_x, S.DPoint3_y)) return;
      Device = {M(S.start_x, S.start_y), M(S.end_x, S.end_y), M(S.DPoint2_x, S.DPoint2_y), M(S.DPoint3_x, S.DPoint3_y)};
    }
    if (Device.size() < 3 || !Device.boundingRect().intersects(Clip_)) return;
    if (Pass == TPass::All) Flush();
    P_.setPen(Qt::NoPen);
    P_.setBrush(SolidColor(S));
    P_.drawPolygon(Device, Qt::WindingFill);
  }

  QPolygonF ArcSolidOutline(const TEntJwwSolid& S, const TAffine& M) const {
    TArc A = ArcOf(S);
    if (!SaneArc(A) || !Sane(S.DPoint3_y)) return {};
    const int Style = S.att.nPenStyle;
    const double Kind = S.DPoint3_y;
    if (Style == 101 && Kind == 100) A.Sweep = 2 * M_PI;
    const QPolygonF Outer = ArcPoints(A, M, QRectF());
    if (Outer.size() < 2) return {};
    if (Style == 105 || Style == 106) {
      // A ring: the inner arc, of radius DPoint3_y, back to the start.
      TArc Inner = A;
      Inner.R = Kind;
      QPolygonF Ring = Outer;
      const QPolygonF In = ArcPoints(Inner, M, QRectF());
      for (qsizetype I = In.size(); I-- > 0;) Ring.append(In[I]);
      return Ring;
    }
    QPolygonF Shape = Outer;
    if (!(Style == 101 && (Kind == 5 || Kind == 100))) Shape.prepend(M(A.Cx, A.Cy));  // a sector
    return Shape;
  }

  void Block(const TEntJwwBlock& B, const TAffine& M, double Stretch, int Depth, TPass Pass) {
    if (Depth >= kMaxBlockDepth || Members_ >= kMaxBlockMembers) return;
    if (!Sane(B.DPKijunTen_x, B.DPKijunTen_y, B.radKaitenKaku, B.dBairitsuX, B.dBairitsuY)) return;
    const auto Def = R_.DefOfNumber_.find(B.nNumber);
    if (Def == R_.DefOfNumber_.end()) return;
    const std::optional<QRectF> Bounds = R_.BlockBounds(Def->second);
    if (!Bounds) return;
    // A block whose members all stay within half a pixel is a dot at its
    // insertion point.
    const double Corner = std::max(
        {std::abs(Bounds->left()), std::abs(Bounds->right()), std::abs(Bounds->top()), std::abs(Bounds->bottom())});
    if (2 * Corner * std::max(std::abs(B.dBairitsuX), std::abs(B.dBairitsuY)) * Stretch < 0.5) {
      const QPointF At = M(B.DPKijunTen_x, B.DPKijunTen_y);
      if (Pass != TPass::Fills && Inside(Clip_, At)) Dot(BatchOf(B.att), At);
      return;
    }
    const TAffine Inner = M * Placement(B.DPKijunTen_x, B.DPKijunTen_y, B.radKaitenKaku, B.dBairitsuX, B.dBairitsuY);
    if (!Inner.Finite()) return;
    const QRectF Device = MappedBounds(Inner, *Bounds);
    if (!Meets(Clip_, Device)) return;
    if (Device.width() < 0.5 && Device.height() < 0.5) {
      if (Pass != TPass::Fills) Dot(BatchOf(B.att), Device.center());
      return;
    }
    const TEntJwwBlockDef& D = R_.Body_.EntBlockDef[static_cast<std::size_t>(Def->second)];
    Members_ += D.mNo.size();
    DrawList(Members(D), Inner, false, Depth + 1, Pass);
  }

  const TDrawingRenderer& R_;
  const TDrawingStyle& S_;
  const TRenderOptions& O_;
  QPainter& P_;
  TAffine View_;
  QRectF Clip_;
  double Scale_;
  std::unordered_map<TPenKey, TStrokeBatch, TPenKeyHash> Batches_;
  struct TPenSlot {
    std::uint64_t Key = 0;
    TStrokeBatch* Batch = nullptr;
  };
  static constexpr int kPenCacheBits = 12;
  std::array<TPenSlot, std::size_t{1} << kPenCacheBits> PenCache_{};
  std::vector<TStrokeBatch*> ByPen_ = std::vector<TStrokeBatch*>(TDrawingStyle::kColors * 64 * 2);
  std::vector<TStrokeBatch*> ByColor_ = std::vector<TStrokeBatch*>(TDrawingStyle::kColors * 2);
  std::vector<TQueuedText> Texts_;
  std::size_t Members_ = 0;
};

// ---- The renderer ----

// The extents of a list of entities; Top decides by their layers.
class TExtentsWalk {
 public:
  TExtentsWalk(const TDrawingStyle& S, const TRenderOptions& O,
               std::function<std::optional<QRectF>(std::uint32_t)> BlockBounds)
      : S_(S), O_(O), BlockBounds_(std::move(BlockBounds)) {}

  std::optional<QRectF> Of(const ConstEntityLists& L, bool Top) {
    TBounds B;
    auto Shown = [&](const TEntJwwAttr& A) { return !Top || S_.Visible(A); };
    for (const TEntJwwNo& No : L.no) {
      if (!L.Valid(No)) continue;
      const auto I = static_cast<std::size_t>(No.EntNo);
      switch (No.EntType) {
        case kLine:
          if (Shown(L.line[I].att)) AddLine(B, L.line[I]);
          break;
        case kEnko:
          if (Shown(L.enko[I].att) && (L.enko[I].att.nPenStyle != kAuxiliaryLtype || O_.ShowAuxiliaryLines))
            AddArc(B, ArcOf(L.enko[I]));
          break;
        case kTen:
          if (Shown(L.ten[I].att) && (L.ten[I].bKariten == 0 || O_.ShowTemporaryPoints))
            B.Add(L.ten[I].start_x, L.ten[I].start_y);
          break;
        case kMoji:
          if (Shown(L.moji[I].att)) AddText(B, L.moji[I]);
          break;
        case kSunpo:
          if (Shown(L.sunpo[I].att)) {
            AddLine(B, L.sunpo[I].Sen);
            AddText(B, L.sunpo[I].Moji);
          }
          break;
        case kSolid:
          if (Shown(L.solid[I].att)) AddSolid(B, L.solid[I]);
          break;
        case kBlock:
          if (Shown(L.block[I].att)) AddBlock(B, L.block[I]);
          break;
        default: break;
      }
    }
    return B.Rect();
  }

 private:
  void AddLine(TBounds& B, const TEntJwwLine& L) const {
    if (L.att.nPenStyle == kAuxiliaryLtype && !O_.ShowAuxiliaryLines) return;
    if (!Sane(L.start_x, L.start_y, L.end_x, L.end_y)) return;
    B.Add(L.start_x, L.start_y);
    B.Add(L.end_x, L.end_y);
  }
  static void AddArc(TBounds& B, const TArc& A) {
    if (!SaneArc(A) || B.Holds(A.Cx, A.Cy, std::abs(A.R) * std::max(1.0, std::abs(A.Flat)))) return;
    for (const QPointF& P : ArcExtremes(A)) B.Add(P);
  }
  static void AddText(TBounds& B, const TEntJwwMoji& M) {
    if (!SaneText(M)) return;
    const QRectF R = TextRect(M);
    if (!B.Holds(M.start_x, M.start_y, R.width() + R.height())) B.Add(MappedBounds(TextPaperFrame(M), R));
  }
  static void AddSolid(TBounds& B, const TEntJwwSolid& S) {
    if (IsArcSolid(S)) {
      const TArc A = ArcOf(S);
      if (SaneArc(A)) B.Add(A.EllipseBounds());
      return;
    }
    if (!Sane(S.start_x, S.start_y, S.end_x, S.end_y, S.DPoint2_x, S.DPoint2_y, S.DPoint3_x, S.DPoint3_y)) return;
    B.Add(S.start_x, S.start_y), B.Add(S.end_x, S.end_y), B.Add(S.DPoint2_x, S.DPoint2_y),
        B.Add(S.DPoint3_x, S.DPoint3_y);
  }
  void AddBlock(TBounds& B, const TEntJwwBlock& I) const {
    if (!Sane(I.DPKijunTen_x, I.DPKijunTen_y, I.radKaitenKaku, I.dBairitsuX, I.dBairitsuY)) return;
    const std::optional<QRectF> Inner = BlockBounds_(I.nNumber);
    if (!Inner) return;
    const double Corner = std::max(
        {std::abs(Inner->left()), std::abs(Inner->right()), std::abs(Inner->top()), std::abs(Inner->bottom())});
    const double Reach = Corner * std::sqrt(2.0) * std::max(std::abs(I.dBairitsuX), std::abs(I.dBairitsuY));
    if (!B.Holds(I.DPKijunTen_x, I.DPKijunTen_y, Reach))
      B.Add(
          MappedBounds(Placement(I.DPKijunTen_x, I.DPKijunTen_y, I.radKaitenKaku, I.dBairitsuX, I.dBairitsuY), *Inner));
  }

  const TDrawingStyle& S_;
  const TRenderOptions& O_;
  std::function<std::optional<QRectF>(std::uint32_t)> BlockBounds_;
};

TDrawingRenderer::TDrawingRenderer(const TJwBody& Body, TDrawingStyle Style, const TRenderOptions& Options)
    : Body_(Body), Style_(std::move(Style)), Options_(Options) {
  IndexBlocks();
  Extents_ = Walk().Of(Body_.Entities(), true);
}

TDrawingRenderer::TDrawingRenderer(const TJwwData& Doc, const TRenderOptions& Options)
    : TDrawingRenderer(Doc, TDrawingStyle(Doc), Options) {}

TDrawingRenderer::TDrawingRenderer(const TJwsData& Doc, const TRenderOptions& Options)
    : TDrawingRenderer(Doc, TDrawingStyle(Doc), Options) {}

TDrawingRenderer::~TDrawingRenderer() = default;

void TDrawingRenderer::IndexBlocks() {
  const std::vector<TEntJwwBlockDef>& Defs = Body_.EntBlockDef;
  for (std::size_t I = 0; I < Defs.size(); ++I) DefOfNumber_.try_emplace(Defs[I].nNumber, static_cast<int>(I));
  DefBounds_.assign(Defs.size(), std::nullopt);
  DefBoundsState_.assign(Defs.size(), 0);
}

TExtentsWalk TDrawingRenderer::Walk() const {
  return TExtentsWalk(Style_, Options_, [this](std::uint32_t N) -> std::optional<QRectF> {
    const auto It = DefOfNumber_.find(N);
    return It == DefOfNumber_.end() ? std::nullopt : BlockBounds(It->second);
  });
}

std::optional<QRectF> TDrawingRenderer::BlockBounds(int Def) const {
  const auto I = static_cast<std::size_t>(Def);
  // A definition that contains itself adds nothing more the second time.
  if (DefBoundsState_[I] != 0) return DefBounds_[I];
  DefBoundsState_[I] = 1;
  DefBounds_[I] = Walk().Of(Members(Body_.EntBlockDef[I]), false);
  DefBoundsState_[I] = 2;
  return DefBounds_[I];
}

QRectF TDrawingRenderer::FitRect() const {
  const QRectF Sheet = Style_.Sheet();
  if (!Sheet.isEmpty()) {
    // Ink up to a millimetre beyond the edge still fits the sheet.
    const QRectF Tolerant = Sheet.adjusted(-1, -1, 1, 1);
    if (!Extents_ || (Extents_->left() >= Tolerant.left() && Extents_->right() <= Tolerant.right() &&
                      Extents_->top() >= Tolerant.top() && Extents_->bottom() <= Tolerant.bottom()))
      return Sheet;
  }
  if (!Extents_) return SheetRect(4);
  const QRectF Ink = *Extents_;
  const double Margin = std::max({Ink.width(), Ink.height(), 1.0}) * kFitMargin;
  return Ink.adjusted(-Margin, -Margin, Margin, Margin);
}

void TDrawingRenderer::Draw(QPainter& P, const QRectF& Target, const QRectF& World) const {
  P.save();
  P.setClipRect(Target, Qt::IntersectClip);
  P.fillRect(Target, Background());
  P.setRenderHint(QPainter::Antialiasing, Options_.Antialias);
  P.setRenderHint(QPainter::TextAntialiasing, true);
  P.setRenderHint(QPainter::SmoothPixmapTransform, true);
  const TAffine View = FitMap(World, Target);
  if (View.Finite()) {
    const QRectF Clip = Target.adjusted(-16, -16, 16, 16);
    TSheetPainter(*this, P, View, Clip).Run();
  }
  P.restore();
}

QImage TDrawingRenderer::BoundImage(std::u16string_view Reference) const {
  const auto Ref = ParseImageReference(Reference);
  if (!Ref || Options_.ImageFolder.empty()) return {};
  const std::u16string Name = TextUpper(Ref->BoundName());
  if (Name.empty()) return {};
  const auto Cached = Images_.find(Name);
  if (Cached != Images_.end()) return Cached->second;
  // The first bound image whose name begins with the reference's, as a save
  // matches them; a stored name with folder parts is never opened.
  QImage Picture;
  for (const TBindImageType& E : Body_.BindImage) {
    if (!TextUpper(E.Fname).starts_with(Name)) continue;
    if (E.Fname.find_first_of(u"/\\:") == std::u16string::npos && E.Fname != u"." && E.Fname != u"..")
      Picture = ReadImageFile(Options_.ImageFolder + E.Fname, FileExtLower(E.Fname) == u".gz");
    break;
  }
  Images_.emplace(Name, Picture);
  return Picture;
}

QSize PictureSize(const QRectF& World, int Width) {
  double W = std::clamp(Width, 1, kMaxPictureSide);
  const double Ratio = World.width() > 0 ? World.height() / World.width() : 1;
  double H = std::isfinite(Ratio) ? W * Ratio : W;
  // A strip taller than the largest side keeps its shape by growing less wide.
  if (H > kMaxPictureSide) W = W * kMaxPictureSide / H, H = kMaxPictureSide;
  return {static_cast<int>(std::max(1.0, std::round(W))), static_cast<int>(std::max(1.0, std::round(H)))};
}

QImage RenderImage(const TDrawingRenderer& R, int Width) {
  const QRectF World = R.FitRect();
  QImage Image(PictureSize(World, Width), QImage::Format_RGB32);
  if (Image.isNull()) return Image;
  QPainter P(&Image);
  R.Draw(P, QRectF(QPointF(0, 0), Image.size()), World);
  return Image;
}
