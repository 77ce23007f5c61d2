// Bad input: drawings cut at every length and hostile counts end a load
// quickly, without reserving more than the data can hold.
#include <gtest/gtest.h>

#include <algorithm>

#include "documents/JwsUnit.h"
#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"

using namespace jwfix;

namespace {

// Loads every prefix of bytes; within the header only every headerStep-th.
template <class TDoc>
void LoadEveryPrefix(const ByteVec& Bytes, std::size_t HeaderEnd, const char* What, std::size_t HeaderStep = 1) {
  TDoc Doc;
  Doc.BindImageExr = true;  // read the image list, write no files
  for (std::size_t N = 0; N <= Bytes.size(); N += N < HeaderEnd ? HeaderStep : 1) {
    ByteReader R{std::span<const std::uint8_t>(Bytes.data(), N)};
    const bool Ok = Doc.LoadFrom(R);
    if (N <= HeaderEnd) {
      ASSERT_FALSE(Ok) << What << " cut at " << N;
    }
    ASSERT_LE(Doc.EntNo.size(), N) << What;
  }
  ByteReader R{std::span<const std::uint8_t>(Bytes)};
  EXPECT_TRUE(Doc.LoadFrom(R)) << What;
}

std::filesystem::path Smallest(const std::vector<std::filesystem::path>& Files) {
  return *std::min_element(Files.begin(), Files.end(), [](const auto& A, const auto& B) {
    return std::filesystem::file_size(A) < std::filesystem::file_size(B);
  });
}

TEST(DocumentRobustness, CanonicalDrawingsCutAtEveryLength) {
  for (std::int32_t Ver : {300, 700}) {
    Drawing D = CanonicalDrawing(Ver, Ver >= 700 ? Form::Utf16 : Form::CodePage);
    if (Ver >= 700) {  // with an image section to cut as well
      D.bytes.resize(D.bodyEnd);
      JwFile Tail(Ver, Form::Utf16);
      Tail.Images({{u"a.png", ByteVec(300, 1)}, {u"b.png", ByteVec(20, 2)}});
      D.bytes.insert(D.bytes.end(), Tail.bytes().begin(), Tail.bytes().end());
    }
    LoadEveryPrefix<TJwwData>(D.bytes, D.headerEnd, "canonical drawing", 7);
  }
}

TEST(DocumentRobustness, SmallestRealFilesCutAtEveryLength) {
  const auto Jww = testsupport::CorpusFiles("jww", ".jww");
  const auto Jws = testsupport::CorpusFiles("jws", ".jws");
  SKIP_WITHOUT_CORPUS(Jww);
  SKIP_WITHOUT_CORPUS(Jws);
  const ByteVec Drawing = testsupport::ReadFileBytes(Smallest(Jww));
  TJwwData Header;
  ByteReader Hr{std::span<const std::uint8_t>(Drawing)};
  ASSERT_TRUE(Header.HeaderFrom(Hr));
  LoadEveryPrefix<TJwwData>(Drawing, Hr.Position(), "real drawing");
  LoadEveryPrefix<TJwsData>(testsupport::ReadFileBytes(Smallest(Jws)), 452, "real figure");
}

// Counts far beyond the data: the load ends at the end of the data with a
// failure (object lists must be whole) and reserves nothing for the count.
TEST(DocumentRobustness, HostileCounts) {
  const SampleEntities S = Samples(700);
  auto Drawing = [](auto Body) {
    JwFile F(700, Form::Utf16);
    WriteJwwHeader(F, CanonicalHeader(700));
    Body(F);
    return F.bytes();
  };
  struct Case {
    const char* what;
    ByteVec bytes;
    bool ok;
  };
  const Case Cases[] = {
      {"entities", Drawing([&](JwFile& F) { F.Count(0xFFFFFFFF).Line(S.line).Line(S.line); }), false},
      {"definitions", Drawing([&](JwFile& F) {
         TEntJwwBlockDef D;
         F.Count(1).Block(S.block).Count(0xFFFFFFFF).BlockDef(D, 0);
       }),
       false},
      {"members", Drawing([&](JwFile& F) {
         TEntJwwBlockDef D;
         F.Count(1).Block(S.block).Count(1).BlockDef(D, 0xFFFFFFFF).Line(S.line);
       }),
       false},
      {"tags that select nothing", Drawing([&](JwFile& F) {
         F.Count(5).Line(S.line);
         for (int I = 0; I < 1000; ++I) F.b.u16(0x0001);
       }),
       false},
      {"images", Drawing([&](JwFile& F) {
         F.Count(0).Count(0).b.i32(0x7FFFFFFF);
         F.Str(u"a.png").b.i32(0x7FFFFFFF).raw(ByteVec(10, 1));
       }),
       true},
      {"image names", Drawing([&](JwFile& F) {
         F.Count(0).Count(0).b.i32(0x7FFFFFFF);
         for (int I = 0; I < 100; ++I) F.Str(u"").b.i32(0);
       }),
       true},
      {"string lengths", Drawing([&](JwFile& F) {
         // A text whose string claims 65535 units that are not there: the
         // record's checked part is whole, so it is kept.
         const TEntJwwMoji& M = S.moji;
         F.Count(1).Tag("CDataMoji").Attr(M.att);
         F.b.f64(M.start_x).f64(M.start_y).f64(M.end_x).f64(M.end_y).u32(M.nMojiShu);
         F.b.f64(M.dSizeX).f64(M.dSizeY).f64(M.dKankaku).f64(M.degKakudo);
         F.Str(u"font").b.u8(0xFF).u16(0xFFFE).u8(0xFF).u16(0xFFFF);
       }),
       true},
  };
  testsupport::TempDir Dir;
  for (const Case& C : Cases) {
    TJwwData Doc;
    Doc.BindImageFolder = Dir.u16();
    Doc.BindImageExp = Doc.BindImageExr = true;
    ByteReader R{std::span<const std::uint8_t>(C.bytes)};
    EXPECT_EQ(Doc.LoadFrom(R), C.ok) << C.what;
    EXPECT_LE(Doc.EntNo.capacity(), C.bytes.size()) << C.what;
    EXPECT_LE(Doc.EntBlockDef.capacity(), C.bytes.size()) << C.what;
    EXPECT_LE(Doc.BindImage.capacity(), C.bytes.size()) << C.what;
    JwwDataFree(Doc);
  }
  EXPECT_TRUE(std::filesystem::is_empty(Dir.path()));
}

}  // namespace
