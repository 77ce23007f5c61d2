#include "documents/JwsUnit.h"

#include <cerrno>

#include "documents/JwFormat.h"
#include "support/Func_2.h"

namespace {

// The signature, the filler and the version that begin the file, read into
// Id and Ver; no fault when they are there and the version is accepted.
TJwError ReadStart(ByteReader& R, std::u16string& Id, std::int32_t& Ver) {
  std::uint8_t Sig[kJwsSignature.Size()] = {};
  const bool Whole = R.Read(Sig, sizeof Sig) == sizeof Sig;
  Id = AnsiBytesToText(Sig);
  if (!Whole || Id != kJwsSignature.Text()) return {TJwFault::NotOfFormat, 0, 0, "JWS"};
  if (R.Skip(kJwsFillerBytes) != kJwsFillerBytes || R.Get(Ver) != sizeof Ver)
    return {TJwFault::HeaderEndsEarly, R.Position()};
  if (!kJwsVersions.Holds(Ver)) return {TJwFault::VersionNotSupported, 0, Ver};
  return {};
}

}  // namespace

TJwsData::TJwsData() { DataInit(); }

void TJwsData::DataInit() {
  Enthd = TEntJwsHeader{};
  EntLgrp.clear();
  EntMoj.clear();
  BodyInit();
}

std::int32_t TJwsData::OutputVersion(std::int32_t Ver) {
  if (Ver <= kJwsVersions.Min) return kJwsVersions.Min;
  return Ver == kJwsVerSavedAsPenWidth ? kVerPenWidth : Ver;
}

bool TJwsData::FileCheck(std::u16string_view FName) const {
  auto R = ByteReader::OpenFile(FName);
  if (!R) return Fail({TJwFault::CannotOpen, 0, errno});
  std::u16string Id;
  std::int32_t Ver = 0;
  const TJwError E = ReadStart(*R, Id, Ver);
  if (E) return Fail(ReasonOf(E, *R));
  ClearError();
  return true;
}

bool TJwsData::ReadHeader(ArchiveIn& In) {
  ByteReader& R = In.reader();
  TEntJwsHeader& H = Enthd;
  EntLgrp.assign(kLayerGroups, {});
  if (TJwError E = ReadStart(R, H.jwID, H.jwVer)) return Fail(ReasonOf(E, R));
  R.Get(H.BasePoint_x);
  R.Get(H.BasePoint_y);
  for (TEntJwwLayerGroup& G : EntLgrp) {
    R.Get(G.adScale);
    G.anGLay = 2;
    G.anWriteLay = 0;
    G.anGLayProtect = 0;
    G.aStrGLayName.clear();
  }
  for (std::int32_t* V : {&H.dmy01, &H.dmy02, &H.dmy03, &H.dmy04, &H.dmy05, &H.dmy06}) R.Get(*V);
  for (double* V : {&H.dmy11, &H.dmy12, &H.dmy13, &H.dmy14, &H.dmy15, &H.dmy16, &H.Mx1, &H.My1, &H.Mx2}) R.Get(*V);
  if (R.Get(H.My2) == 0) return Fail(ReasonOf({TJwFault::HeaderEndsEarly, R.Position()}, R));
  return true;
}

bool TJwsData::SaveTo(ByteWriter& W, std::int32_t Ver) {
  ClearError();
  // Only a load gives the 16 layer groups whose scales the header holds.
  if (EntLgrp.size() != kLayerGroups) return Fail({TJwFault::NotLoaded});
  const std::int32_t V = OutputVersion(Ver);
  TEntJwsHeader& H = Enthd;
  H.jwID = kJwsSignature.Text();
  ArchiveOut Out(W, (FileOutOpt & kOutUtf16) != 0);
  W.Write(kJwsSignature.Bytes().data(), kJwsSignature.Size());
  W.Fill('.', kJwsFillerBytes);
  Out.Put(V);
  Out.Put(H.BasePoint_x);
  Out.Put(H.BasePoint_y);
  for (const TEntJwwLayerGroup& G : EntLgrp) Out.Put(G.adScale);
  for (std::int32_t D : {H.dmy01, H.dmy02, H.dmy03, H.dmy04, H.dmy05, H.dmy06}) Out.Put(D);
  for (double D : {H.dmy11, H.dmy12, H.dmy13, H.dmy14, H.dmy15, H.dmy16, H.Mx1, H.My1, H.Mx2, H.My2}) Out.Put(D);
  WriteBody(Out, V, H.jwVer);
  return W.Flush();
}
