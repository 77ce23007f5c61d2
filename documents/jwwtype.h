// Record types shared by the JWW and JWS documents: the entity attribute, the
// seven entity records, the order list, block definitions and the block tree,
// bound images and the JWW header with its tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/JwFormat.h"
#include "documents/RecordArray.h"

// Kind codes of the entity list; 8 is used only for block definitions when
// their attribute is written.
enum EntKind : std::int32_t {
  kLine = 1,
  kEnko = 2,
  kTen = 3,
  kMoji = 4,
  kSunpo = 5,
  kSolid = 6,
  kBlock = 7,
  kBlockDef = 8
};

// Pen numbers written in place of SXF or invalid ones; set once at start-up.
extern int SxfFallbackColor;
extern int SxfFallbackLtype;
void JwwTypeInit();

struct TEntJwwAttr {
  std::uint32_t lGroup = 0;
  std::uint8_t nPenStyle = 0;   // line type number
  std::uint16_t nPenColor = 0;  // colour number
  std::uint16_t nPenWidth = 0;  // absent from files below version 351
  std::uint16_t nLayer = 0;
  std::uint16_t nGLayer = 0;
  std::uint16_t sFlg = 0;
  bool operator==(const TEntJwwAttr&) const = default;
};

struct TEntJwwLine {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
};

struct TEntJwwEnko {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, dHankei = 0, radKaishiKaku = 0, radEnkoKaku = 0, radKatamukiKaku = 0,
         dHenpeiRitsu = 0;
  std::uint32_t bZenEnFlg = 0;
};

struct TEntJwwTen {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0;
  std::uint32_t bKariten = 0;
  // In the file only when att.nPenStyle is 100.
  std::uint32_t nCode = 0;
  double radKaitenKaku = 0, dBairitsu = 0;
};

struct TEntJwwMoji {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  std::uint32_t nMojiShu = 0;
  double dSizeX = 0, dSizeY = 0, dKankaku = 0, degKakudo = 0;
  std::u16string strFontName;
  std::u16string str;
};

struct TEntJwwSunpo {
  TEntJwwAttr att;
  TEntJwwLine Sen;
  TEntJwwMoji Moji;
  // In the file only from version 420 on.
  std::uint16_t bSxfMode = 0;
  TEntJwwLine Ho1, Ho2;
  TEntJwwTen Te1, Te2, Kt1, Kt2;
};

struct TEntJwwSolid {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0, DPoint2_x = 0, DPoint2_y = 0, DPoint3_x = 0, DPoint3_y = 0;
  std::uint32_t Color = 0;  // in the file only when att.nPenColor is 10
};

struct TEntJwwBlock {
  TEntJwwAttr att;
  double DPKijunTen_x = 0, DPKijunTen_y = 0, dBairitsuX = 0, dBairitsuY = 0, radKaitenKaku = 0;
  std::uint32_t nNumber = 0;  // block definition number
};

// One entry of an order list: the kind and the index into that kind's array;
// (0, 0) for an object whose record could not be read.
struct TEntJwwNo {
  std::int32_t EntType = 0;
  std::int32_t EntNo = 0;
  bool operator==(const TEntJwwNo&) const = default;
};

struct TEntJwwBlockDef {
  TEntJwwAttr att;
  std::uint32_t nNumber = 0;
  std::uint32_t bRefferd = 0;
  std::uint32_t dtime = 0;
  std::u16string strName;
  std::int32_t N = 0;  // member objects declared in the file
  std::vector<TEntJwwNo> mNo;
  RecordArray<TEntJwwLine> mLine;
  RecordArray<TEntJwwEnko> mEnko;
  RecordArray<TEntJwwTen> mTen;
  RecordArray<TEntJwwMoji> mMoji;
  RecordArray<TEntJwwSunpo> mSunpo;
  RecordArray<TEntJwwSolid> mSolid;
  RecordArray<TEntJwwBlock> mBlock;
  bool ref_flag = false;     // used by the drawing
  std::int32_t ref_no = -1;  // number when saved; -1 when unused
};

struct TEntJwwBlockTree {
  TEntJwwAttr att;
  std::int32_t level = 0;
  std::int32_t parent = -1;
  std::uint32_t no = 0;
  std::int32_t defno = -1;
  std::u16string name;
  double x = 0, y = 0;
  double r1 = 0, r2 = 0, r3 = 0, r4 = 0;
};

struct TBindImageType {
  std::u16string Fname;
  std::int32_t Fsize = 0;
  bool exf = false;  // marked to be written by the current save
};

// ---- JWW header tables ----
struct TEntJwwLayerGroup {
  std::int32_t anGLay = 0, anWriteLay = 0;
  double adScale = 0;
  std::int32_t anGLayProtect = 0;
  std::u16string aStrGLayName;
};

struct TEntJwwLayer {
  std::int32_t aanLay = 0, aanLayProtect = 0;
  std::u16string aStrLayName;
};

struct TEntJwwColorNo {
  std::int32_t aPenColor = 0, anPenWidth = 0, aPrtPenColor = 0, anPrtPenWidth = 0;
  double adPrtTenHankei = 0;
};

struct TEntJwwLineTypeNo {
  std::int32_t alLType = 0, anTokushuSenUintDot = 0, anTokushuSenPich = 0, anPrtTokushuSenPich = 0;
};

struct TEntJwwRandomLineNo {
  std::int32_t alLType = 0, anRandSenWide = 0, anTokushuSenPich = 0, anPrtRandSenWide = 0, anPrtTokushuSenPich = 0;
};

struct TEntJwwColorExNo {
  std::int32_t aPenColor = 0, anPenWidth = 0;
  std::u16string astrUDColorName;
  std::int32_t aPrtPenColor = 0, anPrtPenWidth = 0;
  double adPrtTenHankei = 0;
};

struct TEntJwwLineTypeExNo {
  std::int32_t alLType = 0, anTokushuSenUintDot = 0, anTokushuSenPich = 0, anPrtTokushuSenPich = 0;
  std::u16string astrUDLTypeName;
  std::int32_t anUDLTypeSegment = 0;
  std::array<double, 10> aadUDLTypePitch{};  // pitches 1..10
};

struct TEntJwwMojiType {
  double adMojiX = 0, adMojiY = 0, adMojiD = 0;
  std::int32_t anMojiCol = 0;
};

// The JWW header. Arrays numbered 1..8 in the file format are 0-based here.
struct TEntJwwHeader {
  std::u16string jwID;
  std::int32_t jwVer = 0;
  std::u16string strMemo;
  std::int32_t nZumen = 0, nWriteGLay = 0;
  std::int32_t lnSunpou1 = 0, lnSunpou2 = 0, lnSunpou3 = 0, lnSunpou4 = 0, lnSunpou5 = 0;
  std::int32_t nMaxDrawWid = 0;
  bool bSenHaba100 = false;         // derived from nMaxDrawWid on read
  std::int32_t nMaxDrawWidBak = 0;  // derived from nMaxDrawWid on read
  double DPPrtGenten_x = 0, DPPrtGenten_y = 0, dPrtBairitsu = 0;
  std::int32_t nPrtSet = 0, nMemoriMode = 0;
  double dMemoriHyoujiMin = 0, dMemoriX = 0, dMemoriY = 0, DpMemoriKjTen_x = 0, DpMemoriKjTen_y = 0;
  double dKageLevel = 0, dKageIdo = 0;
  std::int32_t nKage9_15JiFlg = 0;
  double dKabeKageLevel = 0, dTenkuuZuLevel = 0, dTenkuuZuEnkoR = 0;
  std::int32_t nMMTani3D = 0;
  double dBairitsu = 0, DPGenten_x = 0, DPGenten_y = 0, dHanniBairitsu = 0, DPHanniGenten_x = 0, DPHanniGenten_y = 0;
  std::array<double, kZoomJumps> dZoomJumpBairitsu{}, DPZoomJumpGenten_x{}, DPZoomJumpGenten_y{};
  std::array<std::int32_t, kZoomJumps> nZoomJumpGLay{};
  double dDm11 = 0, dDm12 = 0, dDm13 = 0;
  std::int32_t lnDm1 = 0;
  double dDm21 = 0, dDm22 = 0, dMojiBG = 0;
  std::int32_t nMojiBG = 0;
  std::array<double, 10> adFukusenSuuchi{};
  double dRyougawaFukusenTomeDe = 0;
  std::int32_t nDrawGamenTen = 0, nDrawPrtTen = 0, nBitMapFirstDraw = 0, nGyakuDraw = 0, nGyakuSearch = 0,
               nColorPrint = 0, nLayJunPrint = 0, nColJunPrint = 0, nPrtRenzoku = 0, nPrtKyoutsuuGray = 0,
               nPrtDispOnlyNonDraw = 0, nPrtDpi = 0, lnDrawTime = 0, nEyeInit = 0, dEye_H_Ichi_1 = 0, dEye_H_Ichi_2 = 0,
               dEye_H_Ichi_3 = 0;
  double dEye_Z_Ichi_1 = 0, dEye_Y_Ichi_1 = 0, dEye_Z_Ichi_2 = 0, dEye_Y_Ichi_2 = 0, dEye_V_Ichi_3 = 0,
         dSenNagasaSnpou = 0, dBoxSunpouX = 0, dBoxSunpouY = 0, dEnHankeiSnpou = 0;
  std::int32_t nSolidNinniColor = 0, SolidColor = 0;
  double dMojiSizeX = 0, dMojiSizeY = 0, dMojiKankaku = 0;
  std::int32_t nMojiColor = 0, nMojiShu = 0;
  double dMojiSeiriGyouKan = 0, dMojiSeiriSuu = 0;
  std::int32_t nMojiKijunZureOn = 0;
  double adMojiKijunZureX0 = 0, adMojiKijunZureX1 = 0, adMojiKijunZureX2 = 0, adMojiKijunZureY0 = 0,
         adMojiKijunZureY1 = 0, adMojiKijunZureY2 = 0;
  std::int32_t n1 = 0;  // objects declared by the entity list
  std::int32_t n2 = 0;  // block definitions declared
  // The two reserved areas as read (56 bytes after the layer groups, 4 bytes
  // before nMaxDrawWid). Jw_cad stores values there, so a save writes back
  // what was read; only a document that holds none gets the plain fill.
  std::optional<std::array<std::uint8_t, 56>> reserved56;
  std::optional<std::array<std::uint8_t, 4>> reserved4;
};

// The JWS header.
struct TEntJwsHeader {
  std::u16string jwID;
  std::int32_t jwVer = 0;
  double BasePoint_x = 0, BasePoint_y = 0;
  std::int32_t dmy01 = 0, dmy02 = 0, dmy03 = 0, dmy04 = 0, dmy05 = 0, dmy06 = 0;
  double dmy11 = 0, dmy12 = 0, dmy13 = 0, dmy14 = 0, dmy15 = 0, dmy16 = 0;
  double Mx1 = 0, My1 = 0, Mx2 = 0, My2 = 0;
  std::int32_t n1 = 0;
  std::int32_t n2 = 0;
};
