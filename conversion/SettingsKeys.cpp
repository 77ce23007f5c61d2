#include "conversion/SettingsKeys.h"

#include <algorithm>
#include <array>
#include <string>

#include "support/Func_2.h"

namespace {

constexpr int kOptFirstKey = kColorRows + kLtypeRows + 1;           // C315
constexpr int kTableKeys = kColorRows + kLtypeRows + kOptSwitches;  // C1 ... C322

// The entry behind key Cn (colours, line types, switches) or Wn (widths);
// Settings is TConvSettings, const or not.
template <class Settings>
auto TableEntry(Settings& S, char16_t Letter, int N) -> decltype(&S.ColorMap[0]) {
  if (Letter == u'W') return N >= 1 && N <= kColorRows ? &S.WidthMap[N] : nullptr;
  if (N >= 1 && N <= kColorRows) return &S.ColorMap[N];
  if (N > kColorRows && N < kOptFirstKey) return &S.LtypeMap[N - kColorRows];
  if (N >= kOptFirstKey && N <= kTableKeys) return &S.OptFlags[N - kOptFirstKey + 1];
  return nullptr;
}

// Row fields in their written order, with their key prefixes.
enum TRowField : std::size_t { RowEnabled, RowSrcColorIdx, RowSrcLtypeIdx, RowDstColor, RowDstLtype, RowDstWidth };
constexpr std::array<std::u16string_view, 6> kRowPrefixes = {u"FL", u"CN", u"LN", u"CL", u"LT", u"WD"};

// The number fields (all but RowEnabled); Row is TCombRow, const or not.
template <class Row>
auto RowNumber(Row& R, std::size_t Field) -> decltype(&R.DstColor) {
  switch (Field) {
    case RowSrcColorIdx: return &R.SrcColorIdx;
    case RowSrcLtypeIdx: return &R.SrcLtypeIdx;
    case RowDstColor: return &R.DstColor;
    case RowDstLtype: return &R.DstLtype;
    case RowDstWidth: return &R.DstWidth;
    default: return nullptr;
  }
}

// The number a key carries after its letters; 0 when the INI's exact
// spelling (plain decimal, no leading zeros or signs) does not hold.
int KeyNumber(std::u16string_view Digits, TSettingsDialect Dialect) {
  const std::int32_t N = TextToInt(Digits);
  if (Dialect == TSettingsDialect::Ini && IntToText(N) != Digits) return 0;
  return N;
}

void ApplyTableKey(TConvSettings& S, const TKeyLine& L, TSettingsDialect Dialect) {
  if (L.Key.empty() || (L.Key[0] != u'C' && L.Key[0] != u'W')) return;
  const int N = KeyNumber(L.Key.substr(1), Dialect);
  std::int32_t* Entry = TableEntry(S, L.Key[0], N);
  if (!Entry) return;
  const std::int32_t V = TextToInt(L.Value);
  const bool IsSwitch = L.Key[0] == u'C' && N >= kOptFirstKey;
  *Entry = IsSwitch && Dialect == TSettingsDialect::SetFile ? (V == 1 ? 1 : 0) : V;
}

void ApplyRowKey(TConvSettings& S, const TKeyLine& L, TSettingsDialect Dialect) {
  const auto Prefix = std::find(kRowPrefixes.begin(), kRowPrefixes.end(), L.Key.substr(0, 2));
  if (Prefix == kRowPrefixes.end()) return;
  const int N = KeyNumber(L.Key.substr(2), Dialect);
  if (N < 1 || N > kCombRowCount) return;
  TCombRow& R = S.CombRows[N];
  const auto Field = static_cast<std::size_t>(Prefix - kRowPrefixes.begin());
  if (Field == RowEnabled) {
    R.Enabled = Dialect == TSettingsDialect::Ini ? TextToBool(L.Value) : TextToInt(L.Value) == 1;
    return;
  }
  const std::int32_t V = TextToInt(L.Value);
  if (Dialect == TSettingsDialect::SetFile &&
      ((Field == RowSrcColorIdx && !IsColorListIndex(V)) || (Field == RowSrcLtypeIdx && !IsLtypeListIndex(V))))
    return;
  *RowNumber(R, Field) = V;
}

void ApplyModeKey(TConvSettings& S, const TKeyLine& L, TSettingsDialect Dialect) {
  if (L.Key != kModeKey) return;
  const std::int32_t V = TextToInt(L.Value);
  if (Dialect == TSettingsDialect::Ini || V == kModeIndividual || V == kModeCombination) S.ConvMode = V;
}

// "C12", "W3": a table key. Built by appending, which also keeps GCC 12's
// -Wrestrict false positive on literal + string out of optimised builds.
std::u16string TableKey(char16_t Letter, int N) {
  std::u16string Key(1, Letter);
  Key += IntToText(N);
  return Key;
}

}  // namespace

void WriteTableSection(TSettingsTextWriter& W, const TConvSettings& S) {
  W.Line(kSectionJww);
  for (int N = 1; N <= kTableKeys; ++N) W.Key(TableKey(u'C', N), *TableEntry(S, u'C', N));
  for (int N = 1; N <= kColorRows; ++N) W.Key(TableKey(u'W', N), *TableEntry(S, u'W', N));
}

void WriteRowSection(TSettingsTextWriter& W, const TConvSettings& S) {
  W.Line(kSectionJww1);
  for (int N = 1; N <= kCombRowCount; ++N) {
    const TCombRow& R = S.CombRows[N];
    const std::u16string Row = IntToText(N);
    W.Key(std::u16string(kRowPrefixes[RowEnabled]) + Row, BoolToText(R.Enabled));
    for (std::size_t Field = RowSrcColorIdx; Field < kRowPrefixes.size(); ++Field)
      W.Key(std::u16string(kRowPrefixes[Field]) + Row, *RowNumber(R, Field));
  }
}

void ApplyConversionKey(TConvSettings& S, const TKeyLine& L, TSettingsDialect Dialect) {
  if (L.Section == kSectionJww) ApplyTableKey(S, L, Dialect);
  else if (L.Section == kSectionJww1) ApplyRowKey(S, L, Dialect);
  else if (L.Section == kSectionSet) ApplyModeKey(S, L, Dialect);
}
