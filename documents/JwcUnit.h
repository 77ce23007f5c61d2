// JWC drawings of the DOS generation of Jw_cad: recognised and their header
// read for the file list; the drawing itself is never read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "documents/JwDosDocument.h"
#include "documents/jwctype.h"

// The header: a record of texts, then three records of comma-separated
// numbers (fields noted as record:field).
struct TEntJwcHeader {
  std::u16string jwID;      // record 1, bytes 0-39; the first 20 are the signature
  std::u16string comment1;  // record 1, bytes 40-71
  std::u16string comment2;  // record 1, bytes 72-103
  bool scaleF = true;       // character 23 of jwID is "f"
  // Record 2.
  std::int32_t lineCount = 0, arcCount = 0, mojiCount = 0, tenCount = 0, vtenCount = 0;
  std::int32_t curFno = 1, curMfno = 1, curMlcol = 1, curMpcol = 1;
  float wLayScale = 1.0f;
  std::int32_t wLayNo = 0;
  std::int32_t psize = 3;  // paper size code
  std::int32_t lcol = 2, ltyp = 1;
  float plotOrgX = 0, plotOrgY = 0, lpitch1 = 5.0f, lpitch2 = 10.0f;
  std::int32_t drawtime = 0;
  std::array<std::int32_t, 6> penWidth{};
  float gridX = 5.0f, gridY = 5.0f, gridOrgX = 0, gridOrgY = 0, gridScale = 0;
  std::int32_t drawWidth = 518;  // 0 in the file reads as 518
  std::int32_t flgPthin = 0;
  // Record 3.
  float mvDist = 0, mtDist = 0, arLen = 3.0f, arAng = 15.0f;
  std::int32_t locMR = 0, flgMconma = 0, flgMzeros = 0, typLside = 0, mvUnit = 0, mvKeta = 1;
  float sOfsetXL = 0, sOfsetXM = 0, sOfsetXR = 0, sOfsetYD = 0, sOfsetYM = 0, sOfsetYT = 0;
  std::int32_t s1len = 0, sOrgXm = 0, sOrgYm = 0;
  float dlinDistB = 100.0f;
  std::array<float, 5> dlinDist{100.0f, 100.0f, 100.0f, 100.0f, 100.0f};
  float svScrnOX = 0, svScrnOY = 0, svScrnScl = 1.0f;
  // Record 4.
  std::int32_t sBufAdr1 = 0x60000, sBufAdr2 = 0x60000;  // from segment:offset texts
  float subZm0X = 0, subZm0Y = 0, subZm0S = 0, subZm1X = 0, subZm1Y = 0, subZm1S = 0, subZm2X = 0, subZm2Y = 0,
        subZm2S = 0, subZm3X = 0, subZm3Y = 0, subZm3S = 0, subZm4X = 0, subZm4Y = 0, subZm4S = 0;
  float hiIdo = 0, hiHi = 0, hiTaka = 0;
  std::int32_t flgHok = 0, flg25Dm = 0;
  // Fields of the record being parsed; empty between records.
  std::vector<std::u16string> para;
  // Paper length / drawWidth.
  float dataUnit = 1.0f;
};

class TJwcData : public TJwDosDocument<TEntJwcHeader> {
 public:
  TJwcData();

  void DataInit() override;

  std::int32_t lineN = 0, arcN = 0, mojiN = 0, tenN = 0;
  std::vector<TEntJwcVten> EntVten;
  std::vector<TEntJwcMojiType> EntMjtp;
  std::vector<TEntJwcLayerGroup> EntLgrp;
  std::vector<TEntJwcLayer> EntLay;
  std::vector<TEntJwcLine> EntLine;
  std::vector<TEntJwcArc2> EntArc;
  std::vector<TEntJwcMoji2> EntMoji;
  std::vector<TEntJwcTen> EntTen;

 protected:
  bool ReadHeader(jwcrecords::RecordReader& In) override;

 private:
  void ConvertRecord2();
  void ConvertRecord3();
  void ConvertRecord4();
};
