#include "documents/JwkUnit.h"

#include <algorithm>
#include <cmath>

#include "documents/JwcRecords.h"

using namespace jwcrecords;

namespace {

constexpr std::u16string_view kJwkSignature = u"jw_cad(c)sym........";
constexpr int kHeaderRecords = 2;
constexpr int kNumberFields = 9;

std::uint16_t Tenths(double Millimetres) { return static_cast<std::uint16_t>(std::lround(Millimetres * 10)); }

}  // namespace

TJwkData::TJwkData() { DataInit(); }

void TJwkData::DataInit() {
  Enthd = TEntJwkHeader{};
  lineN = arcN = tenN = mojiN = 0;
  EntLine.clear();
  EntArc.clear();
  EntTen.clear();
  EntMoji.clear();
  EntMjtp.assign(kMojiTypes, TEntJwcMojiType{});
  for (int K = 0; K < kJwcMojiTypeDefaults; ++K) {
    const TJwcMojiTypeDefault& D = JwcMojiTypeDef[K];
    EntMjtp[K + 1] = {D.penNo, Tenths(D.width), Tenths(D.height), Tenths(D.dist)};
  }
}

void TJwkData::DataFree() {
  DataInit();
  EntMjtp.clear();
}

bool TJwkData::FileCheck(const std::u16string& FName) { return FileHasSignature(FName, kJwkSignature); }

bool TJwkData::FileHeaderIn(const std::u16string& FName) {
  std::vector<std::uint8_t> Head;
  if (ReadHeaderBytes(FName, kHeaderRecords, Head)) return HeaderFrom(Head);
  DataInit();
  return false;
}

bool TJwkData::HeaderFrom(std::span<const std::uint8_t> Bytes) {
  DataInit();
  return ReadHeader(Bytes.first(std::min(Bytes.size(), kRecordSize * kHeaderRecords)));
}

void TJwkData::SplitPara(const std::u16string& Text, int N) { Enthd.para = SplitFields(Text, N); }

bool TJwkData::ReadHeader(std::span<const std::uint8_t> Head) {
  RecordReader In(Head);
  if (!In.Next()) return false;
  DecodeTitle(In.Record(), Enthd.jwID, Enthd.comment1, Enthd.comment2);

  if (!In.Next()) return false;
  SplitPara(DecodeNumbers(In.Record()), kNumberFields);
  TEntJwkHeader& H = Enthd;
  const std::vector<std::u16string>& P = H.para;
  H.lineCount = FieldInt(P[0]);
  H.arcCount = FieldInt(P[1]);
  H.tenCount = FieldInt(P[2]);
  H.mojiCount = FieldInt(P[3]);
  H.org_x = FieldSingle(P[4]);
  H.org_y = FieldSingle(P[5]);
  H.dispScale = FieldSingle(P[6]);
  H.strSpace = FieldInt(P[7]);
  H.scale = FieldSingle(P[8]);
  if (H.scale <= 1e-14) H.scale = 1.0f;
  H.para.clear();
  return true;
}
