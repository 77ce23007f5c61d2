#include "conversion/DryRun.h"

#include "conversion/Conversion.h"
#include "documents/ByteStream.h"
#include "documents/JwFormat.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace {

std::vector<TDroppedBlockDef> DroppedDefs(const TJwBody& Doc) {
  std::vector<TDroppedBlockDef> Dropped;
  for (const TEntJwwBlockDef& D : Doc.EntBlockDef) {
    if (D.ref_flag) continue;
    const ConstEntityLists M = Members(D);
    std::int64_t N = 0;
    for (std::int32_t Kind = kLine; Kind <= kBlock; ++Kind) N += static_cast<std::int64_t>(M.Count(Kind));
    Dropped.push_back({D.nNumber, D.strName, N});
  }
  return Dropped;
}

// The names of both SXF tables, colours then line types.
struct TSxfNames {
  std::vector<std::u16string> Colors, Ltypes;
};

TSxfNames SxfNamesOf(const TJwwData& Doc) {
  TSxfNames N;
  for (const TEntJwwColorExNo& C : Doc.EntColS) N.Colors.push_back(C.astrUDColorName);
  for (const TEntJwwLineTypeExNo& T : Doc.EntLtpS) N.Ltypes.push_back(T.astrUDLTypeName);
  return N;
}
TSxfNames SxfNamesOf(const TJwsData&) { return {}; }

void AddRenames(std::vector<TSxfRename>& Out, TSxfTable Table, const std::vector<std::u16string>& Before,
                const std::vector<std::u16string>& After) {
  for (std::size_t I = 0; I < After.size(); ++I) {
    const std::u16string Old = I < Before.size() ? Before[I] : std::u16string();
    if (Old != After[I]) Out.push_back({Table, static_cast<std::int32_t>(I), Old, After[I]});
  }
}

// The SXF tables exist in files of version 4.20 on; the saved file's names
// against the loaded ones (empty for a file raised to 4.20).
std::vector<TSxfRename> Renames(const TSxfNames& Before, const TSxfNames& Saved, std::int32_t SavedVersion) {
  std::vector<TSxfRename> Out;
  if (SavedVersion < kVerSxf) return Out;
  AddRenames(Out, TSxfTable::Color, Before.Colors, Saved.Colors);
  AddRenames(Out, TSxfTable::Ltype, Before.Ltypes, Saved.Ltypes);
  return Out;
}

// Pairs the pens of the saved file with those of the source, slot by slot;
// the source's dropped members have no counterpart. False when the two walks
// do not line up, which would mean the save lost or added records.
template <class Doc>
bool PairPens(const std::vector<TPenSlot>& Source, const Doc& Saved, TTransitionTally& Out) {
  std::size_t I = 0;
  bool Aligned = true;
  ForEachPen(Saved, [&](const TPenSlot& After) {
    while (I < Source.size() && Source[I].Key.Where == TPenWhere::DroppedBlock) ++I;
    if (!Aligned || I == Source.size()) {
      Aligned = false;
      return;
    }
    const TPenSlot& Before = Source[I++];
    const TPenKey& B = Before.Key;
    const TPenKey& A = After.Key;
    if (B.Where != A.Where || B.Kind != A.Kind || B.Item != A.Item || (Before.Present && !After.Present)) {
      Aligned = false;
      return;
    }
    if (!After.Present) return;
    if (!Before.Present || B.Pen != A.Pen) Out.Add({A.Where, A.Kind, A.Item, !Before.Present, B.Pen, A.Pen});
  });
  while (I < Source.size() && Source[I].Key.Where == TPenWhere::DroppedBlock) ++I;
  return Aligned && I == Source.size();
}

template <class Doc>
TDryRunStatus DryRunDoc(Doc& D, const TConvSettings& S, TDryRun& Out) {
  Out = {};
  Out.SourceVersion = D.Enthd.jwVer;
  std::vector<TPenSlot> Source;
  ForEachPen(D, [&](const TPenSlot& P) { Source.push_back(P); });
  Out.Dropped = DroppedDefs(D);
  const TSxfNames Names = SxfNamesOf(D);
  if (!ConvertInMemory(D, S)) return TDryRunStatus::Refused;
  ChooseOutputForm(D);
  MemorySink Sink;
  ByteWriter W(Sink);
  if (!D.SaveTo(W, D.Enthd.jwVer) || !W.Flush()) return TDryRunStatus::NotSaved;
  Doc Saved;  // no image folder or list, like the loaded one
  ByteReader R(Sink.bytes);
  if (!Saved.LoadFrom(R) || !PairPens(Source, Saved, Out.Transitions)) return TDryRunStatus::NotSaved;
  Out.SavedVersion = Saved.Enthd.jwVer;
  Out.Renamed = Renames(Names, SxfNamesOf(Saved), Out.SavedVersion);
  return TDryRunStatus::Done;
}

}  // namespace

void TTransitionTally::Add(const TPenChange& Change, std::int64_t Count) {
  if (Count != 0) Counts_[Change] += Count;
}

void TTransitionTally::Add(const TTransitionTally& Other) {
  for (const auto& [Change, Count] : Other.Counts_) Add(Change, Count);
}

std::vector<TPenTransition> TTransitionTally::Rows() const {
  std::vector<TPenTransition> Rows;
  Rows.reserve(Counts_.size());
  for (const auto& [Change, Count] : Counts_) Rows.push_back({Change, Count});
  return Rows;
}

std::int64_t TTransitionTally::Records() const {
  std::int64_t N = 0;
  for (const auto& [Change, Count] : Counts_) N += Count;
  return N;
}

TDryRunStatus DryRunOf(TJwwData& Loaded, const TConvSettings& S, TDryRun& Out) { return DryRunDoc(Loaded, S, Out); }
TDryRunStatus DryRunOf(TJwsData& Loaded, const TConvSettings& S, TDryRun& Out) { return DryRunDoc(Loaded, S, Out); }
