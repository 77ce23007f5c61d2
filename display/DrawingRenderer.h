// The drawing preview: draws a loaded JWW drawing or JWS figure onto any
// paint device, in paper millimetres mapped onto a device rectangle. The
// document must stay unchanged while a renderer draws it; one renderer is
// used by one thread at a time.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/DrawingStyle.h"

class QPainter;
class TExtentsWalk;
class TJwBody;
class TJwwData;
class TJwsData;

struct TRenderOptions {
  TColorScheme Colors = TColorScheme::Screen;
  // Widths as printed (paper millimetres, scaled with the sheet) instead of
  // the screen's pixel widths.
  bool PrinterWidths = false;
  bool ShowTemporaryPoints = false;
  bool ShowAuxiliaryLines = false;  // line type 9, never printed
  bool Antialias = true;
  // The thinnest stroke in device pixels.
  double MinWidthPx = 1.0;
  // Where the document's bound images were extracted (with a trailing
  // separator); empty: bound images are shown as frames.
  std::u16string ImageFolder;
};

class TDrawingRenderer {
 public:
  TDrawingRenderer(const TJwwData& Doc, const TRenderOptions& Options);
  TDrawingRenderer(const TJwsData& Doc, const TRenderOptions& Options);
  ~TDrawingRenderer();
  TDrawingRenderer(const TDrawingRenderer&) = delete;
  TDrawingRenderer& operator=(const TDrawingRenderer&) = delete;

  // The ink of what is shown, in paper millimetres; nullopt when nothing is.
  std::optional<QRectF> Extents() const { return Extents_; }
  // The sheet of a drawing, or the extents (with a margin) of a figure and
  // of a drawing that leaves its sheet.
  QRectF FitRect() const;
  QColor Background() const { return Style_.Background(Options_.Colors); }
  const TDrawingStyle& Style() const { return Style_; }

  // Fills Target with the background and draws World (paper millimetres,
  // y up) into it, at one scale for both axes, centred.
  void Draw(QPainter& P, const QRectF& Target, const QRectF& World) const;
  void Draw(QPainter& P, const QRectF& Target) const { Draw(P, Target, FitRect()); }

  // The decoded bound image a "^@BM" reference names; null when there is
  // none to show.
  QImage BoundImage(std::u16string_view Reference) const;

 private:
  friend class TSheetPainter;
  TDrawingRenderer(const TJwBody& Body, TDrawingStyle Style, const TRenderOptions& Options);
  void IndexBlocks();
  TExtentsWalk Walk() const;
  std::optional<QRectF> BlockBounds(int Def) const;

  const TJwBody& Body_;
  TDrawingStyle Style_;
  TRenderOptions Options_;
  std::optional<QRectF> Extents_;
  std::map<std::uint32_t, int> DefOfNumber_;              // the first definition of each number
  mutable std::vector<std::optional<QRectF>> DefBounds_;  // member extents in definition coordinates
  mutable std::vector<char> DefBoundsState_;              // 0 not yet, 1 in progress, 2 done
  mutable std::map<std::u16string, QImage> Images_;
};

// The pixel size of a picture Width pixels wide of the rectangle, at least
// one pixel and at most kMaxPictureSide a side (a tall strip is made
// narrower to keep its shape).
inline constexpr int kMaxPictureSide = 16384;
QSize PictureSize(const QRectF& World, int Width);
// The drawing fitted into an image of that size.
QImage RenderImage(const TDrawingRenderer& R, int Width);
