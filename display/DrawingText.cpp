#include "display/DrawingText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace {

constexpr std::uint16_t kVerticalFlag = 0x0020;
// Glyphs are shaped at this pixel size and scaled onto the sheet.
constexpr int kFontPx = 100;
// The baseline lies this fraction of the height above the box's bottom edge
// (the ideographic descent of the CJK faces).
constexpr double kDescent = 0.12;
constexpr std::size_t kMaxCells = 4096;

// Decodes UTF-16, a pair of surrogates into one character.
std::vector<char32_t> Characters(const std::u16string& S) {
  std::vector<char32_t> Out;
  Out.reserve(S.size());
  for (std::size_t I = 0; I < S.size(); ++I) {
    const char16_t C = S[I];
    if (C >= 0xD800 && C < 0xDC00 && I + 1 < S.size() && S[I + 1] >= 0xDC00 && S[I + 1] < 0xE000) {
      Out.push_back(0x10000 + ((static_cast<char32_t>(C) - 0xD800) << 10) + (S[I + 1] - 0xDC00));
      ++I;
    } else {
      Out.push_back(C);
    }
  }
  return Out;
}

QString ToQString(char32_t C) { return QString::fromUcs4(&C, 1); }

struct TFaceKey {
  QString Family;
  bool Bold, Italic;
  bool operator<(const TFaceKey& O) const {
    return std::tie(Family, Bold, Italic) < std::tie(O.Family, O.Bold, O.Italic);
  }
};

struct TFace {
  QFont Font;
  QFontMetricsF Metrics;
};

// Fonts are made once per thread: the preview renders off the window's thread.
const TFace& FaceFor(const QString& Family, bool Bold, bool Italic) {
  thread_local std::map<TFaceKey, TFace> Faces;
  const TFaceKey Key{Family, Bold, Italic};
  auto It = Faces.find(Key);
  if (It == Faces.end()) {
    QFont F(Family);
    F.setPixelSize(kFontPx);
    F.setBold(Bold);
    F.setItalic(Italic);
    F.setKerning(false);
    F.setHintingPreference(QFont::PreferNoHinting);
    It = Faces.emplace(Key, TFace{F, QFontMetricsF(F)}).first;
  }
  return It->second;
}

}  // namespace

bool IsHalfWidth(char32_t C) { return C < 0x80 || (C >= 0xFF61 && C <= 0xFF9F) || C == 0xA5 || C == 0x203E; }

bool IsSettingsText(const TEntJwwMoji& M) {
  return M.start_x == 0 && M.start_y == -1000 && M.end_x == 0 && M.end_y == -1000;
}

bool IsVerticalText(const TEntJwwMoji& M) { return (M.att.sFlg & kVerticalFlag) != 0; }
// The sources disagree on the two flags; Jw_cad's text dialog lists italic
// before bold, so the lower flag is taken as italic.
bool IsItalicText(const TEntJwwMoji& M) { return (M.nMojiShu / 10000) % 10 == 1 || (M.nMojiShu / 10000) % 10 == 3; }
bool IsBoldText(const TEntJwwMoji& M) { return (M.nMojiShu / 10000) % 10 >= 2; }

QString FontFamilyFor(std::u16string_view Name) {
  const QString N = QString::fromUtf16(Name.data(), static_cast<qsizetype>(Name.size()));
  const bool Serif = N.contains(QStringLiteral("明朝")) || N.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive) ||
                     N.contains(QStringLiteral("Serif"), Qt::CaseInsensitive);
  if (Serif) return QStringLiteral("Noto Serif CJK JP");
  // The proportional faces ("ＭＳ Ｐゴシック") keep proportional Latin letters;
  // the fixed-pitch ones have half-width letters of exactly half a cell.
  const bool Proportional = N.contains(QStringLiteral("Ｐ")) || N.contains(QStringLiteral("UI"));
  return Proportional ? QStringLiteral("Noto Sans CJK JP") : QStringLiteral("Noto Sans Mono CJK JP");
}

std::vector<TGlyphCell> LayoutText(const TEntJwwMoji& M) {
  const double Full = std::abs(M.dSizeX), Gap = M.dKankaku;
  const std::vector<char32_t> Chars = Characters(M.str);
  std::vector<TGlyphCell> Cells;
  bool Bold = false, Italic = false, Underline = false, Strike = false;
  double NextScale = 1, NextRise = 0;
  bool NextCircled = false;
  int Overlay = 0;  // characters still to go into the current overlaid cell
  double X = 0;
  for (std::size_t I = 0; I < Chars.size() && Cells.size() < kMaxCells; ++I) {
    const char32_t C = Chars[I];
    if (C == U'^' && I + 1 < Chars.size()) {
      bool Code = true;
      switch (Chars[I + 1]) {
        case U'u': NextScale = 0.5, NextRise = 0.5; break;
        case U'd': NextScale = 0.5, NextRise = 0; break;
        case U'c': NextScale = 0.5, NextRise = 0.25; break;
        case U'o': NextCircled = true, NextScale = 0.7, NextRise = 0.15; break;
        case U'w': Overlay = 2; break;
        case U'!': Bold = !Bold; break;
        case U'/': Italic = !Italic; break;
        case U'_': Underline = !Underline; break;
        case U'-': Strike = !Strike; break;
        case U'#': Bold = Italic = Underline = Strike = false; break;
        default: Code = false;
      }
      if (Code) {
        ++I;
        continue;
      }
    }
    const bool Half = IsHalfWidth(C);
    const double Width = (Half ? Full / 2 : Full) * (NextCircled ? 1 : NextScale);
    if (Overlay == 1 && !Cells.empty()) {
      TGlyphCell& Last = Cells.back();
      Last.Text += ToQString(C);
      Last.Width = std::max(Last.Width, Width);
      Overlay = 0;
      X = Last.X + Last.Width + (Half ? Gap / 2 : Gap);
      continue;
    }
    TGlyphCell Cell{ToQString(C), X, Width, NextScale, NextRise, Bold, Italic, Underline, Strike, NextCircled};
    Cells.push_back(Cell);
    if (Overlay == 2) Overlay = 1;
    X += Width + (Half ? Gap / 2 : Gap);
    NextScale = 1, NextRise = 0, NextCircled = false;
  }
  return Cells;
}

double TextLength(const std::vector<TGlyphCell>& Cells) {
  return Cells.empty() ? 0 : Cells.back().X + Cells.back().Width;
}

TAffine TextPaperFrame(const TEntJwwMoji& M) {
  const double Angle = M.degKakudo * std::numbers::pi / 180;
  const double Cos = std::cos(Angle), Sin = std::sin(Angle);
  return {Cos, Sin, Sin, -Cos, M.start_x, M.start_y};
}

QTransform TextFrame(const TEntJwwMoji& M, const TAffine& ToDevice) {
  return (ToDevice * TextPaperFrame(M)).ToTransform();
}

void DrawText(QPainter& P, const TEntJwwMoji& M, const TAffine& ToDevice, const TTextLook& Look) {
  const double Height = std::abs(M.dSizeY), Width = std::abs(M.dSizeX);
  if (!Sane(M.start_x, M.start_y, M.degKakudo, Height, Width, M.dKankaku) || Height <= 0 || M.str.empty()) return;
  const QTransform Saved = P.transform();
  const QTransform Frame = TextFrame(M, ToDevice) * Saved;
  const std::vector<TGlyphCell> Cells = LayoutText(M);
  const double Length = TextLength(Cells);
  if (Look.BackgroundMode == 3) {
    P.setTransform(Frame);
    P.fillRect(QRectF(0, -Height, Length, Height), Look.Background);
  }
  const QString Family = FontFamilyFor(M.strFontName);
  const bool Vertical = IsVerticalText(M);
  const bool BoldText = IsBoldText(M), ItalicText = IsItalicText(M);
  for (const TGlyphCell& Cell : Cells) {
    const TFace& Face = FaceFor(Family, BoldText || Cell.Bold, ItalicText || Cell.Italic);
    // Glyph space: the font's pixels, scaled so that a full-width glyph
    // fills a full cell across and the text height upwards.
    const double Across = (Vertical ? Height : Width) * Cell.Scale / kFontPx;
    const double Along = (Vertical ? Width : Height) * Cell.Scale / kFontPx;
    QTransform Glyph;
    if (Vertical) {
      // Upright glyphs stacked along the baseline, centred in their cells.
      const double Cx = Cell.X + Cell.Width / 2, Cy = -Height / 2;
      Glyph = QTransform::fromScale(Across, Along) * QTransform(0, -1, 1, 0, 0, 0) * QTransform::fromTranslate(Cx, Cy);
      const double Advance = Face.Metrics.horizontalAdvance(Cell.Text);
      P.setTransform(QTransform::fromTranslate(-Advance / 2, (0.5 - kDescent) * kFontPx) * Glyph * Frame);
    } else {
      const double Advance = Face.Metrics.horizontalAdvance(Cell.Text) * Across;
      const double Base = -(kDescent * Cell.Scale + Cell.Rise) * Height;
      Glyph =
          QTransform::fromScale(Across, Along) * QTransform::fromTranslate(Cell.X + (Cell.Width - Advance) / 2, Base);
      P.setTransform(Glyph * Frame);
    }
    if (Look.BackgroundMode == 2) {
      QPainterPath Path;
      Path.addText(0, 0, Face.Font, Cell.Text);
      QPainterPathStroker Stroker;
      Stroker.setWidth(kFontPx * 0.12);
      P.fillPath(Stroker.createStroke(Path), Look.Background);
    }
    P.setFont(Face.Font);
    P.setPen(Look.Color);
    P.drawText(QPointF(0, 0), Cell.Text);
    if (Cell.Underline || Cell.Strike || Cell.Circled) {
      P.setTransform(Frame);
      QPen Pen(Look.Color, Height * 0.06);
      P.setPen(Pen);
      P.setBrush(Qt::NoBrush);
      const double Bottom = -kDescent * Height * 0.5;
      if (Cell.Underline) P.drawLine(QLineF(Cell.X, Bottom, Cell.X + Cell.Width, Bottom));
      if (Cell.Strike) P.drawLine(QLineF(Cell.X, -Height * 0.45, Cell.X + Cell.Width, -Height * 0.45));
      if (Cell.Circled) {
        const double R = std::min(Cell.Width, Height) / 2;
        P.drawEllipse(QPointF(Cell.X + Cell.Width / 2, -Height / 2), R, R);
      }
    }
  }
  P.setTransform(Saved);
}
