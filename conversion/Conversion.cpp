#include "conversion/Conversion.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "conversion/PenMaps.h"
#include "conversion/ReadBack.h"
#include "documents/JwFormat.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

bool IsStandardColor(std::int32_t C) { return C >= 1 && C <= 9; }

// The three steps that change one attribute. Every value stored comes from a
// pen map and so lies within the field's range.
void WidthAndColorStep(const TPenTables& M, TEntJwwAttr& A) {
  A.nPenWidth = static_cast<std::uint16_t>(M.Width(A.nPenColor, A.nPenWidth));
  A.nPenColor = static_cast<std::uint16_t>(M.Color(A.nPenColor));
}

void LtypeStep(const TPenTables& M, TEntJwwAttr& A) { A.nPenStyle = static_cast<std::uint8_t>(M.Ltype(A.nPenStyle)); }

void ColorStep(const TPenTables& M, TEntJwwAttr& A) { A.nPenColor = static_cast<std::uint16_t>(M.Color(A.nPenColor)); }

// Which records of one entity list the individual conversion changes: the
// drawing's own list, or the members of a block definition.
struct TIndividualParts {
  bool LineColorWidth = false;  // lines and arcs
  bool LineLtype = false;
  bool TenMojiColor = false;     // points and texts
  bool SunpoColorWidth = false;  // dimensions
  bool SunpoLtype = false;
  bool SolidColor = false;
  bool Any() const {
    return LineColorWidth || LineLtype || TenMojiColor || SunpoColorWidth || SunpoLtype || SolidColor;
  }
};

TIndividualParts DrawingParts(const TConvSettings& S) {
  return {true, true, true, S.IsOn(OptSunpoColorWidth), S.IsOn(OptSunpoLtype), S.IsOn(OptSolidColor)};
}

// Block members change only with the block switches, and their dimensions
// and solids only when the matching drawing switch is on as well.
TIndividualParts BlockParts(const TConvSettings& S) {
  const bool ColorWidth = S.IsOn(OptBlockColorWidth);
  const bool Ltype = S.IsOn(OptBlockLtype);
  return {ColorWidth,
          Ltype,
          ColorWidth,
          S.IsOn(OptSunpoColorWidth) && ColorWidth,
          S.IsOn(OptSunpoLtype) && Ltype,
          S.IsOn(OptSolidColor) && ColorWidth};
}

template <class Record>
void LineLikeSteps(const TPenTables& M, Record& R, bool ColorWidth, bool Ltype) {
  if (ColorWidth) WidthAndColorStep(M, R.att);
  if (Ltype) LtypeStep(M, R.att);
}

// A dimension's own attribute stays; its parts change. The SXF parts exist
// in files of version 4.20 on (older ones are filled from the attribute by
// the load and written only from 4.20 on).
void SunpoSteps(const TPenTables& M, TEntJwwSunpo& D, const TIndividualParts& P, bool SxfParts) {
  if (P.SunpoColorWidth) {
    WidthAndColorStep(M, D.Sen.att);
    ColorStep(M, D.Moji.att);
    if (SxfParts) {
      for (TEntJwwLine* L : {&D.Ho1, &D.Ho2}) WidthAndColorStep(M, L->att);
      for (TEntJwwTen* T : {&D.Te1, &D.Te2, &D.Kt1, &D.Kt2}) ColorStep(M, T->att);
    }
  }
  if (P.SunpoLtype) {
    LtypeStep(M, D.Sen.att);
    if (SxfParts)
      for (TEntJwwLine* L : {&D.Ho1, &D.Ho2}) LtypeStep(M, L->att);
  }
}

void IndividualSteps(const TPenTables& M, const EntityLists& L, const TIndividualParts& P, bool SxfParts) {
  for (TEntJwwLine& X : L.line) LineLikeSteps(M, X, P.LineColorWidth, P.LineLtype);
  for (TEntJwwEnko& X : L.enko) LineLikeSteps(M, X, P.LineColorWidth, P.LineLtype);
  if (P.TenMojiColor) {
    for (TEntJwwTen& X : L.ten) ColorStep(M, X.att);
    for (TEntJwwMoji& X : L.moji) ColorStep(M, X.att);
  }
  if (P.SunpoColorWidth || P.SunpoLtype)
    for (TEntJwwSunpo& X : L.sunpo) SunpoSteps(M, X, P, SxfParts);
  if (P.SolidColor)
    for (TEntJwwSolid& X : L.solid) ColorStep(M, X.att);
}

void IndividualBody(TJwBody& Doc, const TConvSettings& S, std::int32_t Ver) {
  const bool SxfParts = Ver >= kVerSxf;
  const TPenTables M(S);
  IndividualSteps(M, Doc.Entities(), DrawingParts(S), SxfParts);
  const TIndividualParts Block = BlockParts(S);
  if (!Block.Any()) return;
  for (TEntJwwBlockDef& D : Doc.EntBlockDef) IndividualSteps(M, Members(D), Block, SxfParts);
}

void CombinationStep(const TConvSettings& S, TEntJwwAttr& A, bool ColorWidth, bool Ltype) {
  const TPen P = MapCombination(S, A.nPenColor, A.nPenStyle, A.nPenWidth);
  if (ColorWidth) {
    A.nPenColor = static_cast<std::uint16_t>(P.Color);
    A.nPenWidth = static_cast<std::uint16_t>(P.Width);
  }
  if (Ltype) A.nPenStyle = static_cast<std::uint8_t>(P.Ltype);
}

template <class Lines, class Arcs>
void CombinationLines(const TConvSettings& S, Lines& L, Arcs& E, bool ColorWidth, bool Ltype) {
  for (TEntJwwLine& X : L) CombinationStep(S, X.att, ColorWidth, Ltype);
  for (TEntJwwEnko& X : E) CombinationStep(S, X.att, ColorWidth, Ltype);
}

// The owner's clear-down of each document kind.
void ClearDocument(TJwwData& JWW) { JwwDataFree(JWW); }
void ClearDocument(TJwsData& JWS) { JWS.DataFree(); }

// Clears the document however the conversion ends, so that nothing of one
// file (extracted images included) survives into the next.
template <class Doc>
class TClearOnExit {
 public:
  explicit TClearOnExit(Doc& D) : Doc_(D) {}
  ~TClearOnExit() { ClearDocument(Doc_); }
  TClearOnExit(const TClearOnExit&) = delete;
  TClearOnExit& operator=(const TClearOnExit&) = delete;

 private:
  Doc& Doc_;
};

template <class Doc, class Apply>
TConvResult ConvertDocument(Doc& D, const TConvSettings& S, std::u16string_view Source, std::u16string_view Destination,
                            TSaveCheck Check, Apply ApplyPens) {
  TClearOnExit<Doc> Clear(D);
  if (!D.FileIn(Source)) return {TConvOutcome::LoadFailed, D.LastError()};
  D.Enthd.jwVer = RaisedVersion(D.Enthd.jwVer, S.VerRaise);
  ApplyPens(D, S);
  ChooseOutputForm(D);
  D.SetSaveDigest(Check == TSaveCheck::ReadBack);
  // A failed save has already removed the destination file.
  if (!D.FileOut(Destination, D.Enthd.jwVer)) return {TConvOutcome::SaveFailed, D.LastError()};
  if (Check == TSaveCheck::None) return {};
  // The same document object reads the file back, so that a large drawing
  // is held in memory only once.
  const std::uint64_t Written = D.SavedDigest();
  ClearDocument(D);
  if (TJwError E = ReadBack(D, Destination, Written)) {
    FileDeleteQuiet(Destination);
    return {TConvOutcome::ReadBackFailed, std::move(E)};
  }
  return {};
}

}  // namespace

std::int32_t RaisedVersion(std::int32_t Ver, std::int32_t VerRaise) {
  if (VerRaise == 1 && Ver < kVerPenWidth) return kVerPenWidth;
  if (VerRaise == 2 && Ver < kVerSxf) return kVerSxf;
  return Ver;
}

std::int32_t MapMojiTypeColor(const TConvSettings& S, std::int32_t Color) {
  const std::int32_t M = MapColor(S, Color);
  return IsStandardColor(M) ? M : Color;
}

std::int32_t SunpouColorDigit(std::int64_t Value, std::int32_t Place) {
  return static_cast<std::int32_t>((Value / Place) % 10);
}

void ChooseOutputForm(TJwBody& Doc) { Doc.SetFileOutOption(Doc.MojiEncode ? kOutUtf16 : 0); }

std::int32_t MapSunpouColorDigits(const TConvSettings& S, std::int32_t Value) {
  // 64-bit so that replacing digits near the top of the range cannot
  // overflow; a result that no longer fits leaves the value as it was.
  std::int64_t V = Value;
  for (const std::int32_t P : {1, 10, 100}) {
    const std::int32_t D = SunpouColorDigit(V, P);
    const std::int32_t M = MapColor(S, D);
    if (IsStandardColor(M)) V += static_cast<std::int64_t>(M - D) * P;
  }
  if (V < std::numeric_limits<std::int32_t>::min() || V > std::numeric_limits<std::int32_t>::max()) return Value;
  return static_cast<std::int32_t>(V);
}

void ApplyIndividual(TJwwData& JWW, const TConvSettings& S) {
  IndividualBody(JWW, S, JWW.Enthd.jwVer);
  if (S.IsOn(OptMojiTypeColor))
    for (TEntJwwMojiType& T : JWW.EntMoj) T.anMojiCol = MapMojiTypeColor(S, T.anMojiCol);
  if (S.IsOn(OptSunpoSetColor)) JWW.Enthd.lnSunpou1 = MapSunpouColorDigits(S, JWW.Enthd.lnSunpou1);
}

void ApplyIndividual(TJwsData& JWS, const TConvSettings& S) { IndividualBody(JWS, S, JWS.Enthd.jwVer); }

void ApplyCombination(TJwBody& Doc, const TConvSettings& S) {
  CombinationLines(S, Doc.EntLine, Doc.EntEnko, true, true);
  const bool ColorWidth = S.IsOn(OptBlockColorWidth);
  const bool Ltype = S.IsOn(OptBlockLtype);
  if (!ColorWidth && !Ltype) return;
  for (TEntJwwBlockDef& D : Doc.EntBlockDef) CombinationLines(S, D.mLine, D.mEnko, ColorWidth, Ltype);
}

namespace {

template <class Doc>
bool ConvertLoaded(Doc& D, TConvSettings& S) {
  if (S.IsCombinationMode() &&
      std::none_of(S.CombRows.begin() + 1, S.CombRows.end(), [](const TCombRow& R) { return R.Enabled; }))
    return false;
  S.DeriveCombSources();
  D.Enthd.jwVer = RaisedVersion(D.Enthd.jwVer, S.VerRaise);
  if (S.IsCombinationMode()) ApplyCombination(D, S);
  else ApplyIndividual(D, S);
  return true;
}

}  // namespace

bool ConvertInMemory(TJwwData& JWW, TConvSettings S) { return ConvertLoaded(JWW, S); }
bool ConvertInMemory(TJwsData& JWS, TConvSettings S) { return ConvertLoaded(JWS, S); }

TConvResult ConvJwwIndividual(TJwwData& JWW, const TConvSettings& S, std::u16string_view Source,
                              std::u16string_view Destination, TSaveCheck Check) {
  return ConvertDocument(JWW, S, Source, Destination, Check,
                         [](TJwwData& D, const TConvSettings& X) { ApplyIndividual(D, X); });
}

TConvResult ConvJwsIndividual(TJwsData& JWS, const TConvSettings& S, std::u16string_view Source,
                              std::u16string_view Destination, TSaveCheck Check) {
  return ConvertDocument(JWS, S, Source, Destination, Check,
                         [](TJwsData& D, const TConvSettings& X) { ApplyIndividual(D, X); });
}

TConvResult ConvJwwCombination(TJwwData& JWW, const TConvSettings& S, std::u16string_view Source,
                               std::u16string_view Destination, TSaveCheck Check) {
  return ConvertDocument(JWW, S, Source, Destination, Check, ApplyCombination);
}

TConvResult ConvJwsCombination(TJwsData& JWS, const TConvSettings& S, std::u16string_view Source,
                               std::u16string_view Destination, TSaveCheck Check) {
  return ConvertDocument(JWS, S, Source, Destination, Check, ApplyCombination);
}
