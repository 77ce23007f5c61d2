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

ByteVec AttrBytes(const TEntJwwAttr& a, std::int32_t ver, int kind) {
  MemorySink sink;
  ByteWriter w(sink);
  ArchiveOut out(w, false);
  WriteAttr(out, ver, a, kind);
  w.Flush();
  return sink.bytes;
}

ByteVec ExpectedAttrBytes(TEntJwwAttr a, std::int32_t ver) {
  JwFile f(ver);
  f.Attr(a);
  return f.bytes();
}

TEST(JwwWriterRules, PenMappingAndValidationTable) {
  std::vector<AttrCase> cases = {
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
  const int ltypes[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};
  for (int s = 31; s <= 62; ++s) cases.push_back({kLine, 351, s, 1, s <= 45 ? ltypes[s - 31] : 1, 1});
  const int colors[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};
  for (int c = 101; c <= 356; ++c) cases.push_back({kSolid, 351, 1, c, 1, c <= 116 ? colors[c - 101] : 1});

  for (const AttrCase& c : cases) {
    for (bool wide : {false, true}) {
      TEntJwwAttr a = Pen(c.style, c.color, 0, 3, 4);
      a.lGroup = 0xDEADBEEF;
      a.sFlg = 0x8421;
      a.nPenWidth = wide ? 30000 : 30001;
      TEntJwwAttr want = a;
      want.nPenStyle = static_cast<std::uint8_t>(c.wantStyle);
      want.nPenColor = static_cast<std::uint16_t>(c.wantColor);
      want.nPenWidth = wide ? 30000 : 0;
      EXPECT_EQ(AttrBytes(a, c.ver, c.kind), ExpectedAttrBytes(want, c.ver))
          << "kind " << c.kind << " ver " << c.ver << " style " << c.style << " colour " << c.color;
    }
  }
}

TEST(JwwWriterRules, LayerLimitsAndFallbackNumbers) {
  for (int kind = kLine; kind <= kBlockDef; ++kind) {
    TEntJwwAttr a = Pen(kind == kTen ? 100 : 1, 1, 12, 16, 15);
    TEntJwwAttr want = a;
    want.nLayer = 0;
    EXPECT_EQ(AttrBytes(a, 420, kind), ExpectedAttrBytes(want, 420)) << kind;
    a.nLayer = 15;
    a.nGLayer = 0xFFFF;
    want.nLayer = 15;
    want.nGLayer = 0;
    EXPECT_EQ(AttrBytes(a, 300, kind), ExpectedAttrBytes(want, 300)) << kind;
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
template <class Build, class Change>
void SaveAndReload(TJwwData& out, std::int32_t fileVer, std::int32_t saveVer, std::uint32_t count, Build build,
                   Change change) {
  JwFile f(fileVer);
  WriteJwwHeader(f, CanonicalHeader(fileVer));
  f.Count(count);
  build(f);
  f.Count(0);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  change(doc);
  const auto saved = Save(doc, saveVer);
  ASSERT_TRUE(saved);
  ASSERT_TRUE(Load(out, *saved));
}

// Saving doc, reloading what was written and saving that again gives the
// same bytes.
void ExpectSaveIsFixedPoint(TJwwData& doc, int opt) {
  SCOPED_TRACE(opt);
  doc.SetFileOutOption(opt);
  const auto first = Save(doc, 700);
  TJwwData again;
  ASSERT_TRUE(first && Load(again, *first));
  again.SetFileOutOption(opt);
  EXPECT_EQ(Save(again, 700), first);
}

TEST(JwwWriterRules, PensOfADocumentSaveAreMappedInTheBytesOnly) {
  const SampleEntities s = Samples(420);
  TEntJwwLine line = s.line;
  line.att = Pen(35, 105, 500);
  TJwwData back;
  SaveAndReload(
      back, 420, 351, 1, [&](JwFile& f) { f.Line(line); },
      [&](TJwwData& doc) {
        ASSERT_TRUE(Save(doc, 351));
        EXPECT_EQ(doc.EntLine[0].att, line.att) << "the document keeps its pens";
      });
  EXPECT_EQ(back.EntLine[0].att, Pen(8, 4, 500)) << "the width stays at 3.51";
}

TEST(JwwWriterRules, TextSizesAreWrittenAsAbsoluteValuesInRange) {
  const struct {
    double stored, written;
  } cases[] = {{-4, 4}, {0, 1e-10}, {-0.0, 1e-10}, {1e-11, 1e-10}, {1e12, 1e10}, {-1e12, 1e10}, {2.5, 2.5}};
  for (const auto& c : cases) {
    TEntJwwMoji text = Samples(600).moji;
    text.dSizeX = c.stored;
    text.dSizeY = -c.stored;
    text.dKankaku = -2;
    text.degKakudo = -370;
    TEntJwwSunpo dim = Samples(600).sunpo;
    dim.Moji.dSizeX = c.stored;
    TJwwData back;
    SaveAndReload(
        back, 600, 600, 2, [&](JwFile& f) { f.Moji(text).Sunpo(dim); }, [](TJwwData&) {});
    EXPECT_EQ(back.EntMoji[0].dSizeX, c.written) << c.stored;
    EXPECT_EQ(back.EntMoji[0].dSizeY, c.written) << c.stored;
    EXPECT_EQ(back.EntMoji[0].dKankaku, -2);
    EXPECT_EQ(back.EntMoji[0].degKakudo, -370);
    EXPECT_EQ(back.EntSunpo[0].Moji.dSizeX, c.written) << c.stored;
  }
}

TEST(JwwWriterRules, ImageReferencesAreRewrittenByTheOptionBits) {
  const struct {
    int opt;
    std::u16string stored, written;
  } cases[] = {
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
  for (const auto& c : cases) {
    TEntJwwMoji text = Samples(700).moji;
    text.str = c.stored;
    TEntJwwSunpo dim = Samples(700).sunpo;
    dim.Moji.str = c.stored;
    TJwwData back;
    SaveAndReload(
        back, 700, 700, 2, [&](JwFile& f) { f.Moji(text).Sunpo(dim); },
        [&](TJwwData& doc) { doc.SetFileOutOption(c.opt); });
    EXPECT_TRUE(back.EntMoji[0].str == c.written) << c.opt << " " << testing::PrintToString(c.stored);
    EXPECT_TRUE(back.EntSunpo[0].Moji.str == CleanOutText(c.stored)) << "a dimension's text is not a reference";
  }
}

// Written in the code page, "¥" becomes "\", a folder separator once read
// back: the name is cut where the saved text has its separators, so a second
// save writes the same bytes.
TEST(JwwWriterRules, ImageNamesAreCutAsTheSavedTextReadsBack) {
  const struct {
    int opt;
    std::u16string written;
  } cases[] = {
      {0x01, u"^@BMpic.jpg,1"},
      {0x21, u"^@BM%temp%dir¥pic.jpg,1"},
  };
  for (const auto& c : cases) {
    TJwwData back;
    SaveAndReload(
        back, 700, 700, 1, [&](JwFile& f) { f.Moji(Samples(700).moji); },
        [&](TJwwData& doc) {
          doc.EntMoji[0].str = u"^@BM%temp%dir¥pic.jpg,1";
          doc.SetFileOutOption(c.opt);
        });
    EXPECT_TRUE(back.EntMoji[0].str == c.written) << c.opt;
    ExpectSaveIsFixedPoint(back, c.opt);
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
  } cases[] = {
      {0, u"cy¥nan", u"cyan"},
      {kOutUtf16, u"cy¥nan", u"cy¥nan"},
      {0, u"cy\\^mnan", u"cyan"},
      {kOutUtf16, u"cy\\^mnan", u"cyan"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.opt);
    TJwwData back;
    SaveAndReload(
        back, 700, 700, 1, [&](JwFile& f) { f.Moji(Samples(700).moji); },
        [&](TJwwData& doc) {
          doc.EntMoji[0].str = doc.EntMoji[0].strFontName = c.stored;
          doc.EntLay[5].aStrLayName = doc.EntLgrp[1].aStrGLayName = c.stored;
          doc.EntColS[3].astrUDColorName = doc.EntLtpS[2].astrUDLTypeName = c.stored;
          doc.SetFileOutOption(c.opt);
        });
    for (const std::u16string* name :
         {&back.EntMoji[0].str, &back.EntMoji[0].strFontName, &back.EntLay[5].aStrLayName,
          &back.EntLgrp[1].aStrGLayName, &back.EntColS[3].astrUDColorName, &back.EntLtpS[2].astrUDLTypeName})
      EXPECT_TRUE(*name == c.written);
    ExpectSaveIsFixedPoint(back, c.opt);
  }
}

TEST(JwwWriterRules, ImageReferencesInsideDefinitionsAreRewrittenToo) {
  JwFile f(700);
  WriteJwwHeader(f, CanonicalHeader(700));
  const SampleEntities s = Samples(700);
  f.Count(1).Block(s.block);
  TEntJwwBlockDef d;
  d.strName = u"img";
  TEntJwwMoji ref = s.moji;
  ref.str = u"^@BM%temp%pic.jpg,1";
  f.Count(1).BlockDef(d, 1).Moji(ref);
  f.b.i32(0);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  doc.SetFileOutOption(0x08);
  TJwwData back;
  ASSERT_TRUE(Load(back, *Save(doc, 700)));
  ASSERT_EQ(back.EntBlockDef.size(), 1u);
  EXPECT_EQ(back.EntBlockDef[0].mMoji[0].str, u"^@BMpic.jpg,1");
}

// A version-4.20 dimension saved below 4.20: the dimension, then its two
// lines and four points as objects of their own; the auxiliary points become
// temporary points. The same inside a definition.
TEST(JwwWriterRules, SxfDimensionsExpandBelow420) {
  const SampleEntities s = Samples(420);
  TEntJwwLine line = s.line;
  line.att = Pen(2, 3, 40);
  TEntJwwSunpo dim = s.sunpo;  // standard pens only: nothing to map
  dim.att = Pen(3, 7);
  dim.Ho2.att = Pen(2, 3);
  dim.Te2.bKariten = 1;
  dim.Kt1.bKariten = 0;
  dim.Kt2.bKariten = 0;
  TEntJwwSunpo plain = dim;
  plain.bSxfMode = 0;
  TEntJwwBlockDef def;
  def.strName = u"dims";

  JwFile f(420);
  WriteJwwHeader(f, CanonicalHeader(420));
  f.Count(4).Line(line).Sunpo(dim).Sunpo(plain).Block(s.block);
  f.Count(1).BlockDef(def, 1).Sunpo(dim);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));

  TEntJwwTen kt1 = dim.Kt1, kt2 = dim.Kt2;
  kt1.bKariten = kt2.bKariten = 1;
  auto expanded = [&](JwFile& w) {
    w.Sunpo(dim).Line(dim.Ho1).Line(dim.Ho2).Ten(dim.Te1).Ten(dim.Te2).Ten(kt1).Ten(kt2);
  };
  for (std::int32_t ver : {351, 300}) {
    JwFile want(ver);
    WriteJwwHeader(want, AsWritten(CanonicalHeader(420), ver));
    want.Count(4 + 6).Line(line);
    expanded(want);
    want.Sunpo(plain).Block(s.block);
    want.Count(1).BlockDef(def, 1 + 6);
    expanded(want);
    const auto saved = Save(doc, ver);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(*saved == want.bytes()) << ver;
  }
  // The document's own version decides: a dimension of a 3.51 document is
  // never expanded, whatever its mode in memory.
  TJwwData old;
  ASSERT_TRUE(Load(old, CanonicalDrawing(351).bytes));
  old.EntSunpo[0].bSxfMode = 1;
  TJwwData back;
  ASSERT_TRUE(Load(back, *Save(old, 351)));
  EXPECT_EQ(back.EntNo.size(), old.EntNo.size());
}

}  // namespace
