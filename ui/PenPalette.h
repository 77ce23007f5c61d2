// The screen colours of the pens a census names, as the drawing itself shows
// them: its background and the colour of each pen number it uses (the usual
// tables for a figure, which has none of its own).
#pragma once

#include <QColor>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "conversion/DryRun.h"
#include "conversion/PenCensus.h"

class TJwwData;
class TJwsData;

// A pen as a drawing shows it: its colour on the drawing's background.
struct TPenShade {
  QColor Pen, Background;
};

class TPenPalette {
 public:
  // The shade of a pen number; nullopt for one the drawing has no single
  // colour for (a solid's own colour, numbers outside the numbering).
  std::optional<TPenShade> Of(std::int32_t Color) const;
  void Set(std::int32_t Color, const TPenShade& Shade) { Shades_[Color] = Shade; }
  // Takes the shades of Other that this palette lacks (a total shows each
  // pen as the first file that uses it shows it).
  void Merge(const TPenPalette& Other);

 private:
  std::unordered_map<std::int32_t, TPenShade> Shades_;
};

// The colour numbers a census or a dry run's transitions hold.
std::vector<std::int32_t> ColorsOf(const TPenCensus& C);
std::vector<std::int32_t> ColorsOf(const TTransitionTally& T);

// The screen colours of those numbers in a loaded document.
TPenPalette PaletteOf(const TJwwData& Doc, const std::vector<std::int32_t>& Colors);
TPenPalette PaletteOf(const TJwsData& Doc, const std::vector<std::int32_t>& Colors);
