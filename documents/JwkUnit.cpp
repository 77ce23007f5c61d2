#include "documents/JwkUnit.h"

#include <cmath>

using namespace jwcrecords;

namespace {

constexpr int kHeaderRecords = 2;
constexpr int kNumberFields = 9;

std::uint16_t Tenths(double Millimetres) { return static_cast<std::uint16_t>(std::lround(Millimetres * 10)); }

}  // namespace

TJwkData::TJwkData() : TJwDosDocument(kJwkSignature, "JWK", kHeaderRecords) { DataInit(); }

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

bool TJwkData::ReadHeader(RecordReader& In) {
  if (!ReadTitle(In) || !ReadNumbers(In, kNumberFields)) return false;
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
