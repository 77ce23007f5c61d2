// What a drawing's header says about how its entities look on the sheet:
// paper size, layer visibility, pen colours and widths, line-type patterns
// and the few display switches. Built once per document from its own tables
// (a JWS figure has none and takes the usual defaults).
#pragma once

#include <QColor>
#include <QRectF>
#include <QVector>
#include <array>
#include <cstdint>

#include "documents/jwwtype.h"

class TJwwData;
class TJwsData;

enum class TColorScheme {
  Screen,  // the file's screen colours on its background
  Print,   // its printer colours on white
  Black,   // all black on white
};

// Paper of a sheet size code, landscape, in millimetres; A3 for unknown codes.
QSizeF PaperSize(std::int32_t Zumen);
// The sheet in paper millimetres: centred on the origin, y up.
QRectF SheetRect(std::int32_t Zumen);

// A colour word of the tables: 0x00BBGGRR.
QColor ColorOfWord(std::int32_t Word);

// A line-type bit pattern as dash and gap lengths in pattern bits, starting
// with a dash: bits read from bit 31 down, the first Bits of them repeating.
// Empty for a solid line (all ink, no ink, or no usable length).
QVector<double> DashOfBits(std::uint32_t Pattern, std::int32_t Bits);
// SXF segments (dash, gap, ...) in millimetres; empty for solid.
QVector<double> DashOfSegments(std::int32_t Count, const std::array<double, 10>& Pitches);

// One pen as drawn: colour, width and dash pattern in paper millimetres.
struct TPenLook {
  QColor Color;
  // Width: in device pixels when Pixels is set (screen widths), otherwise in
  // paper millimetres.
  double Width = 0;
  bool Pixels = true;
  const QVector<double>* DashMm = nullptr;  // empty or null: solid
};

class TDrawingStyle {
 public:
  explicit TDrawingStyle(const TJwwData& Doc);
  explicit TDrawingStyle(const TJwsData& Doc);

  // The rectangle the sheet occupies (paper millimetres); empty for a figure,
  // which has no sheet.
  QRectF Sheet() const { return Sheet_; }
  QColor Background(TColorScheme Scheme) const;

  // False when the entity's layer or layer group is hidden.
  bool Visible(const TEntJwwAttr& A) const;

  // The colour of a colour number (1..9, 101..356; solids also 10 with their
  // own colour word). Invalid numbers take the fallback pen, as a save would
  // write them.
  QColor PenColor(std::int32_t Color, TColorScheme Scheme) const;
  // The width of an entity: its own 1/100 mm width when set, otherwise its
  // pen's width, as the screen shows it (pixels) or as printed (mm).
  TPenLook Pen(const TEntJwwAttr& A, TColorScheme Scheme, bool PrinterWidths) const;
  // The dash pattern of a line type, in paper millimetres; empty for solid.
  const QVector<double>& Dash(std::int32_t Ltype) const;
  // The table index of a colour number (invalid numbers take the fallback
  // pen's), below kColors.
  int ColorIndex(std::int32_t Color) const;
  static constexpr int kColors = 10 + 257;  // pens 0..9, then SXF 0..256

  // Points drawn as circles of their pen's radius (on screen or in print).
  bool BigPoints(bool PrinterWidths) const { return PrinterWidths ? DrawPrtTen_ : DrawGamenTen_; }
  double PointRadiusMm(std::int32_t Color) const;
  bool ImagesFirst() const { return ImagesFirst_; }
  // Text background: 0 none, 2 outline in the background colour, 3 box fill.
  int TextBackground() const { return TextBackground_; }

 private:
  TDrawingStyle();
  void SetUsualTables();
  void SetLineTypes(const TJwwData& Doc);

  QRectF Sheet_;
  std::array<QColor, kColors> Screen_{}, Printer_{};
  std::array<double, kColors> ScreenWidthPx_{}, PrinterWidthMm_{}, PointRadius_{};
  std::array<bool, 256> LayerShown_{};
  std::array<QVector<double>, 63> Dash_{};  // by line type number
  bool DrawGamenTen_ = false, DrawPrtTen_ = false, ImagesFirst_ = false;
  bool WidthsInMm_ = false;  // the line-width mode: every pen width is 1/100 mm
  int TextBackground_ = 0;
};
