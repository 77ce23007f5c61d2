// What the file list shows of a Jw_cad file: the format its extension names,
// and the version and memo its header holds.
#pragma once

#include <string>
#include <string_view>

class TJwwData;
class TJwsData;
class TJwcData;
class TJwkData;

enum class JwFileKind { Other, Jww, Jws, Jwc, Jwk };

// JWW drawings also go by their backup extensions ".bak", ".jw$" and ".bk1"
// up to ".bk9" (and longer ones such as ".bk10").
JwFileKind FileKindOf(std::u16string_view FileName);

// Version is the header's version in decimal ("DOS" for JWC and JWK files)
// and Memo the memo on one line without blanks; both are empty when the file
// is not of its extension's format. Only headers are read.
void FileInfoGet(std::u16string_view FileName, TJwwData& JWW, TJwsData& JWS, TJwcData& JWC, TJwkData& JWK,
                 std::u16string& Version, std::u16string& Memo);
