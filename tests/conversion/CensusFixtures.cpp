#include "tests/conversion/CensusFixtures.h"

#include <algorithm>

namespace censusfix {

namespace {

using jwfix::JwFile;
using jwfix::Pen;

constexpr std::int32_t kTextTypeColors[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 2};
constexpr std::int32_t kSunpou1 = 1234;

TEntJwwLine Line(const TEntJwwAttr& A) { return {A, 0, 0, 10, 0}; }
TEntJwwEnko Arc(const TEntJwwAttr& A) { return {A, 0, 0, 5, 0, 1, 0, 1, 0}; }
TEntJwwTen Point(const TEntJwwAttr& A) {
  TEntJwwTen T{A, 1, 2, 0};
  if (A.nPenStyle == 100) T.dBairitsu = 1;
  return T;
}
TEntJwwMoji Text(const TEntJwwAttr& A) { return {A, 0, 0, 10, 0, 1, 2.5, 2.5, 0, 0, u"ＭＳ ゴシック", u"文字"}; }
TEntJwwSolid Solid(const TEntJwwAttr& A) {
  TEntJwwSolid S{A, 0, 0, 1, 0, 1, 1, 0, 1, 0};
  if (A.nPenColor == 10) S.Color = 0x00ABCDEF;
  return S;
}
TEntJwwBlock Insert(std::uint32_t Number) { return {Pen(1, 1), 0, 0, 1, 1, 0, Number}; }

TEntJwwSunpo Dimension(std::int32_t Ver) {
  TEntJwwSunpo D;
  D.att = Pen(1, 7);
  D.Sen = Line(Pen(1, 2));
  D.Moji = Text(Pen(1, 3));
  if (Ver >= 420) {
    D.bSxfMode = 1;
    D.Ho1 = Line(Pen(1, 1));
    D.Ho2 = Line(Pen(31, 120));
    D.Te1 = Point(Pen(1, 2));
    D.Te2 = Point(Pen(100, 3));
    D.Kt1 = Point(Pen(1, 4));
    D.Kt2 = Point(Pen(100, 5));
  }
  return D;
}

TEntJwwBlockDef Definition(std::uint32_t Number, const char16_t* Name) {
  TEntJwwBlockDef D;
  D.att = Pen(1, 1);
  D.nNumber = Number;
  D.strName = Name;
  return D;
}

}  // namespace

jwfix::ByteVec CensusDrawing(std::int32_t Ver) {
  JwFile F(Ver);
  jwfix::JwwHeaderSpec H = jwfix::CanonicalHeader(Ver);
  for (std::size_t I = 0; I < 10; ++I) H.moj[I].anMojiCol = kTextTypeColors[I];
  H.h.lnSunpou1 = kSunpou1;
  jwfix::WriteJwwHeader(F, H);
  F.Count(14);
  F.Line(Line(Pen(1, 2))).Line(Line(Pen(1, 2))).Line(Line(Pen(35, 105, 25)));
  F.Enko(Arc(Pen(2, 3))).Ten(Point(Pen(1, 4))).Ten(Point(Pen(100, 5))).Moji(Text(Pen(1, 6)));
  F.Sunpo(Dimension(Ver)).Solid(Solid(Pen(1, 10))).Solid(Solid(Pen(1, 8))).Block(Insert(5));
  F.Line(Line(Pen(1, 2))).Enko(Arc(Pen(2, 3))).Enko(Arc(Pen(2, 3)));
  F.Count(3);
  F.BlockDef(Definition(5, u"使用"), 3).Line(Line(Pen(1, 2))).Solid(Solid(Pen(1, 10))).Block(Insert(9));
  F.BlockDef(Definition(7, u"未使用"), 3).Line(Line(Pen(1, 2))).Enko(Arc(Pen(2, 3))).Sunpo(Dimension(Ver));
  F.BlockDef(Definition(9, u"入れ子"), 1).Ten(Point(Pen(1, 4)));
  if (Ver >= 700) F.b.i32(0);
  return F.bytes();
}

std::vector<TPenCount> ExpectedCensus(std::int32_t Ver) {
  using W = TPenWhere;
  using K = TPenKind;
  const bool Sxf = Ver >= 420;
  std::vector<TPenCount> Rows;
  auto Row = [&](W Where, K Kind, std::int32_t Color, std::int32_t Ltype, std::int32_t Width, std::int64_t N) {
    Rows.push_back({{Where, Kind, 0, {Color, Ltype, Width}}, N});
  };
  auto Dim = [&](W Where) {
    Row(Where, K::Dimension, 7, 1, 0, 1);
    Row(Where, K::DimensionLine, 2, 1, 0, 1);
    Row(Where, K::DimensionText, 3, 1, 0, 1);
    if (!Sxf) return;
    Row(Where, K::DimensionExtension, 1, 1, 0, 1);
    Row(Where, K::DimensionExtension, 120, 31, 0, 1);
    Row(Where, K::DimensionPoint, 2, 1, 0, 1);
    Row(Where, K::DimensionPoint, 3, 100, 0, 1);
    Row(Where, K::DimensionPoint, 4, 1, 0, 1);
    Row(Where, K::DimensionPoint, 5, 100, 0, 1);
  };
  Row(W::Drawing, K::Line, 2, 1, 0, 3);
  Row(W::Drawing, K::Line, 105, 35, 25, 1);
  Row(W::Drawing, K::Arc, 3, 2, 0, 3);
  Row(W::Drawing, K::Point, 4, 1, 0, 1);
  Row(W::Drawing, K::Point, 5, 100, 0, 1);
  Row(W::Drawing, K::Text, 6, 1, 0, 1);
  Dim(W::Drawing);
  Row(W::Drawing, K::Solid, 8, 1, 0, 1);
  Row(W::Drawing, K::Solid, 10, 1, 0, 1);
  Row(W::Drawing, K::BlockInsert, 1, 1, 0, 1);
  Row(W::KeptBlock, K::Line, 2, 1, 0, 1);
  Row(W::KeptBlock, K::Point, 4, 1, 0, 1);
  Row(W::KeptBlock, K::Solid, 10, 1, 0, 1);
  Row(W::KeptBlock, K::BlockInsert, 1, 1, 0, 1);
  Row(W::DroppedBlock, K::Line, 2, 1, 0, 1);
  Row(W::DroppedBlock, K::Arc, 3, 2, 0, 1);
  Dim(W::DroppedBlock);
  for (std::int32_t I = 0; I < 10; ++I)
    Rows.push_back({{W::Header, K::TextTypeColor, I + 1, {kTextTypeColors[I], 0, 0}}, 1});
  for (const auto& [Item, Digit] : {std::pair{1, 4}, std::pair{2, 3}, std::pair{3, 2}})
    Rows.push_back({{W::Header, K::DimensionSetting, Item, {Digit, 0, 0}}, 1});
  std::sort(Rows.begin(), Rows.end(), [](const TPenCount& A, const TPenCount& B) { return A.Key < B.Key; });
  return Rows;
}

TPenCensus AppliedTo(const TPenCensus& Source, const TTransitionTally& T) {
  TPenCensus Out;
  for (const TPenCount& R : Source.Rows())
    if (R.Key.Where != TPenWhere::DroppedBlock) Out.Add(R.Key, R.Count);
  for (const TPenTransition& X : T.Rows()) {
    const TPenChange& C = X.Change;
    if (!C.Added) Out.Add({C.Where, C.Kind, C.Item, C.Before}, -X.Count);
    Out.Add({C.Where, C.Kind, C.Item, C.After}, X.Count);
  }
  return Out;
}

std::vector<std::string> Listing(const std::filesystem::path& Dir) {
  namespace fs = std::filesystem;
  std::vector<std::string> L;
  for (const fs::directory_entry& E : fs::recursive_directory_iterator(Dir)) {
    std::string Line = fs::relative(E.path(), Dir).string();
    if (E.is_regular_file()) Line += " " + std::to_string(E.file_size());
    Line += " " + std::to_string(E.last_write_time().time_since_epoch().count());
    L.push_back(Line);
  }
  std::sort(L.begin(), L.end());
  return L;
}

}  // namespace censusfix
