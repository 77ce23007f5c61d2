// JWS figures: the fixed 452-byte header, the version rules of a save, and
// the body shared with JWW drawings.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "documents/JwsUnit.h"
#include "documents/JwwFixture.h"

using namespace jwfix;
namespace fs = std::filesystem;

namespace {

ByteVec Figure(std::int32_t Ver, const JwsHeaderSpec& H, Form Form = Form::CodePage) {
  JwFile F(Ver, Form);
  WriteJwsHeader(F, H);
  WriteCanonicalBody(F);
  return F.bytes();
}

JwsHeaderSpec HeaderOf(const TJwsData& Doc) {
  JwsHeaderSpec S;
  S.h = Doc.Enthd;
  for (int G = 0; G < 16; ++G) S.scales[G] = Doc.EntLgrp[G].adScale;
  return S;
}

std::int32_t VersionAt200(const ByteVec& B) {
  std::int32_t V = 0;
  std::memcpy(&V, B.data() + 200, 4);
  return V;
}

TEST(Jws, CanonicalFiguresComeBackByteForByte) {
  for (std::int32_t Ver : {230, 351, 420, 600, 700}) {
    for (Form Form : {Form::CodePage, Form::Utf16}) {
      const JwsHeaderSpec H = CanonicalJwsHeader();
      const ByteVec File = Figure(Ver, H, Form);
      TJwsData Doc;
      ByteReader R{std::span<const std::uint8_t>(File)};
      ASSERT_TRUE(Doc.LoadFrom(R)) << Ver;
      EXPECT_EQ(R.Remaining(), 0u);
      EXPECT_EQ(Doc.Enthd.jwVer, Ver);
      EXPECT_EQ(Doc.Enthd.n1, 11);
      EXPECT_EQ(Doc.Enthd.n2, 2);
      ASSERT_EQ(Doc.EntLgrp.size(), 16u);
      for (int G = 0; G < 16; ++G) {
        EXPECT_EQ(Doc.EntLgrp[G].adScale, H.scales[G]);
        EXPECT_EQ(Doc.EntLgrp[G].anGLay, 2);
      }
      JwFile Again(Ver, Form);
      WriteJwsHeader(Again, HeaderOf(Doc));
      EXPECT_TRUE(Again.bytes() == ByteVec(File.begin(), File.begin() + 452)) << "every header field in its place";
      Doc.SetFileOutOption(Form == Form::Utf16 ? 0x20 : 0);
      EXPECT_TRUE(*Save(Doc, Ver) == File) << Ver;
    }
  }
}

TEST(Jws, VersionsAcceptedAndWritten) {
  testsupport::TempDir Dir;
  const struct {
    std::int32_t ver;
    bool accepted;
  } ReadCases[] = {{229, false}, {230, true}, {600, true}, {700, true}, {701, false}, {0, false}};
  for (const auto& C : ReadCases) {
    const ByteVec File = Figure(C.ver, CanonicalJwsHeader());
    testsupport::WriteFileBytes(Dir / "f.jws", File);
    TJwsData Doc;
    EXPECT_EQ(Doc.FileCheck(testsupport::U16(Dir / "f.jws")), C.accepted) << C.ver;
    EXPECT_EQ(Doc.FileHeaderIn(testsupport::U16(Dir / "f.jws")), C.accepted) << C.ver;
    EXPECT_EQ(Load(Doc, File), C.accepted) << C.ver;
  }
  const struct {
    std::int32_t requested, written;
  } WriteCases[] = {{100, 230}, {229, 230}, {230, 230}, {231, 231}, {299, 299},
                    {300, 351}, {351, 351}, {420, 420}, {700, 700}};
  for (const auto& C : WriteCases) {
    TJwsData Doc, Model;
    ASSERT_TRUE(Load(Doc, Figure(351, CanonicalJwsHeader())));
    ASSERT_TRUE(Load(Model, Figure(351, CanonicalJwsHeader())));
    const auto Saved = Save(Doc, C.requested);
    ASSERT_TRUE(Saved);
    EXPECT_EQ(VersionAt200(*Saved), C.written) << C.requested;
    // The record gates follow the version written.
    JwFile F(C.written);
    WriteJwsHeader(F, CanonicalJwsHeader());
    ApplyWriterRules(Model, C.written);
    F.b.raw(BodyOf(C.written, Form::CodePage, Model));
    EXPECT_TRUE(*Saved == F.bytes()) << C.requested;
    EXPECT_EQ(Doc.Enthd.jwVer, 351);
  }
}

// A version-3.00 figure saved with its own version is written as 3.51, with
// 15-byte attributes.
TEST(Jws, Version300IsSavedAs351) {
  TJwsData Doc;
  ASSERT_TRUE(Load(Doc, Figure(300, CanonicalJwsHeader())));
  const auto Saved = Save(Doc, Doc.Enthd.jwVer);
  ASSERT_TRUE(Saved);
  EXPECT_EQ(VersionAt200(*Saved), 351);
  JwFile F(351);
  WriteJwsHeader(F, CanonicalJwsHeader());
  ApplyWriterRules(Doc, 351);
  F.b.raw(BodyOf(351, Form::CodePage, Doc));
  EXPECT_TRUE(*Saved == F.bytes());
}

TEST(Jws, SignatureAndFiller) {
  JwsHeaderSpec H = CanonicalJwsHeader();
  H.filler = 0;
  ByteVec File = Figure(600, H);
  TJwsData Doc;
  ASSERT_TRUE(Load(Doc, File)) << "any filler";
  for (std::size_t I = 7; I < 200; ++I) File[I] = static_cast<std::uint8_t>(I);
  ASSERT_TRUE(Load(Doc, File)) << "any filler";
  EXPECT_TRUE(*Save(Doc, 600) == Figure(600, CanonicalJwsHeader())) << "a save writes dots";
  EXPECT_EQ(Doc.Enthd.jwID, u"JwsData");
  File[6] = 'A';
  EXPECT_FALSE(Load(Doc, File));
  EXPECT_EQ(Doc.Enthd.jwID, u"JwsDatA");
  File[6] = 0;
  EXPECT_FALSE(Load(Doc, File)) << "a zero cuts the signature short";
}

TEST(Jws, TooShortHeaders) {
  testsupport::TempDir Dir;
  const ByteVec File = Figure(600, CanonicalJwsHeader());
  const struct {
    std::size_t length;
    bool check, header;
  } Cases[] = {{0, false, false},  {7, false, false}, {203, false, false}, {204, true, false},
               {444, true, false}, {445, true, true}, {452, true, true}};
  for (const auto& C : Cases) {
    const ByteVec Part(File.begin(), File.begin() + static_cast<std::ptrdiff_t>(C.length));
    testsupport::WriteFileBytes(Dir / "f.jws", Part);
    TJwsData Doc;
    EXPECT_EQ(Doc.FileCheck(testsupport::U16(Dir / "f.jws")), C.check) << C.length;
    EXPECT_EQ(Doc.FileHeaderIn(testsupport::U16(Dir / "f.jws")), C.header) << C.length;
    EXPECT_FALSE(Load(Doc, Part)) << C.length << ": no entity list";
  }
}

TEST(Jws, NothingIsReadOrWrittenAfterTheDefinitions) {
  ByteVec File = Figure(700, CanonicalJwsHeader());
  const std::size_t Size = File.size();
  File.insert(File.end(), {1, 0, 0, 0, 3, 'a', 'b', 'c', 9, 0, 0, 0});  // what an image section would be
  TJwsData Doc;
  Doc.BindImageExp = Doc.BindImageExr = true;
  ByteReader R{std::span<const std::uint8_t>(File)};
  ASSERT_TRUE(Doc.LoadFrom(R));
  EXPECT_EQ(R.Position(), Size);
  EXPECT_TRUE(Doc.BindImage.empty());
  const auto Saved = Save(Doc, 700);
  ASSERT_TRUE(Saved);
  EXPECT_EQ(Saved->size(), Size);
}

TEST(Jws, ControlCharactersAreDroppedFromEveryString) {
  JwFile F(600);
  WriteJwsHeader(F, CanonicalJwsHeader());
  TEntJwwMoji Text = Samples(600).moji;
  Text.str = u"a\tb\r\nc";
  Text.strFontName =
      u"\x01"
      u"font";
  F.Count(1).Moji(Text).Count(0);
  TJwsData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  EXPECT_EQ(Doc.EntMoji[0].str, u"abc");
  EXPECT_EQ(Doc.EntMoji[0].strFontName, u"font");
}

TEST(Jws, NeverLoadedFigureIsNotSaved) {
  testsupport::TempDir Dir;
  TJwsData Doc;
  EXPECT_FALSE(Save(Doc, 600));
  EXPECT_FALSE(Doc.FileOut(testsupport::U16(Dir / "out.jws"), 600));
  EXPECT_FALSE(fs::exists(Dir / "out.jws"));
  EXPECT_FALSE(Doc.FileHeaderIn(testsupport::U16(Dir / "missing.jws")));
  EXPECT_FALSE(Save(Doc, 600));
}

TEST(Jws, GroupsAfterAReloadHaveTheFixedValues) {
  TJwsData Doc;
  ASSERT_TRUE(Load(Doc, Figure(600, CanonicalJwsHeader())));
  for (TEntJwwLayerGroup& G : Doc.EntLgrp) {
    G.anGLay = 1;
    G.anWriteLay = 5;
    G.anGLayProtect = 1;
    G.aStrGLayName = u"name";
  }
  Doc.EntLgrp[3].adScale = 250;
  TJwsData Back;
  ASSERT_TRUE(Load(Back, *Save(Doc, 600)));
  for (const TEntJwwLayerGroup& G : Back.EntLgrp) {
    EXPECT_EQ(G.anGLay, 2);
    EXPECT_EQ(G.anWriteLay, 0);
    EXPECT_EQ(G.anGLayProtect, 0);
    EXPECT_TRUE(G.aStrGLayName.empty());
  }
  EXPECT_EQ(Back.EntLgrp[3].adScale, 250);
}

TEST(Jws, RealFiguresSurviveASaveAndReachAFixedPoint) {
  const auto Files = testsupport::CorpusFiles("jws", ".jws");
  SKIP_WITHOUT_CORPUS(Files);
  for (const auto& Path : Files) {
    SCOPED_TRACE(Path.filename().string());
    const ByteVec Original = testsupport::ReadFileBytes(Path);
    TJwsData Doc;
    ASSERT_TRUE(Doc.FileCheck(testsupport::U16(Path)));
    ByteReader R{std::span<const std::uint8_t>(Original)};
    ASSERT_TRUE(Doc.LoadFrom(R));
    EXPECT_EQ(R.Remaining(), 0u);
    for (const TEntJwwNo& E : Doc.EntNo) ASSERT_TRUE(Doc.Entities().Valid(E));
    const std::int32_t Ver = Doc.Enthd.jwVer;
    const Form Form = Doc.MojiEncode ? Form::Utf16 : Form::CodePage;
    Doc.SetFileOutOption(Doc.MojiEncode ? 0x20 : 0);
    const auto Saved = Save(Doc, Ver);
    ASSERT_TRUE(Saved);
    EXPECT_TRUE(std::equal(Original.begin() + 200, Original.begin() + 452, Saved->begin() + 200))
        << "the header from the version on";
    TJwsData Back;
    ASSERT_TRUE(Load(Back, *Saved));
    EXPECT_EQ(Back.EntNo, Doc.EntNo);
    for (int G = 0; G < 16; ++G) EXPECT_EQ(Back.EntLgrp[G].adScale, Doc.EntLgrp[G].adScale);
    ApplyWriterRules(Doc, Ver);
    EXPECT_TRUE(BodyOf(Ver, Form, Back) == BodyOf(Ver, Form, Doc));
    Back.SetFileOutOption(Back.MojiEncode ? 0x20 : 0);
    EXPECT_TRUE(*Save(Back, Ver) == *Saved) << "a second save changes nothing";
  }
}

}  // namespace
