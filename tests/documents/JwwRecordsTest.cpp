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

int OptionFor(Form Form) { return Form == Form::Utf16 ? 0x20 : 0; }

ByteVec Slice(const ByteVec& B, std::size_t From, std::size_t To) {
  return ByteVec(B.begin() + static_cast<std::ptrdiff_t>(From), B.begin() + static_cast<std::ptrdiff_t>(To));
}

// A drawing of the canonical header and the given entity list (no
// definitions, no images).
template <class TBuild>
ByteVec ListFile(std::int32_t Ver, Form Form, std::uint32_t Count, TBuild Build) {
  JwFile F(Ver, Form);
  WriteJwwHeader(F, CanonicalHeader(Ver));
  F.Count(Count);
  Build(F);
  F.Count(0);
  if (Ver >= 700) F.b.i32(0);
  return F.bytes();
}

// The strongest check of both sides: what the reader took from canonical
// bytes is exactly what the bytes say, and the writer gives the bytes back.
TEST(JwwRecords, CanonicalDrawingsReadExactlyAndComeBackByteForByte) {
  for (const VersionForm& C : kLayouts) {
    SCOPED_TRACE(testing::Message() << "version " << C.ver << (C.form == Form::Utf16 ? " UTF-16" : ""));
    const Drawing D = CanonicalDrawing(C.ver, C.form);
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, D.bytes));
    EXPECT_EQ(Doc.MojiEncode, C.form == Form::Utf16);
    EXPECT_EQ(Doc.Enthd.n1, 11);
    EXPECT_EQ(Doc.Enthd.n2, 2);
    EXPECT_EQ(Doc.EntLine.size(), 2u);
    EXPECT_EQ(BodyOf(C.ver, C.form, Doc), Slice(D.bytes, D.headerEnd, D.bodyEnd));
    Doc.SetFileOutOption(OptionFor(C.form));
    const auto Saved = Save(Doc, C.ver);
    ASSERT_TRUE(Saved);
    EXPECT_EQ(*Saved, D.bytes);
  }
}

TEST(JwwRecords, OrderListFollowsTheFile) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, CanonicalDrawing(420).bytes));
  const std::vector<TEntJwwNo> Expected = {{kLine, 0},  {kEnko, 0},  {kTen, 0},   {kTen, 1},  {kMoji, 0}, {kSunpo, 0},
                                           {kSolid, 0}, {kSolid, 1}, {kBlock, 0}, {kLine, 1}, {kMoji, 1}};
  EXPECT_EQ(Doc.EntNo, Expected);
  ASSERT_EQ(Doc.EntBlockDef.size(), 2u);
  EXPECT_EQ(Doc.EntBlockDef[0].mNo, (std::vector<TEntJwwNo>{{kLine, 0}, {kMoji, 0}, {kBlock, 0}}));
  EXPECT_EQ(Doc.EntBlockDef[1].mNo, (std::vector<TEntJwwNo>{{kEnko, 0}, {kSunpo, 0}, {kSolid, 0}}));
  EXPECT_EQ(Doc.EntBlockDef[1].N, 3);
  EXPECT_EQ(Doc.EntBlockDef[0].strName, u"ブロック 0");
}

TEST(JwwRecords, AttributesBelow351HaveNoWidth) {
  const SampleEntities S = Samples(351);
  TEntJwwLine Line = S.line;
  Line.att.nPenWidth = 0;
  const ByteVec File = ListFile(300, Form::CodePage, 1, [&](JwFile& F) { F.Line(Line); });
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, File));
  ASSERT_EQ(Doc.EntLine.size(), 1u);
  EXPECT_EQ(Doc.EntLine[0].att, Line.att);
  EXPECT_EQ(Doc.EntLine[0].end_y, Line.end_y);
  // 13 bytes of attribute, four coordinates, after the new-class tag.
  EXPECT_EQ(File.size() - CanonicalDrawing(300).headerEnd, 2 + (2 + 2 + 2 + 8) + 13 + 32 + 2u);
}

TEST(JwwRecords, DimensionsBelow420TakeTheirPartsFromTheirOwnAttribute) {
  for (std::int32_t Ver : {300, 351, 600}) {
    TEntJwwSunpo Dim = Samples(Ver).sunpo;
    Dim.Ho1.start_x = 99;  // not in a file below 4.20
    const ByteVec File = ListFile(Ver, Form::CodePage, 1, [&](JwFile& F) { F.Sunpo(Dim); });
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, File)) << Ver;
    ASSERT_EQ(Doc.EntSunpo.size(), 1u);
    const TEntJwwSunpo& X = Doc.EntSunpo[0];
    if (Ver >= 420) {
      EXPECT_EQ(X.bSxfMode, Dim.bSxfMode);
      EXPECT_EQ(X.Ho1.start_x, 99);
      EXPECT_EQ(X.Kt2.dBairitsu, Dim.Kt2.dBairitsu);
      continue;
    }
    EXPECT_EQ(X.bSxfMode, 0);
    for (const TEntJwwLine* L : {&X.Ho1, &X.Ho2}) {
      EXPECT_EQ(L->att, Dim.att);
      EXPECT_EQ(L->start_x, 0.0);
      EXPECT_EQ(L->end_y, 0.0);
    }
    for (const TEntJwwTen* T : {&X.Te1, &X.Te2, &X.Kt1, &X.Kt2}) {
      TEntJwwAttr Styleless = Dim.att;
      Styleless.nPenStyle = 0;
      EXPECT_EQ(T->att, Styleless);
      EXPECT_EQ(T->bKariten, 0u);
      EXPECT_EQ(T->start_x, 0.0);
      EXPECT_EQ(T->nCode, 0u);
    }
  }
}

TEST(JwwRecords, NonFiniteTextSizesAreRepairedOnRead) {
  TEntJwwMoji Text = Samples(600).moji;
  Text.dSizeX = kNaN;
  Text.dSizeY = -std::numeric_limits<double>::infinity();
  Text.dKankaku = kNaN;
  Text.degKakudo = kNaN;  // not a size: kept
  TEntJwwSunpo Dim = Samples(600).sunpo;
  Dim.Moji.dSizeY = kNaN;
  Dim.Moji.dKankaku = std::numeric_limits<double>::infinity();
  const ByteVec File = ListFile(600, Form::CodePage, 2, [&](JwFile& F) { F.Moji(Text).Sunpo(Dim); });
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, File));
  EXPECT_EQ(Doc.EntMoji[0].dSizeX, 3.0);
  EXPECT_EQ(Doc.EntMoji[0].dSizeY, 3.0);
  EXPECT_EQ(Doc.EntMoji[0].dKankaku, 0.0);
  EXPECT_TRUE(std::isnan(Doc.EntMoji[0].degKakudo));
  EXPECT_EQ(Doc.EntSunpo[0].Moji.dSizeX, Dim.Moji.dSizeX);
  EXPECT_EQ(Doc.EntSunpo[0].Moji.dSizeY, 3.0);
  EXPECT_EQ(Doc.EntSunpo[0].Moji.dKankaku, 0.0);
}

TEST(JwwRecords, PointExtrasAndSolidColourFollowTheirPens) {
  const SampleEntities S = Samples(600);
  TEntJwwTen Plain = S.ten;
  Plain.nCode = 5;  // not in the file: style is not 100
  TEntJwwSolid Solid = S.solid;
  Solid.Color = 7;  // not in the file: colour is not 10
  const ByteVec File =
      ListFile(600, Form::CodePage, 4, [&](JwFile& F) { F.Ten(Plain).Ten(S.ten100).Solid(Solid).Solid(S.solid10); });
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, File));
  EXPECT_EQ(Doc.EntTen[0].nCode, 0u);
  EXPECT_EQ(Doc.EntTen[1].nCode, S.ten100.nCode);
  EXPECT_EQ(Doc.EntTen[1].dBairitsu, S.ten100.dBairitsu);
  EXPECT_EQ(Doc.EntSolid[0].Color, 0u);
  EXPECT_EQ(Doc.EntSolid[1].Color, S.solid10.Color);
}

TEST(JwwRecords, EightByteTimeStampBecomesThePosition) {
  // Three definitions, all inserted, the third with the long time stamp.
  const SampleEntities S = Samples(600);
  JwFile F(600);
  WriteJwwHeader(F, CanonicalHeader(600));
  F.Count(3);
  for (std::uint32_t N = 0; N < 3; ++N) {
    TEntJwwBlock B = S.block;
    B.nNumber = N;
    F.Block(B);
  }
  auto Def = [&](std::uint32_t N, std::uint32_t Dtime) {
    TEntJwwBlockDef D;
    D.att = Pen(1, 1);
    D.nNumber = N;
    D.dtime = Dtime;
    D.strName = u"D" + std::u16string(1, static_cast<char16_t>(u'0' + N));
    return D;
  };
  JwFile Expected = F;  // the same file as the save writes it
  F.Count(3);
  Expected.Count(3);
  for (std::uint32_t N = 0; N < 3; ++N) {
    F.BlockDef(Def(N, 1000 + N), 1, N == 2).Line(S.line);
    Expected.BlockDef(Def(N, N == 2 ? 3 : 1000 + N), 1).Line(S.line);
  }
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  ASSERT_EQ(Doc.EntBlockDef.size(), 3u);
  EXPECT_EQ(Doc.EntBlockDef[0].dtime, 1000u);
  EXPECT_EQ(Doc.EntBlockDef[2].dtime, 3u);
  EXPECT_EQ(Doc.EntBlockDef[2].strName, u"D2") << "the 8 bytes are skipped";
  ASSERT_EQ(Doc.EntBlockDef[2].mLine.size(), 1u);
  EXPECT_EQ(Doc.EntBlockDef[2].mLine[0].end_x, S.line.end_x);
  EXPECT_EQ(*Save(Doc, 600), Expected.bytes());
}

TEST(JwwRecords, LongAndWideStringsComeBackExactly) {
  struct Case {
    const char* what;
    Form form;
    std::u16string text;
  };
  std::u16string Surrogates;
  for (int I = 0; I < 200; ++I) Surrogates += u"\U00020B9F漢";
  const Case Cases[] = {
      {"254 bytes", Form::CodePage, std::u16string(254, u'a')},
      {"255 bytes", Form::CodePage, std::u16string(255, u'b')},
      {"510 bytes of double-byte text", Form::CodePage, std::u16string(255, u'図')},
      {"65533 bytes", Form::CodePage, std::u16string(65533, u'c')},
      {"254 units", Form::Utf16, std::u16string(254, u'd')},
      {"255 units", Form::Utf16, std::u16string(255, u'字')},
      {"surrogate pairs", Form::Utf16, Surrogates},
      {"65535 units", Form::Utf16, std::u16string(65535, u'e')},
  };
  for (const Case& C : Cases) {
    TEntJwwMoji Text = Samples(700).moji;
    Text.str = C.text;
    Text.strFontName = C.text.substr(0, 300);
    const ByteVec File = ListFile(700, C.form, 1, [&](JwFile& F) { F.Moji(Text); });
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, File)) << C.what;
    ASSERT_EQ(Doc.EntMoji.size(), 1u) << C.what;
    EXPECT_TRUE(Doc.EntMoji[0].str == C.text) << C.what;
    EXPECT_TRUE(Doc.EntMoji[0].strFontName == Text.strFontName) << C.what;
    Doc.SetFileOutOption(OptionFor(C.form));
    EXPECT_TRUE(*Save(Doc, 700) == File) << C.what;
  }
}

// Tags that select no record type (object references, class indices never
// assigned) are consumed and not counted; the long class reference works for
// small indices too.
TEST(JwwRecords, TagsThatSelectNothingAreSkipped) {
  const SampleEntities S = Samples(600);
  JwFile F(600);
  WriteJwwHeader(F, CanonicalHeader(600));
  F.Count(3);
  F.Line(S.line);        // class 1, object 2
  F.b.u16(0x0002);       // an object reference
  F.b.u16(0x8000 + 40);  // class index 40: never assigned
  F.b.u16(0x8000 + 2);   // index 2 is an object, not a class
  TEntJwwLine Second = S.line, Third = S.line;
  Second.end_x = 2;
  Third.end_x = 3;
  F.b.u16(0x7FFF).u32(0x80000001u);  // long class reference to 1
  F.LineRec(Second).Took();
  F.b.u16(0x7FFF).u32(0x00000001u);  // top bit clear: index 1 too
  F.LineRec(Third).Took();
  F.Count(0);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  ASSERT_EQ(Doc.EntLine.size(), 3u);
  EXPECT_EQ(Doc.EntLine[1].end_x, 2);
  EXPECT_EQ(Doc.EntLine[2].end_x, 3);
  EXPECT_EQ(Doc.Enthd.n1, 3);
  EXPECT_EQ(Doc.EntNo.size(), 3u);
}

}  // namespace
