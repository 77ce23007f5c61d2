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
ByteVec HeaderFile(const JwwHeaderSpec& S, std::int32_t Ver, Form Form = Form::CodePage) {
  JwFile F(Ver, Form);
  WriteJwwHeader(F, S);
  F.Count(0).Count(0);
  if (Ver >= 700) F.b.i32(0);
  return F.bytes();
}

HeaderMarks MarksOf(const JwwHeaderSpec& S, std::int32_t Ver, Form Form = Form::CodePage) {
  JwFile F(Ver, Form);
  return WriteJwwHeader(F, S);
}

template <class T>
T At(const ByteVec& B, std::size_t Pos) {
  T V{};
  EXPECT_LE(Pos + sizeof V, B.size());
  if (Pos + sizeof V <= B.size()) std::memcpy(&V, B.data() + Pos, sizeof V);
  return V;
}

std::size_t FileSizeOfHeader(std::size_t SavedSize, std::int32_t Ver) {
  return SavedSize - 4 - (Ver >= 700 ? 4 : 0);  // two empty counts, an empty image count
}

TEST(JwwHeader, FileCheckAcceptsVersions220To700) {
  testsupport::TempDir Dir;
  struct Case {
    const char* what;
    ByteVec bytes;
    bool ok;
  };
  auto Sig = [](std::int32_t V) { return testsupport::ByteBuilder().raw("JwwData.").i32(V).bytes; };
  ByteVec ShortVersion = Sig(600);
  ShortVersion.pop_back();
  const Case Cases[] = {
      {"219", Sig(219), false},
      {"220", Sig(220), true},
      {"600", Sig(600), true},
      {"700", Sig(700), true},
      {"701", Sig(701), false},
      {"negative", Sig(-600), false},
      {"signature only", testsupport::ByteBuilder().raw("JwwData.").bytes, false},
      {"version cut", ShortVersion, false},
      {"empty", {}, false},
      {"other signature", testsupport::ByteBuilder().raw("JwwData,").i32(600).bytes, false},
      {"JWS", testsupport::ByteBuilder().raw("JwsData.").i32(600).bytes, false},
  };
  TJwwData Doc;
  for (const Case& C : Cases) {
    const auto Path = Dir / "f.jww";
    testsupport::WriteFileBytes(Path, C.bytes);
    EXPECT_EQ(Doc.FileCheck(testsupport::U16(Path)), C.ok) << C.what;
  }
  EXPECT_FALSE(Doc.FileCheck(testsupport::U16(Dir / "missing.jww")));
  EXPECT_FALSE(Doc.FileCheck(Dir.u16())) << "a folder";
}

TEST(JwwHeader, ReaderAcceptsVersions220To700AndNeedsTheLastField) {
  for (std::int32_t V : {219, 220, 230, 231, 300, 351, 420, 600, 700, 701}) {
    const JwwHeaderSpec S = CanonicalHeader(V);
    JwFile F(V);
    const HeaderMarks M = WriteJwwHeader(F, S);
    TJwwData Doc;
    ByteReader R{std::span<const std::uint8_t>(F.bytes())};
    EXPECT_EQ(Doc.HeaderFrom(R), V >= 220 && V <= 700) << V;
    if (V < 220 || V > 700) continue;
    EXPECT_EQ(R.Position(), M.end) << "the reader stops at the entity list, version " << V;
    // The last field must deliver bytes; one byte of it is enough.
    for (std::size_t Cut : {M.end - 8, M.end - 7, M.end - 1}) {
      const ByteVec Part(F.bytes().begin(), F.bytes().begin() + static_cast<std::ptrdiff_t>(Cut));
      ByteReader Pr{std::span<const std::uint8_t>(Part)};
      EXPECT_EQ(Doc.HeaderFrom(Pr), Cut > M.end - 8) << V << " cut at " << Cut;
    }
  }
}

TEST(JwwHeader, ReadsEveryFieldInItsPlace) {
  for (std::int32_t V : {220, 223, 225, 230, 231, 300, 351, 420, 600, 700}) {
    const Form Form = V >= 700 ? Form::Utf16 : Form::CodePage;
    const JwwHeaderSpec S = CanonicalHeader(V);
    const ByteVec File = HeaderFile(S, V, Form);
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, File)) << V;
    // Writing back what was read gives the same bytes only if every field
    // landed where it belongs.
    JwFile Again(V, Form);
    WriteJwwHeader(Again, HeaderOf(Doc));
    const ByteVec Head(File.begin(), File.begin() + static_cast<std::ptrdiff_t>(Again.b.size()));
    EXPECT_EQ(Again.bytes(), Head) << V;
    EXPECT_EQ(Doc.Enthd.jwVer, V);
    EXPECT_EQ(Doc.Enthd.strMemo, S.h.strMemo) << "the memo keeps its control characters";
    EXPECT_EQ(Doc.MojiEncode, Form == Form::Utf16);
  }
}

TEST(JwwHeader, EmptyHeaderSizes) {
  const struct {
    std::int32_t ver;
    std::size_t size;  // 0: not listed
  } Cases[] = {{351, 4337}, {230, 4137}, {220, 4037}, {300, 4337}, {231, 4321}, {420, 0}, {600, 0}, {700, 0}};
  for (const auto& C : Cases) {
    TJwwData Doc;
    Doc.SizeHeaderTables();
    const auto Saved = Save(Doc, C.ver);
    ASSERT_TRUE(Saved) << C.ver;
    if (C.size != 0) {
      EXPECT_EQ(FileSizeOfHeader(Saved->size(), C.ver), C.size) << C.ver;
    }
    // Every byte as the table and the writer rules give it.
    EXPECT_EQ(*Saved, HeaderFile(AsWritten(EmptyHeader(), C.ver), C.ver)) << C.ver;
  }
}

TEST(JwwHeader, Version230SavedAt351WritesResetValuesForTheNewRows) {
  const JwwHeaderSpec S = CanonicalHeader(230);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, HeaderFile(S, 230)));
  for (int I = 4; I < 8; ++I) {
    EXPECT_EQ(Doc.Enthd.dZoomJumpBairitsu[I], 1.0);
    EXPECT_EQ(Doc.Enthd.DPZoomJumpGenten_x[I], 0.0);
  }
  for (int I = 0; I < 8; ++I) EXPECT_EQ(Doc.Enthd.nZoomJumpGLay[I], -1);
  EXPECT_EQ(Doc.Enthd.dDm11, 0.0);
  EXPECT_EQ(Doc.Enthd.nMojiBG, 0);
  EXPECT_EQ(Doc.Enthd.dTenkuuZuLevel, 0.0);
  const auto Saved = Save(Doc, 351);
  ASSERT_TRUE(Saved);
  EXPECT_EQ(*Saved, HeaderFile(AsWritten(S, 351), 351));
}

TEST(JwwHeader, LineWidthModeIsDerivedAndClampedUpTo420) {
  const struct {
    std::int32_t stored;
    bool senHaba100;
    std::int32_t bak;
  } Cases[] = {
      {-450, true, -50},  {-250, true, 50},   {-150, true, -100}, {-100, false, -100},
      {-500, true, -100}, {-401, true, -1},   {-501, true, -100}, {-300, true, 100},
      {-201, true, 1},    {-200, true, -100}, {-101, true, -100}, {5, false, 5},
  };
  for (const auto& C : Cases) {
    JwwHeaderSpec S = CanonicalHeader(600);
    S.h.nMaxDrawWid = C.stored;
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, HeaderFile(S, 600)));
    EXPECT_EQ(Doc.Enthd.bSenHaba100, C.senHaba100) << C.stored;
    EXPECT_EQ(Doc.Enthd.nMaxDrawWidBak, C.bak) << C.stored;
    for (std::int32_t Ver : {351, 420, 421, 600}) {
      const auto Saved = Save(Doc, Ver);
      ASSERT_TRUE(Saved);
      const std::int32_t Expected = Ver <= 420 && C.stored < -101 ? -101 : C.stored;
      EXPECT_EQ(At<std::int32_t>(*Saved, MarksOf(S, Ver).maxDrawWid), Expected) << C.stored << " at " << Ver;
    }
    EXPECT_EQ(Doc.Enthd.nMaxDrawWid, C.stored) << "the document keeps its value";
  }
}

TEST(JwwHeader, PrintPackingSplitsAndPacksByVersion) {
  const struct {
    std::int32_t stored, dpi, disp, at420, at600;
  } Cases[] = {
      {13, 1, 3, 3, 13},
      {3, 0, 3, 3, 13},
      {0, 0, 0, 0, 10},
      {3609, 360, 9, 9, 3609},
      // A negative flag digit is written as 0 from 6.00 on: -3 + 10 = 7 would
      // read back as flag 7 and be written as 17 by the next save.
      {-13, -1, -3, -3, 10},
  };
  for (const auto& C : Cases) {
    JwwHeaderSpec S = CanonicalHeader(600);
    S.h.nPrtDpi = C.stored / 10;
    S.h.nPrtDispOnlyNonDraw = C.stored % 10;
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, HeaderFile(S, 600)));
    EXPECT_EQ(Doc.Enthd.nPrtDpi, C.dpi) << C.stored;
    EXPECT_EQ(Doc.Enthd.nPrtDispOnlyNonDraw, C.disp) << C.stored;
    EXPECT_EQ(At<std::int32_t>(*Save(Doc, 420), MarksOf(S, 420).printPacking), C.at420) << C.stored;
    EXPECT_EQ(At<std::int32_t>(*Save(Doc, 600), MarksOf(S, 600).printPacking), C.at600) << C.stored;
    EXPECT_EQ(At<std::int32_t>(*Save(Doc, 700), MarksOf(S, 700).printPacking), C.at600) << C.stored;
  }
}

TEST(JwwHeader, TextTypeSizesAreRepairedOnReadAndClampedOnWrite) {
  JwwHeaderSpec S = CanonicalHeader(600);
  S.moj[0].adMojiX = kNaN;
  S.moj[0].adMojiD = kNaN;
  S.moj[1].adMojiY = -2.5;
  S.moj[2].adMojiX = 0;
  S.moj[3].adMojiY = -kInf;
  S.moj[4].adMojiX = 1e300;
  S.moj[5].adMojiD = -kInf;
  S.h.dMojiSizeX = kInf;
  S.h.dMojiSizeY = -1e-300;
  S.h.dMojiKankaku = kNaN;
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, HeaderFile(S, 600)));
  EXPECT_EQ(Doc.EntMoj[0].adMojiX, 3.0);
  EXPECT_EQ(Doc.EntMoj[0].adMojiD, 0.0);
  EXPECT_EQ(Doc.EntMoj[1].adMojiY, -2.5);
  EXPECT_EQ(Doc.EntMoj[3].adMojiY, 3.0);
  EXPECT_EQ(Doc.EntMoj[5].adMojiD, 0.0);
  EXPECT_EQ(Doc.Enthd.dMojiSizeX, 3.0);
  EXPECT_EQ(Doc.Enthd.dMojiKankaku, 0.0);

  const auto Saved = Save(Doc, 600);
  ASSERT_TRUE(Saved);
  const std::size_t T = MarksOf(S, 600).textTypes;
  auto TypeField = [&](int K, int Field) { return At<double>(*Saved, T + 28 * K + 8 * Field); };
  EXPECT_EQ(TypeField(0, 0), 3.0);
  EXPECT_EQ(TypeField(1, 1), 2.5);
  EXPECT_EQ(TypeField(2, 0), 1e-10);
  EXPECT_EQ(TypeField(3, 1), 3.0);
  EXPECT_EQ(TypeField(4, 0), 1e10);
  EXPECT_EQ(At<double>(*Saved, T + 280), 3.0);
  EXPECT_EQ(At<double>(*Saved, T + 288), 1e-10);
  EXPECT_EQ(Doc.EntMoj[1].adMojiY, -2.5) << "the document keeps its value";
}

TEST(JwwHeader, PenTablesAreClampedInTheBytesOnly) {
  JwwHeaderSpec S = CanonicalHeader(600);
  S.col[0].aPrtPenColor = 0x123456;  // entry 0 always prints white
  S.col[1] = {-1, 0, 0x1000000, 0, 0.05};
  S.col[2] = {0xFFFFFF, 17, 0, 501, 10.5};
  S.col[3] = {0, -5, -7, -9, -1};
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, HeaderFile(S, 600)));
  const auto Saved = Save(Doc, 600);
  ASSERT_TRUE(Saved);
  const std::size_t P = MarksOf(S, 600).penTables;
  const struct {
    int k;
    std::int32_t color, width, prtColor, prtWidth;
    double radius;
  } Expected[] = {
      {0, S.col[0].aPenColor, S.col[0].anPenWidth, 0xFFFFFF, S.col[0].anPrtPenWidth, S.col[0].adPrtTenHankei},
      {1, 0, 1, 0, 1, 0.1},
      {2, 0xFFFFFF, 16, 0, 500, 10.0},
      {3, 0, 1, 0, 1, 0.1},
  };
  for (const auto& E : Expected) {
    EXPECT_EQ(At<std::int32_t>(*Saved, P + 8 * E.k), E.color) << E.k;
    EXPECT_EQ(At<std::int32_t>(*Saved, P + 8 * E.k + 4), E.width) << E.k;
    EXPECT_EQ(At<std::int32_t>(*Saved, P + 80 + 16 * E.k), E.prtColor) << E.k;
    EXPECT_EQ(At<std::int32_t>(*Saved, P + 80 + 16 * E.k + 4), E.prtWidth) << E.k;
    EXPECT_EQ(At<double>(*Saved, P + 80 + 16 * E.k + 8), E.radius) << E.k;
  }
  EXPECT_EQ(*Saved, HeaderFile(AsWritten(HeaderOf(Doc), 600), 600));
  EXPECT_EQ(Doc.EntCol[1].aPenColor, -1) << "the document keeps its values";
}

TEST(JwwHeader, SxfTablesOfAnOlderFileAreWrittenWithDefaultsAt420) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, HeaderFile(CanonicalHeader(351), 351)));
  for (const TEntJwwColorExNo& C : Doc.EntColS) EXPECT_EQ(C.aPenColor, 0);
  const auto Saved = Save(Doc, 420);
  ASSERT_TRUE(Saved);
  const HeaderMarks M = MarksOf(AsWritten(HeaderOf(Doc), 420), 420);
  // Screen colours and widths: zero.
  for (std::size_t I = 0; I < 257 * 8; ++I) ASSERT_EQ((*Saved)[M.sxfColors + I], 0) << I;
  // Then "Color_0" with zero print values.
  std::size_t P = M.sxfColors + 257 * 8;
  EXPECT_EQ((*Saved)[P], 7);
  EXPECT_EQ(std::string(Saved->begin() + P + 1, Saved->begin() + P + 8), "Color_0");
  // The line types: -1 and zeros up to entry 16, the default pattern from 17.
  P += 257 * 17 + 10 * 7 + 90 * 8 + 157 * 9;  // names Color_0..9, 10..99, 100..256
  EXPECT_EQ(std::string(Saved->begin() + P - 16 - 9, Saved->begin() + P - 16), "Color_256");
  for (int K = 0; K < 33; ++K) {
    const std::size_t E = P + 16 * K;
    if (K <= 16) {
      EXPECT_EQ(At<std::int32_t>(*Saved, E), -1) << K;
      EXPECT_EQ(At<std::int32_t>(*Saved, E + 4), 0) << K;
    } else {
      EXPECT_EQ(At<std::uint32_t>(*Saved, E), 0xC3C3C3C3u) << K;
      EXPECT_EQ(At<std::int32_t>(*Saved, E + 4), 8) << K;
      EXPECT_EQ(At<std::int32_t>(*Saved, E + 8), 1) << K;
      EXPECT_EQ(At<std::int32_t>(*Saved, E + 12), 8) << K;
    }
  }
  EXPECT_EQ(*Saved, HeaderFile(AsWritten(HeaderOf(Doc), 420), 420));
}

TEST(JwwHeader, SxfTablesOfA420FileGetTheWriterFixUps) {
  JwwHeaderSpec S = CanonicalHeader(420);
  S.colS[5].astrUDColorName = u"\u3000 ";
  S.colS[6].astrUDColorName = u"^m\\n";
  S.colS[7].astrUDColorName = u"";
  S.colS[20].aPrtPenColor = S.colS[20].aPenColor + 1;  // written as the screen colour
  S.colS[16].aPrtPenColor = S.colS[16].aPenColor + 1;  // kept
  S.ltpS[3].alLType = 0;
  S.ltpS[4].astrUDLTypeName = u" ";
  S.ltpS[16].anUDLTypeSegment = 3;  // kept below 17
  S.ltpS[18].anUDLTypeSegment = 3;
  S.ltpS[19].anUDLTypeSegment = 0;
  S.ltpS[20].alLType = 0;
  S.ltpS[20].anUDLTypeSegment = 8;
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, HeaderFile(S, 420)));
  const auto Saved = Save(Doc, 420);
  ASSERT_TRUE(Saved);
  const JwwHeaderSpec W = AsWritten(S, 420);
  EXPECT_EQ(W.colS[5].astrUDColorName, u"Color_5");
  EXPECT_EQ(W.colS[6].astrUDColorName, u"Color_6");
  EXPECT_EQ(W.ltpS[18].astrUDLTypeName, u"LType_18");
  EXPECT_EQ(W.ltpS[20].alLType, -1);
  EXPECT_EQ(*Saved, HeaderFile(W, 420));
  EXPECT_EQ(*Save(Doc, 600), HeaderFile(AsWritten(S, 600), 600));
}

TEST(JwwHeader, ReservedAreasAreKeptAsRead) {
  JwwHeaderSpec S = CanonicalHeader(600);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, HeaderFile(S, 600)));
  ASSERT_TRUE(Doc.Enthd.reserved56 && Doc.Enthd.reserved4);
  for (std::int32_t Ver : {230, 351, 600}) {
    const auto Saved = Save(Doc, Ver);
    ASSERT_TRUE(Saved);
    const HeaderMarks M = MarksOf(S, Ver);
    EXPECT_TRUE(std::equal(S.h.reserved56->begin(), S.h.reserved56->end(), Saved->begin() + M.reserved56)) << Ver;
    EXPECT_TRUE(std::equal(S.h.reserved4->begin(), S.h.reserved4->end(), Saved->begin() + M.reserved4)) << Ver;
  }
  // A document that never read them gets the plain fill.
  TJwwData Fresh;
  Fresh.SizeHeaderTables();
  const auto Saved = Save(Fresh, 600);
  const HeaderMarks M = MarksOf(EmptyHeader(), 600);
  EXPECT_EQ(ByteVec(Saved->begin() + M.reserved56, Saved->begin() + M.reserved56 + 56), ByteVec(56, 0x20));
  EXPECT_EQ(ByteVec(Saved->begin() + M.reserved4, Saved->begin() + M.reserved4 + 4), ByteVec(4, 0));
}

// The memo of a real drawing decoded straight from the bytes at offset 12.
std::u16string MemoFromBytes(const ByteVec& B, std::size_t& End) {
  std::size_t P = 12;
  const std::uint8_t First = B.at(P++);
  std::size_t N = First;
  if (First == 0xFF) {
    N = B.at(P) | (B.at(P + 1) << 8);
    P += 2;
    if (N == 0xFFFE) {
      N = B.at(P++);
      if (N == 0xFF) {
        N = B.at(P) | (B.at(P + 1) << 8);
        P += 2;
      }
      std::u16string S;
      for (std::size_t I = 0; I < N; ++I)
        S.push_back(static_cast<char16_t>(B.at(P + 2 * I) | (B.at(P + 2 * I + 1) << 8)));
      End = P + 2 * N;
      return S.substr(0, S.find(u'\0'));
    }
  }
  End = P + N;
  return AnsiBytesToText(std::span(B).subspan(P, N));
}

TEST(JwwHeader, FileHeaderInOnEveryRealDrawing) {
  const auto Files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(Files);
  TJwwData Doc;
  for (const auto& Path : Files) {
    const ByteVec Bytes = testsupport::ReadFileBytes(Path);
    std::size_t MemoEnd = 0;
    const std::u16string Memo = MemoFromBytes(Bytes, MemoEnd);
    std::int32_t Ver = 0;
    std::memcpy(&Ver, Bytes.data() + 8, 4);
    ASSERT_TRUE(Doc.FileCheck(testsupport::U16(Path))) << Path;
    ASSERT_TRUE(Doc.FileHeaderIn(testsupport::U16(Path))) << Path;
    EXPECT_EQ(Doc.Enthd.jwVer, Ver) << Path;
    EXPECT_EQ(Doc.Enthd.strMemo, Memo) << Path;
    EXPECT_TRUE(Doc.EntNo.empty() && Doc.EntLine.empty() && Doc.EntBlockDef.empty()) << Path;
    EXPECT_EQ(Doc.EntLay.size(), 256u);
  }
}

// A real header read and saved at its own version: the bytes come back
// except where the writer's rules change them.
TEST(JwwHeader, RealHeadersComeBackExceptForTheWriterRules) {
  const auto Files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(Files);
  for (const auto& Path : Files) {
    const ByteVec Original = testsupport::ReadFileBytes(Path);
    TJwwData Doc;
    ByteReader R{std::span<const std::uint8_t>(Original)};
    ASSERT_TRUE(Doc.HeaderFrom(R)) << Path;
    const std::int32_t Ver = Doc.Enthd.jwVer;
    const Form Form = Doc.MojiEncode ? Form::Utf16 : Form::CodePage;
    const std::size_t HeaderEnd = R.Position();

    // What was read, written back from the table, is the original header.
    JwFile Read(Ver, Form);
    WriteJwwHeader(Read, HeaderOf(Doc));
    ASSERT_EQ(Read.bytes(), ByteVec(Original.begin(), Original.begin() + static_cast<std::ptrdiff_t>(HeaderEnd)))
        << Path;

    // The writer's header is that header with its rules applied.
    Doc.SetFileOutOption(Doc.MojiEncode ? 0x20 : 0);
    const auto Saved = Save(Doc, Ver);
    ASSERT_TRUE(Saved) << Path;
    JwFile Expected(Ver, Form);
    WriteJwwHeader(Expected, AsWritten(HeaderOf(Doc), Ver));
    ASSERT_GE(Saved->size(), Expected.b.size());
    EXPECT_EQ(ByteVec(Saved->begin(), Saved->begin() + static_cast<std::ptrdiff_t>(Expected.b.size())),
              Expected.bytes())
        << Path;

    // In the real drawings only the SXF tables change (blank colour names
    // become Color_k, line types 17..32 without a valid segment count get the
    // default pattern, type 0 becomes -1): everything before the SXF names
    // and everything from the text types on is byte for byte the original.
    const HeaderMarks In = MarksOf(HeaderOf(Doc), Ver, Form);
    const HeaderMarks Out = MarksOf(AsWritten(HeaderOf(Doc), Ver), Ver, Form);
    const std::size_t Names = In.sxfColors + 257 * 8;
    EXPECT_TRUE(std::equal(Original.begin(), Original.begin() + Names, Saved->begin())) << Path;
    EXPECT_TRUE(std::equal(Original.begin() + In.textTypes, Original.begin() + In.end, Saved->begin() + Out.textTypes))
        << Path;
  }
}

}  // namespace
