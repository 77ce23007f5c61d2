#include <gtest/gtest.h>

#include "conversion/SettingsDialogModel.h"

#include <functional>

#include "common/TestSupport.h"
#include "conversion/SettingsFile.h"

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
  M.WidthCells[2] = u"５０";
  M.ColorCells[4] = u"10";
  M.ColorCells[5] = u"";
  M.Rows[1].Edits[2] = u"－１";
  EXPECT_EQ(M.CheckInput(), (TInputFault{TInputFault::ColorGrid, 4, 1}));
  EXPECT_EQ(M.ColorCells[1], u"0");
  EXPECT_EQ(M.WidthCells[1], u"0");  // the basic width, not "keep"
  EXPECT_EQ(M.ColorCells[2], u"5");
  EXPECT_EQ(M.WidthCells[2], u"50");
  EXPECT_EQ(M.ColorCells[5], u"");  // after the fault: untouched

  M.ColorCells[4] = u"0x65";
  M.LtypeCells[1] = u"046";
  EXPECT_EQ(M.CheckInput(), std::nullopt);
  EXPECT_EQ(M.ColorCells[4], u"101");
  EXPECT_EQ(M.ColorCells[5], u"0");
  EXPECT_EQ(M.LtypeCells[1], u"46");
  EXPECT_EQ(M.Rows[1].Edits[2], u"－１");  // row edits stay as typed
}

TEST(SettingsDialogModel, ReadTypedNumberTakesFullWidthFormsAndRefusesText) {
  struct Case {
    std::u16string Text;
    std::optional<std::int32_t> Value;
  };
  const Case Cases[] = {
      {u"50", 50},
      {u"５０", 50},
      {u"－１", -1},
      {u"＋５", 5},
      {u"−1", -1},  // the minus sign
      {u"-１", -1},
      {u" ５０　", 50},  // blanks around, ideographic ones too
      {u"", 0},
      {u"　 ", 0},
      {u"046", 46},
      {u"0x65", 101},
      {u"０ｘ６５", 101},
      {u"abc", std::nullopt},
      {u"５a", std::nullopt},
      {u"1 2", std::nullopt},
      {u"3.5", std::nullopt},
      {u"-", std::nullopt},
      {u"2147483648", std::nullopt},
      {u"一", std::nullopt},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.Text));
    EXPECT_EQ(ReadTypedNumber(C.Text), C.Value);
  }
}

// Typed inputs against the value OK takes, or the fault and its message line.
TEST(SettingsDialogModel, TypedInputsAreTakenOrNamedInTheMessage) {
  using TType = std::function<void(TSettingsDialogModel&)>;
  using TTaken = std::function<std::int32_t(const TConvSettings&)>;
  const TTaken Width3 = [](const TConvSettings& S) { return S.WidthMap[3]; };
  struct Case {
    const char* Name;
    TType Type;
    TTaken Taken;
    std::int32_t Value;
    std::u16string Message;  // empty when accepted
  };
  const auto Width = [](std::u16string T) { return [T](TSettingsDialogModel& M) { M.WidthCells[3] = T; }; };
  const Case Cases[] = {
      {"full-width width", Width(u"５０"), Width3, 50, u""},
      {"full-width minus", Width(u"－１"), Width3, -1, u""},
      {"empty width is the basic width", Width(u""), Width3, 0, u""},
      {"letters", Width(u"abc"), Width3, 0, u"線色・線幅設定 3行目 線幅: -1～30000 の整数を入力して下さい"},
      {"out of range", Width(u"30001"), Width3, 0, u"線色・線幅設定 3行目 線幅: -1～30000 の整数を入力して下さい"},
      {"full-width colour", [](TSettingsDialogModel& M) { M.ColorCells[7] = u"１０５"; },
       [](const TConvSettings& S) { return S.ColorMap[7]; }, 105, u""},
      {"colour out of range", [](TSettingsDialogModel& M) { M.ColorCells[7] = u"10"; }, nullptr, 0,
       u"線色・線幅設定 7行目 変換後線色番号: 0～9、101～356 の整数を入力して下さい"},
      {"line type", [](TSettingsDialogModel& M) { M.LtypeCells[5] = u"２０"; }, nullptr, 0,
       u"線種設定 5行目 変換後線種番号: 0～9、11～19、31～62 の整数を入力して下さい"},
      {"row width", [](TSettingsDialogModel& M) { M.Rows[4].Edits[2] = u"－２"; }, nullptr, 0,
       u"組合せ変換 4行目 変換先線幅: -1～30000 の整数を入力して下さい"},
      {"row line type text", [](TSettingsDialogModel& M) { M.Rows[10].Edits[1] = u"実線"; }, nullptr, 0,
       u"組合せ変換 10行目 変換先線種番号: 0～9、11～19、31～62 の整数を入力して下さい"},
      {"row colour", [](TSettingsDialogModel& M) { M.Rows[4].Edits[0] = u"１０１"; },
       [](const TConvSettings& S) { return S.CombRows[4].DstColor; }, 101, u""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSettingsDialogModel M;
    C.Type(M);
    TConvSettings S;
    const TOkOutcome Ok = M.Accept(S);
    if (C.Message.empty()) {
      ASSERT_EQ(Ok.Fault, std::nullopt);
      EXPECT_EQ(C.Taken(S), C.Value);
    } else {
      ASSERT_TRUE(Ok.Fault);
      EXPECT_EQ(Ok.Fault->Message(), C.Message);
      EXPECT_EQ(S, TConvSettings{});
    }
  }
}

TEST(SettingsDialogModel, RangeEditFaultsNameTheField) {
  const std::pair<TRangeColumn, std::u16string> Cases[] = {
      {TRangeColumn::Color, u"範囲選択した線色: 0～9、101～356 の整数を入力して下さい"},
      {TRangeColumn::Width, u"範囲選択した線幅: -1～30000 の整数を入力して下さい"},
      {TRangeColumn::Ltype, u"範囲選択した線種: 0～9、11～19、31～62 の整数を入力して下さい"},
  };
  for (const auto& [Column, Message] : Cases) {
    TSettingsDialogModel M;
    std::u16string Edit = u"ｘ";
    const std::optional<TInputFault> Fault = M.SetRange(Column, Edit, 1, 1);
    ASSERT_TRUE(Fault);
    EXPECT_EQ(Fault->Message(), Message);
  }
}

// A file with no settings section is refused and changes nothing; one that
// cannot be read leaves the reset state.
TEST(SettingsDialogModel, OpenFileRefusesAFileWithoutSettings) {
  testsupport::TempDir Dir;
  const auto Write = [&](const std::string& Name, const std::string& Text) {
    testsupport::WriteFileBytes(Dir / Name, std::vector<std::uint8_t>(Text.begin(), Text.end()));
    return testsupport::U16(Dir / Name);
  };
  TConvSettings S;
  S.ColorMap[3] = 105;
  S.ConvMode = kModeCombination;
  TSettingsDialogModel Shown;
  Shown.FillFrom(S);
  Shown.WidthCells[2] = u"typed";  // an edit not yet checked

  const char* const Others[] = {"", "C1=5\r\nW1=7\r\n", "[Form]\r\nF1_X=3\r\n", "\x89PNG binary", "[JWW]\r\n"};
  for (const std::string Text : Others) {
    SCOPED_TRACE(Text);
    TSettingsDialogModel M = Shown;
    EXPECT_EQ(M.OpenFile(Write("other.txt", Text)), TOpenResult::NoSettings);
    EXPECT_EQ(M, Shown);
  }

  TSettingsDialogModel M = Shown;
  EXPECT_EQ(M.OpenFile(Write("a.set", "[Set]\r\nCVNO=0\r\n")), TOpenResult::Opened);
  TSettingsDialogModel Expected;
  EXPECT_EQ(M, Expected);

  M = Shown;
  EXPECT_EQ(M.OpenFile(testsupport::U16(Dir / "missing.set")), TOpenResult::Unreadable);
  Expected.Page = kCombinationPage;
  EXPECT_EQ(M, Expected);

  M = Shown;
  TConvSettings Saved = S;
  ASSERT_TRUE(WriteSettingsFile(testsupport::U16(Dir / "saved.set"), Saved));
  EXPECT_EQ(M.OpenFile(testsupport::U16(Dir / "saved.set")), TOpenResult::Opened);
  EXPECT_EQ(M.ColorCells[3], u"105");
  EXPECT_EQ(M.WidthCells[2], u"-1");
}

TEST(SettingsDialogModel, FaultsNameTheirPage) {
  EXPECT_EQ((TInputFault{TInputFault::ColorGrid, 1, 2}).Page(), kIndividualPage);
  EXPECT_EQ((TInputFault{TInputFault::LtypeGrid, 1, 1}).Page(), kIndividualPage);
  EXPECT_EQ((TInputFault{TInputFault::CombRow, 1, 1}).Page(), kCombinationPage);
  EXPECT_EQ((TInputFault{TInputFault::RangeEdit, 0, 3}).Page(), kIndividualPage);
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
      {TRangeColumn::Color, u"abc", false, u"abc"},    {TRangeColumn::Color, u" 7", true, u"7"},
      {TRangeColumn::Color, u"１０５", true, u"105"},  {TRangeColumn::Color, u"", true, u"0"},
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
    const std::optional<TInputFault> Fault = M.SetRange(C.Column, Edit, 3, 7);
    EXPECT_EQ(!Fault, C.Accepted);
    EXPECT_EQ(Edit, C.Shown);
    if (Fault) {
      EXPECT_EQ(Fault->Place, TInputFault::RangeEdit);
      EXPECT_EQ(Fault->Kind(), C.Column);
      EXPECT_EQ(M, Before);
    }
  }
}

TEST(SettingsDialogModel, RangeSettingFillsTheSelectedRowsOfOneColumn) {
  TSettingsDialogModel M;
  std::u16string Edit = u"105";
  ASSERT_EQ(M.SetRange(TRangeColumn::Color, Edit, 3, 7), std::nullopt);
  for (int R = 1; R <= kColorRows; ++R) {
    EXPECT_EQ(M.ColorCells[R], R >= 3 && R <= 7 ? u"105" : u"0") << R;
    EXPECT_EQ(M.WidthCells[R], u"-1") << R;
  }
  Edit = u"25";
  ASSERT_EQ(M.SetRange(TRangeColumn::Width, Edit, 9, 8), std::nullopt);  // bounds in either order
  EXPECT_EQ(M.WidthCells[8], u"25");
  EXPECT_EQ(M.WidthCells[9], u"25");
  EXPECT_EQ(M.WidthCells[10], u"-1");
  Edit = u"2";
  ASSERT_EQ(M.SetRange(TRangeColumn::Ltype, Edit, 0, 1000), std::nullopt);  // limited to the grid
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
  M.Rows[2] = {false, 5, 6, {u"7", u"８", u""}};
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
