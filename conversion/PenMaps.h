// The pen maps of the two conversion modes: plain functions from the
// settings and a record's pen numbers to its new pen numbers. The code that
// walks a document applies them; it does not re-decide them.
//
// Table values outside the valid ranges (possible only from a hand-edited
// INI or settings file) act as "keep", so no map ever yields a pen number
// outside the numbering from a bad table value:
//   - a ColorMap entry or row DstColor that is not 1..9 / 101..356 keeps the
//     colour (acts as 0);
//   - a LtypeMap entry or row DstLtype that is not 1..9 / 11..19 / 31..62
//     keeps the line type (acts as 0);
//   - a WidthMap entry or row DstWidth that is not 0..30000 keeps the width
//     (acts as -1);
//   - a row whose SrcColorIdx or SrcLtypeIdx lies outside its list matches
//     nothing.
// The loaded values themselves are never rewritten.
#pragma once

#include <array>
#include <compare>
#include <cstdint>

#include "conversion/ConvSettings.h"

// A colour number (1..9, 101..356) through ColorMap; any other number gives 1.
std::int32_t MapColor(const TConvSettings& S, std::int32_t Color);

// A line-type number through LtypeMap; a number without a row (0, 10,
// 20..30, 46, above 62) gives 1.
std::int32_t MapLtype(const TConvSettings& S, std::int32_t Ltype);

// The width of a record whose colour before the conversion is Color. Widths
// outside 0..30000 become 0; a width already set (above 0) stays unless
// OptWidthOverwrite is on.
std::int32_t MapWidth(const TConvSettings& S, std::int32_t Color, std::int32_t Width);

// The three maps above for one settings, worked out once for every pen
// number up to the last one with a row, for walking documents of millions
// of records. Each look-up gives what the map gives.
class TPenTables {
 public:
  explicit TPenTables(const TConvSettings& S);
  std::int32_t Color(std::int32_t C) const { return Tabled(C, Color_) ? Color_[C] : MapColor(S_, C); }
  std::int32_t Ltype(std::int32_t L) const { return Tabled(L, Ltype_) ? Ltype_[L] : MapLtype(S_, L); }
  // Only widths of 0 are tabled: a width already set stays unless
  // OptWidthOverwrite is on, which the map decides quickly.
  std::int32_t Width(std::int32_t Color, std::int32_t Width) const {
    return Width == 0 && Tabled(Color, NoWidth_) ? NoWidth_[Color] : MapWidth(S_, Color, Width);
  }

 private:
  static constexpr std::size_t kTabled = 357;  // 0 .. 356, the highest colour
  template <class Table>
  static bool Tabled(std::int32_t V, const Table& T) {
    return V >= 0 && static_cast<std::size_t>(V) < T.size();
  }

  const TConvSettings& S_;
  std::array<std::int32_t, kTabled> Color_, Ltype_, NoWidth_;
};

struct TPen {
  std::int32_t Color = 0;
  std::int32_t Ltype = 0;
  std::int32_t Width = 0;
  auto operator<=>(const TPen&) const = default;
};

// The combination rows applied to one line or arc. Every enabled row is
// compared with the record's original colour and line type (SrcColor and
// SrcLtype, set by TConvSettings::DeriveCombSources); matching rows apply in
// order, each on top of the previous ones. A record no row matches keeps its
// values unchanged.
TPen MapCombination(const TConvSettings& S, std::int32_t Color, std::int32_t Ltype, std::int32_t Width);
