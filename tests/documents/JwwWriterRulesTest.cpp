// What the entity writer changes in the bytes it writes: pen mapping and
// validation, layer and width limits, text sizes, image references and the
// SXF dimension expansion for older versions.
#include <gtest/gtest.h>

#include <functional>

#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

using namespace jwfix;

namespace {

struct AttrCase {
  int kind;
  std::int32_t ver;
  int style, color;
  int wantStyle, wantColor;
};

ByteVec AttrBytes(const TEntJwwAttr& A, std::int32_t Ver, int Kind) {
  MemorySink Sink;
  ByteWriter W(Sink);
  ArchiveOut Out(W, false);
  WriteAttr(Out, Ver, A, Kind);
  W.Flush();
  return Sink.bytes;
}

ByteVec ExpectedAttrBytes(TEntJwwAttr A, std::int32_t Ver) {
  JwFile F(Ver);
  F.Attr(A);
  return F.bytes();
}

TEST(JwwWriterRules, PenMappingAndValidationTable) {
  std::vector<AttrCase> Cases = {
      // Lines and arcs: SXF line types map below 4.20, invalid ones fall back.
      {kLine, 351, 35, 105, 8, 4},
      {kLine, 420, 35, 105, 35, 105},
      {kLine, 351, 50, 1, 1, 1},
      {kLine, 420, 50, 1, 50, 1},
      {kLine, 351, 10, 1, 1, 1},
      {kLine, 700, 10, 1, 1, 1},
      {kLine, 420, 0, 0, 1, 1},
      {kLine, 420, 20, 400, 1, 1},
      {kLine, 420, 30, 10, 1, 1},
      {kLine, 420, 63, 357, 1, 1},
      {kLine, 420, 19, 9, 19, 9},
      {kLine, 420, 11, 356, 11, 356},
      {kEnko, 351, 44, 116, 17, 2},
      {kEnko, 300, 62, 117, 1, 1},
      {kEnko, 600, 62, 117, 62, 117},
      {kEnko, 351, 9, 100, 9, 1},
      // Points: style 1 or 100, no line-type mapping; colours as lines.
      {kTen, 351, 5, 105, 1, 4},
      {kTen, 420, 100, 356, 100, 356},
      {kTen, 351, 35, 3, 1, 3},
      {kTen, 420, 0, 0, 1, 1},
      // Texts: style 1..9.
      {kMoji, 420, 5, 1, 5, 1},
      {kMoji, 420, 10, 1, 1, 1},
      {kMoji, 351, 0, 110, 1, 8},
      {kMoji, 420, 31, 10, 1, 1},
      // Dimensions: colour only.
      {kSunpo, 351, 77, 105, 77, 4},
      {kSunpo, 420, 77, 10, 77, 1},
      // Solids: colour 10 is their own colour.
      {kSolid, 420, 77, 10, 77, 10},
      {kSolid, 300, 0, 10, 0, 10},
      {kSolid, 420, 1, 11, 1, 1},
      {kSolid, 351, 1, 113, 1, 6},
      {kSolid, 351, 1, 300, 1, 1},
      // Inserts and definitions: untouched pens.
      {kBlock, 351, 200, 999, 200, 999},
      {kBlockDef, 300, 35, 105, 35, 105},
      {kBlock, 420, 0, 0, 0, 0},
  };
  // Every SXF line type and colour below 4.20.
  const int Ltypes[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};
  for (int S = 31; S <= 62; ++S) Cases.push_back({kLine, 351, S, 1, S <= 45 ? Ltypes[S - 31] : 1, 1});
  const int Colors[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};
  for (int C = 101; C <= 356; ++C) Cases.push_back({kSolid, 351, 1, C, 1, C <= 116 ? Colors[C - 101] : 1});

  for (const AttrCase& C : Cases) {
    for (bool Wide : {false, true}) {
      TEntJwwAttr A = Pen(C.style, C.color, 0, 3, 4);
      A.lGroup = 0xDEADBEEF;
      A.sFlg = 0x8421;
      A.nPenWidth = Wide ? 30000 : 30001;
      TEntJwwAttr Want = A;
      Want.nPenStyle = static_cast<std::uint8_t>(C.wantStyle);
      Want.nPenColor = static_cast<std::uint16_t>(C.wantColor);
      Want.nPenWidth = Wide ? 30000 : 0;
      EXPECT_EQ(AttrBytes(A, C.ver, C.kind), ExpectedAttrBytes(Want, C.ver))
          << "kind " << C.kind << " ver " << C.ver << " style " << C.style << " colour " << C.color;
    }
  }
}

// The writer against the rule tables of the fixture, for every line type
// and every colour up to beyond the SXF range, each kind and version.
TEST(JwwWriterRules, EveryPenNumberIsWrittenAsTheRuleTablesSay) {
  for (int Kind = kLine; Kind <= kBlockDef; ++Kind) {
    for (std::int32_t Ver : {300, 351, 420, 700}) {
      for (int N = 0; N <= 400; ++N) {
        TEntJwwAttr A = Pen(N <= 255 ? N : 1, N, 30000 + N % 2, N % 17, 16 - N % 17);
        A.lGroup = 0x01020304u * static_cast<std::uint32_t>(N);
        A.sFlg = static_cast<std::uint16_t>(N);
        EXPECT_EQ(AttrBytes(A, Ver, Kind), ExpectedAttrBytes(WrittenAttr(A, Kind, Ver), Ver))
            << "kind " << Kind << " ver " << Ver << " number " << N;
      }
      TEntJwwAttr Far = Pen(1, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF);
      EXPECT_EQ(AttrBytes(Far, Ver, Kind), ExpectedAttrBytes(WrittenAttr(Far, Kind, Ver), Ver)) << Kind;
    }
  }
}

TEST(JwwWriterRules, LayerLimitsAndFallbackNumbers) {
  for (int Kind = kLine; Kind <= kBlockDef; ++Kind) {
    TEntJwwAttr A = Pen(Kind == kTen ? 100 : 1, 1, 12, 16, 15);
    TEntJwwAttr Want = A;
    Want.nLayer = 0;
    EXPECT_EQ(AttrBytes(A, 420, Kind), ExpectedAttrBytes(Want, 420)) << Kind;
    A.nLayer = 15;
    A.nGLayer = 0xFFFF;
    Want.nLayer = 15;
    Want.nGLayer = 0;
    EXPECT_EQ(AttrBytes(A, 300, Kind), ExpectedAttrBytes(Want, 300)) << Kind;
  }
  SxfFallbackColor = 5;
  SxfFallbackLtype = 2;
  EXPECT_EQ(AttrBytes(Pen(50, 200), 351, kLine), ExpectedAttrBytes(Pen(2, 5), 351));
  EXPECT_EQ(AttrBytes(Pen(0, 0), 420, kEnko), ExpectedAttrBytes(Pen(2, 5), 420));
  EXPECT_EQ(AttrBytes(Pen(0, 0), 420, kTen), ExpectedAttrBytes(Pen(1, 5), 420)) << "points fall back to style 1";
  JwwTypeInit();
  EXPECT_EQ(AttrBytes(Pen(50, 200), 351, kLine), ExpectedAttrBytes(Pen(1, 1), 351));
}

// A document loaded from a version-420 fixture and saved: the entity list
// as the writer leaves it, read back.
template <class TBuild, class TChange>
void SaveAndReload(TJwwData& Out, std::int32_t FileVer, std::int32_t SaveVer, std::uint32_t Count, TBuild Build,
                   TChange Change) {
  JwFile F(FileVer);
  WriteJwwHeader(F, CanonicalHeader(FileVer));
  F.Count(Count);
  Build(F);
  F.Count(0);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  Change(Doc);
  const auto Saved = Save(Doc, SaveVer);
  ASSERT_TRUE(Saved);
  ASSERT_TRUE(Load(Out, *Saved));
}

// Saving doc, reloading what was written and saving that again gives the
// same bytes.
void ExpectSaveIsFixedPoint(TJwwData& Doc, int Opt) {
  SCOPED_TRACE(Opt);
  Doc.SetFileOutOption(Opt);
  const auto First = Save(Doc, 700);
  TJwwData Again;
  ASSERT_TRUE(First && Load(Again, *First));
  Again.SetFileOutOption(Opt);
  EXPECT_EQ(Save(Again, 700), First);
}

TEST(JwwWriterRules, PensOfADocumentSaveAreMappedInTheBytesOnly) {
  const SampleEntities S = Samples(420);
  TEntJwwLine Line = S.line;
  Line.att = Pen(35, 105, 500);
  TJwwData Back;
  SaveAndReload(
      Back, 420, 351, 1, [&](JwFile& F) { F.Line(Line); },
      [&](TJwwData& Doc) {
        ASSERT_TRUE(Save(Doc, 351));
        EXPECT_EQ(Doc.EntLine[0].att, Line.att) << "the document keeps its pens";
      });
  EXPECT_EQ(Back.EntLine[0].att, Pen(8, 4, 500)) << "the width stays at 3.51";
}

TEST(JwwWriterRules, TextSizesAreWrittenAsAbsoluteValuesInRange) {
  const struct {
    double stored, written;
  } Cases[] = {{-4, 4}, {0, 1e-10}, {-0.0, 1e-10}, {1e-11, 1e-10}, {1e12, 1e10}, {-1e12, 1e10}, {2.5, 2.5}};
  for (const auto& C : Cases) {
    TEntJwwMoji Text = Samples(600).moji;
    Text.dSizeX = C.stored;
    Text.dSizeY = -C.stored;
    Text.dKankaku = -2;
    Text.degKakudo = -370;
    TEntJwwSunpo Dim = Samples(600).sunpo;
    Dim.Moji.dSizeX = C.stored;
    TJwwData Back;
    SaveAndReload(
        Back, 600, 600, 2, [&](JwFile& F) { F.Moji(Text).Sunpo(Dim); }, [](TJwwData&) {});
    EXPECT_EQ(Back.EntMoji[0].dSizeX, C.written) << C.stored;
    EXPECT_EQ(Back.EntMoji[0].dSizeY, C.written) << C.stored;
    EXPECT_EQ(Back.EntMoji[0].dKankaku, -2);
    EXPECT_EQ(Back.EntMoji[0].degKakudo, -370);
    EXPECT_EQ(Back.EntSunpo[0].Moji.dSizeX, C.written) << C.stored;
  }
}

TEST(JwwWriterRules, ImageReferencesAreRewrittenByTheOptionBits) {
  const struct {
    int opt;
    std::u16string stored, written;
  } Cases[] = {
      {0x08, u"^@BM%temp%pic.jpg,1,2,3", u"^@BMpic.jpg,1,2,3"},
      {0x08, u"^@BM%TEMP%pic.jpg,1", u"^@BM%TEMP%pic.jpg,1"},
      {0x08, u"x^@BM%temp%pic.jpg,1", u"x^@BM%temp%pic.jpg,1"},
      {0x01, u"^@BMC:\\dir\\sub\\pic.jpg,1,2", u"^@BMpic.jpg,1,2"},
      {0x01, u"^@BM/home/u/pic.png,5,6", u"^@BMpic.png,5,6"},
      {0x01, u"^@BMd:pic.bmp,7", u"^@BMpic.bmp,7"},
      {0x01, u"^@BMC:\\dir\\pic.jpg", u"^@BMC:\\dir\\pic.jpg"},
      {0x01, u"^@BM%temp%pic.jpg,1", u"^@BM%temp%pic.jpg,1"},
      {0x01, u"^@BMC:\\a,b\\pic.jpg,1", u"^@BMa,b\\pic.jpg,1"},
      {0x09, u"^@BM%temp%pic.jpg,1", u"^@BMpic.jpg,1"},
      {0x09, u"^@BM%temp%C:\\x\\pic.jpg,1", u"^@BMpic.jpg,1"},
      {0x00, u"^@BM%temp%C:\\x\\pic.jpg,1", u"^@BM%temp%C:\\x\\pic.jpg,1"},
      {0x36, u"^@BM%temp%C:\\x\\pic.jpg,1", u"^@BM%temp%C:\\x\\pic.jpg,1"},
      {0x09, u"^@BM%temp%a^mb,1\\n2", u"^@BMab,12"},
      // Rewritten once and for all: a second save changes nothing more.
      {0x09, u"^@BM/%temp%a.bmp,1", u"^@BMa.bmp,1"},
      {0x09, u"^@BM%temp%C:\\x\\%temp%pic.jpg,1", u"^@BMpic.jpg,1"},
      {0x08, u"^@BM%temp%%temp%pic.jpg,1", u"^@BMpic.jpg,1"},
  };
  for (const auto& C : Cases) {
    TEntJwwMoji Text = Samples(700).moji;
    Text.str = C.stored;
    TEntJwwSunpo Dim = Samples(700).sunpo;
    Dim.Moji.str = C.stored;
    TJwwData Back;
    SaveAndReload(
        Back, 700, 700, 2, [&](JwFile& F) { F.Moji(Text).Sunpo(Dim); },
        [&](TJwwData& Doc) { Doc.SetFileOutOption(C.opt); });
    EXPECT_TRUE(Back.EntMoji[0].str == C.written) << C.opt << " " << testing::PrintToString(C.stored);
    EXPECT_TRUE(Back.EntSunpo[0].Moji.str == CleanOutText(C.stored)) << "a dimension's text is not a reference";
  }
}

// Written in the code page, "¥" becomes "\", a folder separator once read
// back: the name is cut where the saved text has its separators, so a second
// save writes the same bytes.
TEST(JwwWriterRules, ImageNamesAreCutAsTheSavedTextReadsBack) {
  const struct {
    int opt;
    std::u16string written;
  } Cases[] = {
      {0x01, u"^@BMpic.jpg,1"},
      {0x21, u"^@BM%temp%dir¥pic.jpg,1"},
  };
  for (const auto& C : Cases) {
    TJwwData Back;
    SaveAndReload(
        Back, 700, 700, 1, [&](JwFile& F) { F.Moji(Samples(700).moji); },
        [&](TJwwData& Doc) {
          Doc.EntMoji[0].str = u"^@BM%temp%dir¥pic.jpg,1";
          Doc.SetFileOutOption(C.opt);
        });
    EXPECT_TRUE(Back.EntMoji[0].str == C.written) << C.opt;
    ExpectSaveIsFixedPoint(Back, C.opt);
  }
}

// Written in the code page, "¥n" would read back as the line-break marker
// "\n"; cleaning "\^mn" drops "^m" and brings one together. Neither marker
// reaches the file, in names and texts alike, so a second save writes the
// same bytes.
TEST(JwwWriterRules, SavedNamesAndTextsHoldNoMarkerAsTheyReadBack) {
  const struct {
    int opt;
    std::u16string stored, written;
  } Cases[] = {
      {0, u"cy¥nan", u"cyan"},
      {kOutUtf16, u"cy¥nan", u"cy¥nan"},
      {0, u"cy\\^mnan", u"cyan"},
      {kOutUtf16, u"cy\\^mnan", u"cyan"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.opt);
    TJwwData Back;
    SaveAndReload(
        Back, 700, 700, 1, [&](JwFile& F) { F.Moji(Samples(700).moji); },
        [&](TJwwData& Doc) {
          Doc.EntMoji[0].str = Doc.EntMoji[0].strFontName = C.stored;
          Doc.EntLay[5].aStrLayName = Doc.EntLgrp[1].aStrGLayName = C.stored;
          Doc.EntColS[3].astrUDColorName = Doc.EntLtpS[2].astrUDLTypeName = C.stored;
          Doc.SetFileOutOption(C.opt);
        });
    for (const std::u16string* Name :
         {&Back.EntMoji[0].str, &Back.EntMoji[0].strFontName, &Back.EntLay[5].aStrLayName,
          &Back.EntLgrp[1].aStrGLayName, &Back.EntColS[3].astrUDColorName, &Back.EntLtpS[2].astrUDLTypeName})
      EXPECT_TRUE(*Name == C.written);
    ExpectSaveIsFixedPoint(Back, C.opt);
  }
}

TEST(JwwWriterRules, ImageReferencesInsideDefinitionsAreRewrittenToo) {
  JwFile F(700);
  WriteJwwHeader(F, CanonicalHeader(700));
  const SampleEntities S = Samples(700);
  F.Count(1).Block(S.block);
  TEntJwwBlockDef D;
  D.strName = u"img";
  TEntJwwMoji Ref = S.moji;
  Ref.str = u"^@BM%temp%pic.jpg,1";
  F.Count(1).BlockDef(D, 1).Moji(Ref);
  F.b.i32(0);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  Doc.SetFileOutOption(0x08);
  TJwwData Back;
  ASSERT_TRUE(Load(Back, *Save(Doc, 700)));
  ASSERT_EQ(Back.EntBlockDef.size(), 1u);
  EXPECT_EQ(Back.EntBlockDef[0].mMoji[0].str, u"^@BMpic.jpg,1");
}

// A version-4.20 dimension saved below 4.20: the dimension, then its two
// lines and four points as objects of their own; the auxiliary points become
// temporary points. The same inside a definition.
TEST(JwwWriterRules, SxfDimensionsExpandBelow420) {
  const SampleEntities S = Samples(420);
  TEntJwwLine Line = S.line;
  Line.att = Pen(2, 3, 40);
  TEntJwwSunpo Dim = S.sunpo;  // standard pens only: nothing to map
  Dim.att = Pen(3, 7);
  Dim.Ho2.att = Pen(2, 3);
  Dim.Te2.bKariten = 1;
  Dim.Kt1.bKariten = 0;
  Dim.Kt2.bKariten = 0;
  TEntJwwSunpo Plain = Dim;
  Plain.bSxfMode = 0;
  TEntJwwBlockDef Def;
  Def.strName = u"dims";

  JwFile F(420);
  WriteJwwHeader(F, CanonicalHeader(420));
  F.Count(4).Line(Line).Sunpo(Dim).Sunpo(Plain).Block(S.block);
  F.Count(1).BlockDef(Def, 1).Sunpo(Dim);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));

  TEntJwwTen Kt1 = Dim.Kt1, Kt2 = Dim.Kt2;
  Kt1.bKariten = Kt2.bKariten = 1;
  auto Expanded = [&](JwFile& W) {
    W.Sunpo(Dim).Line(Dim.Ho1).Line(Dim.Ho2).Ten(Dim.Te1).Ten(Dim.Te2).Ten(Kt1).Ten(Kt2);
  };
  for (std::int32_t Ver : {351, 300}) {
    JwFile Want(Ver);
    WriteJwwHeader(Want, AsWritten(CanonicalHeader(420), Ver));
    Want.Count(4 + 6).Line(Line);
    Expanded(Want);
    Want.Sunpo(Plain).Block(S.block);
    Want.Count(1).BlockDef(Def, 1 + 6);
    Expanded(Want);
    const auto Saved = Save(Doc, Ver);
    ASSERT_TRUE(Saved);
    EXPECT_TRUE(*Saved == Want.bytes()) << Ver;
  }
  // The document's own version decides: a dimension of a 3.51 document is
  // never expanded, whatever its mode in memory.
  TJwwData Old;
  ASSERT_TRUE(Load(Old, CanonicalDrawing(351).bytes));
  Old.EntSunpo[0].bSxfMode = 1;
  TJwwData Back;
  ASSERT_TRUE(Load(Back, *Save(Old, 351)));
  EXPECT_EQ(Back.EntNo.size(), Old.EntNo.size());
}

}  // namespace
