#include "documents/JwcUnit.h"

#include <utility>

using namespace jwcrecords;

namespace {

constexpr int kHeaderRecords = 4;

// Paper length in millimetres for a paper size code; drawWidth itself for an
// unknown code, so that dataUnit becomes 1.0.
double PaperLength(std::int32_t Psize, std::int32_t DrawWidth) {
  switch (Psize) {
    case 0: return 1189;
    case 1: return 841;
    case 2: return 594;
    case 3: return 420;
    case 4: return 297;
    case 8: return 1682;
    case 9: return 2378;
    case 10: return 3364;
    case 11: return 4756;
    case 12: return 10000;
    case 13: return 50000;
    case 14: return 100000;
    default: return DrawWidth;
  }
}

}  // namespace

TJwcData::TJwcData() : TJwDosDocument(kJwcSignature, "JWC", kHeaderRecords) { DataInit(); }

void TJwcData::DataInit() {
  Enthd = TEntJwcHeader{};
  lineN = arcN = mojiN = tenN = 0;
  EntVten.clear();
  EntMjtp.clear();
  EntLgrp.clear();
  EntLay.clear();
  EntLine.clear();
  EntArc.clear();
  EntMoji.clear();
  EntTen.clear();
}

bool TJwcData::ReadHeader(RecordReader& In) {
  if (!ReadTitle(In)) return false;
  Enthd.scaleF = Enthd.jwID.size() > 22 && Enthd.jwID[22] == u'f';

  const std::pair<int, void (TJwcData::*)()> NumberRecords[] = {
      {32, &TJwcData::ConvertRecord2}, {28, &TJwcData::ConvertRecord3}, {22, &TJwcData::ConvertRecord4}};
  for (const auto& [Fields, Convert] : NumberRecords) {
    if (!ReadNumbers(In, Fields)) return false;
    (this->*Convert)();
    Enthd.para.clear();
  }
  Enthd.dataUnit = static_cast<float>(PaperLength(Enthd.psize, Enthd.drawWidth) / Enthd.drawWidth);
  return true;
}

void TJwcData::ConvertRecord2() {
  TEntJwcHeader& H = Enthd;
  const std::vector<std::u16string>& P = H.para;
  H.lineCount = FieldInt(P[0]);
  H.arcCount = FieldInt(P[1]);
  H.mojiCount = FieldInt(P[2]);
  H.tenCount = FieldInt(P[3]);
  H.vtenCount = FieldInt(P[4]);
  H.curFno = FieldInt(P[5]);
  H.curMfno = FieldInt(P[6]);
  H.curMlcol = FieldInt(P[7]);
  H.curMpcol = FieldInt(P[8]);
  H.wLayScale = FieldSingle(P[9]);
  H.wLayNo = FieldInt(P[10]);
  H.psize = FieldInt(P[11]);
  H.lcol = FieldInt(P[12]);
  H.ltyp = FieldInt(P[13]);
  H.plotOrgX = FieldSingle(P[14]);
  H.plotOrgY = FieldSingle(P[15]);
  H.lpitch1 = FieldSingle(P[16]);
  H.lpitch2 = FieldSingle(P[17]);
  H.drawtime = FieldInt(P[18]);
  for (int K = 0; K < 6; ++K) H.penWidth[K] = FieldInt(P[19 + K]);
  H.gridX = FieldSingle(P[25]);
  H.gridY = FieldSingle(P[26]);
  H.gridOrgX = FieldSingle(P[27]);
  H.gridOrgY = FieldSingle(P[28]);
  H.gridScale = FieldSingle(P[29]);
  H.drawWidth = FieldInt(P[30]);
  if (H.drawWidth == 0) H.drawWidth = 518;
  H.flgPthin = FieldInt(P[31]);
}

void TJwcData::ConvertRecord3() {
  TEntJwcHeader& H = Enthd;
  const std::vector<std::u16string>& P = H.para;
  H.mvDist = FieldSingle(P[0]);
  H.mtDist = FieldSingle(P[1]);
  H.arLen = FieldSingle(P[2]);
  H.arAng = FieldSingle(P[3]);
  H.locMR = FieldInt(P[4]);
  H.flgMconma = FieldInt(P[5]);
  H.flgMzeros = FieldInt(P[6]);
  H.typLside = FieldInt(P[7]);
  H.mvUnit = FieldInt(P[8]);
  H.mvKeta = FieldInt(P[9]);
  H.sOfsetXL = FieldSingle(P[10]);
  H.sOfsetXM = FieldSingle(P[11]);
  H.sOfsetXR = FieldSingle(P[12]);
  H.sOfsetYD = FieldSingle(P[13]);
  H.sOfsetYM = FieldSingle(P[14]);
  H.sOfsetYT = FieldSingle(P[15]);
  H.s1len = FieldInt(P[16]);
  H.sOrgXm = FieldInt(P[17]);
  H.sOrgYm = FieldInt(P[18]);
  H.dlinDistB = FieldSingle(P[19]);
  for (int K = 0; K < 5; ++K) H.dlinDist[K] = FieldSingle(P[20 + K]);
  H.svScrnOX = FieldSingle(P[25]);
  H.svScrnOY = FieldSingle(P[26]);
  H.svScrnScl = FieldSingle(P[27]);
}

void TJwcData::ConvertRecord4() {
  TEntJwcHeader& H = Enthd;
  const std::vector<std::u16string>& P = H.para;
  H.sBufAdr1 = FieldAddress(P[0]);
  H.sBufAdr2 = FieldAddress(P[1]);
  H.subZm0X = FieldSingle(P[2]);
  H.subZm0Y = FieldSingle(P[3]);
  H.subZm0S = FieldSingle(P[4]);
  H.subZm1X = FieldSingle(P[5]);
  H.subZm1Y = FieldSingle(P[6]);
  H.subZm1S = FieldSingle(P[7]);
  H.subZm2X = FieldSingle(P[8]);
  H.subZm2Y = FieldSingle(P[9]);
  H.subZm2S = FieldSingle(P[10]);
  H.subZm3X = FieldSingle(P[11]);
  H.subZm3Y = FieldSingle(P[12]);
  H.subZm3S = FieldSingle(P[13]);
  H.subZm4X = FieldSingle(P[14]);
  H.subZm4Y = FieldSingle(P[15]);
  H.subZm4S = FieldSingle(P[16]);
  H.hiIdo = FieldSingle(P[17]);
  H.hiHi = FieldSingle(P[18]);
  H.hiTaka = FieldSingle(P[19]);
  H.flgHok = FieldInt(P[20]);
  H.flg25Dm = FieldInt(P[21]);
}
