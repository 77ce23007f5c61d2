#include "ui/PenPalette.h"

#include "conversion/ConvSettings.h"
#include "display/DrawingStyle.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace {

template <class Doc>
TPenPalette Palette(const Doc& D, const std::vector<std::int32_t>& Colors) {
  const TDrawingStyle Style(D);
  const QColor Background = Style.Background(TColorScheme::Screen);
  TPenPalette P;
  for (const std::int32_t C : Colors)
    if (IsColorNumber(C)) P.Set(C, {Style.PenColor(C, TColorScheme::Screen), Background});
  return P;
}

}  // namespace

std::optional<TPenShade> TPenPalette::Of(std::int32_t Color) const {
  const auto It = Shades_.find(Color);
  if (It == Shades_.end()) return std::nullopt;
  return It->second;
}

void TPenPalette::Merge(const TPenPalette& Other) {
  for (const auto& [Color, Shade] : Other.Shades_) Shades_.try_emplace(Color, Shade);
}

std::vector<std::int32_t> ColorsOf(const TPenCensus& C) {
  std::vector<std::int32_t> Colors;
  for (const TPenCount& R : C.Rows()) Colors.push_back(R.Key.Pen.Color);
  return Colors;
}

std::vector<std::int32_t> ColorsOf(const TTransitionTally& T) {
  std::vector<std::int32_t> Colors;
  for (const TPenTransition& X : T.Rows()) Colors.insert(Colors.end(), {X.Change.Before.Color, X.Change.After.Color});
  return Colors;
}

TPenPalette PaletteOf(const TJwwData& Doc, const std::vector<std::int32_t>& Colors) { return Palette(Doc, Colors); }
TPenPalette PaletteOf(const TJwsData& Doc, const std::vector<std::int32_t>& Colors) { return Palette(Doc, Colors); }
