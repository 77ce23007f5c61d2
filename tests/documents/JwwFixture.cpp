#include "documents/JwwFixture.h"

#include <algorithm>
#include <cmath>

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace jwfix {

JwFile::JwFile(std::int32_t Version, Form F) : ver(Version), form(F), schema(static_cast<std::uint16_t>(Version)) {}

JwFile& JwFile::CpStr(std::span<const std::uint8_t> Bytes) {
  const std::size_t N = Bytes.size();
  if (N < 255) {
    b.u8(static_cast<std::uint8_t>(N));
  } else {
    b.u8(0xFF).u16(static_cast<std::uint16_t>(N));
  }
  b.bytes.insert(b.bytes.end(), Bytes.begin(), Bytes.end());
  return *this;
}

JwFile& JwFile::Utf16Str(std::u16string_view S) {
  b.u8(0xFF).u16(0xFFFE);
  if (S.size() < 255) {
    b.u8(static_cast<std::uint8_t>(S.size()));
  } else {
    b.u8(0xFF).u16(static_cast<std::uint16_t>(S.size()));
  }
  for (char16_t C : S) b.u16(C);
  return *this;
}

JwFile& JwFile::Str(std::u16string_view S) {
  if (form == Form::Utf16) return Utf16Str(S);
  const Bytes Cp = TextToAnsiBytes(S);
  return CpStr(Cp);
}

JwFile& JwFile::Count(std::uint32_t N) {
  if (N < 0xFFFF) {
    b.u16(static_cast<std::uint16_t>(N));
  } else {
    b.u16(0xFFFF).u32(N);
  }
  return *this;
}

JwFile& JwFile::Tag(const std::string& Cls) {
  const auto It = Classes_.find(Cls);
  if (It == Classes_.end()) {
    b.u16(0xFFFF).u16(schema).u16(static_cast<std::uint16_t>(Cls.size())).raw(Cls);
    Classes_[Cls] = Running_++;
  } else if (It->second < 0x7FFF) {
    b.u16(static_cast<std::uint16_t>(0x8000 + It->second));
  } else {
    b.u16(0x7FFF).u32(0x80000000u + It->second);
  }
  return *this;
}

std::uint32_t JwFile::ClassIndex(const std::string& Cls) const {
  const auto It = Classes_.find(Cls);
  return It == Classes_.end() ? 0 : It->second;
}

JwFile& JwFile::Attr(const TEntJwwAttr& A) {
  b.u32(A.lGroup).u8(A.nPenStyle).u16(A.nPenColor);
  if (ver >= 351) b.u16(A.nPenWidth);
  b.u16(A.nLayer).u16(A.nGLayer).u16(A.sFlg);
  return *this;
}

JwFile& JwFile::LineRec(const TEntJwwLine& X) {
  Attr(X.att);
  b.f64(X.start_x).f64(X.start_y).f64(X.end_x).f64(X.end_y);
  return *this;
}

JwFile& JwFile::EnkoRec(const TEntJwwEnko& X) {
  Attr(X.att);
  b.f64(X.start_x).f64(X.start_y).f64(X.dHankei).f64(X.radKaishiKaku).f64(X.radEnkoKaku);
  b.f64(X.radKatamukiKaku).f64(X.dHenpeiRitsu).u32(X.bZenEnFlg);
  return *this;
}

JwFile& JwFile::TenRec(const TEntJwwTen& X) {
  Attr(X.att);
  b.f64(X.start_x).f64(X.start_y).u32(X.bKariten);
  if (X.att.nPenStyle == 100) b.u32(X.nCode).f64(X.radKaitenKaku).f64(X.dBairitsu);
  return *this;
}

JwFile& JwFile::MojiRec(const TEntJwwMoji& X) {
  Attr(X.att);
  b.f64(X.start_x).f64(X.start_y).f64(X.end_x).f64(X.end_y).u32(X.nMojiShu);
  b.f64(X.dSizeX).f64(X.dSizeY).f64(X.dKankaku).f64(X.degKakudo);
  return Str(X.strFontName).Str(X.str);
}

JwFile& JwFile::SunpoRec(const TEntJwwSunpo& X) {
  Attr(X.att);
  LineRec(X.Sen);
  MojiRec(X.Moji);
  if (ver >= 420) {
    b.u16(X.bSxfMode);
    LineRec(X.Ho1).LineRec(X.Ho2);
    TenRec(X.Te1).TenRec(X.Te2).TenRec(X.Kt1).TenRec(X.Kt2);
  }
  return *this;
}

JwFile& JwFile::SolidRec(const TEntJwwSolid& X) {
  Attr(X.att);
  b.f64(X.start_x).f64(X.start_y).f64(X.end_x).f64(X.end_y);
  b.f64(X.DPoint2_x).f64(X.DPoint2_y).f64(X.DPoint3_x).f64(X.DPoint3_y);
  if (X.att.nPenColor == 10) b.u32(X.Color);
  return *this;
}

JwFile& JwFile::BlockRec(const TEntJwwBlock& X) {
  Attr(X.att);
  b.f64(X.DPKijunTen_x).f64(X.DPKijunTen_y).f64(X.dBairitsuX).f64(X.dBairitsuY).f64(X.radKaitenKaku);
  b.u32(X.nNumber);
  return *this;
}

JwFile& JwFile::BlockDef(const TEntJwwBlockDef& D, std::uint32_t Members, bool LongTime) {
  Tag("CDataList");
  Attr(D.att);
  b.u32(D.nNumber).u32(D.bRefferd);
  if (LongTime) {
    b.u32(0xFFFFFFFFu).u32(0x12345678).u32(0x9ABCDEF0);
  } else {
    b.u32(D.dtime);
  }
  Str(D.strName).Count(Members);
  return Took();
}

JwFile& JwFile::Images(const std::vector<std::pair<std::u16string, ByteVec>>& Images) {
  b.i32(static_cast<std::int32_t>(Images.size()));
  for (const auto& [name, data] : Images) {
    Str(name);
    b.i32(static_cast<std::int32_t>(data.size())).raw(data);
  }
  return *this;
}

// ---- JWW header ----

namespace {

// Distinct values for every field of a canonical header.
struct Seq {
  std::int32_t i = 1000;
  double d = 0.5;
  std::int32_t I() { return i++; }
  double D() { return d += 1.25; }
};

// Fields absent from a version keep the values a reset gives them.
void ResetAbsentRows(TEntJwwHeader& H, std::int32_t Ver) {
  if (Ver < 300) H.dTenkuuZuLevel = H.dTenkuuZuEnkoR = 0;
  if (Ver < 231) {
    for (int I = 4; I < 8; ++I) {
      H.dZoomJumpBairitsu[I] = 1.0;
      H.DPZoomJumpGenten_x[I] = H.DPZoomJumpGenten_y[I] = 0;
    }
    H.nZoomJumpGLay.fill(-1);
    H.dDm11 = H.dDm12 = H.dDm13 = H.dDm21 = H.dDm22 = H.dMojiBG = 0;
    H.lnDm1 = H.nMojiBG = 0;
  }
  if (Ver < 223) {
    H.lnDrawTime = H.nEyeInit = H.dEye_H_Ichi_1 = H.dEye_H_Ichi_2 = H.dEye_H_Ichi_3 = 0;
    H.dEye_Z_Ichi_1 = H.dEye_Y_Ichi_1 = H.dEye_Z_Ichi_2 = H.dEye_Y_Ichi_2 = H.dEye_V_Ichi_3 = 0;
  }
  if (Ver < 225) H.dSenNagasaSnpou = H.dBoxSunpouX = H.dBoxSunpouY = H.dEnHankeiSnpou = 0;
  if (Ver < 230) H.nSolidNinniColor = H.SolidColor = 0;
}

void SizeTables(JwwHeaderSpec& S) {
  S.lgrp.assign(16, {});
  S.lay.assign(256, {});
  S.col.assign(10, {});
  S.ltp1.assign(8, {});
  S.ltp2.assign(5, {});
  S.ltp3.assign(4, {});
  S.colS.assign(257, {});
  S.ltpS.assign(33, {});
  S.moj.assign(10, {});
}

bool ValidSegments(std::int32_t N) { return N == 2 || N == 4 || N == 6 || N == 8; }

std::u16string NameOr(const std::u16string& Name, std::u16string_view Prefix, int K) {
  std::u16string S = CleanOutText(Name);
  return StripBlanks(S).empty() ? std::u16string(Prefix) + IntToText(K) : S;
}

double TextSizeAsWritten(double V) { return std::min(std::max(std::fabs(V), 1e-10), 1e10); }

}  // namespace

JwwHeaderSpec EmptyHeader() {
  JwwHeaderSpec S;
  TEntJwwHeader& H = S.h;
  H.jwID = u"JwwData.";
  H.dPrtBairitsu = H.dMemoriHyoujiMin = H.dMemoriX = H.dMemoriY = H.dBairitsu = H.dHanniBairitsu = 1.0;
  H.dZoomJumpBairitsu.fill(1.0);
  H.nZoomJumpGLay.fill(-1);
  SizeTables(S);
  return S;
}

JwwHeaderSpec CanonicalHeader(std::int32_t Ver) {
  JwwHeaderSpec S;
  SizeTables(S);
  Seq Q;
  TEntJwwHeader& H = S.h;
  H.jwID = u"JwwData.";
  H.jwVer = Ver;
  H.strMemo = u"図面メモ\r\nline 2\t(tab)";
  H.nZumen = Q.I();
  H.nWriteGLay = Q.I();
  for (int G = 0; G < 16; ++G) {
    TEntJwwLayerGroup& Grp = S.lgrp[G];
    Grp.anGLay = Q.I();
    Grp.anWriteLay = Q.I();
    Grp.adScale = Q.D();
    Grp.anGLayProtect = Q.I();
    Grp.aStrGLayName = G % 3 == 0 ? u"" : u"グループ" + IntToText(G);
    for (int L = 0; L < 16; ++L) {
      TEntJwwLayer& Lay = S.lay[G * 16 + L];
      Lay.aanLay = Q.I();
      Lay.aanLayProtect = Q.I();
      Lay.aStrLayName = L % 5 == 0 ? u"" : u"Layer " + IntToText(G) + u"-" + IntToText(L) + u" 平面";
    }
  }
  std::array<std::uint8_t, 56> R56{};
  for (std::size_t I = 0; I < R56.size(); ++I) R56[I] = static_cast<std::uint8_t>(7 * I + 1);
  H.reserved56 = R56;
  H.reserved4 = std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44};
  H.lnSunpou1 = Q.I();
  H.lnSunpou2 = Q.I();
  H.lnSunpou3 = Q.I();
  H.lnSunpou4 = Q.I();
  H.lnSunpou5 = Q.I();
  H.nMaxDrawWid = 1;
  H.nMaxDrawWidBak = 1;
  for (double* D : {&H.DPPrtGenten_x, &H.DPPrtGenten_y, &H.dPrtBairitsu}) *D = Q.D();
  H.nPrtSet = Q.I();
  H.nMemoriMode = Q.I();
  for (double* D : {&H.dMemoriHyoujiMin, &H.dMemoriX, &H.dMemoriY, &H.DpMemoriKjTen_x, &H.DpMemoriKjTen_y,
                    &H.dKageLevel, &H.dKageIdo})
    *D = Q.D();
  H.nKage9_15JiFlg = Q.I();
  for (double* D : {&H.dKabeKageLevel, &H.dTenkuuZuLevel, &H.dTenkuuZuEnkoR}) *D = Q.D();
  H.nMMTani3D = Q.I();
  for (double* D :
       {&H.dBairitsu, &H.DPGenten_x, &H.DPGenten_y, &H.dHanniBairitsu, &H.DPHanniGenten_x, &H.DPHanniGenten_y})
    *D = Q.D();
  for (int I = 0; I < 8; ++I) {
    H.dZoomJumpBairitsu[I] = Q.D();
    H.DPZoomJumpGenten_x[I] = Q.D();
    H.DPZoomJumpGenten_y[I] = Q.D();
    H.nZoomJumpGLay[I] = Q.I();
  }
  H.dDm11 = Q.D();
  H.dDm12 = Q.D();
  H.dDm13 = Q.D();
  H.lnDm1 = Q.I();
  H.dDm21 = Q.D();
  H.dDm22 = Q.D();
  H.dMojiBG = Q.D();
  H.nMojiBG = Q.I();
  for (double& D : H.adFukusenSuuchi) D = Q.D();
  H.dRyougawaFukusenTomeDe = Q.D();
  for (int K = 0; K < 10; ++K) {
    TEntJwwColorNo& C = S.col[K];
    C.aPenColor = 0x010203 * (K + 1);
    C.anPenWidth = 1 + K;
    C.aPrtPenColor = K == 0 ? 0xFFFFFF : 0x030201 * (K + 1);
    C.anPrtPenWidth = 10 + 40 * K;
    C.adPrtTenHankei = 0.25 + 0.5 * K;
  }
  for (auto& T : S.ltp1) T = {Q.I(), Q.I(), Q.I(), Q.I()};
  for (auto& T : S.ltp2) T = {Q.I(), Q.I(), Q.I(), Q.I(), Q.I()};
  for (auto& T : S.ltp3) T = {Q.I(), Q.I(), Q.I(), Q.I()};
  for (std::int32_t* V : {&H.nDrawGamenTen, &H.nDrawPrtTen, &H.nBitMapFirstDraw, &H.nGyakuDraw, &H.nGyakuSearch,
                          &H.nColorPrint, &H.nLayJunPrint, &H.nColJunPrint, &H.nPrtRenzoku, &H.nPrtKyoutsuuGray})
    *V = Q.I();
  H.nPrtDispOnlyNonDraw = 3;
  H.nPrtDpi = Ver >= 600 ? 6 : 0;
  for (std::int32_t* V : {&H.lnDrawTime, &H.nEyeInit, &H.dEye_H_Ichi_1, &H.dEye_H_Ichi_2, &H.dEye_H_Ichi_3}) *V = Q.I();
  for (double* D : {&H.dEye_Z_Ichi_1, &H.dEye_Y_Ichi_1, &H.dEye_Z_Ichi_2, &H.dEye_Y_Ichi_2, &H.dEye_V_Ichi_3,
                    &H.dSenNagasaSnpou, &H.dBoxSunpouX, &H.dBoxSunpouY, &H.dEnHankeiSnpou})
    *D = Q.D();
  H.nSolidNinniColor = Q.I();
  H.SolidColor = Q.I();
  if (Ver >= 420) {
    for (int K = 0; K < 257; ++K) {
      TEntJwwColorExNo& C = S.colS[K];
      C.aPenColor = Q.I();
      C.anPenWidth = Q.I();
      C.astrUDColorName = K % 2 ? u"色" + IntToText(K) : u"UD colour " + IntToText(K);
      C.aPrtPenColor = K <= 16 ? Q.I() : C.aPenColor;
      C.anPrtPenWidth = Q.I();
      C.adPrtTenHankei = Q.D();
    }
    for (int K = 0; K < 33; ++K) {
      TEntJwwLineTypeExNo& T = S.ltpS[K];
      T = {Q.I(), Q.I(), Q.I(), Q.I(), u"線種" + IntToText(K), 2 + 2 * (K % 4), {}};
      for (double& P : T.aadUDLTypePitch) P = Q.D();
    }
  }
  for (TEntJwwMojiType& M : S.moj) M = {Q.D(), Q.D(), Q.D() - 100, Q.I()};
  H.dMojiSizeX = Q.D();
  H.dMojiSizeY = Q.D();
  H.dMojiKankaku = -Q.D();
  H.nMojiColor = Q.I();
  H.nMojiShu = Q.I();
  H.dMojiSeiriGyouKan = Q.D();
  H.dMojiSeiriSuu = Q.D();
  H.nMojiKijunZureOn = Q.I();
  for (double* D : {&H.adMojiKijunZureX0, &H.adMojiKijunZureX1, &H.adMojiKijunZureX2, &H.adMojiKijunZureY0,
                    &H.adMojiKijunZureY1, &H.adMojiKijunZureY2})
    *D = Q.D();
  ResetAbsentRows(H, Ver);
  return S;
}

JwwHeaderSpec HeaderOf(const TJwwData& Doc) {
  return {Doc.Enthd,   Doc.EntLgrp, Doc.EntLay,  Doc.EntCol,  Doc.EntLtp1,
          Doc.EntLtp2, Doc.EntLtp3, Doc.EntColS, Doc.EntLtpS, Doc.EntMoj};
}

JwwHeaderSpec AsWritten(JwwHeaderSpec S, std::int32_t Ver) {
  TEntJwwHeader& H = S.h;
  if (Ver <= 420 && H.nMaxDrawWid < -101) H.nMaxDrawWid = -101;
  for (int K = 0; K < 10; ++K) {
    TEntJwwColorNo& C = S.col[K];
    auto Colour = [](std::int32_t V) { return V < 0 || V > 0xFFFFFF ? 0 : V; };
    C.aPenColor = Colour(C.aPenColor);
    C.aPrtPenColor = K == 0 ? 0xFFFFFF : Colour(C.aPrtPenColor);
    C.anPenWidth = std::clamp(C.anPenWidth, 1, 16);
    C.anPrtPenWidth = std::clamp(C.anPrtPenWidth, 1, 500);
    if (C.adPrtTenHankei < 0.1) C.adPrtTenHankei = 0.1;
    if (C.adPrtTenHankei > 10) C.adPrtTenHankei = 10;
  }
  // The fixture writes 10 * nPrtDpi + nPrtDispOnlyNonDraw.
  H.nPrtDpi = Ver >= 600 ? (H.nPrtDpi > 0 ? H.nPrtDpi : 1) : 0;
  for (TEntJwwLayer& L : S.lay) L.aStrLayName = CleanOutText(L.aStrLayName);
  for (TEntJwwLayerGroup& G : S.lgrp) G.aStrGLayName = CleanOutText(G.aStrGLayName);
  if (Ver >= 420) {
    for (int K = 0; K < 257; ++K) {
      TEntJwwColorExNo& C = S.colS[K];
      C.astrUDColorName = NameOr(C.astrUDColorName, u"Color_", K);
      if (K >= 17) C.aPrtPenColor = C.aPenColor;
    }
    for (int K = 0; K < 33; ++K) {
      TEntJwwLineTypeExNo& T = S.ltpS[K];
      if (K >= 17 && !ValidSegments(T.anUDLTypeSegment)) {
        T.alLType = static_cast<std::int32_t>(0xC3C3C3C3u);
        T.anTokushuSenUintDot = 8;
        T.anTokushuSenPich = 1;
        T.anPrtTokushuSenPich = 8;
        T.astrUDLTypeName = u"LType_" + IntToText(K);
        T.anUDLTypeSegment = 2;
        T.aadUDLTypePitch = {1.0, 1.0};
      } else {
        if (T.alLType == 0) T.alLType = -1;
        T.astrUDLTypeName = NameOr(T.astrUDLTypeName, u"LType_", K);
      }
    }
  }
  for (TEntJwwMojiType& M : S.moj) {
    M.adMojiX = TextSizeAsWritten(M.adMojiX);
    M.adMojiY = TextSizeAsWritten(M.adMojiY);
  }
  H.dMojiSizeX = TextSizeAsWritten(H.dMojiSizeX);
  H.dMojiSizeY = TextSizeAsWritten(H.dMojiSizeY);
  return S;
}

HeaderMarks WriteJwwHeader(JwFile& F, const JwwHeaderSpec& S) {
  HeaderMarks M;
  testsupport::ByteBuilder& B = F.b;
  const TEntJwwHeader& H = S.h;
  const std::int32_t V = F.ver;
  B.raw("JwwData.").i32(V);           // rows 1, 2
  F.Str(H.strMemo);                   // 3
  B.i32(H.nZumen).i32(H.nWriteGLay);  // 4
  for (int G = 0; G < 16; ++G) {      // 5
    const TEntJwwLayerGroup& Grp = S.lgrp[G];
    B.i32(Grp.anGLay).i32(Grp.anWriteLay).f64(Grp.adScale).i32(Grp.anGLayProtect);
    for (int L = 0; L < 16; ++L) B.i32(S.lay[G * 16 + L].aanLay).i32(S.lay[G * 16 + L].aanLayProtect);
  }
  M.reserved56 = B.size();  // 6
  if (H.reserved56) B.bytes.insert(B.bytes.end(), H.reserved56->begin(), H.reserved56->end());
  else B.fill(0x20, 56);
  B.i32(H.lnSunpou1).i32(H.lnSunpou2).i32(H.lnSunpou3).i32(H.lnSunpou4).i32(H.lnSunpou5);  // 7
  M.reserved4 = B.size();                                                                  // 8
  if (H.reserved4) B.bytes.insert(B.bytes.end(), H.reserved4->begin(), H.reserved4->end());
  else B.fill(0, 4);
  M.maxDrawWid = B.size();
  B.i32(H.nMaxDrawWid);                                                                                     // 9
  B.f64(H.DPPrtGenten_x).f64(H.DPPrtGenten_y).f64(H.dPrtBairitsu);                                          // 10
  B.i32(H.nPrtSet).i32(H.nMemoriMode);                                                                      // 11
  B.f64(H.dMemoriHyoujiMin).f64(H.dMemoriX).f64(H.dMemoriY).f64(H.DpMemoriKjTen_x).f64(H.DpMemoriKjTen_y);  // 12
  for (const TEntJwwLayer& L : S.lay) F.Str(L.aStrLayName);                                                 // 13
  for (const TEntJwwLayerGroup& G : S.lgrp) F.Str(G.aStrGLayName);                                          // 14
  B.f64(H.dKageLevel).f64(H.dKageIdo);                                                                      // 15
  B.i32(H.nKage9_15JiFlg);                                                                                  // 16
  B.f64(H.dKabeKageLevel);                                                                                  // 17
  if (V >= 300) B.f64(H.dTenkuuZuLevel).f64(H.dTenkuuZuEnkoR);                                              // 18
  B.i32(H.nMMTani3D);                                                                                       // 19
  B.f64(H.dBairitsu).f64(H.DPGenten_x).f64(H.DPGenten_y);                                                   // 20
  B.f64(H.dHanniBairitsu).f64(H.DPHanniGenten_x).f64(H.DPHanniGenten_y);
  if (V >= 231) {
    for (int I = 0; I < 8; ++I)  // 21a
      B.f64(H.dZoomJumpBairitsu[I]).f64(H.DPZoomJumpGenten_x[I]).f64(H.DPZoomJumpGenten_y[I]).i32(H.nZoomJumpGLay[I]);
    B.f64(H.dDm11).f64(H.dDm12).f64(H.dDm13).i32(H.lnDm1);  // 21b
    B.f64(H.dDm21).f64(H.dDm22).f64(H.dMojiBG).i32(H.nMojiBG);
  } else {
    for (int I = 0; I < 4; ++I)  // 21c
      B.f64(H.dZoomJumpBairitsu[I]).f64(H.DPZoomJumpGenten_x[I]).f64(H.DPZoomJumpGenten_y[I]);
  }
  for (double D : H.adFukusenSuuchi) B.f64(D);  // 22
  B.f64(H.dRyougawaFukusenTomeDe);              // 23
  M.penTables = B.size();
  for (const TEntJwwColorNo& C : S.col) B.i32(C.aPenColor).i32(C.anPenWidth);                              // 24
  for (const TEntJwwColorNo& C : S.col) B.i32(C.aPrtPenColor).i32(C.anPrtPenWidth).f64(C.adPrtTenHankei);  // 25
  for (const auto& T : S.ltp1)
    B.i32(T.alLType).i32(T.anTokushuSenUintDot).i32(T.anTokushuSenPich).i32(T.anPrtTokushuSenPich);
  for (const auto& T : S.ltp2)  // 27
    B.i32(T.alLType).i32(T.anRandSenWide).i32(T.anTokushuSenPich).i32(T.anPrtRandSenWide).i32(T.anPrtTokushuSenPich);
  for (const auto& T : S.ltp3)
    B.i32(T.alLType).i32(T.anTokushuSenUintDot).i32(T.anTokushuSenPich).i32(T.anPrtTokushuSenPich);
  for (std::int32_t X : {H.nDrawGamenTen, H.nDrawPrtTen, H.nBitMapFirstDraw, H.nGyakuDraw, H.nGyakuSearch,
                         H.nColorPrint, H.nLayJunPrint, H.nColJunPrint, H.nPrtRenzoku, H.nPrtKyoutsuuGray})
    B.i32(X);  // 29
  M.printPacking = B.size();
  B.i32(10 * H.nPrtDpi + H.nPrtDispOnlyNonDraw);  // 30
  if (V >= 223) {                                 // 31
    B.i32(H.lnDrawTime).i32(H.nEyeInit).i32(H.dEye_H_Ichi_1).i32(H.dEye_H_Ichi_2).i32(H.dEye_H_Ichi_3);
    B.f64(H.dEye_Z_Ichi_1).f64(H.dEye_Y_Ichi_1).f64(H.dEye_Z_Ichi_2).f64(H.dEye_Y_Ichi_2).f64(H.dEye_V_Ichi_3);
  }
  if (V >= 225) B.f64(H.dSenNagasaSnpou).f64(H.dBoxSunpouX).f64(H.dBoxSunpouY).f64(H.dEnHankeiSnpou);  // 32
  if (V >= 230) B.i32(H.nSolidNinniColor).i32(H.SolidColor);                                           // 33
  M.sxfColors = B.size();
  if (V >= 420) {
    for (const auto& C : S.colS) B.i32(C.aPenColor).i32(C.anPenWidth);  // 34
    for (const auto& C : S.colS) {                                      // 35
      F.Str(C.astrUDColorName);
      B.i32(C.aPrtPenColor).i32(C.anPrtPenWidth).f64(C.adPrtTenHankei);
    }
    for (const auto& T : S.ltpS)  // 36
      B.i32(T.alLType).i32(T.anTokushuSenUintDot).i32(T.anTokushuSenPich).i32(T.anPrtTokushuSenPich);
    for (const auto& T : S.ltpS) {  // 37
      F.Str(T.astrUDLTypeName);
      B.i32(T.anUDLTypeSegment);
      for (double P : T.aadUDLTypePitch) B.f64(P);
    }
  }
  M.textTypes = B.size();
  for (const auto& T : S.moj) B.f64(T.adMojiX).f64(T.adMojiY).f64(T.adMojiD).i32(T.anMojiCol);  // 38
  B.f64(H.dMojiSizeX).f64(H.dMojiSizeY).f64(H.dMojiKankaku);                                    // 39
  B.i32(H.nMojiColor).i32(H.nMojiShu);                                                          // 40
  B.f64(H.dMojiSeiriGyouKan).f64(H.dMojiSeiriSuu);                                              // 41
  B.i32(H.nMojiKijunZureOn);                                                                    // 42
  B.f64(H.adMojiKijunZureX0).f64(H.adMojiKijunZureX1).f64(H.adMojiKijunZureX2);                 // 43
  B.f64(H.adMojiKijunZureY0).f64(H.adMojiKijunZureY1).f64(H.adMojiKijunZureY2);
  M.end = B.size();
  return M;
}

// ---- JWS header ----

JwsHeaderSpec CanonicalJwsHeader() {
  JwsHeaderSpec S;
  TEntJwsHeader& H = S.h;
  H.jwID = u"JwsData";
  H.BasePoint_x = 12.5;
  H.BasePoint_y = -7.25;
  for (int G = 0; G < 16; ++G) S.scales[G] = 1.0 + 10 * G;
  std::int32_t I = -3;
  for (std::int32_t* V : {&H.dmy01, &H.dmy02, &H.dmy03, &H.dmy04, &H.dmy05, &H.dmy06}) *V = I++ * 1001;
  double D = 0.375;
  for (double* V : {&H.dmy11, &H.dmy12, &H.dmy13, &H.dmy14, &H.dmy15, &H.dmy16, &H.Mx1, &H.My1, &H.Mx2, &H.My2})
    *V = D *= -2.5;
  return S;
}

void WriteJwsHeader(JwFile& F, const JwsHeaderSpec& S) {
  const TEntJwsHeader& H = S.h;
  F.b.raw("JwsData").fill(S.filler, 193).i32(F.ver);
  F.b.f64(H.BasePoint_x).f64(H.BasePoint_y);
  for (double Sc : S.scales) F.b.f64(Sc);
  for (std::int32_t V : {H.dmy01, H.dmy02, H.dmy03, H.dmy04, H.dmy05, H.dmy06}) F.b.i32(V);
  for (double V : {H.dmy11, H.dmy12, H.dmy13, H.dmy14, H.dmy15, H.dmy16, H.Mx1, H.My1, H.Mx2, H.My2}) F.b.f64(V);
}

// ---- Bodies ----

namespace {

std::uint32_t ValidCount(const ConstEntityLists& L) {
  std::uint32_t N = 0;
  for (const TEntJwwNo& E : L.no) N += L.Valid(E) ? 1 : 0;
  return N;
}

void WriteEntries(JwFile& F, const ConstEntityLists& L) {
  for (const TEntJwwNo& E : L.no) {
    if (!L.Valid(E)) continue;
    const auto I = static_cast<std::size_t>(E.EntNo);
    switch (E.EntType) {
      case kLine: F.Line(L.line[I]); break;
      case kEnko: F.Enko(L.enko[I]); break;
      case kTen: F.Ten(L.ten[I]); break;
      case kMoji: F.Moji(L.moji[I]); break;
      case kSunpo: F.Sunpo(L.sunpo[I]); break;
      case kSolid: F.Solid(L.solid[I]); break;
      default: F.Block(L.block[I]); break;
    }
  }
}

}  // namespace

void WriteObjects(JwFile& F, const ConstEntityLists& L) {
  F.Count(ValidCount(L));
  WriteEntries(F, L);
}

void WriteBlockDefs(JwFile& F, const std::vector<TEntJwwBlockDef>& Defs) {
  F.Count(static_cast<std::uint32_t>(Defs.size()));
  for (const TEntJwwBlockDef& D : Defs) {
    F.BlockDef(D, ValidCount(Members(D)));
    WriteEntries(F, Members(D));
  }
}

ByteVec BodyOf(std::int32_t Ver, Form Form, const TJwBody& Doc) {
  JwFile F(Ver, Form);
  WriteObjects(F, Doc.Entities());
  WriteBlockDefs(F, Doc.EntBlockDef);
  return F.bytes();
}

// ---- Samples ----

TEntJwwAttr Pen(int Style, int Color, int Width, int Layer, int Glayer) {
  TEntJwwAttr A;
  A.nPenStyle = static_cast<std::uint8_t>(Style);
  A.nPenColor = static_cast<std::uint16_t>(Color);
  A.nPenWidth = static_cast<std::uint16_t>(Width);
  A.nLayer = static_cast<std::uint16_t>(Layer);
  A.nGLayer = static_cast<std::uint16_t>(Glayer);
  return A;
}

SampleEntities Samples(std::int32_t Ver) {
  const int W = Ver >= 351 ? 1 : 0;  // widths exist only from 351 on
  auto Att = [&](int Style, int Color, int Width, std::uint32_t Group, int Layer) {
    TEntJwwAttr A = Pen(Style, Color, W * Width, Layer, 15 - Layer);
    A.lGroup = Group;
    A.sFlg = static_cast<std::uint16_t>(0x100 + Layer);
    return A;
  };
  const bool Sxf = Ver >= 420;
  SampleEntities S;
  S.line = {Att(Sxf ? 35 : 2, Sxf ? 105 : 3, 25, 0x01020304, 1), 1.5, -2.25, 1e6, -1e-6};
  S.enko = {Att(Sxf ? 62 : 17, Sxf ? 356 : 9, 30000, 7, 2), 3.5, 4.5, 10.25, 0.5, 6.0, -0.75, 0.5, 1};
  S.ten = {Att(1, 4, 0, 9, 3), -5.5, 6.5, 1};
  S.ten100 = {Att(100, 5, 13, 10, 4), 7.5, -8.5, 0, 0x7FFF0001, 1.25, 2.5};
  S.moji = {Att(5, 6, 35, 11, 5), 1, 2, 3, 4, 0x10203, 2.5, 3.5, 0.25, 45.0, u"ＭＳ ゴシック", u"文字列 text ①"};
  TEntJwwSunpo& D = S.sunpo;
  D.att = Att(3, Sxf ? 101 : 7, 18, 12, 6);
  D.Sen = {Att(1, 2, 5, 13, 7), 0, 0, 100, 0};
  D.Moji = {Att(2, 3, 0, 14, 8), 40, 1, 60, 1, 1, 2.5, 2.5, 0, 0, u"ＭＳ 明朝", u"100"};
  if (Sxf) {
    D.bSxfMode = 2;
    D.Ho1 = {Att(1, 1, 0, 15, 9), 0, 0, 0, 5};
    D.Ho2 = {Att(31, 120, 0, 16, 10), 100, 0, 100, 5};
    D.Te1 = {Att(1, 2, 0, 17, 11), 0, 0, 0};
    D.Te2 = {Att(100, 3, 0, 18, 12), 100, 0, 1, 77, 0.5, 2};
    D.Kt1 = {Att(1, 4, 0, 19, 13), 0, 5, 1};
    D.Kt2 = {Att(100, 5, 0, 20, 14), 100, 5, 1, 78, 0.25, 3};
  } else {
    // What a reader makes of a dimension without SXF part.
    D.Ho1.att = D.Ho2.att = D.att;
    for (TEntJwwTen* T : {&D.Te1, &D.Te2, &D.Kt1, &D.Kt2}) {
      T->att = D.att;
      T->att.nPenStyle = 0;
    }
  }
  S.solid = {Att(1, 8, 0, 21, 15), 1, 2, 3, 4, 5, 6, 7, 8, 0};
  S.solid10 = {Att(1, 10, 0, 22, 0), -1, -2, -3, -4, -5, -6, -7, -8, 0x00ABCDEF};
  S.block = {Att(9, 9, 0, 23, 1), 10, 20, 2, 3, 0.5, 0};
  return S;
}

namespace {

std::u16string LongText(Form Form) {
  std::u16string S = u"長い文字列 ";
  while (S.size() < 300) S += u"0123456789 abcdefghij ";
  return Form == Form::Utf16 ? S + u"\U0001F600 end" : S;
}

template <class T>
void AddMember(TEntJwwBlockDef& D, RecordArray<T>& A, int Kind, const T& X) {
  A.push_back(X);
  D.mNo.push_back({Kind, static_cast<std::int32_t>(A.size() - 1)});
  D.N = static_cast<std::int32_t>(D.mNo.size());
}

}  // namespace

std::vector<TEntJwwBlockDef> CanonicalDefinitions(std::int32_t Ver) {
  const SampleEntities S = Samples(Ver);
  std::vector<TEntJwwBlockDef> Defs(2);
  for (int I = 0; I < 2; ++I) {
    TEntJwwBlockDef& D = Defs[I];
    D.att = Pen(I + 1, 7 - I, Ver >= 351 ? 300 + I : 0, 2 + I, 3 + I);
    D.att.lGroup = 40 + I;
    D.nNumber = I;
    D.bRefferd = 1 - I;
    D.dtime = 0x5F3759DF + I;
    D.strName = I == 0 ? u"ブロック 0" : u"block one";
  }
  TEntJwwBlock InsertOfOne = S.block;
  InsertOfOne.nNumber = 1;
  InsertOfOne.DPKijunTen_x = -3;
  AddMember(Defs[0], Defs[0].mLine, kLine, S.line);
  AddMember(Defs[0], Defs[0].mMoji, kMoji, S.moji);
  AddMember(Defs[0], Defs[0].mBlock, kBlock, InsertOfOne);
  AddMember(Defs[1], Defs[1].mEnko, kEnko, S.enko);
  AddMember(Defs[1], Defs[1].mSunpo, kSunpo, S.sunpo);
  AddMember(Defs[1], Defs[1].mSolid, kSolid, S.solid10);
  return Defs;
}

void WriteCanonicalBody(JwFile& F) {
  const SampleEntities S = Samples(F.ver);
  TEntJwwLine Second = S.line;
  Second.att.nLayer = 15;
  Second.start_x = -0.0;
  TEntJwwMoji Long = S.moji;
  Long.str = LongText(F.form);
  F.Count(11);
  F.Line(S.line).Enko(S.enko).Ten(S.ten).Ten(S.ten100).Moji(S.moji).Sunpo(S.sunpo).Solid(S.solid).Solid(S.solid10);
  F.Block(S.block).Line(Second).Moji(Long);
  WriteBlockDefs(F, CanonicalDefinitions(F.ver));
}

Drawing CanonicalDrawing(std::int32_t Ver, Form Form) {
  JwFile F(Ver, Form);
  Drawing D;
  D.headerEnd = WriteJwwHeader(F, CanonicalHeader(Ver)).end;
  WriteCanonicalBody(F);
  D.bodyEnd = F.b.size();
  if (Ver >= 700) F.b.i32(0);
  D.bytes = F.bytes();
  return D;
}

// ---- The writer's rules, as tables ----

namespace {

// The record kinds a rule row holds.
constexpr unsigned Of(std::initializer_list<int> Kinds) {
  unsigned Mask = 0;
  for (int K : Kinds) Mask |= 1u << K;
  return Mask;
}
constexpr unsigned kLineKinds = Of({kLine, kEnko});

enum class Written {
  Stored,    // as stored
  Standard,  // the standard number the SXF number stands for
  Fallback,  // SxfFallbackLtype or SxfFallbackColor
  One,
};

// For the kinds of the row, at the versions of the row (all, or those
// below 4.20 only), a stored number in lo..hi is written as the row says.
// The first row that holds a record's kind, the version and the number
// decides.
struct PenRule {
  unsigned kinds;
  bool below420Only;
  int lo, hi;
  Written written;
};

constexpr PenRule kLtypeRules[] = {
    {kLineKinds, true, 31, 45, Written::Standard},
    {kLineKinds, true, 46, 62, Written::Fallback},
    {kLineKinds, false, 1, 9, Written::Stored},
    {kLineKinds, false, 11, 19, Written::Stored},
    {kLineKinds, false, 31, 62, Written::Stored},
    {kLineKinds, false, 0, 255, Written::Fallback},
    {Of({kTen}), false, 1, 1, Written::Stored},
    {Of({kTen}), false, 100, 100, Written::Stored},
    {Of({kTen}), false, 0, 255, Written::One},
    {Of({kMoji}), false, 1, 9, Written::Stored},
    {Of({kMoji}), false, 0, 255, Written::One},
    {Of({kSunpo, kSolid, kBlock, kBlockDef}), false, 0, 255, Written::Stored},
};
constexpr int kLtypeStandard[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};  // SXF 31..45

constexpr unsigned kColorKinds = Of({kLine, kEnko, kTen, kMoji, kSunpo});
constexpr PenRule kColorRules[] = {
    {kColorKinds | Of({kSolid}), true, 101, 116, Written::Standard},
    {kColorKinds | Of({kSolid}), true, 117, 356, Written::Fallback},
    {kColorKinds, false, 1, 9, Written::Stored},
    {kColorKinds, false, 101, 356, Written::Stored},
    {kColorKinds, false, 0, 0xFFFF, Written::Fallback},
    {Of({kSolid}), false, 1, 10, Written::Stored},
    {Of({kSolid}), false, 101, 356, Written::Stored},
    {Of({kSolid}), false, 0, 0xFFFF, Written::Fallback},
    {Of({kBlock, kBlockDef}), false, 0, 0xFFFF, Written::Stored},
};
constexpr int kColorStandard[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};  // SXF 101..116

// Every kind: a value above the limit is written as 0.
struct FieldLimit {
  std::uint16_t TEntJwwAttr::*field;
  std::uint16_t max;
};
constexpr FieldLimit kLimits[] = {
    {&TEntJwwAttr::nLayer, 15}, {&TEntJwwAttr::nGLayer, 15}, {&TEntJwwAttr::nPenWidth, 30000}};

template <std::size_t N, std::size_t M>
int WrittenPen(const PenRule (&Rules)[N], const int (&Standard)[M], int Fallback, int Kind, std::int32_t Ver,
               int Stored) {
  for (const PenRule& R : Rules) {
    if (!(R.kinds & (1u << Kind)) || (R.below420Only && Ver >= 420) || Stored < R.lo || Stored > R.hi) continue;
    switch (R.written) {
      case Written::Stored: return Stored;
      case Written::Standard: return Standard[Stored - R.lo];
      case Written::Fallback: return Fallback;
      case Written::One: return 1;
    }
  }
  ADD_FAILURE() << "no rule for kind " << Kind << " and number " << Stored;
  return Stored;
}

void TextAsWritten(TEntJwwMoji& T, std::int32_t Ver) {
  T.att = WrittenAttr(T.att, kMoji, Ver);
  T.dSizeX = TextSizeAsWritten(T.dSizeX);
  T.dSizeY = TextSizeAsWritten(T.dSizeY);
  T.strFontName = CleanOutText(T.strFontName);
  T.str = CleanOutText(T.str);
}

void ListAsWritten(const EntityLists& L, std::int32_t Ver, const TJwBody& Doc) {
  for (TEntJwwLine& X : L.line) X.att = WrittenAttr(X.att, kLine, Ver);
  for (TEntJwwEnko& X : L.enko) X.att = WrittenAttr(X.att, kEnko, Ver);
  for (TEntJwwTen& X : L.ten) X.att = WrittenAttr(X.att, kTen, Ver);
  for (TEntJwwMoji& X : L.moji) TextAsWritten(X, Ver);
  for (TEntJwwSunpo& X : L.sunpo) {
    X.att = WrittenAttr(X.att, kSunpo, Ver);
    X.Sen.att = WrittenAttr(X.Sen.att, kLine, Ver);
    TextAsWritten(X.Moji, Ver);
    X.Ho1.att = WrittenAttr(X.Ho1.att, kLine, Ver);
    X.Ho2.att = WrittenAttr(X.Ho2.att, kLine, Ver);
    for (TEntJwwTen* T : {&X.Te1, &X.Te2, &X.Kt1, &X.Kt2}) {
      // The extras follow the stored style, the style byte the rules.
      const bool Extras = T->att.nPenStyle == 100;
      T->att = WrittenAttr(T->att, kTen, Ver);
      if (!Extras) {
        T->nCode = 0;
        T->radKaitenKaku = T->dBairitsu = 0;
      }
    }
  }
  for (TEntJwwSolid& X : L.solid) X.att = WrittenAttr(X.att, kSolid, Ver);
  for (TEntJwwBlock& X : L.block) {
    X.att = WrittenAttr(X.att, kBlock, Ver);
    X.nNumber = Doc.ChangeBlockNo(X.nNumber);
  }
}

}  // namespace

TEntJwwAttr WrittenAttr(TEntJwwAttr A, int Kind, std::int32_t Ver) {
  A.nPenStyle =
      static_cast<std::uint8_t>(WrittenPen(kLtypeRules, kLtypeStandard, SxfFallbackLtype, Kind, Ver, A.nPenStyle));
  A.nPenColor =
      static_cast<std::uint16_t>(WrittenPen(kColorRules, kColorStandard, SxfFallbackColor, Kind, Ver, A.nPenColor));
  for (const FieldLimit& L : kLimits)
    if (A.*L.field > L.max) A.*L.field = 0;
  if (Ver < 351) A.nPenWidth = 0;  // not in the file
  return A;
}

void ApplyWriterRules(TJwBody& Doc, std::int32_t Ver) {
  // Numbers first, while every definition is still there.
  for (TEntJwwBlockDef& D : Doc.EntBlockDef) ListAsWritten(Members(D), Ver, Doc);
  ListAsWritten(Doc.Entities(), Ver, Doc);
  std::vector<TEntJwwBlockDef> Used;
  for (TEntJwwBlockDef& D : Doc.EntBlockDef) {
    if (!D.ref_flag) continue;
    D.att = WrittenAttr(D.att, kBlockDef, Ver);
    D.nNumber = static_cast<std::uint32_t>(D.ref_no);
    D.strName = CleanOutText(D.strName);
    Used.push_back(std::move(D));
  }
  Doc.EntBlockDef = std::move(Used);
}

// ---- Documents in memory ----

template <class TDoc>
bool Load(TDoc& Doc, const ByteVec& Bytes) {
  ByteReader R{std::span<const std::uint8_t>(Bytes)};
  return Doc.LoadFrom(R);
}

template <class TDoc>
std::optional<ByteVec> Save(TDoc& Doc, std::int32_t Ver) {
  MemorySink Sink;
  ByteWriter W(Sink);
  if (!Doc.SaveTo(W, Ver)) return std::nullopt;
  return Sink.bytes;
}

template bool Load(TJwwData&, const ByteVec&);
template bool Load(TJwsData&, const ByteVec&);
template std::optional<ByteVec> Save(TJwwData&, std::int32_t);
template std::optional<ByteVec> Save(TJwsData&, std::int32_t);

}  // namespace jwfix
