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

ByteVec Figure(std::int32_t ver, const JwsHeaderSpec& h, Form form = Form::CodePage) {
  JwFile f(ver, form);
  WriteJwsHeader(f, h);
  WriteCanonicalBody(f);
  return f.bytes();
}

JwsHeaderSpec HeaderOf(const TJwsData& doc) {
  JwsHeaderSpec s;
  s.h = doc.Enthd;
  for (int g = 0; g < 16; ++g) s.scales[g] = doc.EntLgrp[g].adScale;
  return s;
}

std::int32_t VersionAt200(const ByteVec& b) {
  std::int32_t v = 0;
  std::memcpy(&v, b.data() + 200, 4);
  return v;
}

TEST(Jws, CanonicalFiguresComeBackByteForByte) {
  for (std::int32_t ver : {230, 351, 420, 600, 700}) {
    for (Form form : {Form::CodePage, Form::Utf16}) {
      const JwsHeaderSpec h = CanonicalJwsHeader();
      const ByteVec file = Figure(ver, h, form);
      TJwsData doc;
      ByteReader r{std::span<const std::uint8_t>(file)};
      ASSERT_TRUE(doc.LoadFrom(r)) << ver;
      EXPECT_EQ(r.Remaining(), 0u);
      EXPECT_EQ(doc.Enthd.jwVer, ver);
      EXPECT_EQ(doc.Enthd.n1, 11);
      EXPECT_EQ(doc.Enthd.n2, 2);
      ASSERT_EQ(doc.EntLgrp.size(), 16u);
      for (int g = 0; g < 16; ++g) {
        EXPECT_EQ(doc.EntLgrp[g].adScale, h.scales[g]);
        EXPECT_EQ(doc.EntLgrp[g].anGLay, 2);
      }
      JwFile again(ver, form);
      WriteJwsHeader(again, HeaderOf(doc));
      EXPECT_TRUE(again.bytes() == ByteVec(file.begin(), file.begin() + 452)) << "every header field in its place";
      doc.SetFileOutOption(form == Form::Utf16 ? 0x20 : 0);
      EXPECT_TRUE(*Save(doc, ver) == file) << ver;
    }
  }
}

TEST(Jws, VersionsAcceptedAndWritten) {
  testsupport::TempDir dir;
  const struct {
    std::int32_t ver;
    bool accepted;
  } readCases[] = {{229, false}, {230, true}, {600, true}, {700, true}, {701, false}, {0, false}};
  for (const auto& c : readCases) {
    const ByteVec file = Figure(c.ver, CanonicalJwsHeader());
    testsupport::WriteFileBytes(dir / "f.jws", file);
    TJwsData doc;
    EXPECT_EQ(doc.FileCheck(testsupport::U16(dir / "f.jws")), c.accepted) << c.ver;
    EXPECT_EQ(doc.FileHeaderIn(testsupport::U16(dir / "f.jws")), c.accepted) << c.ver;
    EXPECT_EQ(Load(doc, file), c.accepted) << c.ver;
  }
  const struct {
    std::int32_t requested, written;
  } writeCases[] = {{100, 230}, {229, 230}, {230, 230}, {231, 231}, {299, 299},
                    {300, 351}, {351, 351}, {420, 420}, {700, 700}};
  for (const auto& c : writeCases) {
    TJwsData doc, model;
    ASSERT_TRUE(Load(doc, Figure(351, CanonicalJwsHeader())));
    ASSERT_TRUE(Load(model, Figure(351, CanonicalJwsHeader())));
    const auto saved = Save(doc, c.requested);
    ASSERT_TRUE(saved);
    EXPECT_EQ(VersionAt200(*saved), c.written) << c.requested;
    // The record gates follow the version written.
    JwFile f(c.written);
    WriteJwsHeader(f, CanonicalJwsHeader());
    ApplyWriterRules(model, c.written);
    f.b.raw(BodyOf(c.written, Form::CodePage, model));
    EXPECT_TRUE(*saved == f.bytes()) << c.requested;
    EXPECT_EQ(doc.Enthd.jwVer, 351);
  }
}

// A version-3.00 figure saved with its own version is written as 3.51, with
// 15-byte attributes.
TEST(Jws, Version300IsSavedAs351) {
  TJwsData doc;
  ASSERT_TRUE(Load(doc, Figure(300, CanonicalJwsHeader())));
  const auto saved = Save(doc, doc.Enthd.jwVer);
  ASSERT_TRUE(saved);
  EXPECT_EQ(VersionAt200(*saved), 351);
  JwFile f(351);
  WriteJwsHeader(f, CanonicalJwsHeader());
  ApplyWriterRules(doc, 351);
  f.b.raw(BodyOf(351, Form::CodePage, doc));
  EXPECT_TRUE(*saved == f.bytes());
}

TEST(Jws, SignatureAndFiller) {
  JwsHeaderSpec h = CanonicalJwsHeader();
  h.filler = 0;
  ByteVec file = Figure(600, h);
  TJwsData doc;
  ASSERT_TRUE(Load(doc, file)) << "any filler";
  for (std::size_t i = 7; i < 200; ++i) file[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(Load(doc, file)) << "any filler";
  EXPECT_TRUE(*Save(doc, 600) == Figure(600, CanonicalJwsHeader())) << "a save writes dots";
  EXPECT_EQ(doc.Enthd.jwID, u"JwsData");
  file[6] = 'A';
  EXPECT_FALSE(Load(doc, file));
  EXPECT_EQ(doc.Enthd.jwID, u"JwsDatA");
  file[6] = 0;
  EXPECT_FALSE(Load(doc, file)) << "a zero cuts the signature short";
}

TEST(Jws, TooShortHeaders) {
  testsupport::TempDir dir;
  const ByteVec file = Figure(600, CanonicalJwsHeader());
  const struct {
    std::size_t length;
    bool check, header;
  } cases[] = {{0, false, false},  {7, false, false}, {203, false, false}, {204, true, false},
               {444, true, false}, {445, true, true}, {452, true, true}};
  for (const auto& c : cases) {
    const ByteVec part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(c.length));
    testsupport::WriteFileBytes(dir / "f.jws", part);
    TJwsData doc;
    EXPECT_EQ(doc.FileCheck(testsupport::U16(dir / "f.jws")), c.check) << c.length;
    EXPECT_EQ(doc.FileHeaderIn(testsupport::U16(dir / "f.jws")), c.header) << c.length;
    EXPECT_FALSE(Load(doc, part)) << c.length << ": no entity list";
  }
}

TEST(Jws, NothingIsReadOrWrittenAfterTheDefinitions) {
  ByteVec file = Figure(700, CanonicalJwsHeader());
  const std::size_t size = file.size();
  file.insert(file.end(), {1, 0, 0, 0, 3, 'a', 'b', 'c', 9, 0, 0, 0});  // what an image section would be
  TJwsData doc;
  doc.BindImageExp = doc.BindImageExr = true;
  ByteReader r{std::span<const std::uint8_t>(file)};
  ASSERT_TRUE(doc.LoadFrom(r));
  EXPECT_EQ(r.Position(), size);
  EXPECT_TRUE(doc.BindImage.empty());
  const auto saved = Save(doc, 700);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->size(), size);
}

TEST(Jws, ControlCharactersAreDroppedFromEveryString) {
  JwFile f(600);
  WriteJwsHeader(f, CanonicalJwsHeader());
  TEntJwwMoji text = Samples(600).moji;
  text.str = u"a\tb\r\nc";
  text.strFontName =
      u"\x01"
      u"font";
  f.Count(1).Moji(text).Count(0);
  TJwsData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  EXPECT_EQ(doc.EntMoji[0].str, u"abc");
  EXPECT_EQ(doc.EntMoji[0].strFontName, u"font");
}

TEST(Jws, NeverLoadedFigureIsNotSaved) {
  testsupport::TempDir dir;
  TJwsData doc;
  EXPECT_FALSE(Save(doc, 600));
  EXPECT_FALSE(doc.FileOut(testsupport::U16(dir / "out.jws"), 600));
  EXPECT_FALSE(fs::exists(dir / "out.jws"));
  EXPECT_FALSE(doc.FileHeaderIn(testsupport::U16(dir / "missing.jws")));
  EXPECT_FALSE(Save(doc, 600));
}

TEST(Jws, GroupsAfterAReloadHaveTheFixedValues) {
  TJwsData doc;
  ASSERT_TRUE(Load(doc, Figure(600, CanonicalJwsHeader())));
  for (TEntJwwLayerGroup& g : doc.EntLgrp) {
    g.anGLay = 1;
    g.anWriteLay = 5;
    g.anGLayProtect = 1;
    g.aStrGLayName = u"name";
  }
  doc.EntLgrp[3].adScale = 250;
  TJwsData back;
  ASSERT_TRUE(Load(back, *Save(doc, 600)));
  for (const TEntJwwLayerGroup& g : back.EntLgrp) {
    EXPECT_EQ(g.anGLay, 2);
    EXPECT_EQ(g.anWriteLay, 0);
    EXPECT_EQ(g.anGLayProtect, 0);
    EXPECT_TRUE(g.aStrGLayName.empty());
  }
  EXPECT_EQ(back.EntLgrp[3].adScale, 250);
}

TEST(Jws, RealFiguresSurviveASaveAndReachAFixedPoint) {
  const auto files = testsupport::CorpusFiles("jws", ".jws");
  SKIP_WITHOUT_CORPUS(files);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const ByteVec original = testsupport::ReadFileBytes(path);
    TJwsData doc;
    ASSERT_TRUE(doc.FileCheck(testsupport::U16(path)));
    ByteReader r{std::span<const std::uint8_t>(original)};
    ASSERT_TRUE(doc.LoadFrom(r));
    EXPECT_EQ(r.Remaining(), 0u);
    for (const TEntJwwNo& e : doc.EntNo) ASSERT_TRUE(doc.Entities().Valid(e));
    const std::int32_t ver = doc.Enthd.jwVer;
    const Form form = doc.MojiEncode ? Form::Utf16 : Form::CodePage;
    doc.SetFileOutOption(doc.MojiEncode ? 0x20 : 0);
    const auto saved = Save(doc, ver);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(std::equal(original.begin() + 200, original.begin() + 452, saved->begin() + 200))
        << "the header from the version on";
    TJwsData back;
    ASSERT_TRUE(Load(back, *saved));
    EXPECT_EQ(back.EntNo, doc.EntNo);
    for (int g = 0; g < 16; ++g) EXPECT_EQ(back.EntLgrp[g].adScale, doc.EntLgrp[g].adScale);
    ApplyWriterRules(doc, ver);
    EXPECT_TRUE(BodyOf(ver, form, back) == BodyOf(ver, form, doc));
    back.SetFileOutOption(back.MojiEncode ? 0x20 : 0);
    EXPECT_TRUE(*Save(back, ver) == *saved) << "a second save changes nothing";
  }
}

}  // namespace
