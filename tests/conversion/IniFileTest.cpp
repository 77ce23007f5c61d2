#include <gtest/gtest.h>

#include <fstream>

#include "conversion/IniFile.h"
#include "conversion/SettingsFixtures.h"
#include "conversion/SettingsText.h"
#include "support/Func_2.h"

namespace {

using namespace settingsfixtures;
using testsupport::TempDir;

class IniFileTest : public testing::Test {
 protected:
  TempDir Dir_;
  std::u16string Ini() const { return testsupport::U16(Dir_ / "Lintorra.ini"); }
  TIniState LoadBytes(const std::vector<std::uint8_t>& Bytes) {
    testsupport::WriteFileBytes(Dir_ / "Lintorra.ini", Bytes);
    return LoadIni(Ini());
  }
  TIniState Load(std::string_view Utf8Text) { return LoadBytes(Utf8Bom(Utf8Text)); }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> Names;
    for (const auto& E : std::filesystem::directory_iterator(Dir_.path())) Names.push_back(E.path().filename());
    return Names;
  }
};

TEST_F(IniFileTest, WithoutAFileEverythingHasItsDefault) {
  const TIniState S = LoadIni(Ini());
  EXPECT_EQ(S.Form1Left, 64);
  EXPECT_EQ(S.Form1Top, 64);
  EXPECT_EQ(S.Form1Width, 600);
  EXPECT_EQ(S.Form1Height, 520);
  EXPECT_EQ(S.Form3Left, 64);
  EXPECT_EQ(S.Form3Top, 64);
  EXPECT_EQ(S.Panel1Width, 200);
  for (std::int32_t W : S.ColumnWidths) EXPECT_EQ(W, 80);
  EXPECT_EQ(S.preFolder, u"");
  EXPECT_EQ(S.DestFolder, u"");
  EXPECT_EQ(S.FileTypeIndex, 0);
  const TConvSettings& C = S.Settings;
  EXPECT_EQ(C.ConvMode, kModeIndividual);
  EXPECT_EQ(C.VerRaise, 0);
  EXPECT_EQ(C.SetFileName, u"");
  for (int R = 1; R <= kColorRows; ++R) {
    EXPECT_EQ(C.ColorMap[R], 0);
    EXPECT_EQ(C.WidthMap[R], -1);
  }
  for (int R = 1; R <= kLtypeRows; ++R) EXPECT_EQ(C.LtypeMap[R], 0);
  for (int K = 1; K <= kOptSwitches; ++K) EXPECT_EQ(C.OptFlags[K], 0);
  for (int N = 1; N <= kCombRowCount; ++N) {
    const TCombRow& R = C.CombRows[N];
    EXPECT_FALSE(R.Enabled);
    EXPECT_EQ(R.SrcColorIdx, 0);
    EXPECT_EQ(R.SrcLtypeIdx, 0);
    EXPECT_EQ(R.DstColor, 0);
    EXPECT_EQ(R.DstLtype, 0);
    EXPECT_EQ(R.DstWidth, -1);
  }
}

TEST_F(IniFileTest, ReadsEveryKindOfKeyIntoItsTarget) {
  const TIniState S = Load(
      "[Form]\r\nF1_X=10\r\nF1_Y=-20\r\nF1_W=700\r\nF1_H=500\r\nF3_X=5\r\nF3_Y=6\r\n"
      "[Comp]\r\nF1P1=150\r\nF1S0=1\r\nF1S5=6\r\nF1S6=99\r\n"
      "[Set]\r\nFLD1=/data/図面=旧\r\nFLD2= out \r\nFNAM=/sets/a.set\r\nFTYP=3\r\nCVNO=1\r\n"
      "[JWW]\r\nC1=5\r\nC265=356\r\nC266=2\r\nC314=62\r\nC315=1\r\nC322=7\r\nW1=30\r\nW265=-1\r\n"
      "[JWW1]\r\nFL1=1\r\nCN1=9\r\nLN1=48\r\nCL1=101\r\nLT1=31\r\nWD1=25\r\nWD10=3\r\n");
  EXPECT_EQ(S.Form1Left, 10);
  EXPECT_EQ(S.Form1Top, -20);
  EXPECT_EQ(S.Form1Width, 700);
  EXPECT_EQ(S.Form1Height, 500);
  EXPECT_EQ(S.Form3Left, 5);
  EXPECT_EQ(S.Form3Top, 6);
  EXPECT_EQ(S.Panel1Width, 150);
  EXPECT_EQ(S.ColumnWidths, (std::array<std::int32_t, 6>{1, 80, 80, 80, 80, 6}));
  EXPECT_EQ(S.preFolder, u"/data/図面=旧");  // only the first "=" separates
  EXPECT_EQ(S.DestFolder, u" out ");         // untrimmed
  EXPECT_EQ(S.Settings.SetFileName, u"/sets/a.set");
  EXPECT_EQ(S.FileTypeIndex, 3);
  const TConvSettings& C = S.Settings;
  EXPECT_EQ(C.ConvMode, kModeCombination);
  EXPECT_EQ(C.ColorMap[1], 5);
  EXPECT_EQ(C.ColorMap[265], 356);
  EXPECT_EQ(C.LtypeMap[1], 2);
  EXPECT_EQ(C.LtypeMap[49], 62);
  EXPECT_EQ(C.OptFlags[OptMojiTypeColor], 1);
  EXPECT_EQ(C.OptFlags[OptWidthOverwrite], 7);
  EXPECT_EQ(C.WidthMap[1], 30);
  EXPECT_EQ(C.WidthMap[265], -1);
  EXPECT_EQ(C.CombRows[1], (TCombRow{true, 9, 48, 101, 31, 25}));
  EXPECT_EQ(C.CombRows[10].DstWidth, 3);
  EXPECT_EQ(C.VerRaise, 2);
}

TEST_F(IniFileTest, VerRaiseFollowsWhatWasRead) {
  struct Case {
    const char* Text;
    std::int32_t Expected;
  };
  const Case Cases[] = {
      {"[JWW]\r\nW12=0\r\n", 0},
      {"[JWW]\r\nW12=50\r\n", 1},
      {"[JWW]\r\nC12=101\r\n", 2},
      {"[JWW]\r\nC12=101\r\nW12=50\r\n", 2},
      {"[JWW1]\r\nWD3=40\r\nFL3=0\r\n", 0},
      {"[JWW1]\r\nWD3=40\r\nFL3=1\r\n", 1},
  };
  for (const Case& C : Cases) EXPECT_EQ(Load(C.Text).Settings.VerRaise, C.Expected) << C.Text;
}

TEST_F(IniFileTest, KeysMatchExactlyAndOnlyInTheirOwnSection) {
  struct Case {
    const char* Text;
    std::int32_t ColorRow1;
  };
  const Case Cases[] = {
      {"[JWW]\r\nC1=5\r\n", 5},
      {"C1=5\r\n", 0},  // before any header the section is [Form]
      {"[Set]\r\nC1=5\r\n", 0},
      {"[JWW]\r\nC01=5\r\n", 0},
      {"[JWW]\r\nc1=5\r\n", 0},
      {"[JWW]\r\nC+1=5\r\n", 0},
      {"[JWW]\r\nC1 =5\r\n", 0},
      {"[jww]\r\nC1=5\r\n", 0},
      {"[JWW] \r\nC1=5\r\n", 0},
      {"[JWW]\r\n[Other]\r\nC1=5\r\n", 5},  // an unknown header switches nothing
      {"[JWW]\r\nC1=5\r\n[JWW1]\r\nC1=6\r\n", 5},
      {"[JWW]\r\nC1=5\r\nC1=9\r\n", 9},  // the later line wins
      {"[JWW]\r\nC1=5\r\n[Set]\r\n[JWW]\r\nC1=4\r\n", 4},
      {"[JWW]\r\nC1=abc\r\n", 0},
      {"[JWW]\r\nC1= 7\r\n", 7},
      {"[JWW]\r\nC1=7 \r\n", 0},
      {"[JWW]\r\nC1=$1F\r\n", 31},
      {"[JWW]\r\nC1=4294967296\r\n", 0},
  };
  for (const Case& C : Cases) EXPECT_EQ(Load(C.Text).Settings.ColorMap[1], C.ColorRow1) << C.Text;
}

TEST_F(IniFileTest, RowEnabledIsATruthValue) {
  struct Case {
    const char* Value;
    bool Enabled;
  };
  const Case Cases[] = {{"1", true},  {"true", true}, {"TRUE", true}, {"on", true}, {"T", true},
                        {"○", true},  {"１", true},   {"真", true},   {"正", true}, {"tr", true},
                        {"0", false}, {"yes", false}, {"", false},    {"2", false}, {" true", false}};
  for (const Case& C : Cases) {
    EXPECT_EQ(Load(std::string("[JWW1]\r\nFL1=") + C.Value + "\r\n").Settings.CombRows[1].Enabled, C.Enabled)
        << C.Value;
  }
}

TEST_F(IniFileTest, ModeKeepsAnyValueAndOnlyOneIsCombination) {
  const TIniState S = Load("[Set]\r\nCVNO=5\r\n");
  EXPECT_EQ(S.Settings.ConvMode, 5);
  EXPECT_FALSE(S.Settings.IsCombinationMode());
}

TEST_F(IniFileTest, RowKeysOutsideTheTenRowsAreIgnored) {
  const TIniState S = Load("[JWW1]\r\nFL0=1\r\nFL11=1\r\nCN01=4\r\nXX1=4\r\nCL10=7\r\n");
  for (int N = 1; N <= kCombRowCount; ++N) EXPECT_FALSE(S.Settings.CombRows[N].Enabled);
  EXPECT_EQ(S.Settings.CombRows[1].SrcColorIdx, 0);
  EXPECT_EQ(S.Settings.CombRows[10].DstColor, 7);
}

TEST_F(IniFileTest, LineEndsAndEncodings) {
  const std::u16string Text = u"[Set]\r\nFLD1=表\r\n[JWW]\r\nC1=5\r\n";
  struct Case {
    const char* Name;
    std::vector<std::uint8_t> Bytes;
  };
  const Case Cases[] = {
      {"UTF-8", Utf8Bom(ToUtf8(Text))},
      {"UTF-16 LE", Utf16(Text, false)},
      {"UTF-16 BE", Utf16(Text, true)},
      {"code page 932", Plain("[Set]\r\nFLD1=\x95\x5C\r\n[JWW]\r\nC1=5\r\n")},
      {"LF", Utf8Bom("[Set]\nFLD1=表\n[JWW]\nC1=5")},
      {"CR", Utf8Bom("[Set]\rFLD1=表\r[JWW]\rC1=5\r")},
      {"mixed and empty lines", Utf8Bom("\r\n\r\n[Set]\n\nFLD1=表\r\r\n[JWW]\r\n\nC1=5\n")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TIniState S = LoadBytes(C.Bytes);
    EXPECT_EQ(S.preFolder, u"表");
    EXPECT_EQ(S.Settings.ColorMap[1], 5);
  }
}

TEST_F(IniFileTest, MalformedBytesDoNotDisturbTheValidLines) {
  struct Case {
    const char* Name;
    std::vector<std::uint8_t> Bytes;
  };
  std::vector<std::uint8_t> OddUtf16 = Utf16(u"[JWW]\r\nC1=5\r\n", false);
  OddUtf16.push_back(0x41);
  const Case Cases[] = {
      {"broken UTF-8", Utf8Bom("\xC3\x28=\xF8\x88\x80\r\n[JWW]\r\nC1=5\r\n\xED\xA0\x80=1\r\n")},
      {"odd UTF-16 length", OddUtf16},
      {"stray lead bytes of code page 932", Plain("\x81\r\n[JWW]\r\nC1=5\r\n\x9F")},
  };
  for (const Case& C : Cases) EXPECT_EQ(LoadBytes(C.Bytes).Settings.ColorMap[1], 5) << C.Name;
}

TEST_F(IniFileTest, UnreadableOrOversizedFilesKeepTheDefaults) {
  std::filesystem::create_directory(Dir_ / "Lintorra.ini");
  EXPECT_EQ(LoadIni(Ini()), TIniState{});
  std::filesystem::remove(Dir_ / "Lintorra.ini");

  std::string Big = "\xEF\xBB\xBF[JWW]\r\nC1=5\r\n";
  Big.resize(kMaxSettingsTextBytes + 1, '\n');
  std::ofstream(Dir_ / "Lintorra.ini", std::ios::binary) << Big;
  TIniState Defaults;
  EXPECT_EQ(LoadIni(Ini()), Defaults);
  Big.resize(kMaxSettingsTextBytes);
  std::ofstream(Dir_ / "Lintorra.ini", std::ios::binary | std::ios::trunc) << Big;
  EXPECT_EQ(LoadIni(Ini()).Settings.ColorMap[1], 5);
}

TIniState ChangedState() {
  TIniState S;
  S.Form1Left = -8;
  S.Form1Top = 12;
  S.Form1Width = 1024;
  S.Form1Height = 768;
  S.Form3Left = 300;
  S.Form3Top = 301;
  S.Panel1Width = 250;
  S.ColumnWidths = {100, 60, 200, 90, 120, 45};
  S.preFolder = u"/home/user/図面/A=B";
  S.DestFolder = u"/home/user/出力 ";
  S.FileTypeIndex = 4;
  TConvSettings& C = S.Settings;
  C.SetFileName = u"/home/user/標準.set";
  C.ConvMode = kModeCombination;
  for (int R = 1; R <= kColorRows; ++R) {
    C.ColorMap[R] = R % 7 == 0 ? ColorOfRow(R % 265 + 1) : 0;
    C.WidthMap[R] = R % 5 == 0 ? R * 10 : -1;
  }
  for (int R = 1; R <= kLtypeRows; ++R) C.LtypeMap[R] = R % 3 == 0 ? LtypeOfRow(R) : 0;
  C.OptFlags = {0, 1, 0, 1, 1, 0, 1, 0, 1};
  C.CombRows[1] = {true, 0, 0, 3, 0, -1};
  C.CombRows[4] = {false, 264, 48, 356, 62, 30000};
  C.CombRows[10] = {true, 12, 20, 0, 2, 0};
  C.RecomputeVerRaise();
  return S;
}

TEST_F(IniFileTest, SaveWritesTheFixedLayoutAndReadsBackTheSameValues) {
  const TIniState Saved = ChangedState();
  ASSERT_TRUE(SaveIni(Ini(), Saved));
  const auto Lines = CrLfLines(testsupport::ReadFileBytes(Dir_ / "Lintorra.ini"));
  ASSERT_EQ(Lines.size(), static_cast<std::size_t>(kIniLineCount));

  std::vector<std::string> Expected = {"[Form]", "F1_X", "F1_Y", "F1_W", "F1_H", "F3_X", "F3_Y", "[Comp]", "F1P1"};
  AddKeys(Expected, "F1S", 0, 6);
  for (const char* K : {"[Set]", "FLD1", "FLD2", "FNAM", "FTYP", "CVNO"}) Expected.push_back(K);
  AddTableAndRowSections(Expected, false);
  EXPECT_EQ(KeysOf(Lines), Expected);
  EXPECT_EQ(Lines[1], "F1_X=-8");
  EXPECT_EQ(Lines[15], "F1S6=0");
  EXPECT_EQ(Lines[17], "FLD1=/home/user/図面/A=B");
  EXPECT_EQ(Lines[18], "FLD2=/home/user/出力 ");
  EXPECT_EQ(Lines[611], "FL1=1");
  EXPECT_EQ(Lines[617], "FL2=0");

  EXPECT_EQ(LoadIni(Ini()), Saved);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Lintorra.ini"});  // no temporary file left
}

TEST_F(IniFileTest, SavedDefaultsReadBackAsDefaults) {
  ASSERT_TRUE(SaveIni(Ini(), TIniState{}));
  EXPECT_EQ(LoadIni(Ini()), TIniState{});
}

TEST_F(IniFileTest, SaveReplacesAnOlderFile) {
  testsupport::WriteFileBytes(Dir_ / "Lintorra.ini", Plain(std::string(100000, 'x')));
  const TIniState Saved = ChangedState();
  ASSERT_TRUE(SaveIni(Ini(), Saved));
  EXPECT_EQ(LoadIni(Ini()), Saved);
}

// A line break inside a folder name would end the line and let the rest read
// back as keys of its own; such a value is dropped instead.
TEST_F(IniFileTest, ValuesWithLineBreaksAreNotWritten) {
  TIniState S;
  S.preFolder = u"/tmp/a\r\n[JWW]\r\nC1=101";
  S.DestFolder = u"/tmp/b\nC2=5";
  ASSERT_TRUE(SaveIni(Ini(), S));
  EXPECT_EQ(CrLfLines(testsupport::ReadFileBytes(Dir_ / "Lintorra.ini")).size(),
            static_cast<std::size_t>(kIniLineCount));
  const TIniState Read = LoadIni(Ini());
  EXPECT_EQ(Read.preFolder, u"");
  EXPECT_EQ(Read.DestFolder, u"");
  EXPECT_EQ(Read.Settings, TConvSettings{});
}

TEST_F(IniFileTest, AFailedSaveLeavesNoFile) {
  EXPECT_FALSE(SaveIni(testsupport::U16(Dir_ / "missing" / "Lintorra.ini"), TIniState{}));
  EXPECT_FALSE(std::filesystem::exists(Dir_ / "missing"));

  std::filesystem::create_directory(Dir_ / "Lintorra.ini");
  EXPECT_FALSE(SaveIni(Ini(), TIniState{}));
  EXPECT_TRUE(std::filesystem::is_directory(Dir_ / "Lintorra.ini"));
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Lintorra.ini"});
}

}  // namespace
