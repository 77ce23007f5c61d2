#include <gtest/gtest.h>

#include <climits>

#include "conversion/ConvSettings.h"

namespace {

TEST(PenRows, ColourRowsNumberTheColoursBothWays) {
  struct Case {
    int Row;
    std::int32_t Color;
  };
  const Case Cases[] = {{1, 1}, {9, 9}, {10, 101}, {25, 116}, {26, 117}, {265, 356}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Row);
    EXPECT_EQ(ColorOfRow(C.Row), C.Color);
    EXPECT_EQ(ColorRowOf(C.Color), C.Row);
  }
  for (std::int32_t NoRow : {0, 10, 100, 357, -1}) EXPECT_EQ(ColorRowOf(NoRow), 0) << NoRow;
  EXPECT_EQ(ColorOfRow(0), 0);
  EXPECT_EQ(ColorOfRow(266), 0);
}

TEST(PenRows, LineTypeRowsNumberTheLineTypesBothWays) {
  struct Case {
    int Row;
    std::int32_t Ltype;
  };
  const Case Cases[] = {{1, 1}, {9, 9}, {10, 11}, {14, 15}, {15, 16}, {18, 19}, {19, 31}, {33, 45}, {34, 47}, {49, 62}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Row);
    EXPECT_EQ(LtypeOfRow(C.Row), C.Ltype);
    EXPECT_EQ(LtypeRowOf(C.Ltype), C.Row);
  }
  for (std::int32_t NoRow : {0, 10, 20, 30, 46, 63, -1}) EXPECT_EQ(LtypeRowOf(NoRow), 0) << NoRow;
  EXPECT_EQ(LtypeOfRow(50), 0);
}

TEST(PenRows, ListPositionsGiveTheSourcePensOfTheRows) {
  struct Case {
    std::int32_t Index;
    std::int32_t Color;
    std::int32_t Ltype;
  };
  // Positions outside a list give 0, which no record can match.
  const Case Cases[] = {{0, 1, 1},     {8, 9, 9},     {9, 101, 11},    {17, 109, 19},  {18, 110, 31},
                        {32, 124, 45}, {33, 125, 47}, {48, 140, 62},   {49, 141, 0},   {264, 356, 0},
                        {265, 0, 0},   {-1, 0, 0},    {INT_MAX, 0, 0}, {INT_MIN, 0, 0}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(ColorOfListIndex(C.Index), C.Color);
    EXPECT_EQ(LtypeOfListIndex(C.Index), C.Ltype);
  }
}

TEST(PenRows, DeriveCombSourcesSetsEveryRowEnabledOrNot) {
  TConvSettings S;
  S.CombRows[1] = {.SrcColorIdx = 9, .SrcLtypeIdx = 33};
  S.CombRows[10] = {.Enabled = true, .SrcColorIdx = 264, .SrcLtypeIdx = 48};
  S.CombRows[5] = {.Enabled = true, .SrcColorIdx = 2147483647, .SrcLtypeIdx = -5};
  S.DeriveCombSources();
  EXPECT_EQ(S.CombRows[1].SrcColor, 101);
  EXPECT_EQ(S.CombRows[1].SrcLtype, 47);
  EXPECT_EQ(S.CombRows[10].SrcColor, 356);
  EXPECT_EQ(S.CombRows[10].SrcLtype, 62);
  EXPECT_EQ(S.CombRows[5].SrcColor, 0);
  EXPECT_EQ(S.CombRows[5].SrcLtype, 0);
  EXPECT_EQ(S.CombRows[2].SrcColor, 1);
  EXPECT_EQ(S.CombRows[2].SrcLtype, 1);
}

TEST(PenRows, RowNames) {
  EXPECT_EQ(ColorRowName(1), u"線色 1");
  EXPECT_EQ(ColorRowName(8), u"線色 8");
  EXPECT_EQ(ColorRowName(9), u"補助線色");
  EXPECT_EQ(ColorRowName(10), u"SXF 1:black");
  EXPECT_EQ(ColorRowName(25), u"SXF16:darkgray");
  EXPECT_EQ(ColorRowName(26), u"SXF USER定義線色 17");
  EXPECT_EQ(ColorRowName(265), u"SXF USER定義線色 256");
  EXPECT_EQ(LtypeRowName(1), u"線種1:実線");
  EXPECT_EQ(LtypeRowName(9), u"補助線種");
  EXPECT_EQ(LtypeRowName(10), u"ランダム線１");
  EXPECT_EQ(LtypeRowName(18), u"倍長線種４");
  EXPECT_EQ(LtypeRowName(19), u"SXF 1:実線");
  EXPECT_EQ(LtypeRowName(33), u"SXF15:三点二短鎖線");
  EXPECT_EQ(LtypeRowName(34), u"SXF USER定義線種 17");
  EXPECT_EQ(LtypeRowName(49), u"SXF USER定義線種 32");
  for (int Row = 1; Row <= kColorRows; ++Row) EXPECT_FALSE(ColorRowName(Row).empty()) << Row;
  for (int Row = 1; Row <= kLtypeRows; ++Row) EXPECT_FALSE(LtypeRowName(Row).empty()) << Row;
}

TEST(ConvSettings, DialogRangesOfTheThreeKindsOfValue) {
  for (std::int32_t V : {0, 1, 9, 101, 356}) EXPECT_TRUE(IsColorSetting(V)) << V;
  for (std::int32_t V : {-1, 10, 100, 357}) EXPECT_FALSE(IsColorSetting(V)) << V;
  for (std::int32_t V : {0, 9, 11, 19, 31, 46, 62}) EXPECT_TRUE(IsLtypeSetting(V)) << V;
  for (std::int32_t V : {-1, 10, 20, 30, 63}) EXPECT_FALSE(IsLtypeSetting(V)) << V;
  for (std::int32_t V : {-1, 0, 30000}) EXPECT_TRUE(IsWidthSetting(V)) << V;
  for (std::int32_t V : {-2, 30001}) EXPECT_FALSE(IsWidthSetting(V)) << V;
}

TEST(ConvSettings, SwitchesAreOnAtOneExceptWidthOverwriteAtAnythingButZero) {
  TConvSettings S;
  S.OptFlags.fill(2);
  for (int K = OptMojiTypeColor; K < OptWidthOverwrite; ++K) EXPECT_FALSE(S.IsOn(TOptSwitch(K))) << K;
  EXPECT_TRUE(S.IsOn(OptWidthOverwrite));
  S.OptFlags.fill(1);
  for (int K = OptMojiTypeColor; K <= OptWidthOverwrite; ++K) EXPECT_TRUE(S.IsOn(TOptSwitch(K))) << K;
  S.OptFlags.fill(0);
  EXPECT_FALSE(S.IsOn(OptWidthOverwrite));
}

TEST(ConvSettings, VerRaiseLevels) {
  struct Case {
    const char* Name;
    void (*Set)(TConvSettings&);
    std::int32_t Expected;
  };
  const Case Cases[] = {
      {"defaults", [](TConvSettings&) {}, 0},
      {"basic width", [](TConvSettings& S) { S.WidthMap[12] = 0; }, 0},
      {"width", [](TConvSettings& S) { S.WidthMap[12] = 50; }, 1},
      {"last width row", [](TConvSettings& S) { S.WidthMap[265] = 1; }, 1},
      {"SXF colour", [](TConvSettings& S) { S.ColorMap[12] = 101; }, 2},
      {"SXF colour and width",
       [](TConvSettings& S) {
         S.ColorMap[12] = 101;
         S.WidthMap[12] = 50;
       },
       2},
      {"colour 99", [](TConvSettings& S) { S.ColorMap[1] = 99; }, 0},
      {"colour 100", [](TConvSettings& S) { S.ColorMap[1] = 100; }, 2},
      {"line type 30", [](TConvSettings& S) { S.LtypeMap[49] = 30; }, 0},
      {"line type 31", [](TConvSettings& S) { S.LtypeMap[49] = 31; }, 2},
      {"disabled row width", [](TConvSettings& S) { S.CombRows[3].DstWidth = 40; }, 0},
      {"enabled row width", [](TConvSettings& S) { S.CombRows[3] = {.Enabled = true, .DstWidth = 40}; }, 1},
      {"disabled row colour", [](TConvSettings& S) { S.CombRows[3].DstColor = 101; }, 0},
      {"enabled row colour", [](TConvSettings& S) { S.CombRows[10] = {.Enabled = true, .DstColor = 100}; }, 2},
      {"enabled row line type", [](TConvSettings& S) { S.CombRows[1] = {.Enabled = true, .DstLtype = 31}; }, 2},
      {"enabled row basic width", [](TConvSettings& S) { S.CombRows[1] = {.Enabled = true, .DstWidth = 0}; }, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TConvSettings S;
    C.Set(S);
    S.RecomputeVerRaise();
    EXPECT_EQ(S.VerRaise, C.Expected);
  }
}

}  // namespace
