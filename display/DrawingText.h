// Texts on the sheet: the cells a text's characters take along its baseline
// (full-width characters dSizeX wide with gap dKankaku, half-width ones half
// of both), the inline "^" codes, the mapping of the drawings' Windows fonts
// to the Debian CJK fonts, and the drawing of the glyphs.
#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "display/DrawingGeometry.h"
#include "documents/jwwtype.h"

class QPainter;

// One character (or two overlaid ones) of a laid-out text. Lengths are in
// paper millimetres along the baseline from the text's start; Scale and
// Rise are fractions of the text height.
struct TGlyphCell {
  QString Text;
  double X = 0, Width = 0;
  double Scale = 1, Rise = 0;
  bool Bold = false, Italic = false, Underline = false, Strike = false, Circled = false;
};

// A character that the code page stores in one byte.
bool IsHalfWidth(char32_t C);
std::vector<TGlyphCell> LayoutText(const TEntJwwMoji& M);
// The length of the laid-out text along its baseline.
double TextLength(const std::vector<TGlyphCell>& Cells);

// Settings kept as texts off the sheet ("key = value" at (0, -1000)).
bool IsSettingsText(const TEntJwwMoji& M);
bool IsVerticalText(const TEntJwwMoji& M);
// Italic and bold flags of the text type field.
bool IsItalicText(const TEntJwwMoji& M);
bool IsBoldText(const TEntJwwMoji& M);

// The Debian font family for a font name stored in a drawing.
QString FontFamilyFor(std::u16string_view Name);

// The map from a text's own coordinates (millimetres along the baseline,
// y down from the baseline's start, as Qt draws text) to paper, and through
// ToDevice to the device.
TAffine TextPaperFrame(const TEntJwwMoji& M);
QTransform TextFrame(const TEntJwwMoji& M, const TAffine& ToDevice);

// Below this height in device pixels a text is drawn as a stroke along its
// middle; above the largest it is not drawn (no sheet holds such a text, and
// its glyphs would only cost time).
inline constexpr double kGreekPx = 4;
inline constexpr double kMaxTextPx = 1e5;

// How texts are drawn.
struct TTextLook {
  QColor Color;
  QColor Background;
  int BackgroundMode = 0;  // 0 none, 2 outlined in the background colour, 3 box filled with it
};
// Draws the text; the painter's transform is left as it was.
void DrawText(QPainter& P, const TEntJwwMoji& M, const TAffine& ToDevice, const TTextLook& Look);
