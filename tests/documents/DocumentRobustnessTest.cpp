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
template <class Doc>
void LoadEveryPrefix(const ByteVec& bytes, std::size_t headerEnd, const char* what, std::size_t headerStep = 1) {
  Doc doc;
  doc.BindImageExr = true;  // read the image list, write no files
  for (std::size_t n = 0; n <= bytes.size(); n += n < headerEnd ? headerStep : 1) {
    ByteReader r{std::span<const std::uint8_t>(bytes.data(), n)};
    const bool ok = doc.LoadFrom(r);
    if (n <= headerEnd) {
      ASSERT_FALSE(ok) << what << " cut at " << n;
    }
    ASSERT_LE(doc.EntNo.size(), n) << what;
  }
  ByteReader r{std::span<const std::uint8_t>(bytes)};
  EXPECT_TRUE(doc.LoadFrom(r)) << what;
}

std::filesystem::path Smallest(const std::vector<std::filesystem::path>& files) {
  return *std::min_element(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return std::filesystem::file_size(a) < std::filesystem::file_size(b);
  });
}

TEST(DocumentRobustness, CanonicalDrawingsCutAtEveryLength) {
  for (std::int32_t ver : {300, 700}) {
    Drawing d = CanonicalDrawing(ver, ver >= 700 ? Form::Utf16 : Form::CodePage);
    if (ver >= 700) {  // with an image section to cut as well
      d.bytes.resize(d.bodyEnd);
      JwFile tail(ver, Form::Utf16);
      tail.Images({{u"a.png", ByteVec(300, 1)}, {u"b.png", ByteVec(20, 2)}});
      d.bytes.insert(d.bytes.end(), tail.bytes().begin(), tail.bytes().end());
    }
    LoadEveryPrefix<TJwwData>(d.bytes, d.headerEnd, "canonical drawing", 7);
  }
}

TEST(DocumentRobustness, SmallestRealFilesCutAtEveryLength) {
  const auto jww = testsupport::CorpusFiles("jww", ".jww");
  const auto jws = testsupport::CorpusFiles("jws", ".jws");
  SKIP_WITHOUT_CORPUS(jww);
  SKIP_WITHOUT_CORPUS(jws);
  const ByteVec drawing = testsupport::ReadFileBytes(Smallest(jww));
  TJwwData header;
  ByteReader hr{std::span<const std::uint8_t>(drawing)};
  ASSERT_TRUE(header.HeaderFrom(hr));
  LoadEveryPrefix<TJwwData>(drawing, hr.Position(), "real drawing");
  LoadEveryPrefix<TJwsData>(testsupport::ReadFileBytes(Smallest(jws)), 452, "real figure");
}

// Counts far beyond the data: the load ends at the end of the data with a
// failure (object lists must be whole) and reserves nothing for the count.
TEST(DocumentRobustness, HostileCounts) {
  const SampleEntities s = Samples(700);
  auto drawing = [](auto body) {
    JwFile f(700, Form::Utf16);
    WriteJwwHeader(f, CanonicalHeader(700));
    body(f);
    return f.bytes();
  };
  struct Case {
    const char* what;
    ByteVec bytes;
    bool ok;
  };
  const Case cases[] = {
      {"entities", drawing([&](JwFile& f) { f.Count(0xFFFFFFFF).Line(s.line).Line(s.line); }), false},
      {"definitions", drawing([&](JwFile& f) {
         TEntJwwBlockDef d;
         f.Count(1).Block(s.block).Count(0xFFFFFFFF).BlockDef(d, 0);
       }),
       false},
      {"members", drawing([&](JwFile& f) {
         TEntJwwBlockDef d;
         f.Count(1).Block(s.block).Count(1).BlockDef(d, 0xFFFFFFFF).Line(s.line);
       }),
       false},
      {"tags that select nothing", drawing([&](JwFile& f) {
         f.Count(5).Line(s.line);
         for (int i = 0; i < 1000; ++i) f.b.u16(0x0001);
       }),
       false},
      {"images", drawing([&](JwFile& f) {
         f.Count(0).Count(0).b.i32(0x7FFFFFFF);
         f.Str(u"a.png").b.i32(0x7FFFFFFF).raw(ByteVec(10, 1));
       }),
       true},
      {"image names", drawing([&](JwFile& f) {
         f.Count(0).Count(0).b.i32(0x7FFFFFFF);
         for (int i = 0; i < 100; ++i) f.Str(u"").b.i32(0);
       }),
       true},
      {"string lengths", drawing([&](JwFile& f) {
         // A text whose string claims 65535 units that are not there: the
         // record's checked part is whole, so it is kept.
         const TEntJwwMoji& m = s.moji;
         f.Count(1).Tag("CDataMoji").Attr(m.att);
         f.b.f64(m.start_x).f64(m.start_y).f64(m.end_x).f64(m.end_y).u32(m.nMojiShu);
         f.b.f64(m.dSizeX).f64(m.dSizeY).f64(m.dKankaku).f64(m.degKakudo);
         f.Str(u"font").b.u8(0xFF).u16(0xFFFE).u8(0xFF).u16(0xFFFF);
       }),
       true},
  };
  testsupport::TempDir dir;
  for (const Case& c : cases) {
    TJwwData doc;
    doc.BindImageFolder = dir.u16();
    doc.BindImageExp = doc.BindImageExr = true;
    ByteReader r{std::span<const std::uint8_t>(c.bytes)};
    EXPECT_EQ(doc.LoadFrom(r), c.ok) << c.what;
    EXPECT_LE(doc.EntNo.capacity(), c.bytes.size()) << c.what;
    EXPECT_LE(doc.EntBlockDef.capacity(), c.bytes.size()) << c.what;
    EXPECT_LE(doc.BindImage.capacity(), c.bytes.size()) << c.what;
    JwwDataFree(doc);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
