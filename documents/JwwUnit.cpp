#include "documents/JwwUnit.h"

#include "support/Func_2.h"

TJwwData::TJwwData() { DataInit(); }

void TJwwData::DataInit() {
  Enthd = TEntJwwHeader{};
  TEntJwwHeader& H = Enthd;
  H.dPrtBairitsu = H.dMemoriHyoujiMin = H.dMemoriX = H.dMemoriY = H.dBairitsu = H.dHanniBairitsu = 1.0;
  H.dZoomJumpBairitsu.fill(1.0);
  H.nZoomJumpGLay.fill(-1);
  EntLgrp.clear();
  EntLay.clear();
  EntCol.clear();
  EntLtp1.clear();
  EntLtp2.clear();
  EntLtp3.clear();
  EntColS.clear();
  EntLtpS.clear();
  EntMoj.clear();
  BodyInit();
}

bool TJwwData::FileCheck(std::u16string_view FName) const {
  auto R = ByteReader::OpenFile(FName);
  if (!R) return false;
  std::uint8_t Sig[8] = {};
  std::int32_t Ver = 0;
  if (R->Read(Sig, sizeof Sig) != sizeof Sig || R->Get(Ver) != sizeof Ver) return false;
  return AnsiBytesToText(Sig) == u"JwwData." && Ver >= 220 && Ver <= 700;
}

bool TJwwData::SaveTo(ByteWriter& W, std::int32_t Ver) {
  // The header writer needs the fixed-length tables that only a load gives.
  if (EntLgrp.size() != 16 || EntLay.size() != 256 || EntCol.size() != 10 || EntLtp1.size() != 8 ||
      EntLtp2.size() != 5 || EntLtp3.size() != 4 || EntColS.size() != 257 || EntLtpS.size() != 33 ||
      EntMoj.size() != 10)
    return false;
  Enthd.jwID = u"JwwData.";
  ArchiveOut Out(W, (FileOutOpt & kOutUtf16) != 0);
  WriteHeader(Out, Ver);
  WriteBody(Out, Ver, Enthd.jwVer);
  if (Ver >= 700 && !WriteImages(Out)) return false;
  return W.Flush();
}

void JwwDataFree(TJwwData& JWW) {
  JWW.BindImageDeleteGzFile();
  JWW.BindImageDeleteNonGzFile();
  JWW.DataFree();
  JWW.BindImageInit();
}
