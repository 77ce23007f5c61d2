// The header section of a JWW file, reader and writer side by side, in file
// order. A row present only from some version on is gated by the file's
// version when reading and by the output version when writing.
#include <algorithm>
#include <cstring>

#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

constexpr char kSignature[] = "JwwData.";
constexpr std::int32_t kMinVersion = 220;
constexpr std::int32_t kMaxVersion = 700;

// Reads scalars in file order; short reads leave fields as they were.
class ScalarsIn {
 public:
  explicit ScalarsIn(ByteReader& r) : r_(r) {}
  template <class... T>
  void operator()(T&... v) {
    (r_.Get(v), ...);
  }
  template <class T, std::size_t N>
  void Each(std::array<T, N>& a) {
    for (T& v : a) r_.Get(v);
  }

 private:
  ByteReader& r_;
};

class ScalarsOut {
 public:
  explicit ScalarsOut(ArchiveOut& out) : out_(out) {}
  template <class... T>
  void operator()(const T&... v) {
    (out_.Put(v), ...);
  }
  template <class T, std::size_t N>
  void Each(const std::array<T, N>& a) {
    for (const T& v : a) out_.Put(v);
  }

 private:
  ArchiveOut& out_;
};

// nMaxDrawWid below -100 selects the 1/100 mm width mode; the back-up value
// is decoded from the ranges Jw_cad uses.
void DeriveLineWidthMode(TEntJwwHeader& h) {
  const std::int32_t w = h.nMaxDrawWid;
  h.bSenHaba100 = w < -100;
  if (w >= -100) h.nMaxDrawWidBak = w;
  else if (w >= -500 && w <= -401) h.nMaxDrawWidBak = w + 400;
  else if (w >= -300 && w <= -201) h.nMaxDrawWidBak = -w - 200;
  else h.nMaxDrawWidBak = -100;
}

std::int32_t ClampColor(std::int32_t c) { return c < 0 || c > 0xFFFFFF ? 0 : c; }
template <class T>
T Clamp(T v, T lo, T hi) {
  return v < lo ? lo : v > hi ? hi : v;
}

// A name that is blank after cleaning is replaced by prefix and number.
std::u16string NameOr(const ArchiveOut& out, std::u16string_view name, std::u16string_view prefix, int k) {
  std::u16string s = out.CleanText(name);
  if (StripBlanks(s).empty()) s = std::u16string(prefix) + IntToText(k);
  return s;
}

// From version 6.00 the print resolution shares the field with the flag
// digit, 0 standing for the default. A negative digit (only a corrupt field
// gives one) would read back as a different digit after the resolution is
// added, so it is written as 0: a save followed by a reload and another save
// then writes the same value.
std::int32_t PrintPacking(const TEntJwwHeader& h, std::int32_t Ver) {
  if (Ver < 600) return h.nPrtDispOnlyNonDraw;
  const std::int64_t dpi = h.nPrtDpi > 0 ? std::int64_t{h.nPrtDpi} : 1;
  return static_cast<std::int32_t>(10 * dpi + std::max(h.nPrtDispOnlyNonDraw, 0));
}

// User-defined SXF line types need 2, 4, 6 or 8 segments; others are written
// as a default dash pattern.
bool ValidSegments(std::int32_t s) { return s == 2 || s == 4 || s == 6 || s == 8; }

}  // namespace

void TJwwData::SizeHeaderTables() {
  EntLgrp.assign(16, {});
  EntLay.assign(256, {});
  EntCol.assign(10, {});
  EntLtp1.assign(8, {});
  EntLtp2.assign(5, {});
  EntLtp3.assign(4, {});
  EntColS.assign(257, {});
  EntLtpS.assign(33, {});
  EntMoj.assign(10, {});
}

bool TJwwData::ReadHeader(ArchiveIn& in) {
  try {
    ByteReader& r = in.reader();
    ScalarsIn get(r);
    TEntJwwHeader& h = Enthd;
    SizeHeaderTables();

    std::uint8_t sig[8] = {};
    r.Read(sig, sizeof sig);
    h.jwID = AnsiBytesToText(sig);
    if (h.jwID != u"JwwData.") throw ArchiveError{"JWW-Header Error"};
    get(h.jwVer);
    if (h.jwVer < kMinVersion || h.jwVer > kMaxVersion) throw ArchiveError{"JWW-Version Error"};
    const std::int32_t v = h.jwVer;

    h.strMemo = in.ReadStr();
    get(h.nZumen, h.nWriteGLay);
    for (int g = 0; g < 16; ++g) {
      TEntJwwLayerGroup& grp = EntLgrp[g];
      get(grp.anGLay, grp.anWriteLay, grp.adScale, grp.anGLayProtect);
      for (int l = 0; l < 16; ++l) get(EntLay[g * 16 + l].aanLay, EntLay[g * 16 + l].aanLayProtect);
    }
    if (std::array<std::uint8_t, 56> a{}; r.Read(a.data(), a.size()) == a.size()) h.reserved56 = a;
    get(h.lnSunpou1, h.lnSunpou2, h.lnSunpou3, h.lnSunpou4, h.lnSunpou5);
    if (std::array<std::uint8_t, 4> a{}; r.Read(a.data(), a.size()) == a.size()) h.reserved4 = a;
    get(h.nMaxDrawWid);
    DeriveLineWidthMode(h);
    get(h.DPPrtGenten_x, h.DPPrtGenten_y, h.dPrtBairitsu);
    get(h.nPrtSet, h.nMemoriMode);
    get(h.dMemoriHyoujiMin, h.dMemoriX, h.dMemoriY, h.DpMemoriKjTen_x, h.DpMemoriKjTen_y);
    for (TEntJwwLayer& lay : EntLay) lay.aStrLayName = in.ReadStrClean();
    for (TEntJwwLayerGroup& grp : EntLgrp) grp.aStrGLayName = in.ReadStrClean();
    get(h.dKageLevel, h.dKageIdo);
    get(h.nKage9_15JiFlg);
    get(h.dKabeKageLevel);
    if (v >= 300) get(h.dTenkuuZuLevel, h.dTenkuuZuEnkoR);
    get(h.nMMTani3D);
    get(h.dBairitsu, h.DPGenten_x, h.DPGenten_y, h.dHanniBairitsu, h.DPHanniGenten_x, h.DPHanniGenten_y);
    if (v >= 231) {
      for (int i = 0; i < 8; ++i)
        get(h.dZoomJumpBairitsu[i], h.DPZoomJumpGenten_x[i], h.DPZoomJumpGenten_y[i], h.nZoomJumpGLay[i]);
      get(h.dDm11, h.dDm12, h.dDm13, h.lnDm1, h.dDm21, h.dDm22, h.dMojiBG, h.nMojiBG);
    } else {
      for (int i = 0; i < 4; ++i) get(h.dZoomJumpBairitsu[i], h.DPZoomJumpGenten_x[i], h.DPZoomJumpGenten_y[i]);
    }
    get.Each(h.adFukusenSuuchi);
    get(h.dRyougawaFukusenTomeDe);
    for (TEntJwwColorNo& c : EntCol) get(c.aPenColor, c.anPenWidth);
    for (TEntJwwColorNo& c : EntCol) get(c.aPrtPenColor, c.anPrtPenWidth, c.adPrtTenHankei);
    for (TEntJwwLineTypeNo& t : EntLtp1)
      get(t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich);
    for (TEntJwwRandomLineNo& t : EntLtp2)
      get(t.alLType, t.anRandSenWide, t.anTokushuSenPich, t.anPrtRandSenWide, t.anPrtTokushuSenPich);
    for (TEntJwwLineTypeNo& t : EntLtp3)
      get(t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich);
    get(h.nDrawGamenTen, h.nDrawPrtTen, h.nBitMapFirstDraw, h.nGyakuDraw, h.nGyakuSearch, h.nColorPrint, h.nLayJunPrint,
        h.nColJunPrint, h.nPrtRenzoku, h.nPrtKyoutsuuGray);
    std::int32_t packed = 0;
    get(packed);
    h.nPrtDpi = packed / 10;
    h.nPrtDispOnlyNonDraw = packed % 10;
    if (v >= 223) {
      get(h.lnDrawTime, h.nEyeInit, h.dEye_H_Ichi_1, h.dEye_H_Ichi_2, h.dEye_H_Ichi_3);
      get(h.dEye_Z_Ichi_1, h.dEye_Y_Ichi_1, h.dEye_Z_Ichi_2, h.dEye_Y_Ichi_2, h.dEye_V_Ichi_3);
    }
    if (v >= 225) get(h.dSenNagasaSnpou, h.dBoxSunpouX, h.dBoxSunpouY, h.dEnHankeiSnpou);
    if (v >= 230) get(h.nSolidNinniColor, h.SolidColor);
    if (v >= 420) {
      for (TEntJwwColorExNo& c : EntColS) get(c.aPenColor, c.anPenWidth);
      for (TEntJwwColorExNo& c : EntColS) {
        c.astrUDColorName = in.ReadStrClean();
        get(c.aPrtPenColor, c.anPrtPenWidth, c.adPrtTenHankei);
      }
      for (TEntJwwLineTypeExNo& t : EntLtpS)
        get(t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich);
      for (TEntJwwLineTypeExNo& t : EntLtpS) {
        t.astrUDLTypeName = in.ReadStrClean();
        get(t.anUDLTypeSegment);
        get.Each(t.aadUDLTypePitch);
      }
    }
    for (TEntJwwMojiType& m : EntMoj) {
      get(m.adMojiX, m.adMojiY, m.adMojiD, m.anMojiCol);
      RepairTextSize(m.adMojiX, m.adMojiY, m.adMojiD);
    }
    get(h.dMojiSizeX, h.dMojiSizeY, h.dMojiKankaku);
    RepairTextSize(h.dMojiSizeX, h.dMojiSizeY, h.dMojiKankaku);
    get(h.nMojiColor, h.nMojiShu);
    get(h.dMojiSeiriGyouKan, h.dMojiSeiriSuu);
    get(h.nMojiKijunZureOn);
    get(h.adMojiKijunZureX0, h.adMojiKijunZureX1, h.adMojiKijunZureX2, h.adMojiKijunZureY0, h.adMojiKijunZureY1);
    if (r.Get(h.adMojiKijunZureY2) == 0) throw ArchiveError{"File I/O Error"};
    return true;
  } catch (const ArchiveError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void TJwwData::WriteHeader(ArchiveOut& out, std::int32_t Ver) const {
  ScalarsOut put(out);
  const TEntJwwHeader& h = Enthd;

  out.writer().Write(kSignature, 8);
  put(Ver);
  out.WriteStr(h.strMemo);
  put(h.nZumen, h.nWriteGLay);
  for (int g = 0; g < 16; ++g) {
    const TEntJwwLayerGroup& grp = EntLgrp[g];
    put(grp.anGLay, grp.anWriteLay, grp.adScale, grp.anGLayProtect);
    for (int l = 0; l < 16; ++l) put(EntLay[g * 16 + l].aanLay, EntLay[g * 16 + l].aanLayProtect);
  }
  if (h.reserved56) out.writer().Write(h.reserved56->data(), 56);
  else out.writer().Fill(0x20, 56);
  put(h.lnSunpou1, h.lnSunpou2, h.lnSunpou3, h.lnSunpou4, h.lnSunpou5);
  if (h.reserved4) out.writer().Write(h.reserved4->data(), 4);
  else out.writer().Fill(0, 4);
  put(Ver <= 420 && h.nMaxDrawWid < -101 ? std::int32_t{-101} : h.nMaxDrawWid);
  put(h.DPPrtGenten_x, h.DPPrtGenten_y, h.dPrtBairitsu);
  put(h.nPrtSet, h.nMemoriMode);
  put(h.dMemoriHyoujiMin, h.dMemoriX, h.dMemoriY, h.DpMemoriKjTen_x, h.DpMemoriKjTen_y);
  for (const TEntJwwLayer& lay : EntLay) out.WriteStr(out.CleanText(lay.aStrLayName));
  for (const TEntJwwLayerGroup& grp : EntLgrp) out.WriteStr(out.CleanText(grp.aStrGLayName));
  put(h.dKageLevel, h.dKageIdo);
  put(h.nKage9_15JiFlg);
  put(h.dKabeKageLevel);
  if (Ver >= 300) put(h.dTenkuuZuLevel, h.dTenkuuZuEnkoR);
  put(h.nMMTani3D);
  put(h.dBairitsu, h.DPGenten_x, h.DPGenten_y, h.dHanniBairitsu, h.DPHanniGenten_x, h.DPHanniGenten_y);
  if (Ver >= 231) {
    for (int i = 0; i < 8; ++i)
      put(h.dZoomJumpBairitsu[i], h.DPZoomJumpGenten_x[i], h.DPZoomJumpGenten_y[i], h.nZoomJumpGLay[i]);
    put(h.dDm11, h.dDm12, h.dDm13, h.lnDm1, h.dDm21, h.dDm22, h.dMojiBG, h.nMojiBG);
  } else {
    for (int i = 0; i < 4; ++i) put(h.dZoomJumpBairitsu[i], h.DPZoomJumpGenten_x[i], h.DPZoomJumpGenten_y[i]);
  }
  put.Each(h.adFukusenSuuchi);
  put(h.dRyougawaFukusenTomeDe);
  for (const TEntJwwColorNo& c : EntCol) put(ClampColor(c.aPenColor), Clamp(c.anPenWidth, 1, 16));
  for (std::size_t k = 0; k < EntCol.size(); ++k) {
    const TEntJwwColorNo& c = EntCol[k];
    put(k == 0 ? std::int32_t{0xFFFFFF} : ClampColor(c.aPrtPenColor), Clamp(c.anPrtPenWidth, 1, 500),
        Clamp(c.adPrtTenHankei, 0.1, 10.0));
  }
  for (const TEntJwwLineTypeNo& t : EntLtp1)
    put(t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich);
  for (const TEntJwwRandomLineNo& t : EntLtp2)
    put(t.alLType, t.anRandSenWide, t.anTokushuSenPich, t.anPrtRandSenWide, t.anPrtTokushuSenPich);
  for (const TEntJwwLineTypeNo& t : EntLtp3)
    put(t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich, t.anPrtTokushuSenPich);
  put(h.nDrawGamenTen, h.nDrawPrtTen, h.nBitMapFirstDraw, h.nGyakuDraw, h.nGyakuSearch, h.nColorPrint, h.nLayJunPrint,
      h.nColJunPrint, h.nPrtRenzoku, h.nPrtKyoutsuuGray);
  put(PrintPacking(h, Ver));
  if (Ver >= 223) {
    put(h.lnDrawTime, h.nEyeInit, h.dEye_H_Ichi_1, h.dEye_H_Ichi_2, h.dEye_H_Ichi_3);
    put(h.dEye_Z_Ichi_1, h.dEye_Y_Ichi_1, h.dEye_Z_Ichi_2, h.dEye_Y_Ichi_2, h.dEye_V_Ichi_3);
  }
  if (Ver >= 225) put(h.dSenNagasaSnpou, h.dBoxSunpouX, h.dBoxSunpouY, h.dEnHankeiSnpou);
  if (Ver >= 230) put(h.nSolidNinniColor, h.SolidColor);
  if (Ver >= 420) {
    for (const TEntJwwColorExNo& c : EntColS) put(c.aPenColor, c.anPenWidth);
    for (std::size_t k = 0; k < EntColS.size(); ++k) {
      const TEntJwwColorExNo& c = EntColS[k];
      out.WriteStr(NameOr(out, c.astrUDColorName, u"Color_", static_cast<int>(k)));
      put(k <= 16 ? c.aPrtPenColor : c.aPenColor, c.anPrtPenWidth, c.adPrtTenHankei);
    }
    for (std::size_t k = 0; k < EntLtpS.size(); ++k) {
      const TEntJwwLineTypeExNo& t = EntLtpS[k];
      if (k >= 17 && !ValidSegments(t.anUDLTypeSegment))
        put(static_cast<std::int32_t>(0xC3C3C3C3u), std::int32_t{8}, std::int32_t{1}, std::int32_t{8});
      else
        put(t.alLType == 0 ? std::int32_t{-1} : t.alLType, t.anTokushuSenUintDot, t.anTokushuSenPich,
            t.anPrtTokushuSenPich);
    }
    for (std::size_t k = 0; k < EntLtpS.size(); ++k) {
      const TEntJwwLineTypeExNo& t = EntLtpS[k];
      const int n = static_cast<int>(k);
      if (k >= 17 && !ValidSegments(t.anUDLTypeSegment)) {
        out.WriteStr(u"LType_" + IntToText(n));
        put(std::int32_t{2});
        put.Each(std::array<double, 10>{1.0, 1.0});
      } else {
        out.WriteStr(NameOr(out, t.astrUDLTypeName, u"LType_", n));
        put(t.anUDLTypeSegment);
        put.Each(t.aadUDLTypePitch);
      }
    }
  }
  for (const TEntJwwMojiType& m : EntMoj)
    put(ClampTextSize(m.adMojiX), ClampTextSize(m.adMojiY), m.adMojiD, m.anMojiCol);
  put(ClampTextSize(h.dMojiSizeX), ClampTextSize(h.dMojiSizeY), h.dMojiKankaku);
  put(h.nMojiColor, h.nMojiShu);
  put(h.dMojiSeiriGyouKan, h.dMojiSeiriSuu);
  put(h.nMojiKijunZureOn);
  put(h.adMojiKijunZureX0, h.adMojiKijunZureX1, h.adMojiKijunZureX2, h.adMojiKijunZureY0, h.adMojiKijunZureY1,
      h.adMojiKijunZureY2);
}
