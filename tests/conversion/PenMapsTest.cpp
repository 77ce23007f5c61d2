#include <gtest/gtest.h>

#include "conversion/PenMaps.h"

namespace {

TEST(MapColor, NumbersWithoutARowBecomeOneAndTheRestStayByDefault) {
  const TConvSettings S;
  struct Case {
    std::int32_t In, Out;
  };
  const Case Cases[] = {{0, 1},     {1, 1},     {9, 9},   {10, 1}, {100, 1},
                        {101, 101}, {356, 356}, {357, 1}, {-1, 1}, {65535, 1}};
  for (const Case& C : Cases) EXPECT_EQ(MapColor(S, C.In), C.Out) << C.In;
}

TEST(MapColor, LooksUpTheRowOfTheColour) {
  TConvSettings S;
  S.ColorMap[5] = 103;
  S.ColorMap[9] = 356;
  S.ColorMap[10] = 7;   // colour 101
  S.ColorMap[265] = 2;  // colour 356
  struct Case {
    std::int32_t In, Out;
  };
  const Case Cases[] = {{5, 103}, {9, 356}, {101, 7}, {356, 2}, {4, 4}, {102, 102}};
  for (const Case& C : Cases) EXPECT_EQ(MapColor(S, C.In), C.Out) << C.In;
}

TEST(MapLtype, NumbersWithoutARowBecomeOneAndTheRestStayByDefault) {
  const TConvSettings S;
  struct Case {
    std::int32_t In, Out;
  };
  const Case Cases[] = {{0, 1},   {1, 1},   {9, 9},  {10, 1},  {11, 11}, {19, 19}, {20, 1}, {30, 1},
                        {31, 31}, {45, 45}, {46, 1}, {47, 47}, {62, 62}, {63, 1},  {255, 1}};
  for (const Case& C : Cases) EXPECT_EQ(MapLtype(S, C.In), C.Out) << C.In;
}

TEST(MapLtype, LooksUpTheRowOfTheLineType) {
  TConvSettings S;
  for (int Row = 1; Row <= kLtypeRows; ++Row) S.LtypeMap[Row] = Row <= 9 ? 10 - Row : 2;
  struct Case {
    std::int32_t In, Out;
  };
  const Case Cases[] = {{1, 9}, {9, 1}, {11, 2}, {19, 2}, {31, 2}, {45, 2}, {47, 2}, {62, 2}};
  for (const Case& C : Cases) EXPECT_EQ(MapLtype(S, C.In), C.Out) << C.In;
  S.LtypeMap[10] = 62;  // row of 11
  S.LtypeMap[33] = 11;  // row of 45
  S.LtypeMap[34] = 46;  // row of 47; the dialog accepts 46
  EXPECT_EQ(MapLtype(S, 11), 62);
  EXPECT_EQ(MapLtype(S, 45), 11);
  EXPECT_EQ(MapLtype(S, 47), 46);
}

// Values no dialog produces, from a hand-edited file, act as "keep".
TEST(MapColorAndLtype, TableValuesOutsideTheirRangesKeepThePen) {
  for (std::int32_t Bad : {-3, 10, 20, 30, 63, 100, 357, 70000}) {
    SCOPED_TRACE(Bad);
    TConvSettings S;
    S.ColorMap.fill(Bad);
    S.LtypeMap.fill(Bad);
    for (std::int32_t Color : {1, 9, 101, 356}) EXPECT_EQ(MapColor(S, Color), Color);
    for (std::int32_t Ltype : {1, 19, 31, 62}) EXPECT_EQ(MapLtype(S, Ltype), Ltype);
  }
}

TEST(MapWidth, Cases) {
  struct Case {
    const char* Name;
    std::int32_t Overwrite, Entry;  // OptWidthOverwrite, WidthMap[2]
    std::int32_t Color, Width, Out;
  };
  const Case Cases[] = {
      {"defaults keep", 0, -1, 2, 0, 0},
      {"defaults keep a set width", 0, -1, 2, 35, 35},
      {"unset width gets the entry", 0, 50, 2, 0, 50},
      {"set width stays", 0, 25, 2, 35, 35},
      {"overwrite replaces", 1, 25, 2, 35, 25},
      {"overwrite keeps with -1", 1, -1, 2, 35, 35},
      {"overwrite at any non-zero value", -7, 25, 2, 35, 25},
      {"entry 0 is the basic width", 1, 0, 2, 35, 0},
      {"entry 30000", 0, 30000, 2, 0, 30000},
      {"width 30000 stays", 0, 50, 2, 30000, 30000},
      {"width above 30000 becomes 0", 0, 50, 2, 40000, 0},
      {"width above 30000 replaced when overwriting", 1, 50, 2, 40000, 50},
      {"width above 30000, overwrite and keep", 1, -1, 2, 40000, 0},
      {"negative width becomes 0 or the entry", 0, 60, 2, -5, 60},
      {"other colour's entry", 0, 50, 3, 0, 0},
      {"colour without a row", 1, 50, 10, 35, 35},
      {"colour without a row, bad width", 1, 50, 0, 40000, 0},
      {"entry above 30000 keeps", 1, 30001, 2, 35, 35},
      {"entry above 30000 keeps the clamp", 0, 30001, 2, 40000, 0},
      {"entry below -1 keeps", 0, -2, 2, 0, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TConvSettings S;
    S.OptFlags[OptWidthOverwrite] = C.Overwrite;
    S.WidthMap[2] = C.Entry;
    EXPECT_EQ(MapWidth(S, C.Color, C.Width), C.Out);
  }
}

TEST(MapWidth, LooksUpSxfColoursByTheirRow) {
  TConvSettings S;
  S.WidthMap[10] = 13;   // colour 101
  S.WidthMap[265] = 18;  // colour 356
  EXPECT_EQ(MapWidth(S, 101, 0), 13);
  EXPECT_EQ(MapWidth(S, 356, 0), 18);
  EXPECT_EQ(MapWidth(S, 100, 0), 0);
}

// The width is looked up with the colour before the colour changes.
TEST(MapWidth, UsesTheColourBeforeConversion) {
  TConvSettings S;
  S.ColorMap[2] = 3;
  S.WidthMap[2] = 50;
  S.WidthMap[3] = 70;
  const std::int32_t Color = 2;
  const std::int32_t Width = MapWidth(S, Color, 0);
  EXPECT_EQ(Width, 50);
  EXPECT_EQ(MapColor(S, Color), 3);
}

TCombRow Row(std::int32_t ColorIdx, std::int32_t LtypeIdx, std::int32_t DstColor, std::int32_t DstLtype,
             std::int32_t DstWidth, bool Enabled = true) {
  return {.Enabled = Enabled,
          .SrcColorIdx = ColorIdx,
          .SrcLtypeIdx = LtypeIdx,
          .DstColor = DstColor,
          .DstLtype = DstLtype,
          .DstWidth = DstWidth};
}

TPen Combine(TConvSettings S, std::int32_t Color, std::int32_t Ltype, std::int32_t Width) {
  S.DeriveCombSources();
  return MapCombination(S, Color, Ltype, Width);
}

TEST(MapCombination, ARowChangesOnlyRecordsOfItsColourAndLineType) {
  TConvSettings S;
  S.CombRows[1] = Row(0, 0, 3, 0, -1);
  EXPECT_EQ(Combine(S, 1, 1, 25), (TPen{3, 1, 25}));
  EXPECT_EQ(Combine(S, 1, 2, 25), (TPen{1, 2, 25}));
  EXPECT_EQ(Combine(S, 2, 1, 25), (TPen{2, 1, 25}));
  S.CombRows[1].Enabled = false;
  EXPECT_EQ(Combine(S, 1, 1, 25), (TPen{1, 1, 25}));
}

TEST(MapCombination, SourcesAtTheEndsOfTheLists) {
  TConvSettings S;
  S.CombRows[4] = Row(264, 48, 5, 2, 10);
  S.CombRows[6] = Row(9, 18, 6, 3, 11);
  EXPECT_EQ(Combine(S, 356, 62, 0), (TPen{5, 2, 10}));
  EXPECT_EQ(Combine(S, 101, 31, 0), (TPen{6, 3, 11}));
}

TEST(MapCombination, RowsWithTheSameSourceStack) {
  TConvSettings S;
  S.CombRows[2] = Row(4, 0, 5, 0, -1);
  S.CombRows[7] = Row(4, 0, 0, 2, 30);
  EXPECT_EQ(Combine(S, 5, 1, 0), (TPen{5, 2, 30}));
  S.CombRows[7].DstColor = 6;
  EXPECT_EQ(Combine(S, 5, 1, 0), (TPen{6, 2, 30}));
}

TEST(MapCombination, RowsCompareWithTheOriginalValuesNeverAResult) {
  TConvSettings S;
  S.CombRows[1] = Row(0, 0, 2, 0, -1);  // 1/1 -> colour 2
  S.CombRows[2] = Row(1, 0, 3, 0, -1);  // 2/1 -> colour 3
  EXPECT_EQ(Combine(S, 1, 1, 0), (TPen{2, 1, 0}));
  EXPECT_EQ(Combine(S, 2, 1, 0), (TPen{3, 1, 0}));
}

TEST(MapCombination, MatchingRecordsGetValidPens) {
  TConvSettings S;
  S.CombRows[1] = Row(0, 0, 0, 46, -1);
  EXPECT_EQ(Combine(S, 1, 1, 40000), (TPen{1, 1, 0}));
  S.CombRows[1] = Row(0, 0, 0, 0, 30000);
  EXPECT_EQ(Combine(S, 1, 1, 40000), (TPen{1, 1, 30000}));
  // A record no row matches keeps even numbers outside the numbering.
  EXPECT_EQ(Combine(S, 357, 46, 40000), (TPen{357, 46, 40000}));
  EXPECT_EQ(Combine(S, 0, 0, 40000), (TPen{0, 0, 40000}));
}

TEST(MapCombination, DestinationsOutsideTheirRangesKeep) {
  struct Case {
    std::int32_t DstColor, DstLtype, DstWidth;
  };
  const Case Cases[] = {{10, 0, -1}, {500, 0, -1},  {-4, 0, -1}, {0, 10, -1},     {0, 63, -1},
                        {0, -2, -1}, {0, 0, 30001}, {0, 0, -2},  {357, 20, 99999}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.DstColor << " " << C.DstLtype << " " << C.DstWidth);
    TConvSettings S;
    S.CombRows[1] = Row(1, 1, 4, 3, 20);  // 2/2 -> 4/3/20
    S.CombRows[2] = Row(1, 1, C.DstColor, C.DstLtype, C.DstWidth);
    EXPECT_EQ(Combine(S, 2, 2, 0), (TPen{4, 3, 20}));
  }
}

TEST(MapCombination, SourcesOutsideTheListsMatchNothing) {
  struct Case {
    std::int32_t ColorIdx, LtypeIdx, Color, Ltype;
  };
  // Each record carries the number the unchecked formula would derive.
  const Case Cases[] = {{265, 0, 357, 1}, {-1, 0, 0, 1}, {0, 49, 1, 63}, {0, -1, 1, 0}, {2147483647, 0, 0, 1}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.ColorIdx << " " << C.LtypeIdx);
    TConvSettings S;
    S.CombRows[1] = Row(C.ColorIdx, C.LtypeIdx, 5, 5, 5);
    EXPECT_EQ(Combine(S, C.Color, C.Ltype, 7), (TPen{C.Color, C.Ltype, 7}));
    EXPECT_EQ(Combine(S, 0, 0, 7), (TPen{0, 0, 7}));
  }
}

// The tables a conversion walks documents with give what the maps give, for
// every number a record's fields can hold, with valid and invalid table
// values and with and without the width overwrite.
TEST(PenTables, GiveWhatTheMapsGiveForEveryStoredNumber) {
  TConvSettings Mapped;
  for (int Row = 1; Row <= kColorRows; ++Row) {
    Mapped.ColorMap[Row] = Row % 3 == 0 ? ColorOfRow(kColorRows + 1 - Row) : Row % 3 == 1 ? 0 : 500;
    Mapped.WidthMap[Row] = Row % 4 == 0 ? -1 : Row % 4 == 1 ? 40000 : Row * 7;
  }
  for (int Row = 1; Row <= kLtypeRows; ++Row) Mapped.LtypeMap[Row] = Row % 3 == 0 ? 46 : Row % 3 == 1 ? 70 : 62;
  TConvSettings Overwriting = Mapped;
  Overwriting.OptFlags[OptWidthOverwrite] = 1;
  TConvSettings Default;
  for (const TConvSettings* S : {&Mapped, &Overwriting, &Default}) {
    const TPenTables M(*S);
    for (std::int32_t N = 0; N <= 0xFFFF; ++N) {
      ASSERT_EQ(M.Color(N), MapColor(*S, N)) << N;
      ASSERT_EQ(M.Ltype(N), MapLtype(*S, N)) << N;
      for (const std::int32_t Width : {0, 1, 30000, 30001, 0xFFFF})
        ASSERT_EQ(M.Width(N, Width), MapWidth(*S, N, Width)) << N;
    }
  }
}

}  // namespace
