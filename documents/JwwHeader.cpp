// The header section of a JWW file, reader and writer side by side, in file
// order. A row present only from some version on is gated by the file's
// version when reading and by the output version when writing.
#include <algorithm>
#include <cstring>

#include "documents/JwFormat.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

// Reads scalars in file order; short reads leave fields as they were.
class ScalarsIn {
 public:
  explicit ScalarsIn(ByteReader& R) : R_(R) {}
  template <class... T>
  void operator()(T&... V) {
    (R_.Get(V), ...);
  }
  template <class T, std::size_t N>
  void Each(std::array<T, N>& A) {
    for (T& V : A) R_.Get(V);
  }

 private:
  ByteReader& R_;
};

class ScalarsOut {
 public:
  explicit ScalarsOut(ArchiveOut& Out) : Out_(Out) {}
  template <class... T>
  void operator()(const T&... V) {
    (Out_.Put(V), ...);
  }
  template <class T, std::size_t N>
  void Each(const std::array<T, N>& A) {
    for (const T& V : A) Out_.Put(V);
  }

 private:
  ArchiveOut& Out_;
};

// nMaxDrawWid below -100 selects the 1/100 mm width mode; the back-up value
// is decoded from the ranges Jw_cad uses.
void DeriveLineWidthMode(TEntJwwHeader& H) {
  const std::int32_t W = H.nMaxDrawWid;
  H.bSenHaba100 = W < -100;
  if (W >= -100) H.nMaxDrawWidBak = W;
  else if (W >= -500 && W <= -401) H.nMaxDrawWidBak = W + 400;
  else if (W >= -300 && W <= -201) H.nMaxDrawWidBak = -W - 200;
  else H.nMaxDrawWidBak = -100;
}

std::int32_t ClampColor(std::int32_t C) { return C < 0 || C > 0xFFFFFF ? 0 : C; }
template <class T>
T Clamp(T V, T Lo, T Hi) {
  return V < Lo ? Lo : V > Hi ? Hi : V;
}

// A name that is blank after cleaning is replaced by prefix and number.
std::u16string NameOr(const ArchiveOut& Out, std::u16string_view Name, std::u16string_view Prefix, int K) {
  std::u16string S = Out.CleanText(Name);
  if (StripBlanks(S).empty()) S = std::u16string(Prefix) + IntToText(K);
  return S;
}

// From version 6.00 the print resolution shares the field with the flag
// digit, 0 standing for the default. A negative digit (only a corrupt field
// gives one) would read back as a different digit after the resolution is
// added, so it is written as 0: a save followed by a reload and another save
// then writes the same value.
std::int32_t PrintPacking(const TEntJwwHeader& H, std::int32_t Ver) {
  if (Ver < kVerPrintDpi) return H.nPrtDispOnlyNonDraw;
  const std::int64_t Dpi = H.nPrtDpi > 0 ? std::int64_t{H.nPrtDpi} : 1;
  return static_cast<std::int32_t>(10 * Dpi + std::max(H.nPrtDispOnlyNonDraw, 0));
}

// User-defined SXF line types need 2, 4, 6 or 8 segments; others are written
// as a default dash pattern.
bool ValidSegments(std::int32_t S) { return S == 2 || S == 4 || S == 6 || S == 8; }

}  // namespace

void TJwwData::SizeHeaderTables() {
  EntLgrp.assign(kLayerGroups, {});
  EntLay.assign(kLayers, {});
  EntCol.assign(kPenColors, {});
  EntLtp1.assign(kLineTypes, {});
  EntLtp2.assign(kRandomLines, {});
  EntLtp3.assign(kDoubleLineTypes, {});
  EntColS.assign(kSxfColors, {});
  EntLtpS.assign(kSxfLineTypes, {});
  EntMoj.assign(kTextTypes, {});
}

bool TJwwData::HeaderTablesSized() const {
  return EntLgrp.size() == kLayerGroups && EntLay.size() == kLayers && EntCol.size() == kPenColors &&
         EntLtp1.size() == kLineTypes && EntLtp2.size() == kRandomLines && EntLtp3.size() == kDoubleLineTypes &&
         EntColS.size() == kSxfColors && EntLtpS.size() == kSxfLineTypes && EntMoj.size() == kTextTypes;
}

TJwError TJwwData::ReadStart(ByteReader& R, std::u16string& Id, std::int32_t& Ver) {
  std::uint8_t Sig[kJwwSignature.Size()] = {};
  const bool Whole = R.Read(Sig, sizeof Sig) == sizeof Sig;
  Id = AnsiBytesToText(Sig);
  if (!Whole || Id != kJwwSignature.Text()) return {TJwFault::NotOfFormat, 0, 0, "JWW"};
  if (R.Get(Ver) != sizeof Ver) return {TJwFault::HeaderEndsEarly, R.Position()};
  if (!kJwwVersions.Holds(Ver)) return {TJwFault::VersionNotSupported, 0, Ver};
  return {};
}

bool TJwwData::ReadHeader(ArchiveIn& In) {
  ByteReader& R = In.reader();
  try {
    ScalarsIn Get(R);
    TEntJwwHeader& H = Enthd;
    SizeHeaderTables();

    if (TJwError E = ReadStart(R, H.jwID, H.jwVer)) throw ArchiveError{std::move(E)};
    const std::int32_t V = H.jwVer;

    H.strMemo = In.ReadStr();
    Get(H.nZumen, H.nWriteGLay);
    for (std::size_t G = 0; G < kLayerGroups; ++G) {
      TEntJwwLayerGroup& Grp = EntLgrp[G];
      Get(Grp.anGLay, Grp.anWriteLay, Grp.adScale, Grp.anGLayProtect);
      for (std::size_t L = 0; L < kLayersPerGroup; ++L) {
        TEntJwwLayer& Lay = EntLay[G * kLayersPerGroup + L];
        Get(Lay.aanLay, Lay.aanLayProtect);
      }
    }
    if (std::array<std::uint8_t, 56> A{}; R.Read(A.data(), A.size()) == A.size()) H.reserved56 = A;
    Get(H.lnSunpou1, H.lnSunpou2, H.lnSunpou3, H.lnSunpou4, H.lnSunpou5);
    if (std::array<std::uint8_t, 4> A{}; R.Read(A.data(), A.size()) == A.size()) H.reserved4 = A;
    Get(H.nMaxDrawWid);
    DeriveLineWidthMode(H);
    Get(H.DPPrtGenten_x, H.DPPrtGenten_y, H.dPrtBairitsu);
    Get(H.nPrtSet, H.nMemoriMode);
    Get(H.dMemoriHyoujiMin, H.dMemoriX, H.dMemoriY, H.DpMemoriKjTen_x, H.DpMemoriKjTen_y);
    for (TEntJwwLayer& Lay : EntLay) Lay.aStrLayName = In.ReadStrClean();
    for (TEntJwwLayerGroup& Grp : EntLgrp) Grp.aStrGLayName = In.ReadStrClean();
    Get(H.dKageLevel, H.dKageIdo);
    Get(H.nKage9_15JiFlg);
    Get(H.dKabeKageLevel);
    if (V >= kVerTenkuuZu) Get(H.dTenkuuZuLevel, H.dTenkuuZuEnkoR);
    Get(H.nMMTani3D);
    Get(H.dBairitsu, H.DPGenten_x, H.DPGenten_y, H.dHanniBairitsu, H.DPHanniGenten_x, H.DPHanniGenten_y);
    if (V >= kVerZoomJumps) {
      for (std::size_t I = 0; I < kZoomJumps; ++I)
        Get(H.dZoomJumpBairitsu[I], H.DPZoomJumpGenten_x[I], H.DPZoomJumpGenten_y[I], H.nZoomJumpGLay[I]);
      Get(H.dDm11, H.dDm12, H.dDm13, H.lnDm1, H.dDm21, H.dDm22, H.dMojiBG, H.nMojiBG);
    } else {
      for (std::size_t I = 0; I < kOldZoomJumps; ++I)
        Get(H.dZoomJumpBairitsu[I], H.DPZoomJumpGenten_x[I], H.DPZoomJumpGenten_y[I]);
    }
    Get.Each(H.adFukusenSuuchi);
    Get(H.dRyougawaFukusenTomeDe);
    for (TEntJwwColorNo& C : EntCol) Get(C.aPenColor, C.anPenWidth);
    for (TEntJwwColorNo& C : EntCol) Get(C.aPrtPenColor, C.anPrtPenWidth, C.adPrtTenHankei);
    for (TEntJwwLineTypeNo& T : EntLtp1)
      Get(T.alLType, T.anTokushuSenUintDot, T.anTokushuSenPich, T.anPrtTokushuSenPich);
    for (TEntJwwRandomLineNo& T : EntLtp2)
      Get(T.alLType, T.anRandSenWide, T.anTokushuSenPich, T.anPrtRandSenWide, T.anPrtTokushuSenPich);
    for (TEntJwwLineTypeNo& T : EntLtp3)
      Get(T.alLType, T.anTokushuSenUintDot, T.anTokushuSenPich, T.anPrtTokushuSenPich);
    Get(H.nDrawGamenTen, H.nDrawPrtTen, H.nBitMapFirstDraw, H.nGyakuDraw, H.nGyakuSearch, H.nColorPrint, H.nLayJunPrint,
        H.nColJunPrint, H.nPrtRenzoku, H.nPrtKyoutsuuGray);
    std::int32_t Packed = 0;
    Get(Packed);
    H.nPrtDpi = Packed / 10;
    H.nPrtDispOnlyNonDraw = Packed % 10;
    if (V >= kVerDrawTime) {
      Get(H.lnDrawTime, H.nEyeInit, H.dEye_H_Ichi_1, H.dEye_H_Ichi_2, H.dEye_H_Ichi_3);
      Get(H.dEye_Z_Ichi_1, H.dEye_Y_Ichi_1, H.dEye_Z_Ichi_2, H.dEye_Y_Ichi_2, H.dEye_V_Ichi_3);
    }
    if (V >= kVerDimensionSizes) Get(H.dSenNagasaSnpou, H.dBoxSunpouX, H.dBoxSunpouY, H.dEnHankeiSnpou);
    if (V >= kVerSolidColor) Get(H.nSolidNinniColor, H.SolidColor);
    if (V >= kVerSxf) {
      for (TEntJwwColorExNo& C : EntColS) Get(C.aPenColor, C.anPenWidth);
      for (TEntJwwColorExNo& C : EntColS) {
        C.astrUDColorName = In.ReadStrClean();
        Get(C.aPrtPenColor, C.anPrtPenWidth, C.adPrtTenHankei);
      }
      for (TEntJwwLineTypeExNo& T : EntLtpS)
        Get(T.alLType, T.anTokushuSenUintDot, T.anTokushuSenPich, T.anPrtTokushuSenPich);
      for (TEntJwwLineTypeExNo& T : EntLtpS) {
        T.astrUDLTypeName = In.ReadStrClean();
        Get(T.anUDLTypeSegment);
        Get.Each(T.aadUDLTypePitch);
      }
    }
    for (TEntJwwMojiType& M : EntMoj) {
      Get(M.adMojiX, M.adMojiY, M.adMojiD, M.anMojiCol);
      RepairTextSize(M.adMojiX, M.adMojiY, M.adMojiD);
    }
    Get(H.dMojiSizeX, H.dMojiSizeY, H.dMojiKankaku);
    RepairTextSize(H.dMojiSizeX, H.dMojiSizeY, H.dMojiKankaku);
    Get(H.nMojiColor, H.nMojiShu);
    Get(H.dMojiSeiriGyouKan, H.dMojiSeiriSuu);
    Get(H.nMojiKijunZureOn);
    Get(H.adMojiKijunZureX0, H.adMojiKijunZureX1, H.adMojiKijunZureX2, H.adMojiKijunZureY0, H.adMojiKijunZureY1);
    if (R.Get(H.adMojiKijunZureY2) == 0) ThrowFault(TJwFault::HeaderEndsEarly, R.Position());
    return true;
  } catch (const ArchiveError& E) {
    return Fail(ReasonOf(E.Error, R));
  } catch (const std::bad_alloc&) {
    return Fail({TJwFault::OutOfMemory, R.Position()});
  }
}

void TJwwData::WriteHeader(ArchiveOut& Out, std::int32_t Ver) const {
  ScalarsOut Put(Out);
  const TEntJwwHeader& H = Enthd;

  Out.writer().Write(kJwwSignature.Bytes().data(), kJwwSignature.Size());
  Put(Ver);
  Out.WriteStr(H.strMemo);
  Put(H.nZumen, H.nWriteGLay);
  for (std::size_t G = 0; G < kLayerGroups; ++G) {
    const TEntJwwLayerGroup& Grp = EntLgrp[G];
    Put(Grp.anGLay, Grp.anWriteLay, Grp.adScale, Grp.anGLayProtect);
    for (std::size_t L = 0; L < kLayersPerGroup; ++L) {
      const TEntJwwLayer& Lay = EntLay[G * kLayersPerGroup + L];
      Put(Lay.aanLay, Lay.aanLayProtect);
    }
  }
  if (H.reserved56) Out.writer().Write(H.reserved56->data(), 56);
  else Out.writer().Fill(0x20, 56);
  Put(H.lnSunpou1, H.lnSunpou2, H.lnSunpou3, H.lnSunpou4, H.lnSunpou5);
  if (H.reserved4) Out.writer().Write(H.reserved4->data(), 4);
  else Out.writer().Fill(0, 4);
  Put(Ver <= kLastVerMaxDrawWidFloor && H.nMaxDrawWid < -101 ? std::int32_t{-101} : H.nMaxDrawWid);
  Put(H.DPPrtGenten_x, H.DPPrtGenten_y, H.dPrtBairitsu);
  Put(H.nPrtSet, H.nMemoriMode);
  Put(H.dMemoriHyoujiMin, H.dMemoriX, H.dMemoriY, H.DpMemoriKjTen_x, H.DpMemoriKjTen_y);
  for (const TEntJwwLayer& Lay : EntLay) Out.WriteCleanText(Lay.aStrLayName);
  for (const TEntJwwLayerGroup& Grp : EntLgrp) Out.WriteCleanText(Grp.aStrGLayName);
  Put(H.dKageLevel, H.dKageIdo);
  Put(H.nKage9_15JiFlg);
  Put(H.dKabeKageLevel);
  if (Ver >= kVerTenkuuZu) Put(H.dTenkuuZuLevel, H.dTenkuuZuEnkoR);
  Put(H.nMMTani3D);
  Put(H.dBairitsu, H.DPGenten_x, H.DPGenten_y, H.dHanniBairitsu, H.DPHanniGenten_x, H.DPHanniGenten_y);
  if (Ver >= kVerZoomJumps) {
    for (std::size_t I = 0; I < kZoomJumps; ++I)
      Put(H.dZoomJumpBairitsu[I], H.DPZoomJumpGenten_x[I], H.DPZoomJumpGenten_y[I], H.nZoomJumpGLay[I]);
    Put(H.dDm11, H.dDm12, H.dDm13, H.lnDm1, H.dDm21, H.dDm22, H.dMojiBG, H.nMojiBG);
  } else {
    for (std::size_t I = 0; I < kOldZoomJumps; ++I)
      Put(H.dZoomJumpBairitsu[I], H.DPZoomJumpGenten_x[I], H.DPZoomJumpGenten_y[I]);
  }
  Put.Each(H.adFukusenSuuchi);
  Put(H.dRyougawaFukusenTomeDe);
  for (const TEntJwwColorNo& C : EntCol) Put(ClampColor(C.aPenColor), Clamp(C.anPenWidth, 1, 16));
  for (std::size_t K = 0; K < EntCol.size(); ++K) {
    const TEntJwwColorNo& C = EntCol[K];
    Put(K == 0 ? std::int32_t{0xFFFFFF} : ClampColor(C.aPrtPenColor), Clamp(C.anPrtPenWidth, 1, 500),
        Clamp(C.adPrtTenHankei, 0.1, 10.0));
  }
  for (const TEntJwwLineTypeNo& T : EntLtp1)
    Put(T.alLType, T.anTokushuSenUintDot, T.anTokushuSenPich, T.anPrtTokushuSenPich);
  for (const TEntJwwRandomLineNo& T : EntLtp2)
    Put(T.alLType, T.anRandSenWide, T.anTokushuSenPich, T.anPrtRandSenWide, T.anPrtTokushuSenPich);
  for (const TEntJwwLineTypeNo& T : EntLtp3)
    Put(T.alLType, T.anTokushuSenUintDot, T.anTokushuSenPich, T.anPrtTokushuSenPich);
  Put(H.nDrawGamenTen, H.nDrawPrtTen, H.nBitMapFirstDraw, H.nGyakuDraw, H.nGyakuSearch, H.nColorPrint, H.nLayJunPrint,
      H.nColJunPrint, H.nPrtRenzoku, H.nPrtKyoutsuuGray);
  Put(PrintPacking(H, Ver));
  if (Ver >= kVerDrawTime) {
    Put(H.lnDrawTime, H.nEyeInit, H.dEye_H_Ichi_1, H.dEye_H_Ichi_2, H.dEye_H_Ichi_3);
    Put(H.dEye_Z_Ichi_1, H.dEye_Y_Ichi_1, H.dEye_Z_Ichi_2, H.dEye_Y_Ichi_2, H.dEye_V_Ichi_3);
  }
  if (Ver >= kVerDimensionSizes) Put(H.dSenNagasaSnpou, H.dBoxSunpouX, H.dBoxSunpouY, H.dEnHankeiSnpou);
  if (Ver >= kVerSolidColor) Put(H.nSolidNinniColor, H.SolidColor);
  if (Ver >= kVerSxf) {
    for (const TEntJwwColorExNo& C : EntColS) Put(C.aPenColor, C.anPenWidth);
    for (std::size_t K = 0; K < EntColS.size(); ++K) {
      const TEntJwwColorExNo& C = EntColS[K];
      Out.WriteStr(NameOr(Out, C.astrUDColorName, u"Color_", static_cast<int>(K)));
      Put(K < kSxfStandardEntries ? C.aPrtPenColor : C.aPenColor, C.anPrtPenWidth, C.adPrtTenHankei);
    }
    for (std::size_t K = 0; K < EntLtpS.size(); ++K) {
      const TEntJwwLineTypeExNo& T = EntLtpS[K];
      if (K >= kSxfStandardEntries && !ValidSegments(T.anUDLTypeSegment))
        Put(static_cast<std::int32_t>(0xC3C3C3C3u), std::int32_t{8}, std::int32_t{1}, std::int32_t{8});
      else
        Put(T.alLType == 0 ? std::int32_t{-1} : T.alLType, T.anTokushuSenUintDot, T.anTokushuSenPich,
            T.anPrtTokushuSenPich);
    }
    for (std::size_t K = 0; K < EntLtpS.size(); ++K) {
      const TEntJwwLineTypeExNo& T = EntLtpS[K];
      const int N = static_cast<int>(K);
      if (K >= kSxfStandardEntries && !ValidSegments(T.anUDLTypeSegment)) {
        Out.WriteStr(u"LType_" + IntToText(N));
        Put(std::int32_t{2});
        Put.Each(std::array<double, 10>{1.0, 1.0});
      } else {
        Out.WriteStr(NameOr(Out, T.astrUDLTypeName, u"LType_", N));
        Put(T.anUDLTypeSegment);
        Put.Each(T.aadUDLTypePitch);
      }
    }
  }
  for (const TEntJwwMojiType& M : EntMoj)
    Put(ClampTextSize(M.adMojiX), ClampTextSize(M.adMojiY), M.adMojiD, M.anMojiCol);
  Put(ClampTextSize(H.dMojiSizeX), ClampTextSize(H.dMojiSizeY), H.dMojiKankaku);
  Put(H.nMojiColor, H.nMojiShu);
  Put(H.dMojiSeiriGyouKan, H.dMojiSeiriSuu);
  Put(H.nMojiKijunZureOn);
  Put(H.adMojiKijunZureX0, H.adMojiKijunZureX1, H.adMojiKijunZureX2, H.adMojiKijunZureY0, H.adMojiKijunZureY1,
      H.adMojiKijunZureY2);
}
