#include "documents/FileInfo.h"

#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

JwFileKind FileKindOf(std::u16string_view FileName) {
  const std::u16string E = FileExtLower(FileName);
  if (E == u".jww" || E == u".bak" || E == u".jw$" || (E >= u".bk1" && E <= u".bk9")) return JwFileKind::Jww;
  if (E == u".jws") return JwFileKind::Jws;
  if (E == u".jwc") return JwFileKind::Jwc;
  if (E == u".jwk") return JwFileKind::Jwk;
  return JwFileKind::Other;
}

namespace {

template <class TDoc>
bool ReadHeaderOf(TDoc& Doc, std::u16string_view FileName) {
  return Doc.FileCheck(FileName) && Doc.FileHeaderIn(FileName);
}

// The two comment lines of a DOS-era header as one memo.
template <class TDoc>
std::u16string DosMemo(const TDoc& Doc) {
  return StripBlanks(CleanOutText(Doc.Enthd.comment1 + u" " + Doc.Enthd.comment2));
}

}  // namespace

void FileInfoGet(std::u16string_view FileName, TJwwData& JWW, TJwsData& JWS, TJwcData& JWC, TJwkData& JWK,
                 std::u16string& Version, std::u16string& Memo) {
  Version.clear();
  Memo.clear();
  switch (FileKindOf(FileName)) {
    case JwFileKind::Jww:
      if (ReadHeaderOf(JWW, FileName)) {
        Version = IntToText(JWW.Enthd.jwVer);
        Memo = StripBlanks(CleanOutText(JWW.Enthd.strMemo));
      }
      break;
    case JwFileKind::Jws:
      if (ReadHeaderOf(JWS, FileName)) Version = IntToText(JWS.Enthd.jwVer);
      break;
    case JwFileKind::Jwc:
      if (ReadHeaderOf(JWC, FileName)) {
        Version = u"DOS";
        Memo = DosMemo(JWC);
      }
      break;
    case JwFileKind::Jwk:
      if (ReadHeaderOf(JWK, FileName)) {
        Version = u"DOS";
        Memo = DosMemo(JWK);
      }
      break;
    case JwFileKind::Other: break;
  }
}
