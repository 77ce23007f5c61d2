// The reason a failed check, load or save keeps: for cut and damaged files
// the words and the offset where reading stopped, for the system's refusals
// its error, on all four document classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "common/TestSupport.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"
#include "documents/LegacyHeaderFixtures.h"

using namespace jwfix;
namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;

namespace {

ByteVec Prefix(const ByteVec& B, std::size_t N) { return ByteVec(B.begin(), B.begin() + static_cast<long>(N)); }

std::size_t Find(const ByteVec& B, std::string_view Text) {
  const auto It = std::search(B.begin(), B.end(), Text.begin(), Text.end());
  EXPECT_NE(It, B.end()) << Text;
  return static_cast<std::size_t>(It - B.begin());
}

ByteVec Replaced(ByteVec B, std::string_view From, std::string_view To) {
  std::memcpy(B.data() + Find(B, From), To.data(), To.size());
  return B;
}

ByteVec WithVersion(ByteVec B, std::size_t At, std::int32_t Ver) {
  std::memcpy(B.data() + At, &Ver, sizeof Ver);
  return B;
}

template <class TDoc>
std::string LoadReason(const ByteVec& Bytes) {
  TDoc Doc;
  ByteReader R{std::span<const std::uint8_t>(Bytes)};
  if (Doc.LoadFrom(R)) return "loaded";
  return Describe(Doc.LastError());
}

std::string At(std::size_t Offset) { return " at offset " + std::to_string(Offset); }

TEST(LoadReasons, CutAndDamagedDrawings) {
  const Drawing D = CanonicalDrawing(600);
  const ByteVec& B = D.bytes;
  const std::size_t Sen = Find(B, "CDataSen") - 6;   // the tag begins before schema and length
  const std::size_t Def = Find(B, "CDataList") + 9;  // the first definition's record
  struct Case {
    const char* Name;
    ByteVec Bytes;
    std::string Reason;
  };
  const Case Cases[] = {
      {"empty", {}, "not a JWW file"},
      {"cut in the signature", Prefix(B, 5), "not a JWW file"},
      {"another signature", Replaced(B, "JwwData.", "JwsData."), "not a JWW file"},
      {"cut in the version", Prefix(B, 10), "the header ends early" + At(10)},
      {"version too new", WithVersion(B, 8, 710), "version 710 is not supported"},
      {"version too old", WithVersion(B, 8, 219), "version 219 is not supported"},
      {"cut in the header", Prefix(B, D.headerEnd / 2), "the header ends early" + At(D.headerEnd / 2)},
      // The header's last value read in part is taken, as readers are tolerant.
      {"cut in the header's last value", Prefix(B, D.headerEnd - 3),
       "the entity list ends early" + At(D.headerEnd - 3)},
      {"no entity count", Prefix(B, D.headerEnd), "the entity list ends early" + At(D.headerEnd)},
      {"cut in a record", Prefix(B, Sen + 20), "the entity list ends early" + At(Sen + 20)},
      {"cut in a class name", Prefix(B, Sen + 9), "the entity list ends early" + At(Sen + 9)},
      {"cut in the block definitions", Prefix(B, Def + 4), "the block definitions end early" + At(Def + 4)},
      {"unknown record type", Replaced(B, "CDataSen", "CDataXyz"), "an unknown record type \"CDataXyz\"" + At(Sen)},
      {"unprintable class name", Replaced(B, "CDataSen", "CData\x01\"\\"),
       "an unknown record type \"CData\\x01\\x22\\x5C\"" + At(Sen)},
      {"whole", B, "loaded"},
  };
  for (const Case& C : Cases) EXPECT_EQ(LoadReason<TJwwData>(C.Bytes), C.Reason) << C.Name;
}

TEST(LoadReasons, CutAndDamagedFigures) {
  JwFile F(420);
  WriteJwsHeader(F, CanonicalJwsHeader());
  const std::size_t HeaderEnd = F.bytes().size();
  WriteCanonicalBody(F);
  const ByteVec& B = F.bytes();
  struct Case {
    const char* Name;
    ByteVec Bytes;
    std::string Reason;
  };
  const Case Cases[] = {
      {"a drawing's signature", Replaced(B, "JwsData", "JwwData"), "not a JWS file"},
      {"cut in the filler", Prefix(B, 100), "the header ends early" + At(100)},
      {"version too new", WithVersion(B, 200, 800), "version 800 is not supported"},
      {"cut in the header", Prefix(B, HeaderEnd - 8), "the header ends early" + At(HeaderEnd - 8)},
      {"no entity count", Prefix(B, HeaderEnd), "the entity list ends early" + At(HeaderEnd)},
      {"whole", B, "loaded"},
  };
  for (const Case& C : Cases) EXPECT_EQ(LoadReason<TJwsData>(C.Bytes), C.Reason) << C.Name;
}

// The checks of the file list and the batch run, the loads from a path and
// the saves keep their reason too; success leaves none.
TEST(LoadReasons, ChecksLoadsAndSavesOfFiles) {
  TempDir Dir;
  const ByteVec Jww = CanonicalDrawing(600).bytes;
  WriteFileBytes(Dir / "a.jww", Jww);
  WriteFileBytes(Dir / "v710.jww", WithVersion(Jww, 8, 710));
  WriteFileBytes(Dir / "text.jws", {'n', 'o'});
  fs::create_directory(Dir / "folder.jww");
  using legacyfixtures::Concat;
  using legacyfixtures::NumberRecord;
  using legacyfixtures::TitleRecord;
  const Bytes Jwc = Concat({TitleRecord(legacyfixtures::kJwcSignatureBytes, "a", "b"), NumberRecord("1")});
  WriteFileBytes(Dir / "short.jwc", Prefix(Jwc, 300));
  WriteFileBytes(Dir / "sym.jwk",
                 Concat({TitleRecord(legacyfixtures::kJwkSignatureBytes, "a", "b"), NumberRecord("1")}));

  TJwwData JWW;
  TJwsData JWS;
  TJwcData JWC;
  TJwkData JWK;
  struct Case {
    const char* Name;
    std::function<bool()> Run;
    const TJwLastError& Doc;
    std::string Reason;
  };
  const Case Cases[] = {
      {"check of a missing file", [&] { return JWW.FileCheck(U16(Dir / "none.jww")); }, JWW,
       "cannot open the file: No such file or directory"},
      {"check of a folder", [&] { return JWW.FileCheck(U16(Dir / "folder.jww")); }, JWW,
       "cannot open the file: Is a directory"},
      {"check of a new version", [&] { return JWW.FileCheck(U16(Dir / "v710.jww")); }, JWW,
       "version 710 is not supported"},
      {"check of a drawing", [&] { return JWW.FileCheck(U16(Dir / "a.jww")); }, JWW, ""},
      {"check of a text", [&] { return JWS.FileCheck(U16(Dir / "text.jws")); }, JWS, "not a JWS file"},
      {"header of a missing file", [&] { return JWS.FileHeaderIn(U16(Dir / "none.jws")); }, JWS,
       "cannot open the file: No such file or directory"},
      {"load of a missing file", [&] { return JWW.FileIn(U16(Dir / "none.jww")); }, JWW,
       "cannot open the file: No such file or directory"},
      {"load of a new version", [&] { return JWW.FileIn(U16(Dir / "v710.jww")); }, JWW, "version 710 is not supported"},
      {"save of a document never loaded", [&] { return JWS.FileOut(U16(Dir / "out.jws"), 420); }, JWS,
       "the document was not loaded whole"},
      {"load", [&] { return JWW.FileIn(U16(Dir / "a.jww")); }, JWW, ""},
      {"save into a missing folder", [&] { return JWW.FileOut(U16(Dir / "none" / "out.jww"), 600); }, JWW,
       "cannot write the destination: No such file or directory"},
      {"save over a folder", [&] { return JWW.FileOut(U16(Dir / "folder.jww"), 600); }, JWW,
       "cannot write the destination: Is a directory"},
      {"save", [&] { return JWW.FileOut(U16(Dir / "out.jww"), 600); }, JWW, ""},
      {"check of a figure as a JWC file", [&] { return JWC.FileCheck(U16(Dir / "sym.jwk")); }, JWC, "not a JWC file"},
      {"JWC header cut", [&] { return JWC.FileHeaderIn(U16(Dir / "short.jwc")); }, JWC,
       "the header ends early" + At(300)},
      {"JWK header of a missing file", [&] { return JWK.FileHeaderIn(U16(Dir / "none.jwk")); }, JWK,
       "cannot open the file: No such file or directory"},
      {"JWK check", [&] { return JWK.FileCheck(U16(Dir / "sym.jwk")); }, JWK, ""},
  };
  for (const Case& C : Cases) {
    const bool Ok = C.Run();
    EXPECT_EQ(Ok, C.Reason.empty()) << C.Name;
    EXPECT_EQ(Describe(C.Doc.LastError()), C.Reason) << C.Name;
  }
  // A reset of the content keeps the reason for the owner to read.
  EXPECT_FALSE(JWW.FileIn(U16(Dir / "v710.jww")));
  JwwDataFree(JWW);
  EXPECT_EQ(Describe(JWW.LastError()), "version 710 is not supported");
}

}  // namespace
