#include "documents/JwsUnit.h"

#include "support/Func_2.h"

namespace {

constexpr char kSignature[] = "JwsData";
constexpr std::size_t kSignatureBytes = 7;
constexpr std::size_t kFillerBytes = 193;
constexpr std::int32_t kMinVersion = 230;
constexpr std::int32_t kMaxVersion = 700;

bool ReadSignature(ByteReader& r, std::u16string& id) {
  std::uint8_t sig[kSignatureBytes] = {};
  r.Read(sig, sizeof sig);
  id = AnsiBytesToText(sig);
  return id == u"JwsData";
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
  if (Ver <= 230) return 230;
  return Ver == 300 ? 351 : Ver;
}

bool TJwsData::FileCheck(std::u16string_view FName) const {
  auto r = ByteReader::OpenFile(FName);
  if (!r) return false;
  std::u16string id;
  std::int32_t ver = 0;
  if (!ReadSignature(*r, id) || r->Skip(kFillerBytes) != kFillerBytes || r->Get(ver) != sizeof ver) return false;
  return ver >= kMinVersion && ver <= kMaxVersion;
}

bool TJwsData::ReadHeader(ArchiveIn& in) {
  ByteReader& r = in.reader();
  TEntJwsHeader& h = Enthd;
  EntLgrp.assign(16, {});
  if (!ReadSignature(r, h.jwID)) return false;  // "JWS-Header Error"
  r.Skip(kFillerBytes);
  r.Get(h.jwVer);
  if (h.jwVer < kMinVersion || h.jwVer > kMaxVersion) return false;  // "JWS-Version Error"
  r.Get(h.BasePoint_x);
  r.Get(h.BasePoint_y);
  for (TEntJwwLayerGroup& g : EntLgrp) {
    r.Get(g.adScale);
    g.anGLay = 2;
    g.anWriteLay = 0;
    g.anGLayProtect = 0;
    g.aStrGLayName.clear();
  }
  for (std::int32_t* v : {&h.dmy01, &h.dmy02, &h.dmy03, &h.dmy04, &h.dmy05, &h.dmy06}) r.Get(*v);
  for (double* v : {&h.dmy11, &h.dmy12, &h.dmy13, &h.dmy14, &h.dmy15, &h.dmy16, &h.Mx1, &h.My1, &h.Mx2}) r.Get(*v);
  return r.Get(h.My2) > 0;  // "File I/O Error" when nothing is left
}

bool TJwsData::SaveTo(ByteWriter& w, std::int32_t Ver) {
  // Only a load gives the 16 layer groups whose scales the header holds.
  if (EntLgrp.size() != 16) return false;
  const std::int32_t v = OutputVersion(Ver);
  TEntJwsHeader& h = Enthd;
  h.jwID = u"JwsData";
  ArchiveOut out(w, (FileOutOpt & kOutUtf16) != 0);
  w.Write(kSignature, kSignatureBytes);
  w.Fill('.', kFillerBytes);
  out.Put(v);
  out.Put(h.BasePoint_x);
  out.Put(h.BasePoint_y);
  for (const TEntJwwLayerGroup& g : EntLgrp) out.Put(g.adScale);
  for (std::int32_t d : {h.dmy01, h.dmy02, h.dmy03, h.dmy04, h.dmy05, h.dmy06}) out.Put(d);
  for (double d : {h.dmy11, h.dmy12, h.dmy13, h.dmy14, h.dmy15, h.dmy16, h.Mx1, h.My1, h.Mx2, h.My2}) out.Put(d);
  WriteBody(out, v, h.jwVer);
  return w.Flush();
}
