// Whole JWW documents: load and save of the real drawings, version raises,
// output options, failed loads and saves through real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

using namespace jwfix;
namespace fs = std::filesystem;

namespace {

Form FormOf(const TJwBody& doc) { return doc.MojiEncode ? Form::Utf16 : Form::CodePage; }

std::size_t CountFiles(const fs::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

// Every real drawing: load, save at its own version, reload. The reloaded
// document is the original with the writer's rules applied, and saving it
// again gives the same bytes.
TEST(JwwLoadSave, RealDrawingsSurviveASaveAndReachAFixedPoint) {
  const auto files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(files);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const ByteVec original = testsupport::ReadFileBytes(path);
    TJwwData doc;
    doc.BindImageExr = true;  // read the image list, extract nothing
    ByteReader r{std::span<const std::uint8_t>(original)};
    ASSERT_TRUE(doc.LoadFrom(r));
    EXPECT_EQ(r.Remaining(), 0u) << "the whole file was read";
    const std::int32_t ver = doc.Enthd.jwVer;
    EXPECT_EQ(doc.EntNo.size(), static_cast<std::size_t>(doc.Enthd.n1));
    for (const TEntJwwNo& e : doc.EntNo) ASSERT_TRUE(doc.Entities().Valid(e)) << "no record was dropped";
    EXPECT_EQ(doc.EntBlockDef.size(), static_cast<std::size_t>(doc.Enthd.n2));

    doc.SetFileOutOption(doc.MojiEncode ? 0x20 : 0);
    const auto saved = Save(doc, ver);
    ASSERT_TRUE(saved);
    TJwwData back;
    ASSERT_TRUE(Load(back, *saved));
    EXPECT_EQ(back.Enthd.jwVer, ver);
    EXPECT_EQ(back.EntNo, doc.EntNo);
    EXPECT_EQ(back.EntBlockDef.size(), static_cast<std::size_t>(doc.EntBlockNum));

    // Header and body as the rules say.
    JwFile headerWanted(ver, FormOf(doc)), headerGot(ver, FormOf(doc));
    WriteJwwHeader(headerWanted, AsWritten(HeaderOf(doc), ver));
    WriteJwwHeader(headerGot, HeaderOf(back));
    EXPECT_TRUE(headerGot.bytes() == headerWanted.bytes());
    ApplyWriterRules(doc, ver);
    EXPECT_TRUE(BodyOf(ver, FormOf(doc), back) == BodyOf(ver, FormOf(doc), doc));

    back.SetFileOutOption(back.MojiEncode ? 0x20 : 0);
    EXPECT_TRUE(*Save(back, ver) == *saved) << "a second save changes nothing";
  }
}

// A real version-6.00 drawing saved as 7.00: the header gains nothing but
// its version, the body is the same, and an empty image section follows.
TEST(JwwLoadSave, RealDrawingRaisedTo700) {
  const auto files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(files);
  for (const auto& path : files) {
    TJwwData doc;
    ASSERT_TRUE(doc.FileIn(testsupport::U16(path)));
    if (doc.Enthd.jwVer != 600) continue;
    const auto saved = Save(doc, 700);
    ASSERT_TRUE(saved);
    TJwwData back;
    ASSERT_TRUE(Load(back, *saved));
    EXPECT_EQ(back.Enthd.jwVer, 700);
    JwFile wanted(700);
    WriteJwwHeader(wanted, AsWritten(HeaderOf(doc), 700));
    ApplyWriterRules(doc, 700);
    const ByteVec body = BodyOf(700, Form::CodePage, doc);
    wanted.b.raw(body).i32(0);
    EXPECT_TRUE(*saved == wanted.bytes()) << path;
    return;  // one drawing is enough
  }
  GTEST_SKIP() << "no version-6.00 drawing";
}

// A version-3.00 drawing raised to 3.51 and 4.20, as the conversion does
// before it assigns widths or SXF pens.
TEST(JwwLoadSave, SyntheticVersion300Raised) {
  const Drawing d = CanonicalDrawing(300);
  for (std::int32_t ver : {351, 420}) {
    TJwwData doc;
    ASSERT_TRUE(Load(doc, d.bytes));
    for (const TEntJwwLine& l : doc.EntLine) EXPECT_EQ(l.att.nPenWidth, 0);
    doc.Enthd.jwVer = ver;
    doc.EntLine[0].att.nPenWidth = 70;
    doc.EntLine[1].att.nPenColor = 105;  // an SXF colour, as a conversion may set
    const auto saved = Save(doc, ver);
    ASSERT_TRUE(saved);
    TJwwData back;
    ASSERT_TRUE(Load(back, *saved));
    EXPECT_EQ(back.Enthd.jwVer, ver);
    EXPECT_EQ(back.EntLine[0].att.nPenWidth, 70);
    EXPECT_EQ(back.EntEnko[0].att.nPenWidth, 0);
    EXPECT_EQ(back.EntLine[1].att.nPenColor, ver >= 420 ? 105 : 4);
    const TEntJwwSunpo& dim = back.EntSunpo[0];
    if (ver >= 420) {
      // The SXF part as a load below 4.20 set it; its points get style 1.
      EXPECT_EQ(dim.bSxfMode, 0);
      EXPECT_EQ(dim.Ho1.att, WrittenAttr(doc.EntSunpo[0].att, kLine, 420));
      EXPECT_EQ(dim.Te1.att.nPenStyle, 1);
      EXPECT_EQ(dim.Kt2.start_x, 0.0);
      EXPECT_EQ(back.EntColS[17].astrUDColorName, u"Color_17");
      EXPECT_EQ(back.EntLtpS[20].anUDLTypeSegment, 2);
    }
    ApplyWriterRules(doc, ver);
    EXPECT_TRUE(BodyOf(ver, Form::CodePage, back) == BodyOf(ver, Form::CodePage, doc)) << ver;
  }
}

TEST(JwwLoadSave, SetFileOutOptionKeeps0To63) {
  TJwwData doc;
  const struct { int in, kept; } cases[] = {{0, 0}, {1, 1}, {0x20, 0x20}, {63, 63}, {64, 0}, {-1, 0}, {0x120, 0}};
  for (const auto& c : cases) {
    doc.SetFileOutOption(c.in);
    EXPECT_EQ(doc.FileOutOpt, c.kept) << c.in;
  }
}

// One UTF-16 string in a code-page file: saved with the option, every string
// of the output is in UTF-16 form, layer names included.
TEST(JwwLoadSave, Utf16OptionWritesEveryStringInUtf16) {
  const SampleEntities s = Samples(600);
  const JwwHeaderSpec h = CanonicalHeader(600);
  JwFile f(600);
  WriteJwwHeader(f, h);
  f.Count(2).Moji(s.moji);
  f.form = Form::Utf16;
  f.Moji(s.moji);
  f.form = Form::CodePage;
  f.Count(0);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  EXPECT_TRUE(doc.MojiEncode);
  doc.SetFileOutOption(0x20);
  JwFile wanted(600, Form::Utf16);
  WriteJwwHeader(wanted, AsWritten(h, 600));
  wanted.Count(2).Moji(s.moji).Moji(s.moji).Count(0);
  EXPECT_TRUE(*Save(doc, 600) == wanted.bytes());
  doc.SetFileOutOption(0);
  JwFile plain(600);
  WriteJwwHeader(plain, AsWritten(h, 600));
  plain.Count(2).Moji(s.moji).Moji(s.moji).Count(0);
  EXPECT_TRUE(*Save(doc, 600) == plain.bytes());
}

// A class that is not an entity class fails the load after what was read;
// the block tree is still built from it.
TEST(JwwLoadSave, UnknownClassFailsTheLoadAfterTheTree) {
  const SampleEntities s = Samples(600);
  for (bool inDefinition : {false, true}) {
    JwFile f(600);
    WriteJwwHeader(f, CanonicalHeader(600));
    f.Count(inDefinition ? 2 : 3).Line(s.line).Block(s.block);
    if (!inDefinition) f.Tag("CDataXyz").LineRec(s.line).Took();
    TEntJwwBlockDef def;
    def.strName = u"zero";
    f.Count(1).BlockDef(def, 2).Line(s.line);
    f.Tag("CDataXyz").LineRec(s.line);
    TJwwData doc;
    EXPECT_FALSE(Load(doc, f.bytes())) << inDefinition;
    EXPECT_EQ(doc.EntLine.size(), 1u);
    ASSERT_EQ(doc.EntBlockTree.size(), 1u) << inDefinition;
    EXPECT_EQ(doc.EntBlockTree[0].defno, inDefinition ? 0 : -1);
    EXPECT_EQ(doc.EntBlockNum, inDefinition ? 1 : 0);
  }
}

TEST(JwwLoadSave, WrongSignatureResetsAllButTheTablesAndTheId) {
  TJwwData doc;
  ASSERT_TRUE(Load(doc, CanonicalDrawing(600).bytes));
  ByteVec bytes = CanonicalDrawing(600).bytes;
  bytes[7] = 'X';
  EXPECT_FALSE(Load(doc, bytes));
  EXPECT_EQ(doc.Enthd.jwID, u"JwwDataX");
  EXPECT_EQ(doc.Enthd.jwVer, 0);
  EXPECT_TRUE(doc.Enthd.strMemo.empty());
  EXPECT_EQ(doc.Enthd.dBairitsu, 1.0);
  EXPECT_EQ(doc.Enthd.nZoomJumpGLay[7], -1);
  EXPECT_TRUE(doc.EntNo.empty() && doc.EntLine.empty() && doc.EntBlockDef.empty() && doc.EntBlockTree.empty());
  ASSERT_EQ(doc.EntLay.size(), 256u);
  EXPECT_EQ(doc.EntLay[17].aanLay, 0);
  EXPECT_TRUE(doc.EntLay[17].aStrLayName.empty());
  EXPECT_EQ(doc.EntColS.size(), 257u);
  EXPECT_FALSE(doc.MojiEncode);
  // A wrong version is the same story.
  bytes[7] = '.';
  bytes[8] = 0xBD;  // 701
  bytes[9] = 0x02;
  EXPECT_FALSE(Load(doc, bytes));
  EXPECT_EQ(doc.Enthd.jwVer, 701);
  EXPECT_TRUE(doc.EntLine.empty());
}

TEST(JwwLoadSave, FilesInAndOut) {
  testsupport::TempDir dir;
  const Drawing d = CanonicalDrawing(600);
  testsupport::WriteFileBytes(dir / "in.jww", d.bytes);
  TJwwData doc;
  ASSERT_TRUE(doc.FileIn(testsupport::U16(dir / "in.jww")));
  ASSERT_TRUE(doc.FileOut(testsupport::U16(dir / "out.jww"), 600));
  EXPECT_TRUE(testsupport::ReadFileBytes(dir / "out.jww") == d.bytes);
  // Over an existing file; nothing else is left in the folder.
  ASSERT_TRUE(doc.FileOut(testsupport::U16(dir / "in.jww"), 600));
  EXPECT_TRUE(testsupport::ReadFileBytes(dir / "in.jww") == d.bytes);
  EXPECT_EQ(CountFiles(dir.path()), 2u);
  // A missing file loads nothing.
  EXPECT_FALSE(doc.FileIn(testsupport::U16(dir / "missing.jww")));
  EXPECT_TRUE(doc.EntLine.empty());
  EXPECT_FALSE(doc.FileHeaderIn(testsupport::U16(dir / "missing.jww")));
}

TEST(JwwLoadSave, FailedSavesLeaveNoFile) {
  testsupport::TempDir dir;
  TJwwData doc;
  ASSERT_TRUE(Load(doc, CanonicalDrawing(600).bytes));
  EXPECT_FALSE(doc.FileOut(testsupport::U16(dir / "no" / "such" / "out.jww"), 600));
  EXPECT_FALSE(fs::exists(dir / "no"));
  EXPECT_EQ(CountFiles(dir.path()), 0u);

  // A document whose tables were never sized by a load is refused, and the
  // file of that name is gone afterwards.
  TJwwData fresh;
  testsupport::WriteFileBytes(dir / "out.jww", {1, 2, 3});
  EXPECT_FALSE(fresh.FileOut(testsupport::U16(dir / "out.jww"), 600));
  EXPECT_FALSE(fs::exists(dir / "out.jww"));
  EXPECT_EQ(CountFiles(dir.path()), 0u);
  EXPECT_FALSE(Save(fresh, 600));
  fresh.SizeHeaderTables();
  EXPECT_TRUE(Save(fresh, 600));
  // A header-only document has its tables.
  testsupport::WriteFileBytes(dir / "in.jww", CanonicalDrawing(600).bytes);
  ASSERT_TRUE(fresh.FileHeaderIn(testsupport::U16(dir / "in.jww")));
  EXPECT_TRUE(Save(fresh, 600));
}

TEST(JwwLoadSave, SaveLeavesTheDocumentAsItWas) {
  TJwwData doc;
  ASSERT_TRUE(Load(doc, CanonicalDrawing(420).bytes));
  doc.EntLine[0].att = Pen(50, 400, 40000, 16, 99);
  doc.EntMoji[0].dSizeX = -4;
  doc.EntMoji[0].str = u"a^mb";
  doc.Enthd.jwID = u"changed";
  const ByteVec before = BodyOf(420, Form::CodePage, doc);
  ASSERT_TRUE(Save(doc, 351));
  EXPECT_TRUE(BodyOf(420, Form::CodePage, doc) == before);
  EXPECT_EQ(doc.Enthd.jwID, u"JwwData.");
}

}  // namespace
