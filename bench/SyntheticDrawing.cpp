#include "bench/SyntheticDrawing.h"

#include <cstdio>

#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace synthetic {

namespace fs = std::filesystem;

namespace {

constexpr int kBlockDefs = 200;

TEntJwwAttr Pen(int I) {
  TEntJwwAttr A;
  A.nPenStyle = static_cast<std::uint8_t>(1 + I % 9);
  A.nPenColor = static_cast<std::uint16_t>(I % 7 == 0 ? 101 + I % 256 : 1 + I % 9);
  A.nPenWidth = static_cast<std::uint16_t>(I % 50);
  A.nLayer = static_cast<std::uint16_t>(I % 16);
  A.nGLayer = static_cast<std::uint16_t>(I / 16 % 16);
  return A;
}

template <class T>
T& Add(TJwBody& D, RecordArray<T>& A, int Kind) {
  D.EntNo.push_back({Kind, static_cast<std::int32_t>(A.size())});
  return A.emplace_back();
}

void FillText(TEntJwwMoji& M, int I) {
  M.att = Pen(I);
  M.att.nPenStyle = 1;
  M.start_x = I;
  M.end_x = I + 10.0;
  M.dSizeX = M.dSizeY = 3.5;
  M.strFontName = u"ＭＳ ゴシック";
  M.str = u"平面図 " + IntToText(I) + u" 通り芯";
}

// One entity of each kind in turn, weighted like a floor plan: mostly lines.
void AddEntity(TJwwData& D, int I) {
  const double X = I * 0.5, Y = I * 0.25;
  switch (I % 20) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7: {
      TEntJwwLine& L = Add(D, D.EntLine, kLine);
      L = {Pen(I), X, Y, X + 100, Y + 50};
      break;
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      TEntJwwEnko& E = Add(D, D.EntEnko, kEnko);
      E = {Pen(I), X, Y, 25.0, 0.0, 3.14, 0.0, 1.0, 0};
      break;
    }
    case 12:
    case 13: {
      TEntJwwTen& T = Add(D, D.EntTen, kTen);
      T.att = Pen(I);
      T.att.nPenStyle = I % 4 == 0 ? 100 : 1;
      T.start_x = X;
      T.start_y = Y;
      T.dBairitsu = 1.0;
      break;
    }
    case 14:
    case 15:
    case 16: FillText(Add(D, D.EntMoji, kMoji), I); break;
    case 17: {
      TEntJwwSunpo& S = Add(D, D.EntSunpo, kSunpo);
      S.att = Pen(I);
      S.Sen = {Pen(I), X, Y, X + 100, Y};
      FillText(S.Moji, I);
      S.bSxfMode = 1;
      S.Ho1 = S.Ho2 = S.Sen;
      for (TEntJwwTen* T : {&S.Te1, &S.Te2, &S.Kt1, &S.Kt2}) T->att = Pen(I);
      break;
    }
    case 18: {
      TEntJwwSolid& S = Add(D, D.EntSolid, kSolid);
      S.att = Pen(I);
      S.att.nPenColor = I % 3 == 0 ? 10 : 2;
      S.end_x = X;
      S.Color = 0x336699;
      break;
    }
    default: {
      TEntJwwBlock& B = Add(D, D.EntBlock, kBlock);
      B.att = Pen(I);
      B.DPKijunTen_x = X;
      B.dBairitsuX = B.dBairitsuY = 1.0;
      B.nNumber = static_cast<std::uint32_t>(I % kBlockDefs);
      break;
    }
  }
}

// Definitions of ten lines and a text each; every tenth nests the next one.
void AddBlockDefinitions(TJwwData& D) {
  for (int K = 0; K < kBlockDefs; ++K) {
    TEntJwwBlockDef& Def = D.EntBlockDef.emplace_back();
    Def.nNumber = static_cast<std::uint32_t>(K);
    Def.strName = u"部品" + IntToText(K);
    for (int M = 0; M < 10; ++M) {
      Def.mNo.push_back({kLine, static_cast<std::int32_t>(Def.mLine.size())});
      Def.mLine.push_back({Pen(M), 0, 0, M * 1.0, 10});
    }
    Def.mNo.push_back({kMoji, 0});
    FillText(Def.mMoji.emplace_back(), K);
    if (K % 10 == 0 && K + 1 < kBlockDefs) {
      Def.mNo.push_back({kBlock, 0});
      TEntJwwBlock& B = Def.mBlock.emplace_back();
      B.dBairitsuX = B.dBairitsuY = 1.0;
      B.nNumber = static_cast<std::uint32_t>(K + 1);
    }
    Def.N = static_cast<std::int32_t>(Def.mNo.size());
  }
}

}  // namespace

fs::path MakeDrawing(const fs::path& Dir, int Entities) {
  TJwwData D;
  D.SizeHeaderTables();
  D.Enthd.jwVer = kVersion;
  D.Enthd.strMemo = u"合成図面";
  // Every layer shown, in the usual pens of a white sheet, so that a picture
  // of it draws everything.
  for (TEntJwwLayerGroup& G : D.EntLgrp) G.anGLay = 2;
  for (TEntJwwLayer& L : D.EntLay) L.aanLay = 2;
  const std::int32_t Pens[10] = {0xFFFFFF, 0xC0C000, 0x000000, 0x00C000, 0x00C0C0,
                                 0xC000C0, 0xFF0000, 0x808000, 0x8000FF, 0xC0C0C0};
  for (std::size_t K = 0; K < 10; ++K) D.EntCol[K] = {Pens[K], 1, Pens[K], static_cast<std::int32_t>(K + 1), 0.5};
  for (int I = 0; I < Entities; ++I) AddEntity(D, I);
  AddBlockDefinitions(D);
  D.MakeBlockTree();
  D.SetFileOutOption(kOutUtf16);
  const fs::path P = Dir / "synthetic.jww";
  if (!D.FileOut(FromPath(P), kVersion)) std::fprintf(stderr, "cannot write %s\n", P.c_str());
  return P;
}

}  // namespace synthetic
