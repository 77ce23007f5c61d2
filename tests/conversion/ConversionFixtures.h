// Small drawings and figures built in memory for the conversion tests: one
// record of each kind in the drawing and inside one block definition, all
// with the same pen, so a test can see which of them a conversion changes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/TestSupport.h"
#include "conversion/ConvSettings.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace convfixtures {

inline TEntJwwAttr Pen(int Color, int Ltype, int Width = 0) {
  TEntJwwAttr A;
  A.nPenColor = static_cast<std::uint16_t>(Color);
  A.nPenStyle = static_cast<std::uint8_t>(Ltype);
  A.nPenWidth = static_cast<std::uint16_t>(Width);
  return A;
}

// Points are written with line type 1 (or 100 for a marker): they carry 1.
inline TEntJwwAttr PointPen(TEntJwwAttr A) {
  A.nPenStyle = 1;
  return A;
}

template <class Record>
Record& AddRecord(std::vector<TEntJwwNo>& No, RecordArray<Record>& Array, EntKind Kind, const TEntJwwAttr& A) {
  No.push_back({Kind, static_cast<std::int32_t>(Array.size())});
  Record& R = Array.emplace_back();
  R.att = A;
  return R;
}

inline TEntJwwSunpo MakeSunpo(const TEntJwwAttr& A) {
  TEntJwwSunpo D;
  D.att = A;
  for (TEntJwwLine* L : {&D.Sen, &D.Ho1, &D.Ho2}) {
    L->att = A;
    L->end_x = 10;
  }
  for (TEntJwwTen* T : {&D.Te1, &D.Te2, &D.Kt1, &D.Kt2}) T->att = PointPen(A);
  D.Moji.att = A;
  D.Moji.dSizeX = D.Moji.dSizeY = 2.5;
  D.Moji.str = u"10";
  D.bSxfMode = 1;
  return D;
}

// One line, arc, point, text, dimension and solid with pen A (points with
// line type 1).
inline void AddEachKind(const EntityLists& L, const TEntJwwAttr& A) {
  AddRecord(L.no, L.line, kLine, A).end_x = 100;
  AddRecord(L.no, L.enko, kEnko, A).dHankei = 5;
  AddRecord(L.no, L.ten, kTen, PointPen(A)).start_x = 1;
  TEntJwwMoji& M = AddRecord(L.no, L.moji, kMoji, A);
  M.dSizeX = M.dSizeY = 3;
  M.str = u"文字";
  AddRecord(L.no, L.sunpo, kSunpo, A) = MakeSunpo(A);
  AddRecord(L.no, L.solid, kSolid, A).end_x = 4;
}

// Every kind in the drawing, the same inside block definition 1, and an
// insert of that definition; each record carries pen A.
template <class Doc>
void AddContent(Doc& D, const TEntJwwAttr& A) {
  AddEachKind(D.Entities(), A);
  TEntJwwBlockDef& Def = D.EntBlockDef.emplace_back();
  Def.att = A;
  Def.nNumber = 1;
  Def.strName = u"部品";
  AddEachKind(Members(Def), A);
  Def.N = static_cast<std::int32_t>(Def.mNo.size());
  TEntJwwBlock& Insert = AddRecord(D.EntNo, D.EntBlock, kBlock, A);
  Insert.nNumber = 1;
  Insert.dBairitsuX = Insert.dBairitsuY = 1;
  D.MakeBlockTree();
}

// A drawing of version Ver as a load would leave it: header tables of their
// fixed lengths, text types of colours 1 .. 10.
inline void InitJww(TJwwData& D, std::int32_t Ver) {
  D.DataInit();
  D.SizeHeaderTables();
  D.Enthd.jwVer = Ver;
  for (std::size_t I = 0; I < D.EntMoj.size(); ++I) {
    D.EntMoj[I].anMojiCol = static_cast<std::int32_t>(I % 9) + 1;
    D.EntMoj[I].adMojiX = D.EntMoj[I].adMojiY = 3;
  }
}

inline void InitJws(TJwsData& D, std::int32_t Ver) {
  D.DataInit();
  D.EntLgrp.resize(16);
  for (TEntJwwLayerGroup& G : D.EntLgrp) G.adScale = 1;
  D.Enthd.jwVer = Ver;
}

// A drawing file of version Ver holding AddContent with pen A.
inline void WriteJww(const std::filesystem::path& Path, std::int32_t Ver, const TEntJwwAttr& A) {
  TJwwData D;
  InitJww(D, Ver);
  AddContent(D, A);
  ASSERT_TRUE(D.FileOut(testsupport::U16(Path), Ver)) << Path;
}

inline void WriteJws(const std::filesystem::path& Path, std::int32_t Ver, const TEntJwwAttr& A) {
  TJwsData D;
  InitJws(D, Ver);
  AddContent(D, A);
  ASSERT_TRUE(D.FileOut(testsupport::U16(Path), Ver)) << Path;
}

// Settings that change something in every kind of record: the individual
// tables with every switch on, and combination rows that match, chain and
// overlap; both raise to 4.20.
inline TConvSettings IndividualSettings() {
  TConvSettings S;
  for (int C = 1; C <= 9; ++C) S.ColorMap[C] = C % 9 + 1;  // 1 -> 2, ..., 9 -> 1
  S.ColorMap[3] = 110;                                     // an SXF colour
  S.WidthMap[1] = 25;
  S.WidthMap[2] = 0;
  S.WidthMap[7] = 140;
  S.LtypeMap[1] = 2;
  S.LtypeMap[2] = 1;
  S.LtypeMap[5] = 33;
  S.LtypeMap[9] = 6;
  S.OptFlags.fill(1);
  S.RecomputeVerRaise();
  return S;
}

inline TConvSettings CombinationSettings() {
  TConvSettings S;
  S.ConvMode = kModeCombination;
  S.CombRows[1] = {.Enabled = true, .SrcColorIdx = 0, .SrcLtypeIdx = 0, .DstColor = 4};
  S.CombRows[2] = {.Enabled = true, .SrcColorIdx = 1, .SrcLtypeIdx = 0, .DstLtype = 2, .DstWidth = 30};
  S.CombRows[3] = {.Enabled = true, .SrcColorIdx = 0, .SrcLtypeIdx = 0, .DstWidth = 20};
  S.CombRows[4] = {.Enabled = false, .SrcColorIdx = 6, .SrcLtypeIdx = 0, .DstColor = 5};
  S.CombRows[5] = {.Enabled = true, .SrcColorIdx = 4, .SrcLtypeIdx = 1, .DstColor = 112, .DstLtype = 33};
  S.CombRows[6] = {.Enabled = true, .SrcColorIdx = 2, .SrcLtypeIdx = 0, .DstColor = 2};  // 3 -> 2, never on to 9
  S.CombRows[7] = {.Enabled = true, .SrcColorIdx = 1, .SrcLtypeIdx = 0, .DstColor = 9};
  S.OptFlags.fill(1);
  S.RecomputeVerRaise();
  S.DeriveCombSources();
  return S;
}

}  // namespace convfixtures
