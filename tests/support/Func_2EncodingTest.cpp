// Code page 932, UTF-16 bytes and UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "support/Func_2.h"

namespace {

TEST(CodePage, DecodesAndCutsAtTheFirstZero) {
  struct Case {
    Bytes in;
    std::u16string out;
  };
  const Case Cases[] = {
      {{0x41, 0x42, 0x00, 0x43, 0x44}, u"AB"},
      {{}, u""},
      {{0x00, 0x41}, u""},
      {{0x5C, 0x7E}, u"\\~"},  // ASCII stays ASCII
      {{0x95, 0xBD, 0x96, 0xCA, 0x90, 0x7D}, u"平面図"},
      {{0x5C, 0x82, 0xA0, 0x5C, 0x7E}, u"\\あ\\~"},     // mixed: no yen sign
      {{0xB1, 0xDD}, u"ｱﾝ"},                            // half-width katakana
      {{0x87, 0x40, 0xED, 0x40, 0xFA, 0x40}, u"①纊ⅰ"},  // NEC and IBM extensions
      {{0x82, 0xA0, 0x00, 0x82, 0xA2}, u"あ"},
      {{0x41, 0x82}, u"A\uFFFD"},         // lead byte at the end
      {{0x81, 0x20, 0x41}, u"\uFFFD A"},  // lead byte without trail
      {{0x85, 0x40, 0x41}, u"\uFFFDA"},   // unassigned pair: one character
      {{0x80, 0xA0, 0xFD, 0xFE, 0xFF, 0x41}, u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDA"},
  };
  for (const Case& C : Cases) EXPECT_EQ(AnsiBytesToText(C.in), C.out) << testing::PrintToString(C.in);
}

TEST(CodePage, EncodesWithQuestionMarkForTheUnencodable) {
  struct Case {
    std::u16string in;
    Bytes out;
  };
  const Case Cases[] = {
      {u"AB", {0x41, 0x42}},
      {u"", {}},
      {u"平面図", {0x95, 0xBD, 0x96, 0xCA, 0x90, 0x7D}},
      {u"a\\あ~", {0x61, 0x5C, 0x82, 0xA0, 0x7E}},
      {u"ｱﾝ", {0xB1, 0xDD}},
      {std::u16string(u"A\0あ", 3), {0x41, 0x00, 0x82, 0xA0}},  // U+0000 is encoded too
      {u"a\u0100b", {0x61, '?', 0x62}},                         // not in the code page
      {u"x\U0001F600y", {0x78, '?', 0x79}},                     // one "?" for a surrogate pair
      {u"\xD800"
       u"a\xDC00"
       u"あ\xD800",
       {'?', 0x61, '?', 0x82, 0xA0, '?'}},  // lone surrogates
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.out));
    EXPECT_EQ(TextToAnsiBytes(C.in), C.out);
  }
}

TEST(CodePage, RoundTripOfEveryDoubleByteCode) {
  // Every assigned double-byte code decodes to one character, which encodes
  // to a double-byte code of the same character (the duplicated NEC and IBM
  // codes share one encoding, so bytes need not come back identical).
  int Assigned = 0;
  for (int Lead = 0x81; Lead <= 0xFC; ++Lead) {
    if (Lead >= 0xA0 && Lead <= 0xDF) continue;
    for (int Trail = 0x40; Trail <= 0xFC; ++Trail) {
      if (Trail == 0x7F) continue;
      const Bytes In = {static_cast<std::uint8_t>(Lead), static_cast<std::uint8_t>(Trail)};
      const std::u16string Text = AnsiBytesToText(In);
      ASSERT_EQ(Text.size(), 1u);
      if (Text[0] == 0xFFFD) continue;
      ++Assigned;
      const Bytes Back = TextToAnsiBytes(Text);
      ASSERT_EQ(Back.size(), 2u);
      EXPECT_EQ(AnsiBytesToText(Back), Text);
    }
  }
  EXPECT_GT(Assigned, 7000);
}

TEST(CodePage, LimitedNeverSplitsADoubleByteCharacter) {
  struct Case {
    std::u16string in;
    std::size_t max;
    Bytes out;
  };
  const Case Cases[] = {
      {u"abc", 5, {0x61, 0x62, 0x63}},
      {u"abc", 2, {0x61, 0x62}},
      {u"aあb", 2, {0x61}},
      {u"aあb", 3, {0x61, 0x82, 0xA0}},
      {u"ｱあ", 2, {0xB1}},  // half-width katakana are single bytes
      {u"あい", 3, {0x82, 0xA0}},
      {u"あ", 1, {}},
      {u"あ", 0, {}},
      {u"\u8868\u8868", 3, {0x95, 0x5C}},  // trail byte 0x5C is not a boundary
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.out));
    EXPECT_EQ(TextToAnsiBytesLimited(C.in, C.max), C.out);
  }
  const std::u16string LongText(40000, u'あ');
  const Bytes Cut = TextToAnsiBytesLimited(LongText, 65535);
  EXPECT_EQ(Cut.size(), 65534u);
  EXPECT_EQ(AnsiBytesToText(Cut), std::u16string(32767, u'あ'));
}

TEST(Utf16Bytes, LowByteFirstAndCutAtZero) {
  EXPECT_EQ(Utf16BytesToText(Bytes{0x41, 0x00, 0x42, 0x00, 0x43}), u"AB");
  EXPECT_EQ(Utf16BytesToText(Bytes{0x42, 0x30, 0x00, 0x00, 0x41, 0x00}), u"あ");
  EXPECT_EQ(Utf16BytesToText(Bytes{0x3D, 0xD8, 0x00, 0xDE}), u"\U0001F600");
  EXPECT_EQ(Utf16BytesToText(Bytes{0x41}), u"");
}

TEST(Utf8, EncodesSurrogatePairsAndReplacesLoneOnes) {
  EXPECT_EQ(ToUtf8(u"a平\U0001F600"), "a\xE5\xB9\xB3\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(u"\xD800"
                   u"a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(ToUtf8(u"a\xDC00"), "a\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(u"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string(u"\0", 1)), std::string("\0", 1));
}

TEST(Utf8, DecodesAndReplacesInvalidBytes) {
  struct Case {
    std::string in;
    std::u16string out;
  };
  const Case Cases[] = {
      {"plan", u"plan"},
      {"\xE5\xB9\xB3\xE9\x9D\xA2", u"平面"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC3\xA9", u"é"},
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE5\xB9"
       "a",
       u"\uFFFDa"},  // cut short: the next character survives
      {"\xF0\x9F\x98", u"\uFFFD"},
      {"\x80\x80", u"\uFFFD\uFFFD"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.in));
    EXPECT_EQ(FromUtf8(C.in), C.out);
  }
}

TEST(Utf8, PathsRoundTrip) {
  const std::u16string P = u"/tmp/平面図/a b.jww";
  EXPECT_EQ(ToPath(P).native(), ToUtf8(P));
  EXPECT_EQ(FromPath(ToPath(P)), P);
}

// File names are bytes: every name, UTF-8 or not, must come back as the same
// bytes, and a valid name reads as the same text it does anywhere else.
TEST(Utf8, FileNamesComeBackByteForByte) {
  struct Case {
    std::string bytes;
    std::u16string name;
  };
  const Case Cases[] = {
      {"plan.jww", u"plan.jww"},
      {"\xE5\xB9\xB3\xE9\x9D\xA2.jww", u"平面.jww"},
      {"\xEF\xBF\xBD", u"\uFFFD"},                                // a real U+FFFD stays one
      {"\x95\xBD\x96\xCA.jww", u"\xDC95\xDCBD\xDC96\xDCCA.jww"},  // Shift_JIS
      {"a\xFF", u"a\xDCFF"},
      {"\xE5\xB9"
       "a",
       u"\xDCE5\xDCB9"
       "a"},                                    // cut short
      {"\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},  // an encoded stray byte
      {"\xC0\xAF", u"\xDCC0\xDCAF"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.bytes));
    EXPECT_EQ(FromNativeName(C.bytes), C.name);
    EXPECT_EQ(ToNativeName(C.name), C.bytes);
    EXPECT_EQ(FromPath(ToPath(C.name)), C.name);
  }
  // Surrogates that stand for no byte are still replaced.
  EXPECT_EQ(ToNativeName(u"\xD800"
                         u"a\xDC7F"),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
  // Texts for people never carry stray bytes.
  EXPECT_EQ(ToUtf8(u"a\xDCFF"), "a\xEF\xBF\xBD");
}

}  // namespace
