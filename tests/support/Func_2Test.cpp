// Strings, numbers and file names.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "support/Func_2.h"

namespace {

// Runs a test body in a UTF-8 locale, as the programs do after
// setlocale(LC_ALL, ""), and restores the previous one.
class Utf8Locale {
 public:
  Utf8Locale() : Saved_(std::setlocale(LC_ALL, nullptr)) { std::setlocale(LC_ALL, "C.UTF-8"); }
  ~Utf8Locale() { std::setlocale(LC_ALL, Saved_.c_str()); }

 private:
  std::string Saved_;
};

TEST(TextCase, MapsEveryUnitAndKeepsTheLength) {
  Utf8Locale Locale;
  EXPECT_EQ(TextUpper(u"plan.jww äé ω"), u"PLAN.JWW ÄÉ Ω");
  EXPECT_EQ(TextLower(u"PLAN.JWW ÄÉ Ω"), u"plan.jww äé ω");
  EXPECT_EQ(TextUpper(u"平面図ａ"), u"平面図Ａ");
  // Surrogates pass unchanged, so the length never changes.
  const std::u16string WithPair =
      u"a\xD801\xDC28"
      u"b\xDC00";
  EXPECT_EQ(TextUpper(WithPair),
            u"A\xD801\xDC28"
            u"B\xDC00");
  EXPECT_EQ(TextUpper(u"\u00DF").size(), 1u);  // sharp s has no single-unit upper case
}

TEST(TextParts, KeyValueLine) {
  EXPECT_EQ(TextCopyPart(u"F1_X=64", 0, 4), u"F1_X");
  EXPECT_EQ(TextCopyPart(u"F1_X", 0, -1), u"");
}

TEST(TextParts, BoundsAndEmptyArguments) {
  EXPECT_EQ(TextCopyPart(u"abcdef", -2, 3), u"abc");  // a negative start does not shorten Count
  EXPECT_EQ(TextCopyPart(u"abcdef", 4, 10), u"ef");
  EXPECT_EQ(TextCopyPart(u"abcdef", 6, 1), u"");
  EXPECT_EQ(TextCopyPart(u"abcdef", 1, 0), u"");
}

TEST(TextCleaners, Table) {
  struct Case {
    std::u16string in, control, clean, blanks;
  };
  const Case Cases[] = {
      // in, StripControlChars, CleanOutText, StripBlanks
      {u"A^mB\\nC", u"A^mB\\nC", u"ABC", u"A^mB\\nC"},
      {u"\x01\x1F\t", u"", u" ", u""},
      {u"", u"", u"", u""},
      {u"平面図\u30001 階", u"平面図\u30001 階", u"平面図\u30001 階", u"平面図1階"},
      {u"a\r\nb\x7F", u"ab\x7F", u"ab\x7F", u"ab\x7F"},
      {u"^M^m^", u"^M^m^", u"^M^", u"^M^m^"},  // only the lower-case marker
      {u"\\\\n", u"\\\\n", u"\\", u"\\\\n"},   // the first backslash stays, the pair after it goes
      {u"^m", u"^m", u" ", u"^m"},
      // markers that only meet once the characters inside them are gone
      {u"A\\^mnB", u"A\\^mnB", u"AB", u"A\\^mnB"},
      {u"A^^mmB", u"A^^mmB", u"AB", u"A^^mmB"},
      {u"A^\x01mB", u"A^mB", u"AB", u"A^mB"},
      {std::u16string(u"a\0b", 3), u"ab", u"ab", u"ab"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.in.begin(), C.in.end()));
    EXPECT_EQ(StripControlChars(C.in), C.control);
    EXPECT_EQ(CleanOutText(C.in), C.clean);
    EXPECT_EQ(CleanOutText(C.clean), C.clean) << "every save cleans again";
    EXPECT_EQ(StripBlanks(C.in), C.blanks);
  }
}

TEST(TextToInt, Table) {
  struct Case {
    std::u16string text;
    std::int32_t value;
  };
  const Case Cases[] = {
      {u"12", 12},
      {u"+12", 12},
      {u" 12", 12},
      {u"   -12", -12},
      {u"12 ", 0},  // trailing blank
      {u"", 0},
      {u" ", 0},
      {u"+", 0},
      {u"-", 0},
      {u"1 2", 0},
      {u"\t12", 0},
      {u"１２", 0},  // full-width digits are no digits
      {u"4294967296", 0},
      {u"2147483647", 2147483647},
      {u"2147483648", 0},
      {u"-2147483648", -2147483647 - 1},
      {u"-2147483649", 0},
      {u"000000000000000000012", 12},
      {u"$1F", 31},
      {u"$1f", 31},
      {u"x1F", 31},
      {u"X1F", 31},
      {u"0x1F", 31},
      {u"0X1f", 31},
      {u"-$1F", -31},
      {u"$FFFFFFFF", -1},
      {u"$80000000", -2147483647 - 1},
      {u"$100000000", 0},  // more than 32 bits
      {u"$", 0},
      {u"0x", 0},
      {u"$1G", 0},
      {u"0x 1", 0},
      {u"1.5", 0},
      {std::u16string(u"12\0zz", 5), 12},  // U+0000 ends the number
      {std::u16string(u"\0"
                      u"12",
                      3),
       0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.text.begin(), C.text.end()));
    EXPECT_EQ(TextToInt(C.text), C.value);
  }
}

// Only a text of the integer syntax gives a value, 0 among them.
TEST(TryTextToInt, TellsNoNumberFromZero) {
  struct Case {
    std::u16string text;
    std::optional<std::int32_t> value;
  };
  const Case Cases[] = {
      {u"0", 0},
      {u"-0", 0},
      {u" 0", 0},
      {u"$0", 0},
      {u"-12", -12},
      {u"0x1F", 31},
      {u"", std::nullopt},
      {u" ", std::nullopt},
      {u"+", std::nullopt},
      {u"12 ", std::nullopt},
      {u"abc", std::nullopt},
      {u"１２", std::nullopt},
      {u"2147483648", std::nullopt},
      {u"$100000000", std::nullopt},
      {u"1.5", std::nullopt},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.text.begin(), C.text.end()));
    EXPECT_EQ(TryTextToInt(C.text), C.value);
  }
}

TEST(TextToReal, Table) {
  struct Case {
    std::u16string text;
    long double value;
  };
  const Case Cases[] = {
      {u"1.5", 1.5L},
      {u" -2.25", -2.25L},
      {u"+3", 3},
      {u"5.", 5},
      {u".5", 0.5L},
      {u"1e3", 1000},
      {u"1.5E-2", 0.015L},
      {u"2e+2", 200},
      {u"1e", 0},
      {u"1e+", 0},
      {u".", 0},
      {u"", 0},
      {u"1.5 ", 0},
      {u"1,5", 0},
      {u"inf", 0},
      {u"nan", 0},
      {u"0x10", 0},
      {u"1e99999", 0},
      {std::u16string(u"2.5\0x", 5), 2.5L},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.text.begin(), C.text.end()));
    EXPECT_EQ(TextToReal(C.text), C.value);
  }
}

TEST(TextToBool, Table) {
  const std::u16string Yes[] = {u"on", u"True", u"○", u"t", u"TR", u"tru", u"1", u"１", u"ON", u"真", u"正"};
  const std::u16string No[] = {u" TRUE", u"TRUE ", u"yes", u"0", u"", u"TRUEX", u"off", u"×"};
  for (const auto& S : Yes) EXPECT_TRUE(TextToBool(S)) << std::string(S.begin(), S.end());
  for (const auto& S : No) EXPECT_FALSE(TextToBool(S)) << std::string(S.begin(), S.end());
  EXPECT_EQ(BoolToText(true), u"1");
  EXPECT_EQ(BoolToText(false), u"0");
}

TEST(Numbers, IntToTextAndFiniteness) {
  EXPECT_EQ(IntToText(0), u"0");
  EXPECT_EQ(IntToText(-2147483648LL), u"-2147483648");
  EXPECT_EQ(IntToText(1234567), u"1234567");
  EXPECT_TRUE(DoubleIsFinite(1e308));
  EXPECT_FALSE(DoubleIsFinite(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(DoubleIsFinite(-std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(DoubleIsFinite(std::numeric_limits<double>::quiet_NaN()));
}

TEST(FileNames, Table) {
  struct Case {
    std::u16string path, nameOnly, ext;
  };
  const Case Cases[] = {
      {u"C:\\data\\PLAN.JWW", u"PLAN.JWW", u".jww"},
      {u"C:\\data.d\\plan", u"plan", u""},
      {u"/home/u/data.d/plan", u"plan", u""},
      {u"/home/u/zu.", u"zu.", u"."},
      {u"C:plan.Jws", u"plan.Jws", u".jws"},
      {u"a/b\\c:d.BK3", u"d.BK3", u".bk3"},
      {u"*.JW?", u"*.JW?", u".jw?"},
      {u"plain", u"plain", u""},
      {u"dir/", u"", u""},
      {u"", u"", u""},
      {u"a|b.jww", u"", u".jww"},
      {u"a\"b.jww", u"", u".jww"},
      {u"x/<y>.jww", u"", u".jww"},
      {u"x/y\x01.jww", u"", u".jww"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.path.begin(), C.path.end()));
    EXPECT_EQ(FileNameOnly(C.path), C.nameOnly);
    EXPECT_EQ(FileExtLower(C.path), C.ext);
  }
}

TEST(FileNames, ExtChange) {
  EXPECT_EQ(FileExtChange(u"C:\\app\\tool.exe", u".ini"), u"C:\\app\\tool.ini");
  EXPECT_EQ(FileExtChange(u"C:\\data.d\\plan", u".BAK"), u"C:\\data.d\\plan.BAK");
  EXPECT_EQ(FileExtChange(u"/opt/app.d/lintorra", u".ini"), u"/opt/app.d/lintorra.ini");
  EXPECT_EQ(FileExtChange(u"/x/a.b.jww", u".BAK"), u"/x/a.b.BAK");
  EXPECT_EQ(FileExtChange(u"C:a", u".x"), u"C:a.x");
  EXPECT_EQ(FileExtChange(u"zu.", u".jww"), u"zu.jww");
  EXPECT_EQ(PathDelimChar(), u'/');
}

TEST(FileNames, PathJoin) {
  struct Case {
    std::u16string folder, name, joined;
  };
  const Case Cases[] = {
      {u"/data/図面", u"a.jww", u"/data/図面/a.jww"},
      {u"/data/図面/", u"a.jww", u"/data/図面/a.jww"},  // no doubled separator
      {u"/", u"a.jww", u"/a.jww"},
      {u"", u"a.jww", u"/a.jww"},  // an empty folder is the root
      {u"/data", u"", u"/data/"},
      {u"relative", u"a", u"relative/a"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.joined));
    EXPECT_EQ(PathJoin(C.folder, C.name), C.joined);
  }
  EXPECT_EQ(WithTrailingDelim(u"/data"), u"/data/");
  EXPECT_EQ(WithTrailingDelim(u"/data/"), u"/data/");
  EXPECT_EQ(WithTrailingDelim(u""), u"/");
}

}  // namespace
