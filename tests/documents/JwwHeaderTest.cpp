// The JWW header: recognition, version gates, section sizes, the values the
// reader derives and the rules the writer applies, on fixtures written from
// the field table and on the real drawings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

using namespace jwfix;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A whole file: the header and two empty lists (and no images from 7.00 on).
ByteVec HeaderFile(const JwwHeaderSpec& s, std::int32_t ver, Form form = Form::CodePage) {
  JwFile f(ver, form);
  WriteJwwHeader(f, s);
  f.Count(0).Count(0);
  if (ver >= 700) f.b.i32(0);
  return f.bytes();
}

HeaderMarks MarksOf(const JwwHeaderSpec& s, std::int32_t ver, Form form = Form::CodePage) {
  JwFile f(ver, form);
  return WriteJwwHeader(f, s);
}

template <class T>
T At(const ByteVec& b, std::size_t pos) {
  T v{};
  EXPECT_LE(pos + sizeof v, b.size());
  if (pos + sizeof v <= b.size()) std::memcpy(&v, b.data() + pos, sizeof v);
  return v;
}

std::size_t FileSizeOfHeader(std::size_t savedSize, std::int32_t ver) {
  return savedSize - 4 - (ver >= 700 ? 4 : 0);  // two empty counts, an empty image count
}

TEST(JwwHeader, FileCheckAcceptsVersions220To700) {
  testsupport::TempDir dir;
  struct Case {
    const char* what;
    ByteVec bytes;
    bool ok;
  };
  auto sig = [](std::int32_t v) { return testsupport::ByteBuilder().raw("JwwData.").i32(v).bytes; };
  ByteVec shortVersion = sig(600);
  shortVersion.pop_back();
  const Case cases[] = {
      {"219", sig(219), false},
      {"220", sig(220), true},
      {"600", sig(600), true},
      {"700", sig(700), true},
      {"701", sig(701), false},
      {"negative", sig(-600), false},
      {"signature only", testsupport::ByteBuilder().raw("JwwData.").bytes, false},
      {"version cut", shortVersion, false},
      {"empty", {}, false},
      {"other signature", testsupport::ByteBuilder().raw("JwwData,").i32(600).bytes, false},
      {"JWS", testsupport::ByteBuilder().raw("JwsData.").i32(600).bytes, false},
  };
  TJwwData doc;
  for (const Case& c : cases) {
    const auto path = dir / "f.jww";
    testsupport::WriteFileBytes(path, c.bytes);
    EXPECT_EQ(doc.FileCheck(testsupport::U16(path)), c.ok) << c.what;
  }
  EXPECT_FALSE(doc.FileCheck(testsupport::U16(dir / "missing.jww")));
  EXPECT_FALSE(doc.FileCheck(dir.u16())) << "a folder";
}

TEST(JwwHeader, ReaderAcceptsVersions220To700AndNeedsTheLastField) {
  for (std::int32_t v : {219, 220, 230, 231, 300, 351, 420, 600, 700, 701}) {
    const JwwHeaderSpec s = CanonicalHeader(v);
    JwFile f(v);
    const HeaderMarks m = WriteJwwHeader(f, s);
    TJwwData doc;
    ByteReader r{std::span<const std::uint8_t>(f.bytes())};
    EXPECT_EQ(doc.HeaderFrom(r), v >= 220 && v <= 700) << v;
    if (v < 220 || v > 700) continue;
    EXPECT_EQ(r.Position(), m.end) << "the reader stops at the entity list, version " << v;
    // The last field must deliver bytes; one byte of it is enough.
    for (std::size_t cut : {m.end - 8, m.end - 7, m.end - 1}) {
      const ByteVec part(f.bytes().begin(), f.bytes().begin() + static_cast<std::ptrdiff_t>(cut));
      ByteReader pr{std::span<const std::uint8_t>(part)};
      EXPECT_EQ(doc.HeaderFrom(pr), cut > m.end - 8) << v << " cut at " << cut;
    }
  }
}

TEST(JwwHeader, ReadsEveryFieldInItsPlace) {
  for (std::int32_t v : {220, 223, 225, 230, 231, 300, 351, 420, 600, 700}) {
    const Form form = v >= 700 ? Form::Utf16 : Form::CodePage;
    const JwwHeaderSpec s = CanonicalHeader(v);
    const ByteVec file = HeaderFile(s, v, form);
    TJwwData doc;
    ASSERT_TRUE(Load(doc, file)) << v;
    // Writing back what was read gives the same bytes only if every field
    // landed where it belongs.
    JwFile again(v, form);
    WriteJwwHeader(again, HeaderOf(doc));
    const ByteVec head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(again.b.size()));
    EXPECT_EQ(again.bytes(), head) << v;
    EXPECT_EQ(doc.Enthd.jwVer, v);
    EXPECT_EQ(doc.Enthd.strMemo, s.h.strMemo) << "the memo keeps its control characters";
    EXPECT_EQ(doc.MojiEncode, form == Form::Utf16);
  }
}

TEST(JwwHeader, EmptyHeaderSizes) {
  const struct {
    std::int32_t ver;
    std::size_t size;  // 0: not listed
  } cases[] = {{351, 4337}, {230, 4137}, {220, 4037}, {300, 4337}, {231, 4321}, {420, 0}, {600, 0}, {700, 0}};
  for (const auto& c : cases) {
    TJwwData doc;
    doc.SizeHeaderTables();
    const auto saved = Save(doc, c.ver);
    ASSERT_TRUE(saved) << c.ver;
    if (c.size != 0) {
      EXPECT_EQ(FileSizeOfHeader(saved->size(), c.ver), c.size) << c.ver;
    }
    // Every byte as the table and the writer rules give it.
    EXPECT_EQ(*saved, HeaderFile(AsWritten(EmptyHeader(), c.ver), c.ver)) << c.ver;
  }
}

TEST(JwwHeader, Version230SavedAt351WritesResetValuesForTheNewRows) {
  const JwwHeaderSpec s = CanonicalHeader(230);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, HeaderFile(s, 230)));
  for (int i = 4; i < 8; ++i) {
    EXPECT_EQ(doc.Enthd.dZoomJumpBairitsu[i], 1.0);
    EXPECT_EQ(doc.Enthd.DPZoomJumpGenten_x[i], 0.0);
  }
  for (int i = 0; i < 8; ++i) EXPECT_EQ(doc.Enthd.nZoomJumpGLay[i], -1);
  EXPECT_EQ(doc.Enthd.dDm11, 0.0);
  EXPECT_EQ(doc.Enthd.nMojiBG, 0);
  EXPECT_EQ(doc.Enthd.dTenkuuZuLevel, 0.0);
  const auto saved = Save(doc, 351);
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, HeaderFile(AsWritten(s, 351), 351));
}

TEST(JwwHeader, LineWidthModeIsDerivedAndClampedUpTo420) {
  const struct {
    std::int32_t stored;
    bool senHaba100;
    std::int32_t bak;
  } cases[] = {
      {-450, true, -50},  {-250, true, 50},   {-150, true, -100}, {-100, false, -100},
      {-500, true, -100}, {-401, true, -1},   {-501, true, -100}, {-300, true, 100},
      {-201, true, 1},    {-200, true, -100}, {-101, true, -100}, {5, false, 5},
  };
  for (const auto& c : cases) {
    JwwHeaderSpec s = CanonicalHeader(600);
    s.h.nMaxDrawWid = c.stored;
    TJwwData doc;
    ASSERT_TRUE(Load(doc, HeaderFile(s, 600)));
    EXPECT_EQ(doc.Enthd.bSenHaba100, c.senHaba100) << c.stored;
    EXPECT_EQ(doc.Enthd.nMaxDrawWidBak, c.bak) << c.stored;
    for (std::int32_t ver : {351, 420, 421, 600}) {
      const auto saved = Save(doc, ver);
      ASSERT_TRUE(saved);
      const std::int32_t expected = ver <= 420 && c.stored < -101 ? -101 : c.stored;
      EXPECT_EQ(At<std::int32_t>(*saved, MarksOf(s, ver).maxDrawWid), expected) << c.stored << " at " << ver;
    }
    EXPECT_EQ(doc.Enthd.nMaxDrawWid, c.stored) << "the document keeps its value";
  }
}

TEST(JwwHeader, PrintPackingSplitsAndPacksByVersion) {
  const struct {
    std::int32_t stored, dpi, disp, at420, at600;
  } cases[] = {
      {13, 1, 3, 3, 13},
      {3, 0, 3, 3, 13},
      {0, 0, 0, 0, 10},
      {3609, 360, 9, 9, 3609},
      // A negative flag digit is written as 0 from 6.00 on: -3 + 10 = 7 would
      // read back as flag 7 and be written as 17 by the next save.
      {-13, -1, -3, -3, 10},
  };
  for (const auto& c : cases) {
    JwwHeaderSpec s = CanonicalHeader(600);
    s.h.nPrtDpi = c.stored / 10;
    s.h.nPrtDispOnlyNonDraw = c.stored % 10;
    TJwwData doc;
    ASSERT_TRUE(Load(doc, HeaderFile(s, 600)));
    EXPECT_EQ(doc.Enthd.nPrtDpi, c.dpi) << c.stored;
    EXPECT_EQ(doc.Enthd.nPrtDispOnlyNonDraw, c.disp) << c.stored;
    EXPECT_EQ(At<std::int32_t>(*Save(doc, 420), MarksOf(s, 420).printPacking), c.at420) << c.stored;
    EXPECT_EQ(At<std::int32_t>(*Save(doc, 600), MarksOf(s, 600).printPacking), c.at600) << c.stored;
    EXPECT_EQ(At<std::int32_t>(*Save(doc, 700), MarksOf(s, 700).printPacking), c.at600) << c.stored;
  }
}

TEST(JwwHeader, TextTypeSizesAreRepairedOnReadAndClampedOnWrite) {
  JwwHeaderSpec s = CanonicalHeader(600);
  s.moj[0].adMojiX = kNaN;
  s.moj[0].adMojiD = kNaN;
  s.moj[1].adMojiY = -2.5;
  s.moj[2].adMojiX = 0;
  s.moj[3].adMojiY = -kInf;
  s.moj[4].adMojiX = 1e300;
  s.moj[5].adMojiD = -kInf;
  s.h.dMojiSizeX = kInf;
  s.h.dMojiSizeY = -1e-300;
  s.h.dMojiKankaku = kNaN;
  TJwwData doc;
  ASSERT_TRUE(Load(doc, HeaderFile(s, 600)));
  EXPECT_EQ(doc.EntMoj[0].adMojiX, 3.0);
  EXPECT_EQ(doc.EntMoj[0].adMojiD, 0.0);
  EXPECT_EQ(doc.EntMoj[1].adMojiY, -2.5);
  EXPECT_EQ(doc.EntMoj[3].adMojiY, 3.0);
  EXPECT_EQ(doc.EntMoj[5].adMojiD, 0.0);
  EXPECT_EQ(doc.Enthd.dMojiSizeX, 3.0);
  EXPECT_EQ(doc.Enthd.dMojiKankaku, 0.0);

  const auto saved = Save(doc, 600);
  ASSERT_TRUE(saved);
  const std::size_t t = MarksOf(s, 600).textTypes;
  auto typeField = [&](int k, int field) { return At<double>(*saved, t + 28 * k + 8 * field); };
  EXPECT_EQ(typeField(0, 0), 3.0);
  EXPECT_EQ(typeField(1, 1), 2.5);
  EXPECT_EQ(typeField(2, 0), 1e-10);
  EXPECT_EQ(typeField(3, 1), 3.0);
  EXPECT_EQ(typeField(4, 0), 1e10);
  EXPECT_EQ(At<double>(*saved, t + 280), 3.0);
  EXPECT_EQ(At<double>(*saved, t + 288), 1e-10);
  EXPECT_EQ(doc.EntMoj[1].adMojiY, -2.5) << "the document keeps its value";
}

TEST(JwwHeader, PenTablesAreClampedInTheBytesOnly) {
  JwwHeaderSpec s = CanonicalHeader(600);
  s.col[0].aPrtPenColor = 0x123456;  // entry 0 always prints white
  s.col[1] = {-1, 0, 0x1000000, 0, 0.05};
  s.col[2] = {0xFFFFFF, 17, 0, 501, 10.5};
  s.col[3] = {0, -5, -7, -9, -1};
  TJwwData doc;
  ASSERT_TRUE(Load(doc, HeaderFile(s, 600)));
  const auto saved = Save(doc, 600);
  ASSERT_TRUE(saved);
  const std::size_t p = MarksOf(s, 600).penTables;
  const struct {
    int k;
    std::int32_t color, width, prtColor, prtWidth;
    double radius;
  } expected[] = {
      {0, s.col[0].aPenColor, s.col[0].anPenWidth, 0xFFFFFF, s.col[0].anPrtPenWidth, s.col[0].adPrtTenHankei},
      {1, 0, 1, 0, 1, 0.1},
      {2, 0xFFFFFF, 16, 0, 500, 10.0},
      {3, 0, 1, 0, 1, 0.1},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(At<std::int32_t>(*saved, p + 8 * e.k), e.color) << e.k;
    EXPECT_EQ(At<std::int32_t>(*saved, p + 8 * e.k + 4), e.width) << e.k;
    EXPECT_EQ(At<std::int32_t>(*saved, p + 80 + 16 * e.k), e.prtColor) << e.k;
    EXPECT_EQ(At<std::int32_t>(*saved, p + 80 + 16 * e.k + 4), e.prtWidth) << e.k;
    EXPECT_EQ(At<double>(*saved, p + 80 + 16 * e.k + 8), e.radius) << e.k;
  }
  EXPECT_EQ(*saved, HeaderFile(AsWritten(HeaderOf(doc), 600), 600));
  EXPECT_EQ(doc.EntCol[1].aPenColor, -1) << "the document keeps its values";
}

TEST(JwwHeader, SxfTablesOfAnOlderFileAreWrittenWithDefaultsAt420) {
  TJwwData doc;
  ASSERT_TRUE(Load(doc, HeaderFile(CanonicalHeader(351), 351)));
  for (const TEntJwwColorExNo& c : doc.EntColS) EXPECT_EQ(c.aPenColor, 0);
  const auto saved = Save(doc, 420);
  ASSERT_TRUE(saved);
  const HeaderMarks m = MarksOf(AsWritten(HeaderOf(doc), 420), 420);
  // Screen colours and widths: zero.
  for (std::size_t i = 0; i < 257 * 8; ++i) ASSERT_EQ((*saved)[m.sxfColors + i], 0) << i;
  // Then "Color_0" with zero print values.
  std::size_t p = m.sxfColors + 257 * 8;
  EXPECT_EQ((*saved)[p], 7);
  EXPECT_EQ(std::string(saved->begin() + p + 1, saved->begin() + p + 8), "Color_0");
  // The line types: -1 and zeros up to entry 16, the default pattern from 17.
  p += 257 * 17 + 10 * 7 + 90 * 8 + 157 * 9;  // names Color_0..9, 10..99, 100..256
  EXPECT_EQ(std::string(saved->begin() + p - 16 - 9, saved->begin() + p - 16), "Color_256");
  for (int k = 0; k < 33; ++k) {
    const std::size_t e = p + 16 * k;
    if (k <= 16) {
      EXPECT_EQ(At<std::int32_t>(*saved, e), -1) << k;
      EXPECT_EQ(At<std::int32_t>(*saved, e + 4), 0) << k;
    } else {
      EXPECT_EQ(At<std::uint32_t>(*saved, e), 0xC3C3C3C3u) << k;
      EXPECT_EQ(At<std::int32_t>(*saved, e + 4), 8) << k;
      EXPECT_EQ(At<std::int32_t>(*saved, e + 8), 1) << k;
      EXPECT_EQ(At<std::int32_t>(*saved, e + 12), 8) << k;
    }
  }
  EXPECT_EQ(*saved, HeaderFile(AsWritten(HeaderOf(doc), 420), 420));
}

TEST(JwwHeader, SxfTablesOfA420FileGetTheWriterFixUps) {
  JwwHeaderSpec s = CanonicalHeader(420);
  s.colS[5].astrUDColorName = u"\u3000 ";
  s.colS[6].astrUDColorName = u"^m\\n";
  s.colS[7].astrUDColorName = u"";
  s.colS[20].aPrtPenColor = s.colS[20].aPenColor + 1;  // written as the screen colour
  s.colS[16].aPrtPenColor = s.colS[16].aPenColor + 1;  // kept
  s.ltpS[3].alLType = 0;
  s.ltpS[4].astrUDLTypeName = u" ";
  s.ltpS[16].anUDLTypeSegment = 3;  // kept below 17
  s.ltpS[18].anUDLTypeSegment = 3;
  s.ltpS[19].anUDLTypeSegment = 0;
  s.ltpS[20].alLType = 0;
  s.ltpS[20].anUDLTypeSegment = 8;
  TJwwData doc;
  ASSERT_TRUE(Load(doc, HeaderFile(s, 420)));
  const auto saved = Save(doc, 420);
  ASSERT_TRUE(saved);
  const JwwHeaderSpec w = AsWritten(s, 420);
  EXPECT_EQ(w.colS[5].astrUDColorName, u"Color_5");
  EXPECT_EQ(w.colS[6].astrUDColorName, u"Color_6");
  EXPECT_EQ(w.ltpS[18].astrUDLTypeName, u"LType_18");
  EXPECT_EQ(w.ltpS[20].alLType, -1);
  EXPECT_EQ(*saved, HeaderFile(w, 420));
  EXPECT_EQ(*Save(doc, 600), HeaderFile(AsWritten(s, 600), 600));
}

TEST(JwwHeader, ReservedAreasAreKeptAsRead) {
  JwwHeaderSpec s = CanonicalHeader(600);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, HeaderFile(s, 600)));
  ASSERT_TRUE(doc.Enthd.reserved56 && doc.Enthd.reserved4);
  for (std::int32_t ver : {230, 351, 600}) {
    const auto saved = Save(doc, ver);
    ASSERT_TRUE(saved);
    const HeaderMarks m = MarksOf(s, ver);
    EXPECT_TRUE(std::equal(s.h.reserved56->begin(), s.h.reserved56->end(), saved->begin() + m.reserved56)) << ver;
    EXPECT_TRUE(std::equal(s.h.reserved4->begin(), s.h.reserved4->end(), saved->begin() + m.reserved4)) << ver;
  }
  // A document that never read them gets the plain fill.
  TJwwData fresh;
  fresh.SizeHeaderTables();
  const auto saved = Save(fresh, 600);
  const HeaderMarks m = MarksOf(EmptyHeader(), 600);
  EXPECT_EQ(ByteVec(saved->begin() + m.reserved56, saved->begin() + m.reserved56 + 56), ByteVec(56, 0x20));
  EXPECT_EQ(ByteVec(saved->begin() + m.reserved4, saved->begin() + m.reserved4 + 4), ByteVec(4, 0));
}

// The memo of a real drawing decoded straight from the bytes at offset 12.
std::u16string MemoFromBytes(const ByteVec& b, std::size_t& end) {
  std::size_t p = 12;
  const std::uint8_t first = b.at(p++);
  std::size_t n = first;
  if (first == 0xFF) {
    n = b.at(p) | (b.at(p + 1) << 8);
    p += 2;
    if (n == 0xFFFE) {
      n = b.at(p++);
      if (n == 0xFF) {
        n = b.at(p) | (b.at(p + 1) << 8);
        p += 2;
      }
      std::u16string s;
      for (std::size_t i = 0; i < n; ++i)
        s.push_back(static_cast<char16_t>(b.at(p + 2 * i) | (b.at(p + 2 * i + 1) << 8)));
      end = p + 2 * n;
      return s.substr(0, s.find(u'\0'));
    }
  }
  end = p + n;
  return AnsiBytesToText(std::span(b).subspan(p, n));
}

TEST(JwwHeader, FileHeaderInOnEveryRealDrawing) {
  const auto files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(files);
  TJwwData doc;
  for (const auto& path : files) {
    const ByteVec bytes = testsupport::ReadFileBytes(path);
    std::size_t memoEnd = 0;
    const std::u16string memo = MemoFromBytes(bytes, memoEnd);
    std::int32_t ver = 0;
    std::memcpy(&ver, bytes.data() + 8, 4);
    ASSERT_TRUE(doc.FileCheck(testsupport::U16(path))) << path;
    ASSERT_TRUE(doc.FileHeaderIn(testsupport::U16(path))) << path;
    EXPECT_EQ(doc.Enthd.jwVer, ver) << path;
    EXPECT_EQ(doc.Enthd.strMemo, memo) << path;
    EXPECT_TRUE(doc.EntNo.empty() && doc.EntLine.empty() && doc.EntBlockDef.empty()) << path;
    EXPECT_EQ(doc.EntLay.size(), 256u);
  }
}

// A real header read and saved at its own version: the bytes come back
// except where the writer's rules change them.
TEST(JwwHeader, RealHeadersComeBackExceptForTheWriterRules) {
  const auto files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(files);
  for (const auto& path : files) {
    const ByteVec original = testsupport::ReadFileBytes(path);
    TJwwData doc;
    ByteReader r{std::span<const std::uint8_t>(original)};
    ASSERT_TRUE(doc.HeaderFrom(r)) << path;
    const std::int32_t ver = doc.Enthd.jwVer;
    const Form form = doc.MojiEncode ? Form::Utf16 : Form::CodePage;
    const std::size_t headerEnd = r.Position();

    // What was read, written back from the table, is the original header.
    JwFile read(ver, form);
    WriteJwwHeader(read, HeaderOf(doc));
    ASSERT_EQ(read.bytes(), ByteVec(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(headerEnd)))
        << path;

    // The writer's header is that header with its rules applied.
    doc.SetFileOutOption(doc.MojiEncode ? 0x20 : 0);
    const auto saved = Save(doc, ver);
    ASSERT_TRUE(saved) << path;
    JwFile expected(ver, form);
    WriteJwwHeader(expected, AsWritten(HeaderOf(doc), ver));
    ASSERT_GE(saved->size(), expected.b.size());
    EXPECT_EQ(ByteVec(saved->begin(), saved->begin() + static_cast<std::ptrdiff_t>(expected.b.size())),
              expected.bytes())
        << path;

    // In the real drawings only the SXF tables change (blank colour names
    // become Color_k, line types 17..32 without a valid segment count get the
    // default pattern, type 0 becomes -1): everything before the SXF names
    // and everything from the text types on is byte for byte the original.
    const HeaderMarks in = MarksOf(HeaderOf(doc), ver, form);
    const HeaderMarks out = MarksOf(AsWritten(HeaderOf(doc), ver), ver, form);
    const std::size_t names = in.sxfColors + 257 * 8;
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + names, saved->begin())) << path;
    EXPECT_TRUE(std::equal(original.begin() + in.textTypes, original.begin() + in.end, saved->begin() + out.textTypes))
        << path;
  }
}

}  // namespace
