#include "conversion/ConvSettings.h"

#include <algorithm>

#include "support/Func_2.h"

namespace {

bool InRange(std::int32_t V, std::int32_t Lo, std::int32_t Hi) { return V >= Lo && V <= Hi; }

const char16_t* const kSxfColorNames[16] = {
    u"SXF 1:black",     u"SXF 2:red",      u"SXF 3:green",     u"SXF 4:blue",    u"SXF 5:yellow", u"SXF 6:magenta",
    u"SXF 7:cyan",      u"SXF 8:white",    u"SXF 9:deeppink",  u"SXF10:brown",   u"SXF11:orange", u"SXF12:lightgreen",
    u"SXF13:lightblue", u"SXF14:lavender", u"SXF15:lightgray", u"SXF16:darkgray"};

// Rows 1 .. 33 of the line-type list; rows 34 .. 49 are numbered user types.
const char16_t* const kLtypeNames[33] = {
    u"線種1:実線",         u"線種2:点線１",     u"線種3:点線２",      u"線種4:点線３",       u"線種5:一点鎖線１",
    u"線種6:一点鎖線２",   u"線種7:二点鎖線１", u"線種8:二点鎖線２",  u"補助線種",           u"ランダム線１",
    u"ランダム線２",       u"ランダム線３",     u"ランダム線４",      u"ランダム線５",       u"倍長線種１",
    u"倍長線種２",         u"倍長線種３",       u"倍長線種４",        u"SXF 1:実線",         u"SXF 2:破線",
    u"SXF 3:跳び破線",     u"SXF 4:一点長鎖線", u"SXF 5:二点長鎖線",  u"SXF 6:三点長鎖線",   u"SXF 7:点線",
    u"SXF 8:一点鎖線",     u"SXF 9:二点鎖線",   u"SXF10:一点短鎖線",  u"SXF11:一点二短鎖線", u"SXF12:二点短鎖線",
    u"SXF13:二点二短鎖線", u"SXF14:三点短鎖線", u"SXF15:三点二短鎖線"};

}  // namespace

TConvSettings::TConvSettings() { WidthMap.fill(-1); }

bool TConvSettings::IsOn(TOptSwitch Switch) const {
  const std::int32_t V = OptFlags[Switch];
  return Switch == OptWidthOverwrite ? V != 0 : V == 1;
}

std::int32_t TConvSettings::RequiredVerRaise() const {
  auto EnabledRows = [this](auto Pred) {
    return std::any_of(CombRows.begin() + 1, CombRows.end(), [&](const TCombRow& R) { return R.Enabled && Pred(R); });
  };
  auto AnyEntry = [](const auto& Table, std::int32_t Threshold) {
    return std::any_of(Table.begin() + 1, Table.end(), [&](std::int32_t V) { return V >= Threshold; });
  };
  if (AnyEntry(ColorMap, 100) || AnyEntry(LtypeMap, 31) ||
      EnabledRows([](const TCombRow& R) { return R.DstColor >= 100 || R.DstLtype >= 31; }))
    return 2;
  if (AnyEntry(WidthMap, 1) || EnabledRows([](const TCombRow& R) { return R.DstWidth >= 1; })) return 1;
  return 0;
}

void TConvSettings::DeriveCombSources() {
  for (int N = 1; N <= kCombRowCount; ++N) {
    TCombRow& R = CombRows[N];
    R.SrcColor = ColorOfListIndex(R.SrcColorIdx);
    R.SrcLtype = LtypeOfListIndex(R.SrcLtypeIdx);
  }
}

std::int32_t ColorOfRow(int Row) {
  if (InRange(Row, 1, 9)) return Row;
  if (InRange(Row, 10, kColorRows)) return Row + 91;
  return 0;
}

int ColorRowOf(std::int32_t Color) {
  if (kStandardColorNumbers.Holds(Color)) return Color;
  if (kSxfColorNumbers.Holds(Color)) return Color - 91;
  return 0;
}

std::int32_t LtypeOfRow(int Row) {
  if (InRange(Row, 1, 9)) return Row;
  if (InRange(Row, 10, 18)) return Row + 1;
  if (InRange(Row, 19, 33)) return Row + 12;
  if (InRange(Row, 34, kLtypeRows)) return Row + 13;
  return 0;
}

int LtypeRowOf(std::int32_t Ltype) {
  if (InRange(Ltype, 1, 9)) return Ltype;
  if (InRange(Ltype, 11, 19)) return Ltype - 1;
  if (InRange(Ltype, 31, 45)) return Ltype - 12;
  if (InRange(Ltype, 47, 62)) return Ltype - 13;
  return 0;
}

bool IsColorListIndex(std::int32_t Index) { return InRange(Index, 0, kColorRows - 1); }
bool IsLtypeListIndex(std::int32_t Index) { return InRange(Index, 0, kLtypeRows - 1); }

std::int32_t ColorOfListIndex(std::int32_t Index) { return IsColorListIndex(Index) ? ColorOfRow(Index + 1) : 0; }

std::int32_t LtypeOfListIndex(std::int32_t Index) { return IsLtypeListIndex(Index) ? LtypeOfRow(Index + 1) : 0; }

bool IsColorSetting(std::int32_t V) { return V == 0 || IsColorNumber(V); }
bool IsLtypeSetting(std::int32_t V) {
  return V == 0 || kStandardLtypeNumbers.Holds(V) || kRandomAndDoubleLtypeNumbers.Holds(V) || kSxfLtypeNumbers.Holds(V);
}
bool IsWidthSetting(std::int32_t V) { return InRange(V, -1, kMaxWidth); }

std::u16string ColorRowName(int Row) {
  if (InRange(Row, 1, 8)) return u"線色 " + IntToText(Row);
  if (Row == 9) return u"補助線色";
  if (InRange(Row, 10, 25)) return kSxfColorNames[Row - 10];
  if (InRange(Row, 26, kColorRows)) return u"SXF USER定義線色 " + IntToText(Row - 9);
  return {};
}

std::u16string LtypeRowName(int Row) {
  if (InRange(Row, 1, 33)) return kLtypeNames[Row - 1];
  if (InRange(Row, 34, kLtypeRows)) return u"SXF USER定義線種 " + IntToText(Row - 17);
  return {};
}
