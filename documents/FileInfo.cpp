#include "documents/FileInfo.h"

#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

JwFileKind FileKindOf(std::u16string_view FileName) {
  const std::u16string e = FileExtLower(FileName);
  if (e == u".jww" || e == u".bak" || e == u".jw$" || (e >= u".bk1" && e <= u".bk9")) return JwFileKind::Jww;
  if (e == u".jws") return JwFileKind::Jws;
  if (e == u".jwc") return JwFileKind::Jwc;
  if (e == u".jwk") return JwFileKind::Jwk;
  return JwFileKind::Other;
}

namespace {

template <class Doc>
bool ReadHeaderOf(Doc& doc, const std::u16string& FileName) {
  return doc.FileCheck(FileName) && doc.FileHeaderIn(FileName);
}

// The two comment lines of a DOS-era header as one memo.
template <class Doc>
std::u16string DosMemo(const Doc& doc) {
  return StripBlanks(CleanOutText(doc.Enthd.comment1 + u" " + doc.Enthd.comment2));
}

}  // namespace

void FileInfoGet(std::u16string_view FileName, TJwwData& JWW, TJwsData& JWS, TJwcData& JWC, TJwkData& JWK,
                 std::u16string& Version, std::u16string& Memo) {
  Version.clear();
  Memo.clear();
  const std::u16string name(FileName);
  switch (FileKindOf(name)) {
    case JwFileKind::Jww:
      if (ReadHeaderOf(JWW, name)) {
        Version = IntToText(JWW.Enthd.jwVer);
        Memo = StripBlanks(CleanOutText(JWW.Enthd.strMemo));
      }
      break;
    case JwFileKind::Jws:
      if (ReadHeaderOf(JWS, name)) Version = IntToText(JWS.Enthd.jwVer);
      break;
    case JwFileKind::Jwc:
      if (ReadHeaderOf(JWC, name)) {
        Version = u"DOS";
        Memo = DosMemo(JWC);
      }
      break;
    case JwFileKind::Jwk:
      if (ReadHeaderOf(JWK, name)) {
        Version = u"DOS";
        Memo = DosMemo(JWK);
      }
      break;
    case JwFileKind::Other: break;
  }
}
