#include "conversion/PenNames.h"

#include "conversion/ConvSettings.h"
#include "support/Func_2.h"

namespace {

constexpr std::int32_t kOwnColor = 10;  // a solid that carries its own colour

}  // namespace

std::u16string PenColorName(TPenKind Kind, std::int32_t Color) {
  if (const int Row = ColorRowOf(Color); Row != 0) return ColorRowName(Row);
  if (Kind == TPenKind::Solid && Color == kOwnColor) return u"任意色";
  return u"線色番号 " + IntToText(Color);
}

std::u16string PenLtypeName(TPenKind Kind, std::int32_t Ltype) {
  if (!HasLineType(Kind)) return IntToText(Ltype);
  if (const int Row = LtypeRowOf(Ltype); Row != 0) return LtypeRowName(Row);
  return u"線種番号 " + IntToText(Ltype);
}

std::u16string PenWidthName(std::int32_t Width) { return Width == 0 ? u"基本幅" : IntToText(Width); }

std::u16string PenWhereName(TPenWhere Where) {
  switch (Where) {
    case TPenWhere::Drawing: return u"図形";
    case TPenWhere::KeptBlock: return u"ブロック内";
    case TPenWhere::DroppedBlock: return u"未使用ブロック内";
    case TPenWhere::Header: return u"設定";
  }
  return {};
}

std::u16string PenKindName(TPenKind Kind, std::int32_t Item) {
  switch (Kind) {
    case TPenKind::Line: return u"線";
    case TPenKind::Arc: return u"円弧";
    case TPenKind::Point: return u"点";
    case TPenKind::Text: return u"文字";
    case TPenKind::Dimension: return u"寸法";
    case TPenKind::DimensionLine: return u"寸法線";
    case TPenKind::DimensionText: return u"寸法値";
    case TPenKind::DimensionExtension: return u"寸法補助線";
    case TPenKind::DimensionPoint: return u"寸法点";
    case TPenKind::Solid: return u"ソリッド";
    case TPenKind::BlockInsert: return u"ブロック";
    case TPenKind::TextTypeColor: return u"文字種 " + IntToText(Item);
    case TPenKind::DimensionSetting: {
      static const char16_t* const kPlaces[] = {u"一", u"十", u"百"};
      const std::u16string Place = Item >= 1 && Item <= 3 ? kPlaces[Item - 1] : IntToText(Item);
      return u"寸法設定（" + Place + u"の位）";
    }
  }
  return {};
}
