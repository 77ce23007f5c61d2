#include "documents/JwwFixture.h"

#include <algorithm>
#include <cmath>

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace jwfix {

JwFile::JwFile(std::int32_t version, Form f) : ver(version), form(f), schema(static_cast<std::uint16_t>(version)) {}

JwFile& JwFile::CpStr(std::span<const std::uint8_t> bytes) {
  const std::size_t n = bytes.size();
  if (n < 255) {
    b.u8(static_cast<std::uint8_t>(n));
  } else {
    b.u8(0xFF).u16(static_cast<std::uint16_t>(n));
  }
  b.bytes.insert(b.bytes.end(), bytes.begin(), bytes.end());
  return *this;
}

JwFile& JwFile::Utf16Str(std::u16string_view s) {
  b.u8(0xFF).u16(0xFFFE);
  if (s.size() < 255) {
    b.u8(static_cast<std::uint8_t>(s.size()));
  } else {
    b.u8(0xFF).u16(static_cast<std::uint16_t>(s.size()));
  }
  for (char16_t c : s) b.u16(c);
  return *this;
}

JwFile& JwFile::Str(std::u16string_view s) {
  if (form == Form::Utf16) return Utf16Str(s);
  const Bytes cp = TextToAnsiBytes(s);
  return CpStr(cp);
}

JwFile& JwFile::Count(std::uint32_t n) {
  if (n < 0xFFFF) {
    b.u16(static_cast<std::uint16_t>(n));
  } else {
    b.u16(0xFFFF).u32(n);
  }
  return *this;
}

JwFile& JwFile::Tag(const std::string& cls) {
  const auto it = classes_.find(cls);
  if (it == classes_.end()) {
    b.u16(0xFFFF).u16(schema).u16(static_cast<std::uint16_t>(cls.size())).raw(cls);
    classes_[cls] = running_++;
  } else if (it->second < 0x7FFF) {
    b.u16(static_cast<std::uint16_t>(0x8000 + it->second));
  } else {
    b.u16(0x7FFF).u32(0x80000000u + it->second);
  }
  return *this;
}

std::uint32_t JwFile::ClassIndex(const std::string& cls) const {
  const auto it = classes_.find(cls);
  return it == classes_.end() ? 0 : it->second;
}

JwFile& JwFile::Attr(const TEntJwwAttr& a) {
  b.u32(a.lGroup).u8(a.nPenStyle).u16(a.nPenColor);
  if (ver >= 351) b.u16(a.nPenWidth);
  b.u16(a.nLayer).u16(a.nGLayer).u16(a.sFlg);
  return *this;
}

JwFile& JwFile::LineRec(const TEntJwwLine& x) {
  Attr(x.att);
  b.f64(x.start_x).f64(x.start_y).f64(x.end_x).f64(x.end_y);
  return *this;
}

JwFile& JwFile::EnkoRec(const TEntJwwEnko& x) {
  Attr(x.att);
  b.f64(x.start_x).f64(x.start_y).f64(x.dHankei).f64(x.radKaishiKaku).f64(x.radEnkoKaku);
  b.f64(x.radKatamukiKaku).f64(x.dHenpeiRitsu).u32(x.bZenEnFlg);
  return *this;
}

JwFile& JwFile::TenRec(const TEntJwwTen& x) {
  Attr(x.att);
  b.f64(x.start_x).f64(x.start_y).u32(x.bKariten);
  if (x.att.nPenStyle == 100) b.u32(x.nCode).f64(x.radKaitenKaku).f64(x.dBairitsu);
  return *this;
}

JwFile& JwFile::MojiRec(const TEntJwwMoji& x) {
  Attr(x.att);
  b.f64(x.start_x).f64(x.start_y).f64(x.end_x).f64(x.end_y).u32(x.nMojiShu);
  b.f64(x.dSizeX).f64(x.dSizeY).f64(x.dKankaku).f64(x.degKakudo);
  return Str(x.strFontName).Str(x.str);
}

JwFile& JwFile::SunpoRec(const TEntJwwSunpo& x) {
  Attr(x.att);
  LineRec(x.Sen);
  MojiRec(x.Moji);
  if (ver >= 420) {
    b.u16(x.bSxfMode);
    LineRec(x.Ho1).LineRec(x.Ho2);
    TenRec(x.Te1).TenRec(x.Te2).TenRec(x.Kt1).TenRec(x.Kt2);
  }
  return *this;
}

JwFile& JwFile::SolidRec(const TEntJwwSolid& x) {
  Attr(x.att);
  b.f64(x.start_x).f64(x.start_y).f64(x.end_x).f64(x.end_y);
  b.f64(x.DPoint2_x).f64(x.DPoint2_y).f64(x.DPoint3_x).f64(x.DPoint3_y);
  if (x.att.nPenColor == 10) b.u32(x.Color);
  return *this;
}

JwFile& JwFile::BlockRec(const TEntJwwBlock& x) {
  Attr(x.att);
  b.f64(x.DPKijunTen_x).f64(x.DPKijunTen_y).f64(x.dBairitsuX).f64(x.dBairitsuY).f64(x.radKaitenKaku);
  b.u32(x.nNumber);
  return *this;
}

JwFile& JwFile::BlockDef(const TEntJwwBlockDef& d, std::uint32_t members, bool longTime) {
  Tag("CDataList");
  Attr(d.att);
  b.u32(d.nNumber).u32(d.bRefferd);
  if (longTime) {
    b.u32(0xFFFFFFFFu).u32(0x12345678).u32(0x9ABCDEF0);
  } else {
    b.u32(d.dtime);
  }
  Str(d.strName).Count(members);
  return Took();
}

JwFile& JwFile::Images(const std::vector<std::pair<std::u16string, ByteVec>>& images) {
  b.i32(static_cast<std::int32_t>(images.size()));
  for (const auto& [name, data] : images) {
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
void ResetAbsentRows(TEntJwwHeader& h, std::int32_t ver) {
  if (ver < 300) h.dTenkuuZuLevel = h.dTenkuuZuEnkoR = 0;
  if (ver < 231) {
    for (int i = 4; i < 8; ++i) {
      h.dZoomJumpBairitsu[i] = 1.0;
      h.DPZoomJumpGenten_x[i] = h.DPZoomJumpGenten_y[i] = 0;
    }
    h.nZoomJumpGLay.fill(-1);
    h.dDm11 = h.dDm12 = h.dDm13 = h.dDm21 = h.dDm22 = h.dMojiBG = 0;
    h.lnDm1 = h.nMojiBG = 0;
  }
  if (ver < 223) {
    h.lnDrawTime = h.nEyeInit = h.dEye_H_Ichi_1 = h.dEye_H_Ichi_2 = h.dEye_H_Ichi_3 = 0;
    h.dEye_Z_Ichi_1 = h.dEye_Y_Ichi_1 = h.dEye_Z_Ichi_2 = h.dEye_Y_Ichi_2 = h.dEye_V_Ichi_3 = 0;
  }
  if (ver < 225) h.dSenNagasaSnpou = h.dBoxSunpouX = h.dBoxSunpouY = h.dEnHankeiSnpou = 0;
  if (ver < 230) h.nSolidNinniColor = h.SolidColor = 0;
}

void SizeTables(JwwHeaderSpec& s) {
  s.lgrp.assign(16, {});
  s.lay.assign(256, {});
  s.col.assign(10, {});
  s.ltp1.assign(8, {});
  s.ltp2.assign(5, {});
  s.ltp3.assign(4, {});
  s.colS.assign(257, {});
  s.ltpS.assign(33, {});
  s.moj.assign(10, {});
}

bool ValidSegments(std::int32_t n) { return n == 2 || n == 4 || n == 6 || n == 8; }

std::u16string NameOr(const std::u16string& name, std::u16string_view prefix, int k) {
  std::u16string s = CleanOutText(name);
  return StripBlanks(s).empty() ? std::u16string(prefix) + IntToText(k) : s;
}

double TextSizeAsWritten(double v) { return std::min(std::max(std::fabs(v), 1e-10), 1e10); }

}  // namespace

JwwHeaderSpec EmptyHeader() {
  JwwHeaderSpec s;
  TEntJwwHeader& h = s.h;
  h.jwID = u"JwwData.";
  h.dPrtBairitsu = h.dMemoriHyoujiMin = h.dMemoriX = h.dMemoriY = h.dBairitsu = h.dHanniBairitsu = 1.0;
  h.dZoomJumpBairitsu.fill(1.0);
  h.nZoomJumpGLay.fill(-1);
  SizeTables(s);
  return s;
}

JwwHeaderSpec CanonicalHeader(std::int32_t ver) {
  JwwHeaderSpec s;
  SizeTables(s);
  Seq q;
  TEntJwwHeader& h = s.h;
  h.jwID = u"JwwData.";
  h.jwVer = ver;
  h.strMemo = u"図面メモ\r\nline 2\t(tab)";
  h.nZumen = q.I();
  h.nWriteGLay = q.I();
  for (int g = 0; g < 16; ++g) {
    TEntJwwLayerGroup& grp = s.lgrp[g];
    grp.anGLay = q.I();
    grp.anWriteLay = q.I();
    grp.adScale = q.D();
    grp.anGLayProtect = q.I();
    grp.aStrGLayName = g % 3 == 0 ? u"" : u"グループ" + IntToText(g);
    for (int l = 0; l < 16; ++l) {
      TEntJwwLayer& lay = s.lay[g * 16 + l];
      lay.aanLay = q.I();
      lay.aanLayProtect = q.I();
      lay.aStrLayName = l % 5 == 0 ? u"" : u"Layer " + IntToText(g) + u"-" + IntToText(l) + u" 平面";
    }
  }
  std::array<std::uint8_t, 56> r56{};
  for (std::size_t i = 0; i < r56.size(); ++i) r56[i] = static_cast<std::uint8_t>(7 * i + 1);
  h.reserved56 = r56;
  h.reserved4 = std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44};
  h.lnSunpou1 = q.I();
  h.lnSunpou2 = q.I();
  h.lnSunpou3 = q.I();
  h.lnSunpou4 = q.I();
  h.lnSunpou5 = q.I();
  h.nMaxDrawWid = 1;
  h.nMaxDrawWidBak = 1;
  for (double* d : {&h.DPPrtGenten_x, &h.DPPrtGenten_y, &h.dPrtBairitsu}) *d = q.D();
  h.nPrtSet = q.I();
  h.nMemoriMode = q.I();
  for (double* d : {&h.dMemoriHyoujiMin, &h.dMemoriX, &h.dMemoriY, &h.DpMemoriKjTen_x, &h.DpMemoriKjTen_y,
                    &h.dKageLevel, &h.dKageIdo})
    *d = q.D();
  h.nKage9_15JiFlg = q.I();
  for (double* d : {&h.dKabeKageLevel, &h.dTenkuuZuLevel, &h.dTenkuuZuEnkoR}) *d = q.D();
  h.nMMTani3D = q.I();
  for (double* d :
       {&h.dBairitsu, &h.DPGenten_x, &h.DPGenten_y, &h.dHanniBairitsu, &h.DPHanniGenten_x, &h.DPHanniGenten_y})
    *d = q.D();
  for (int i = 0; i < 8; ++i) {
    h.dZoomJumpBairitsu[i] = q.D();
    h.DPZoomJumpGenten_x[i] = q.D();
    h.DPZoomJumpGenten_y[i] = q.D();
    h.nZoomJumpGLay[i] = q.I();
  }
  h.dDm11 = q.D();
  h.dDm12 = q.D();
  h.dDm13 = q.D();
  h.lnDm1 = q.I();
  h.dDm21 = q.D();
  h.dDm22 = q.D();
  h.dMojiBG = q.D();
  h.nMojiBG = q.I();
  for (double& d : h.adFukusenSuuchi) d = q.D();
  h.dRyougawaFukusenTomeDe = q.D();
  for (int k = 0; k < 10; ++k) {
    TEntJwwColorNo& c = s.col[k];
    c.aPenColor = 0x010203 * (k + 1);
    c.anPenWidth = 1 + k;
    c.aPrtPenColor = k == 0 ? 0xFFFFFF : 0x030201 * (k + 1);
    c.anPrtPenWidth = 10 + 40 * k;
    c.adPrtTenHankei = 0.25 + 0.5 * k;
  }
  for (auto& t : s.ltp1) t = {q.I(), q.I(), q.I(), q.I()};
  for (auto& t : s.ltp2) t = {q.I(), q.I(), q.I(), q.I(), q.I()};
  for (auto& t : s.ltp3) t = {q.I(), q.I(), q.I(), q.I()};
  for (std::int32_t* v : {&h.nDrawGamenTen, &h.nDrawPrtTen, &h.nBitMapFirstDraw, &h.nGyakuDraw, &h.nGyakuSearch,
                          &h.nColorPrint, &h.nLayJunPrint, &h.nColJunPrint, &h.nPrtRenzoku, &h.nPrtKyoutsuuGray})
    *v = q.I();
  h.nPrtDispOnlyNonDraw = 3;
  h.nPrtDpi = ver >= 600 ? 6 : 0;
  for (std::int32_t* v : {&h.lnDrawTime, &h.nEyeInit, &h.dEye_H_Ichi_1, &h.dEye_H_Ichi_2, &h.dEye_H_Ichi_3}) *v = q.I();
  for (double* d : {&h.dEye_Z_Ichi_1, &h.dEye_Y_Ichi_1, &h.dEye_Z_Ichi_2, &h.dEye_Y_Ichi_2, &h.dEye_V_Ichi_3,
                    &h.dSenNagasaSnpou, &h.dBoxSunpouX, &h.dBoxSunpouY, &h.dEnHankeiSnpou})
    *d = q.D();
  h.nSolidNinniColor = q.I();
  h.SolidColor = q.I();
  if (ver >= 420) {
    for (int k = 0; k < 257; ++k) {
      TEntJwwColorExNo& c = s.colS[k];
      c.aPenColor = q.I();
      c.anPenWidth = q.I();
      c.astrUDColorName = k % 2 ? u"色" + IntToText(k) : u"UD colour " + IntToText(k);
      c.aPrtPenColor = k <= 16 ? q.I() : c.aPenColor;
      c.anPrtPenWidth = q.I();
      c.adPrtTenHankei = q.D();
    }
    for (int k = 0; k < 33; ++k) {
      TEntJwwLineTypeExNo& t = s.ltpS[k];
      t = {q.I(), q.I(), q.I(), q.I(), u"線種" + IntToText(k), 2 + 2 * (k % 4), {}};
      for (double& p : t.aadUDLTypePitch) p = q.D();
    }
  }
  for (TEntJwwMojiType& m : s.moj) m = {q.D(), q.D(), q.D() - 100, q.I()};
  h.dMojiSizeX = q.D();
  h.dMojiSizeY = q.D();
  h.dMojiKankaku = -q.D();
  h.nMojiColor = q.I();
  h.nMojiShu = q.I();
  h.dMojiSeiriGyouKan = q.D();
  h.dMojiSeiriSuu = q.D();
  h.nMojiKijunZureOn = q.I();
  for (double* d : {&h.adMojiKijunZureX0, &h.adMojiKijunZureX1, &h.adMojiKijunZureX2, &h.adMojiKijunZureY0,
                    &h.adMojiKijunZureY1, &h.adMojiKijunZureY2})
    *d = q.D();
  ResetAbsentRows(h, ver);
  return s;
}

JwwHeaderSpec HeaderOf(const TJwwData& doc) {
  return {doc.Enthd,   doc.EntLgrp, doc.EntLay,  doc.EntCol,  doc.EntLtp1,
          doc.EntLtp2, doc.EntLtp3, doc.EntColS, doc.EntLtpS, doc.EntMoj};
}

JwwHeaderSpec AsWritten(JwwHeaderSpec s, std::int32_t ver) {
  TEntJwwHeader& h = s.h;
  if (ver <= 420 && h.nMaxDrawWid < -101) h.nMaxDrawWid = -101;
  for (int k = 0; k < 10; ++k) {
    TEntJwwColorNo& c = s.col[k];
    auto colour = [](std::int32_t v) { return v < 0 || v > 0xFFFFFF ? 0 : v; };
    c.aPenColor = colour(c.aPenColor);
    c.aPrtPenColor = k == 0 ? 0xFFFFFF : colour(c.aPrtPenColor);
    c.anPenWidth = std::clamp(c.anPenWidth, 1, 16);
    c.anPrtPenWidth = std::clamp(c.anPrtPenWidth, 1, 500);
    if (c.adPrtTenHankei < 0.1) c.adPrtTenHankei = 0.1;
    if (c.adPrtTenHankei > 10) c.adPrtTenHankei = 10;
  }
  // The fixture writes 10 * nPrtDpi + nPrtDispOnlyNonDraw.
  h.nPrtDpi = ver >= 600 ? (h.nPrtDpi > 0 ? h.nPrtDpi : 1) : 0;
  for (TEntJwwLayer& l : s.lay) l.aStrLayName = CleanOutText(l.aStrLayName);
  for (TEntJwwLayerGroup& g : s.lgrp) g.aStrGLayName = CleanOutText(g.aStrGLayName);
  if (ver >= 420) {
    for (int k = 0; k < 257; ++k) {
      TEntJwwColorExNo& c = s.colS[k];
      c.astrUDColorName = NameOr(c.astrUDColorName, u"Color_", k);
      if (k >= 17) c.aPrtPenColor = c.aPenColor;
    }
    for (int k = 0; k < 33; ++k) {
      TEntJwwLineTypeExNo& t = s.ltpS[k];
      if (k >= 17 && !ValidSegments(t.anUDLTypeSegment)) {
        t.alLType = static_cast<std::int32_t>(0xC3C3C3C3u);
        t.anTokushuSenUintDot = 8;
        t.anTokushuSenPich = 1;
        t.anPrtTokushuSenPich = 8;
        t.astrUDLTypeName = u"LType_" + IntToText(k);
        t.anUDLTypeSegment = 2;
        t.aadUDLTypePitch = {1.0, 1.0};
      } else {
        if (t.alLType == 0) t.alLType = -1;
        t.astrUDLTypeName = NameOr(t.astrUDLTypeName, u"LType_", k);
      }
    }
  }
  for (TEntJwwMojiType& m : s.moj) {
    m.adMojiX = TextSizeAsWritten(m.adMojiX);
    m.adMojiY = TextSizeAsWritten(m.adMojiY);
  }
  h.dMojiSizeX = TextSizeAsWritten(h.dMojiSizeX);
  h.dMojiSizeY = TextSizeAsWritten(h.dMojiSizeY);
  return s;
}

HeaderMarks WriteJwwHeader(JwFile& f, const JwwHeaderSpec& s) {
  HeaderMarks m;
  testsupport::ByteBuilder& b = f.b;
  const TEntJwwHeader& h = s.h;
  const std::int32_t v = f.ver;
  b.raw("JwwData.").i32(v);           // rows 1, 2
  f.Str(h.strMemo);                   // 3
  b.i32(h.nZumen).i32(h.nWriteGLay);  // 4
  for (int g = 0; g < 16; ++g) {      // 5
    const TEntJwwLayerGroup& grp = s.lgrp[g];
    b.i32(grp.anGLay).i32(grp.anWriteLay).f64(grp.adScale).i32(grp.anGLayProtect);
    for (int l = 0; l < 16; ++l) b.i32(s.lay[g * 16 + l].aanLay).i32(s.lay[g * 16 + l].aanLayProtect);
  }
  m.reserved56 = b.size();  // 6
  if (h.reserved56) b.bytes.insert(b.bytes.end(), h.reserved56->begin(), h.reserved56->end());
  else b.fill(0x20, 56);
  b.i32(h.lnSunpou1).i32(h.lnSunpou2).i32(h.lnSunpou3).i32(h.lnSunpou4).i32(h.lnSunpou5);  // 7
  m.reserved4 = b.size();                                                                  // 8
  if (h.reserved4) b.bytes.insert(b.bytes.end(), h.reserved4->begin(), h.reserved4->end());
  else b.fill(0, 4);
  m.maxDrawWid = b.size();
  b.i32(h.nMaxDrawWid);                                                                                     // 9
  b.f64(h.DPPrtGenten_x).f64(h.DPPrtGenten_y).f64(h.dPrtBairitsu);                                          // 10
  b.i32(h.nPrtSet).i32(h.nMemoriMode);                                                                      // 11
  b.f64(h.dMemoriHyoujiMin).f64(h.dMemoriX).f64(h.dMemoriY).f64(h.DpMemoriKjTen_x).f64(h.DpMemoriKjTen_y);  // 12
  for (const TEntJwwLayer& l : s.lay) f.Str(l.aStrLayName);                                                 // 13
  for (const TEntJwwLayerGroup& g : s.lgrp) f.Str(g.aStrGLayName);                                          // 14
  b.f64(h.dKageLevel).f64(h.dKageIdo);                                                                      // 15
  b.i32(h.nKage9_15JiFlg);                                                                                  // 16
  b.f64(h.dKabeKageLevel);                                                                                  // 17
  if (v >= 300) b.f64(h.dTenkuuZuLevel).f64(h.dTenkuuZuEnkoR);                                              // 18
  b.i32(h.nMMTani3D);                                                                                       // 19
  b.f64(h.dBairitsu).f64(h.DPGenten_x).f64(h.DPGenten_y);                                                   // 20
  b.f64(h.dHanniBairitsu).f64(h.DPHanniGenten_x).f64(h.DPHanniGenten_y);
  if (v >= 231) {
    for (int i = 0; i < 8; ++i)  // 21a
      b.f64(h.dZoomJumpBairitsu[i]).f64(h.DPZoomJumpGenten_x[i]).f64(h.DPZoomJumpGenten_y[i]).i32(h.nZoomJumpGLay[i]);
    b.f64(h.dDm11).f64(h.dDm12).f64(h.dDm13).i32(h.lnDm1);  // 21b
    b.f64(h.dDm21).f64(h.dDm22).f64(h.dMojiBG).i32(h.nMojiBG);
  } else {
    for (int i = 0; i < 4; ++i)  // 21c
      b.f64(h.dZoomJumpBairitsu[i]).f64(h.DPZoomJumpGenten_x[i]).f64(h.DPZoomJumpGenten_y[i]);
  }
  for (double d : h.adFukusenSuuchi) b.f64(d);  // 22
  b.f64(h.dRyougawaFukusenTomeDe);              // 23
  m.penTables = b.size();
  for (const TEntJwwColorNo& c : s.col) b.i32(c.aPenColor).i32(c.anPenWidth);                              // 24
  for (const TEntJwwColorNo& c : s.col) b.i32(c.aPrtPenColor).i32(c.anPrtPenWidth).f64(c.adPrtTenHankei);  // 25
  for (const auto& t : s.ltp1)
    b.i32(t.alLType).i32(t.anTokushuSenUintDot).i32(t.anTokushuSenPich).i32(t.anPrtTokushuSenPich);
  for (const auto& t : s.ltp2)  // 27
    b.i32(t.alLType).i32(t.anRandSenWide).i32(t.anTokushuSenPich).i32(t.anPrtRandSenWide).i32(t.anPrtTokushuSenPich);
  for (const auto& t : s.ltp3)
    b.i32(t.alLType).i32(t.anTokushuSenUintDot).i32(t.anTokushuSenPich).i32(t.anPrtTokushuSenPich);
  for (std::int32_t x : {h.nDrawGamenTen, h.nDrawPrtTen, h.nBitMapFirstDraw, h.nGyakuDraw, h.nGyakuSearch,
                         h.nColorPrint, h.nLayJunPrint, h.nColJunPrint, h.nPrtRenzoku, h.nPrtKyoutsuuGray})
    b.i32(x);  // 29
  m.printPacking = b.size();
  b.i32(10 * h.nPrtDpi + h.nPrtDispOnlyNonDraw);  // 30
  if (v >= 223) {                                 // 31
    b.i32(h.lnDrawTime).i32(h.nEyeInit).i32(h.dEye_H_Ichi_1).i32(h.dEye_H_Ichi_2).i32(h.dEye_H_Ichi_3);
    b.f64(h.dEye_Z_Ichi_1).f64(h.dEye_Y_Ichi_1).f64(h.dEye_Z_Ichi_2).f64(h.dEye_Y_Ichi_2).f64(h.dEye_V_Ichi_3);
  }
  if (v >= 225) b.f64(h.dSenNagasaSnpou).f64(h.dBoxSunpouX).f64(h.dBoxSunpouY).f64(h.dEnHankeiSnpou);  // 32
  if (v >= 230) b.i32(h.nSolidNinniColor).i32(h.SolidColor);                                           // 33
  m.sxfColors = b.size();
  if (v >= 420) {
    for (const auto& c : s.colS) b.i32(c.aPenColor).i32(c.anPenWidth);  // 34
    for (const auto& c : s.colS) {                                      // 35
      f.Str(c.astrUDColorName);
      b.i32(c.aPrtPenColor).i32(c.anPrtPenWidth).f64(c.adPrtTenHankei);
    }
    for (const auto& t : s.ltpS)  // 36
      b.i32(t.alLType).i32(t.anTokushuSenUintDot).i32(t.anTokushuSenPich).i32(t.anPrtTokushuSenPich);
    for (const auto& t : s.ltpS) {  // 37
      f.Str(t.astrUDLTypeName);
      b.i32(t.anUDLTypeSegment);
      for (double p : t.aadUDLTypePitch) b.f64(p);
    }
  }
  m.textTypes = b.size();
  for (const auto& t : s.moj) b.f64(t.adMojiX).f64(t.adMojiY).f64(t.adMojiD).i32(t.anMojiCol);  // 38
  b.f64(h.dMojiSizeX).f64(h.dMojiSizeY).f64(h.dMojiKankaku);                                    // 39
  b.i32(h.nMojiColor).i32(h.nMojiShu);                                                          // 40
  b.f64(h.dMojiSeiriGyouKan).f64(h.dMojiSeiriSuu);                                              // 41
  b.i32(h.nMojiKijunZureOn);                                                                    // 42
  b.f64(h.adMojiKijunZureX0).f64(h.adMojiKijunZureX1).f64(h.adMojiKijunZureX2);                 // 43
  b.f64(h.adMojiKijunZureY0).f64(h.adMojiKijunZureY1).f64(h.adMojiKijunZureY2);
  m.end = b.size();
  return m;
}

// ---- JWS header ----

JwsHeaderSpec CanonicalJwsHeader() {
  JwsHeaderSpec s;
  TEntJwsHeader& h = s.h;
  h.jwID = u"JwsData";
  h.BasePoint_x = 12.5;
  h.BasePoint_y = -7.25;
  for (int g = 0; g < 16; ++g) s.scales[g] = 1.0 + 10 * g;
  std::int32_t i = -3;
  for (std::int32_t* v : {&h.dmy01, &h.dmy02, &h.dmy03, &h.dmy04, &h.dmy05, &h.dmy06}) *v = i++ * 1001;
  double d = 0.375;
  for (double* v : {&h.dmy11, &h.dmy12, &h.dmy13, &h.dmy14, &h.dmy15, &h.dmy16, &h.Mx1, &h.My1, &h.Mx2, &h.My2})
    *v = d *= -2.5;
  return s;
}

void WriteJwsHeader(JwFile& f, const JwsHeaderSpec& s) {
  const TEntJwsHeader& h = s.h;
  f.b.raw("JwsData").fill(s.filler, 193).i32(f.ver);
  f.b.f64(h.BasePoint_x).f64(h.BasePoint_y);
  for (double sc : s.scales) f.b.f64(sc);
  for (std::int32_t v : {h.dmy01, h.dmy02, h.dmy03, h.dmy04, h.dmy05, h.dmy06}) f.b.i32(v);
  for (double v : {h.dmy11, h.dmy12, h.dmy13, h.dmy14, h.dmy15, h.dmy16, h.Mx1, h.My1, h.Mx2, h.My2}) f.b.f64(v);
}

// ---- Bodies ----

namespace {

std::uint32_t ValidCount(const ConstEntityLists& L) {
  std::uint32_t n = 0;
  for (const TEntJwwNo& e : L.no) n += L.Valid(e) ? 1 : 0;
  return n;
}

void WriteEntries(JwFile& f, const ConstEntityLists& L) {
  for (const TEntJwwNo& e : L.no) {
    if (!L.Valid(e)) continue;
    const auto i = static_cast<std::size_t>(e.EntNo);
    switch (e.EntType) {
      case kLine: f.Line(L.line[i]); break;
      case kEnko: f.Enko(L.enko[i]); break;
      case kTen: f.Ten(L.ten[i]); break;
      case kMoji: f.Moji(L.moji[i]); break;
      case kSunpo: f.Sunpo(L.sunpo[i]); break;
      case kSolid: f.Solid(L.solid[i]); break;
      default: f.Block(L.block[i]); break;
    }
  }
}

}  // namespace

void WriteObjects(JwFile& f, const ConstEntityLists& L) {
  f.Count(ValidCount(L));
  WriteEntries(f, L);
}

void WriteBlockDefs(JwFile& f, const std::vector<TEntJwwBlockDef>& defs) {
  f.Count(static_cast<std::uint32_t>(defs.size()));
  for (const TEntJwwBlockDef& d : defs) {
    f.BlockDef(d, ValidCount(Members(d)));
    WriteEntries(f, Members(d));
  }
}

ByteVec BodyOf(std::int32_t ver, Form form, const TJwBody& doc) {
  JwFile f(ver, form);
  WriteObjects(f, doc.Entities());
  WriteBlockDefs(f, doc.EntBlockDef);
  return f.bytes();
}

// ---- Samples ----

TEntJwwAttr Pen(int style, int color, int width, int layer, int glayer) {
  TEntJwwAttr a;
  a.nPenStyle = static_cast<std::uint8_t>(style);
  a.nPenColor = static_cast<std::uint16_t>(color);
  a.nPenWidth = static_cast<std::uint16_t>(width);
  a.nLayer = static_cast<std::uint16_t>(layer);
  a.nGLayer = static_cast<std::uint16_t>(glayer);
  return a;
}

SampleEntities Samples(std::int32_t ver) {
  const int w = ver >= 351 ? 1 : 0;  // widths exist only from 351 on
  auto att = [&](int style, int color, int width, std::uint32_t group, int layer) {
    TEntJwwAttr a = Pen(style, color, w * width, layer, 15 - layer);
    a.lGroup = group;
    a.sFlg = static_cast<std::uint16_t>(0x100 + layer);
    return a;
  };
  const bool sxf = ver >= 420;
  SampleEntities s;
  s.line = {att(sxf ? 35 : 2, sxf ? 105 : 3, 25, 0x01020304, 1), 1.5, -2.25, 1e6, -1e-6};
  s.enko = {att(sxf ? 62 : 17, sxf ? 356 : 9, 30000, 7, 2), 3.5, 4.5, 10.25, 0.5, 6.0, -0.75, 0.5, 1};
  s.ten = {att(1, 4, 0, 9, 3), -5.5, 6.5, 1};
  s.ten100 = {att(100, 5, 13, 10, 4), 7.5, -8.5, 0, 0x7FFF0001, 1.25, 2.5};
  s.moji = {att(5, 6, 35, 11, 5), 1, 2, 3, 4, 0x10203, 2.5, 3.5, 0.25, 45.0, u"ＭＳ ゴシック", u"文字列 text ①"};
  TEntJwwSunpo& d = s.sunpo;
  d.att = att(3, sxf ? 101 : 7, 18, 12, 6);
  d.Sen = {att(1, 2, 5, 13, 7), 0, 0, 100, 0};
  d.Moji = {att(2, 3, 0, 14, 8), 40, 1, 60, 1, 1, 2.5, 2.5, 0, 0, u"ＭＳ 明朝", u"100"};
  if (sxf) {
    d.bSxfMode = 2;
    d.Ho1 = {att(1, 1, 0, 15, 9), 0, 0, 0, 5};
    d.Ho2 = {att(31, 120, 0, 16, 10), 100, 0, 100, 5};
    d.Te1 = {att(1, 2, 0, 17, 11), 0, 0, 0};
    d.Te2 = {att(100, 3, 0, 18, 12), 100, 0, 1, 77, 0.5, 2};
    d.Kt1 = {att(1, 4, 0, 19, 13), 0, 5, 1};
    d.Kt2 = {att(100, 5, 0, 20, 14), 100, 5, 1, 78, 0.25, 3};
  } else {
    // What a reader makes of a dimension without SXF part.
    d.Ho1.att = d.Ho2.att = d.att;
    for (TEntJwwTen* t : {&d.Te1, &d.Te2, &d.Kt1, &d.Kt2}) {
      t->att = d.att;
      t->att.nPenStyle = 0;
    }
  }
  s.solid = {att(1, 8, 0, 21, 15), 1, 2, 3, 4, 5, 6, 7, 8, 0};
  s.solid10 = {att(1, 10, 0, 22, 0), -1, -2, -3, -4, -5, -6, -7, -8, 0x00ABCDEF};
  s.block = {att(9, 9, 0, 23, 1), 10, 20, 2, 3, 0.5, 0};
  return s;
}

namespace {

std::u16string LongText(Form form) {
  std::u16string s = u"長い文字列 ";
  while (s.size() < 300) s += u"0123456789 abcdefghij ";
  return form == Form::Utf16 ? s + u"\U0001F600 end" : s;
}

template <class T>
void AddMember(TEntJwwBlockDef& d, RecordArray<T>& a, int kind, const T& x) {
  a.push_back(x);
  d.mNo.push_back({kind, static_cast<std::int32_t>(a.size() - 1)});
  d.N = static_cast<std::int32_t>(d.mNo.size());
}

}  // namespace

std::vector<TEntJwwBlockDef> CanonicalDefinitions(std::int32_t ver) {
  const SampleEntities s = Samples(ver);
  std::vector<TEntJwwBlockDef> defs(2);
  for (int i = 0; i < 2; ++i) {
    TEntJwwBlockDef& d = defs[i];
    d.att = Pen(i + 1, 7 - i, ver >= 351 ? 300 + i : 0, 2 + i, 3 + i);
    d.att.lGroup = 40 + i;
    d.nNumber = i;
    d.bRefferd = 1 - i;
    d.dtime = 0x5F3759DF + i;
    d.strName = i == 0 ? u"ブロック 0" : u"block one";
  }
  TEntJwwBlock insertOfOne = s.block;
  insertOfOne.nNumber = 1;
  insertOfOne.DPKijunTen_x = -3;
  AddMember(defs[0], defs[0].mLine, kLine, s.line);
  AddMember(defs[0], defs[0].mMoji, kMoji, s.moji);
  AddMember(defs[0], defs[0].mBlock, kBlock, insertOfOne);
  AddMember(defs[1], defs[1].mEnko, kEnko, s.enko);
  AddMember(defs[1], defs[1].mSunpo, kSunpo, s.sunpo);
  AddMember(defs[1], defs[1].mSolid, kSolid, s.solid10);
  return defs;
}

void WriteCanonicalBody(JwFile& f) {
  const SampleEntities s = Samples(f.ver);
  TEntJwwLine second = s.line;
  second.att.nLayer = 15;
  second.start_x = -0.0;
  TEntJwwMoji longText = s.moji;
  longText.str = LongText(f.form);
  f.Count(11);
  f.Line(s.line).Enko(s.enko).Ten(s.ten).Ten(s.ten100).Moji(s.moji).Sunpo(s.sunpo).Solid(s.solid).Solid(s.solid10);
  f.Block(s.block).Line(second).Moji(longText);
  WriteBlockDefs(f, CanonicalDefinitions(f.ver));
}

Drawing CanonicalDrawing(std::int32_t ver, Form form) {
  JwFile f(ver, form);
  Drawing d;
  d.headerEnd = WriteJwwHeader(f, CanonicalHeader(ver)).end;
  WriteCanonicalBody(f);
  d.bodyEnd = f.b.size();
  if (ver >= 700) f.b.i32(0);
  d.bytes = f.bytes();
  return d;
}

// ---- The writer's rules, as a model ----

namespace {

bool In(int v, int lo, int hi) { return v >= lo && v <= hi; }

int StandardLtype(int style) {
  static const int map[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};
  return In(style, 31, 45) ? map[style - 31] : In(style, 46, 62) ? SxfFallbackLtype : style;
}

int StandardColor(int color) {
  static const int map[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};
  return In(color, 101, 116) ? map[color - 101] : In(color, 117, 356) ? SxfFallbackColor : color;
}

void TextAsWritten(TEntJwwMoji& t, std::int32_t ver) {
  t.att = WrittenAttr(t.att, kMoji, ver);
  t.dSizeX = TextSizeAsWritten(t.dSizeX);
  t.dSizeY = TextSizeAsWritten(t.dSizeY);
  t.strFontName = CleanOutText(t.strFontName);
  t.str = CleanOutText(t.str);
}

void ListAsWritten(const EntityLists& L, std::int32_t ver, const TJwBody& doc) {
  for (TEntJwwLine& x : L.line) x.att = WrittenAttr(x.att, kLine, ver);
  for (TEntJwwEnko& x : L.enko) x.att = WrittenAttr(x.att, kEnko, ver);
  for (TEntJwwTen& x : L.ten) x.att = WrittenAttr(x.att, kTen, ver);
  for (TEntJwwMoji& x : L.moji) TextAsWritten(x, ver);
  for (TEntJwwSunpo& x : L.sunpo) {
    x.att = WrittenAttr(x.att, kSunpo, ver);
    x.Sen.att = WrittenAttr(x.Sen.att, kLine, ver);
    TextAsWritten(x.Moji, ver);
    x.Ho1.att = WrittenAttr(x.Ho1.att, kLine, ver);
    x.Ho2.att = WrittenAttr(x.Ho2.att, kLine, ver);
    for (TEntJwwTen* t : {&x.Te1, &x.Te2, &x.Kt1, &x.Kt2}) {
      // The extras follow the stored style, the style byte the rules.
      const bool extras = t->att.nPenStyle == 100;
      t->att = WrittenAttr(t->att, kTen, ver);
      if (!extras) {
        t->nCode = 0;
        t->radKaitenKaku = t->dBairitsu = 0;
      }
    }
  }
  for (TEntJwwSolid& x : L.solid) x.att = WrittenAttr(x.att, kSolid, ver);
  for (TEntJwwBlock& x : L.block) {
    x.att = WrittenAttr(x.att, kBlock, ver);
    x.nNumber = doc.ChangeBlockNo(x.nNumber);
  }
}

}  // namespace

TEntJwwAttr WrittenAttr(TEntJwwAttr a, int kind, std::int32_t ver) {
  int style = a.nPenStyle, color = a.nPenColor;
  const bool lineLike = kind == kLine || kind == kEnko;
  if (ver < 420) {
    if (lineLike) style = StandardLtype(style);
    if (In(kind, kLine, kSolid)) color = StandardColor(color);
  }
  if (lineLike && !(In(style, 1, 9) || In(style, 11, 19) || In(style, 31, 62))) style = SxfFallbackLtype;
  if (kind == kTen && style != 1 && style != 100) style = 1;
  if (kind == kMoji && !In(style, 1, 9)) style = 1;
  if (In(kind, kLine, kSunpo) && !(In(color, 1, 9) || In(color, 101, 356))) color = SxfFallbackColor;
  if (kind == kSolid && !(In(color, 1, 10) || In(color, 101, 356))) color = SxfFallbackColor;
  a.nPenStyle = static_cast<std::uint8_t>(style);
  a.nPenColor = static_cast<std::uint16_t>(color);
  if (a.nLayer > 15) a.nLayer = 0;
  if (a.nGLayer > 15) a.nGLayer = 0;
  if (a.nPenWidth > 30000 || ver < 351) a.nPenWidth = 0;
  return a;
}

void ApplyWriterRules(TJwBody& doc, std::int32_t ver) {
  // Numbers first, while every definition is still there.
  for (TEntJwwBlockDef& d : doc.EntBlockDef) ListAsWritten(Members(d), ver, doc);
  ListAsWritten(doc.Entities(), ver, doc);
  std::vector<TEntJwwBlockDef> used;
  for (TEntJwwBlockDef& d : doc.EntBlockDef) {
    if (!d.ref_flag) continue;
    d.att = WrittenAttr(d.att, kBlockDef, ver);
    d.nNumber = static_cast<std::uint32_t>(d.ref_no);
    d.strName = CleanOutText(d.strName);
    used.push_back(std::move(d));
  }
  doc.EntBlockDef = std::move(used);
}

// ---- Documents in memory ----

template <class Doc>
bool Load(Doc& doc, const ByteVec& bytes) {
  ByteReader r{std::span<const std::uint8_t>(bytes)};
  return doc.LoadFrom(r);
}

template <class Doc>
std::optional<ByteVec> Save(Doc& doc, std::int32_t ver) {
  MemorySink sink;
  ByteWriter w(sink);
  if (!doc.SaveTo(w, ver)) return std::nullopt;
  return sink.bytes;
}

template bool Load(TJwwData&, const ByteVec&);
template bool Load(TJwsData&, const ByteVec&);
template std::optional<ByteVec> Save(TJwwData&, std::int32_t);
template std::optional<ByteVec> Save(TJwsData&, std::int32_t);

}  // namespace jwfix
