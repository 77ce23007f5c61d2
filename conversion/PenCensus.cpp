#include "conversion/PenCensus.h"

#include <algorithm>

#include "conversion/Conversion.h"
#include "documents/JwFormat.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace {

TPen PenOf(const TEntJwwAttr& A) { return {A.nPenColor, A.nPenStyle, A.nPenWidth}; }

// The walk of ForEachPen over the body both document kinds share.
class TPenWalk {
 public:
  TPenWalk(const std::function<void(const TPenSlot&)>& Visit, std::int32_t Ver)
      : Visit_(Visit), SxfParts_(Ver >= kVerSxf) {}

  void Body(const TJwBody& Doc) {
    List(TPenWhere::Drawing, Doc.Entities());
    for (const TEntJwwBlockDef& D : Doc.EntBlockDef)
      List(D.ref_flag ? TPenWhere::KeptBlock : TPenWhere::DroppedBlock, Members(D));
  }

  void Header(const TJwwData& Doc) {
    for (std::size_t I = 0; I < Doc.EntMoj.size(); ++I)
      HeaderPen(TPenKind::TextTypeColor, static_cast<std::int32_t>(I + 1), Doc.EntMoj[I].anMojiCol);
    std::int32_t Item = 0;
    for (const std::int32_t Place : {1, 10, 100})
      HeaderPen(TPenKind::DimensionSetting, ++Item, SunpouColorDigit(Doc.Enthd.lnSunpou1, Place));
  }

 private:
  void Pen(TPenWhere Where, TPenKind Kind, const TEntJwwAttr& A, bool Present = true) {
    Visit_({{Where, Kind, 0, PenOf(A)}, Present});
  }

  void HeaderPen(TPenKind Kind, std::int32_t Item, std::int32_t Color) {
    Visit_({{TPenWhere::Header, Kind, Item, {Color, 0, 0}}, true});
  }

  // The records in the order and with the parts the conversion visits.
  void List(TPenWhere W, const ConstEntityLists& L) {
    for (const TEntJwwLine& X : L.line) Pen(W, TPenKind::Line, X.att);
    for (const TEntJwwEnko& X : L.enko) Pen(W, TPenKind::Arc, X.att);
    for (const TEntJwwTen& X : L.ten) Pen(W, TPenKind::Point, X.att);
    for (const TEntJwwMoji& X : L.moji) Pen(W, TPenKind::Text, X.att);
    for (const TEntJwwSunpo& X : L.sunpo) Sunpo(W, X);
    for (const TEntJwwSolid& X : L.solid) Pen(W, TPenKind::Solid, X.att);
    for (const TEntJwwBlock& X : L.block) Pen(W, TPenKind::BlockInsert, X.att);
  }

  void Sunpo(TPenWhere W, const TEntJwwSunpo& X) {
    Pen(W, TPenKind::Dimension, X.att);
    Pen(W, TPenKind::DimensionLine, X.Sen.att);
    Pen(W, TPenKind::DimensionText, X.Moji.att);
    for (const TEntJwwLine* L : {&X.Ho1, &X.Ho2}) Pen(W, TPenKind::DimensionExtension, L->att, SxfParts_);
    for (const TEntJwwTen* T : {&X.Te1, &X.Te2, &X.Kt1, &X.Kt2}) Pen(W, TPenKind::DimensionPoint, T->att, SxfParts_);
  }

  const std::function<void(const TPenSlot&)>& Visit_;
  bool SxfParts_;
};

}  // namespace

// Counts the present pens of a walk. Neighbouring records mostly share their
// pen, so the count of the last key is kept at hand.
class TCensusBuilder {
 public:
  explicit TCensusBuilder(TPenCensus& C) : C_(C) {}
  void operator()(const TPenSlot& S) {
    if (!S.Present) return;
    if (!Last_ || S.Key != LastKey_) {
      LastKey_ = S.Key;
      Last_ = &C_.Counts_[S.Key];
    }
    ++*Last_;
  }

 private:
  TPenCensus& C_;
  TPenKey LastKey_;
  std::int64_t* Last_ = nullptr;
};

bool HasLineType(TPenKind K) {
  return K == TPenKind::Line || K == TPenKind::Arc || K == TPenKind::DimensionLine || K == TPenKind::DimensionExtension;
}

std::size_t TPenKeyHash::operator()(const TPenKey& K) const {
  std::uint64_t H = static_cast<std::uint64_t>(K.Where) | static_cast<std::uint64_t>(K.Kind) << 2 |
                    static_cast<std::uint64_t>(static_cast<std::uint32_t>(K.Item)) << 6;
  for (const std::int32_t V : {K.Pen.Color, K.Pen.Ltype, K.Pen.Width})
    H = (H ^ static_cast<std::uint32_t>(V)) * 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>(H ^ (H >> 29));
}

void TPenCensus::Add(const TPenKey& Key, std::int64_t Count) {
  if (Count != 0) Counts_[Key] += Count;
}

void TPenCensus::Add(const TPenCensus& Other) {
  for (const auto& [Key, Count] : Other.Counts_) Add(Key, Count);
}

std::int64_t TPenCensus::Count(const TPenKey& Key) const {
  const auto It = Counts_.find(Key);
  return It == Counts_.end() ? 0 : It->second;
}

std::vector<TPenCount> TPenCensus::Rows() const {
  std::vector<TPenCount> Rows;
  Rows.reserve(Counts_.size());
  for (const auto& [Key, Count] : Counts_)
    if (Count != 0) Rows.push_back({Key, Count});
  std::sort(Rows.begin(), Rows.end(), [](const TPenCount& A, const TPenCount& B) { return A.Key < B.Key; });
  return Rows;
}

void ForEachPen(const TJwwData& Doc, const std::function<void(const TPenSlot&)>& Visit) {
  TPenWalk Walk(Visit, Doc.Enthd.jwVer);
  Walk.Body(Doc);
  Walk.Header(Doc);
}

void ForEachPen(const TJwsData& Doc, const std::function<void(const TPenSlot&)>& Visit) {
  TPenWalk(Visit, Doc.Enthd.jwVer).Body(Doc);
}

TPenCensus CensusOf(const TJwwData& Doc) {
  TPenCensus C;
  ForEachPen(Doc, TCensusBuilder(C));
  return C;
}

TPenCensus CensusOf(const TJwsData& Doc) {
  TPenCensus C;
  ForEachPen(Doc, TCensusBuilder(C));
  return C;
}
