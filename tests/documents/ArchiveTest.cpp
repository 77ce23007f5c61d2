// The archive encoding: string forms, counts, class tags and the write-side
// string limits.
#include <gtest/gtest.h>

#include <functional>

#include "documents/Archive.h"
#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"

using namespace jwfix;

namespace {

ByteVec Cat(std::initializer_list<ByteVec> Parts) {
  ByteVec Out;
  for (const ByteVec& P : Parts) Out.insert(Out.end(), P.begin(), P.end());
  return Out;
}
ByteVec Fill(std::size_t N, std::uint8_t V) { return ByteVec(N, V); }
ByteVec Units(const std::u16string& S) {
  ByteVec Out;
  for (char16_t C : S) {
    Out.push_back(static_cast<std::uint8_t>(C));
    Out.push_back(static_cast<std::uint8_t>(C >> 8));
  }
  return Out;
}

ByteVec Written(bool Utf16, const std::function<void(ArchiveOut&)>& Write) {
  MemorySink Sink;
  ByteWriter W(Sink);
  ArchiveOut Out(W, Utf16);
  Write(Out);
  EXPECT_TRUE(W.Flush());
  return Sink.bytes;
}

TEST(Archive, ReadsEveryStringForm) {
  struct Case {
    const char* what;
    ByteVec bytes;
    std::u16string text;
    bool utf16;
  };
  const Case Cases[] = {
      {"empty", {0x00}, u"", false},
      {"short", {0x03, 'a', 'b', 'c'}, u"abc", false},
      {"254 bytes", Cat({{0xFE}, Fill(254, 'x')}), std::u16string(254, u'x'), false},
      {"255 bytes, long form", Cat({{0xFF, 0xFF, 0x00}, Fill(255, 'y')}), std::u16string(255, u'y'), false},
      {"65535 bytes, no 32-bit length", Cat({{0xFF, 0xFF, 0xFF}, Fill(65535, 'z')}), std::u16string(65535, u'z'),
       false},
      {"code page 932", {0x06, 0x95, 0xBD, 0x96, 0xCA, 0x90, 0x7D}, u"平面図", false},
      {"embedded zero byte", {0x05, 'a', 'b', 0x00, 'c', 'd'}, u"ab", false},
      {"UTF-16 empty", {0xFF, 0xFE, 0xFF, 0x00}, u"", true},
      {"UTF-16 short", {0xFF, 0xFE, 0xFF, 0x02, 0x73, 0x5E, 0x62, 0x97}, u"平面", true},
      {"UTF-16 300 units", Cat({{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}, Units(std::u16string(300, u'字'))}),
       std::u16string(300, u'字'), true},
      {"UTF-16 65535 units", Cat({{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}, Units(std::u16string(65535, u'w'))}),
       std::u16string(65535, u'w'), true},
      {"UTF-16 with U+0000", {0xFF, 0xFE, 0xFF, 0x03, 'A', 0, 0, 0, 'B', 0}, u"A", true},
      {"surrogate pair", Cat({{0xFF, 0xFE, 0xFF, 0x02}, Units(u"\U0001F600")}), u"\U0001F600", true},
  };
  for (const Case& C : Cases) {
    const ByteVec Bytes = Cat({C.bytes, {0x5A}});  // one byte after the string
    ByteReader R{std::span<const std::uint8_t>(Bytes)};
    bool Moji = false;
    ArchiveIn In(R, Moji);
    EXPECT_TRUE(In.ReadStr() == C.text) << C.what;
    EXPECT_EQ(R.Position(), C.bytes.size()) << C.what;
    EXPECT_EQ(Moji, C.utf16) << C.what;
  }
}

TEST(Archive, MojiEncodeStaysSetAndCleanReadsDropControlCharacters) {
  const ByteVec Bytes = {0xFF, 0xFE, 0xFF, 0x01, 'A', 0, 0x06, 'a', '\r', '\n', 'b', '\t', 0x1F};
  ByteReader R{std::span<const std::uint8_t>(Bytes)};
  bool Moji = false;
  ArchiveIn In(R, Moji);
  EXPECT_EQ(In.ReadStr(), u"A");
  EXPECT_EQ(In.ReadStrClean(), u"ab");
  EXPECT_TRUE(Moji) << "a later code-page string does not clear it";
}

TEST(Archive, ShortStringReadsDeliverWhatIsThere) {
  const ByteVec Cases[] = {
      {}, {0x05, 'a', 'b'}, {0xFF}, {0xFF, 0xFE}, {0xFF, 0xFE, 0xFF, 0x05, 'a'}, {0xFF, 0xFF, 0xFF, 'q'}};
  for (const ByteVec& Bytes : Cases) {
    ByteReader R{std::span<const std::uint8_t>(Bytes)};
    bool Moji = false;
    ArchiveIn In(R, Moji);
    const std::u16string S = In.ReadStr();
    EXPECT_LE(S.size(), 2u);
    EXPECT_EQ(R.Remaining(), 0u);
  }
}

TEST(Archive, WritesEveryStringForm) {
  struct Case {
    const char* what;
    std::u16string text;
    bool utf16;
    ByteVec bytes;
  };
  const std::u16string WithZero(u"ab\0cd", 5);
  const Case Cases[] = {
      {"empty", u"", false, {0x00}},
      {"UTF-16 empty", u"", true, {0xFF, 0xFE, 0xFF, 0x00}},
      {"254 bytes", std::u16string(254, u'a'), false, Cat({{0xFE}, Fill(254, 'a')})},
      {"255 bytes", std::u16string(255, u'a'), false, Cat({{0xFF, 0xFF, 0x00}, Fill(255, 'a')})},
      {"code page 932", u"平面図", false, {0x06, 0x95, 0xBD, 0x96, 0xCA, 0x90, 0x7D}},
      {"U+0000 in code-page form", WithZero, false, {0x02, 'a', 'b'}},
      {"U+0000 in UTF-16 form", WithZero, true, {0xFF, 0xFE, 0xFF, 0x05, 'a', 0, 'b', 0, 0, 0, 'c', 0, 'd', 0}},
      {"254 units", std::u16string(254, u'字'), true,
       Cat({{0xFF, 0xFE, 0xFF, 0xFE}, Units(std::u16string(254, u'字'))})},
      {"255 units", std::u16string(255, u'字'), true,
       Cat({{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}, Units(std::u16string(255, u'字'))})},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(Written(C.utf16, [&](ArchiveOut& o) { o.WriteStr(C.text); }), C.bytes) << C.what;
}

// Strings beyond the format's lengths are cut on a character boundary:
// at most 65535 code-page bytes, but never exactly 65534 (that length would
// read as the UTF-16 marker), and 65535 UTF-16 units.
TEST(Archive, OverlongStringsAreCutOnACharacterBoundary) {
  const std::u16string Hiragana(40000, u'あ');  // two bytes each in code page 932
  const std::u16string Pair = u"\U0001F600";
  struct Case {
    const char* what;
    std::u16string text;
    bool utf16;
    std::size_t keptUnits;
  };
  const Case Cases[] = {
      {"70000 bytes", std::u16string(70000, u'a'), false, 65535},
      {"65535 bytes", std::u16string(65535, u'a'), false, 65535},
      {"65534 bytes", std::u16string(65534, u'a'), false, 65533},
      {"65533 bytes", std::u16string(65533, u'a'), false, 65533},
      {"odd start, double-byte text", u"a" + Hiragana, false, 1 + 32767},
      {"even start, double-byte text", u"ab" + Hiragana, false, 2 + 32765},
      {"70000 units", std::u16string(70000, u'a'), true, 65535},
      {"pair across the limit", std::u16string(65534, u'a') + Pair, true, 65534},
      {"pair at the limit", std::u16string(65533, u'a') + Pair, true, 65535},
      {"65535 units", std::u16string(65535, u'b'), true, 65535},
  };
  for (const Case& C : Cases) {
    const ByteVec Bytes = Written(C.utf16, [&](ArchiveOut& O) { O.WriteStr(C.text); });
    ByteReader R{std::span<const std::uint8_t>(Bytes)};
    bool Moji = false;
    ArchiveIn In(R, Moji);
    const std::u16string Back = In.ReadStr();
    EXPECT_EQ(R.Remaining(), 0u) << C.what << ": the length matches the bytes";
    EXPECT_EQ(Back.size(), C.keptUnits) << C.what;
    EXPECT_TRUE(Back == C.text.substr(0, C.keptUnits)) << C.what;
    EXPECT_EQ(Moji, C.utf16) << C.what;
  }
}

TEST(Archive, CountsAndClassReferences) {
  struct Case {
    std::uint32_t n;
    ByteVec count, classRef;
  };
  const Case Cases[] = {
      {0, {0x00, 0x00}, {0x00, 0x80}},
      {1, {0x01, 0x00}, {0x01, 0x80}},
      {0x7FFE, {0xFE, 0x7F}, {0xFE, 0xFF}},
      {0x7FFF, {0xFF, 0x7F}, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}},
      {65534, {0xFE, 0xFF}, {0xFF, 0x7F, 0xFE, 0xFF, 0x00, 0x80}},
      {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, {0xFF, 0x7F, 0xFF, 0xFF, 0x00, 0x80}},
      {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}, {0xFF, 0x7F, 0x78, 0x56, 0x34, 0x92}},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(Written(false, [&](ArchiveOut& o) { o.WriteCount(C.n); }), C.count) << C.n;
    EXPECT_EQ(Written(false, [&](ArchiveOut& o) { o.WriteClassRef(C.n); }), C.classRef) << C.n;
    ByteReader R{std::span<const std::uint8_t>(C.count)};
    bool Moji = false;
    ArchiveIn In(R, Moji);
    std::uint32_t Back = 0;
    EXPECT_TRUE(In.ReadCount(Back));
    EXPECT_EQ(Back, C.n);
  }
  EXPECT_EQ(Written(false, [](ArchiveOut& o) { o.WriteNewClass(600, "CDataSen"); }),
            (ByteVec{0xFF, 0xFF, 0x58, 0x02, 0x08, 0x00, 'C', 'D', 'a', 't', 'a', 'S', 'e', 'n'}));
  const ByteVec None;
  ByteReader R{std::span<const std::uint8_t>(None)};
  bool Moji = false;
  ArchiveIn In(R, Moji);
  std::uint32_t N = 7;
  EXPECT_FALSE(In.ReadCount(N)) << "no count at all";
}

// A drawing whose arcs' class receives object index 0x7FFE or 0x7FFF: the
// second arc is tagged with the short or the long class reference, both
// ways.
TEST(Archive, ClassIndicesAroundTheShortTagLimit) {
  const SampleEntities S = Samples(600);
  const struct {
    std::uint32_t lines;
    std::uint32_t arcClass;
    ByteVec secondArcTag;
  } Cases[] = {
      {32764, 0x7FFE, {0xFE, 0xFF}},
      {32765, 0x7FFF, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}},
  };
  for (const auto& C : Cases) {
    JwFile F(600);
    WriteJwwHeader(F, CanonicalHeader(600));
    F.Count(C.lines + 3);
    for (std::uint32_t I = 0; I < C.lines; ++I) F.Line(S.line);
    F.Enko(S.enko);
    ASSERT_EQ(F.ClassIndex("CDataEnko"), C.arcClass);
    const std::size_t TagAt = F.b.size();
    F.Enko(S.enko).Line(S.line);
    ASSERT_EQ(ByteVec(F.bytes().begin() + TagAt, F.bytes().begin() + TagAt + C.secondArcTag.size()), C.secondArcTag);
    F.Count(0);
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, F.bytes()));
    EXPECT_EQ(Doc.EntEnko.size(), 2u);
    EXPECT_EQ(Doc.EntLine.size(), C.lines + 1);
    EXPECT_TRUE(*Save(Doc, 600) == F.bytes());
  }
}

// Ten lines and two arcs, then a line: one new-class tag per class in order
// of first use, and the later line refers to class index 1.
TEST(Archive, ClassTagsInOrderOfFirstUse) {
  const SampleEntities S = Samples(600);
  JwFile F(600);
  WriteJwwHeader(F, CanonicalHeader(600));
  const std::size_t ListAt = F.b.size();
  F.Count(13);
  for (int I = 0; I < 10; ++I) F.Line(S.line);
  F.Enko(S.enko).Enko(S.enko).Line(S.line).Count(0);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  const auto Saved = Save(Doc, 600);
  ASSERT_TRUE(Saved);
  EXPECT_TRUE(*Saved == F.bytes());
  // Read the tags straight from the saved bytes.
  const std::size_t Line = 2 + 47, Arc = 2 + 75;
  std::size_t P = ListAt + 2;
  auto U16 = [&](std::size_t At) { return (*Saved)[At] | ((*Saved)[At + 1] << 8); };
  EXPECT_EQ(U16(P), 0xFFFF);
  EXPECT_EQ(U16(P + 2), 600) << "schema: the output version";
  P += 14 + 47;
  for (int I = 1; I < 10; ++I, P += Line) EXPECT_EQ(U16(P), 0x8001);
  EXPECT_EQ(U16(P), 0xFFFF) << "the arcs' class, index 12";
  P += 15 + 75;
  EXPECT_EQ(U16(P), 0x800C);
  P += Arc;
  EXPECT_EQ(U16(P), 0x8001);
}

}  // namespace
