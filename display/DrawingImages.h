// Images placed by "^@BM" texts: the reference's parts, and decoding an
// image file (bound images may be gzip-compressed) within fixed limits.
#pragma once

#include <QImage>
#include <optional>
#include <string>
#include <string_view>

struct TImageReference {
  std::u16string Path;           // as written, "%temp%" included
  double Width = 0, Height = 0;  // on paper, millimetres; 0 when the text gives no usable size
  // The name of a bound image: the path after "%temp%"; empty for others.
  std::u16string BoundName() const;
};

// "^@BM<path>,<width>,<height>,...": nullopt for other texts.
std::optional<TImageReference> ParseImageReference(std::u16string_view Text);

// Reads an image file; a name ending in ".gz" is inflated first. Null for
// anything unreadable or larger than the limits.
QImage ReadImageFile(const std::u16string& Path, bool Gzipped);
