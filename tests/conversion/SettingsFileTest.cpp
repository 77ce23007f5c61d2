#include <gtest/gtest.h>

#include "conversion/IniFile.h"
#include "conversion/SettingsDialogModel.h"
#include "conversion/SettingsFile.h"
#include "conversion/SettingsFixtures.h"
#include "support/Func_2.h"

namespace {

using namespace settingsfixtures;
using testsupport::TempDir;

class SettingsFileTest : public testing::Test {
 protected:
  TempDir Dir_;
  std::u16string Path(const std::string& Name) const { return testsupport::U16(Dir_ / Name); }
  std::u16string Write(const std::string& Name, std::string_view Utf8Text) {
    testsupport::WriteFileBytes(Dir_ / Name, Utf8Bom(Utf8Text));
    return Path(Name);
  }
  TConvSettings ReadAsIni(std::string_view Text) { return LoadIni(Write("a.ini", Text)).Settings; }
  TConvSettings ReadAsSettingsFile(std::string_view Text) {
    TConvSettings S;
    EXPECT_TRUE(ReadSettingsFile(Write("a.set", Text), S));
    return S;
  }
};

TEST_F(SettingsFileTest, KeysThatOnlyOneOfTheTwoReadersTakes) {
  using TField = std::int32_t (*)(const TConvSettings&);
  const TField Color1 = [](const TConvSettings& S) { return S.ColorMap[1]; };
  const TField Switch1 = [](const TConvSettings& S) { return S.OptFlags[1]; };
  const TField Row1On = [](const TConvSettings& S) { return std::int32_t{S.CombRows[1].Enabled}; };
  const TField Row1Color = [](const TConvSettings& S) { return S.CombRows[1].SrcColorIdx; };
  const TField Row1Ltype = [](const TConvSettings& S) { return S.CombRows[1].SrcLtypeIdx; };
  struct Case {
    const char* Text;
    TField Field;
    std::int32_t Ini, SetFile;
  };
  const Case Cases[] = {
      {"[JWW]\nC1=5", Color1, 5, 5},
      {"[JWW]\nC01=5", Color1, 0, 5},
      {"[JWW]\nC+1=5", Color1, 0, 5},
      {"C1=5", Color1, 0, 5},  // before any header: [Form] / [JWW]
      {"[Set]\nC1=5", Color1, 0, 0},
      {"[JWW]\n[Form]\nC1=5", Color1, 0, 5},  // [Form] is no header of a settings file
      {"[JWW]\n[Comp]\nC1=5", Color1, 0, 5},
      {"[JWW]\nC315=1", Switch1, 1, 1},
      {"[JWW]\nC315=2", Switch1, 2, 0},
      {"[JWW]\nC315=-1", Switch1, -1, 0},
      {"[JWW]\nC0315=1", Switch1, 0, 1},
      {"[Set]\nCVNO=1", [](const TConvSettings& S) { return S.ConvMode; }, 1, 1},
      {"[Set]\nCVNO=5", [](const TConvSettings& S) { return S.ConvMode; }, 5, 0},
      {"[Set]\nCVNO=-1", [](const TConvSettings& S) { return S.ConvMode; }, -1, 0},
      {"[JWW1]\nFL1=1", Row1On, 1, 1},
      {"[JWW1]\nFL1=true", Row1On, 1, 0},
      {"[JWW1]\nFL1=on", Row1On, 1, 0},
      {"[JWW1]\nFL1=○", Row1On, 1, 0},
      {"[JWW1]\nFL1=01", Row1On, 0, 1},
      {"[JWW1]\nFL01=1", Row1On, 0, 1},
      {"[JWW1]\nFL11=1", Row1On, 0, 0},
      {"[JWW1]\nCN1=264", Row1Color, 264, 264},
      {"[JWW1]\nCN01=4", Row1Color, 0, 4},
      {"[JWW1]\nCN1=265", Row1Color, 265, 0},
      {"[JWW1]\nCN1=-1", Row1Color, -1, 0},
      {"[JWW1]\nCN1=7\nCN1=999", Row1Color, 999, 7},  // an index off the list is ignored
      {"[JWW1]\nLN1=48", Row1Ltype, 48, 48},
      {"[JWW1]\nLN1=49", Row1Ltype, 49, 0},
      {"[JWW1]\nCL1=500", [](const TConvSettings& S) { return S.CombRows[1].DstColor; }, 500, 500},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(C.Field(ReadAsIni(C.Text)), C.Ini);
    EXPECT_EQ(C.Field(ReadAsSettingsFile(C.Text)), C.SetFile);
  }
}

TEST_F(SettingsFileTest, TheWindowKeysAreNotRead) {
  TConvSettings S;
  S.SetFileName = u"/keep.set";
  EXPECT_TRUE(ReadSettingsFile(Write("a.set", "[Set]\nFNAM=/other.set\nFLD1=/x\n"), S));
  EXPECT_EQ(S.SetFileName, u"/keep.set");
}

TSettingsDialogModel ChangedModel() {
  TSettingsDialogModel M;
  for (int R = 1; R <= kColorRows; ++R) {
    M.ColorCells[R] = IntToText(R % 4 == 0 ? ColorOfRow(R) : 0);
    M.WidthCells[R] = IntToText(R % 6 == 0 ? R : -1);
  }
  for (int R = 1; R <= kLtypeRows; ++R) M.LtypeCells[R] = IntToText(R % 2 == 0 ? LtypeOfRow(R) : 0);
  M.Checks = {false, true, false, false, true, true, false, false, true};
  M.Page = kCombinationPage;
  M.Rows[1] = {true, 264, 48, {u"356", u"62", u"30000"}};
  M.Rows[5] = {false, 9, 18, {u"101", u"46", u"0"}};
  M.Rows[10] = {true, 0, 0, {u"0", u"0", u"-1"}};
  return M;
}

TEST_F(SettingsFileTest, SaveWritesTheFixedLayoutAndOpensToTheSameControls) {
  const TSettingsDialogModel Saved = ChangedModel();
  ASSERT_TRUE(Saved.SaveFile(Path("a.set")));
  const auto Lines = CrLfLines(testsupport::ReadFileBytes(Dir_ / "a.set"));
  ASSERT_EQ(Lines.size(), static_cast<std::size_t>(kSettingsFileLineCount));
  std::vector<std::string> Expected;
  AddTableAndRowSections(Expected, true);
  EXPECT_EQ(KeysOf(Lines), Expected);
  EXPECT_EQ(Lines[315], "C315=1");
  EXPECT_EQ(Lines[316], "C316=0");
  EXPECT_EQ(Lines[589], "CVNO=1");
  EXPECT_EQ(Lines[591], "FL1=1");

  TSettingsDialogModel Opened;
  ASSERT_EQ(Opened.OpenFile(Path("a.set")), TOpenResult::Opened);
  EXPECT_EQ(Opened, Saved);
}

TEST_F(SettingsFileTest, OpenStartsFromTheResetControlsAndKeepsThePage) {
  TSettingsDialogModel M = ChangedModel();
  ASSERT_EQ(M.OpenFile(Write("a.set", "[JWW]\nC1=$1F\nC2= 7\nW1=abc\nW2=-5\nC315=1\n")), TOpenResult::Opened);
  TSettingsDialogModel Expected;
  Expected.Page = kCombinationPage;
  Expected.ColorCells[1] = u"31";  // cells get the value in decimal
  Expected.ColorCells[2] = u"7";
  Expected.WidthCells[1] = u"0";
  Expected.WidthCells[2] = u"-5";  // not checked before OK or save
  Expected.Checks[1] = true;
  EXPECT_EQ(M, Expected);

  ASSERT_EQ(M.OpenFile(Write("b.set", "[Set]\nCVNO=0\n")), TOpenResult::Opened);
  EXPECT_EQ(M.Page, kIndividualPage);
  ASSERT_EQ(M.OpenFile(Write("c.set", "[Set]\nCVNO=7\n")), TOpenResult::Opened);
  EXPECT_EQ(M.Page, kIndividualPage);
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadLeavesTheResetControls) {
  TSettingsDialogModel M = ChangedModel();
  EXPECT_EQ(M.OpenFile(Path("missing.set")), TOpenResult::Unreadable);
  TSettingsDialogModel Expected;
  Expected.Page = kCombinationPage;
  EXPECT_EQ(M, Expected);
}

TEST_F(SettingsFileTest, AFailedSaveIsReported) {
  EXPECT_FALSE(ChangedModel().SaveFile(testsupport::U16(Dir_ / "missing" / "a.set")));
  EXPECT_FALSE(std::filesystem::exists(Dir_ / "missing"));
}

}  // namespace
