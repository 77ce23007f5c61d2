#include "export/DrawingExport.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "display/DrawingRenderer.h"
#include "support/Func_2.h"

namespace {

constexpr int kPdfDpi = 1200;
// Qt's PNG "quality" picks the compression level: 80 is level 1, several
// times faster than the default for files a few tenths larger.
constexpr int kPngQuality = 80;

}  // namespace

std::optional<TExportFormat> ExportFormatOf(std::u16string_view Path) {
  const std::u16string Ext = FileExtLower(Path);
  if (Ext == u".png") return TExportFormat::Png;
  if (Ext == u".svg") return TExportFormat::Svg;
  if (Ext == u".pdf") return TExportFormat::Pdf;
  return std::nullopt;
}

QByteArray PngBytes(const TDrawingRenderer& R, int Width) {
  const QImage Image = RenderImage(R, Width);
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  if (Image.isNull() || !Buffer.open(QIODevice::WriteOnly) || !Image.save(&Buffer, "PNG", kPngQuality)) return {};
  return Bytes;
}

QByteArray SvgBytes(const TDrawingRenderer& R, int Width, const QString& Title) {
  const QRectF World = R.FitRect();
  const QSize Size = PictureSize(World, Width);
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  if (!Buffer.open(QIODevice::WriteOnly)) return {};
  QSvgGenerator Svg;
  Svg.setOutputDevice(&Buffer);
  Svg.setSize(Size);
  Svg.setViewBox(QRect(QPoint(0, 0), Size));
  Svg.setTitle(Title);
  QPainter P;
  if (!P.begin(&Svg)) return {};
  R.Draw(P, QRectF(QPointF(0, 0), Size), World);
  P.end();
  return Bytes;
}

QByteArray PdfBytes(const TDrawingRenderer& R, const QString& Title) {
  const QRectF World = R.FitRect();
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  if (!Buffer.open(QIODevice::WriteOnly)) return {};
  QPdfWriter Pdf(&Buffer);
  Pdf.setTitle(Title);
  Pdf.setCreator(QStringLiteral("Lintorra"));
  Pdf.setResolution(kPdfDpi);
  const QPageSize Page(World.size(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
  if (!Pdf.setPageSize(Page)) return {};
  Pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  QPainter P;
  if (!P.begin(&Pdf)) return {};
  const QRectF Target(QPointF(0, 0), QSizeF(World.width() / 25.4 * kPdfDpi, World.height() / 25.4 * kPdfDpi));
  R.Draw(P, Target, World);
  P.end();
  return Bytes;
}
