// The preview written out: a PNG picture, an SVG drawing, or a PDF page of
// the sheet's paper at 1:1.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

class TDrawingRenderer;

enum class TExportFormat { Png, Svg, Pdf };

// By the file name's extension (any case); nullopt for others.
std::optional<TExportFormat> ExportFormatOf(std::u16string_view Path);

// The bytes of each kind; empty when the picture could not be made.
QByteArray PngBytes(const TDrawingRenderer& R, int Width);
QByteArray SvgBytes(const TDrawingRenderer& R, int Width, const QString& Title);
// One page the size of the sheet (or of the figure's extents), drawn at 1:1.
QByteArray PdfBytes(const TDrawingRenderer& R, const QString& Title);
