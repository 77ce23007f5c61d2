// The names the window gives to pens and to the rows of a census: pens as
// the settings dialog names them ("線色 2", "SXF 2:red", "線種5:一点鎖線１"),
// widths in 1/100 mm with 0 as "基本幅", and the places and kinds of records.
#pragma once

#include <cstdint>
#include <string>

#include "conversion/PenCensus.h"

// A colour number of a record of this kind: the name of its colour row; a
// solid's 10 is its own colour ("任意色"); other numbers "線色番号 N".
std::u16string PenColorName(TPenKind Kind, std::int32_t Color);
// A style number: for the kinds that hold a line type the name of its row,
// or "線種番号 N" for a number without one; for the others (a point's or a
// text's style) the number.
std::u16string PenLtypeName(TPenKind Kind, std::int32_t Ltype);
// "基本幅" for 0, else the width in 1/100 mm.
std::u16string PenWidthName(std::int32_t Width);

std::u16string PenWhereName(TPenWhere Where);
// With the item of a header pen: "文字種 3", "寸法設定（十の位）".
std::u16string PenKindName(TPenKind Kind, std::int32_t Item = 0);
