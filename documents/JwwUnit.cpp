#include "documents/JwwUnit.h"

#include <cerrno>

#include "documents/JwFormat.h"
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
  if (!R) return Fail({TJwFault::CannotOpen, 0, errno});
  std::u16string Id;
  std::int32_t Ver = 0;
  const TJwError E = ReadStart(*R, Id, Ver);
  if (E) return Fail(ReasonOf(E, *R));
  ClearError();
  return true;
}

bool TJwwData::SaveTo(ByteWriter& W, std::int32_t Ver) {
  ClearError();
  // The header writer needs the fixed-length tables that only a load gives.
  if (!HeaderTablesSized()) return Fail({TJwFault::NotLoaded});
  Enthd.jwID = kJwwSignature.Text();
  ArchiveOut Out(W, (FileOutOpt & kOutUtf16) != 0);
  WriteHeader(Out, Ver);
  WriteBody(Out, Ver, Enthd.jwVer);
  if (Ver >= kVerBoundImages && !WriteImages(Out)) return false;
  return W.Flush();
}

void JwwDataFree(TJwwData& JWW) {
  JWW.BindImageDeleteGzFile();
  JWW.BindImageDeleteNonGzFile();
  JWW.DataFree();
  JWW.BindImageInit();
}
