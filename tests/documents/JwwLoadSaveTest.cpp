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

Form FormOf(const TJwBody& Doc) { return Doc.MojiEncode ? Form::Utf16 : Form::CodePage; }

std::size_t CountFiles(const fs::path& Dir) {
  std::size_t N = 0;
  for ([[maybe_unused]] const auto& E : fs::directory_iterator(Dir)) ++N;
  return N;
}

// Every real drawing: load, save at its own version, reload. The reloaded
// document is the original with the writer's rules applied, and saving it
// again gives the same bytes.
TEST(JwwLoadSave, RealDrawingsSurviveASaveAndReachAFixedPoint) {
  const auto Files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(Files);
  for (const auto& Path : Files) {
    SCOPED_TRACE(Path.filename().string());
    const ByteVec Original = testsupport::ReadFileBytes(Path);
    TJwwData Doc;
    Doc.BindImageExr = true;  // read the image list, extract nothing
    ByteReader R{std::span<const std::uint8_t>(Original)};
    ASSERT_TRUE(Doc.LoadFrom(R));
    EXPECT_EQ(R.Remaining(), 0u) << "the whole file was read";
    const std::int32_t Ver = Doc.Enthd.jwVer;
    EXPECT_EQ(Doc.EntNo.size(), static_cast<std::size_t>(Doc.Enthd.n1));
    for (const TEntJwwNo& E : Doc.EntNo) ASSERT_TRUE(Doc.Entities().Valid(E)) << "no record was dropped";
    EXPECT_EQ(Doc.EntBlockDef.size(), static_cast<std::size_t>(Doc.Enthd.n2));

    Doc.SetFileOutOption(Doc.MojiEncode ? 0x20 : 0);
    const auto Saved = Save(Doc, Ver);
    ASSERT_TRUE(Saved);
    TJwwData Back;
    ASSERT_TRUE(Load(Back, *Saved));
    EXPECT_EQ(Back.Enthd.jwVer, Ver);
    EXPECT_EQ(Back.EntNo, Doc.EntNo);
    EXPECT_EQ(Back.EntBlockDef.size(), static_cast<std::size_t>(Doc.EntBlockNum));

    // Header and body as the rules say.
    JwFile HeaderWanted(Ver, FormOf(Doc)), HeaderGot(Ver, FormOf(Doc));
    WriteJwwHeader(HeaderWanted, AsWritten(HeaderOf(Doc), Ver));
    WriteJwwHeader(HeaderGot, HeaderOf(Back));
    EXPECT_TRUE(HeaderGot.bytes() == HeaderWanted.bytes());
    ApplyWriterRules(Doc, Ver);
    EXPECT_TRUE(BodyOf(Ver, FormOf(Doc), Back) == BodyOf(Ver, FormOf(Doc), Doc));

    Back.SetFileOutOption(Back.MojiEncode ? 0x20 : 0);
    EXPECT_TRUE(*Save(Back, Ver) == *Saved) << "a second save changes nothing";
  }
}

// A real version-6.00 drawing saved as 7.00: the header gains nothing but
// its version, the body is the same, and an empty image section follows.
TEST(JwwLoadSave, RealDrawingRaisedTo700) {
  const auto Files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(Files);
  for (const auto& Path : Files) {
    TJwwData Doc;
    ASSERT_TRUE(Doc.FileIn(testsupport::U16(Path)));
    if (Doc.Enthd.jwVer != 600) continue;
    const auto Saved = Save(Doc, 700);
    ASSERT_TRUE(Saved);
    TJwwData Back;
    ASSERT_TRUE(Load(Back, *Saved));
    EXPECT_EQ(Back.Enthd.jwVer, 700);
    JwFile Wanted(700);
    WriteJwwHeader(Wanted, AsWritten(HeaderOf(Doc), 700));
    ApplyWriterRules(Doc, 700);
    const ByteVec Body = BodyOf(700, Form::CodePage, Doc);
    Wanted.b.raw(Body).i32(0);
    EXPECT_TRUE(*Saved == Wanted.bytes()) << Path;
    return;  // one drawing is enough
  }
  GTEST_SKIP() << "no version-6.00 drawing";
}

// A version-3.00 drawing raised to 3.51 and 4.20, as the conversion does
// before it assigns widths or SXF pens.
TEST(JwwLoadSave, SyntheticVersion300Raised) {
  const Drawing D = CanonicalDrawing(300);
  for (std::int32_t Ver : {351, 420}) {
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, D.bytes));
    for (const TEntJwwLine& L : Doc.EntLine) EXPECT_EQ(L.att.nPenWidth, 0);
    Doc.Enthd.jwVer = Ver;
    Doc.EntLine[0].att.nPenWidth = 70;
    Doc.EntLine[1].att.nPenColor = 105;  // an SXF colour, as a conversion may set
    const auto Saved = Save(Doc, Ver);
    ASSERT_TRUE(Saved);
    TJwwData Back;
    ASSERT_TRUE(Load(Back, *Saved));
    EXPECT_EQ(Back.Enthd.jwVer, Ver);
    EXPECT_EQ(Back.EntLine[0].att.nPenWidth, 70);
    EXPECT_EQ(Back.EntEnko[0].att.nPenWidth, 0);
    EXPECT_EQ(Back.EntLine[1].att.nPenColor, Ver >= 420 ? 105 : 4);
    const TEntJwwSunpo& Dim = Back.EntSunpo[0];
    if (Ver >= 420) {
      // The SXF part as a load below 4.20 set it; its points get style 1.
      EXPECT_EQ(Dim.bSxfMode, 0);
      EXPECT_EQ(Dim.Ho1.att, WrittenAttr(Doc.EntSunpo[0].att, kLine, 420));
      EXPECT_EQ(Dim.Te1.att.nPenStyle, 1);
      EXPECT_EQ(Dim.Kt2.start_x, 0.0);
      EXPECT_EQ(Back.EntColS[17].astrUDColorName, u"Color_17");
      EXPECT_EQ(Back.EntLtpS[20].anUDLTypeSegment, 2);
    }
    ApplyWriterRules(Doc, Ver);
    EXPECT_TRUE(BodyOf(Ver, Form::CodePage, Back) == BodyOf(Ver, Form::CodePage, Doc)) << Ver;
  }
}

TEST(JwwLoadSave, SetFileOutOptionKeeps0To63) {
  TJwwData Doc;
  const struct { int in, kept; } Cases[] = {{0, 0}, {1, 1}, {0x20, 0x20}, {63, 63}, {64, 0}, {-1, 0}, {0x120, 0}};
  for (const auto& C : Cases) {
    Doc.SetFileOutOption(C.in);
    EXPECT_EQ(Doc.FileOutOpt, C.kept) << C.in;
  }
}

// One UTF-16 string in a code-page file: saved with the option, every string
// of the output is in UTF-16 form, layer names included.
TEST(JwwLoadSave, Utf16OptionWritesEveryStringInUtf16) {
  const SampleEntities S = Samples(600);
  const JwwHeaderSpec H = CanonicalHeader(600);
  JwFile F(600);
  WriteJwwHeader(F, H);
  F.Count(2).Moji(S.moji);
  F.form = Form::Utf16;
  F.Moji(S.moji);
  F.form = Form::CodePage;
  F.Count(0);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  EXPECT_TRUE(Doc.MojiEncode);
  Doc.SetFileOutOption(0x20);
  JwFile Wanted(600, Form::Utf16);
  WriteJwwHeader(Wanted, AsWritten(H, 600));
  Wanted.Count(2).Moji(S.moji).Moji(S.moji).Count(0);
  EXPECT_TRUE(*Save(Doc, 600) == Wanted.bytes());
  Doc.SetFileOutOption(0);
  JwFile Plain(600);
  WriteJwwHeader(Plain, AsWritten(H, 600));
  Plain.Count(2).Moji(S.moji).Moji(S.moji).Count(0);
  EXPECT_TRUE(*Save(Doc, 600) == Plain.bytes());
}

// A class that is not an entity class fails the load after what was read;
// the block tree is still built from it.
TEST(JwwLoadSave, UnknownClassFailsTheLoadAfterTheTree) {
  const SampleEntities S = Samples(600);
  for (bool InDefinition : {false, true}) {
    JwFile F(600);
    WriteJwwHeader(F, CanonicalHeader(600));
    F.Count(InDefinition ? 2 : 3).Line(S.line).Block(S.block);
    if (!InDefinition) F.Tag("CDataXyz").LineRec(S.line).Took();
    TEntJwwBlockDef Def;
    Def.strName = u"zero";
    F.Count(1).BlockDef(Def, 2).Line(S.line);
    F.Tag("CDataXyz").LineRec(S.line);
    TJwwData Doc;
    EXPECT_FALSE(Load(Doc, F.bytes())) << InDefinition;
    EXPECT_EQ(Doc.EntLine.size(), 1u);
    ASSERT_EQ(Doc.EntBlockTree.size(), 1u) << InDefinition;
    EXPECT_EQ(Doc.EntBlockTree[0].defno, InDefinition ? 0 : -1);
    EXPECT_EQ(Doc.EntBlockNum, InDefinition ? 1 : 0);
  }
}

TEST(JwwLoadSave, WrongSignatureResetsAllButTheTablesAndTheId) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, CanonicalDrawing(600).bytes));
  ByteVec Bytes = CanonicalDrawing(600).bytes;
  Bytes[7] = 'X';
  EXPECT_FALSE(Load(Doc, Bytes));
  EXPECT_EQ(Doc.Enthd.jwID, u"JwwDataX");
  EXPECT_EQ(Doc.Enthd.jwVer, 0);
  EXPECT_TRUE(Doc.Enthd.strMemo.empty());
  EXPECT_EQ(Doc.Enthd.dBairitsu, 1.0);
  EXPECT_EQ(Doc.Enthd.nZoomJumpGLay[7], -1);
  EXPECT_TRUE(Doc.EntNo.empty() && Doc.EntLine.empty() && Doc.EntBlockDef.empty() && Doc.EntBlockTree.empty());
  ASSERT_EQ(Doc.EntLay.size(), 256u);
  EXPECT_EQ(Doc.EntLay[17].aanLay, 0);
  EXPECT_TRUE(Doc.EntLay[17].aStrLayName.empty());
  EXPECT_EQ(Doc.EntColS.size(), 257u);
  EXPECT_FALSE(Doc.MojiEncode);
  // A wrong version is the same story.
  Bytes[7] = '.';
  Bytes[8] = 0xBD;  // 701
  Bytes[9] = 0x02;
  EXPECT_FALSE(Load(Doc, Bytes));
  EXPECT_EQ(Doc.Enthd.jwVer, 701);
  EXPECT_TRUE(Doc.EntLine.empty());
}

TEST(JwwLoadSave, FilesInAndOut) {
  testsupport::TempDir Dir;
  const Drawing D = CanonicalDrawing(600);
  testsupport::WriteFileBytes(Dir / "in.jww", D.bytes);
  TJwwData Doc;
  ASSERT_TRUE(Doc.FileIn(testsupport::U16(Dir / "in.jww")));
  ASSERT_TRUE(Doc.FileOut(testsupport::U16(Dir / "out.jww"), 600));
  EXPECT_TRUE(testsupport::ReadFileBytes(Dir / "out.jww") == D.bytes);
  // Over an existing file; nothing else is left in the folder.
  ASSERT_TRUE(Doc.FileOut(testsupport::U16(Dir / "in.jww"), 600));
  EXPECT_TRUE(testsupport::ReadFileBytes(Dir / "in.jww") == D.bytes);
  EXPECT_EQ(CountFiles(Dir.path()), 2u);
  // A missing file loads nothing.
  EXPECT_FALSE(Doc.FileIn(testsupport::U16(Dir / "missing.jww")));
  EXPECT_TRUE(Doc.EntLine.empty());
  EXPECT_FALSE(Doc.FileHeaderIn(testsupport::U16(Dir / "missing.jww")));
}

TEST(JwwLoadSave, FailedSavesLeaveNoFile) {
  testsupport::TempDir Dir;
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, CanonicalDrawing(600).bytes));
  EXPECT_FALSE(Doc.FileOut(testsupport::U16(Dir / "no" / "such" / "out.jww"), 600));
  EXPECT_FALSE(fs::exists(Dir / "no"));
  EXPECT_EQ(CountFiles(Dir.path()), 0u);

  // A document whose tables were never sized by a load is refused, and the
  // file of that name is gone afterwards.
  TJwwData Fresh;
  testsupport::WriteFileBytes(Dir / "out.jww", {1, 2, 3});
  EXPECT_FALSE(Fresh.FileOut(testsupport::U16(Dir / "out.jww"), 600));
  EXPECT_FALSE(fs::exists(Dir / "out.jww"));
  EXPECT_EQ(CountFiles(Dir.path()), 0u);
  EXPECT_FALSE(Save(Fresh, 600));
  Fresh.SizeHeaderTables();
  EXPECT_TRUE(Save(Fresh, 600));
  // A header-only document has its tables.
  testsupport::WriteFileBytes(Dir / "in.jww", CanonicalDrawing(600).bytes);
  ASSERT_TRUE(Fresh.FileHeaderIn(testsupport::U16(Dir / "in.jww")));
  EXPECT_TRUE(Save(Fresh, 600));
}

TEST(JwwLoadSave, SaveLeavesTheDocumentAsItWas) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, CanonicalDrawing(420).bytes));
  Doc.EntLine[0].att = Pen(50, 400, 40000, 16, 99);
  Doc.EntMoji[0].dSizeX = -4;
  Doc.EntMoji[0].str = u"a^mb";
  Doc.Enthd.jwID = u"changed";
  const ByteVec Before = BodyOf(420, Form::CodePage, Doc);
  ASSERT_TRUE(Save(Doc, 351));
  EXPECT_TRUE(BodyOf(420, Form::CodePage, Doc) == Before);
  EXPECT_EQ(Doc.Enthd.jwID, u"JwwData.");
}

}  // namespace
