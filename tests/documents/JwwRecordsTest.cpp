// Entity records and block definitions read from bytes built from the record
// tables, at the versions whose layouts differ (13-byte attributes below
// 3.51, SXF dimension parts from 4.20, UTF-16 strings in 7.00 files).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"

using namespace jwfix;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct VersionForm {
  std::int32_t ver;
  Form form;
};
const VersionForm kLayouts[] = {{230, Form::CodePage}, {300, Form::CodePage}, {351, Form::CodePage},
                                {351, Form::Utf16},    {420, Form::CodePage}, {600, Form::CodePage},
                                {700, Form::Utf16},    {700, Form::CodePage}};

int OptionFor(Form form) { return form == Form::Utf16 ? 0x20 : 0; }

ByteVec Slice(const ByteVec& b, std::size_t from, std::size_t to) {
  return ByteVec(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(to));
}

// A drawing of the canonical header and the given entity list (no
// definitions, no images).
template <class Build>
ByteVec ListFile(std::int32_t ver, Form form, std::uint32_t count, Build build) {
  JwFile f(ver, form);
  WriteJwwHeader(f, CanonicalHeader(ver));
  f.Count(count);
  build(f);
  f.Count(0);
  if (ver >= 700) f.b.i32(0);
  return f.bytes();
}

// The strongest check of both sides: what the reader took from canonical
// bytes is exactly what the bytes say, and the writer gives the bytes back.
TEST(JwwRecords, CanonicalDrawingsReadExactlyAndComeBackByteForByte) {
  for (const VersionForm& c : kLayouts) {
    SCOPED_TRACE(testing::Message() << "version " << c.ver << (c.form == Form::Utf16 ? " UTF-16" : ""));
    const Drawing d = CanonicalDrawing(c.ver, c.form);
    TJwwData doc;
    ASSERT_TRUE(Load(doc, d.bytes));
    EXPECT_EQ(doc.MojiEncode, c.form == Form::Utf16);
    EXPECT_EQ(doc.Enthd.n1, 11);
    EXPECT_EQ(doc.Enthd.n2, 2);
    EXPECT_EQ(doc.EntLine.size(), 2u);
    EXPECT_EQ(BodyOf(c.ver, c.form, doc), Slice(d.bytes, d.headerEnd, d.bodyEnd));
    doc.SetFileOutOption(OptionFor(c.form));
    const auto saved = Save(doc, c.ver);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, d.bytes);
  }
}

TEST(JwwRecords, OrderListFollowsTheFile) {
  TJwwData doc;
  ASSERT_TRUE(Load(doc, CanonicalDrawing(420).bytes));
  const std::vector<TEntJwwNo> expected = {{kLine, 0},  {kEnko, 0},  {kTen, 0},   {kTen, 1},  {kMoji, 0}, {kSunpo, 0},
                                           {kSolid, 0}, {kSolid, 1}, {kBlock, 0}, {kLine, 1}, {kMoji, 1}};
  EXPECT_EQ(doc.EntNo, expected);
  ASSERT_EQ(doc.EntBlockDef.size(), 2u);
  EXPECT_EQ(doc.EntBlockDef[0].mNo, (std::vector<TEntJwwNo>{{kLine, 0}, {kMoji, 0}, {kBlock, 0}}));
  EXPECT_EQ(doc.EntBlockDef[1].mNo, (std::vector<TEntJwwNo>{{kEnko, 0}, {kSunpo, 0}, {kSolid, 0}}));
  EXPECT_EQ(doc.EntBlockDef[1].N, 3);
  EXPECT_EQ(doc.EntBlockDef[0].strName, u"ブロック 0");
}

TEST(JwwRecords, AttributesBelow351HaveNoWidth) {
  const SampleEntities s = Samples(351);
  TEntJwwLine line = s.line;
  line.att.nPenWidth = 0;
  const ByteVec file = ListFile(300, Form::CodePage, 1, [&](JwFile& f) { f.Line(line); });
  TJwwData doc;
  ASSERT_TRUE(Load(doc, file));
  ASSERT_EQ(doc.EntLine.size(), 1u);
  EXPECT_EQ(doc.EntLine[0].att, line.att);
  EXPECT_EQ(doc.EntLine[0].end_y, line.end_y);
  // 13 bytes of attribute, four coordinates, after the new-class tag.
  EXPECT_EQ(file.size() - CanonicalDrawing(300).headerEnd, 2 + (2 + 2 + 2 + 8) + 13 + 32 + 2u);
}

TEST(JwwRecords, DimensionsBelow420TakeTheirPartsFromTheirOwnAttribute) {
  for (std::int32_t ver : {300, 351, 600}) {
    TEntJwwSunpo dim = Samples(ver).sunpo;
    dim.Ho1.start_x = 99;  // not in a file below 4.20
    const ByteVec file = ListFile(ver, Form::CodePage, 1, [&](JwFile& f) { f.Sunpo(dim); });
    TJwwData doc;
    ASSERT_TRUE(Load(doc, file)) << ver;
    ASSERT_EQ(doc.EntSunpo.size(), 1u);
    const TEntJwwSunpo& x = doc.EntSunpo[0];
    if (ver >= 420) {
      EXPECT_EQ(x.bSxfMode, dim.bSxfMode);
      EXPECT_EQ(x.Ho1.start_x, 99);
      EXPECT_EQ(x.Kt2.dBairitsu, dim.Kt2.dBairitsu);
      continue;
    }
    EXPECT_EQ(x.bSxfMode, 0);
    for (const TEntJwwLine* l : {&x.Ho1, &x.Ho2}) {
      EXPECT_EQ(l->att, dim.att);
      EXPECT_EQ(l->start_x, 0.0);
      EXPECT_EQ(l->end_y, 0.0);
    }
    for (const TEntJwwTen* t : {&x.Te1, &x.Te2, &x.Kt1, &x.Kt2}) {
      TEntJwwAttr styleless = dim.att;
      styleless.nPenStyle = 0;
      EXPECT_EQ(t->att, styleless);
      EXPECT_EQ(t->bKariten, 0u);
      EXPECT_EQ(t->start_x, 0.0);
      EXPECT_EQ(t->nCode, 0u);
    }
  }
}

TEST(JwwRecords, NonFiniteTextSizesAreRepairedOnRead) {
  TEntJwwMoji text = Samples(600).moji;
  text.dSizeX = kNaN;
  text.dSizeY = -std::numeric_limits<double>::infinity();
  text.dKankaku = kNaN;
  text.degKakudo = kNaN;  // not a size: kept
  TEntJwwSunpo dim = Samples(600).sunpo;
  dim.Moji.dSizeY = kNaN;
  dim.Moji.dKankaku = std::numeric_limits<double>::infinity();
  const ByteVec file = ListFile(600, Form::CodePage, 2, [&](JwFile& f) { f.Moji(text).Sunpo(dim); });
  TJwwData doc;
  ASSERT_TRUE(Load(doc, file));
  EXPECT_EQ(doc.EntMoji[0].dSizeX, 3.0);
  EXPECT_EQ(doc.EntMoji[0].dSizeY, 3.0);
  EXPECT_EQ(doc.EntMoji[0].dKankaku, 0.0);
  EXPECT_TRUE(std::isnan(doc.EntMoji[0].degKakudo));
  EXPECT_EQ(doc.EntSunpo[0].Moji.dSizeX, dim.Moji.dSizeX);
  EXPECT_EQ(doc.EntSunpo[0].Moji.dSizeY, 3.0);
  EXPECT_EQ(doc.EntSunpo[0].Moji.dKankaku, 0.0);
}

TEST(JwwRecords, PointExtrasAndSolidColourFollowTheirPens) {
  const SampleEntities s = Samples(600);
  TEntJwwTen plain = s.ten;
  plain.nCode = 5;  // not in the file: style is not 100
  TEntJwwSolid solid = s.solid;
  solid.Color = 7;  // not in the file: colour is not 10
  const ByteVec file =
      ListFile(600, Form::CodePage, 4, [&](JwFile& f) { f.Ten(plain).Ten(s.ten100).Solid(solid).Solid(s.solid10); });
  TJwwData doc;
  ASSERT_TRUE(Load(doc, file));
  EXPECT_EQ(doc.EntTen[0].nCode, 0u);
  EXPECT_EQ(doc.EntTen[1].nCode, s.ten100.nCode);
  EXPECT_EQ(doc.EntTen[1].dBairitsu, s.ten100.dBairitsu);
  EXPECT_EQ(doc.EntSolid[0].Color, 0u);
  EXPECT_EQ(doc.EntSolid[1].Color, s.solid10.Color);
}

TEST(JwwRecords, EightByteTimeStampBecomesThePosition) {
  // Three definitions, all inserted, the third with the long time stamp.
  const SampleEntities s = Samples(600);
  JwFile f(600);
  WriteJwwHeader(f, CanonicalHeader(600));
  f.Count(3);
  for (std::uint32_t n = 0; n < 3; ++n) {
    TEntJwwBlock b = s.block;
    b.nNumber = n;
    f.Block(b);
  }
  auto def = [&](std::uint32_t n, std::uint32_t dtime) {
    TEntJwwBlockDef d;
    d.att = Pen(1, 1);
    d.nNumber = n;
    d.dtime = dtime;
    d.strName = u"D" + std::u16string(1, static_cast<char16_t>(u'0' + n));
    return d;
  };
  JwFile expected = f;  // the same file as the save writes it
  f.Count(3);
  expected.Count(3);
  for (std::uint32_t n = 0; n < 3; ++n) {
    f.BlockDef(def(n, 1000 + n), 1, n == 2).Line(s.line);
    expected.BlockDef(def(n, n == 2 ? 3 : 1000 + n), 1).Line(s.line);
  }
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  ASSERT_EQ(doc.EntBlockDef.size(), 3u);
  EXPECT_EQ(doc.EntBlockDef[0].dtime, 1000u);
  EXPECT_EQ(doc.EntBlockDef[2].dtime, 3u);
  EXPECT_EQ(doc.EntBlockDef[2].strName, u"D2") << "the 8 bytes are skipped";
  ASSERT_EQ(doc.EntBlockDef[2].mLine.size(), 1u);
  EXPECT_EQ(doc.EntBlockDef[2].mLine[0].end_x, s.line.end_x);
  EXPECT_EQ(*Save(doc, 600), expected.bytes());
}

TEST(JwwRecords, LongAndWideStringsComeBackExactly) {
  struct Case {
    const char* what;
    Form form;
    std::u16string text;
  };
  std::u16string surrogates;
  for (int i = 0; i < 200; ++i) surrogates += u"\U00020B9F漢";
  const Case cases[] = {
      {"254 bytes", Form::CodePage, std::u16string(254, u'a')},
      {"255 bytes", Form::CodePage, std::u16string(255, u'b')},
      {"510 bytes of double-byte text", Form::CodePage, std::u16string(255, u'図')},
      {"65533 bytes", Form::CodePage, std::u16string(65533, u'c')},
      {"254 units", Form::Utf16, std::u16string(254, u'd')},
      {"255 units", Form::Utf16, std::u16string(255, u'字')},
      {"surrogate pairs", Form::Utf16, surrogates},
      {"65535 units", Form::Utf16, std::u16string(65535, u'e')},
  };
  for (const Case& c : cases) {
    TEntJwwMoji text = Samples(700).moji;
    text.str = c.text;
    text.strFontName = c.text.substr(0, 300);
    const ByteVec file = ListFile(700, c.form, 1, [&](JwFile& f) { f.Moji(text); });
    TJwwData doc;
    ASSERT_TRUE(Load(doc, file)) << c.what;
    ASSERT_EQ(doc.EntMoji.size(), 1u) << c.what;
    EXPECT_TRUE(doc.EntMoji[0].str == c.text) << c.what;
    EXPECT_TRUE(doc.EntMoji[0].strFontName == text.strFontName) << c.what;
    doc.SetFileOutOption(OptionFor(c.form));
    EXPECT_TRUE(*Save(doc, 700) == file) << c.what;
  }
}

// Tags that select no record type (object references, class indices never
// assigned) are consumed and not counted; the long class reference works for
// small indices too.
TEST(JwwRecords, TagsThatSelectNothingAreSkipped) {
  const SampleEntities s = Samples(600);
  JwFile f(600);
  WriteJwwHeader(f, CanonicalHeader(600));
  f.Count(3);
  f.Line(s.line);        // class 1, object 2
  f.b.u16(0x0002);       // an object reference
  f.b.u16(0x8000 + 40);  // class index 40: never assigned
  f.b.u16(0x8000 + 2);   // index 2 is an object, not a class
  TEntJwwLine second = s.line, third = s.line;
  second.end_x = 2;
  third.end_x = 3;
  f.b.u16(0x7FFF).u32(0x80000001u);  // long class reference to 1
  f.LineRec(second).Took();
  f.b.u16(0x7FFF).u32(0x00000001u);  // top bit clear: index 1 too
  f.LineRec(third).Took();
  f.Count(0);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  ASSERT_EQ(doc.EntLine.size(), 3u);
  EXPECT_EQ(doc.EntLine[1].end_x, 2);
  EXPECT_EQ(doc.EntLine[2].end_x, 3);
  EXPECT_EQ(doc.Enthd.n1, 3);
  EXPECT_EQ(doc.EntNo.size(), 3u);
}

}  // namespace
