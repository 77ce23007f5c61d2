#include "documents/JwwUnit.h"

#include "support/Func_2.h"

TJwwData::TJwwData() { DataInit(); }

void TJwwData::DataInit() {
  Enthd = TEntJwwHeader{};
  TEntJwwHeader& h = Enthd;
  h.dPrtBairitsu = h.dMemoriHyoujiMin = h.dMemoriX = h.dMemoriY = h.dBairitsu = h.dHanniBairitsu = 1.0;
  h.dZoomJumpBairitsu.fill(1.0);
  h.nZoomJumpGLay.fill(-1);
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
  auto r = ByteReader::OpenFile(FName);
  if (!r) return false;
  std::uint8_t sig[8] = {};
  std::int32_t ver = 0;
  if (r->Read(sig, sizeof sig) != sizeof sig || r->Get(ver) != sizeof ver) return false;
  return AnsiBytesToText(sig) == u"JwwData." && ver >= 220 && ver <= 700;
}

bool TJwwData::SaveTo(ByteWriter& w, std::int32_t Ver) {
  // The header writer needs the fixed-length tables that only a load gives.
  if (EntLgrp.size() != 16 || EntLay.size() != 256 || EntCol.size() != 10 || EntLtp1.size() != 8 ||
      EntLtp2.size() != 5 || EntLtp3.size() != 4 || EntColS.size() != 257 || EntLtpS.size() != 33 ||
      EntMoj.size() != 10)
    return false;
  Enthd.jwID = u"JwwData.";
  ArchiveOut out(w, (FileOutOpt & kOutUtf16) != 0);
  WriteHeader(out, Ver);
  WriteBody(out, Ver, Enthd.jwVer);
  if (Ver >= 700 && !WriteImages(out)) return false;
  return w.Flush();
}

void JwwDataFree(TJwwData& JWW) {
  JWW.BindImageDeleteGzFile();
  JWW.BindImageDeleteNonGzFile();
  JWW.DataFree();
  JWW.BindImageInit();
}
