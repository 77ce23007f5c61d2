#include <gtest/gtest.h>

#include "conversion/SettingsDialogModel.h"

namespace {

TEST(SettingsDialogModel, FillShowsTheSettings) {
  TConvSettings S;
  S.ColorMap[1] = 105;
  S.WidthMap[265] = 30;
  S.LtypeMap[49] = 62;
  S.OptFlags[OptSolidColor] = 2;  // ticked: any value but 0
  S.OptFlags[OptWidthOverwrite] = 1;
  S.ConvMode = kModeCombination;
  S.CombRows[3] = {true, 264, 48, 7, 46, 30000};
  S.CombRows[4] = {false, 265, -1, 0, 0, -1};  // positions the lists cannot show
  TSettingsDialogModel M;
  M.FillFrom(S);
  EXPECT_EQ(M.ColorCells[1], u"105");
  EXPECT_EQ(M.ColorCells[2], u"0");
  EXPECT_EQ(M.WidthCells[265], u"30");
  EXPECT_EQ(M.WidthCells[1], u"-1");
  EXPECT_EQ(M.LtypeCells[49], u"62");
  EXPECT_EQ(M.Checks, (std::array<bool, 9>{false, false, false, true, false, false, false, false, true}));
  EXPECT_EQ(M.Page, kCombinationPage);
  EXPECT_EQ(M.Rows[3], (TCombRowModel{true, 264, 48, {u"7", u"46", u"30000"}}));
  EXPECT_EQ(M.Rows[4], (TCombRowModel{false, 0, 0, {u"0", u"0", u"-1"}}));

  S.ConvMode = 5;
  M.FillFrom(S);
  EXPECT_EQ(M.Page, kIndividualPage);
}

TEST(SettingsDialogModel, ResetKeepsOnlyThePage) {
  TConvSettings S;
  S.ColorMap[7] = 3;
  S.OptFlags[1] = 1;
  S.ConvMode = kModeCombination;
  S.CombRows[1] = {true, 2, 3, 4, 5, 6};
  TSettingsDialogModel M;
  M.FillFrom(S);
  M.Reset();
  TSettingsDialogModel Expected;
  Expected.Page = kCombinationPage;
  EXPECT_EQ(M, Expected);
  EXPECT_EQ(Expected.ColorCells[1], u"0");
  EXPECT_EQ(Expected.WidthCells[1], u"-1");
  EXPECT_EQ(Expected.LtypeCells[1], u"0");
}

TEST(SettingsDialogModel, CheckInputFindsTheFirstFaultInOrder) {
  using TEdit = void (*)(TSettingsDialogModel&);
  struct Case {
    const char* Name;
    TEdit Edit;
    std::optional<TInputFault> Fault;
  };
  const Case Cases[] = {
      {"all valid", [](TSettingsDialogModel&) {}, std::nullopt},
      {"colour 10", [](TSettingsDialogModel& M) { M.ColorCells[3] = u"10"; },
       TInputFault{TInputFault::ColorGrid, 3, 1}},
      {"colour 357 in the last row", [](TSettingsDialogModel& M) { M.ColorCells[265] = u"357"; },
       TInputFault{TInputFault::ColorGrid, 265, 1}},
      {"colour before width of a row",
       [](TSettingsDialogModel& M) {
         M.ColorCells[3] = u"100";
         M.WidthCells[3] = u"-2";
       },
       TInputFault{TInputFault::ColorGrid, 3, 1}},
      {"width before the next row",
       [](TSettingsDialogModel& M) {
         M.WidthCells[3] = u"30001";
         M.ColorCells[4] = u"10";
       },
       TInputFault{TInputFault::ColorGrid, 3, 2}},
      {"colour grid before line types",
       [](TSettingsDialogModel& M) {
         M.LtypeCells[1] = u"10";
         M.WidthCells[200] = u"-2";
       },
       TInputFault{TInputFault::ColorGrid, 200, 2}},
      {"line type 20", [](TSettingsDialogModel& M) { M.LtypeCells[5] = u"20"; },
       TInputFault{TInputFault::LtypeGrid, 5, 1}},
      {"line types before rows",
       [](TSettingsDialogModel& M) {
         M.LtypeCells[49] = u"63";
         M.Rows[1].Edits[0] = u"10";
       },
       TInputFault{TInputFault::LtypeGrid, 49, 1}},
      {"row colour", [](TSettingsDialogModel& M) { M.Rows[2].Edits[0] = u"100"; },
       TInputFault{TInputFault::CombRow, 2, 1}},
      {"row line type", [](TSettingsDialogModel& M) { M.Rows[2].Edits[1] = u"10"; },
       TInputFault{TInputFault::CombRow, 2, 2}},
      {"unticked row width", [](TSettingsDialogModel& M) { M.Rows[10].Edits[2] = u"-2"; },
       TInputFault{TInputFault::CombRow, 10, 3}},
      {"earlier row first",
       [](TSettingsDialogModel& M) {
         M.Rows[3].Edits[0] = u"10";
         M.Rows[4].Edits[0] = u"10";
       },
       TInputFault{TInputFault::CombRow, 3, 1}},
      {"edits in order",
       [](TSettingsDialogModel& M) {
         M.Rows[3].Edits = {u"0", u"20", u"-5"};
       },
       TInputFault{TInputFault::CombRow, 3, 2}},
      {"edges of the ranges",
       [](TSettingsDialogModel& M) {
         M.ColorCells[1] = u"9";
         M.ColorCells[2] = u"101";
         M.ColorCells[3] = u"356";
         M.WidthCells[1] = u"30000";
         M.LtypeCells[1] = u"11";
         M.LtypeCells[2] = u"19";
         M.LtypeCells[3] = u"31";
         M.LtypeCells[4] = u"46";
         M.LtypeCells[5] = u"62";
         M.Rows[1].Edits = {u"356", u"62", u"30000"};
       },
       std::nullopt},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSettingsDialogModel M;
    C.Edit(M);
    EXPECT_EQ(M.CheckInput(), C.Fault);
  }
}

TEST(SettingsDialogModel, CheckInputRewritesTheValidCellsBeforeTheFault) {
  TSettingsDialogModel M;
  M.ColorCells[1] = u"";
  M.WidthCells[1] = u"";
  M.ColorCells[2] = u" 5";
  M.WidthCells[2] = u"abc";
  M.ColorCells[4] = u"10";
  M.ColorCells[5] = u"";
  M.Rows[1].Edits[2] = u"abc";
  EXPECT_EQ(M.CheckInput(), (TInputFault{TInputFault::ColorGrid, 4, 1}));
  EXPECT_EQ(M.ColorCells[1], u"0");
  EXPECT_EQ(M.WidthCells[1], u"0");  // the basic width, not "keep"
  EXPECT_EQ(M.ColorCells[2], u"5");
  EXPECT_EQ(M.WidthCells[2], u"0");
  EXPECT_EQ(M.ColorCells[5], u"");  // after the fault: untouched

  M.ColorCells[4] = u"0x65";
  M.LtypeCells[1] = u"046";
  EXPECT_EQ(M.CheckInput(), std::nullopt);
  EXPECT_EQ(M.ColorCells[4], u"101");
  EXPECT_EQ(M.ColorCells[5], u"0");
  EXPECT_EQ(M.LtypeCells[1], u"46");
  EXPECT_EQ(M.Rows[1].Edits[2], u"abc");  // row edits stay as typed
}

TEST(SettingsDialogModel, FaultsNameTheirPage) {
  EXPECT_EQ((TInputFault{TInputFault::ColorGrid, 1, 2}).Page(), kIndividualPage);
  EXPECT_EQ((TInputFault{TInputFault::LtypeGrid, 1, 1}).Page(), kIndividualPage);
  EXPECT_EQ((TInputFault{TInputFault::CombRow, 1, 1}).Page(), kCombinationPage);
}

TEST(SettingsDialogModel, RangeSettingAcceptsOnlyItsColumnsValues) {
  struct Case {
    TRangeColumn Column;
    const char16_t* Text;
    bool Accepted;
    const char16_t* Shown;
  };
  const Case Cases[] = {
      {TRangeColumn::Color, u"105", true, u"105"},     {TRangeColumn::Color, u"10", false, u"10"},
      {TRangeColumn::Color, u"0", true, u"0"},         {TRangeColumn::Color, u"9", true, u"9"},
      {TRangeColumn::Color, u"100", false, u"100"},    {TRangeColumn::Color, u"101", true, u"101"},
      {TRangeColumn::Color, u"356", true, u"356"},     {TRangeColumn::Color, u"357", false, u"357"},
      {TRangeColumn::Color, u"abc", true, u"0"},       {TRangeColumn::Color, u" 7", true, u"7"},
      {TRangeColumn::Width, u"-1", true, u"-1"},       {TRangeColumn::Width, u"-2", false, u"-2"},
      {TRangeColumn::Width, u"30000", true, u"30000"}, {TRangeColumn::Width, u"30001", false, u"30001"},
      {TRangeColumn::Ltype, u"46", true, u"46"},       {TRangeColumn::Ltype, u"10", false, u"10"},
      {TRangeColumn::Ltype, u"20", false, u"20"},      {TRangeColumn::Ltype, u"19", true, u"19"},
      {TRangeColumn::Ltype, u"62", true, u"62"},       {TRangeColumn::Ltype, u"63", false, u"63"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << int(C.Column) << " " << testing::PrintToString(std::u16string(C.Text)));
    TSettingsDialogModel M;
    const TSettingsDialogModel Before = M;
    std::u16string Edit = C.Text;
    EXPECT_EQ(M.SetRange(C.Column, Edit, 3, 7), C.Accepted);
    EXPECT_EQ(Edit, C.Shown);
    if (!C.Accepted) {
      EXPECT_EQ(M, Before);
    }
  }
}

TEST(SettingsDialogModel, RangeSettingFillsTheSelectedRowsOfOneColumn) {
  TSettingsDialogModel M;
  std::u16string Edit = u"105";
  ASSERT_TRUE(M.SetRange(TRangeColumn::Color, Edit, 3, 7));
  for (int R = 1; R <= kColorRows; ++R) {
    EXPECT_EQ(M.ColorCells[R], R >= 3 && R <= 7 ? u"105" : u"0") << R;
    EXPECT_EQ(M.WidthCells[R], u"-1") << R;
  }
  Edit = u"25";
  ASSERT_TRUE(M.SetRange(TRangeColumn::Width, Edit, 9, 8));  // bounds in either order
  EXPECT_EQ(M.WidthCells[8], u"25");
  EXPECT_EQ(M.WidthCells[9], u"25");
  EXPECT_EQ(M.WidthCells[10], u"-1");
  Edit = u"2";
  ASSERT_TRUE(M.SetRange(TRangeColumn::Ltype, Edit, 0, 1000));  // limited to the grid
  for (int R = 1; R <= kLtypeRows; ++R) EXPECT_EQ(M.LtypeCells[R], u"2") << R;
  EXPECT_EQ(M.LtypeCells[0], u"");
}

TEST(SettingsDialogModel, OkWritesTheControlsBackAndNamesTheVersionNote) {
  TConvSettings S;
  S.SetFileName = u"/sets/a.set";
  TSettingsDialogModel M;
  M.FillFrom(S);
  M.WidthCells[4] = u"";  // reads as the basic width
  M.LtypeCells[2] = u"3";
  M.Checks[OptWidthOverwrite] = true;
  M.Page = kCombinationPage;  // even with no row ticked
  M.Rows[2] = {false, 5, 6, {u"7", u"8", u"abc"}};
  const TOkOutcome Ok = M.Accept(S);
  EXPECT_EQ(Ok.Fault, std::nullopt);
  EXPECT_EQ(Ok.Notice, u"");
  EXPECT_EQ(S.WidthMap[4], 0);
  EXPECT_EQ(S.LtypeMap[2], 3);
  EXPECT_EQ(S.OptFlags[OptWidthOverwrite], 1);
  EXPECT_EQ(S.OptFlags[OptMojiTypeColor], 0);
  EXPECT_EQ(S.ConvMode, kModeCombination);
  EXPECT_EQ(S.CombRows[2], (TCombRow{false, 5, 6, 7, 8, 0}));
  EXPECT_EQ(S.SetFileName, u"/sets/a.set");

  M.WidthCells[4] = u"50";
  M.Page = kIndividualPage;
  EXPECT_EQ(M.Accept(S).Notice, kNoticeVer351);
  EXPECT_EQ(S.VerRaise, 1);
  EXPECT_EQ(S.ConvMode, kModeIndividual);
  EXPECT_EQ(M.Accept(S).Notice, kNoticeVer351);  // at every OK
  M.Rows[2].Checked = true;
  M.Rows[2].Edits[0] = u"101";
  EXPECT_EQ(M.Accept(S).Notice, kNoticeVer420);
  EXPECT_EQ(S.VerRaise, 2);
}

TEST(SettingsDialogModel, OkWithAFaultChangesNothing) {
  TConvSettings S;
  S.ColorMap[1] = 5;
  const TConvSettings Before = S;
  TSettingsDialogModel M;
  M.FillFrom(S);
  M.ColorCells[1] = u"7";
  M.Rows[6].Edits[1] = u"99";
  const TOkOutcome Ok = M.Accept(S);
  EXPECT_EQ(Ok.Fault, (TInputFault{TInputFault::CombRow, 6, 2}));
  EXPECT_EQ(S, Before);
}

}  // namespace
