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
