#include "conversion/PenMaps.h"

namespace {

bool IsWidth(std::int32_t W) { return W >= 0 && W <= kMaxWidth; }

// Destination values of the tables and rows; anything else acts as "keep".
bool IsColorDestination(std::int32_t V) { return IsColorNumber(V); }
bool IsLtypeDestination(std::int32_t V) { return V > 0 && IsLtypeSetting(V); }

bool RowMatches(const TCombRow& R, std::int32_t Color, std::int32_t Ltype) {
  // SrcColor/SrcLtype are 0 for list positions outside the lists, so such a
  // row matches no record, not even one carrying the invalid number 0.
  return R.Enabled && IsColorNumber(R.SrcColor) && IsLtypeNumber(R.SrcLtype) && R.SrcColor == Color &&
         R.SrcLtype == Ltype;
}

}  // namespace

std::int32_t MapColor(const TConvSettings& S, std::int32_t Color) {
  const int Row = ColorRowOf(Color);
  if (Row == 0) return 1;
  const std::int32_t V = S.ColorMap[Row];
  return IsColorDestination(V) ? V : Color;
}

std::int32_t MapLtype(const TConvSettings& S, std::int32_t Ltype) {
  const int Row = LtypeRowOf(Ltype);
  if (Row == 0) return 1;
  const std::int32_t V = S.LtypeMap[Row];
  return IsLtypeDestination(V) ? V : Ltype;
}

std::int32_t MapWidth(const TConvSettings& S, std::int32_t Color, std::int32_t Width) {
  const std::int32_t Kept = IsWidth(Width) ? Width : 0;
  if (!S.IsOn(OptWidthOverwrite) && Width > 0) return Kept;
  const int Row = ColorRowOf(Color);
  if (Row == 0) return Kept;
  const std::int32_t V = S.WidthMap[Row];
  return IsWidth(V) ? V : Kept;
}

TPenTables::TPenTables(const TConvSettings& S) : S_(S) {
  for (std::size_t I = 0; I < kTabled; ++I) {
    const auto V = static_cast<std::int32_t>(I);
    Color_[I] = MapColor(S, V);
    Ltype_[I] = MapLtype(S, V);
    NoWidth_[I] = MapWidth(S, V, 0);
  }
}

TPen MapCombination(const TConvSettings& S, std::int32_t Color, std::int32_t Ltype, std::int32_t Width) {
  TPen P{Color, Ltype, Width};
  for (int N = 1; N <= kCombRowCount; ++N) {
    const TCombRow& R = S.CombRows[N];
    if (!RowMatches(R, Color, Ltype)) continue;
    if (IsColorDestination(R.DstColor)) P.Color = R.DstColor;
    if (IsLtypeDestination(R.DstLtype)) P.Ltype = R.DstLtype;
    if (IsWidth(R.DstWidth)) P.Width = R.DstWidth;
    if (!IsColorNumber(P.Color)) P.Color = 1;
    if (!IsLtypeNumber(P.Ltype)) P.Ltype = 1;
    if (!IsWidth(P.Width)) P.Width = 0;
  }
  return P;
}
