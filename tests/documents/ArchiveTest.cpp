// The archive encoding: string forms, counts, class tags and the write-side
// string limits.
#include <gtest/gtest.h>

#include <functional>

#include "documents/Archive.h"
#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"

using namespace jwfix;

namespace {

ByteVec Cat(std::initializer_list<ByteVec> parts) {
  ByteVec out;
  for (const ByteVec& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
ByteVec Fill(std::size_t n, std::uint8_t v) { return ByteVec(n, v); }
ByteVec Units(const std::u16string& s) {
  ByteVec out;
  for (char16_t c : s) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return out;
}

ByteVec Written(bool utf16, const std::function<void(ArchiveOut&)>& write) {
  MemorySink sink;
  ByteWriter w(sink);
  ArchiveOut out(w, utf16);
  write(out);
  EXPECT_TRUE(w.Flush());
  return sink.bytes;
}

TEST(Archive, ReadsEveryStringForm) {
  struct Case {
    const char* what;
    ByteVec bytes;
    std::u16string text;
    bool utf16;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    const ByteVec bytes = Cat({c.bytes, {0x5A}});  // one byte after the string
    ByteReader r{std::span<const std::uint8_t>(bytes)};
    bool moji = false;
    ArchiveIn in(r, moji);
    EXPECT_TRUE(in.ReadStr() == c.text) << c.what;
    EXPECT_EQ(r.Position(), c.bytes.size()) << c.what;
    EXPECT_EQ(moji, c.utf16) << c.what;
  }
}

TEST(Archive, MojiEncodeStaysSetAndCleanReadsDropControlCharacters) {
  const ByteVec bytes = {0xFF, 0xFE, 0xFF, 0x01, 'A', 0, 0x06, 'a', '\r', '\n', 'b', '\t', 0x1F};
  ByteReader r{std::span<const std::uint8_t>(bytes)};
  bool moji = false;
  ArchiveIn in(r, moji);
  EXPECT_EQ(in.ReadStr(), u"A");
  EXPECT_EQ(in.ReadStrClean(), u"ab");
  EXPECT_TRUE(moji) << "a later code-page string does not clear it";
}

TEST(Archive, ShortStringReadsDeliverWhatIsThere) {
  const ByteVec cases[] = {
      {}, {0x05, 'a', 'b'}, {0xFF}, {0xFF, 0xFE}, {0xFF, 0xFE, 0xFF, 0x05, 'a'}, {0xFF, 0xFF, 0xFF, 'q'}};
  for (const ByteVec& bytes : cases) {
    ByteReader r{std::span<const std::uint8_t>(bytes)};
    bool moji = false;
    ArchiveIn in(r, moji);
    const std::u16string s = in.ReadStr();
    EXPECT_LE(s.size(), 2u);
    EXPECT_EQ(r.Remaining(), 0u);
  }
}

TEST(Archive, WritesEveryStringForm) {
  struct Case {
    const char* what;
    std::u16string text;
    bool utf16;
    ByteVec bytes;
  };
  const std::u16string withZero(u"ab\0cd", 5);
  const Case cases[] = {
      {"empty", u"", false, {0x00}},
      {"UTF-16 empty", u"", true, {0xFF, 0xFE, 0xFF, 0x00}},
      {"254 bytes", std::u16string(254, u'a'), false, Cat({{0xFE}, Fill(254, 'a')})},
      {"255 bytes", std::u16string(255, u'a'), false, Cat({{0xFF, 0xFF, 0x00}, Fill(255, 'a')})},
      {"code page 932", u"平面図", false, {0x06, 0x95, 0xBD, 0x96, 0xCA, 0x90, 0x7D}},
      {"U+0000 in code-page form", withZero, false, {0x02, 'a', 'b'}},
      {"U+0000 in UTF-16 form", withZero, true, {0xFF, 0xFE, 0xFF, 0x05, 'a', 0, 'b', 0, 0, 0, 'c', 0, 'd', 0}},
      {"254 units", std::u16string(254, u'字'), true,
       Cat({{0xFF, 0xFE, 0xFF, 0xFE}, Units(std::u16string(254, u'字'))})},
      {"255 units", std::u16string(255, u'字'), true,
       Cat({{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}, Units(std::u16string(255, u'字'))})},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Written(c.utf16, [&](ArchiveOut& o) { o.WriteStr(c.text); }), c.bytes) << c.what;
}

// Strings beyond the format's lengths are cut on a character boundary:
// at most 65535 code-page bytes, but never exactly 65534 (that length would
// read as the UTF-16 marker), and 65535 UTF-16 units.
TEST(Archive, OverlongStringsAreCutOnACharacterBoundary) {
  const std::u16string hiragana(40000, u'あ');  // two bytes each in code page 932
  const std::u16string pair = u"\U0001F600";
  struct Case {
    const char* what;
    std::u16string text;
    bool utf16;
    std::size_t keptUnits;
  };
  const Case cases[] = {
      {"70000 bytes", std::u16string(70000, u'a'), false, 65535},
      {"65535 bytes", std::u16string(65535, u'a'), false, 65535},
      {"65534 bytes", std::u16string(65534, u'a'), false, 65533},
      {"65533 bytes", std::u16string(65533, u'a'), false, 65533},
      {"odd start, double-byte text", u"a" + hiragana, false, 1 + 32767},
      {"even start, double-byte text", u"ab" + hiragana, false, 2 + 32765},
      {"70000 units", std::u16string(70000, u'a'), true, 65535},
      {"pair across the limit", std::u16string(65534, u'a') + pair, true, 65534},
      {"pair at the limit", std::u16string(65533, u'a') + pair, true, 65535},
      {"65535 units", std::u16string(65535, u'b'), true, 65535},
  };
  for (const Case& c : cases) {
    const ByteVec bytes = Written(c.utf16, [&](ArchiveOut& o) { o.WriteStr(c.text); });
    ByteReader r{std::span<const std::uint8_t>(bytes)};
    bool moji = false;
    ArchiveIn in(r, moji);
    const std::u16string back = in.ReadStr();
    EXPECT_EQ(r.Remaining(), 0u) << c.what << ": the length matches the bytes";
    EXPECT_EQ(back.size(), c.keptUnits) << c.what;
    EXPECT_TRUE(back == c.text.substr(0, c.keptUnits)) << c.what;
    EXPECT_EQ(moji, c.utf16) << c.what;
  }
}

TEST(Archive, CountsAndClassReferences) {
  struct Case {
    std::uint32_t n;
    ByteVec count, classRef;
  };
  const Case cases[] = {
      {0, {0x00, 0x00}, {0x00, 0x80}},
      {1, {0x01, 0x00}, {0x01, 0x80}},
      {0x7FFE, {0xFE, 0x7F}, {0xFE, 0xFF}},
      {0x7FFF, {0xFF, 0x7F}, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}},
      {65534, {0xFE, 0xFF}, {0xFF, 0x7F, 0xFE, 0xFF, 0x00, 0x80}},
      {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, {0xFF, 0x7F, 0xFF, 0xFF, 0x00, 0x80}},
      {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}, {0xFF, 0x7F, 0x78, 0x56, 0x34, 0x92}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written(false, [&](ArchiveOut& o) { o.WriteCount(c.n); }), c.count) << c.n;
    EXPECT_EQ(Written(false, [&](ArchiveOut& o) { o.WriteClassRef(c.n); }), c.classRef) << c.n;
    ByteReader r{std::span<const std::uint8_t>(c.count)};
    bool moji = false;
    ArchiveIn in(r, moji);
    std::uint32_t back = 0;
    EXPECT_TRUE(in.ReadCount(back));
    EXPECT_EQ(back, c.n);
  }
  EXPECT_EQ(Written(false, [](ArchiveOut& o) { o.WriteNewClass(600, "CDataSen"); }),
            (ByteVec{0xFF, 0xFF, 0x58, 0x02, 0x08, 0x00, 'C', 'D', 'a', 't', 'a', 'S', 'e', 'n'}));
  const ByteVec none;
  ByteReader r{std::span<const std::uint8_t>(none)};
  bool moji = false;
  ArchiveIn in(r, moji);
  std::uint32_t n = 7;
  EXPECT_FALSE(in.ReadCount(n)) << "no count at all";
}

// A drawing whose arcs' class receives object index 0x7FFE or 0x7FFF: the
// second arc is tagged with the short or the long class reference, both
// ways.
TEST(Archive, ClassIndicesAroundTheShortTagLimit) {
  const SampleEntities s = Samples(600);
  const struct {
    std::uint32_t lines;
    std::uint32_t arcClass;
    ByteVec secondArcTag;
  } cases[] = {
      {32764, 0x7FFE, {0xFE, 0xFF}},
      {32765, 0x7FFF, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}},
  };
  for (const auto& c : cases) {
    JwFile f(600);
    WriteJwwHeader(f, CanonicalHeader(600));
    f.Count(c.lines + 3);
    for (std::uint32_t i = 0; i < c.lines; ++i) f.Line(s.line);
    f.Enko(s.enko);
    ASSERT_EQ(f.ClassIndex("CDataEnko"), c.arcClass);
    const std::size_t tagAt = f.b.size();
    f.Enko(s.enko).Line(s.line);
    ASSERT_EQ(ByteVec(f.bytes().begin() + tagAt, f.bytes().begin() + tagAt + c.secondArcTag.size()), c.secondArcTag);
    f.Count(0);
    TJwwData doc;
    ASSERT_TRUE(Load(doc, f.bytes()));
    EXPECT_EQ(doc.EntEnko.size(), 2u);
    EXPECT_EQ(doc.EntLine.size(), c.lines + 1);
    EXPECT_TRUE(*Save(doc, 600) == f.bytes());
  }
}

// Ten lines and two arcs, then a line: one new-class tag per class in order
// of first use, and the later line refers to class index 1.
TEST(Archive, ClassTagsInOrderOfFirstUse) {
  const SampleEntities s = Samples(600);
  JwFile f(600);
  WriteJwwHeader(f, CanonicalHeader(600));
  const std::size_t listAt = f.b.size();
  f.Count(13);
  for (int i = 0; i < 10; ++i) f.Line(s.line);
  f.Enko(s.enko).Enko(s.enko).Line(s.line).Count(0);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  const auto saved = Save(doc, 600);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(*saved == f.bytes());
  // Read the tags straight from the saved bytes.
  const std::size_t line = 2 + 47, arc = 2 + 75;
  std::size_t p = listAt + 2;
  auto u16 = [&](std::size_t at) { return (*saved)[at] | ((*saved)[at + 1] << 8); };
  EXPECT_EQ(u16(p), 0xFFFF);
  EXPECT_EQ(u16(p + 2), 600) << "schema: the output version";
  p += 14 + 47;
  for (int i = 1; i < 10; ++i, p += line) EXPECT_EQ(u16(p), 0x8001);
  EXPECT_EQ(u16(p), 0xFFFF) << "the arcs' class, index 12";
  p += 15 + 75;
  EXPECT_EQ(u16(p), 0x800C);
  p += arc;
  EXPECT_EQ(u16(p), 0x8001);
}

}  // namespace
